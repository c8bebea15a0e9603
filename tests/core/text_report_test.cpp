#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cut_rows.h"
#include "core/text_report.h"
#include "platform/file.h"
#include "platform/file_faults.h"
#include "tests/support/temp_files.h"

namespace {

using tresk::test::ReadWhole;
using tresk::test::TempDir;

const std::string kHeader =
    "Lung/Dist Spes/Lung TSX       TDX       N_Pezzi   Spess     Info1     Info2/BC  "
    "Info3/BC  Info4     BSX       BDX\r\n";
const std::string kTop = kHeader + std::string(120, '-') + "\r\n\r\n";

// A row whose cells 1..12 are the given texts.
void AddRow(MemoryCutRowTable& table, const std::vector<std::string>& cells) {
    table.InsertItem(0, "1");
    for (std::size_t i = 0; i < cells.size(); ++i) {
        table.SetItemText(0, static_cast<int>(i) + 1, cells[i].c_str());
    }
}

TEST(TextReport, EmptyTableGivesTheThreeLineReport) {
    TempDir dir;
    const MemoryCutRowTable table;
    const std::string path = dir.File("empty.txt");
    SaveTextReport(table, path);
    const std::string report = ReadWhole(path);
    EXPECT_EQ(report.size(), 239u);
    EXPECT_EQ(report, kTop);
    EXPECT_EQ(kHeader.size(), 113u + 2u);
}

TEST(TextReport, DataLinesAreCutToSevenAndPaddedToTen) {
    TempDir dir;
    MemoryCutRowTable table;
    AddRow(table, {"1", "2", "0.0", "0.0", "0", "0", "", "", "", "", "0.0", "0.0"});
    AddRow(table, {"16777215", "S300", "-12.3", "4.5", "-1", "32767", "ABCDEFGH", "\xE8\xE0", "",
                   "x y", "-3276.8", "0.0"});
    const std::string path = dir.File("report.txt");
    SaveTextReport(table, path);

    // Cells padded to ten, written out so the count of spaces can be read.
    const std::string top =
        "1677721   S300      -12.3     4.5       -1        32767     "
        "ABCDEFG   \xE8\xE0        " +
        std::string(10, ' ') + "x y       -3276.8   0.0\r\n";
    const std::string bottom = "1         2         0.0       0.0       0         0         " +
                               std::string(40, ' ') + "0.0       0.0\r\n";
    EXPECT_EQ(ReadWhole(path), kTop + top + bottom);
}

TEST(TextReport, LoadedListReportsRowsTopFirst) {
    TempDir dir;
    MemoryCutRowTable table;
    CCutEntry entry;
    entry.m_lenPos = 111;
    AddCutRow(table, 1, entry);
    entry.m_lenPos = 222;
    AddCutRow(table, 2, entry);
    const std::string path = dir.File("r.txt");
    SaveTextReport(table, path);
    const std::string report = ReadWhole(path);
    ASSERT_EQ(report.size(), 239u + 2 * (11 * 10 + 3 + 2));
    EXPECT_EQ(report.substr(239, 10), "222       ");
    EXPECT_EQ(report.substr(239 + 115, 10), "111       ");
}

TEST(TextReport, ReplacesAnExistingFileWithoutAsking) {
    TempDir dir;
    const std::string path = dir.File("old.txt");
    {
        std::string big(10000, 'x');
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write(big.data(), big.size());
        file.Close();
    }
    SaveTextReport(MemoryCutRowTable(), path);
    EXPECT_EQ(ReadWhole(path), kTop);
}

TEST(TextReport, TargetInAMissingFolderFailsAsNotFoundWithTheFullPath) {
    TempDir dir;
    const std::string path = dir.File("no-such-folder/report.txt");
    try {
        SaveTextReport(MemoryCutRowTable(), path);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, path);
        EXPECT_EQ(e.GetErrorMessage(), path + " non trovato.");
    }
}

TEST(TextReport, ShortWriteStopsTheExportAndLeavesTheOldReport) {
    TempDir dir;
    MemoryCutRowTable table;
    AddRow(table, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
    const std::string path = dir.WriteText("short.txt", "old");
    // The header line is one write; the next one, the separator line, stores
    // only half of its 122 bytes.
    tresk::file_fault::Reset();
    tresk::file_fault::FailNth(tresk::file_fault::Op::write, 2, 0);
    try {
        SaveTextReport(table, path);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, -1);
        EXPECT_EQ(e.m_strFileName, path);
    }
    tresk::file_fault::Reset();
    EXPECT_EQ(ReadWhole(path), "old");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"short.txt"});
}

}  // namespace
