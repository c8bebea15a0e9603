// A modal dialog built from a dialog template, with the two-way data
// exchange between its controls and the members of the derived class, the
// keyboard behaviour of a Windows dialog (Enter gives the default command,
// Escape and the close box cancel, arrow keys move among radio buttons, F1
// sends a help event) and the window's system menu.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "framework/dialog_template.h"

class wxMenu;
class CDialog;
class CListCtrl;
struct DlgTemplate;

// System commands: the low four bits are free for the system's own use, so
// a command is recognised with those bits cleared.
inline constexpr unsigned SC_CLOSE = 0xF060;

// One transfer between the controls of a dialog and its members.
class CDataExchange {
public:
    CDataExchange(CDialog* dlg, bool saveAndValidate)
        : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;  // true: controls to members
};

// Binds ctrl to the list view with this identifier, the first time only.
void DDX_Control(CDataExchange* pDX, int id, CListCtrl& ctrl);
// The text of an edit field. Towards the field its text is replaced only when
// it differs, and without a change notification.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// The radio group that begins with the button id: towards the member the
// index of the checked button (-1 when none is), towards the buttons the
// button with that index is checked and the others cleared.
void DDX_Radio(CDataExchange* pDX, int id, int& value);

class CDialog : public wxDialog {
public:
    // The window is made from the template by DoModal (or Create); parent
    // nullptr means the application's main window is the owner.
    explicit CDialog(int templateId, wxWindow* parent = nullptr);
    ~CDialog() override;

    // Builds the window, runs OnInitDialog and shows the dialog modally.
    // Returns IDOK, IDCANCEL or the value given to EndDialog, -1 when the
    // template is missing.
    virtual int DoModal();

    // Builds the window and runs OnInitDialog without showing it modally
    // (for embedding and for driving the dialog from tests).
    bool CreateFromTemplate(wxWindow* parent);

    // Runs DoDataExchange in one direction; control notifications raised
    // meanwhile are ignored. true: controls to members.
    bool UpdateData(bool saveAndValidate = true);

    // Ends the dialog with result (modal), or hides it (modeless).
    void EndDialog(int result);
    int GetResult() const { return m_result; }

    // The control with this dialog identifier (IDOK and IDCANCEL included).
    wxWindow* GetDlgItem(int id) const;

    // The window's system menu, made on first use ("Chiudi"); nullptr when
    // the template has no system menu. revert restores the default menu.
    wxMenu* GetSystemMenu(bool revert);
    // Pops the system menu up at pos (client coordinates).
    void ShowSystemMenu(const wxPoint& pos);

    // The system command a system-menu item stands for. Commands from 0xF000
    // up lie outside the toolkit's range of menu identifiers and are given
    // one of their own in the menu.
    unsigned GetSysCommand(int menuItemId) const;

    const DlgTemplate* GetTemplate() const { return m_template; }
    bool IsInTransfer() const { return m_transferDepth > 0; }

    // Command identifier as the toolkit knows it.
    static int ToWindowId(int dialogId);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Transfers to the controls. Returns true to let the framework place the
    // focus on the first control that takes it.
    virtual bool OnInitDialog();
    // The default command: transfer from the controls, then end with IDOK.
    virtual void OnOK();
    // End with IDCANCEL, without a transfer.
    virtual void OnCancel();
    // A command of the system menu; SC_CLOSE closes like the close box.
    virtual void OnSysCommand(unsigned id, std::intptr_t param);

    // Ignores control notifications during a transfer.
    bool TryBefore(wxEvent& event) override;

private:
    bool BuildWindow(wxWindow* owner);
    void CreateControls();
    void OnCharHook(wxKeyEvent& event);
    // An arrow key on a focused radio button; false when none has the focus.
    bool MoveInRadioGroup(bool forward);
    void OnCloseBox(wxCloseEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void SendDefaultCommand();
    void OnPaintEdges(wxPaintEvent& event);

    const int m_templateId;
    const DlgTemplate* m_template = nullptr;
    wxWindow* m_pParentWnd;
    int m_transferDepth = 0;
    int m_result = 0;
    std::unique_ptr<wxMenu> m_sysMenu;
    // Labels with a sunken edge, which the toolkit's labels cannot draw: the
    // dialog draws the edge around them.
    std::vector<wxRect> m_sunkenEdges;
};
