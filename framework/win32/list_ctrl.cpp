#include "framework/win32/list_ctrl.h"

#include <algorithm>
#include <cstring>

#include <windowsx.h>  // GET_X_LPARAM

#include "core/windows1252.h"
#include "framework/app_resources.h"
#include "framework/list_ctrl.h"
#include "framework/row_copy_text.h"
#include "framework/win32/ansi_text.h"
#include "framework/window_backend.h"
#include "platform/file.h"

namespace {

// The list asks for a cell's text and gave room for at least its end.
template <typename Item>
bool AsksForText(const Item& item) {
    return (item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up once: Windows 7 does not have it, and a program that named it
// would not start there.
GetDpiForWindowFunction GetDpiForWindowOfSystem() {
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return function;
}

}  // namespace

int AfxWindowDpi(HWND window) {
    if (const GetDpiForWindowFunction getDpi = GetDpiForWindowOfSystem(); getDpi != nullptr) {
        if (const UINT dpi = getDpi(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(window);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) {
        ReleaseDC(window, screen);
    }
    return dpi > 0 ? dpi : 96;
}

CListView::CListView(HWND hwnd, HWND dialog, int id)
    : m_hWnd(hwnd), m_dialog(dialog), m_id(id), m_dpi(AfxWindowDpi(hwnd)) {}

int CListView::ScaledWidth(int width96) const {
    return MulDiv(width96, m_dpi, 96);
}

void CListView::DpiChanged(int dpi) {
    if (m_hWnd == nullptr || dpi <= 0 || dpi == m_dpi) {
        return;
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    const auto columns =
        header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < columns; ++column) {
        const auto width = static_cast<int>(
            SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
        SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(MulDiv(width, dpi, m_dpi), 0));
    }
    m_dpi = dpi;
}

CListView::~CListView() {
    WindowDestroyed();
}

void CListView::SetModel(CListCtrl* model) {
    m_model = model;
    RowsChanged();
}

void AfxSetListModel(CListView& view, CListCtrl* model) {
    view.SetModel(model);
}

CListCtrl* AfxGetListModel(const CListView& view) {
    return view.GetModel();
}

void CListView::WindowDestroyed() {
    m_hWnd = nullptr;
    if (m_model != nullptr) {
        CListCtrl* model = m_model;
        m_model = nullptr;
        model->Attach(nullptr);
    }
}

void CListView::RowsChanged() {
    if (m_hWnd == nullptr || m_syncPending) {
        return;
    }
    const int count = m_model != nullptr ? m_model->GetItemCount() : 0;
    if (m_shown == 0 || count < m_shown) {
        SyncItemCount();
    } else {
        // A load inserts a million rows one by one: the window is told the
        // count once, when the message loop next runs.
        PostSync();
    }
}

void CListView::TextsChanged() {
    if (m_hWnd != nullptr && !m_syncPending) {
        PostSync();
    }
}

void CListView::PostSync() {
    m_syncPending = PostMessageA(m_dialog, kSyncListMessage, static_cast<WPARAM>(m_id), 0) != FALSE;
    if (!m_syncPending) {
        SyncItemCount();  // the queue is full: better now than never
    }
}

void CListView::SyncItemCount() {
    m_syncPending = false;
    if (m_hWnd == nullptr) {
        return;
    }
    const int count = m_model != nullptr ? m_model->GetItemCount() : 0;
    if (count != m_shown) {
        m_shown = count;
        SendMessageA(m_hWnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

std::string_view CListView::CellText(int row, int column, int room) const {
    const std::string_view cell =
        m_model != nullptr ? m_model->GetCellView(row, column) : std::string_view();
    return cell.substr(0, static_cast<std::size_t>(room - 1));  // room for the text's end
}

void CListView::OnGetDispInfo(NMLVDISPINFOA& info) const {
    if (!AsksForText(info.item)) {
        return;
    }
    const std::string_view cell =
        CellText(info.item.iItem, info.item.iSubItem, info.item.cchTextMax);
    std::memcpy(info.item.pszText, cell.data(), cell.size());
    info.item.pszText[cell.size()] = '\0';
}

void CListView::OnGetDispInfo(NMLVDISPINFOW& info) const {
    if (!AsksForText(info.item)) {
        return;
    }
    const std::string_view cell =
        CellText(info.item.iItem, info.item.iSubItem, info.item.cchTextMax);
    for (std::size_t i = 0; i < cell.size(); ++i) {
        info.item.pszText[i] =
            static_cast<wchar_t>(windows1252::CodePoint(static_cast<unsigned char>(cell[i])));
    }
    info.item.pszText[cell.size()] = L'\0';
}

std::vector<int> CListView::GetSelectedRows() const {
    std::vector<int> rows;
    if (m_hWnd == nullptr) {
        return rows;
    }
    const auto selected = static_cast<int>(SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0));
    rows.reserve(static_cast<std::size_t>(std::max(selected, 0)));
    if (selected > 0 && selected == m_shown) {
        // Every row (Ctrl+A on a million): no need to ask for each.
        for (int row = 0; row < selected; ++row) {
            rows.push_back(row);
        }
        return rows;
    }
    for (LRESULT item =
             SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         item != -1;
         item = SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED)) {
        rows.push_back(static_cast<int>(item));
    }
    return rows;
}

void CListView::OnKeyDown(WORD key) {
    const bool ctrlOnly =
        GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
    if (!ctrlOnly || m_copyTitles == nullptr) {
        return;  // the keys are the list's only once copying is on
    }
    if (key == 'C') {
        CopySelection();
    } else if (key == 'A') {
        SelectAll();
    }
}

void CListView::CopySelection() const {
    if (m_copyTitles == nullptr || m_model == nullptr) {
        return;
    }
    const std::vector<int> rows = GetSelectedRows();
    if (!rows.empty()) {
        const CListCtrl* model = m_model;
        AfxPutTextOnClipboard(
            m_dialog, MakeRowsClipboardText(*m_copyTitles, rows, [model](int row, int column) {
                return model->GetCellView(row, column);
            }));
    }
}

void CListView::SelectAll() {
    if (m_hWnd == nullptr) {
        return;
    }
    // Item -1 stands for every item. Some list views still repaint row by
    // row while marking them (a million repaint requests): the list is
    // repainted once, afterwards.
    SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListView::SelectOnly(int row) {
    if (m_hWnd == nullptr) {
        return;
    }
    SyncItemCount();  // the row may have come in since the last count
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageA(m_hWnd, LVM_SETSELECTIONMARK, 0, row);
    SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int CListView::TrackContextMenu(LPARAM screenPos) const {
    const AfxMenuResource* resource =
        m_model != nullptr ? AfxFindMenuResource(m_model->GetContextMenu()) : nullptr;
    if (resource == nullptr || m_hWnd == nullptr) {
        return 0;
    }
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return 0;
    }
    for (const AfxMenuItem& entry : resource->items) {
        const std::string text = AfxAnsiText(entry.text != nullptr ? entry.text : "");
        AppendMenuA(menu, entry.id == 0 ? MF_SEPARATOR : MF_STRING, static_cast<UINT_PTR>(entry.id),
                    entry.id == 0 ? nullptr : text.c_str());
    }
    POINT at{GET_X_LPARAM(screenPos), GET_Y_LPARAM(screenPos)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: under the focused row when it shows, otherwise
        // at the list's corner.
        at = POINT{0, 0};
        const LRESULT focused =
            SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
        RECT rect{};
        rect.left = LVIR_LABEL;
        if (focused >= 0 && SendMessageA(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                         reinterpret_cast<LPARAM>(&rect)) != FALSE) {
            at = POINT{rect.left, rect.bottom};
        }
        ClientToScreen(m_hWnd, &at);
    }
    const int command = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, m_dialog, nullptr));
    DestroyMenu(menu);
    return command;
}

bool AfxPutTextOnClipboard(HWND owner, const std::string& utf8) {
    std::wstring wide;
    const std::wstring decoded = AfxWideText(utf8);
    wide.reserve(decoded.size() + decoded.size() / 8 + 1);
    for (const wchar_t c : decoded) {
        if (c == L'\n') {
            wide.push_back(L'\r');
        }
        wide.push_back(c);
    }
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        // Too big for the memory left: said as for any other allocation of
        // a command, not a copy that silently did nothing.
        throw CMemoryException();
    }
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) {
        GlobalFree(memory);  // the clipboard took no ownership
    }
    return placed;
}

int AfxInsertListColumn(CListView& view, int column, const char* heading, int format, int width) {
    if (view.GetHwnd() == nullptr) {
        return -1;
    }
    std::string text = AfxAnsiText(heading != nullptr ? heading : "");
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = view.ScaledWidth(width);
    col.pszText = text.data();
    col.iSubItem = column;
    return static_cast<int>(SendMessageA(view.GetHwnd(), LVM_INSERTCOLUMNA,
                                         static_cast<WPARAM>(column),
                                         reinterpret_cast<LPARAM>(&col)));
}

void AfxEnableListRowCopy(CListView& view, const std::vector<std::string>& headings) {
    view.EnableRowCopy(&headings);
}

void AfxCopyListSelection(CListView& view) {
    view.CopySelection();
}

void AfxSelectAllListRows(CListView& view) {
    // The list takes the focus, so the selection shows and Ctrl+C copies it.
    if (view.GetHwnd() != nullptr) {
        SetFocus(view.GetHwnd());
    }
    view.SelectAll();
}

int AfxGetListFocusedRow(const CListView& view) {
    if (view.GetHwnd() == nullptr) {
        return -1;
    }
    return static_cast<int>(
        SendMessageA(view.GetHwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void AfxSelectOnlyListRow(CListView& view, int row) {
    view.SelectOnly(row);
}

void AfxListRowsChanged(CListView& view) {
    view.RowsChanged();
}

void AfxListTextsChanged(CListView& view) {
    view.TextsChanged();
}
