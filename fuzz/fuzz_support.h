// Helpers shared by the fuzz targets: a hard invariant check that aborts (so
// libFuzzer and the replay driver both see a crash), scratch files on a RAM
// file system, and whole-file reads and writes through the file layer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tresk::fuzz {

[[noreturn]] void Fail(const char* file, int line, const char* condition,
                       const std::string& detail);

// A path in /dev/shm (or the temporary directory when there is none), unique
// to this process, removed when the process ends.
const std::string& ScratchPath(const char* suffix);

// Replaces the file's content with size bytes of data (through CFile).
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// The file's whole content (through CFile).
std::string ReadWholeFile(const std::string& path);

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
