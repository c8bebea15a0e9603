#include "core/xlsx_workbook.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/cut_row_table.h"
#include "core/cut_rows.h"
#include "core/windows1252.h"
#include "core/zip_writer.h"
#include "platform/file.h"

namespace {

constexpr std::size_t kMaxSheetName = 31;
// The sheet's XML is handed to the zip writer in pieces of about this size.
constexpr std::size_t kPiece = std::size_t{64} * 1024;

// How a column's cells are written.
enum class CellKind : unsigned char {
    whole,        // a whole number
    wholeOrText,  // a whole number, or text when "S"-marked
    tenths,       // a number shown with one decimal
    text,
};

constexpr CellKind kColumnKinds[kCutColumnCount] = {
    CellKind::whole, CellKind::whole,  CellKind::wholeOrText, CellKind::tenths, CellKind::tenths,
    CellKind::whole, CellKind::whole,  CellKind::text,        CellKind::text,   CellKind::text,
    CellKind::text,  CellKind::tenths, CellKind::tenths,
};

// Cell styles, as numbered in styles.xml: 0 the default, 1 the bold titles,
// 2 numbers in the format 0.0 (the start of such a cell).
constexpr std::string_view kBoldStyle = "1";
constexpr std::string_view kTenthsCellStart = "<c s=\"2\"><v>";

constexpr std::string_view kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kMainNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kRelationshipNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The column's letter: the list has 13 columns, A to M.
char ColumnLetter(int column) {
    return static_cast<char>('A' + column);
}

// True for "-"? digits, and with decimals for "-"? digits "." digits: the
// texts the list shows for its numbers, which a spreadsheet reads as the
// same number in any locale. Anything else stays text.
bool IsNumber(std::string_view text, bool decimals) {
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
    }
    if (i == start) {
        return false;
    }
    if (decimals && i < text.size() && text[i] == '.') {
        const std::size_t point = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        if (i == point) {
            return false;
        }
    }
    return i == text.size();
}

// How each byte of a cell's Windows-1252 text is written in the XML.
enum class ByteKind : unsigned char { plain, entity, escape, underscore, high };

constexpr std::array<ByteKind, 256> MakeByteKinds() {
    std::array<ByteKind, 256> kinds{};
    for (std::size_t b = 0; b < 0x20; ++b) {
        kinds[b] = ByteKind::escape;
    }
    // Tab and LF pass as they are; a CR would be read back as LF.
    kinds['\t'] = ByteKind::plain;
    kinds['\n'] = ByteKind::plain;
    kinds['&'] = ByteKind::entity;
    kinds['<'] = ByteKind::entity;
    kinds['>'] = ByteKind::entity;
    kinds['_'] = ByteKind::underscore;
    for (std::size_t b = 0x80; b < 0x100; ++b) {
        kinds[b] = ByteKind::high;
    }
    return kinds;
}

constexpr std::array<ByteKind, 256> kByteKinds = MakeByteKinds();

void AppendHexEscape(std::string& out, unsigned value) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const char escape[] = {'_', 'x', '0', '0', kHex[(value >> 4) & 0xF], kHex[value & 0xF], '_'};
    out.append(escape, sizeof escape);
}

// The text of cell bytes as XML character data, decoded from Windows-1252.
// A character XML cannot carry becomes Office's _xHHHH_ escape, and an
// underscore that starts "_x" becomes _x005F_, so a text that looks like an
// escape reads back as itself.
void AppendXmlText(std::string& out, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        switch (kByteKinds[static_cast<unsigned char>(c)]) {
            case ByteKind::plain:
                out += c;
                break;
            case ByteKind::entity:
                out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
                break;
            case ByteKind::escape:
                AppendHexEscape(out, static_cast<unsigned char>(c));
                break;
            case ByteKind::underscore:
                if (i + 1 < bytes.size() && bytes[i + 1] == 'x') {
                    AppendHexEscape(out, '_');
                } else {
                    out += c;
                }
                break;
            case ByteKind::high:
                windows1252::AppendUtf8(out, bytes.substr(i, 1));
                break;
        }
    }
}

