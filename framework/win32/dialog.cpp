#include "framework/win32/dialog.h"

#include <algorithm>
#include <exception>
#include <string>

#include "framework/app_resources.h"
#include "framework/dialog_template.h"
#include "framework/list_ctrl.h"
#include "framework/win32/ansi_text.h"
#include "framework/win32/dialog_template_memory.h"
#include "framework/win32/list_ctrl.h"
#include "framework/win_app.h"
#include "framework/window_backend.h"

// The system menu of a dialog, as the application extends it.
class CSystemMenu final : public CMenu {
public:
    explicit CSystemMenu(HMENU menu) : m_hMenu(menu) {}

    bool AppendMenu(unsigned nFlags, unsigned nIDNewItem, const char* lpszNewItem) override {
        const std::string text = AfxAnsiText(lpszNewItem != nullptr ? lpszNewItem : "");
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem,
                             (nFlags & MF_SEPARATOR) != 0 ? nullptr : text.c_str()) != FALSE;
    }

    HMENU m_hMenu;
};

namespace {

// A command posted with CWnd::PostCommand (wParam: the command).
constexpr UINT kPostedCommandMessage = WM_APP + 0x10;

// An exception that no guard reports, kept while the system's code is
// between it and the program; the dialog call that ran it rethrows it.
std::exception_ptr g_pendingException;

// How many CWaitCursor objects live, and the cursor the first one replaced.
int g_waitCursors = 0;
HCURSOR g_cursorBeforeWait = nullptr;

HCURSOR WaitCursor() {
    return LoadCursorA(nullptr, IDC_WAIT);
}

void RethrowPending() {
    if (g_pendingException != nullptr) {
        std::exception_ptr pending = nullptr;
        std::swap(pending, g_pendingException);
        std::rethrow_exception(pending);
    }
}

bool HasIconResource(int id) {
    return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), RT_GROUP_ICON) != nullptr;
}

// The dialogs on the screen, for the message loops to find the one a message
// is for.
std::vector<CDialogWindow*> g_liveWindows;

// The modifier keys held, as an accelerator table names them.
unsigned HeldModifiers() {
    unsigned flags = 0;
    flags |= GetKeyState(VK_CONTROL) < 0 ? FCONTROL : 0u;
    flags |= GetKeyState(VK_SHIFT) < 0 ? FSHIFT : 0u;
    flags |= GetKeyState(VK_MENU) < 0 ? FALT : 0u;
    return flags;
}

}  // namespace

bool AfxPreTranslateMessage(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    const auto live = std::find_if(g_liveWindows.begin(), g_liveWindows.end(),
                                   [root](const CDialogWindow* window) {
                                       return root != nullptr && window->GetHwnd() == root;
                                   });
    if (live == g_liveWindows.end()) {
        return false;  // a window of the system's (a message box, a file dialog)
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        // A key of the dialog's accelerator table, from whichever of its
        // controls has the focus; its command runs under the dialog's guard.
        const CDialog* owner = (*live)->GetOwner();
        const int command =
            owner != nullptr
                ? owner->TranslateAccelerator(static_cast<int>(message.wParam), HeldModifiers())
                : 0;
        if (command != 0) {
            SendMessageA(root, kPostedCommandMessage, static_cast<WPARAM>(command), 0);
            return true;
        }
    }
    // Tab, the arrow keys, Enter and Escape as in any dialog, modeless ones
    // included.
    return IsDialogMessageA(root, &message) != FALSE;
}

HWND AfxHwndOf(const CWnd* wnd) {
    CDialogWindow* window = wnd != nullptr ? wnd->GetSafeHwnd() : nullptr;
    return window != nullptr ? window->GetHwnd() : nullptr;
}

HWND AfxGetMainHwnd() {
    const CDialogWindow* main = AfxGetShownMainWindow();
    return main != nullptr ? main->GetHwnd() : nullptr;
}

CDialogWindow* AfxNewDialogWindow(CDialog& dlg) {
    return new CDialogWindow(dlg);
}

