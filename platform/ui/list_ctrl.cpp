#include "platform/ui/list_ctrl.h"

#include <algorithm>
#include <cstring>

#include "platform/ui/ansi_text.h"

CListView::CListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                     long style, bool showSelectionAlways, bool sortHeader)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT | wxLC_VIRTUAL),
      m_showSelectionAlways(showSelectionAlways),
      m_sortHeader(sortHeader) {
    Bind(wxEVT_SET_FOCUS, &CListView::OnSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CListView::OnKillFocus, this);
    Bind(wxEVT_LIST_COL_CLICK, &CListView::OnColumnClick, this);
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
    if (GetItemCount() != count) {
        // Rows moved: a selection put aside no longer matches them.
        m_hiddenSelection.clear();
        SetItemCount(count);
    }
    TextsChanged();
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
        m_model->GetCellText(static_cast<int>(item), static_cast<int>(column)));
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

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() {
    if (m_view != nullptr) {
        m_view->SetModel(nullptr);
    }
}

void CListCtrl::Attach(CListView* view) {
    if (m_view == view) {
        return;
    }
    CListView* previous = m_view;
    m_view = view;
    if (previous != nullptr && previous->GetModel() == this) {
        previous->SetModel(nullptr);
    }
    if (m_view != nullptr) {
        m_view->SetModel(this);
    }
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    if (m_view == nullptr) {
        return -1;
    }
    wxListColumnFormat align = wxLIST_FORMAT_LEFT;
    if (format == LVCFMT_RIGHT) {
        align = wxLIST_FORMAT_RIGHT;
    } else if (format == LVCFMT_CENTER) {
        align = wxLIST_FORMAT_CENTRE;
    }
    // Widths are pixels at 96 DPI.
    const long index = m_view->InsertColumn(column, FromAnsi(heading != nullptr ? heading : ""),
                                            align, m_view->FromDIP(width));
    return static_cast<int>(index);
}

void CListCtrl::NotifyView() {
    if (m_view != nullptr) {
        m_view->RowsChanged();
    }
}

void CListCtrl::DeleteAllItems() {
    m_rows.clear();
    // Hand the memory of a large list back at once.
    std::deque<Row>().swap(m_rows);
    NotifyView();
}

int CListCtrl::InsertItem(int index, const char* text) {
    if (index < 0) {
        return -1;
    }
    const auto count = static_cast<int>(m_rows.size());
    if (index > count) {
        index = count;  // past the end: appended, as the list view does
    }
    if (index == 0) {
        m_rows.emplace_front();
    } else {
        m_rows.emplace(m_rows.begin() + index);
    }
    StoreCell(m_rows[static_cast<std::size_t>(index)], 0, text);
    NotifyView();
    return index;
}

bool CListCtrl::SetItemText(int row, int column, const char* text) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size() || column < 0 ||
        column >= kColumns) {
        return false;
    }
    StoreCell(m_rows[static_cast<std::size_t>(row)], column, text);
    if (m_view != nullptr) {
        m_view->TextsChanged();
    }
    return true;
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(m_rows.size());
}

int CListCtrl::GetItemText(int row, int column, char* buffer, int length) const {
    if (buffer == nullptr || length < 1) {
        return 0;
    }
    const char* text = "";
    if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size() && column >= 0 &&
        column < kColumns) {
        text = CellText(m_rows[static_cast<std::size_t>(row)], column);
    }
    const std::size_t n = std::min(std::strlen(text), static_cast<std::size_t>(length - 1));
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string CListCtrl::GetCellText(int row, int column) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size() || column < 0 ||
        column >= kColumns) {
        return std::string();
    }
    return CellText(m_rows[static_cast<std::size_t>(row)], column);
}

const char* CListCtrl::CellText(const Row& row, int column) const {
    const auto c = static_cast<std::size_t>(column);
    if (row.longCells != nullptr && !(*row.longCells)[c].empty()) {
        return (*row.longCells)[c].c_str();
    }
    return row.cells[c].data();
}

void CListCtrl::StoreCell(Row& row, int column, const char* text) {
    const auto c = static_cast<std::size_t>(column);
    if (text == nullptr) {
        text = "";
    }
    const std::size_t length = std::strlen(text);
    if (length <= kInlineChars) {
        std::memcpy(row.cells[c].data(), text, length + 1);
        if (row.longCells != nullptr) {
            (*row.longCells)[c].clear();
        }
        return;
    }
    row.cells[c][0] = '\0';
    if (row.longCells == nullptr) {
        row.longCells = std::make_unique<std::array<std::string, kColumns>>();
    }
    (*row.longCells)[c].assign(text, length);
}
