#include "core/cut_row_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>

namespace {

constexpr int kColumns = 13;
// Every text the reader makes fits in 8 characters; a row keeps those inline.
constexpr std::size_t kInlineChars = 8;

struct Row {
    char cells[kColumns][kInlineChars + 1] = {};
    // Bit c set: the text of column c is longer than kInlineChars and lives
    // in the side store at index overflow - 1.
    std::uint16_t longCells = 0;
    std::uint32_t overflow = 0;
};

}  // namespace

struct MemoryCutRowTable::Impl {
    // Rows go in at the top; a deque makes that O(1) and keeps the index
    // lookup of the report O(1).
    std::deque<Row> rows;
    std::deque<std::array<std::string, kColumns>> longTexts;

    void Store(Row& row, int column, const char* text) {
        const std::size_t length = std::strlen(text);
        const auto bit = static_cast<std::uint16_t>(1u << column);
        if (length <= kInlineChars) {
            std::memcpy(row.cells[column], text, length + 1);
            row.longCells = static_cast<std::uint16_t>(row.longCells & ~bit);
            return;
        }
        if (row.overflow == 0) {
            longTexts.emplace_back();
            row.overflow = static_cast<std::uint32_t>(longTexts.size());
        }
        longTexts[row.overflow - 1][static_cast<std::size_t>(column)] = text;
        row.cells[column][0] = '\0';
        row.longCells = static_cast<std::uint16_t>(row.longCells | bit);
    }

    const char* Text(const Row& row, int column) const {
        if ((row.longCells & (1u << column)) != 0) {
            return longTexts[row.overflow - 1][static_cast<std::size_t>(column)].c_str();
        }
        return row.cells[column];
    }

    const Row* Find(int row, int column) const {
        if (row < 0 || column < 0 || column >= kColumns ||
            static_cast<std::size_t>(row) >= rows.size()) {
            return nullptr;
        }
        return &rows[static_cast<std::size_t>(row)];
    }
};

MemoryCutRowTable::MemoryCutRowTable() : m_impl(std::make_unique<Impl>()) {}

MemoryCutRowTable::~MemoryCutRowTable() = default;

void MemoryCutRowTable::DeleteAllItems() {
    m_impl->rows.clear();
    m_impl->rows.shrink_to_fit();
    m_impl->longTexts.clear();
    m_impl->longTexts.shrink_to_fit();
}

int MemoryCutRowTable::InsertItem(int index, const char* text) {
    auto& rows = m_impl->rows;
    if (index < 0 || static_cast<std::size_t>(index) > rows.size() ||
        rows.size() >= static_cast<std::size_t>(INT32_MAX)) {
        return -1;
    }
    const auto at = rows.begin() + index;
    Row& row = *rows.emplace(at);
    m_impl->Store(row, 0, text != nullptr ? text : "");
    return index;
}

bool MemoryCutRowTable::SetItemText(int row, int column, const char* text) {
    if (m_impl->Find(row, column) == nullptr) {
        return false;
    }
    m_impl->Store(m_impl->rows[static_cast<std::size_t>(row)], column, text != nullptr ? text : "");
    return true;
}

int MemoryCutRowTable::GetItemCount() const {
    return static_cast<int>(m_impl->rows.size());
}

int MemoryCutRowTable::GetItemText(int row, int column, char* buffer, int length) const {
    if (buffer == nullptr || length < 1) {
        return 0;
    }
    const Row* found = m_impl->Find(row, column);
    const char* text = found != nullptr ? m_impl->Text(*found, column) : "";
    const auto limit = static_cast<std::size_t>(length - 1);
    const void* zero = std::memchr(text, '\0', limit);
    const std::size_t n =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : limit;
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string MemoryCutRowTable::GetCellText(int row, int column) const {
    const Row* found = m_impl->Find(row, column);
    return found != nullptr ? std::string(m_impl->Text(*found, column)) : std::string();
}
