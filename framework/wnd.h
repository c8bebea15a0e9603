// A window of the framework, as the application sees it: its message map,
// its icon, its system menu, painting, dropped files and the wait cursor.
// The window itself belongs to the back end (CDialogWindow); a CWnd made
// but not yet created has none.
#pragma once

#include <cstdint>
#include <string>

#include "framework/afx_defs.h"
#include "framework/icon.h"
#include "framework/message_map.h"

class CDialogWindow;

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct CSize {
    int cx = 0;
    int cy = 0;
};

// A menu the application may extend (the window's system menu).
class CMenu {
public:
    virtual ~CMenu() = default;
    // MF_SEPARATOR, or MF_STRING with the item's command and its text ("&"
    // marks the access key).
    virtual bool AppendMenu(unsigned nFlags, unsigned nIDNewItem = 0,
                            const char* lpszNewItem = nullptr) = 0;
};

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The back end's window; nullptr until the window is created.
    CDialogWindow* GetSafeHwnd() const { return m_hWnd; }

    bool IsIconic() const;
    CRect GetClientRect() const;
    // The window's big (title bar, task switcher) or small icon.
    void SetIcon(const CIcon& icon, bool bBigIcon);
    // The system menu; nullptr when the window has none. bRevert restores
    // the default menu.
    CMenu* GetSystemMenu(bool bRevert);
    // Files dropped on the window (and on its edit fields, which would
    // otherwise take a drop as typed text) reach OnDropFiles.
    void DragAcceptFiles(bool bAccept = true);
    // Sends the command nID to the message map (ON_COMMAND) once the message
    // loop runs, under the framework's guard like any other message.
    void PostCommand(int nID);
    // A modal message box over this window, which the keyboard comes back to
    // when it closes; caption nullptr is the application's name. As
    // AfxMessageBox otherwise.
    int MessageBox(const std::string& text, const char* caption = nullptr, unsigned nType = MB_OK);
    // SW_SHOW shows the window and makes it the active one; SW_HIDE hides it.
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;

    virtual const AfxMsgMap* GetMessageMap() const;

protected:
    static const AfxMsgMap* GetThisMessageMap();

    // Gives the message being handled to the framework's default processing.
    void Default();

    // Default handlers, for a derived class's handler to fall back on.
    void OnPaint() { Default(); }
    void OnSysCommand(unsigned /*nID*/, std::intptr_t /*lParam*/) { Default(); }
    CIcon OnQueryDragIcon() { return CIcon(); }
    void OnDropFiles(const std::string& /*strPath*/) { Default(); }
    void OnHelpInfo() { Default(); }

    CDialogWindow* m_hWnd = nullptr;
};

// Painting a window inside its paint message.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    // Fills the client area with the window's background colour.
    void EraseBackground();
    // Draws icon at x, y, in the system's icon size (AfxGetSystemIconSize).
    void DrawIcon(int x, int y, const CIcon& icon);

    // The back end's paint in progress.
    class Impl;

private:
    Impl* m_pImpl = nullptr;  // nullptr: the window is not created
};

// The size the system draws icons in (SM_CXICON, SM_CYICON).
CSize AfxGetSystemIconSize(const CWnd* pWnd);

// The busy cursor over the program's windows for the object's lifetime.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
