#include "framework/dialog.h"

#include "framework/app_resources.h"
#include "framework/window_backend.h"

// The default command and cancel, as the dialog's buttons and keys send them.
// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_BN_CLICKED(IDOK, &CDialog::OnOK)
    ON_BN_CLICKED(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()
// clang-format on

CDialog::CDialog(int templateId, CWnd* pParentWnd)
    : m_template(AfxFindDialogTemplate(templateId)), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr) {
        AfxDeleteDialogWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

bool CDialog::CreateFromTemplate(CWnd* pParentWnd) {
    if (m_template == nullptr) {
        return false;
    }
    if (m_hWnd == nullptr) {
        m_hWnd = AfxNewDialogWindow(*this);
    }
    return AfxCreateModelessWindow(*m_hWnd, pParentWnd);
}

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
