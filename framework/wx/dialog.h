// The window of a CDialog on wxWidgets: made from the dialog's template, it
// owns the controls, gives the keyboard the behaviour of a Windows dialog
// (Enter gives the default command, Escape and the close box cancel, arrow
// keys move among radio buttons, F1 asks for help), emulates the window's
// system menu, and hands the messages of the dialog's message map to it.
#pragma once

#include <memory>
#include <vector>

#include <wx/dialog.h>
#include <wx/iconbndl.h>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/window_backend.h"

class wxMenu;

// A command posted with CWnd::PostCommand, on its way through the event loop.
wxDECLARE_EVENT(EVT_POSTED_COMMAND, wxCommandEvent);

// The images behind a CIcon.
struct CIconImages {
    wxIconBundle icons;
};

class CDialogWindow final : public wxDialog, public CDialogWindowBase {
public:
    explicit CDialogWindow(CDialog& owner);
    ~CDialogWindow() override;

    // Makes the window and its controls from the owner's template, owned by
    // parent (nullptr: none). False when there is no template.
    bool Build(wxWindow* parent);
    // Builds the window, runs the owner's OnInitDialog and centres the
    // window on parent (or on the screen), without showing it.
    bool CreateModeless(wxWindow* parent);

    // The control with this dialog identifier (IDOK and IDCANCEL included).
    wxWindow* GetDlgItem(int id) const;

    // The window's system menu, made on first use ("Chiudi"); nullptr when
    // the template has no system menu. revert restores the default menu.
    wxMenu* GetSystemMenu(bool revert);
    CMenu* GetSystemCMenu(bool revert);
    // Pops the system menu up at pos (client coordinates).
    void ShowSystemMenu(const wxPoint& pos);

    // The system command a system-menu item stands for. Commands from 0xF000
    // up lie outside the toolkit's range of menu identifiers and are given
    // one of their own in the menu.
    unsigned GetSysCommand(int menuItemId) const;

    // Files dropped on the window and its edit fields become dropFiles
    // messages.
    void AcceptFiles(bool accept);

    // Hands a message to the owner's message map, or to the default
    // processing when the map has no entry for it. event is the toolkit's
    // event behind it, if any.
    void Dispatch(AfxMsg message, int id, AfxMsgParams& params, wxEvent* event = nullptr);
    // The default processing of the message being handled.
    void Default();
    // Sends the command id to the message map once the event loop runs.
    void PostCommand(int id);

    // Command identifier as the toolkit knows it, and back.
    static int ToWindowId(int dialogId);
    static int FromWindowId(int windowId);

protected:
    // Ignores control notifications during a transfer.
    bool TryBefore(wxEvent& event) override;

private:
    void BindEvents();
    void CreateControl(const DlgControl& c);
    // A label; one with a sunken edge gets it drawn around rect.
    void CreateLabel(const DlgControl& c, wxRect rect, const wxString& text);
    void CreateIcon(const DlgControl& c, const wxPoint& pos);
    void DefaultProcessing(const AfxCurrentMessage& message);
    void OnCharHook(wxKeyEvent& event);
    // An arrow key on a focused radio button; false when none has the focus.
    bool MoveInRadioGroup(bool forward);
    // The command the dialog's accelerator table gives the key, 0 for none.
    int AcceleratorCommand(const wxKeyEvent& event) const;
    void OnPostedCommand(wxCommandEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnText(wxCommandEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnMenu(wxCommandEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnFileDropped(wxCommandEvent& event);
    void SendDefaultCommand();

    const DlgTemplate* m_template;
    std::unique_ptr<wxMenu> m_sysMenu;
    std::unique_ptr<CMenu> m_sysCMenu;
    // Labels with a sunken edge, which the toolkit's labels cannot draw: the
    // dialog draws the edge around them.
    std::vector<wxRect> m_sunkenEdges;
    bool m_acceptFiles = false;
};

// The window of dlg (nullptr before it is created), and the window of the
// application's main window.
wxWindow* AfxWindowOf(const CWnd* wnd);
wxWindow* AfxGetMainWindow();
