#include "core/cut_row_table.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#include "core/windows1252.h"

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
// The first kSmallChunks chunks are smaller: kFirstChunkSize, then twice as
// large each, up to half of kChunkSize.
constexpr std::size_t kFirstChunkSize = std::size_t{4} << 10;
constexpr std::size_t kSmallChunks = kChunkBits - 12;
constexpr std::uint64_t kMaxLocation = (std::uint64_t{1} << 40) - 1;

// Rows are kept in pages so that a growing table never copies its index.
constexpr std::size_t kPageBits = 12;
constexpr std::size_t kPageRows = std::size_t{1} << kPageBits;

// One row's index entry, 12 bytes: where its block starts (40 bits) and the
// lengths of its 13 texts, half a byte each, column 0 lowest. The lengths are
// read and tested as one 64-bit word.
class Row {
public:
    std::uint64_t Location() const { return Low() | ((Meta() & 0xFFu) << 32); }
    void SetLocation(std::uint64_t location) {
        const auto low = static_cast<std::uint32_t>(location);
        std::memcpy(m_bytes, &low, sizeof low);
        SetMeta((Meta() & ~std::uint64_t{0xFF}) | ((location >> 32) & 0xFFu));
    }
    unsigned Length(int column) const {
        return static_cast<unsigned>(Lengths() >> (4 * column)) & 0x0Fu;
    }
    // All 13 lengths at once, column 0 in the lowest half byte.
    void SetLengths(std::uint64_t lengths) { SetMeta((Meta() & 0xFFu) | (lengths << 8)); }
    void SetLength(int column, unsigned length) {
        const unsigned shift = 8 + 4 * static_cast<unsigned>(column);
        SetMeta((Meta() & ~(std::uint64_t{0x0F} << shift)) | (std::uint64_t{length} << shift));
    }
    bool HasLongText() const {
        const std::uint64_t x = Lengths();
        return (x & (x >> 1) & (x >> 2) & (x >> 3) & kLowBits) != 0;
    }
    // True when every text right of column is empty.
    bool EmptyAfter(int column) const { return (Lengths() >> (4 * (column + 1))) == 0; }
    // The sum of the lengths left of column, when none is a long text's mark.
    std::size_t LengthBefore(int column) const {
        const std::uint64_t x = Lengths() & ((std::uint64_t{1} << (4 * column)) - 1);
        const std::uint64_t bytes = (x & kNibbleMask) + ((x >> 4) & kNibbleMask);
        return static_cast<std::size_t>((bytes * 0x0101010101010101u) >> 56);
    }

private:
    static constexpr std::uint64_t kLowBits = 0x1111111111111u;  // 13 nibbles
    static constexpr std::uint64_t kNibbleMask = 0x0F0F0F0F0F0F0F0Fu;

    std::uint64_t Low() const {
        std::uint32_t low;
        std::memcpy(&low, m_bytes, sizeof low);
        return low;
    }
    std::uint64_t Meta() const {
        std::uint64_t meta;
        std::memcpy(&meta, m_bytes + 4, sizeof meta);
        return meta;
    }
    void SetMeta(std::uint64_t meta) { std::memcpy(m_bytes + 4, &meta, sizeof meta); }
    std::uint64_t Lengths() const { return Meta() >> 8; }

