// Loads arbitrary bytes as a cut list (from a memory file, in the layout the
// input's size picks), writes the report to memory, and checks the result
// against an independent model of the layouts:
//  - the table holds exactly the rows the model decodes, last record on top,
//    row numbers from the row count down to 1, no cell longer than 8 characters;
//  - the report is byte for byte the header, separator, empty line and one
//    padded line per row (3 + rows lines);
//  - loading the same bytes again into a table that held other rows gives the
//    same rows.
// Missing bytes of a record cut short by the end of the file count as zero and
// a text stops after the last byte delivered, as the reader documents.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "fuzz/fuzz_support.h"
#include "platform/file.h"

namespace {

using Row = std::array<std::string, kCutColumnCount>;

class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool AtEnd() const { return m_pos >= m_size; }
    // The next byte, or 0 once the file is exhausted.
    unsigned Next() { return m_pos < m_size ? m_data[m_pos++] : 0U; }
    void Skip(std::size_t count) { m_pos = m_pos + count < m_size ? m_pos + count : m_size; }
    // A text field read in one go: the bytes delivered up to the first zero.
    std::string Text(std::size_t count) {
        std::string text;
        bool ended = false;
        for (std::size_t i = 0; i < count && m_pos < m_size; ++i) {
            const char c = static_cast<char>(m_data[m_pos++]);
            if (c == '\0') {
                ended = true;
            }
            if (!ended) {
                text += c;
            }
        }
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// "%.1f" of a whole number of tenths, written without the C library so the
// model cannot share a locale fault with the code under test.
std::string Tenths(int value) {
    const bool negative = value < 0;
    const int magnitude = negative ? -value : value;
    return (negative ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}

int Int16(ByteSource& in) {
    const unsigned high = in.Next();
    const unsigned low = in.Next();
    const unsigned raw = (high << 8U) | low;
    return raw >= 0x8000U ? static_cast<int>(raw) - 0x10000 : static_cast<int>(raw);
}

unsigned Uint24(ByteSource& in) {
    const unsigned b0 = in.Next();
    const unsigned b1 = in.Next();
    const unsigned b2 = in.Next();
    return (b0 << 16U) | (b1 << 8U) | b2;
}

// The rows in file order.
std::vector<Row> DecodeModel(const std::uint8_t* data, std::size_t size, int format) {
    ByteSource in(data, size);
    std::vector<Row> rows;
    if (format != kFormatOld) {
        in.Skip(3);
    }
    if (in.AtEnd()) {
        return rows;
    }
    unsigned lead = in.Next();
    while (lead >= 1 && lead <= 127) {
        Row row;
        row[0] = std::to_string(rows.size() + 1);
        row[1] = std::to_string(Uint24(in));
        const unsigned second = Uint24(in);
        row[2] = (second >> 16U) == 0x53U ? "S" + std::to_string(second & 0xFFFFU)
                                          : std::to_string(second);
        row[3] = Tenths(Int16(in));
        row[4] = Tenths(Int16(in));
        row[5] = std::to_string(Int16(in));
        row[6] = std::to_string(Int16(in));
        for (std::size_t field = 0; field < 4; ++field) {
            row[7 + field] = in.Text(8);
        }
        in.Skip(3);
        if (format == kFormatMem) {
            row[11] = "0.0";
            row[12] = "0.0";
        } else {
            row[11] = Tenths(Int16(in));
            row[12] = Tenths(Int16(in));
        }
        rows.push_back(row);
        if (in.AtEnd()) {
            break;
        }
        lead = in.Next();
    }
    return rows;
}

std::string Describe(int format, std::size_t row, std::size_t column, const std::string& got,
                     const std::string& want) {
    return "layout " + std::to_string(format) + " row " + std::to_string(row) + " column " +
           std::to_string(column) + ": got \"" + got + "\", want \"" + want + "\"";
}

// Decodes the bytes as the loader decodes a file: from a memory file of the
// same shape, so no input has to go through the file system.
void Load(const std::uint8_t* data, std::size_t size, int format, CutRowTable& table) {
    CMemFile file(data, size);
    ReadCutList(file, format, table);
    file.Close();
}

void CheckLayout(const std::uint8_t* data, std::size_t size, int format) {
    const std::vector<Row> model = DecodeModel(data, size, format);
    MemoryCutRowTable table;
    Load(data, size, format, table);

    const auto rows = static_cast<std::size_t>(table.GetItemCount());
    FUZZ_CHECK(rows == model.size(), "layout " + std::to_string(format) + ": " +
                                         std::to_string(rows) + " rows, model decodes " +
                                         std::to_string(model.size()));
    std::vector<tresk::fuzz::ReportCells> reportRows;
    for (std::size_t top = 0; top < rows; ++top) {
        const Row& want = model[rows - 1 - top];
        tresk::fuzz::ReportCells cells;
        for (std::size_t column = 0; column < want.size(); ++column) {
            const std::string got =
                table.GetCellText(static_cast<int>(top), static_cast<int>(column));
            FUZZ_CHECK(got.size() <= 8, Describe(format, top, column, got, want[column]));
            FUZZ_CHECK(got == want[column], Describe(format, top, column, got, want[column]));
            if (column > 0) {
                cells[column - 1] = got;
            }
        }
        FUZZ_CHECK(table.GetCellText(static_cast<int>(top), 0) == std::to_string(rows - top),
                   "row numbers do not run from the row count down to 1");
        reportRows.push_back(cells);
    }

    // One memory file serves every report: its buffer is made once.
    static CMemFile reportFile;
    reportFile.Clear();
    WriteTextReport(table, reportFile);
    const std::string& report = reportFile.GetBytes();
    const std::string expected = tresk::fuzz::ExpectedReport(reportRows);
    FUZZ_CHECK(report == expected, "layout " + std::to_string(format) + ": report of " +
                                       std::to_string(report.size()) + " bytes, expected " +
                                       std::to_string(expected.size()));

    // A second load replaces whatever the table held, and yields the same rows.
    MemoryCutRowTable again;
    again.InsertItem(0, "stale");
    again.SetItemText(0, 12, "stale");
    Load(data, size, format, again);
    FUZZ_CHECK(again.GetItemCount() == table.GetItemCount(), "second load, other row count");
    for (int row = 0; row < again.GetItemCount(); ++row) {
        for (int column = 0; column < kCutColumnCount; ++column) {
            FUZZ_CHECK(again.GetCellText(row, column) == table.GetCellText(row, column),
                       "second load differs at row " + std::to_string(row) + " column " +
                           std::to_string(column));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One layout an input, chosen by its size: mutations that add or remove
    // a byte try the same bytes in the other layouts.
    CheckLayout(data, size, static_cast<int>(size % 3));
    return 0;
}
