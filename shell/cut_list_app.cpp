#include "shell/cut_list_app.h"

#include "platform/file.h"
#include "shell/cut_list_dlg.h"

bool CCutListApp::InitInstance() {
    {
        CCutListDlg dlg;
        if (!m_cmdInfo.m_strFileName.empty()) {
            // The full path, as the open-file dialog would return it.
            dlg.OpenAtStart(FullPath(m_cmdInfo.m_strFileName), m_cmdInfo.m_nFormat);
        }
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    // The dialog has closed: no message loop of our own, the process ends.
    return false;
}