// The same for a UTF-8 text of our own (a sheet name) in an attribute.
void AppendXmlAttribute(std::string& out, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void AppendTextCell(std::string& out, std::string_view bytes, std::string_view style = {}) {
    out += "<c t=\"inlineStr\"";
    if (!style.empty()) {
        out += " s=\"";
        out += style;
        out += '"';
    }
    // Spaces at either end are kept only when asked to.
    out += IsSpace(bytes.front()) || IsSpace(bytes.back()) ? "><is><t xml:space=\"preserve\">"
                                                           : "><is><t>";
    AppendXmlText(out, bytes);
    out += "</t></is></c>";
}

// One cell of a row; an empty one keeps its place with an empty element.
void AppendCell(std::string& out, int column, std::string_view text) {
    if (text.empty()) {
        out += "<c/>";
        return;
    }
    const CellKind kind = kColumnKinds[column];
    if (kind == CellKind::text || !IsNumber(text, kind == CellKind::tenths)) {
        AppendTextCell(out, text);
        return;
    }
    // The number as the list shows it, digit for digit.
    out += kind == CellKind::tenths ? kTenthsCellStart : std::string_view("<c><v>");
    out += text;
    out += "</v></c>";
}

// The characters of a UTF-8 text, each as its bytes; a byte that does not
// start a whole character stands alone.
std::vector<std::string_view> Characters(std::string_view utf8) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead >= 0xF8 || length > utf8.size() - i) {
            length = 1;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80) {
                length = 1;
            }
        }
        characters.push_back(utf8.substr(i, length));
        i += length;
    }
    return characters;
}

// A sheet name made safe: the characters a sheet name cannot hold replaced,
// cut to at most maxLength characters.
std::string CleanSheetName(std::string_view utf8, std::size_t maxLength) {
    std::vector<std::string_view> characters = Characters(utf8);
    if (characters.size() > maxLength) {
        characters.resize(maxLength);
    }
    std::string name;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const std::string_view c = characters[i];
        const auto lead = static_cast<unsigned char>(c[0]);
        const bool invalid = (c.size() == 1 && (lead < 0x20 || lead >= 0x80 || lead == 0x7F)) ||
                             std::string_view("[]:*?/\\").find(c[0]) != std::string_view::npos ||
                             (c[0] == '\'' && (i == 0 || i + 1 == characters.size()));
        name += invalid ? std::string_view("_") : c;
    }
    return name.empty() ? "Foglio1" : name;
}

// The name of sheet number index (from 0): the first bears the name itself,
// the next "NAME (2)" and on, NAME cut to leave room for the number.
std::string SheetName(const std::string& name, int index) {
    if (index == 0) {
        return CleanSheetName(name, kMaxSheetName);
    }
    const std::string suffix = " (" + std::to_string(index + 1) + ")";
    return CleanSheetName(name, kMaxSheetName - suffix.size()) + suffix;
}

// The width of each column of the list in pixels as a width of the sheet:
// characters of the default font's 7-pixel digits, in 256ths, as the
// spreadsheet stores them.
std::string ColumnWidth(int pixels) {
    const int units = pixels * 256 / 7;  // whole 256ths, rounded down
    const double width = static_cast<double>(units) / 256.0;
    char digits[32];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, width).ptr);
}

class WorkbookWriter {
public:
    WorkbookWriter(const MemoryCutRowTable& table, CFile& file, std::string sheetName,
                   int rowsPerSheet)
        : m_table(table),
          m_zip(file),
          m_name(std::move(sheetName)),
          m_rowsPerSheet(std::max(rowsPerSheet, 1)),
          m_rows(std::max(table.GetItemCount(), 0)),
          m_sheets(m_rows > 0 ? 1 + (m_rows - 1) / m_rowsPerSheet : 1) {}

