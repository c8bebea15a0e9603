#include "framework/wnd.h"

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "framework/win_app.h"
#include "framework/window_backend.h"

const AfxMsgMapEntry* AfxFindMessageEntry(const AfxMsgMap* map, AfxMsg message, int id) {
    for (; map != nullptr; map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AfxMsgMapEntry* entry = map->lpEntries; entry->nMessage != AfxMsg::end;
             ++entry) {
            if (entry->nMessage == message && entry->nID == id) {
                return entry;
            }
        }
    }
    return nullptr;
}

AfxDispatchResult AfxDispatchToMap(CWnd* pOwner, AfxCurrentMessage& current, AfxMsg message, int id,
                                   AfxMsgParams& params, void* event) {
    const AfxMsgMapEntry* entry =
        pOwner != nullptr ? AfxFindMessageEntry(pOwner->GetMessageMap(), message, id) : nullptr;
    if (entry == nullptr) {
        return AfxDispatchResult::unmapped;
    }
    struct Restore {
        AfxCurrentMessage& slot;
        AfxCurrentMessage outer;
        ~Restore() { slot = outer; }
    } restore{current, current};
    current = AfxCurrentMessage{message, &params, event, false};
    entry->pfn(*pOwner, params);
    return current.defaultWanted ? AfxDispatchResult::defaultWanted : AfxDispatchResult::handled;
}

CDialogWindowBase::~CDialogWindowBase() = default;

AfxDispatchResult CDialogWindowBase::DispatchToOwner(AfxMsg message, int id, AfxMsgParams& params,
                                                     void* event) {
    return AfxDispatchToMap(m_owner, m_current, message, id, params, event);
}

CDialogWindow* AfxGetShownMainWindow() {
    const CWnd* main = AfxGetMainWnd();
    CDialogWindow* window = main != nullptr ? main->GetSafeHwnd() : nullptr;
    return window != nullptr && AfxIsWindowShown(*window) ? window : nullptr;
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // A main window that goes away is no owner for later boxes.
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
}

const AfxMsgMap* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

const AfxMsgMap* CWnd::GetThisMessageMap() {
    static const AfxMsgMapEntry entries[] = {{AfxMsg::end, 0, nullptr}};
    static const AfxMsgMap map = {nullptr, entries};
    return &map;
}

bool CWnd::IsIconic() const {
    return m_hWnd != nullptr && AfxIsWindowIconic(*m_hWnd);
}

CRect CWnd::GetClientRect() const {
    return m_hWnd != nullptr ? AfxGetWindowClientRect(*m_hWnd) : CRect();
}

void CWnd::SetIcon(const CIcon& icon, bool bBigIcon) {
    if (m_hWnd != nullptr && icon.GetImages() != nullptr) {
        AfxSetWindowIcon(*m_hWnd, *icon.GetImages(), bBigIcon);
    }
}

CMenu* CWnd::GetSystemMenu(bool bRevert) {
    return m_hWnd != nullptr ? AfxGetWindowSystemMenu(*m_hWnd, bRevert) : nullptr;
}

void CWnd::DragAcceptFiles(bool bAccept) {
    if (m_hWnd != nullptr) {
        AfxDragAcceptFiles(*m_hWnd, bAccept);
    }
}

void CWnd::PostCommand(int nID) {
    if (m_hWnd != nullptr) {
        AfxPostCommand(*m_hWnd, nID);
    }
}

int CWnd::MessageBox(const std::string& text, const char* caption, unsigned nType) {
    return AfxShowMessageBox(m_hWnd, text, caption != nullptr ? caption : AfxGetAppName(), nType);
}

void CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd != nullptr) {
        AfxShowWindow(*m_hWnd, nCmdShow != SW_HIDE);
    }
}

bool CWnd::IsWindowVisible() const {
    return m_hWnd != nullptr && AfxIsWindowShown(*m_hWnd);
}

void CWnd::Default() {
    if (m_hWnd != nullptr) {
        AfxDefaultProcessing(*m_hWnd);
    }
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    if (CDialogWindow* window = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
        window != nullptr) {
        m_pImpl = AfxBeginPaint(*window);
    }
}

CPaintDC::~CPaintDC() {
    if (m_pImpl != nullptr) {
        AfxEndPaint(m_pImpl);
    }
}

void CPaintDC::EraseBackground() {
    if (m_pImpl != nullptr) {
        AfxEraseBackground(*m_pImpl);
    }
}

void CPaintDC::DrawIcon(int x, int y, const CIcon& icon) {
    if (m_pImpl != nullptr && icon.GetImages() != nullptr) {
        AfxDrawIcon(*m_pImpl, x, y, *icon.GetImages());
    }
}

CSize AfxGetSystemIconSize(const CWnd* pWnd) {
    return AfxGetIconSize(pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr);
}

CWaitCursor::CWaitCursor() {
    AfxBeginWaitCursor();
}

CWaitCursor::~CWaitCursor() {
    AfxEndWaitCursor();
}
