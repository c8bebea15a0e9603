// Small helpers shared by the tests: a private temporary folder, files made
// from bytes, files read back whole, the PRG record builder, and the check of
// a failed file operation.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tresk::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path()/name
    std::string File(const std::string& name) const;
    std::filesystem::path operator/(const std::string& name) const { return File(name); }
    // Writes bytes to path()/name and returns the file's path.
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string WriteText(const std::string& name, const std::string& bytes) const;
    // The names in path() (or in its subfolder sub), sorted.
    std::vector<std::string> Entries(const std::string& sub = "") const;

private:
    std::string m_path;
};

std::string ReadWhole(const std::filesystem::path& path);

// Runs action and expects it to throw CFileException with cause, naming
// fullPath, with the whole message given (when not empty).
void ExpectFileError(const std::function<void()>& action, int cause, const std::string& fullPath,
                     const std::string& message = "");

// Builders for the fields of a PRG record, big-endian.
void AppendU24(Bytes& out, std::uint32_t value);
void AppendI16(Bytes& out, int value);
// Exactly eight bytes: text, then zero bytes.
void AppendText8(Bytes& out, const std::string& text);
void Append(Bytes& out, std::initializer_list<std::uint8_t> bytes);

// One whole record (lead byte and body). Blade values are written only when
// withBlades is set (layouts 0 and 1).
struct RecordFields {
    std::uint8_t lead = 0x01;
    std::uint32_t lenPos = 0;
    std::uint32_t second = 0;  // all three bytes, an 'S' mark included
    int sx = 0, dx = 0, pezzi = 0, spessore = 0;
    std::string info[4];
    std::string tail = "abc";
    int lamaSx = 0, lamaDx = 0;
};
void AppendRecord(Bytes& out, const RecordFields& fields, bool withBlades);

}  // namespace tresk::test
