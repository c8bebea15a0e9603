// The main dialog: the path of a cut-list file, its layout, the list of its
// records, and the commands that load it and write its text report.
#pragma once

#include <string>

#include <wx/iconbndl.h>

#include "platform/ui/dialog.h"
#include "platform/ui/list_ctrl.h"

class CCutListDlg : public CDialog {
public:
    explicit CCutListDlg(wxWindow* parent = nullptr);
    ~CCutListDlg() override;

    // The dialog's CutRowTable.
    CListCtrl m_listCtrl;
    // Path and layout the commands load with; they change only through a
    // transfer from the controls (at "Sfoglia") or a chosen file.
    std::string m_strPath;
    int m_nFormat = -1;
    wxIconBundle m_icon;

    // The image shown while the minimised window is dragged.
    const wxIconBundle& OnQueryDragIcon() const { return m_icon; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnSysCommand(unsigned id, std::intptr_t param) override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnPathChanged(wxCommandEvent& event);
    void OnSaveReport(wxCommandEvent& event);
    void OnFileDropped(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
