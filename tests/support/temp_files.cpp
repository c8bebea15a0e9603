#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/file.h"

namespace tresk::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tresk-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "/" + name;
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

void ExpectFileError(const std::function<void()>& action, int cause, const std::string& fullPath,
                     const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no CFileException for " << fullPath;
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, cause) << e.GetErrorMessage();
        EXPECT_EQ(e.m_strFileName, fullPath);
        if (!message.empty()) {
            EXPECT_EQ(e.GetErrorMessage(), message);
        }
    }
}

std::string ReadWhole(const std::string& path) {
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
