#include "core/pdf_report.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "core/report_pages.h"
#include "platform/file.h"

namespace {

// Object numbers: the catalog, the page tree and the font come first, then
// a page dictionary and its content stream for every page.
constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kFont = 3;
constexpr int kFirstPageObject = 4;

int PageObject(int page) {
    return kFirstPageObject + 2 * page;
}

// A4 landscape in points. Courier's characters are 0.6 em wide, so at
// 10.9 points a line of 120 characters is 784.8 points: the page's width
// less 28.6 points of margin on either side. Lines are 12 points apart; the
// footer takes the last of kPdfLinesPerPage lines, at the bottom of every
// page however short the page.
constexpr std::string_view kMediaBox = "[0 0 842 595]";
constexpr std::string_view kFontSize = "10.9";
constexpr std::string_view kLeading = "12";
constexpr std::string_view kLeft = "28.6";
constexpr int kFirstBaseline = 558;
constexpr int kLeadingPoints = 12;

void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// A PDF literal string of the line's bytes: the parentheses and the
// backslash escaped, control bytes (a line end among them, which a reader
// would change) as octal escapes, everything else as it is, for
// WinAnsiEncoding to show.
void AppendPdfString(std::string& out, std::string_view text) {
    out += '(';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                                  static_cast<char>('0' + ((byte >> 3) & 7)),
                                  static_cast<char>('0' + (byte & 7))};
            out.append(octal, sizeof octal);
        } else {
            out += c;
        }
    }
    out += ')';
}

void AppendTextAt(std::string& out, int baseline) {
    out += "BT\n/F1 ";
    out += kFontSize;
    out += " Tf\n";
    out += kLeading;
    out += " TL\n";
    out += kLeft;
    out += ' ';
    AppendNumber(out, static_cast<std::uint64_t>(baseline));
    out += " Td\n";
}

// The content stream of one page: its lines from the top, then the footer.
void MakeContent(const ReportPage& page, std::string& content) {
    content.clear();
    AppendTextAt(content, kFirstBaseline);
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
        AppendPdfString(content, page.lines[i]);
        content += i == 0 ? " Tj\n" : " '\n";
    }
    content += "ET\n";
    AppendTextAt(content, kFirstBaseline - (kPdfLinesPerPage - 1) * kLeadingPoints);
    AppendPdfString(content, page.footer);
    content += " Tj\nET\n";
}

void BeginObject(std::string& out, int number) {
    AppendNumber(out, static_cast<std::uint64_t>(number));
    out += " 0 obj\n";
}

// Writes the PDF in one pass from start to end. The cross-reference table
// at the end needs the offset of every object: rather than keep two numbers
// a page for the whole list, the pages are made a second time when it is
// written, to learn their sizes, so memory stays the same for any length of
// list.
class PdfWriter {
public:
    PdfWriter(const MemoryCutRowTable& table, CFile& file, const std::string& fileName, int format)
        : m_pages(table, kPdfLinesPerPage, fileName, format), m_file(file) {}

