#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>

#include "core/cut_row_table.h"
#include "core/xlsx_workbook.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

std::uint32_t U32(const std::string& zip, std::size_t at, int bytes = 4) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(zip[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// The members of a zip archive, inflated, found through its directory; each
// checked against the CRC-32 the directory gives.
std::map<std::string, std::string> Unzip(const std::string& zip) {
    std::map<std::string, std::string> members;
    const std::size_t end = zip.size() - 22;
    EXPECT_EQ(U32(zip, end), 0x06054b50u);
    std::size_t at = U32(zip, end + 16);
    for (std::uint32_t n = U32(zip, end + 10, 2); n > 0; --n) {
        const std::uint32_t crc = U32(zip, at + 16);
        const std::uint32_t size = U32(zip, at + 24);
        const std::uint32_t nameLength = U32(zip, at + 28, 2);
        const std::size_t local = U32(zip, at + 42);
        const std::string name = zip.substr(at + 46, nameLength);
        at += 46 + nameLength;

        std::string& data = members[name];
        data.resize(size);
        z_stream z{};
        inflateInit2(&z, -MAX_WBITS);
        const std::size_t start = local + 30 + U32(zip, local + 26, 2) + U32(zip, local + 28, 2);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + start));
        z.avail_in = static_cast<uInt>(zip.size() - start);
        z.next_out = reinterpret_cast<Bytef*>(data.data());
        z.avail_out = size;
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << name;
        inflateEnd(&z);
        EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(data.data()), size), crc) << name;
    }
    return members;
}

void AddRow(MemoryCutRowTable& table, const std::vector<std::string>& cells) {
    table.InsertItem(0, cells[0].c_str());
    for (std::size_t i = 1; i < cells.size(); ++i) {
        table.SetItemText(0, static_cast<int>(i), cells[i].c_str());
    }
}

// The XML between a sheet's first <row r="2"> and </sheetData>.
std::string DataRows(const std::string& sheet) {
    const std::size_t start = sheet.find("<row r=\"2\">");
    return start == std::string::npos ? ""
                                      : sheet.substr(start, sheet.find("</sheetData>") - start);
}

TEST(Workbook, EveryColumnKindBecomesItsCellType) {
    MemoryCutRowTable table;
    AddRow(table, {"2", "16777215", "S300", "-12.3", "0.0", "-1", "32767", "00015668", "=1+1",
                   "a_x0041_", "<&>\r\x01", "4.5", "-3276.8"});
    AddRow(table, {"1", "5", "300", "x", "", "", "", " Per\xF2 ", "", "", "", "", ""});
    CMemFile file;
    WriteWorkbook(table, file, "lista");
    const std::string sheet = Unzip(file.GetBytes())["xl/worksheets/sheet1.xml"];

    const auto text = [](const std::string& xml) {
        return "<c t=\"inlineStr\"><is><t>" + xml + "</t></is></c>";
    };
    EXPECT_EQ(DataRows(sheet),
              "<row r=\"2\"><c><v>1</v></c><c><v>5</v></c><c><v>300</v></c>" + text("x") +
                  "<c/><c/><c/><c t=\"inlineStr\"><is><t xml:space=\"preserve\"> Per\xC3\xB2 "
                  "</t></is></c><c/><c/><c/><c/><c/></row>"
                  "<row r=\"3\"><c><v>2</v></c><c><v>16777215</v></c>" +
                  text("S300") +
                  "<c s=\"2\"><v>-12.3</v></c><c s=\"2\"><v>0.0</v></c><c><v>-1</v></c>"
                  "<c><v>32767</v></c>" +
                  text("00015668") + text("=1+1") + text("a_x005F_x0041_") +
                  text("&lt;&amp;&gt;_x000D__x0001_") +
                  "<c s=\"2\"><v>4.5</v></c><c s=\"2\"><v>-3276.8</v></c></row>");
    // The titles in bold (style 1), the first row frozen, the filter over
    // the data, the list's column widths.
    EXPECT_NE(sheet.find("<row r=\"1\"><c t=\"inlineStr\" s=\"1\"><is><t>Nr.</t></is></c>"),
              std::string::npos);
    EXPECT_NE(sheet.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
                         "state=\"frozen\"/>"),
              std::string::npos);
    EXPECT_NE(sheet.find("<autoFilter ref=\"A1:M3\"/>"), std::string::npos);
    EXPECT_NE(sheet.find("<col min=\"1\" max=\"1\" width=\"2.85546875\" customWidth=\"1\"/>"
                         "<col min=\"2\" max=\"2\" width=\"11.42578125\" customWidth=\"1\"/>"),
              std::string::npos);

    // The same table gives the same bytes.
    CMemFile again;
    WriteWorkbook(table, again, "lista");
    EXPECT_EQ(again.GetBytes(), file.GetBytes());
}

