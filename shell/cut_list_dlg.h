// The main dialog: the path of a cut-list file, its layout, the list of its
// records, and the commands that load it and write its text report.
#pragma once

#include <string>

#include <wx/iconbndl.h>

class wxHelpEvent;

#include "framework/wx/dialog.h"
#include "framework/wx/list_ctrl.h"

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

    // Loads path in layout format as soon as the dialog runs, as if the user
    // had checked that layout and chosen the file with "Sfoglia". Call before
    // DoModal.
    void OpenAtStart(std::string path, int format);

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
    void OnOpenStartFile(wxCommandEvent& event);
    void OnHelpInfo(wxHelpEvent& event);
    void OpenAsChosen(const std::string& path);

    std::string m_strStartFile;
    int m_nStartFormat = -1;

    wxDECLARE_EVENT_TABLE();
};
