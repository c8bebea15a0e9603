#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/cut_entry.h"
#include "core/cut_rows.h"
#include "tests/support/five_operations.h"

namespace {

using tresk::test::CFiveOperations;

std::string Cell(const MemoryCutRowTable& table, int row, int column) {
    return table.GetCellText(row, column);
}

TEST(CutEntry, FreshEntryHoldsZerosEmptyTextsAndLeadMinusOne) {
    const CCutEntry entry;
    EXPECT_EQ(entry.m_lead, -1);
    EXPECT_EQ(entry.m_lenPos, 0);
    EXPECT_EQ(entry.m_spessLen, 0);
    EXPECT_EQ(entry.m_sx, 0.0);
    EXPECT_EQ(entry.m_dx, 0.0);
    EXPECT_EQ(entry.m_lamaSx, 0.0);
    EXPECT_EQ(entry.m_lamaDx, 0.0);
    EXPECT_EQ(entry.m_pezzi, 0);
    EXPECT_EQ(entry.m_spessore, 0);
    for (const auto& info : entry.m_info) {
        EXPECT_STREQ(info, "");
    }
    EXPECT_STREQ(entry.m_tail, "");
}

TEST(CutColumns, TitlesAndWidthsInDisplayOrder) {
    std::string titles;
    std::vector<int> widths;
    for (const CutColumn& column : kCutColumns) {
        titles += column.title;
        titles += '|';
        widths.push_back(column.width);
    }
    EXPECT_EQ(titles,
              "Nr.|L.Display/Qt.Posiz|S_spess/L.Display|Sx|Dx|Pezzi|Spessore|Info1|"
              "Info2/BarCode|Info3/BarCode|Info4|LamaSX|LamaDX|");
    EXPECT_EQ(widths, (std::vector<int>{20, 80, 80, 50, 50, 50, 50, 80, 80, 80, 80, 50, 50}));
}

TEST(AddCutRow, FormatsEveryColumn) {
    CCutEntry entry;
    entry.m_lenPos = 16777215;
    entry.m_bS = true;
    entry.m_spessLen = 300;
    entry.m_sx = -123 * 0.1;
    entry.m_dx = 45 * 0.1;
    entry.m_pezzi = -1;
    entry.m_spessore = 32767;
    std::snprintf(entry.m_info[0], 9, "%s", "ABCDEFGH");
    entry.m_info[1][0] = '\0';
    std::snprintf(entry.m_info[2], 9, "%s", "x");
    std::snprintf(entry.m_info[3], 9, "%s", "\xE8\xE0");
    entry.m_lamaSx = 0.0;
    entry.m_lamaDx = -32768 * 0.1;

    MemoryCutRowTable table;
    AddCutRow(table, 7, entry);

    const char* expected[13] = {"7",        "16777215", "S300",     "-12.3", "4.5",
                                "-1",       "32767",    "ABCDEFGH", "",      "x",
                                "\xE8\xE0", "0.0",      "-3276.8"};
    ASSERT_EQ(table.GetItemCount(), 1);
    for (int column = 0; column < 13; ++column) {
        EXPECT_EQ(Cell(table, 0, column), expected[column]) << "column " << column;
    }

    entry.m_bS = false;
    AddCutRow(table, 8, entry);
    EXPECT_EQ(Cell(table, 0, 2), "300");
    EXPECT_EQ(Cell(table, 1, 2), "S300");
}

TEST(AddCutRow, TenthsReadLikePrintfInTheCLocale) {
    // Every value an int16 of tenths can take, and a few that are not whole
    // tenths, must read exactly as "%.1f" prints them, and never show a
    // neighbouring tenth.
    MemoryCutRowTable table;
    CCutEntry entry;
    std::vector<double> values;
    for (int k = -32768; k <= 32767; ++k) {
        values.push_back(k * 0.1);
    }
    for (double odd : {0.05, -0.05, 0.25, 1e10, -1e-300, 3299.95, -3299.96, 1.0 / 3.0}) {
        values.push_back(odd);
    }
    for (double value : values) {
        entry.m_sx = value;
        AddCutRow(table, 1, entry);
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.1f", value);
        ASSERT_EQ(Cell(table, 0, 3), expected) << value;
        table.DeleteAllItems();
    }
    entry.m_sx = -123 * 0.1;
    AddCutRow(table, 1, entry);
    EXPECT_EQ(Cell(table, 0, 3), "-12.3");
}

TEST(AddCutRow, RowsGoInAtTheTop) {
    MemoryCutRowTable table;
    const CCutEntry entry;
    for (int n = 1; n <= 3; ++n) {
        AddCutRow(table, n, entry);
    }
    ASSERT_EQ(table.GetItemCount(), 3);
    EXPECT_EQ(Cell(table, 0, 0), "3");
    EXPECT_EQ(Cell(table, 1, 0), "2");
    EXPECT_EQ(Cell(table, 2, 0), "1");
}

TEST(AddCutRow, AnyProviderGetsTheSameRowAndARefusedInsertChangesNoRow) {
    CCutEntry entry;
    entry.m_lenPos = 42;
    entry.m_bS = true;
    entry.m_spessLen = 7;
    entry.m_lamaDx = -0.5;
    std::snprintf(entry.m_info[1], 9, "%s", "AB");
    MemoryCutRowTable store;
    MemoryCutRowTable behind;
    CFiveOperations five(behind);
    AddCutRow(store, 3, entry);
    AddCutRow(five, 3, entry);
    for (int column = 0; column < 13; ++column) {
        EXPECT_EQ(Cell(behind, 0, column), Cell(store, 0, column)) << "column " << column;
    }
    five.RefuseInserts();
    entry.m_lenPos = 99;
    AddCutRow(five, 4, entry);
    EXPECT_EQ(five.GetItemCount(), 1);
    EXPECT_EQ(Cell(behind, 0, 0), "3");
    EXPECT_EQ(Cell(behind, 0, 1), "42");
}

TEST(MemoryCutRowTable, GetItemTextCopiesAtMostLengthMinusOne) {
    MemoryCutRowTable table;
    ASSERT_EQ(table.InsertItem(0, "12345678"), 0);
    char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(table.GetItemText(0, 0, buffer, 8), 7);
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_EQ(table.GetItemText(0, 0, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    // A cell never set is empty; a cell outside the table reads as empty.
    EXPECT_EQ(table.GetItemText(0, 5, buffer, 8), 0);
    EXPECT_EQ(table.GetItemText(3, 0, buffer, 8), 0);
    EXPECT_EQ(table.GetItemText(0, 13, buffer, 8), 0);
    EXPECT_FALSE(table.SetItemText(1, 0, "a"));
    EXPECT_FALSE(table.SetItemText(0, -1, "a"));
}

TEST(MemoryCutRowTable, KeepsTextsOfAnyLengthWhereverTheyChange) {
    MemoryCutRowTable table;
    table.InsertItem(0, "123456789012");
    table.SetItemText(0, 12, "a long cell text");
    table.InsertItem(0, "short");
    EXPECT_EQ(Cell(table, 1, 0), "123456789012");
    EXPECT_EQ(Cell(table, 1, 12), "a long cell text");
    EXPECT_EQ(Cell(table, 0, 0), "short");
    table.SetItemText(1, 12, "now short");
    table.SetItemText(1, 12, "tiny");
    EXPECT_EQ(Cell(table, 1, 12), "tiny");
    // A cell left of one already set, and a text of several hundred bytes.
    const std::string big(300, 'x');
    table.SetItemText(1, 3, big.c_str());
    table.SetItemText(0, 5, "mid");
    EXPECT_EQ(table.GetCellView(1, 3), big);
    EXPECT_EQ(Cell(table, 1, 12), "tiny");
    EXPECT_EQ(Cell(table, 0, 5), "mid");
    table.DeleteAllItems();
    EXPECT_EQ(table.GetItemCount(), 0);
    EXPECT_EQ(table.GetCellView(0, 0), "");
}

TEST(MemoryCutRowTable, InsertsInsideAndPastTheEndLikeTheListView) {
    MemoryCutRowTable table;
    EXPECT_EQ(table.InsertItem(0, "b"), 0);
    EXPECT_EQ(table.InsertItem(0, "a"), 0);
    EXPECT_EQ(table.InsertItem(7, "end"), 2);  // past the end: appended
    EXPECT_EQ(table.InsertItem(1, "mid"), 1);
    EXPECT_EQ(table.InsertItem(-1, "no"), -1);
    ASSERT_EQ(table.GetItemCount(), 4);
    EXPECT_EQ(Cell(table, 0, 0), "a");
    EXPECT_EQ(Cell(table, 1, 0), "mid");
    EXPECT_EQ(Cell(table, 2, 0), "b");
    EXPECT_EQ(Cell(table, 3, 0), "end");
}

TEST(MemoryCutRowTable, RewritingOldRowsKeepsEveryTextAndBoundsTheMemory) {
    MemoryCutRowTable table;
    constexpr int kRows = 5000;
    for (int i = 0; i < kRows; ++i) {
        table.InsertItem(0, std::to_string(i).c_str());
        table.SetItemText(0, 7, "ABCDEFGH");
    }
    const std::size_t built = table.MemoryUsed();
    // Every row rewritten many times over leaves its old blocks behind; they
    // are reclaimed, so the table stays within a few times its live size.
    for (int pass = 0; pass < 60; ++pass) {
        for (int row = 0; row < kRows; ++row) {
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
            // "p" + std::string when it inlines it.
            std::string text = "p";
            text += std::to_string(pass) + "-" + std::to_string(row);
            table.SetItemText(row, 1, text.c_str());
        }
    }
    EXPECT_LT(table.MemoryUsed(), built + (std::size_t{3} << 20));
    for (int row = 0; row < kRows; row += 997) {
        EXPECT_EQ(Cell(table, row, 0), std::to_string(kRows - 1 - row));
        EXPECT_EQ(Cell(table, row, 1), "p59-" + std::to_string(row));
        EXPECT_EQ(Cell(table, row, 7), "ABCDEFGH");
    }
}

// Rows made the way a load makes them: one at the top per call, the cells
// from column 0 on.
void AddRow(MemoryCutRowTable& table, const std::vector<std::string>& cells) {
    table.InsertItem(0, cells[0].c_str());
    for (std::size_t column = 1; column < cells.size(); ++column) {
        table.SetItemText(0, static_cast<int>(column), cells[column].c_str());
    }
}

TEST(MemoryCutRowTable, FindsTextIgnoringCaseGoingDownAndWrapping) {
    MemoryCutRowTable table;
    AddRow(table, {"5", "AB", "CD", "a cell of twenty chars"});
    AddRow(table, {"4", "pannello"});
    AddRow(table, {"3", "80012345"});
    AddRow(table, {"2", "Caff\xC8", "\x8A\x8C\x8E\x9F", "\xD7"});  // CaffÈ, ŠŒŽŸ, ×
    AddRow(table, {"1", "", "", "", "", "", "", "PANNELLO"});
    EXPECT_EQ(table.FindRow("Pannello", -1), 0);
    EXPECT_EQ(table.FindRow("Pannello", 0), 3);
    EXPECT_EQ(table.FindRow("Pannello", 3), 0);  // past the last row, on from the top
    EXPECT_EQ(table.FindRow("pANNELLO", 4), 0);
    // Windows-1252 letters: è finds È, šœžÿ find ŠŒŽŸ; × has no small letter.
    EXPECT_EQ(table.FindRow("caff\xE8", 2), 1);
    EXPECT_EQ(table.FindRow("\x9A\x9C\x9E\xFF", -1), 1);
    EXPECT_EQ(table.FindRow("\xF7", -1), -1);
    // The row after which the search starts is the last one it tries.
    EXPECT_EQ(table.FindRow("0012", 2), 2);
    EXPECT_EQ(table.FindRow("TWENTY", 4), 4);
    // A text across two cells is in neither; nothing, and the empty text,
    // is found nowhere.
    EXPECT_EQ(table.FindRow("BC", -1), -1);
    EXPECT_EQ(table.FindRow("assente", 1), -1);
    EXPECT_EQ(table.FindRow("", 1), -1);
    EXPECT_EQ(MemoryCutRowTable().FindRow("a", -1), -1);
}

}  // namespace
