// The application object: start-up through InitInstance, the end of the
// process when InitInstance returns false, and the guard around message
// handling that reports file and memory errors and lets the program go on.
#pragma once

#include <string>

#include "framework/icon.h"

class CWnd;

class CWinApp {
public:
    // The program's one application object. appName nullptr: the name comes
    // from the string table's application title or, as the table holds none,
    // from the executable's name (see AfxGetAppName).
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Starts the program. Returning false ends the process (status 0) with
    // no message loop of the framework's own.
    virtual bool InitInstance();

    CIcon LoadIcon(int nIDResource) const { return AfxLoadIcon(nIDResource); }

    // Reports the exception being handled: CFileException with the stop
    // icon and the message for its cause, CMemoryException and
    // std::bad_alloc with the warning icon and "Memoria insufficiente.".
    // Returns false for any other exception, which is left unhandled.
    static bool ReportCurrentException();

    // Fills in m_pszAppName when the constructor was given none; the
    // framework does this at start-up, once the resources are registered.
    void SetAppName();

    std::string m_pszAppName;
    // Owner of dialogs and message boxes made without a parent.
    CWnd* m_pMainWnd = nullptr;
};

// The application object; nullptr before it is made.
CWinApp* AfxGetApp();
// The application's main window; nullptr when there is none.
CWnd* AfxGetMainWnd();

// Runs the program: starts the toolkit (given argc and argv), fills in the
// application's name, runs InitInstance and, when it returns true, the
// message loop. Returns the process's exit status.
int AfxWinMain(int argc, char** argv);

// Shows what the command line asked for before any window (the text of
// --help or --version) or why it is wrong (error), where the system's users
// look: on standard output, or standard error with the line ended, under
// wxWidgets; on Windows, whose programs with windows have no console, in a
// message box titled caption, with the information or the stop icon, until
// it is closed. text is in the system's 8-bit encoding (SystemText).
// Returns 0, or 1 when the text could not be written out.
int AfxShowCommandLineText(const std::string& text, const std::string& caption, bool error);
