#include <gtest/gtest.h>

#include <string>

#include "core/csv_report.h"

TEST(CsvReport, FieldsAreQuotedOnlyWhenTheyMustBe) {
    std::string line;
    AppendCsvField(line, "plain 1.5");
    line += '|';
    AppendCsvField(line, "a,b");
    line += '|';
    AppendCsvField(line, "say \"hi\"");
    line += '|';
    AppendCsvField(line, "two\r\nlines");
    line += '|';
    AppendCsvField(line, "");
    line += '|';
    AppendCsvField(line, "Citt\xE0");
    line += '|';
    AppendCsvField(line, "\x80,\xE8\"");  // decoded, and quoted all the same
    EXPECT_EQ(line,
              "plain 1.5|\"a,b\"|\"say \"\"hi\"\"\"|\"two\r\nlines\"||Citt\xC3\xA0|"
              "\"\xE2\x82\xAC,\xC3\xA8\"\"\"");
}
