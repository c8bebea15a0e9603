#include "framework/wx/list_ctrl.h"

#include <wx/menu.h>

#include "framework/app_resources.h"
#include "framework/list_ctrl.h"
#include "framework/window_backend.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/dialog.h"
#include "framework/wx/row_clipboard.h"

CListView::CListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                     long style, bool showSelectionAlways, bool sortHeader)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT | wxLC_VIRTUAL),
      m_showSelectionAlways(showSelectionAlways),
      m_sortHeader(sortHeader) {
    Bind(wxEVT_SET_FOCUS, &CListView::OnSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CListView::OnKillFocus, this);
    Bind(wxEVT_LIST_COL_CLICK, &CListView::OnColumnClick, this);
    Bind(wxEVT_CONTEXT_MENU, &CListView::OnContextMenu, this);
}

CListView::~CListView() {
    if (m_model != nullptr) {
        m_model->Attach(nullptr);
    }
}

void CListView::SetModel(CListCtrl* model) {
    m_model = model;
    RowsChanged();
}

void CListView::RowsChanged() {
    const long count = m_model != nullptr ? m_model->GetItemCount() : 0;
    const long shown = GetItemCount();
    if (shown == 0 || count < shown) {
        SyncItemCount();
    } else if (count != shown && !m_countPending) {
        // A load inserts a million rows one by one: the window is told the
        // count once, when the event loop next runs.
        m_countPending = true;
        CallAfter([this] { SyncItemCount(); });
    }
    TextsChanged();
}

void CListView::SyncItemCount() {
    m_countPending = false;
    const long count = m_model != nullptr ? m_model->GetItemCount() : 0;
    if (GetItemCount() != count) {
        // Rows moved: a selection put aside no longer matches them.
        m_hiddenSelection.clear();
        SetItemCount(count);
    }
}

void CListView::TextsChanged() {
    // A load sets a million cell texts in one go: repaint once, when the
    // event loop next runs, not once per cell.
    if (m_refreshPending) {
        return;
    }
    m_refreshPending = true;
    CallAfter([this] {
        m_refreshPending = false;
        Refresh();
    });
}

wxString CListView::OnGetItemText(long item, long column) const {
    if (m_model == nullptr) {
        return wxString();
    }
    return DecodeWindows1252(
        m_model->GetCellView(static_cast<int>(item), static_cast<int>(column)));
}

std::vector<long> CListView::GetSelectedRows() const {
    if (m_selectionHidden) {
        return m_hiddenSelection;
    }
    std::vector<long> rows;
    for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
         item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        rows.push_back(item);
    }
    return rows;
}

void CListView::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    if (m_showSelectionAlways || m_selectionHidden) {
        return;
    }
    // The toolkit's list keeps painting the selection without the focus;
    // put the selection aside and clear it until the focus comes back.
    m_hiddenSelection = GetSelectedRows();
    m_selectionHidden = true;
    if (!m_hiddenSelection.empty()) {
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    }
}

void CListView::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    if (!m_selectionHidden) {
        return;
    }
    m_selectionHidden = false;
    std::vector<long> rows;
    rows.swap(m_hiddenSelection);
    const long count = GetItemCount();
    if (!rows.empty() && static_cast<long>(rows.size()) == count) {
        SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        return;
    }
    for (long row : rows) {
        if (row < count) {
            SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        }
    }
}

void CListView::OnColumnClick(wxListEvent& event) {
    // Headers that are not buttons: a click neither sorts nor notifies.
    if (m_sortHeader) {
        event.Skip();
    }
}

void CListView::SelectOnly(long row) {
    SyncItemCount();
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    if (m_selectionHidden) {
        m_hiddenSelection.assign(1, row);
    } else {
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }
    SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    EnsureVisible(row);
}

