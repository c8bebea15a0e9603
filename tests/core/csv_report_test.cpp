#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/csv_report.h"

TEST(CsvReport, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const std::string_view fields[] = {
        "plain 1.5",   "a,b", "say \"hi\"", "two\r\nlines", "", "Citt\xE0",
        "\x80,\xE8\"",  // decoded, and quoted all the same
    };
    std::string line;
    for (const std::string_view field : fields) {
        AppendCsvField(line, field);
        line += '|';
    }
    EXPECT_EQ(line,
              "plain 1.5|\"a,b\"|\"say \"\"hi\"\"\"|\"two\r\nlines\"||Citt\xC3\xA0|"
              "\"\xE2\x82\xAC,\xC3\xA8\"\"\"|");
}
