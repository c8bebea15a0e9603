// A modal dialog built from a dialog template, with the two-way data
// exchange between its controls and the members of the derived class, the
// keyboard behaviour of a Windows dialog (Enter gives the default command,
// Escape and the close box cancel) and the window's system menu.
#pragma once

#include <string>

#include "framework/wnd.h"

class CDialog;
class CListCtrl;
struct AfxAcceleratorTable;
struct DlgTemplate;

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

class CDialog : public CWnd {
public:
    // The window is made from the template by DoModal (or CreateFromTemplate);
    // pParentWnd nullptr means the application's main window is the owner.
    explicit CDialog(int templateId, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the window, runs OnInitDialog and shows the dialog modally.
    // Returns IDOK, IDCANCEL or the value given to EndDialog, -1 when the
    // template is missing.
    virtual int DoModal();

    // Builds the window and runs OnInitDialog without showing it modally
    // (for embedding and for driving the dialog from tests).
    bool CreateFromTemplate(CWnd* pParentWnd);

    // Runs DoDataExchange in one direction; control notifications raised
    // meanwhile are ignored. true: controls to members.
    bool UpdateData(bool saveAndValidate = true);

    // Ends the dialog with result (modal), or hides it (modeless).
    void EndDialog(int result);
    int GetResult() const { return m_result; }

    const DlgTemplate* GetTemplate() const { return m_template; }
    bool IsInTransfer() const { return m_transferDepth > 0; }

    // While the dialog or one of its controls has the keyboard focus, the
    // keys of the accelerator table nIDResource send its commands to the
    // message map (ON_COMMAND). False when there is no such table.
    bool LoadAccelTable(int nIDResource);
    // The command of key (a virtual-key code) pressed with the modifiers
    // (FCONTROL, FSHIFT, FALT) held; 0 when the table has none.
    int TranslateAccelerator(int key, unsigned modifiers) const;

    // Gives the control nID the keyboard focus; an edit field's text is
    // selected, as when Tab reaches it.
    void GotoDlgCtrl(int nID);
    // The text of the edit field nID as Windows-1252 bytes, the code page of
    // a cut list's cells; false when the field holds a character the code
    // page lacks (or there is no such field).
    bool GetDlgItemTextWindows1252(int nID, std::string& text) const;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Transfers to the controls. Returns true to let the framework place the
    // focus on the first control that takes it.
    virtual bool OnInitDialog();
    // The default command: transfer from the controls, then end with IDOK.
    virtual void OnOK();
    // End with IDCANCEL, without a transfer.
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    friend class CDialogWindow;

    const DlgTemplate* m_template = nullptr;
    CWnd* m_pParentWnd;
    int m_transferDepth = 0;
    int m_result = 0;
    const AfxAcceleratorTable* m_accelerators = nullptr;
};
