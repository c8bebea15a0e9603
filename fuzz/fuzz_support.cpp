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

void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n%s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

namespace {

// The first three lines of every report, made once.
std::string MakeHeader() {
    static constexpr std::string_view kTitles[12] = {"Lung/Dist", "Spes/Lung", "TSX",   "TDX",
                                                     "N_Pezzi",   "Spess",     "Info1", "Info2/BC",
                                                     "Info3/BC",  "Info4",     "BSX",   "BDX"};
    std::string header;
    for (std::size_t column = 0; column < 12; ++column) {
        header += kTitles[column];
        if (column < 11) {
            header.append(10 - kTitles[column].size(), ' ');
        }
    }
    header += "\r\n";
    header.append(120, '-');
    header += "\r\n\r\n";
    return header;
}

constexpr char kPadding[] = "          ";  // a cell's 10 places

}  // namespace

bool ReportMatcher::Text(const char* text, std::size_t size) {
    if (m_report.size() - m_pos < size) {
        return false;
    }
    // A plain loop: the texts are a few bytes long, and the sanitizer's
    // wrapper around memcmp cost more than the comparison.
    const char* at = m_report.data() + m_pos;
    for (std::size_t i = 0; i < size; ++i) {
        if (at[i] != text[i]) {
            return false;
        }
    }
    m_pos += size;
    return true;
}

bool ReportMatcher::Header() {
    static const std::string header = MakeHeader();
    return Text(header.data(), header.size());
}

bool ReportMatcher::Line(std::span<const std::string_view, 12> cells) {
    for (std::size_t column = 0; column < 12; ++column) {
        const std::size_t shown = cells[column].size() < 7 ? cells[column].size() : 7;
        if (!Text(cells[column].data(), shown) || (column < 11 && !Text(kPadding, 10 - shown))) {
            return false;
        }
    }
    return Text("\r\n", 2);
}

}  // namespace tresk::fuzz