    void Write() {
        Part("[Content_Types].xml", ContentTypes());
        Part("_rels/.rels", std::string(kXmlDeclaration) +
                                "<Relationships xmlns=\"http://schemas.openxmlformats.org/"
                                "package/2006/relationships\"><Relationship Id=\"rId1\" "
                                "Type=\"" +
                                std::string(kRelationshipNamespace) +
                                R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)");
        Part("xl/workbook.xml", Workbook());
        Part("xl/_rels/workbook.xml.rels", WorkbookRelationships());
        Part("xl/styles.xml", Styles());
        for (int sheet = 0; sheet < m_sheets; ++sheet) {
            WriteSheet(sheet);
        }
        m_zip.Finish();
    }

private:
    void Part(const std::string& name, const std::string& xml) {
        m_zip.BeginEntry(name);
        m_zip.Write(xml);
    }

    int RowsOnSheet(int sheet) const {
        return std::min(m_rowsPerSheet, m_rows - sheet * m_rowsPerSheet);
    }

    // "A1:M<last row>": the sheet's cells, and the range of its filter.
    std::string Range(int sheet, bool absolute) const {
        const std::string dollar = absolute ? "$" : "";
        std::string range =
            dollar + "A" + dollar + "1:" + dollar + ColumnLetter(kCutColumnCount - 1) + dollar;
        AppendNumber(range, static_cast<std::uint64_t>(RowsOnSheet(sheet)) + 1);
        return range;
    }

    std::string ContentTypes() const {
        std::string xml(kXmlDeclaration);
        xml +=
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/"
            "vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
            "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
        for (int sheet = 0; sheet < m_sheets; ++sheet) {
            xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(sheet + 1) +
                   ".xml\" ContentType=\"application/"
                   "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        }
        return xml + "</Types>";
    }

    std::string Workbook() const {
        std::string xml(kXmlDeclaration);
        xml += "<workbook xmlns=\"" + std::string(kMainNamespace) + "\" xmlns:r=\"" +
               std::string(kRelationshipNamespace) +
               "\"><bookViews><workbookView/></bookViews><sheets>";
        for (int sheet = 0; sheet < m_sheets; ++sheet) {
            const std::string number = std::to_string(sheet + 1);
            xml += "<sheet name=\"";
            AppendXmlAttribute(xml, SheetName(m_name, sheet));
            xml += "\" sheetId=\"" + number + "\" r:id=\"rId" + number + "\"/>";
        }
        // The range of each sheet's filter, as the spreadsheet itself notes it.
        xml += "</sheets><definedNames>";
        for (int sheet = 0; sheet < m_sheets; ++sheet) {
            std::string quoted;
            for (const char c : SheetName(m_name, sheet)) {
                quoted += c == '\'' ? "''" : std::string(1, c);
            }
            xml += R"(<definedName name="_xlnm._FilterDatabase" localSheetId=")" +
                   std::to_string(sheet) + R"(" hidden="1">')";
            AppendXmlAttribute(xml, quoted);
            xml += "'!" + Range(sheet, true) + "</definedName>";
        }
        return xml + "</definedNames></workbook>";
    }

