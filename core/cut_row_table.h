// The rows of the cut list, 13 cell texts each, index 0 at the top, and the
// five operations the core needs of whatever holds them (the dialog's list
// control, or an in-memory table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class MemoryCutRowTable;

class CutRowTable {
public:
    static constexpr int kColumns = 13;

    virtual ~CutRowTable() = default;

    // The table becomes empty.
    virtual void DeleteAllItems() = 0;
    // The table becomes empty and gives back the memory its rows took, which
    // DeleteAllItems may keep for the next load: after a load ran out of
    // memory, every later command needs it.
    virtual void ReleaseMemory() { DeleteAllItems(); }
    // Inserts a row at index with text in column 0 (the other cells empty);
    // the rows from index down move down by one. An index past the end
    // appends the row, as the list view does. Returns the new row's index, or
    // -1 for a negative index.
    virtual int InsertItem(int index, const char* text) = 0;
    // Replaces the text of one cell of an existing row. False when the row or
    // column does not exist.
    virtual bool SetItemText(int row, int column, const char* text) = 0;
    virtual int GetItemCount() const = 0;
    // Copies at most length - 1 characters of the cell's text into buffer and
    // ends them with a zero byte. Returns the number of characters copied (an
    // empty text for a cell that does not exist; nothing when length < 1).
    virtual int GetItemText(int row, int column, char* buffer, int length) const = 0;

    // Inserts a whole row at the top: the texts of its 13 cells lie back to
    // back in bytes, lengths[c] of them for column c. Does what InsertItem(0,
    // text 0) followed by SetItemText(0, c, text c) for columns 1 to 12 does
    // (a zero byte ends a text there too), in one call for a provider that
    // can; but when the insert fails no cell is set, so the row already on
    // top keeps its texts. Returns 0, or -1 when the row was not inserted.
    virtual int InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]);
};

// The one row store of the program: the converter's table, and the rows
// behind the dialog's list control. Every row takes one block of an
// append-only arena: the texts of its 13 cells back to back, their lengths in
// half a byte each in the row's index entry (the texts the reader makes have
// at most 8 characters; a longer one keeps its length in front of the texts).
// Rows are kept bottom-first, so the insert at the top that a load makes for
// every record is an append. A cell that changes after its row was built
// rewrites the row's block at the arena's end; the space left behind is
// reclaimed once it outgrows the rows still in use.
class MemoryCutRowTable final : public CutRowTable {
public:
    MemoryCutRowTable();
    ~MemoryCutRowTable() override;
    MemoryCutRowTable(const MemoryCutRowTable&) = delete;
    MemoryCutRowTable& operator=(const MemoryCutRowTable&) = delete;

    void DeleteAllItems() override;
    void ReleaseMemory() override;
    int InsertItem(int index, const char* text) override;
    bool SetItemText(int row, int column, const char* text) override;
    int GetItemCount() const override;
    int GetItemText(int row, int column, char* buffer, int length) const override;
    // The row's block is written in one piece, the texts as they are.
    int InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]) override;

    // The bytes of a cell, without copying ("" for one that does not exist).
    // Valid until the table next changes.
    std::string_view GetCellView(int row, int column) const;
    // The whole text of a cell ("" for one that does not exist).
    std::string GetCellText(int row, int column) const {
        return std::string(GetCellView(row, column));
    }
    // The bytes of every cell of a row at once, cheaper than 13 calls of
    // GetCellView (all empty for a row that does not exist).
    void GetRowView(int row, std::string_view (&cells)[kColumns]) const;

    // The first row holding text in one of its cells, letter case ignored as
    // the list shows the cells (Windows-1252: "\xE8" finds "\xC8"). The search
    // starts at the row after `after`, goes down, wraps past the last row to
    // the top and ends with `after` itself; an `after` that is not a row
    // starts it at the top. -1 when no row holds text, or text is empty.
    int FindRow(std::string_view text, int after) const;

    // Bytes the rows take in memory: the index and the arena's chunks.
    std::size_t MemoryUsed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
