#include "framework/dialog.h"

// The default command and cancel, as the dialog's buttons and keys send them.
// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_BN_CLICKED(IDOK, &CDialog::OnOK)
    ON_BN_CLICKED(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()
// clang-format on

bool CDialog::UpdateData(bool saveAndValidate) {
    ++m_transferDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_transferDepth};
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
