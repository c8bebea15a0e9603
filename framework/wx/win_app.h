// The application object's side in wxWidgets: the wxApp that starts the
// program through CWinApp::InitInstance, ends the process when it returns
// false, and reports file and memory errors from message handlers through
// CWinApp's guard.
#pragma once

#include <wx/app.h>

class CWxApp final : public wxApp {
protected:
    bool OnInit() override;
    int OnRun() override;
    bool OnExceptionInMainLoop() override;

private:
    // The toolkit's own texts (file dialogs, their error messages) in the
    // user's language, as the desktop's other programs show them.
    static void UseUserLanguage();

    bool m_runMessageLoop = false;
};

// Starts the toolkit for the application object (AfxGetApp) without running
// InitInstance, for a program that drives the windows itself (the tests):
// CallOnInit then runs InitInstance. False without a display.
bool AfxWinInit(int& argc, char** argv);
// Shuts down what AfxWinInit started.
void AfxWinTerm();
