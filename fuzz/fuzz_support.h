// Helpers shared by the fuzz targets: a hard invariant check that aborts (so
// libFuzzer and the replay driver both see a crash) and a matcher for the
// report a table must give. The targets read and write through memory files
// (CMemFile), so no input goes through the file system.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tresk::fuzz {

[[noreturn]] void Fail(const char* file, int line, const char* condition,
                       const std::string& detail);

// Compares a written report with what the text export must write, piece by
// piece as the caller walks its rows, without building the expected text:
// header, 120 hyphens, empty line, then one line per row, top row first, with
// every cell cut to 7 characters and all but the last padded to 10, CR LF line
// ends. Each call is false at the first byte that differs.
class ReportMatcher {
public:
    explicit ReportMatcher(std::string_view report) : m_report(report) {}

    // The header line, the hyphens and the empty line.
    bool Header();
    // The line of one row from the texts of its columns 1 to 12, in full.
    bool Line(std::span<const std::string_view, 12> cells);
    // True when nothing follows the part matched so far.
    bool AtEnd() const { return m_pos == m_report.size(); }
    // Bytes matched so far.
    std::size_t Offset() const { return m_pos; }

private:
    bool Text(const char* text, std::size_t size);

    std::string_view m_report;
    std::size_t m_pos = 0;
};

}  // namespace tresk::fuzz

#define FUZZ_CHECK(condition, detail)                                      \
    do {                                                                   \
        if (!(condition)) {                                                \
            ::tresk::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
        }                                                                  \
    } while (false)
