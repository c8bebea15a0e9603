// Small helpers shared by the tests: a private temporary folder, files made
// from bytes, and files read back whole.
#pragma once

#include <cstdint>
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
    // Writes bytes to path()/name and returns the file's path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::string m_path;
};

std::string ReadWhole(const std::string& path);

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
