// The seam between the framework's shared code and a back end. Every function
// declared under "Supplied by the back end" is defined once by the back end
// in use (framework/wx, framework/win32); the shared sources (framework/*.cpp)
// call them and hold everything that does not depend on the toolkit:
// CDialog's life cycle and data exchange, DoModal's choice of owner, the radio
// groups of a template, CListCtrl's rows and column headings, and the message
// maps' dispatch with its guard.
//
// Besides these functions a back end defines:
//  - the classes named below: CDialogWindow (the window of a CDialog, which
//    CWnd::GetSafeHwnd returns), CListView (the window of a CListCtrl),
//    CIconImages (the images behind a CIcon) and CPaintDC::Impl (a paint
//    in progress);
//  - the public functions that have no shared part, with their contracts in
//    their own headers: AfxWinMain (win_app.h), AfxLoadIcon (icon.h) and
//    CFileDialog::DoModal (file_dialog.h).
// All of them run on the thread that runs the message loop. shell/ and
// resources/ never include this header.
#pragma once

#include <string>
#include <vector>

#include "framework/message_map.h"
#include "framework/wnd.h"

class CDialog;
class CDialogWindow;
class CDialogWindowBase;
class CListCtrl;
class CListView;
struct CIconImages;

// ---------------------------------------------------------------------------
// Supplied by the back end

// The window of a dialog (a CDialogWindowBase, see below).
// A window for dlg, not yet made on the screen.
CDialogWindow* AfxNewDialogWindow(CDialog& dlg);
// window as the part every back end's window shares; deleting that deletes
// the window.
CDialogWindowBase& AfxWindowBase(CDialogWindow& window);
// Makes window on the screen without showing it modally, owned by the window
// of pOwner (nullptr: none), runs the dialog's OnInitDialog and centres it.
// False when the window could not be made.
bool AfxCreateModelessWindow(CDialogWindow& window, CWnd* pOwner);
// Makes window and runs it modally over the window of pOwner (nullptr: none),
// the dialog's OnInitDialog first; returns the value EndDialog ended it with
// (IDOK, IDCANCEL or another), -1 when the window could not be made.
int AfxRunModalWindow(CDialogWindow& window, CWnd* pOwner);
// Ends window's modal run with result, or hides it when it is not modal.
void AfxEndDialogWindow(CDialogWindow& window, int result);
// True when window is on the screen and shown (it can own other windows).
bool AfxIsWindowShown(const CDialogWindow& window);
// Shows window and makes it the active window, or hides it.
void AfxShowWindow(CDialogWindow& window, bool show);
// Gives the control id of window the keyboard focus, an edit field's text
// selected; nothing when there is no such control.
void AfxGotoDlgCtrl(CDialogWindow& window, int id);

// Data exchange.
// The list view with this dialog identifier in window; nullptr when none.
CListView* AfxFindListView(const CDialogWindow& window, int id);
// The 8-bit text of the edit field id into text; false, text untouched, when
// window has no such field.
bool AfxGetEditText(const CDialogWindow& window, int id, std::string& text);
// The text of the edit field id as typed, in UTF-8 whatever the system's
// 8-bit code page; false when window has no such field.
bool AfxGetEditTextUtf8(const CDialogWindow& window, int id, std::string& text);
// Replaces the text of the edit field id with text when the two differ; any
// change notification it raises arrives during the transfer (ignored).
void AfxSetEditText(CDialogWindow& window, int id, const std::string& text);
// Whether the radio button id is checked (false when there is none).
bool AfxGetRadioCheck(const CDialogWindow& window, int id);
// Checks or clears the radio button id, without notifying; nothing when there
// is none.
void AfxSetRadioCheck(CDialogWindow& window, int id, bool checked);

// The CWnd members, on the window of a created CWnd.
bool AfxIsWindowIconic(const CDialogWindow& window);
// The client area, at 0, 0.
CRect AfxGetWindowClientRect(const CDialogWindow& window);
// Sets the big (bBigIcon) or the small icon; a back end whose windows take
// every size at once takes them all.
void AfxSetWindowIcon(CDialogWindow& window, const CIconImages& images, bool bBigIcon);
// The window's system menu (see CWnd::GetSystemMenu); nullptr when none.
CMenu* AfxGetWindowSystemMenu(CDialogWindow& window, bool bRevert);
// Files dropped on window and on its edit fields become dropFiles messages.
void AfxDragAcceptFiles(CDialogWindow& window, bool bAccept);
// Sends the command id to the dialog's message map once the message loop
// runs, under the application's guard like any other message.
void AfxPostCommand(CDialogWindow& window, int id);
// Gives the message window is handling (AfxCurrentMessage) to the toolkit's
// default processing; nothing when it handles none.
void AfxDefaultProcessing(CDialogWindow& window);

