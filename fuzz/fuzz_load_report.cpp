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
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "fuzz/fuzz_support.h"
#include "platform/file.h"

namespace {

// One cell as the model makes it. The longest text the model can make is a
// row number; 24 characters hold any.
class ModelCell {
public:
    std::string_view View() const { return {m_text, m_size}; }
    void Clear() { m_size = 0; }
    void Append(char c) { m_text[m_size++] = c; }
    void Number(std::uint64_t value) {
        char digits[20];
        std::size_t n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n > 0) {
            Append(digits[--n]);
        }
    }
    void Integer(int value) {
        if (value < 0) {
            Append('-');
        }
        Number(static_cast<std::uint64_t>(value < 0 ? -value : value));
    }
    // "%.1f" of a whole number of tenths, written without the C library so
    // the model cannot share a locale fault with the code under test.
    void Tenths(int value) {
        if (value < 0) {
            Append('-');
            value = -value;
        }
        Number(static_cast<std::uint64_t>(value / 10));
        Append('.');
        Append(static_cast<char>('0' + value % 10));
    }

private:
    char m_text[24];
    std::size_t m_size = 0;
};

using ModelRow = std::array<ModelCell, kCutColumnCount>;

// The records of a cut list in file order, decoded straight from the bytes.
class ModelDecoder {
public:
    ModelDecoder(const std::uint8_t* data, std::size_t size, int format)
        : m_data(data), m_size(size), m_format(format) {
        if (format != kFormatOld) {
            Skip(3);
        }
    }

