// Helpers shared by the fuzz targets: a hard invariant check that aborts (so
// libFuzzer and the replay driver both see a crash) and the report a table
// must give. The targets read and write through memory files (CMemFile), so
// no input goes through the file system.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tresk::fuzz {

[[noreturn]] void Fail(const char* file, int line, const char* condition,
                       const std::string& detail);

// The texts of columns 1 to 12 of one row, in full.
using ReportCells = std::array<std::string, 12>;

// The report the text export must write for these rows, top row first:
// header, 120 hyphens, empty line, then one line per row with every cell cut
// to 7 characters and all but the last padded to 10, CR LF line ends.
std::string ExpectedReport(const std::vector<ReportCells>& rows);

}  // namespace tresk::fuzz

#define FUZZ_CHECK(condition, detail)                                      \
    do {                                                                   \
        if (!(condition)) {                                                \
            ::tresk::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
        }                                                                  \
    } while (false)
