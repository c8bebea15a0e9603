#include "core/cut_row_table.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <new>

namespace {

constexpr int kColumns = MemoryCutRowTable::kColumns;

// A length of this value in a row's index entry means the real length is
// written in front of the row's texts (a text of 15 characters or more).
constexpr unsigned kLongLength = 15;

// The arena is made of chunks that never move, so the bytes of a cell stay
// where they are while the table grows; a location is the chunk's number
// above the byte's position in it.
constexpr unsigned kChunkBits = 20;
constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;
constexpr std::uint64_t kMaxLocation = (std::uint64_t{1} << 40) - 1;

// Rows are kept in pages so that a growing table never copies its index.
constexpr std::size_t kPageBits = 12;
constexpr std::size_t kPageRows = std::size_t{1} << kPageBits;

// One row's index entry: where its block starts (40 bits) and the lengths of
// its 13 texts, half a byte each. 12 bytes.
struct Row {
    std::uint32_t locationLow = 0;
    std::uint8_t locationHigh = 0;
    std::uint8_t lengths[7] = {};

    std::uint64_t Location() const { return (std::uint64_t{locationHigh} << 32) | locationLow; }
    void SetLocation(std::uint64_t location) {
        locationLow = static_cast<std::uint32_t>(location);
        locationHigh = static_cast<std::uint8_t>(location >> 32);
    }
    unsigned Length(int column) const {
        const std::uint8_t pair = lengths[column / 2];
        return (column % 2 == 0 ? pair : pair >> 4) & 0x0Fu;
    }
    void SetLength(int column, unsigned length) {
        std::uint8_t& pair = lengths[column / 2];
        if (column % 2 == 0) {
            pair = static_cast<std::uint8_t>((pair & 0xF0u) | length);
        } else {
            pair = static_cast<std::uint8_t>((pair & 0x0Fu) | (length << 4));
        }
    }
    bool HasLongText() const {
        for (int column = 0; column < kColumns; ++column) {
            if (Length(column) == kLongLength) {
                return true;
            }
        }
        return false;
    }
};
static_assert(sizeof(Row) == 12);

struct Chunk {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::size_t used = 0;
};

// The 13 texts of a row.
using RowTexts = std::array<std::string_view, kColumns>;

std::size_t VarintSize(std::size_t value) {
    std::size_t n = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++n;
    }
    return n;
}

char* PutVarint(char* out, std::size_t value) {
    while (value >= 0x80) {
        *out++ = static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<char>(value);
    return out;
}

const char* GetVarint(const char* in, std::size_t& value) {
    value = 0;
    unsigned shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(*in++);
        value |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            return in;
        }
        shift += 7;
    }
}

}  // namespace

struct MemoryCutRowTable::Impl {
    std::vector<std::unique_ptr<Row[]>> pages;
    std::size_t count = 0;
    std::vector<Chunk> chunks;
    // Bytes of blocks that a rewritten row left behind.
    std::size_t garbage = 0;
    std::size_t live = 0;

    Row& At(std::size_t physical) {
        return pages[physical >> kPageBits][physical & (kPageRows - 1)];
    }
    const Row& At(std::size_t physical) const {
        return pages[physical >> kPageBits][physical & (kPageRows - 1)];
    }
    // Rows are stored bottom-first: row 0, the top, is the last one stored.
    std::size_t Physical(int row) const { return count - 1 - static_cast<std::size_t>(row); }
    bool Exists(int row) const { return row >= 0 && static_cast<std::size_t>(row) < count; }

    const char* Block(const Row& row) const {
        const std::uint64_t location = row.Location();
        const Chunk& chunk = chunks[static_cast<std::size_t>(location >> kChunkBits)];
        return chunk.data.get() + (location & (kChunkSize - 1));
    }

    RowTexts Texts(const Row& row) const {
        RowTexts texts;
        const char* in = Block(row);
        std::array<std::size_t, kColumns> lengths{};
        for (std::size_t column = 0; column < lengths.size(); ++column) {
            lengths[column] = row.Length(static_cast<int>(column));
            if (lengths[column] == kLongLength) {
                in = GetVarint(in, lengths[column]);
            }
        }
        for (std::size_t column = 0; column < lengths.size(); ++column) {
            texts[column] = std::string_view(in, lengths[column]);
            in += lengths[column];
        }
        return texts;
    }

    std::string_view Text(const Row& row, int column) const {
        if (row.HasLongText()) {
            return Texts(row)[static_cast<std::size_t>(column)];
        }
        if (row.Length(column) == 0) {
            return {};
        }
        const char* in = Block(row);
        for (int before = 0; before < column; ++before) {
            in += row.Length(before);
        }
        return std::string_view(in, row.Length(column));
    }

    static std::size_t BlockSize(const RowTexts& texts) {
        std::size_t size = 0;
        for (const std::string_view text : texts) {
            size += text.size();
            if (text.size() >= kLongLength) {
                size += VarintSize(text.size());
            }
        }
        return size;
    }

    // Room for size bytes at the arena's end; the location is stored in row.
    char* Allocate(std::size_t size, Row& row) {
        if (chunks.empty() || chunks.back().used >= kChunkSize ||
            chunks.back().size - chunks.back().used < size) {
            if (chunks.size() > (kMaxLocation >> kChunkBits)) {
                throw std::bad_alloc();
            }
            Chunk chunk;
            // A block never spans chunks; one larger than a chunk gets its own.
            chunk.size = std::max(size, kChunkSize);
            chunk.data.reset(new char[chunk.size]);
            chunks.push_back(std::move(chunk));
        }
        Chunk& chunk = chunks.back();
        const std::uint64_t location =
            (std::uint64_t{chunks.size() - 1} << kChunkBits) | chunk.used;
        char* out = chunk.data.get() + chunk.used;
        // A chunk holding one oversized block takes nothing more.
        chunk.used = chunk.size > kChunkSize ? chunk.size : chunk.used + size;
        row.SetLocation(location);
        live += size;
        return out;
    }

