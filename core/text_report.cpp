#include "core/text_report.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/cut_row_table.h"
#include "platform/file.h"

namespace {

constexpr const char* kHeaderTitles[12] = {
    "Lung/Dist", "Spes/Lung", "TSX",      "TDX",   "N_Pezzi", "Spess",
    "Info1",     "Info2/BC",  "Info3/BC", "Info4", "BSX",     "BDX",
};

constexpr std::size_t kCellWidth = 10;
constexpr std::size_t kSeparatorLength = 120;
// Cells are fetched into a buffer of this length: at most 7 characters of a
// cell reach the report, so an 8-character text loses its last one.
constexpr int kFetchLength = 8;

// One line of the report, built in memory and written in one write. A line
// of 12 cells holds at most 11 * 10 + 7 characters and CR LF; the header's
// titles are longer than 7 but still well within the buffer.
class Line {
public:
    // Appends text; all but the last cell of a line are padded with spaces
    // to kCellWidth. Longer texts run into the next cell.
    void Cell(const char* text, std::size_t length, bool last) {
        // Cells are short: a plain loop beats a call to the library here.
        for (std::size_t i = 0; i < length; ++i) {
            *m_end++ = text[i];
        }
        while (!last && length < kCellWidth) {
            *m_end++ = ' ';
            ++length;
        }
    }
    // A line of the 12 cells of a row, each cut to kFetchLength - 1
    // characters, so every cell but the last takes exactly kCellWidth.
    void Row(const std::string_view* cells) {
        std::memset(m_end, ' ', 11 * kCellWidth);
        for (std::size_t i = 0; i < 12; ++i) {
            const std::size_t length = std::min(cells[i].size(), std::size_t{kFetchLength - 1});
            CopyShort(m_end + i * kCellWidth, cells[i].data(), length);
            if (i == 11) {
                m_end += i * kCellWidth + length;
            }
        }
    }
    void Append(const char* text, std::size_t length) {
        std::memcpy(m_end, text, length);
        m_end += length;
    }
    void WriteTo(CFile& file) {
        Append("\r\n", 2);
        file.Write(m_buf, static_cast<std::size_t>(m_end - m_buf));
        m_end = m_buf;
    }
    // The line made so far, without a line end.
    std::string_view Text() const {
        return std::string_view(m_buf, static_cast<std::size_t>(m_end - m_buf));
    }

private:
    // Copies at most 7 bytes in two overlapping moves: the cells are too
    // short for a call to the library to pay.
    static void CopyShort(char* out, const char* in, std::size_t n) {
        if (n >= 4) {
            std::memcpy(out, in, 4);
            std::memcpy(out + n - 4, in + n - 4, 4);
        } else if (n >= 2) {
            std::memcpy(out, in, 2);
            std::memcpy(out + n - 2, in + n - 2, 2);
        } else if (n == 1) {
            *out = *in;
        }
    }

    char m_buf[kSeparatorLength + 8] = {};
    char* m_end = m_buf;
};

void MakeHeaderLine(Line& line) {
    for (int i = 0; i < 12; ++i) {
        line.Cell(kHeaderTitles[i], std::strlen(kHeaderTitles[i]), i == 11);
    }
}

void MakeSeparatorLine(Line& line) {
    char separator[kSeparatorLength];
    std::memset(separator, '-', sizeof separator);
    line.Append(separator, sizeof separator);
}

// The cells of one row as the report takes them: read in place from a row
// store, or fetched into fetched through GetItemText.
class RowCells {
public:
    explicit RowCells(const CutRowTable& table) : m_table(table), m_store(table.GetRowStore()) {}

    const std::string_view* Get(int row) {
        if (m_store != nullptr) {
            // The cells are read in place; the line takes the same first
            // kFetchLength - 1 bytes that GetItemText would copy out.
            m_store->GetRowView(row, m_cells);
            return m_cells;
        }
        for (int column = 1; column < CutRowTable::kColumns; ++column) {
            char* cell = m_fetched[column];
            std::memset(cell, 0, kFetchLength);
            m_table.GetItemText(row, column, cell, kFetchLength);
            cell[kFetchLength - 1] = '\0';
            // The length is measured, not taken from GetItemText, so a
            // provider that miscounts cannot make the report read past the
            // buffer.
            m_cells[column] = std::string_view(cell, std::strlen(cell));
        }
        return m_cells;
    }

private:
    const CutRowTable& m_table;
    const MemoryCutRowTable* m_store;
    std::string_view m_cells[CutRowTable::kColumns];
    char m_fetched[CutRowTable::kColumns][kFetchLength] = {};
};

}  // namespace

void WriteTextReport(const CutRowTable& table, CFile& file) {
    Line line;
    MakeHeaderLine(line);
    line.WriteTo(file);
    MakeSeparatorLine(line);
    line.WriteTo(file);
    line.WriteTo(file);

    // The row count is read again after every line, so the loop ends at the
    // table's current end.
    RowCells cells(table);
    for (int row = 0; row < table.GetItemCount(); ++row) {
        line.Row(cells.Get(row) + 1);
        line.WriteTo(file);
    }
}

void TextReportLine(const CutRowTable& table, int index, std::string& text) {
    Line line;
    if (index == 0) {
        MakeHeaderLine(line);
    } else if (index == 1) {
        MakeSeparatorLine(line);
    } else if (index >= kTextReportTopLines) {
        RowCells cells(table);
        line.Row(cells.Get(index - kTextReportTopLines) + 1);
    }
    text.assign(line.Text());
}

void SaveTextReport(const CutRowTable& table, const std::string& path) {
    CFile file;
    // The open is not checked: a report that cannot be created fails at the
    // first write, with the file-not-found cause and the full path.
    file.Open(path,
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary);
    WriteTextReport(table, file);
    file.Close();
}
