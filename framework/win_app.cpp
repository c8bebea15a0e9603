#include "framework/win_app.h"

#include <new>

#include "framework/app_resources.h"
#include "framework/message_box.h"
#include "platform/file.h"

namespace {

// The string-table entry of the application's title.
constexpr int kAppTitleString = 0xE000;

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) {
    if (appName != nullptr) {
        m_pszAppName = appName;
    }
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return true;
}

void CWinApp::SetAppName() {
    if (m_pszAppName.empty()) {
        m_pszAppName = AfxLoadString(kAppTitleString);
    }
    if (m_pszAppName.empty()) {
        m_pszAppName = AfxGetModuleName();
    }
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

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

std::string AfxGetAppName() {
    if (g_app != nullptr && !g_app->m_pszAppName.empty()) {
        return g_app->m_pszAppName;
    }
    return AfxGetModuleName();
}