    unsigned char m_bytes[12] = {};
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

// The texts of a cut list are a few characters long: copied and measured in
// a plain loop they cost less than a call to the library's routines, which
// showed as a third of a conversion's time.
void CopyBytes(char* out, const char* in, std::size_t n) {
    if (n > 16) {
        std::memcpy(out, in, n);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = in[i];
    }
}

std::string_view CText(const char* text) {
    if (text == nullptr) {
        return {};
    }
    std::size_t n = 0;
    while (n < 16 && text[n] != '\0') {
        ++n;
    }
    if (n == 16) {
        n += std::strlen(text + 16);
    }
    return std::string_view(text, n);
}

// Where folded (lower-case bytes, see windows1252::kLowerCase) first appears in
// bytes, letter case ignored; npos when nowhere. Most bytes differ from the
// text's first one, so the loop tests that alone until one matches.
std::size_t FindFolded(std::string_view bytes, std::string_view folded) {
    const auto& lower = windows1252::kLowerCase;
    const std::size_t n = folded.size();
    if (bytes.size() < n) {
        return std::string_view::npos;
    }
    const auto first = static_cast<unsigned char>(folded[0]);
    const std::size_t last = bytes.size() - n;
    for (std::size_t i = 0; i <= last; ++i) {
        if (lower[static_cast<unsigned char>(bytes[i])] != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < n && lower[static_cast<unsigned char>(bytes[i + k])] ==
                            static_cast<unsigned char>(folded[k])) {
            ++k;
        }
        if (k == n) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

struct MemoryCutRowTable::Impl {
    std::vector<std::unique_ptr<Row[]>> pages;
    std::size_t count = 0;
    std::vector<Chunk> chunks;
    // Chunks of a cleared table, the first one last: the next load asks for
    // chunks of the same sizes in the same order and gets them back.
    std::vector<Chunk> spare;
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

    // Every text of row, walking its lengths once.
    void AllTexts(const Row& row, std::string_view (&cells)[kColumns]) const {
        if (row.HasLongText()) {
            const RowTexts texts = Texts(row);
            std::copy(texts.begin(), texts.end(), cells);
            return;
        }
        const char* in = Block(row);
        for (int column = 0; column < kColumns; ++column) {
            const unsigned length = row.Length(column);
            cells[column] = std::string_view(in, length);
            in += length;
        }
    }

    std::string_view Text(const Row& row, int column) const {
        if (row.HasLongText()) {
            return Texts(row)[static_cast<std::size_t>(column)];
        }
        if (row.Length(column) == 0) {
            return {};
        }
        return std::string_view(Block(row) + row.LengthBefore(column), row.Length(column));
    }

    // True when one of row's texts holds folded. The texts of a row lie back
    // to back: they are searched in one pass, and a match counts when it lies
    // within one text.
    bool RowHolds(const Row& row, std::string_view folded) const {
        if (row.HasLongText()) {
            const RowTexts texts = Texts(row);
            return std::any_of(texts.begin(), texts.end(), [&](std::string_view text) {
                return FindFolded(text, folded) != std::string_view::npos;
            });
        }
        const std::string_view bytes(Block(row), row.LengthBefore(kColumns));
        std::size_t from = 0;
        for (;;) {
            const std::size_t found = FindFolded(bytes.substr(from), folded);
            if (found == std::string_view::npos) {
                return false;
            }
            const std::size_t start = from + found;
            std::size_t cellEnd = 0;
            for (int column = 0; cellEnd <= start; ++column) {
                cellEnd += row.Length(column);
            }
            if (start + folded.size() <= cellEnd) {
                return true;
            }
            from = start + 1;
        }
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
            // The first chunks are small and double in size, so a short list
            // (and every table a fuzzer makes) takes a few pages, not a
            // megabyte the system must map and clear.
            const std::size_t grown =
                chunks.size() < kSmallChunks ? kFirstChunkSize << chunks.size() : kChunkSize;
            chunk.size = std::max(size, grown);
            if (!spare.empty() && spare.back().size == chunk.size) {
                chunk.data = std::move(spare.back().data);
                spare.pop_back();
            } else {
                chunk.data.reset(new char[chunk.size]);
            }
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
            CopyBytes(out, text.data(), text.size());
            out += text.size();
        }
    }

    // The common case of a load: the cells of the row just inserted are set
    // left to right, so each new text goes at the end of the arena, over the
    // old text of the same cell. False when the row is not built that way.
    bool ReplaceAtEnd(Row& row, int column, std::string_view text) {
        if (chunks.empty() || text.size() >= kLongLength || row.HasLongText() ||
            !row.EmptyAfter(column)) {
            return false;
        }
        Chunk& chunk = chunks.back();
        const std::uint64_t location = row.Location();
        if ((location >> kChunkBits) != chunks.size() - 1 || chunk.size > kChunkSize) {
            return false;
        }
        const std::size_t start = (location & (kChunkSize - 1)) + row.LengthBefore(column);
        if (start + row.Length(column) != chunk.used || start + text.size() > chunk.size) {
            return false;
        }
        CopyBytes(chunk.data.get() + start, text.data(), text.size());
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

void MemoryCutRowTable::ReleaseMemory() {
    *m_impl = Impl();
}

void MemoryCutRowTable::DeleteAllItems() {
    // The dialog reloads the list on every keystroke in the path field: the
    // memory the rows took is kept for the next load, which would otherwise
    // pay again for every page of it, and a list no longer than the last one
    // reloads without allocating. Only the chunks of the arena and the index
    // pages stay; they are reused from the first. A chunk made for one
    // oversized block is let go.
    Impl& impl = *m_impl;
    impl.count = 0;
    impl.garbage = 0;
    impl.live = 0;
    impl.spare.clear();
    while (!impl.chunks.empty()) {
        if (impl.chunks.back().size <= kChunkSize) {
            impl.spare.push_back(std::move(impl.chunks.back()));
        }
        impl.chunks.pop_back();
    }
}

int MemoryCutRowTable::InsertItem(int index, const char* text) {
    Impl& impl = *m_impl;
    if (index < 0 || impl.count >= static_cast<std::size_t>(INT_MAX)) {
        return -1;
    }
    index = static_cast<int>(std::min(static_cast<std::size_t>(index), impl.count));
    Row row;
    RowTexts texts;
    texts[0] = CText(text);
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
    impl.Set(impl.At(impl.Physical(row)), column, CText(text));
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
    CopyBytes(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

int CutRowTable::InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]) {
    // Each text gets its zero byte in a copy, as the five operations take
    // C strings.
    std::string text;
    for (int column = 0; column < kColumns; ++column) {
        text.assign(bytes, lengths[column]);
        bytes += lengths[column];
        if (column == 0) {
            if (InsertItem(0, text.c_str()) < 0) {
                return -1;
            }
        } else {
            SetItemText(0, column, text.c_str());
        }
    }
    return 0;
}

int MemoryCutRowTable::InsertTopRow(const char* bytes, const std::size_t (&lengths)[kColumns]) {
    Impl& impl = *m_impl;
    std::size_t size = 0;
    std::uint64_t packed = 0;
    bool shortTexts = true;
    for (int column = 0; column < kColumns; ++column) {
        size += lengths[column];
        shortTexts = shortTexts && lengths[column] < kLongLength;
        packed |= std::uint64_t{lengths[column] & 0x0Fu} << (4 * column);
    }
    // A long text, or a zero byte that cuts one short, takes the general way.
    if (!shortTexts || (size != 0 && std::memchr(bytes, '\0', size) != nullptr) ||
        impl.count >= static_cast<std::size_t>(INT_MAX)) {
        return CutRowTable::InsertTopRow(bytes, lengths);
    }
    // The block of a row is its texts back to back: the bytes as given.
    Row row;
    char* out = impl.Allocate(size, row);
    std::memcpy(out, bytes, size);
    row.SetLengths(packed);
    impl.Push(row);
    return 0;
}

std::string_view MemoryCutRowTable::GetCellView(int row, int column) const {
    const Impl& impl = *m_impl;
    if (!impl.Exists(row) || column < 0 || column >= kColumns) {
        return {};
    }
    return impl.Text(impl.At(impl.Physical(row)), column);
}

int MemoryCutRowTable::FindRow(std::string_view text, int after) const {
    const Impl& impl = *m_impl;
    if (text.empty() || impl.count == 0) {
        return -1;
    }
    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(windows1252::kLowerCase[static_cast<unsigned char>(c)]);
    }
    const auto count = static_cast<int>(impl.count);
    const int start = after >= 0 && after < count - 1 ? after + 1 : 0;
    for (int i = 0; i < count; ++i) {
        const int row = start + i < count ? start + i : start + i - count;
        if (impl.RowHolds(impl.At(impl.Physical(row)), folded)) {
            return row;
        }
    }
    return -1;
}

std::size_t MemoryCutRowTable::MemoryUsed() const {
    std::size_t bytes = m_impl->pages.size() * kPageRows * sizeof(Row);
    for (const Chunk& chunk : m_impl->chunks) {
        bytes += chunk.used;
    }
    return bytes;
}

void MemoryCutRowTable::GetRowView(int row, std::string_view (&cells)[kColumns]) const {
    const Impl& impl = *m_impl;
    if (!impl.Exists(row)) {
        std::fill(std::begin(cells), std::end(cells), std::string_view());
        return;
    }
    impl.AllTexts(impl.At(impl.Physical(row)), cells);
}
