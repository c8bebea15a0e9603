#include "shell/find_dlg.h"

#include <utility>

#include "resources/resource.h"

// "Chiudi", Escape and the close box are the dialog's cancel, which hides it.
// clang-format off
BEGIN_MESSAGE_MAP(CFindDlg, CDialog)
    ON_BN_CLICKED(IDC_FIND_NEXT, &CFindDlg::OnFindNext)
END_MESSAGE_MAP()
// clang-format on

CFindDlg::CFindDlg(std::function<void(const CFindText&)> findNext, std::function<void()> closed,
                   CWnd* pParent)
    : CDialog(IDD_FIND, pParent), m_findNext(std::move(findNext)), m_closed(std::move(closed)) {}

void CFindDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FIND_TEXT, m_strText);
}

void CFindDlg::OnFindNext() {
    UpdateData(true);
    CFindText text;
    text.typed = m_strText;
    text.inCodePage = GetDlgItemTextWindows1252(IDC_FIND_TEXT, text.cells);
    m_findNext(text);
}

void CFindDlg::OnCancel() {
    CDialog::OnCancel();
    m_closed();
}
