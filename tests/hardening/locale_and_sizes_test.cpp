// Number formatting under an Italian locale, and the smallest hostile inputs
// (empty and one-byte files) in every layout. The 200 MB inputs are in
// hostile_sizes_test.cpp, run by scripts/ci-50-hostile.sh.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "tests/hardening/hardening_support.h"

namespace tresk::test {
namespace {

// Switches LC_NUMERIC (and LC_ALL) to an Italian locale for the scope, if one
// is installed, and back.
class ItalianNumbers {
public:
    ItalianNumbers() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        m_saved = current != nullptr ? current : "C";
        for (const char* name : {"it_IT.UTF-8", "it_IT.utf8", "it_IT"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                m_active = true;
                break;
            }
        }
    }
    ~ItalianNumbers() { std::setlocale(LC_ALL, m_saved.c_str()); }
    ItalianNumbers(const ItalianNumbers&) = delete;
    ItalianNumbers& operator=(const ItalianNumbers&) = delete;

    bool active() const { return m_active; }

private:
    std::string m_saved;
    bool m_active = false;
};

TEST(Locale, TenthsKeepThePointUnderItalianNumbers) {
    const ItalianNumbers italian;
    if (!italian.active()) {
        // The locale stage generates the locale and insists on this test.
        ASSERT_EQ(std::getenv("TRESK_REQUIRE_IT_LOCALE"), nullptr) << "no it_IT locale";
        GTEST_SKIP() << "no it_IT locale installed (scripts/ci-30-locale.sh generates one)";
    }
    // The locale really is in force: the C library now writes a comma.
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 4.5);
    ASSERT_STREQ(probe, "4,5");

    const TempDir dir;
    const std::string path = dir.Write("lista.PRG", MultiRecordCutList(kFormatNew));
    MemoryCutRowTable table;
    LoadCutList(path, kFormatNew, table);
    ASSERT_EQ(table.GetItemCount(), kMultiRecordRows);
    const int first = kMultiRecordRows - 1;  // the first record is the bottom row
    EXPECT_EQ(table.GetCellText(first, 3), "-12.3");
    EXPECT_EQ(table.GetCellText(first, 4), "4.5");
    EXPECT_EQ(table.GetCellText(first, 11), "3.0");
    EXPECT_EQ(table.GetCellText(first, 12), "-3.0");
    EXPECT_EQ(table.GetCellText(first - 2, 3), "3276.7");
    EXPECT_EQ(table.GetCellText(first - 2, 4), "-3276.8");

    const std::string report = dir.File("rapporto.txt");
    SaveTextReport(table, report);
    const std::string text = ReadWhole(report);
    EXPECT_NE(text.find("-12.3     4.5"), std::string::npos);
    EXPECT_EQ(text.find(','), std::string::npos);
}

TEST(HostileSizes, EmptyAndOneByteFilesInEveryLayout) {
    const TempDir dir;
    const std::string empty = dir.Write("vuoto.PRG", Bytes{});
    for (const int format : {kFormatNew, kFormatOld, kFormatMem}) {
        SCOPED_TRACE("layout " + std::to_string(format));
        MemoryCutRowTable table;
        table.InsertItem(0, "stale");
        LoadCutList(empty, format, table);
        EXPECT_EQ(table.GetItemCount(), 0);

        for (const int byte : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(byte));
            const std::string one = dir.Write("uno.PRG", Bytes{static_cast<std::uint8_t>(byte)});
            LoadCutList(one, format, table);
            // In layouts 0 and 2 the byte is part of the header; in layout 1 a
            // lead byte from 1 to 127 starts a record whose fields are missing.
            const bool record = format == kFormatOld && byte >= 0x01 && byte <= 0x7F;
            ASSERT_EQ(table.GetItemCount(), record ? 1 : 0);
            if (record) {
                const char* const want[13] = {"1", "0", "0", "0.0", "0.0", "0",  "0",
                                              "",  "",  "",  "",    "0.0", "0.0"};
                for (int column = 0; column < 13; ++column) {
                    EXPECT_EQ(table.GetCellText(0, column), want[column]) << "column " << column;
                }
            }
            const std::string report = dir.File("rapporto.txt");
            SaveTextReport(table, report);
            EXPECT_EQ(ReadWhole(report).size(), record ? 239U + 115U : 239U);
        }
    }
}

}  // namespace
}  // namespace tresk::test
