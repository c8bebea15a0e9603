#include "framework/wx/win_app.h"

#include <clocale>
#include <cstdio>

#include <wx/init.h>
#include <wx/translation.h>

#include "framework/win_app.h"
#include "framework/wx/ansi_text.h"

void CWxApp::UseUserLanguage() {
    // Only the toolkit's texts and character handling: LC_NUMERIC stays "C",
    // though the program's numbers never depend on it (they are written with
    // std::to_chars).
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    // The toolkit's stock labels ("Cancel", "Open", "Save" of the file
    // dialogs) come from its own message catalogue.
    if (wxTranslations::Get() == nullptr) {
        auto* translations = new wxTranslations;
        wxTranslations::Set(translations);
        translations->AddStdCatalog();
    }
}

bool CWxApp::OnInit() {
    // The command line was read before the toolkit started (main()).
    UseUserLanguage();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return false;
    }
    app->SetAppName();
    SetAppName(FromAnsi(app->m_pszAppName));
    m_runMessageLoop = app->InitInstance();
    return true;
}

int CWxApp::OnRun() {
    if (!m_runMessageLoop) {
        return 0;
    }
    return wxApp::OnRun();
}

bool CWxApp::OnExceptionInMainLoop() {
    // The command that raised the error has ended; the dialog goes on.
    if (CWinApp::ReportCurrentException()) {
        return true;
    }
    return wxApp::OnExceptionInMainLoop();
}

bool AfxWinInit(int& argc, char** argv) {
    wxApp::SetInstance(new CWxApp);
    return wxEntryStart(argc, argv);
}

void AfxWinTerm() {
    wxEntryCleanup();
}

int AfxShowCommandLineText(const std::string& text, const std::string& /*caption*/, bool error) {
    if (error) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return 0;
    }
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int AfxWinMain(int argc, char** argv) {
    wxDISABLE_DEBUG_SUPPORT();
    wxApp::SetInstance(new CWxApp);
    int toolkitArgc = argc;
    return wxEntry(toolkitArgc, argv);
}
