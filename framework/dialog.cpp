#include "framework/dialog.h"

#include "core/windows1252.h"
#include "framework/app_resources.h"
#include "framework/dialog_template.h"
#include "framework/list_ctrl.h"
#include "framework/win_app.h"
#include "framework/window_backend.h"

namespace {

// The owner of a modal dialog: its parent or, without one, the application's
// main window, so the dialog opens over it and the main window waits for it;
// none when that is the dialog itself or is not shown.
CWnd* ModalOwner(CWnd* parent, const CWnd* dialog) {
    if (parent != nullptr) {
        return parent;
    }
    CWnd* main = AfxGetMainWnd();
    if (main == dialog || main == nullptr || main->GetSafeHwnd() == nullptr ||
        !AfxIsWindowShown(*main->GetSafeHwnd())) {
        return nullptr;
    }
    return main;
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CListCtrl& ctrl) {
    const CDialogWindow* window = pDX->m_pDlgWnd->GetSafeHwnd();
    if (ctrl.IsAttached() || window == nullptr) {
        return;
    }
    if (CListView* view = AfxFindListView(*window, id); view != nullptr) {
        ctrl.Attach(view);
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    CDialogWindow* window = pDX->m_pDlgWnd->GetSafeHwnd();
    if (window == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        AfxGetEditText(*window, id, value);
    } else {
        AfxSetEditText(*window, id, value);
    }
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    const DlgTemplate* tmpl = pDX->m_pDlgWnd->GetTemplate();
    CDialogWindow* window = pDX->m_pDlgWnd->GetSafeHwnd();
    if (tmpl == nullptr || window == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (const int buttonId : AfxRadioGroup(*tmpl, id)) {
        if (!pDX->m_bSaveAndValidate) {
            AfxSetRadioCheck(*window, buttonId, index == value);
        } else if (AfxGetRadioCheck(*window, buttonId)) {
            value = index;
        }
        ++index;
    }
}

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
        // The window may still send messages while it goes: none reaches
        // this dialog, which is half destroyed.
        CDialogWindowBase& window = AfxWindowBase(*m_hWnd);
        window.DetachOwner();
        delete &window;
        m_hWnd = nullptr;
    }
}

int CDialog::DoModal() {
    if (m_template == nullptr) {
        return -1;
    }
    CWnd* owner = ModalOwner(m_pParentWnd, this);
    if (m_hWnd == nullptr) {
        m_hWnd = AfxNewDialogWindow(*this);
    }
    return AfxRunModalWindow(*m_hWnd, owner);
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

bool CDialog::LoadAccelTable(int nIDResource) {
    m_accelerators = AfxFindAcceleratorTable(nIDResource);
    return m_accelerators != nullptr;
}

int CDialog::TranslateAccelerator(int key, unsigned modifiers) const {
    if (m_accelerators != nullptr) {
        for (const AfxAccelerator& accel : m_accelerators->keys) {
            if (accel.key == key && accel.flags == modifiers) {
                return accel.command;
            }
        }
    }
    return 0;
}

void CDialog::GotoDlgCtrl(int nID) {
    if (m_hWnd != nullptr) {
        AfxGotoDlgCtrl(*m_hWnd, nID);
    }
}

bool CDialog::GetDlgItemTextWindows1252(int nID, std::string& text) const {
    std::string utf8;
    return m_hWnd != nullptr && AfxGetEditTextUtf8(*m_hWnd, nID, utf8) &&
           windows1252::FromUtf8Exact(utf8, text);
}

void CDialog::EndDialog(int result) {
    m_result = result;
    if (m_hWnd != nullptr) {
        AfxEndDialogWindow(*m_hWnd, result);
    }
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
