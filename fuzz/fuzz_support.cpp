#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>

#include "platform/file.h"

namespace tresk::fuzz {
namespace {

// Removes the scratch files when the process ends normally.
class ScratchFiles {
public:
    ScratchFiles() {
        std::error_code ec;
        const std::filesystem::path shm("/dev/shm");
        m_dir =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::random_device random;
        m_stem = "tresk-fuzz-" + std::to_string(random()) + "-" + std::to_string(random());
    }
    ~ScratchFiles() {
        for (const auto& [suffix, path] : m_paths) {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    }
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

    const std::string& Path(const char* suffix) {
        auto found = m_paths.find(suffix);
        if (found == m_paths.end()) {
            found = m_paths.emplace(suffix, (m_dir / (m_stem + suffix)).string()).first;
        }
        return found->second;
    }

private:
    std::filesystem::path m_dir;
    std::string m_stem;
    std::map<std::string, std::string> m_paths;
};

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

const std::string& ScratchPath(const char* suffix) {
    static ScratchFiles files;
    return files.Path(suffix);
}

void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    CFile file;
    CFileException error;
    const unsigned flags = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary;
    FUZZ_CHECK(file.Open(path, flags, &error),
               "cannot create " + path + ": " + error.GetErrorMessage());
    if (size > 0) {
        file.Write(data, size);
    }
    file.Close();
}

std::string ReadWholeFile(const std::string& path) {
    CFile file;
    CFileException error;
    FUZZ_CHECK(file.Open(path, CFile::modeRead | CFile::typeBinary, &error),
               "cannot open " + path + ": " + error.GetErrorMessage());
    std::string content;
    char chunk[65536];
    for (;;) {
        const std::size_t got = file.Read(chunk, sizeof chunk);
        if (got == 0) {
            break;
        }
        content.append(chunk, got);
    }
    file.Close();
    return content;
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
