// A provider of cut rows that answers only the five operations every
// provider has, from a row store it borrows: the loader must give the same
// rows through it as through the row store. It can refuse inserts, as a list
// control that is full does.
#pragma once

#include "core/cut_row_table.h"

namespace tresk::test {

class CFiveOperations final : public CutRowTable {
public:
    explicit CFiveOperations(MemoryCutRowTable& rows) : m_rows(rows) {}

    // Every later InsertItem fails (returns -1) and changes nothing.
    void RefuseInserts() { m_refuse = true; }

    void DeleteAllItems() override { m_rows.DeleteAllItems(); }
    int InsertItem(int index, const char* text) override {
        return m_refuse ? -1 : m_rows.InsertItem(index, text);
    }
    bool SetItemText(int row, int column, const char* text) override {
        return m_rows.SetItemText(row, column, text);
    }
    int GetItemCount() const override { return m_rows.GetItemCount(); }
    int GetItemText(int row, int column, char* buffer, int length) const override {
        return m_rows.GetItemText(row, column, buffer, length);
    }

private:
    MemoryCutRowTable& m_rows;
    bool m_refuse = false;
};

}  // namespace tresk::test