    std::string WorkbookRelationships() const {
        std::string xml(kXmlDeclaration);
        xml +=
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
            "relationships\">";
        for (int sheet = 0; sheet <= m_sheets; ++sheet) {
            const bool styles = sheet == m_sheets;
            xml += "<Relationship Id=\"rId" + std::to_string(sheet + 1) + "\" Type=\"" +
                   std::string(kRelationshipNamespace) +
                   (styles ? R"(/styles" Target="styles.xml"/>)"
                           : "/worksheet\" Target=\"worksheets/sheet" + std::to_string(sheet + 1) +
                                 ".xml\"/>");
        }
        return xml + "</Relationships>";
    }

    static std::string Styles() {
        std::string xml(kXmlDeclaration);
        const std::string font = R"(<sz val="11"/><name val="Calibri"/><family val="2"/>)";
        xml += "<styleSheet xmlns=\"" + std::string(kMainNamespace) +
               "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.0\"/></numFmts>"
               "<fonts count=\"2\"><font>" +
               font + "</font><font><b/>" + font +
               "</font></fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
               "<fill><patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\">"
               "<border><left/><right/><top/><bottom/><diagonal/></border></borders>"
               "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
               "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"3\">"
               "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
               "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
               "applyFont=\"1\"/><xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
               "xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs><cellStyles count=\"1\">"
               "<cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
        return xml;
    }

    // Everything before the first data row: the frozen title row, the
    // column widths and the titles in bold.
    std::string SheetTop(int sheet) const {
        std::string xml(kXmlDeclaration);
        xml +=
            "<worksheet xmlns=\"" + std::string(kMainNamespace) + "\" xmlns:r=\"" +
            std::string(kRelationshipNamespace) + "\"><dimension ref=\"" + Range(sheet, false) +
            "\"/><sheetViews><sheetView " + (sheet == 0 ? "tabSelected=\"1\" " : "") +
            "workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
            "state=\"frozen\"/><selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/>"
            "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/><cols>";
        for (int column = 0; column < kCutColumnCount; ++column) {
            const std::string number = std::to_string(column + 1);
            xml += "<col min=\"" + number + "\" max=\"" + number + "\" width=\"" +
                   ColumnWidth(kCutColumns[column].width) + R"(" customWidth="1"/>)";
        }
        xml += "</cols><sheetData><row r=\"1\">";
        for (const CutColumn& column : kCutColumns) {
            AppendTextCell(xml, column.title, kBoldStyle);
        }
        return xml + "</row>";
    }

    void WriteSheet(int sheet) {
        m_zip.BeginEntry("xl/worksheets/sheet" + std::to_string(sheet + 1) + ".xml");
        std::string xml = SheetTop(sheet);
        std::string_view cells[CutRowTable::kColumns];
        const int first = sheet * m_rowsPerSheet;
        const int end = first + RowsOnSheet(sheet);
        for (int row = first; row < end; ++row) {
            m_table.GetRowView(row, cells);
            xml += "<row r=\"";
            AppendNumber(xml, static_cast<std::uint64_t>(row - first) + 2);
            xml += "\">";
            for (int column = 0; column < kCutColumnCount; ++column) {
                AppendCell(xml, column, cells[column]);
            }
            xml += "</row>";
            if (xml.size() >= kPiece) {
                m_zip.Write(xml);
                xml.clear();
            }
        }
        xml += "</sheetData><autoFilter ref=\"" + Range(sheet, false) + "\"/></worksheet>";
        m_zip.Write(xml);
    }

    const MemoryCutRowTable& m_table;
    CZipWriter m_zip;
    std::string m_name;
    int m_rowsPerSheet;
    int m_rows;
    int m_sheets;
};

}  // namespace

std::string WorkbookSheetName(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        fileName.remove_prefix(slash + 1);
    }
    const std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        fileName = fileName.substr(0, dot);
    }
    return CleanSheetName(fileName, kMaxSheetName);
}

std::string WorkbookSheetNameOfPath(const std::string& path) {
#ifdef _WIN32
    return WorkbookSheetName(windows1252::ToUtf8(path));
#else
    return WorkbookSheetName(path.substr(path.find_last_of('/') + 1));
#endif
}

void WriteWorkbook(const MemoryCutRowTable& table, CFile& file, const std::string& sheetName,
                   int rowsPerSheet) {
    WorkbookWriter(table, file, sheetName, rowsPerSheet).Write();
}

void SaveWorkbook(const MemoryCutRowTable& table, const std::string& path,
                  const std::string& sheetName) {
    CFile file;
    // As for the text report, the open is not checked: a file that cannot be
    // created fails at the first write, naming it.
    file.Open(path,
              CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary);
    WriteWorkbook(table, file, sheetName);
    file.Close();
}