    void Write() {
        // The comment's bytes above 127 tell tools that the file is binary.
        Put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        m_catalogAt = m_offset;
        Object(kCatalog, "<< /Type /Catalog /Pages 2 0 R >>");
        m_fontAt = m_offset;
        Object(kFont,
               "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
        m_pagesAt = m_offset;
        for (int page = 0; page < m_pages.GetPageCount(); ++page) {
            Put(MakePage(page));
        }
        m_treeAt = m_offset;
        WritePageTree();
        WriteCrossReference();
    }

private:
    void Put(std::string_view bytes) {
        m_file.Write(bytes.data(), bytes.size());
        m_offset += bytes.size();
    }

    void Object(int number, std::string_view body) {
        m_buffer.clear();
        BeginObject(m_buffer, number);
        m_buffer += body;
        m_buffer += "\nendobj\n";
        Put(m_buffer);
    }

    // The page's dictionary and its content stream, back to back;
    // m_contentAt is where the content stream's object starts in them.
    const std::string& MakePage(int page) {
        m_pages.GetPage(page, m_page);
        MakeContent(m_page, m_content);
        m_buffer.clear();
        BeginObject(m_buffer, PageObject(page));
        m_buffer += "<< /Type /Page /Parent 2 0 R /Contents ";
        AppendNumber(m_buffer, static_cast<std::uint64_t>(PageObject(page)) + 1);
        m_buffer += " 0 R >>\nendobj\n";
        m_contentAt = m_buffer.size();
        BeginObject(m_buffer, PageObject(page) + 1);
        m_buffer += "<< /Length ";
        AppendNumber(m_buffer, m_content.size());
        m_buffer += " >>\nstream\n";
        m_buffer += m_content;
        m_buffer += "\nendstream\nendobj\n";
        return m_buffer;
    }

    void WritePageTree() {
        m_buffer.clear();
        BeginObject(m_buffer, kPageTree);
        m_buffer += "<< /Type /Pages /MediaBox ";
        m_buffer += kMediaBox;
        m_buffer += " /Resources << /Font << /F1 3 0 R >> >>\n/Count ";
        AppendNumber(m_buffer, static_cast<std::uint64_t>(m_pages.GetPageCount()));
        m_buffer += "\n/Kids [";
        for (int page = 0; page < m_pages.GetPageCount(); ++page) {
            AppendNumber(m_buffer, static_cast<std::uint64_t>(PageObject(page)));
            m_buffer += page % 8 == 7 ? " 0 R\n" : " 0 R ";
            if (m_buffer.size() >= CFile::kBufferSize) {
                Put(m_buffer);
                m_buffer.clear();
            }
        }
        m_buffer += "] >>\nendobj\n";
        Put(m_buffer);
    }

    // One entry of the table: exactly 20 bytes, the line end included.
    void Entry(std::string& out, std::uint64_t offset) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, offset).ptr;
        out.append(10 - static_cast<std::size_t>(end - digits), '0');
        out.append(digits, end);
        out += " 00000 n\r\n";
    }

    void WriteCrossReference() {
        const std::uint64_t xrefAt = m_offset;
        const int objects = PageObject(m_pages.GetPageCount());
        std::string table = "xref\n0 ";
        AppendNumber(table, static_cast<std::uint64_t>(objects));
        table += "\n0000000000 65535 f\r\n";
        Entry(table, m_catalogAt);
        Entry(table, m_treeAt);
        Entry(table, m_fontAt);
        std::uint64_t at = m_pagesAt;
        for (int page = 0; page < m_pages.GetPageCount(); ++page) {
            const std::size_t size = MakePage(page).size();
            Entry(table, at);
            Entry(table, at + m_contentAt);
            at += size;
            if (table.size() >= CFile::kBufferSize) {
                Put(table);
                table.clear();
            }
        }
        table += "trailer\n<< /Size ";
        AppendNumber(table, static_cast<std::uint64_t>(objects));
        table += " /Root 1 0 R >>\nstartxref\n";
        AppendNumber(table, xrefAt);
        table += "\n%%EOF\n";
        Put(table);
    }

    CReportPages m_pages;
    CFile& m_file;
    std::uint64_t m_offset = 0;
    std::uint64_t m_catalogAt = 0;
    std::uint64_t m_fontAt = 0;
    std::uint64_t m_pagesAt = 0;
    std::uint64_t m_treeAt = 0;
    std::size_t m_contentAt = 0;
    ReportPage m_page;
    std::string m_content;
    std::string m_buffer;
};

}  // namespace

void WritePdfReport(const MemoryCutRowTable& table, CFile& file, const std::string& fileName,
                    int format) {
    PdfWriter(table, file, fileName, format).Write();
}

void SavePdfReport(const MemoryCutRowTable& table, const std::string& path,
                   const std::string& fileName, int format) {
    CFile file;
    // As for the text report, the open is not checked: a file that cannot be
    // created fails at the first write, naming it.
    file.Open(path,
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary);
    WritePdfReport(table, file, fileName, format);
    file.Close();
}
