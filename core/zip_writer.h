// A zip archive written from start to end into a file, its members deflated
// with zlib: what an Office document's package needs, no more. Nothing is
// sought back, so the file may be a pipe: each member's checksum and sizes
// follow its data. Every member carries the same fixed date, so the same
// content always gives the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CFile;

class CZipWriter {
public:
    // Writes into file, which the caller has opened and closes.
    explicit CZipWriter(CFile& file);
    ~CZipWriter();
    CZipWriter(const CZipWriter&) = delete;
    CZipWriter& operator=(const CZipWriter&) = delete;

    // Starts a member named name (ASCII, '/' between folders), ending the one
    // before if it is still open.
    void BeginEntry(const std::string& name);
    // Adds bytes to the open member.
    void Write(std::string_view bytes);
    // Ends the open member, then writes the archive's directory. Nothing may
    // be written after it.
    void Finish();

    // The most bytes a member, or the archive before its directory, may
    // take; beyond it a CFileException (generic cause) naming the file ends
    // the writing. Zip's own limit, 4 GiB less one byte.
    static constexpr std::uint64_t kMaxSize = 0xFFFFFFFFu;

private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
    };

    void EndEntry();
    void Deflate(std::string_view bytes, int flush);
    void Put(const void* bytes, std::size_t size);
    void CheckSize(std::uint64_t size) const;

    struct Stream;
    CFile& m_file;
    std::unique_ptr<Stream> m_stream;
    std::vector<Entry> m_entries;
    bool m_open = false;
    std::uint64_t m_offset = 0;
};
