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
// A cell reaches the report cut to kFetchLength - 1 characters: an
// 8-character text loses its last one.
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

}  // namespace

void WriteTextReport(const MemoryCutRowTable& table, CFile& file) {
    Line line;
    MakeHeaderLine(line);
    line.WriteTo(file);
    MakeSeparatorLine(line);
    line.WriteTo(file);
    line.WriteTo(file);

    // The row count is read again after every line, so the loop ends at the
    // table's current end.
    std::string_view cells[CutRowTable::kColumns];
    for (int row = 0; row < table.GetItemCount(); ++row) {
        table.GetRowView(row, cells);
        line.Row(cells + 1);
        line.WriteTo(file);
    }
}

void TextReportLine(const MemoryCutRowTable& table, int index, std::string& text) {
    Line line;
    if (index == 0) {
        MakeHeaderLine(line);
    } else if (index == 1) {
        MakeSeparatorLine(line);
    } else if (index >= kTextReportTopLines) {
        std::string_view cells[CutRowTable::kColumns];
        table.GetRowView(index - kTextReportTopLines, cells);
        line.Row(cells + 1);
    }
    text.assign(line.Text());
}

void SaveTextReport(const MemoryCutRowTable& table, const std::string& path) {
    CFile file;
    // The open is not checked: a report that cannot be created fails at the
    // first write, with the file-not-found cause and the full path.
    file.Open(path,
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary);
    WriteTextReport(table, file);
    file.Close();
}