bool AfxCreateModelessWindow(CDialogWindow& window, CWnd* pOwner) {
    const bool created = window.CreateModeless(AfxHwndOf(pOwner));
    RethrowPending();
    return created;
}

int AfxRunModalWindow(CDialogWindow& window, CWnd* pOwner) {
    const INT_PTR result = window.RunModal(AfxHwndOf(pOwner));
    RethrowPending();
    return static_cast<int>(result);
}

void AfxEndDialogWindow(CDialogWindow& window, int result) {
    window.End(result);
}

bool AfxIsWindowShown(const CDialogWindow& window) {
    return window.GetHwnd() != nullptr && IsWindowVisible(window.GetHwnd()) != FALSE;
}

void AfxShowWindow(CDialogWindow& window, bool show) {
    if (HWND hwnd = window.GetHwnd(); hwnd != nullptr) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        if (show) {
            SetActiveWindow(hwnd);
        }
    }
}

void AfxGotoDlgCtrl(CDialogWindow& window, int id) {
    HWND control = window.GetHwnd() != nullptr ? GetDlgItem(window.GetHwnd(), id) : nullptr;
    if (control != nullptr) {
        // As Tab does: the focus moves, and an edit field's text is selected.
        SendMessageA(window.GetHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

CDialogWindowBase& AfxWindowBase(CDialogWindow& window) {
    return window;
}

CListView* AfxFindListView(const CDialogWindow& window, int id) {
    return window.FindList(id);
}

bool AfxGetEditText(const CDialogWindow& window, int id, std::string& text) {
    HWND field = GetDlgItem(window.GetHwnd(), id);
    if (field == nullptr) {
        return false;
    }
    const int length = GetWindowTextLengthA(field);
    text.assign(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(field, text.data(), length + 1)));
    return true;
}

bool AfxGetEditTextUtf8(const CDialogWindow& window, int id, std::string& text) {
    HWND field = GetDlgItem(window.GetHwnd(), id);
    if (field == nullptr) {
        return false;
    }
    // Wide, then UTF-8: the ANSI code page would turn what it lacks into '?'.
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        GetWindowTextW(field, wide.data(), static_cast<int>(wide.size()))));
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return true;
}

void AfxSetEditText(CDialogWindow& window, int id, const std::string& text) {
    std::string shown;
    if (AfxGetEditText(window, id, shown) && shown != text) {
        // The change notification this raises arrives during the transfer,
        // which the dialog ignores.
        SetWindowTextA(GetDlgItem(window.GetHwnd(), id), text.c_str());
    }
}

