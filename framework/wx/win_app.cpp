#include "framework/wx/win_app.h"

#include <clocale>
#include <new>

#include <wx/translation.h>

#include "framework/wx/message_box.h"
#include "framework/wx/resource_lookup.h"
#include "platform/file.h"

namespace {
// The string-table entry of the application's title.
constexpr int AFX_IDS_APP_TITLE = 0xE000;
}  // namespace

CWinApp::CWinApp(const char* appName) {
    if (appName != nullptr) {
        m_pszAppName = appName;
    } else {
        m_pszAppName = LoadResourceString(AFX_IDS_APP_TITLE);
        if (m_pszAppName.empty()) {
            m_pszAppName = DefaultAppName();
        }
    }
    SetAppName(wxString::FromUTF8(m_pszAppName.c_str()));
}

CWinApp::~CWinApp() = default;

std::string CWinApp::DefaultAppName() {
    return GetModuleName();
}

bool CWinApp::InitInstance() {
    return true;
}

void CWinApp::UseUserLanguage() {
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

bool CWinApp::OnInit() {
    // The command line was read before the toolkit started (main()).
    UseUserLanguage();
    m_runMessageLoop = InitInstance();
    return true;
}

int CWinApp::OnRun() {
    if (!m_runMessageLoop) {
        return 0;
    }
    return wxApp::OnRun();
}

bool CWinApp::ReportCurrentException() {
    try {
        throw;
    } catch (const CFileException& e) {
        AfxMessageBox(e.GetErrorMessage(), MB_ICONSTOP | MB_OK);
    } catch (const CMemoryException&) {
        AfxMessageBox(CMemoryException::Message(), MB_ICONWARNING | MB_OK | MB_SYSTEMMODAL);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(CMemoryException::Message(), MB_ICONWARNING | MB_OK | MB_SYSTEMMODAL);
    } catch (...) {
        return false;
    }
    return true;
}

bool CWinApp::OnExceptionInMainLoop() {
    // The command that raised the error has ended; the dialog goes on.
    if (ReportCurrentException()) {
        return true;
    }
    return wxApp::OnExceptionInMainLoop();
}
