// The list-view control of a dialog in report view. CListCtrl is the object a
// dialog holds as a member and binds to its control with DDX_Control; it is
// the core's CutRowTable, keeps the rows in the core's row store and tells the
// window what changed. The window (CListView) belongs to the back end and
// asks CListCtrl for the text of each cell it paints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/cut_row_table.h"
#include "framework/afx_defs.h"

class CListView;

class CListCtrl final : public CutRowTable {
public:
    CListCtrl();
    ~CListCtrl() override;
    CListCtrl(const CListCtrl&) = delete;
    CListCtrl& operator=(const CListCtrl&) = delete;

    // Binds this object to its window (done once, by DDX_Control); nullptr
    // unbinds it, as the window does when it goes away first.
    void Attach(CListView* view);
    CListView* GetView() const { return m_view; }
    bool IsAttached() const { return m_view != nullptr; }

    // format: LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER; width in pixels at
    // 96 DPI.
    int InsertColumn(int column, const char* heading, int format, int width);

    // Ctrl+C puts the selected rows on the clipboard as tab-separated text
    // under a line of the column headings, the cells decoded as the list
    // shows them; Ctrl+A selects every row.
    void EnableRowCopy();
    // What Ctrl+C and Ctrl+A do, for a menu's entries.
    void CopySelectedRows();
    void SelectAllRows();

    // A right click on the list, Shift+F10 and the context-menu key open the
    // menu resource nIDResource (0: none); the entry chosen is sent as a
    // command to the message map of the list's dialog (ON_COMMAND).
    void SetContextMenu(int nIDResource) { m_contextMenu = nIDResource; }
    int GetContextMenu() const { return m_contextMenu; }

    // The row with the focus, -1 when none.
    int GetFocusedItem() const;
    // Makes row the only selected row and the focused one, and scrolls it
    // into view; the keyboard focus stays where it is.
    void SelectOnlyItem(int row);

    // CutRowTable. Rows go in at the top in constant time.
    void DeleteAllItems() override;
    void ReleaseMemory() override;
    int InsertItem(int index, const char* text) override;
    bool SetItemText(int row, int column, const char* text) override;
    int GetItemCount() const override;
    int GetItemText(int row, int column, char* buffer, int length) const override;
    int InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]) override;

    // The bytes of a cell without copying ("" for one that does not exist),
    // valid until the rows next change; and the same as a string.
    std::string_view GetCellView(int row, int column) const {
        return m_rows.GetCellView(row, column);
    }
    std::string GetCellText(int row, int column) const { return m_rows.GetCellText(row, column); }
    const MemoryCutRowTable& Rows() const { return m_rows; }

private:
    // The window learns that the number of rows, or only texts, changed.
    void NotifyRows();
    void NotifyTexts();

    MemoryCutRowTable m_rows;
    CListView* m_view = nullptr;
    std::vector<std::string> m_headings;
    int m_contextMenu = 0;
};