    // Writes the texts as row's block at the arena's end.
    void Store(Row& row, const RowTexts& texts) {
        char* out = Allocate(BlockSize(texts), row);
        for (int column = 0; column < kColumns; ++column) {
            const std::size_t length = texts[static_cast<std::size_t>(column)].size();
            if (length >= kLongLength) {
                out = PutVarint(out, length);
                row.SetLength(column, kLongLength);
            } else {
                row.SetLength(column, static_cast<unsigned>(length));
            }
        }
        for (const std::string_view text : texts) {
            if (!text.empty()) {
                std::memcpy(out, text.data(), text.size());
                out += text.size();
            }
        }
    }

    // The common case of a load: the cells of the row just inserted are set
    // left to right, so each new text goes at the end of the arena, over the
    // old text of the same cell. False when the row is not built that way.
    bool ReplaceAtEnd(Row& row, int column, std::string_view text) {
        if (chunks.empty() || text.size() >= kLongLength || row.HasLongText()) {
            return false;
        }
        for (int after = column + 1; after < kColumns; ++after) {
            if (row.Length(after) != 0) {
                return false;
            }
        }
        Chunk& chunk = chunks.back();
        const std::uint64_t location = row.Location();
        if ((location >> kChunkBits) != chunks.size() - 1 || chunk.size > kChunkSize) {
            return false;
        }
        std::size_t start = location & (kChunkSize - 1);
        for (int before = 0; before < column; ++before) {
            start += row.Length(before);
        }
        if (start + row.Length(column) != chunk.used || start + text.size() > chunk.size) {
            return false;
        }
        std::memcpy(chunk.data.get() + start, text.data(), text.size());
        live = live - row.Length(column) + text.size();
        chunk.used = start + text.size();
        row.SetLength(column, static_cast<unsigned>(text.size()));
        return true;
    }

    void Set(Row& row, int column, std::string_view text) {
        if (ReplaceAtEnd(row, column, text)) {
            return;
        }
        RowTexts texts = Texts(row);
        const std::size_t old = BlockSize(texts);
        texts[static_cast<std::size_t>(column)] = text;
        // The old block stays readable while the new one is written: chunks
        // never move.
        Store(row, texts);
        live -= old;
        garbage += old;
        if (garbage > kChunkSize && garbage > live) {
            Compact();
        }
    }

    // Copies every row's block into fresh chunks, leaving the garbage behind.
    void Compact() {
        Impl fresh;
        for (std::size_t i = 0; i < count; ++i) {
            Row& row = At(i);
            const RowTexts texts = Texts(row);
            fresh.Store(row, texts);
        }
        chunks = std::move(fresh.chunks);
        live = fresh.live;
        garbage = 0;
    }

    void Push(const Row& row) {
        if ((count & (kPageRows - 1)) == 0 && (count >> kPageBits) == pages.size()) {
            pages.push_back(std::make_unique<Row[]>(kPageRows));
        }
        At(count) = row;
        ++count;
    }
};

MemoryCutRowTable::MemoryCutRowTable() : m_impl(std::make_unique<Impl>()) {}

MemoryCutRowTable::~MemoryCutRowTable() = default;

void MemoryCutRowTable::DeleteAllItems() {
    // Hand the memory of a large list back at once.
    *m_impl = Impl();
}

int MemoryCutRowTable::InsertItem(int index, const char* text) {
    Impl& impl = *m_impl;
    if (index < 0 || impl.count >= static_cast<std::size_t>(INT_MAX)) {
        return -1;
    }
    index = static_cast<int>(std::min(static_cast<std::size_t>(index), impl.count));
    Row row;
    RowTexts texts;
    texts[0] = text != nullptr ? std::string_view(text) : std::string_view();
    impl.Store(row, texts);
    impl.Push(row);
    // Anywhere but the top, the rows below the new one move down: in the
    // bottom-first order they sit before it and stay; those above it shift.
    const std::size_t target = impl.count - 1 - static_cast<std::size_t>(index);
    for (std::size_t i = impl.count - 1; i > target; --i) {
        impl.At(i) = impl.At(i - 1);
    }
    impl.At(target) = row;
    return index;
}

bool MemoryCutRowTable::SetItemText(int row, int column, const char* text) {
    Impl& impl = *m_impl;
    if (!impl.Exists(row) || column < 0 || column >= kColumns) {
        return false;
    }
    impl.Set(impl.At(impl.Physical(row)), column,
             text != nullptr ? std::string_view(text) : std::string_view());
    return true;
}

int MemoryCutRowTable::GetItemCount() const {
    return static_cast<int>(m_impl->count);
}

int MemoryCutRowTable::GetItemText(int row, int column, char* buffer, int length) const {
    if (buffer == nullptr || length < 1) {
        return 0;
    }
    const std::string_view text = GetCellView(row, column);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(length - 1));
    if (n > 0) {
        std::memcpy(buffer, text.data(), n);
    }
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string_view MemoryCutRowTable::GetCellView(int row, int column) const {
    const Impl& impl = *m_impl;
    if (!impl.Exists(row) || column < 0 || column >= kColumns) {
        return {};
    }
    return impl.Text(impl.At(impl.Physical(row)), column);
}

std::size_t MemoryCutRowTable::MemoryUsed() const {
    std::size_t bytes = m_impl->pages.size() * kPageRows * sizeof(Row);
    for (const Chunk& chunk : m_impl->chunks) {
        bytes += chunk.used;
    }
    return bytes;
}
