// The text report laid out on pages, for printing and for the PDF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class MemoryCutRowTable;

// One printed page: lines[0] and lines[1] are the report's header line and
// its 120 hyphens, repeated at the top of every page; the report's remaining
// lines (the empty line, then one line per row) follow in order, as many as
// the page holds. The footer ends the page. Texts are the report's bytes
// (Windows-1252), without line ends.
struct ReportPage {
    std::vector<std::string> lines;
    std::string footer;
};

// The name a report's footer gives the cut list at path: its last
// component, as Windows-1252 bytes. Paths come in the system's encoding:
// UTF-8 on Linux, the ANSI code page (taken as Windows-1252, the one of the
// PCs that write cut lists) on Windows.
std::string ReportFileName(const std::string& path);

// The pagination of the report of a table. The page count is fixed when it
// is made, from the table's rows at that time; the lines are made when a page
// is asked for, so a long list never sits in memory twice.
class CReportPages {
public:
    // Lines that a page holds besides the report's lines: the footer.
    static constexpr int kFooterLines = 1;
    // The fewest lines per page that still leave room for one line of the
    // report under the repeated header and hyphens; fewer count as this.
    static constexpr int kMinLinesPerPage = 4;

    // linesPerPage counts every line of a page, header and footer included.
    // fileName (Windows-1252 bytes) and the layout (a ListFormat value) go
    // into every footer.
    CReportPages(const MemoryCutRowTable& table, int linesPerPage, std::string fileName,
                 int format);

    int GetPageCount() const { return m_pageCount; }
    // Fills page with the lines of page number index (from 0).
    void GetPage(int index, ReportPage& page) const;
    // The footer of page number index: the file's name and the layout's
    // title at the left, "Pagina n di m" ending at the 120th column (further
    // right when the name is too long to leave room).
    std::string Footer(int index) const;

private:
    const MemoryCutRowTable& m_table;
    int m_bodyLines;  // the report's lines after its first two, per page
    int m_reportLines;
    int m_pageCount;
    std::string m_fileName;
    int m_format;
};
