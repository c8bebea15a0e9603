// The main dialog: the path of a cut-list file, its layout, the list of its
// records, and the commands that load it and write its text report.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/dialog.h"
#include "framework/list_ctrl.h"
#include "shell/find_dlg.h"

class CCutListDlg : public CDialog {
public:
    explicit CCutListDlg(CWnd* pParent = nullptr);
    ~CCutListDlg() override;

    // The dialog's CutRowTable.
    CListCtrl m_listCtrl;
    // Path and layout the commands load with; they change only through a
    // transfer from the controls (at "Sfoglia") or a chosen file.
    std::string m_strPath;
    int m_nFormat = -1;
    CIcon m_icon;

    // Loads path in layout format as soon as the dialog runs, as if the user
    // had checked that layout and chosen the file with "Sfoglia". Call before
    // DoModal.
    void OpenAtStart(std::string path, int format);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;

    void OnSysCommand(unsigned nID, std::intptr_t lParam);
    void OnPaint();
    // The image shown while the minimised window is dragged.
    CIcon OnQueryDragIcon();
    void OnDropFiles(const std::string& strPath);
    void OnHelpInfo();

private:
    void OnBrowse();
    void OnPathChanged();
    void OnSaveReport();
    void OnPrint();
    void OnExportWorkbook();
    void OnOpenStartFile();
    void OpenAsChosen(const std::string& path);
    void LoadChosenFile();
    void OfferFittingLayout();
    void OnFind();
    void OnFindNext();
    void FindNext(const CFindText& text);
    void OnListCopy();
    void OnListSelectAll();

    std::string m_strStartFile;
    int m_nStartFormat = -1;
    // The "Trova" dialog once opened, and the text last looked for (F3).
    std::unique_ptr<CFindDlg> m_pFindDlg;
    CFindText m_lastFind;

    DECLARE_MESSAGE_MAP()
};
