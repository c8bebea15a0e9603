// The converter's CSV of arbitrary bytes loaded as a cut list: parsed back as
// RFC 4180 and decoded from UTF-8 to Windows-1252, it must give exactly the
// column titles and the table's cell texts, every byte of them kept. A field
// is quoted exactly when it holds a comma, a quote, CR or LF; records end in
// CR LF. The first input byte picks the layout, the rest is the file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/csv_report.h"
#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "core/windows1252.h"
#include "fuzz/fuzz_support.h"
#include "platform/file.h"

namespace {

// The code points of the bytes 0x80 to 0x9F, from the one codec; every other
// byte is its own code point. The search below finds a code point's byte.
std::array<char32_t, 32> HighCodePoints() {
    std::array<char32_t, 32> table{};
    for (unsigned b = 0; b < 32; ++b) {
        table[b] = windows1252::CodePoint(static_cast<unsigned char>(0x80 + b));
    }
    return table;
}

const std::array<char32_t, 32> kHigh = HighCodePoints();

// UTF-8 back to Windows-1252 bytes; fails the run on anything the converter
// cannot have written.
std::string ToWindows1252(std::string_view utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t length = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0U) == 0xC0U) {
            length = 2;
        } else if ((lead & 0xF0U) == 0xE0U) {
            length = 3;
        } else {
            FUZZ_CHECK(false, "a UTF-8 lead byte the converter never writes");
        }
        FUZZ_CHECK(i + length <= utf8.size(), "a UTF-8 sequence cut short");
        if (length > 1) {
            cp = lead & (length == 2 ? 0x1FU : 0x0FU);
            for (std::size_t k = 1; k < length; ++k) {
                const auto next = static_cast<unsigned char>(utf8[i + k]);
                FUZZ_CHECK((next & 0xC0U) == 0x80U, "a broken UTF-8 continuation byte");
                cp = (cp << 6U) | (next & 0x3FU);
            }
        }
        i += length;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            FUZZ_CHECK(length == (cp < 0x80 ? 1U : 2U), "an overlong UTF-8 sequence");
            bytes += static_cast<char>(cp);
            continue;
        }
        bool found = false;
        for (std::size_t b = 0; b < 32; ++b) {
            if (kHigh[b] == cp) {
                bytes += static_cast<char>(0x80 + b);
                found = true;
                break;
            }
        }
        FUZZ_CHECK(found, "a character that no Windows-1252 byte stands for");
    }
    return bytes;
}

// Splits RFC 4180 text into records of fields, checking the quoting rules.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::size_t i = 0;
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                FUZZ_CHECK(i < text.size(), "a quoted field never closed");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            FUZZ_CHECK(field.find_first_of(",\"\r\n") != std::string::npos,
                       "a field quoted without need: " + field);
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r') {
                FUZZ_CHECK(text[i] != '"' && text[i] != '\n', "a bare quote or LF: " + field);
                field += text[i++];
            }
        }
        record.push_back(field);
        FUZZ_CHECK(i < text.size(), "the last record has no CR LF");
        if (text[i] == ',') {
            ++i;
            continue;
        }
        FUZZ_CHECK(text.compare(i, 2, "\r\n") == 0, "a record not ended by CR LF");
        i += 2;
        records.push_back(record);
        record.clear();
    }
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int format = data[0] % 3;
    MemoryCutRowTable table;
    CMemFile prg(data + 1, size - 1);
    ReadCutList(prg, format, table);

    std::string csv;
    WriteCsv(table, [&csv](std::string_view piece) { csv.append(piece); });
    const auto records = ParseCsv(csv);
    FUZZ_CHECK(records.size() == static_cast<std::size_t>(table.GetItemCount()) + 1,
               "CSV records: " + std::to_string(records.size()));
    for (std::size_t r = 0; r < records.size(); ++r) {
        FUZZ_CHECK(records[r].size() == kCutColumnCount, "record " + std::to_string(r) + " has " +
                                                             std::to_string(records[r].size()) +
                                                             " fields");
        for (int column = 0; column < kCutColumnCount; ++column) {
            const std::string want = r == 0 ? std::string(kCutColumns[column].title)
                                            : table.GetCellText(static_cast<int>(r - 1), column);
            FUZZ_CHECK(ToWindows1252(records[r][static_cast<std::size_t>(column)]) == want,
                       "record " + std::to_string(r) + " column " + std::to_string(column));
        }
    }
    return 0;
}
