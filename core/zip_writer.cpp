#include "core/zip_writer.h"

#include <zlib.h>

#include <new>

#include "platform/file.h"

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kDataDescriptor = 0x08074b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
// Version 2.0: deflate, and sizes after the data (flag bit 3).
constexpr std::uint16_t kVersion = 20;
constexpr std::uint16_t kFlagSizesAfterData = 0x0008;
constexpr std::uint16_t kDeflated = 8;
// Every member's date and time: 1 January 1980, 00:00, the earliest the
// format can say.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (1 << 5) | 1;
// Deflate's fastest level: the package's XML repeats itself so much that it
// still shrinks to a tenth, at several times the speed of the default level.
constexpr int kLevel = Z_BEST_SPEED;
constexpr std::size_t kOutSize = std::size_t{64} * 1024;

class LittleEndian {
public:
    void U16(std::uint16_t value) {
        m_bytes += static_cast<char>(value & 0xFF);
        m_bytes += static_cast<char>(value >> 8);
    }
    void U32(std::uint64_t value) {
        U16(static_cast<std::uint16_t>(value & 0xFFFF));
        U16(static_cast<std::uint16_t>((value >> 16) & 0xFFFF));
    }
    void Text(const std::string& text) { m_bytes += text; }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

}  // namespace

struct CZipWriter::Stream {
    z_stream z{};
    bool started = false;
    unsigned char out[kOutSize];

    ~Stream() {
        if (started) {
            deflateEnd(&z);
        }
    }
};

CZipWriter::CZipWriter(CFile& file) : m_file(file), m_stream(std::make_unique<Stream>()) {}

CZipWriter::~CZipWriter() = default;

void CZipWriter::Put(const void* bytes, std::size_t size) {
    m_file.Write(bytes, size);
    m_offset += size;
}

void CZipWriter::CheckSize(std::uint64_t size) const {
    if (size > kMaxSize) {
        throw CFileException(CFileException::genericException, -1, m_file.GetFilePath());
    }
}

void CZipWriter::BeginEntry(const std::string& name) {
    if (m_open) {
        EndEntry();
    }
    CheckSize(m_offset);
    Entry entry;
    entry.name = name;
    entry.offset = m_offset;
    entry.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    LittleEndian header;
    header.U32(kLocalHeader);
    header.U16(kVersion);
    header.U16(kFlagSizesAfterData);
    header.U16(kDeflated);
    header.U16(kDosTime);
    header.U16(kDosDate);
    header.U32(0);  // checksum and sizes: in the data descriptor
    header.U32(0);
    header.U32(0);
    header.U16(static_cast<std::uint16_t>(name.size()));
    header.U16(0);  // no extra field
    header.Text(name);
    m_entries.push_back(std::move(entry));
    Put(header.Bytes().data(), header.Bytes().size());

    z_stream& z = m_stream->z;
    const int result =
        m_stream->started ? deflateReset(&z)
                          : deflateInit2(&z, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (result != Z_OK) {
        throw std::bad_alloc();
    }
    m_stream->started = true;
    m_open = true;
}

void CZipWriter::Deflate(std::string_view bytes, int flush) {
    z_stream& z = m_stream->z;
    // zlib's lengths are 32-bit: a larger piece goes in slices.
    constexpr std::size_t kSlice = std::size_t{1} << 30;
    do {
        const std::size_t slice = bytes.size() < kSlice ? bytes.size() : kSlice;
        const int mode = slice == bytes.size() ? flush : Z_NO_FLUSH;
        // zlib does not write through next_in; its interface predates const.
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z.avail_in = static_cast<uInt>(slice);
        int result;
        do {
            z.next_out = m_stream->out;
            z.avail_out = static_cast<uInt>(kOutSize);
            result = deflate(&z, mode);
            const std::size_t made = kOutSize - z.avail_out;
            if (made > 0) {
                Put(m_stream->out, made);
                m_entries.back().compressed += made;
            }
        } while (z.avail_out == 0 || (mode == Z_FINISH && result != Z_STREAM_END));
        bytes.remove_prefix(slice);
    } while (!bytes.empty());
}

void CZipWriter::Write(std::string_view bytes) {
    Entry& entry = m_entries.back();
    entry.crc = static_cast<std::uint32_t>(
        crc32_z(entry.crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
    entry.size += bytes.size();
    Deflate(bytes, Z_NO_FLUSH);
}

void CZipWriter::EndEntry() {
    Deflate(std::string_view(), Z_FINISH);
    m_open = false;
    const Entry& entry = m_entries.back();
    CheckSize(entry.size);
    CheckSize(entry.compressed);
    LittleEndian descriptor;
    descriptor.U32(kDataDescriptor);
    descriptor.U32(entry.crc);
    descriptor.U32(entry.compressed);
    descriptor.U32(entry.size);
    Put(descriptor.Bytes().data(), descriptor.Bytes().size());
}

void CZipWriter::Finish() {
    if (m_open) {
        EndEntry();
    }
    CheckSize(m_offset);
    const std::uint64_t directoryAt = m_offset;
    LittleEndian directory;
    for (const Entry& entry : m_entries) {
        directory.U32(kCentralHeader);
        directory.U16(kVersion);  // made by
        directory.U16(kVersion);  // needed
        directory.U16(kFlagSizesAfterData);
        directory.U16(kDeflated);
        directory.U16(kDosTime);
        directory.U16(kDosDate);
        directory.U32(entry.crc);
        directory.U32(entry.compressed);
        directory.U32(entry.size);
        directory.U16(static_cast<std::uint16_t>(entry.name.size()));
        directory.U16(0);  // extra field
        directory.U16(0);  // comment
        directory.U16(0);  // disk
        directory.U16(0);  // internal attributes
        directory.U32(0);  // external attributes
        directory.U32(entry.offset);
        directory.Text(entry.name);
    }
    const std::uint64_t directorySize = directory.Bytes().size();
    directory.U32(kEndOfDirectory);
    directory.U16(0);  // this disk
    directory.U16(0);  // the directory's disk
    directory.U16(static_cast<std::uint16_t>(m_entries.size()));
    directory.U16(static_cast<std::uint16_t>(m_entries.size()));
    directory.U32(directorySize);
    directory.U32(directoryAt);
    directory.U16(0);  // comment
    Put(directory.Bytes().data(), directory.Bytes().size());
}
