#include "framework/wnd.h"

#include "framework/win_app.h"

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