TEST(Workbook, RowsBeyondASheetGoOnNumberedSheetsEachWithTitles) {
    MemoryCutRowTable table;
    for (int i = 1; i <= 5; ++i) {
        AddRow(table, {std::to_string(i)});
    }
    CMemFile file;
    const std::string name(31, 'n');
    WriteWorkbook(table, file, name, 2);
    auto parts = Unzip(file.GetBytes());
    const std::string cut(27, 'n');
    EXPECT_NE(parts["xl/workbook.xml"].find("<sheet name=\"" + name +
                                            "\" sheetId=\"1\" "
                                            "r:id=\"rId1\"/><sheet name=\"" +
                                            cut +
                                            " (2)\" sheetId=\"2\" "
                                            "r:id=\"rId2\"/><sheet name=\"" +
                                            cut + " (3)\""),
              std::string::npos);
    for (const char* sheet : {"1", "2", "3"}) {
        EXPECT_NE(parts["xl/worksheets/sheet" + std::string(sheet) + ".xml"].find("<t>Nr.</t>"),
                  std::string::npos);
    }
    // Top row first: 5 4 | 3 2 | 1.
    EXPECT_EQ(DataRows(parts["xl/worksheets/sheet3.xml"]),
              "<row r=\"2\"><c><v>1</v></c><c/><c/><c/><c/><c/><c/><c/><c/><c/><c/><c/><c/></row>");
    EXPECT_NE(parts["xl/worksheets/sheet3.xml"].find("<autoFilter ref=\"A1:M2\"/>"),
              std::string::npos);
    EXPECT_EQ(parts.count("xl/worksheets/sheet4.xml"), 0u);
}

TEST(Workbook, SheetNameIsTheFileNameMadeSafe) {
    EXPECT_EQ(WorkbookSheetName("/dati/lista[1]:*?.PRG"), "lista_1____");
    EXPECT_EQ(WorkbookSheetName("C:\\liste\\'Però'.prg"), "_Però_");
    EXPECT_EQ(WorkbookSheetName(std::string(40, 'x') + ".PRG"), std::string(31, 'x'));
    EXPECT_EQ(WorkbookSheetName("a\x01\xFF.b.PRG"), "a__.b");
    EXPECT_EQ(WorkbookSheetName(".PRG"), ".PRG");
    EXPECT_EQ(WorkbookSheetName("/"), "Foglio1");
}

TEST(Workbook, FailedWriteLeavesTheOldFileAndNamesTheNewOne) {
    TempDir dir;
    const std::string path = dir.WriteText("lista.xlsx", "old");
    tresk::file_fault::FailNth(tresk::file_fault::Op::write, 3, 0);
    try {
        SaveWorkbook(MemoryCutRowTable(), path, "lista");
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_strFileName, path);
    }
    tresk::file_fault::Reset();
    EXPECT_EQ(ReadWhole(path), "old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"lista.xlsx"});
}

}  // namespace
