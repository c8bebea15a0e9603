#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

// AddressSanitizer keeps freed memory out of use for a while to catch late
// uses; its default 256 MB means every allocation of a run lands on fresh pages,
// and page faults then cost more than the decoding. Every allocation of one
// input is still held back far longer than the input runs.
extern "C" const char* __asan_default_options() {  // NOLINT(bugprone-reserved-identifier)
    return "quarantine_size_mb=16";
}

namespace tresk::fuzz {
namespace {

void AppendCell(std::string& line, const std::string& text, bool padded) {
    line += text;
    if (padded && text.size() < 10) {
        line.append(10 - text.size(), ' ');
    }
}

}  // namespace

void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n%s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

std::string ExpectedReport(const std::vector<ReportCells>& rows) {
    static const char* const kTitles[12] = {"Lung/Dist", "Spes/Lung", "TSX",   "TDX",
                                            "N_Pezzi",   "Spess",     "Info1", "Info2/BC",
                                            "Info3/BC",  "Info4",     "BSX",   "BDX"};
    std::string report;
    for (int column = 0; column < 12; ++column) {
        AppendCell(report, kTitles[column], column < 11);
    }
    report += "\r\n";
    report.append(120, '-');
    report += "\r\n\r\n";
    for (const ReportCells& row : rows) {
        for (std::size_t column = 0; column < 12; ++column) {
            AppendCell(report, row[column].substr(0, 7), column < 11);
        }
        report += "\r\n";
    }
    return report;
}

}  // namespace tresk::fuzz
