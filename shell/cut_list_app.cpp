#include "shell/cut_list_app.h"

#include "shell/cut_list_dlg.h"

bool CCutListApp::InitInstance() {
    {
        CCutListDlg dlg;
        m_pMainWnd = &dlg;
        SetTopWindow(&dlg);
        dlg.DoModal();
        m_pMainWnd = nullptr;
        SetTopWindow(nullptr);
    }
    // The dialog has closed: no message loop of our own, the process ends.
    return false;
}
