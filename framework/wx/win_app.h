// The application object: start-up through InitInstance, the end of the
// process when InitInstance returns false, and the guard around message
// handling that reports file and memory errors and lets the program go on.
#pragma once

#include <string>

#include <wx/app.h>

class CWinApp : public wxApp {
public:
    // appName nullptr: the name comes from the string table's application
    // title or, as the table holds none, from the executable's name.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Starts the program. Returning false ends the process (status 0) with
    // no message loop of the framework's own.
    virtual bool InitInstance();

    // The name of the executable the program was built as, without extension.
    static std::string DefaultAppName();

    std::string m_pszAppName;
    wxWindow* m_pMainWnd = nullptr;

    // Reports the exception being handled: CFileException with the stop
    // icon and the message for its cause, CMemoryException and
    // std::bad_alloc with the warning icon and "Memoria insufficiente.".
    // Returns false for any other exception, which is left unhandled.
    static bool ReportCurrentException();

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
