#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/file.h"

namespace tresk::test {

// Made with the standard library alone, so the Windows build uses it too:
// creating a folder is atomic, so a name another process took is never shared.
TempDir::TempDir() {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path();
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("tresk-test-" + std::to_string(seed()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
            m_path = fs::path(candidate).make_preferred().string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(const std::string& name) const {
    // In the system's own form ("\\" on Windows), the form the file layer
    // reports full paths in.
    return (std::filesystem::path(m_path) / name).make_preferred().string();
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    std::string path = File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string TempDir::WriteText(const std::string& name, const std::string& bytes) const {
    return Write(name, Bytes(bytes.begin(), bytes.end()));
}

std::vector<std::string> TempDir::Entries(const std::string& sub) const {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(sub.empty() ? m_path : File(sub))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The message is given in UTF-8, as the sources hold it.
void ExpectFileError(const std::function<void()>& action, int cause, const std::string& fullPath,
                     const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no CFileException for " << fullPath;
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, cause) << e.GetErrorMessage();
        EXPECT_EQ(e.m_strFileName, fullPath);
        if (!message.empty()) {
            EXPECT_EQ(e.GetErrorMessage(), SystemText(message));
        }
    }
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AppendU24(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void AppendI16(Bytes& out, int value) {
    const auto bits = static_cast<std::uint16_t>(value);
    out.push_back(static_cast<std::uint8_t>(bits >> 8));
    out.push_back(static_cast<std::uint8_t>(bits));
}

void AppendText8(Bytes& out, const std::string& text) {
    for (std::size_t i = 0; i < 8; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

void Append(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void AppendRecord(Bytes& out, const RecordFields& f, bool withBlades) {
    out.push_back(f.lead);
    AppendU24(out, f.lenPos);
    AppendU24(out, f.second);
    AppendI16(out, f.sx);
    AppendI16(out, f.dx);
    AppendI16(out, f.pezzi);
    AppendI16(out, f.spessore);
    for (const auto& info : f.info) {
        AppendText8(out, info);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        out.push_back(i < f.tail.size() ? static_cast<std::uint8_t>(f.tail[i]) : 0);
    }
    if (withBlades) {
        AppendI16(out, f.lamaSx);
        AppendI16(out, f.lamaDx);
    }
}

}  // namespace tresk::test
