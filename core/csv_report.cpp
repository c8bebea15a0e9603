#include "core/csv_report.h"

#include <array>
#include <cstring>
#include <vector>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/windows1252.h"

namespace {

// The CSV is handed to its sink in pieces of about this size.
constexpr std::size_t kChunk = std::size_t{64} * 1024;

// How the CSV copies each byte of a cell: ASCII as it is, the four that make
// a field quoted (comma, double quote, CR, LF), and the bytes from 0x80 up,
// which take the Windows-1252 table.
enum class ByteKind : unsigned char { plain, special, high };

constexpr std::array<ByteKind, 256> MakeByteKinds() {
    std::array<ByteKind, 256> kinds{};
    for (std::size_t b = 0x80; b < 0x100; ++b) {
        kinds[b] = ByteKind::high;
    }
    for (const char b : {',', '"', '\r', '\n'}) {
        kinds[static_cast<unsigned char>(b)] = ByteKind::special;
    }
    return kinds;
}

constexpr std::array<ByteKind, 256> kByteKinds = MakeByteKinds();

// The most bytes one cell byte can take in the CSV (a doubled quote takes 2).
constexpr std::size_t kMaxCsvPerByte = windows1252::kMaxUtf8PerByte;

// Writes field as one RFC 4180 field at out, which has room for
// field.size() * kMaxCsvPerByte + 2 bytes; returns the end of what it wrote.
// The field is copied once, one character after out, and whether it needs
// quotes is learnt on the way: a field without them moves back by one byte.
char* PutCsvField(std::string_view field, char* out) {
    char* const start = out;
    char* next = out + 1;
    bool quoted = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        switch (kByteKinds[static_cast<unsigned char>(c)]) {
            case ByteKind::plain:
                *next++ = c;
                break;
            case ByteKind::special:
                quoted = true;
                if (c == '"') {
                    *next++ = '"';
                }
                *next++ = c;
                break;
            case ByteKind::high:
                next = windows1252::ToUtf8(field.substr(i, 1), next);
                break;
        }
    }
    if (!quoted) {
        const auto length = static_cast<std::size_t>(next - start - 1);
        std::memmove(start, start + 1, length);
        return start + length;
    }
    *start = '"';
    *next++ = '"';
    return next;
}

// Collects the CSV in a buffer of about kChunk bytes and hands it to sink
// whenever it fills.
class CsvWriter {
public:
    explicit CsvWriter(const std::function<void(std::string_view)>& sink)
        : m_sink(sink), m_buf(kChunk) {}

    void Field(std::string_view field, bool first) {
        Reserve(field.size() * kMaxCsvPerByte + 3);
        if (!first) {
            m_buf[m_used++] = ',';
        }
        m_used = static_cast<std::size_t>(PutCsvField(field, m_buf.data() + m_used) - m_buf.data());
    }
    void EndLine() {
        Reserve(2);
        m_buf[m_used++] = '\r';
        m_buf[m_used++] = '\n';
    }
    void Flush() {
        if (m_used > 0) {
            m_sink(std::string_view(m_buf.data(), m_used));
            m_used = 0;
        }
    }

private:
    void Reserve(std::size_t bytes) {
        if (m_buf.size() - m_used >= bytes) {
            return;
        }
        Flush();
        if (m_buf.size() < bytes) {
            m_buf.resize(bytes);  // a cell far longer than any the reader makes
        }
    }

    const std::function<void(std::string_view)>& m_sink;
    std::vector<char> m_buf;
    std::size_t m_used = 0;
};

}  // namespace

void AppendCsvField(std::string& line, std::string_view field) {
    const std::size_t start = line.size();
    line.resize(start + field.size() * kMaxCsvPerByte + 2);
    char* const end = PutCsvField(field, line.data() + start);
    line.resize(static_cast<std::size_t>(end - line.data()));
}

void WriteCsv(const MemoryCutRowTable& table, const std::function<void(std::string_view)>& sink) {
    CsvWriter csv(sink);
    for (int column = 0; column < kCutColumnCount; ++column) {
        csv.Field(kCutColumns[column].title, column == 0);
    }
    csv.EndLine();
    const int rows = table.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kCutColumnCount; ++column) {
            csv.Field(table.GetCellView(row, column), column == 0);
        }
        csv.EndLine();
    }
    csv.Flush();
}