bool AfxGetRadioCheck(const CDialogWindow& window, int id) {
    HWND button = GetDlgItem(window.GetHwnd(), id);
    return button != nullptr && SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void AfxSetRadioCheck(CDialogWindow& window, int id, bool checked) {
    if (HWND button = GetDlgItem(window.GetHwnd(), id); button != nullptr) {
        SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool AfxIsWindowIconic(const CDialogWindow& window) {
    return window.GetHwnd() != nullptr && ::IsIconic(window.GetHwnd()) != FALSE;
}

CRect AfxGetWindowClientRect(const CDialogWindow& window) {
    RECT rect{};
    if (window.GetHwnd() != nullptr) {
        ::GetClientRect(window.GetHwnd(), &rect);
    }
    return CRect{rect.left, rect.top, rect.right, rect.bottom};
}

void AfxSetWindowIcon(CDialogWindow& window, const CIconImages& images, bool bBigIcon) {
    if (window.GetHwnd() != nullptr) {
        HICON handle = bBigIcon ? images.hBig : images.hSmall;
        SendMessageA(window.GetHwnd(), WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(handle));
    }
}

CMenu* AfxGetWindowSystemMenu(CDialogWindow& window, bool bRevert) {
    return window.GetSystemMenu(bRevert);
}

void AfxDragAcceptFiles(CDialogWindow& window, bool bAccept) {
    // Drops on the edit field reach the dialog too: a child that takes no
    // files hands a drop to the nearest window above it that does.
    if (window.GetHwnd() != nullptr) {
        ::DragAcceptFiles(window.GetHwnd(), bAccept ? TRUE : FALSE);
    }
}

void AfxPostCommand(CDialogWindow& window, int id) {
    if (window.GetHwnd() != nullptr) {
        PostMessageA(window.GetHwnd(), kPostedCommandMessage, static_cast<WPARAM>(id), 0);
    }
}

void AfxDefaultProcessing(CDialogWindow& window) {
    window.Default();
}

class CPaintDC::Impl {
public:
    explicit Impl(HWND hwnd) : m_hWnd(hwnd), m_hDC(BeginPaint(hwnd, &m_paint)) {}
    ~Impl() { EndPaint(m_hWnd, &m_paint); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    HWND m_hWnd;
    PAINTSTRUCT m_paint{};
    HDC m_hDC;
};

CPaintDC::Impl* AfxBeginPaint(CDialogWindow& window) {
    return window.GetHwnd() != nullptr ? new CPaintDC::Impl(window.GetHwnd()) : nullptr;
}

void AfxEndPaint(CPaintDC::Impl* paint) {
    delete paint;
}

void AfxEraseBackground(CPaintDC::Impl& paint) {
    if (paint.m_hDC != nullptr) {
        RECT rect{};
        ::GetClientRect(paint.m_hWnd, &rect);
        FillRect(paint.m_hDC, &rect, GetSysColorBrush(COLOR_3DFACE));
    }
}

void AfxDrawIcon(CPaintDC::Impl& paint, int x, int y, const CIconImages& images) {
    if (paint.m_hDC != nullptr && images.hBig != nullptr) {
        ::DrawIcon(paint.m_hDC, x, y, images.hBig);
    }
}

CSize AfxGetIconSize(const CDialogWindow* /*window*/) {
    return CSize{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
}

void AfxBeginWaitCursor() {
    // While one lives the program's windows answer WM_SETCURSOR with it too.
    HCURSOR previous = SetCursor(WaitCursor());
    if (g_waitCursors++ == 0) {
        g_cursorBeforeWait = previous;
    }
}

void AfxEndWaitCursor() {
    if (--g_waitCursors == 0) {
        SetCursor(g_cursorBeforeWait);
    }
}

CIconImages::~CIconImages() {
    if (hBig != nullptr) {
        DestroyIcon(hBig);
    }
    if (hSmall != nullptr) {
        DestroyIcon(hSmall);
    }
}

CIcon AfxLoadIcon(int nIDResource) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    auto load = [&](int metricX, int metricY) {
        return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                             GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                             LR_DEFAULTCOLOR));
    };
    auto images = std::make_shared<CIconImages>();
    images->hBig = load(SM_CXICON, SM_CYICON);
    images->hSmall = load(SM_CXSMICON, SM_CYSMICON);
    if (images->hBig == nullptr && images->hSmall == nullptr) {
        return CIcon();  // the executable has no such icon
    }
    if (images->hBig == nullptr || images->hSmall == nullptr) {
        // One size only: it stands for both.
        HICON only = images->hBig != nullptr ? images->hBig : images->hSmall;
        images->hBig = images->hBig != nullptr ? images->hBig : CopyIcon(only);
        images->hSmall = images->hSmall != nullptr ? images->hSmall : CopyIcon(only);
    }
    return CIcon(std::move(images));
}

CDialogWindow::CDialogWindow(CDialog& owner) : CDialogWindowBase(owner) {}

CDialogWindow::~CDialogWindow() {
    for (const auto& list : m_lists) {
        list->WindowDestroyed();
    }
    if (m_hWnd != nullptr) {
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
}

INT_PTR CDialogWindow::RunModal(HWND owner) {
    // The dialog runs in a message loop of its own, as the system's dialog
    // box does, so that the keys of the accelerator table and of the
    // modeless dialogs it opens reach them (AfxPreTranslateMessage).
    if (!CreateModeless(owner)) {
        return -1;
    }
    m_modal = true;
    m_ended = false;
    m_modalOwner = owner != nullptr && IsWindowEnabled(owner) != FALSE ? owner : nullptr;
    if (m_modalOwner != nullptr) {
        EnableWindow(m_modalOwner, FALSE);
    }
    ShowWindow(m_hWnd, SW_SHOW);
    MSG message{};
    while (!m_ended && m_hWnd != nullptr) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is quitting: the loop outside ends it.
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            End(IDCANCEL);
            break;
        }
        if (!AfxPreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    m_modal = false;
    if (m_hWnd != nullptr) {
        HWND hwnd = m_hWnd;
        DestroyWindow(hwnd);
    }
    return m_result;
}

bool CDialogWindow::CreateModeless(HWND owner) {
    if (m_hWnd != nullptr) {
        return true;
    }
    m_templateWords = AfxBuildDialogTemplate(*m_owner->GetTemplate(), HasIconResource);
    return CreateDialogIndirectParamA(
               GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(m_templateWords.data()),
               owner, &CDialogWindow::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialogWindow::End(int result) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (!m_modal) {
        ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    m_result = result;
    m_ended = true;
    // The owner comes back before the dialog goes, so that it, not another
    // program, becomes the active window.
    if (m_modalOwner != nullptr) {
        EnableWindow(m_modalOwner, TRUE);
        m_modalOwner = nullptr;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    // The loop may wait in GetMessage: a message wakes it to see the end.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

CListView* CDialogWindow::FindList(int id) const {
    for (const auto& list : m_lists) {
        if (list->GetId() == id) {
            return list.get();
        }
    }
    return nullptr;
}

CMenu* CDialogWindow::GetSystemMenu(bool revert) {
    if (m_hWnd == nullptr) {
        return nullptr;
    }
    HMENU menu = ::GetSystemMenu(m_hWnd, revert ? TRUE : FALSE);
    if (revert) {
        // Reverting gives back the default menu, which is the window's again.
        menu = ::GetSystemMenu(m_hWnd, FALSE);
    }
    if (menu == nullptr) {
        m_sysMenu.reset();
        return nullptr;
    }
    if (m_sysMenu == nullptr || m_sysMenu->m_hMenu != menu) {
        m_sysMenu = std::make_unique<CSystemMenu>(menu);
    }
    return m_sysMenu.get();
}

bool CDialogWindow::Dispatch(AfxMsg message, int id, AfxMsgParams& params) {
    return DispatchToOwner(message, id, params) == AfxDispatchResult::handled;
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogWindow*>(lParam);
        self->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        g_liveWindows.push_back(self);
    } else {
        self = reinterpret_cast<CDialogWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    // No exception may unwind through the system's code: a file or memory
    // error is reported here and the dialog goes on; any other ends the
    // dialog and is rethrown once the system's dialog call has returned.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        try {
            if (CWinApp::ReportCurrentException()) {
                return TRUE;
            }
        } catch (...) {
        }
        if (g_pendingException == nullptr) {
            g_pendingException = std::current_exception();
        }
        if (self->m_modal) {
            self->End(-1);
        } else {
            ShowWindow(hwnd, SW_HIDE);
        }
        return TRUE;
    }
}

INT_PTR CDialogWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    AfxMsgParams params;
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case kPostedCommandMessage:
            Dispatch(AfxMsg::command, static_cast<int>(wParam), params);
            return TRUE;
        case kSyncListMessage:
            if (CListView* list = FindList(static_cast<int>(wParam)); list != nullptr) {
                list->SyncItemCount();
            }
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        case WM_SYSCOMMAND:
            params.nID = static_cast<unsigned>(wParam);
            params.lParam = static_cast<std::intptr_t>(lParam);
            return Dispatch(AfxMsg::sysCommand, 0, params) ? TRUE : FALSE;
        case WM_PAINT:
            return Dispatch(AfxMsg::paint, 0, params) ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            // Answered by the dialog procedure's own return value.
            if (Dispatch(AfxMsg::queryDragIcon, 0, params) && params.icon.GetImages() != nullptr) {
                return reinterpret_cast<INT_PTR>(params.icon.GetImages()->hBig);
            }
            return FALSE;
        case WM_HELP:
            Dispatch(AfxMsg::helpInfo, 0, params);
            return TRUE;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_SETCURSOR:
            if (g_waitCursors > 0) {
                SetCursor(WaitCursor());
                SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_DPICHANGED:
            // The system resizes the dialog and its controls (the default
            // processing); the list's columns are ours.
            for (const auto& list : m_lists) {
                list->DpiChanged(LOWORD(wParam));
            }
            return FALSE;
        case WM_DESTROY:
            for (const auto& list : m_lists) {
                list->WindowDestroyed();
            }
            return FALSE;
        case WM_NCDESTROY:
            m_hWnd = nullptr;
            g_liveWindows.erase(std::remove(g_liveWindows.begin(), g_liveWindows.end(), this),
                                g_liveWindows.end());
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CDialogWindow::OnCommand(int id, unsigned code) {
    if (m_owner == nullptr || m_owner->IsInTransfer()) {
        return FALSE;  // a notification raised by a transfer
    }
    AfxMsgParams params;
    if (code == BN_CLICKED) {
        // Clicks, and Enter (IDOK or the default button) and Escape or the
        // close box (IDCANCEL) from the dialog manager.
        return Dispatch(AfxMsg::buttonClicked, id, params) ? TRUE : FALSE;
    }
    if (code == EN_CHANGE) {
        return Dispatch(AfxMsg::editChange, id, params) ? TRUE : FALSE;
    }
    return FALSE;
}

void CDialogWindow::OnDropFiles(HDROP drop) {
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    std::string path(length + 1, '\0');
    path.resize(DragQueryFileA(drop, 0, path.data(), length + 1));
    DragFinish(drop);
    if (!path.empty()) {
        AfxMsgParams params;
        params.strPath = std::move(path);
        Dispatch(AfxMsg::dropFiles, 0, params);
    }
}

INT_PTR CDialogWindow::OnInitDialog() {
    m_lists.clear();
    for (const DlgControl& control : m_owner->GetTemplate()->controls) {
        if (control.kind == DlgControlKind::listView) {
            if (HWND hwnd = GetDlgItem(m_hWnd, control.id); hwnd != nullptr) {
                m_lists.push_back(std::make_unique<CListView>(hwnd, m_hWnd, control.id));
            }
        }
    }
    const bool focusFirst = m_owner->OnInitDialog();
    Centre();
    return focusFirst ? TRUE : FALSE;
}

INT_PTR CDialogWindow::OnNotify(const NMHDR& header) {
    CListView* list = FindList(static_cast<int>(header.idFrom));
    if (list == nullptr) {
        return FALSE;
    }
    switch (header.code) {
        case LVN_GETDISPINFOA:
            list->OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
            return TRUE;
        case LVN_GETDISPINFOW:
            list->OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            return TRUE;
        case LVN_KEYDOWN:
            list->OnKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(&header)->wVKey);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CDialogWindow::OnContextMenu(HWND clicked, LPARAM screenPos) {
    // A list's own menu; any other window's request goes on as before (a
    // right click on the dialog's background opens its system menu).
    for (const auto& list : m_lists) {
        if (list->GetHwnd() == clicked && list->GetModel() != nullptr &&
            list->GetModel()->GetContextMenu() != 0) {
            if (const int command = list->TrackContextMenu(screenPos); command != 0) {
                AfxMsgParams params;
                Dispatch(AfxMsg::command, command, params);
            }
            return TRUE;
        }
    }
    return FALSE;
}

void CDialogWindow::Centre() {
    // Over the owner when it is shown, otherwise in the middle of the screen's
    // work area; never off the work area.
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    if (HWND owner = GetWindow(m_hWnd, GW_OWNER); owner != nullptr && IsWindowVisible(owner)) {
        GetWindowRect(owner, &around);
    }
    RECT rect{};
    GetWindowRect(m_hWnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    x = std::max(static_cast<int>(area.left), std::min(x, static_cast<int>(area.right) - width));
    y = std::max(static_cast<int>(area.top), std::min(y, static_cast<int>(area.bottom) - height));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