    // Decodes the next record into row; false when the records have ended.
    bool Next(ModelRow& row) {
        if (m_pos >= m_size) {
            return false;
        }
        const unsigned lead = Byte();
        if (lead < 1 || lead > 127) {
            m_pos = m_size;
            return false;
        }
        for (ModelCell& cell : row) {
            cell.Clear();
        }
        row[0].Number(++m_records);
        row[1].Number(Uint24());
        const unsigned second = Uint24();
        if ((second >> 16U) == 0x53U) {
            row[2].Append('S');
            row[2].Number(second & 0xFFFFU);
        } else {
            row[2].Number(second);
        }
        row[3].Tenths(Int16());
        row[4].Tenths(Int16());
        row[5].Integer(Int16());
        row[6].Integer(Int16());
        for (std::size_t field = 0; field < 4; ++field) {
            Text(row[7 + field]);
        }
        Skip(3);
        if (m_format == kFormatMem) {
            row[11].Tenths(0);
            row[12].Tenths(0);
        } else {
            row[11].Tenths(Int16());
            row[12].Tenths(Int16());
        }
        return true;
    }

private:
    // The next byte, or 0 once the file is exhausted: missing bytes of a
    // record cut short count as zero.
    unsigned Byte() { return m_pos < m_size ? m_data[m_pos++] : 0U; }
    void Skip(std::size_t count) { m_pos = m_pos + count < m_size ? m_pos + count : m_size; }
    int Int16() {
        const unsigned high = Byte();
        const unsigned raw = (high << 8U) | Byte();
        return raw >= 0x8000U ? static_cast<int>(raw) - 0x10000 : static_cast<int>(raw);
    }
    unsigned Uint24() {
        const unsigned b0 = Byte();
        const unsigned b1 = Byte();
        return (b0 << 16U) | (b1 << 8U) | Byte();
    }
    // A text field read in one go: the bytes delivered up to the first zero.
    void Text(ModelCell& cell) {
        bool ended = false;
        for (std::size_t i = 0; i < 8 && m_pos < m_size; ++i) {
            const char c = static_cast<char>(m_data[m_pos++]);
            ended = ended || c == '\0';
            if (!ended) {
                cell.Append(c);
            }
        }
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    int m_format;
    std::size_t m_pos = 0;
    std::uint64_t m_records = 0;
};

// Cells compared in a plain loop: they are a few bytes long, and both the
// string classes' comparison and the sanitizer's wrapper around memcmp cost
// more than the bytes.
bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

std::string Describe(int format, int row, int column, std::string_view got, std::string_view want) {
    return "layout " + std::to_string(format) + " row " + std::to_string(row) + " column " +
           std::to_string(column) + ": got \"" + std::string(got) + "\", want \"" +
           std::string(want) + "\"";
}

// Decodes the bytes as the loader decodes a file: from a memory file of the
// same shape, so no input has to go through the file system.
void Load(const std::uint8_t* data, std::size_t size, int format, CutRowTable& table) {
    CMemFile file(data, size);
    ReadCutList(file, format, table);
    file.Close();
}

void CheckLayout(const std::uint8_t* data, std::size_t size, int format) {
    // The tables, the model's rows and the report file are made once and
    // emptied for every input, as the dialog's list is for every load: making
    // them costs more than a short load.
    static MemoryCutRowTable table;
    Load(data, size, format, table);
    const int rows = table.GetItemCount();

    static std::vector<ModelRow> model;
    model.clear();
    ModelDecoder decoder(data, size, format);
    for (ModelRow row; decoder.Next(row);) {
        model.push_back(row);
    }
    FUZZ_CHECK(model.size() == static_cast<std::size_t>(rows),
               "layout " + std::to_string(format) + ": " + std::to_string(rows) +
                   " rows, model decodes " + std::to_string(model.size()));

    static CMemFile reportFile;
    reportFile.Clear();
    WriteTextReport(table, reportFile);
    tresk::fuzz::ReportMatcher report(reportFile.GetBytes());
    FUZZ_CHECK(report.Header(), "report header differs");

    // A second load replaces whatever the table held, and yields the same rows.
    static MemoryCutRowTable again;
    again.DeleteAllItems();
    again.InsertItem(0, "stale");
    again.SetItemText(0, 12, "stale");
    Load(data, size, format, again);
    FUZZ_CHECK(again.GetItemCount() == rows, "second load, other row count");

    // Top row first: the last record, the report's first line.
    std::string_view got[kCutColumnCount];
    std::string_view reloaded[kCutColumnCount];
    ModelCell number;
    for (int row = 0; row < rows; ++row) {
        const ModelRow& want = model[static_cast<std::size_t>(rows - 1 - row)];
        table.GetRowView(row, got);
        for (int column = 0; column < kCutColumnCount; ++column) {
            const std::string_view cell = got[column];
            const std::string_view expected = want[static_cast<std::size_t>(column)].View();
            FUZZ_CHECK(cell.size() <= 8, Describe(format, row, column, cell, expected));
            FUZZ_CHECK(Same(cell, expected), Describe(format, row, column, cell, expected));
        }
        number.Clear();
        number.Number(static_cast<std::uint64_t>(rows - row));
        FUZZ_CHECK(Same(got[0], number.View()),
                   "row numbers do not run from the row count down to 1");

        FUZZ_CHECK(report.Line(std::span<const std::string_view, 12>(got + 1, 12)),
                   "layout " + std::to_string(format) + ": report line of row " +
                       std::to_string(row) + " differs at byte " + std::to_string(report.Offset()));

        again.GetRowView(row, reloaded);
        for (int column = 0; column < kCutColumnCount; ++column) {
            FUZZ_CHECK(Same(reloaded[column], got[column]), "second load differs at row " +
                                                                std::to_string(row) + " column " +
                                                                std::to_string(column));
        }
    }
    FUZZ_CHECK(report.AtEnd(), "layout " + std::to_string(format) + ": report of " +
                                   std::to_string(reportFile.GetBytes().size()) + " bytes, " +
                                   std::to_string(report.Offset()) + " expected");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One layout an input, chosen by its size: mutations that add or remove
    // a byte try the same bytes in the other layouts.
    CheckLayout(data, size, static_cast<int>(size % 3));
    return 0;
}
