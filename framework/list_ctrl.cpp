#include "framework/list_ctrl.h"

#include <algorithm>

#include "framework/window_backend.h"

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() {
    if (m_view != nullptr) {
        AfxSetListModel(*m_view, nullptr);
    }
}

void CListCtrl::Attach(CListView* view) {
    if (m_view == view) {
        return;
    }
    CListView* previous = m_view;
    m_view = view;
    if (previous != nullptr && AfxGetListModel(*previous) == this) {
        AfxSetListModel(*previous, nullptr);
    }
    if (m_view != nullptr) {
        // A window shows one list: one that showed it before lets go, so it
        // never points at the window after the window is gone.
        if (CListCtrl* other = AfxGetListModel(*m_view); other != nullptr) {
            other->m_view = nullptr;
        }
        AfxSetListModel(*m_view, this);
    }
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
    if (m_view == nullptr) {
        return -1;
    }
    const int index = AfxInsertListColumn(*m_view, column, heading, format, width);
    if (index >= 0) {
        // The headings a row copy puts above the rows, in column order.
        const auto at = std::min(static_cast<std::size_t>(index), m_headings.size());
        m_headings.insert(m_headings.begin() + static_cast<std::ptrdiff_t>(at),
                          heading != nullptr ? heading : "");
    }
    return index;
}

void CListCtrl::EnableRowCopy() {
    if (m_view != nullptr) {
        AfxEnableListRowCopy(*m_view, m_headings);
    }
}

void CListCtrl::CopySelectedRows() {
    if (m_view != nullptr) {
        AfxCopyListSelection(*m_view);
    }
}

void CListCtrl::SelectAllRows() {
    if (m_view != nullptr) {
        AfxSelectAllListRows(*m_view);
    }
}

int CListCtrl::GetFocusedItem() const {
    return m_view != nullptr ? AfxGetListFocusedRow(*m_view) : -1;
}

void CListCtrl::SelectOnlyItem(int row) {
    if (m_view != nullptr && row >= 0 && row < GetItemCount()) {
        AfxSelectOnlyListRow(*m_view, row);
    }
}

void CListCtrl::NotifyRows() {
    if (m_view != nullptr) {
        AfxListRowsChanged(*m_view);
    }
}

void CListCtrl::NotifyTexts() {
    if (m_view != nullptr) {
        AfxListTextsChanged(*m_view);
    }
}

void CListCtrl::DeleteAllItems() {
    m_rows.DeleteAllItems();
    NotifyRows();
}

void CListCtrl::ReleaseMemory() {
    m_rows.ReleaseMemory();
    NotifyRows();
}

int CListCtrl::InsertItem(int index, const char* text) {
    const int inserted = m_rows.InsertItem(index, text);
    if (inserted >= 0) {
        NotifyRows();
    }
    return inserted;
}

int CListCtrl::InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]) {
    // A whole row at once: the view learns of it as of an inserted row.
    const int inserted = m_rows.InsertTopRow(bytes, lengths);
    if (inserted >= 0) {
        NotifyRows();
    }
    return inserted;
}

bool CListCtrl::SetItemText(int row, int column, const char* text) {
    if (!m_rows.SetItemText(row, column, text)) {
        return false;
    }
    NotifyTexts();
    return true;
}

int CListCtrl::GetItemCount() const {
    return m_rows.GetItemCount();
}

int CListCtrl::GetItemText(int row, int column, char* buffer, int length) const {
    return m_rows.GetItemText(row, column, buffer, length);
}
