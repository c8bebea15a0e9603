#include "core/report_pages.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "core/cut_row_table.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "core/windows1252.h"

namespace {

// The header line and the hyphens start every page.
constexpr int kRepeatedLines = 2;
constexpr std::size_t kLineWidth = 120;
// The least space between the footer's left part and its page number.
constexpr std::size_t kFooterGap = 3;

}  // namespace

std::string ReportFileName(const std::string& path) {
#ifdef _WIN32
    return path.substr(path.find_last_of("/\\") + 1);
#else
    return windows1252::FromUtf8(path.substr(path.find_last_of('/') + 1));
#endif
}

CReportPages::CReportPages(const MemoryCutRowTable& table, int linesPerPage, std::string fileName,
                           int format)
    : m_table(table),
      m_bodyLines(std::max(linesPerPage, kMinLinesPerPage) - kRepeatedLines - kFooterLines),
      m_reportLines(kTextReportTopLines +
                    std::clamp(table.GetItemCount(), 0, INT_MAX - kTextReportTopLines)),
      m_fileName(std::move(fileName)),
      m_format(format) {
    // The lines under the titles, one at least (the empty line); counted so
    // that no sum passes the largest int.
    const int body = m_reportLines - kRepeatedLines;
    m_pageCount = 1 + (body - 1) / m_bodyLines;
}

void CReportPages::GetPage(int index, ReportPage& page) const {
    page.lines.resize(kRepeatedLines);
    TextReportLine(m_table, 0, page.lines[0]);
    TextReportLine(m_table, 1, page.lines[1]);
    const int first = kRepeatedLines + index * m_bodyLines;
    const int end = first + std::min(m_bodyLines, m_reportLines - first);
    for (int line = first; line < end; ++line) {
        page.lines.emplace_back();
        TextReportLine(m_table, line, page.lines.back());
    }
    page.footer = Footer(index);
}

std::string CReportPages::Footer(int index) const {
    std::string footer = m_fileName + "   " + ListFormatTitle(m_format);
    const std::string number =
        "Pagina " + std::to_string(index + 1) + " di " + std::to_string(m_pageCount);
    const std::size_t used = footer.size() + number.size();
    footer.append(used + kFooterGap <= kLineWidth ? kLineWidth - used : kFooterGap, ' ');
    return footer + number;
}
