// The window of a CDialog on the Windows API: a dialog the system builds from
// the in-memory template, whose dialog procedure hands window messages and
// control notifications to the dialog's message map. The system's dialog
// manager gives the keyboard its behaviour (Enter the default command,
// Escape and the close box cancel, Tab and the arrow keys, Alt+Space the
// system menu).
#pragma once

#include <memory>
#include <vector>

#include "framework/dialog.h"
#include "framework/win32/win_defs.h"
#include "framework/window_backend.h"

class CListView;
class CSystemMenu;

// The images behind a CIcon: the big and the small icon.
struct CIconImages {
    CIconImages() = default;
    ~CIconImages();
    CIconImages(const CIconImages&) = delete;
    CIconImages& operator=(const CIconImages&) = delete;

    HICON hBig = nullptr;
    HICON hSmall = nullptr;
};

class CDialogWindow final : public CDialogWindowBase {
public:
    explicit CDialogWindow(CDialog& owner);
    ~CDialogWindow() override;
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;

    // Runs the dialog modally over owner (may be nullptr); the result of
    // EndDialog, -1 when the window could not be made.
    INT_PTR RunModal(HWND owner);
    // Makes the window without showing it; false when it could not be made.
    bool CreateModeless(HWND owner);
    void End(int result);

    HWND GetHwnd() const { return m_hWnd; }

    // The list view with this dialog identifier, nullptr when there is none.
    CListView* FindList(int id) const;
    CMenu* GetSystemMenu(bool revert);

    // The default processing of the message being handled (see Dispatch).
    void Default() { m_current.defaultWanted = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog();
    // A control's notification: clicks and edit changes go to the map.
    INT_PTR OnCommand(int id, unsigned code);
    void OnDropFiles(HDROP drop);
    INT_PTR OnNotify(const NMHDR& header);
    // A list's menu at screenPos ((-1, -1): from the keyboard).
    INT_PTR OnContextMenu(HWND clicked, LPARAM screenPos);
    // Hands a message to the owner's message map. true when a handler took
    // it; false when the map has none or the handler asked for the default
    // processing, which the system then gives it.
    bool Dispatch(AfxMsg message, int id, AfxMsgParams& params);
    void Centre();

    HWND m_hWnd = nullptr;
    bool m_modal = false;
    // The modal run: whether EndDialog ended it, its result, and the owner
    // it disabled (nullptr: none).
    bool m_ended = false;
    int m_result = 0;
    HWND m_modalOwner = nullptr;
    std::vector<std::uint16_t> m_templateWords;
    std::vector<std::unique_ptr<CListView>> m_lists;
    std::unique_ptr<CSystemMenu> m_sysMenu;
};

// A message the loop took from the queue, offered to the program's dialogs
// before it is dispatched: a key of a dialog's accelerator table sends its
// command, and the dialog manager gives a dialog's keys their behaviour
// (modeless dialogs included). True when it was handled.
bool AfxPreTranslateMessage(MSG& message);

// The window handle of wnd (nullptr before it is created), and that of the
// application's main window when it is shown.
HWND AfxHwndOf(const CWnd* wnd);
HWND AfxGetMainHwnd();
