#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/cut_row_table.h"
#include "core/pdf_report.h"
#include "core/report_pages.h"
#include "core/text_report.h"
#include "platform/file.h"

namespace {

// A table of n rows whose first cell (L.Display) is the row's number.
void Fill(MemoryCutRowTable& table, int n) {
    for (int i = n; i >= 1; --i) {
        table.InsertItem(0, "0");
        table.SetItemText(0, 1, std::to_string(i).c_str());
    }
}

std::string Line(const MemoryCutRowTable& table, int index) {
    std::string text;
    TextReportLine(table, index, text);
    return text;
}

TEST(ReportPages, EveryPageRepeatsTheTitlesAndCarriesItsFooter) {
    MemoryCutRowTable table;
    Fill(table, 6);
    // Six lines a page: titles, hyphens, three of the report's, the footer.
    // The report's seven lines after the titles fill three pages.
    const CReportPages pages(table, 6, "lista.PRG", 1);
    ASSERT_EQ(pages.GetPageCount(), 3);
    ReportPage page;
    pages.GetPage(0, page);
    EXPECT_EQ(page.lines, (std::vector<std::string>{Line(table, 0), std::string(120, '-'), "",
                                                    Line(table, 3), Line(table, 4)}));
    EXPECT_EQ(page.lines[3].substr(0, 10), "1         ");
    pages.GetPage(2, page);
    EXPECT_EQ(page.lines,
              (std::vector<std::string>{Line(table, 0), Line(table, 1), Line(table, 8)}));
    EXPECT_EQ(page.footer,
              "lista.PRG   Lib / Ori ( <1.7 )" + std::string(77, ' ') + "Pagina 3 di 3");
    EXPECT_EQ(page.footer.size(), 120u);

    // An empty list is one page; too few lines a page still leave one line
    // of the report; a name too long for the line keeps three spaces.
    EXPECT_EQ(CReportPages(MemoryCutRowTable(), 44, "x", 0).GetPageCount(), 1);
    EXPECT_EQ(CReportPages(table, 1, "x", 0).GetPageCount(), 7);
    EXPECT_EQ(CReportPages(table, INT_MAX, "x", 0).GetPageCount(), 1);
    const std::string name(115, 'n');
    EXPECT_EQ(CReportPages(table, 44, name, 2).Footer(0), name + "   Mem   Pagina 1 di 1");
}

TEST(PdfReport, TextIsEscapedAndEveryObjectIsWhereTheTableSays) {
    MemoryCutRowTable table;
    Fill(table, kPdfLinesPerPage);  // two pages
    table.SetItemText(0, 7, "(a)\\\x01\xE8");
    CMemFile file;
    WritePdfReport(table, file, "l.PRG", 0);
    const std::string pdf = file.GetBytes();

    EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(pdf.find("(2" + std::string(9, ' ')), std::string::npos)
        << "a row as its report line";
    EXPECT_NE(pdf.find("\\(a\\)\\\\\\001\xE8"), std::string::npos) << "escapes";
    EXPECT_NE(pdf.find("Pagina 2 di 2) Tj"), std::string::npos);

    // startxref names the table, and every in-use entry the start of its
    // object.
    const std::size_t startxref = pdf.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    const std::size_t xref = std::stoul(pdf.substr(startxref + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    const int objects = std::stoi(pdf.substr(xref + 7));
    EXPECT_EQ(objects, 4 + 2 * 2);
    const std::size_t entries = pdf.find('\n', xref + 5) + 1;
    for (int object = 1; object < objects; ++object) {
        const std::string entry = pdf.substr(entries + 20 * static_cast<std::size_t>(object), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n\r\n") << object;
        const std::string expected = std::to_string(object) + " 0 obj\n";
        EXPECT_EQ(pdf.compare(std::stoul(entry.substr(0, 10)), expected.size(), expected), 0)
            << object;
    }
}

}  // namespace
