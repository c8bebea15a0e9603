// The list-view control of a dialog in report view, and the row store behind
// it. CListCtrl is the object a dialog holds as a member and binds to its
// control with DDX_Control; it is the core's CutRowTable, keeps the rows in
// the core's row store and tells the window what changed.
// CListView is the window: a virtual wxListCtrl that asks CListCtrl for the
// text of each cell it paints, so rows cost nothing on screen until shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <wx/listctrl.h>

#include "core/cut_row_table.h"

// Column alignment of InsertColumn.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;

class CListCtrl;

class CListView final : public wxListCtrl {
public:
    // showSelectionAlways false hides the selection while the list lacks the
    // focus; sortHeader false makes column header clicks do nothing.
    CListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
              bool showSelectionAlways, bool sortHeader);
    ~CListView() override;

    // The rows this window shows (nullptr: none).
    void SetModel(CListCtrl* model);
    const CListCtrl* GetModel() const { return m_model; }

    // Rows selected by the user, top to bottom; while the selection is hidden
    // (list without focus) the rows that will show selected again.
    std::vector<long> GetSelectedRows() const;

    // The number of rows changed (and maybe texts). The window learns the
    // new count at once when it showed no rows (so the first rows of a load
    // appear at once) or has more rows than the model; otherwise once, when
    // the event loop next runs, however many rows went in meanwhile.
    void RowsChanged();
    // Gives the window the model's row count now.
    void SyncItemCount();
    // Texts of existing rows changed.
    void TextsChanged();

private:
    wxString OnGetItemText(long item, long column) const override;
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnColumnClick(wxListEvent& event);

    CListCtrl* m_model = nullptr;
    bool m_showSelectionAlways;
    bool m_sortHeader;
    // The selection put aside while the list lacks the focus.
    std::vector<long> m_hiddenSelection;
    bool m_selectionHidden = false;
    bool m_refreshPending = false;
    bool m_countPending = false;
};

class CListCtrl final : public CutRowTable {
public:
    static constexpr int kColumns = MemoryCutRowTable::kColumns;

    CListCtrl();
    ~CListCtrl() override;
    CListCtrl(const CListCtrl&) = delete;
    CListCtrl& operator=(const CListCtrl&) = delete;

    // Binds this object to its window (done once, by DDX_Control); nullptr
    // unbinds it, as the window does when it goes away first.
    void Attach(CListView* view);
    CListView* GetView() const { return m_view; }
    bool IsAttached() const { return m_view != nullptr; }

    int InsertColumn(int column, const char* heading, int format, int width);

    // CutRowTable. Rows go in at the top in constant time.
    void DeleteAllItems() override;
    void ReleaseMemory() override;
    int InsertItem(int index, const char* text) override;
    bool SetItemText(int row, int column, const char* text) override;
    int GetItemCount() const override;
    int GetItemText(int row, int column, char* buffer, int length) const override;
    const MemoryCutRowTable* GetRowStore() const override { return &m_rows; }

    // The bytes of a cell without copying ("" for one that does not exist),
    // valid until the rows next change; and the same as a string.
    std::string_view GetCellView(int row, int column) const {
        return m_rows.GetCellView(row, column);
    }
    std::string GetCellText(int row, int column) const { return m_rows.GetCellText(row, column); }
    const MemoryCutRowTable& Rows() const { return m_rows; }

private:
    void NotifyView();

    MemoryCutRowTable m_rows;
    CListView* m_view = nullptr;
};
