#include "framework/row_copy_text.h"

#include "core/windows1252.h"

namespace {

// UTF-8 bytes each byte becomes in a clipboard field.
std::size_t FieldSize(std::string_view bytes) {
    std::size_t size = bytes.size();
    for (const char c : bytes) {
        const char32_t cp = windows1252::CodePoint(static_cast<unsigned char>(c));
        size += cp < 0x80 ? 0 : cp < 0x800 ? 1 : 2;
    }
    return size;
}

// Writes the field at out, which has room for FieldSize(bytes) bytes and two
// more; returns its end.
char* PutField(std::string_view bytes, char* out) {
    char* const end = windows1252::ToUtf8(bytes, out);
    for (char* c = out; c != end; ++c) {
        if (*c == '\t' || *c == '\n' || *c == '\r') {
            *c = ' ';
        }
    }
    return end;
}

// Each line: its fields, a separator between two of them and the line end.
template <typename Fields>
void ForEachLine(const std::vector<std::string>& titles, const std::vector<int>& rows,
                 const CellBytesSource& cellBytes, const Fields& field) {
    const int columns = static_cast<int>(titles.size());
    for (int column = 0; column < columns; ++column) {
        field(titles[static_cast<std::size_t>(column)], column == 0);
    }
    for (const int row : rows) {
        for (int column = 0; column < columns; ++column) {
            field(cellBytes(row, column), column == 0);
        }
    }
}

}  // namespace

std::string MakeRowsClipboardText(const std::vector<std::string>& titles,
                                  const std::vector<int>& rows, const CellBytesSource& cellBytes) {
    // Separators and line ends: one byte for each field.
    std::size_t size = (rows.size() + 1) * titles.size();
    ForEachLine(titles, rows, cellBytes,
                [&size](std::string_view bytes, bool) { size += FieldSize(bytes); });
    // The text is written in place; the slack takes the bytes the decoder
    // may write past a character's end.
    std::string out(size + windows1252::kMaxUtf8PerByte, '\0');
    char* next = out.data();
    bool any = false;
    ForEachLine(titles, rows, cellBytes, [&](std::string_view bytes, bool first) {
        if (first && any) {
            *next++ = '\n';
        } else if (!first) {
            *next++ = '\t';
        }
        any = true;
        next = PutField(bytes, next);
    });
    if (any) {
        *next++ = '\n';
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
    return out;
}