void CListView::CopySelection() const {
    if (m_copyTitles == nullptr || m_model == nullptr) {
        return;
    }
    std::vector<int> rows;
    for (const long row : GetSelectedRows()) {
        rows.push_back(static_cast<int>(row));
    }
    if (!rows.empty()) {
        const CListCtrl* model = m_model;
        PutTextOnClipboard(MakeRowsClipboardText(
            *m_copyTitles, rows, [model](int r, int c) { return model->GetCellView(r, c); }));
    }
}

std::unique_ptr<wxMenu> CListView::MakeContextMenu() const {
    const AfxMenuResource* resource =
        m_model != nullptr ? AfxFindMenuResource(m_model->GetContextMenu()) : nullptr;
    if (resource == nullptr) {
        return nullptr;
    }
    auto menu = std::make_unique<wxMenu>();
    int index = 0;
    for (const AfxMenuItem& item : resource->items) {
        if (item.id == 0) {
            menu->AppendSeparator();
        } else {
            menu->Append(kFirstMenuItemId + index, FromAnsi(item.text));
        }
        ++index;
    }
    return menu;
}

int CListView::GetMenuCommand(int itemId) const {
    const AfxMenuResource* resource =
        m_model != nullptr ? AfxFindMenuResource(m_model->GetContextMenu()) : nullptr;
    const int index = itemId - kFirstMenuItemId;
    if (resource == nullptr || index < 0 || index >= static_cast<int>(resource->items.size())) {
        return 0;
    }
    return resource->items[static_cast<std::size_t>(index)].id;
}

void CListView::OnContextMenu(wxContextMenuEvent& event) {
    auto* dialog = dynamic_cast<CDialogWindow*>(GetParent());
    const std::unique_ptr<wxMenu> menu = MakeContextMenu();
    if (menu == nullptr || dialog == nullptr) {
        event.Skip();
        return;
    }
    // From the keyboard (Shift+F10, the menu key) the menu opens at the
    // focused row, or at the list's corner.
    wxPoint pos = event.GetPosition();
    if (pos == wxDefaultPosition) {
        wxRect rect;
        const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        pos = focused >= 0 && GetItemRect(focused, rect) ? rect.GetBottomLeft() : wxPoint(0, 0);
    } else {
        pos = ScreenToClient(pos);
    }
    if (const int command = GetMenuCommand(GetPopupMenuSelectionFromUser(*menu, pos));
        command != 0) {
        dialog->PostCommand(command);
    }
}

int AfxInsertListColumn(CListView& view, int column, const char* heading, int format, int width) {
    wxListColumnFormat align = wxLIST_FORMAT_LEFT;
    if (format == LVCFMT_RIGHT) {
        align = wxLIST_FORMAT_RIGHT;
    } else if (format == LVCFMT_CENTER) {
        align = wxLIST_FORMAT_CENTRE;
    }
    // Widths are pixels at 96 DPI.
    return static_cast<int>(view.InsertColumn(column, FromAnsi(heading != nullptr ? heading : ""),
                                              align, view.FromDIP(width)));
}

void AfxEnableListRowCopy(CListView& view, const std::vector<std::string>& headings) {
    // The cells straight from the rows: asking the list window for each cell
    // costs twenty times more.
    view.SetCopyTitles(&headings);
    const CListView* shown = &view;
    BindRowCopyKeys(view, headings, [shown](int row, int column) {
        const CListCtrl* rows = shown->GetModel();
        return rows != nullptr ? rows->GetCellView(row, column) : std::string_view();
    });
}

void AfxCopyListSelection(CListView& view) {
    view.CopySelection();
}

void AfxSelectAllListRows(CListView& view) {
    // The list takes the focus, so the selection shows and Ctrl+C copies it.
    view.SetFocus();
    SelectAllRows(view);
}

int AfxGetListFocusedRow(const CListView& view) {
    return static_cast<int>(view.GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
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

void AfxSetListModel(CListView& view, CListCtrl* model) {
    view.SetModel(model);
}

CListCtrl* AfxGetListModel(const CListView& view) {
    return view.GetModel();
}
