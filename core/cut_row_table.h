// The rows of the cut list, 13 cell texts each, index 0 at the top, and the
// five operations the core needs of whatever holds them (the dialog's list
// control, or an in-memory table).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CutRowTable {
public:
    virtual ~CutRowTable() = default;

    // The table becomes empty.
    virtual void DeleteAllItems() = 0;
    // Inserts a row at index 0 with text in column 0 (the other cells empty);
    // every existing row moves down by one. Returns the new row's index (0).
    virtual int InsertItem(int index, const char* text) = 0;
    // Replaces the text of one cell of an existing row. False when the row or
    // column does not exist.
    virtual bool SetItemText(int row, int column, const char* text) = 0;
    virtual int GetItemCount() const = 0;
    // Copies at most length - 1 characters of the cell's text into buffer and
    // ends them with a zero byte. Returns the number of characters copied (an
    // empty text for a cell that does not exist; nothing when length < 1).
    virtual int GetItemText(int row, int column, char* buffer, int length) const = 0;
};

// A CutRowTable held in memory, for the converter, the tests and the fuzz
// targets. Rows are kept compact: cell texts of up to 8 characters live inline
// in the row; longer ones (which the reader never makes) go to a side store.
class MemoryCutRowTable final : public CutRowTable {
public:
    MemoryCutRowTable();
    ~MemoryCutRowTable() override;
    MemoryCutRowTable(const MemoryCutRowTable&) = delete;
    MemoryCutRowTable& operator=(const MemoryCutRowTable&) = delete;

    void DeleteAllItems() override;
    int InsertItem(int index, const char* text) override;
    bool SetItemText(int row, int column, const char* text) override;
    int GetItemCount() const override;
    int GetItemText(int row, int column, char* buffer, int length) const override;

    // The whole text of a cell ("" for one that does not exist).
    std::string GetCellText(int row, int column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