// Painting, inside the window's paint message.
// Starts painting window; the result goes to AfxEndPaint.
CPaintDC::Impl* AfxBeginPaint(CDialogWindow& window);
// Ends the paint paint started and frees it.
void AfxEndPaint(CPaintDC::Impl* paint);
// Fills the client area with the window's background colour.
void AfxEraseBackground(CPaintDC::Impl& paint);
// Draws images at x, y in the system's icon size.
void AfxDrawIcon(CPaintDC::Impl& paint, int x, int y, const CIconImages& images);
// The size the system draws icons in, on window's screen (nullptr: the main
// screen).
CSize AfxGetIconSize(const CDialogWindow* window);
// The busy cursor over the program's windows, from the first Begin to the
// matching End (they nest).
void AfxBeginWaitCursor();
void AfxEndWaitCursor();

// Message boxes.
// Shows text with caption over owner (nullptr: none), modally; type as
// AfxMessageBox takes it. Returns IDOK, IDCANCEL, IDYES or IDNO.
int AfxShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& caption,
                      unsigned type);

// The list's window.
// The list control whose rows view shows (nullptr: none): set, and read back.
// Setting it shows the model's rows.
void AfxSetListModel(CListView& view, CListCtrl* model);
CListCtrl* AfxGetListModel(const CListView& view);
// The number of rows changed (and maybe texts): the window learns the count
// at once when it showed none or more, otherwise once the message loop runs.
void AfxListRowsChanged(CListView& view);
// Texts of existing rows changed: repainted once the message loop runs.
void AfxListTextsChanged(CListView& view);
// Inserts a column before column (format LVCFMT_*, width in pixels at 96
// DPI); its index, -1 when the window refused it or is gone.
int AfxInsertListColumn(CListView& view, int column, const char* heading, int format, int width);
// Ctrl+C copies the selected rows under a line of headings, Ctrl+A selects
// every row. headings stays valid while the model is bound to view.
void AfxEnableListRowCopy(CListView& view, const std::vector<std::string>& headings);
// What Ctrl+C and Ctrl+A do, for a menu's entries: the selected rows to the
// clipboard (nothing when none is), and every row selected.
void AfxCopyListSelection(CListView& view);
void AfxSelectAllListRows(CListView& view);
// The row with the focus, -1 when none.
int AfxGetListFocusedRow(const CListView& view);
// Makes row the only selected row and the focused one, and scrolls it into
// view; the keyboard focus stays where it is.
void AfxSelectOnlyListRow(CListView& view, int row);
// Besides, a back end's list view opens the menu resource its model names
// (CListCtrl::GetContextMenu, 0: none) at a right click, Shift+F10 and the
// context-menu key, and sends the entry chosen as a command to the message
// map of the list's dialog.

// ---------------------------------------------------------------------------
// Given to the back ends by the shared code

// The message a window is handling, for CWnd::Default to act on.
struct AfxCurrentMessage {
    AfxMsg message = AfxMsg::end;
    AfxMsgParams* params = nullptr;  // nullptr: no message is being handled
    void* event = nullptr;           // the back end's own record of it, if any
    bool defaultWanted = false;      // the handler called CWnd::Default
};

enum class AfxDispatchResult {
    unmapped,       // no entry for the message (or no dialog any more)
    handled,        // a handler took it
    defaultWanted,  // a handler ran and asked for the default processing
};

// Hands a message to pOwner's message map (pOwner nullptr: its dialog went
// away). While the handler runs, current describes this message; afterwards,
// or when the handler throws, current is what it was before, so that a
// message sent from inside a handler does not lose the outer one.
AfxDispatchResult AfxDispatchToMap(CWnd* pOwner, AfxCurrentMessage& current, AfxMsg message, int id,
                                   AfxMsgParams& params, void* event = nullptr);

// What every back end's CDialogWindow holds: the dialog it was made for
// (through which it reaches the template and the message map) and the message
// it is handling. A back end's window derives from it.
class CDialogWindowBase {
public:
    explicit CDialogWindowBase(CDialog& owner) : m_owner(&owner) {}
    virtual ~CDialogWindowBase();
    CDialogWindowBase(const CDialogWindowBase&) = delete;
    CDialogWindowBase& operator=(const CDialogWindowBase&) = delete;

    // The dialog; nullptr once it went away.
    CDialog* GetOwner() const { return m_owner; }
    // The dialog is going away: the window calls nothing on it any more.
    void DetachOwner() { m_owner = nullptr; }

protected:
    // Hands a message to the dialog's message map (AfxDispatchToMap).
    AfxDispatchResult DispatchToOwner(AfxMsg message, int id, AfxMsgParams& params,
                                      void* event = nullptr);

    CDialog* m_owner;
    AfxCurrentMessage m_current;
};

// The main window's window when it is shown, for owning boxes made without a
// parent; nullptr otherwise.
CDialogWindow* AfxGetShownMainWindow();
