#include "core/prg_reader.h"

#include <cstring>
#include <new>

#include "core/cut_entry.h"
#include "core/cut_rows.h"
#include "platform/file.h"

namespace {

constexpr std::size_t kTextBytes = 8;
constexpr std::size_t kTailBytes = 3;
constexpr std::int32_t kSMark = 0x53;  // 'S' in the top byte of the second value

// The longest record body, with the blade values.
constexpr std::size_t kBodyBytes = 53;
static_assert(kPrgLayouts[kFormatNew].recordBytes - 1 == kBodyBytes);
constexpr std::size_t kInfoOffset = 14;
constexpr std::size_t kTailOffset = 46;
constexpr std::size_t kBladeOffset = 49;

double Tenths(std::int16_t value) {
    return value * 0.1;
}

std::int32_t U24At(const unsigned char* bytes) {
    return static_cast<std::int32_t>((std::uint32_t{bytes[0]} << 16) |
                                     (std::uint32_t{bytes[1]} << 8) | bytes[2]);
}

std::int16_t I16At(const unsigned char* bytes) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]));
}

// Reads one record body into entry in one read. Bytes the file no longer
// delivers count as zero, so a record cut short by the end of the file shows
// its missing numbers as zero and its texts up to the last byte delivered,
// and nothing of the record before it.
void ReadBody(CFile& file, const PrgLayout& layout, CCutEntry& entry) {
    unsigned char body[kBodyBytes] = {};
    file.Read(body, layout.recordBytes - 1);

    entry.m_lenPos = U24At(body);
    std::int32_t second = U24At(body + 3);
    entry.m_bS = false;
    if (((second >> 16) & 0xFF) == kSMark) {
        entry.m_bS = true;
        second &= 0xFFFF;
    }
    entry.m_spessLen = second;
    entry.m_sx = Tenths(I16At(body + 6));
    entry.m_dx = Tenths(I16At(body + 8));
    entry.m_pezzi = I16At(body + 10);
    entry.m_spessore = I16At(body + 12);
    for (std::size_t i = 0; i < 4; ++i) {
        std::memcpy(entry.m_info[i], body + kInfoOffset + i * kTextBytes, kTextBytes);
        entry.m_info[i][kTextBytes] = '\0';
    }
    std::memcpy(entry.m_tail, body + kTailOffset, kTailBytes);
    entry.m_tail[kTailBytes] = '\0';

    entry.m_lamaSx = 0.0;
    entry.m_lamaDx = 0.0;
    if (layout.hasBlades) {
        entry.m_lamaSx = Tenths(I16At(body + kBladeOffset));
        entry.m_lamaDx = Tenths(I16At(body + kBladeOffset + 2));
    }
}

// Reads the next lead byte; false at the end of the file.
bool ReadLead(CFile& file, CCutEntry& entry) {
    unsigned char byte = 0;
    if (file.Read(&byte, 1) != 1) {
        return false;
    }
    entry.m_lead = static_cast<std::int8_t>(byte);
    return true;
}

}  // namespace

int ParseListFormat(std::string_view name) {
    for (int format = 0; format < kListFormatCount; ++format) {
        if (name == kPrgLayouts[format].name ||
            (name.size() == 1 && name[0] == static_cast<char>('0' + format))) {
            return format;
        }
    }
    return -1;
}

const char* ListFormatTitle(int format) {
    return format >= 0 && format < kListFormatCount ? kPrgLayouts[format].title : "";
}

int ReadU24BE(CFile& file, std::int32_t& out) {
    unsigned char bytes[3] = {};
    int result = 4;
    for (int i = 0; i < 3 && result == 4; ++i) {
        if (file.Read(bytes + i, 1) != 1) {
            result = i + 1;
        }
    }
    out = U24At(bytes);
    return result;
}

void ReadI16BE(CFile& file, std::int16_t& out) {
    unsigned char bytes[2] = {};
    if (file.Read(bytes, 1) == 1) {
        file.Read(bytes + 1, 1);
    }
    out = I16At(bytes);
}

void ReadCutList(CFile& file, int format, CutRowTable& table) {
    table.DeleteAllItems();
    try {
        CCutEntry entry;
        const PrgLayout& layout = LayoutOf(format);
        if (layout.headerBytes > 0) {
            unsigned char header[3];
            file.Read(header, layout.headerBytes);
        }

        if (ReadLead(file, entry)) {
            int rowNumber = 1;
            // A lead byte from 1 to 127 introduces a record; 0 or a byte with
            // the top bit set ends the list.
            while (entry.m_lead >= 1) {
                ReadBody(file, layout, entry);
                AddCutRow(table, rowNumber, entry);
                if (!ReadLead(file, entry)) {
                    break;
                }
                ++rowNumber;
            }
        }
    } catch (const std::bad_alloc&) {
        // A list that could not be read whole is of no use, and its rows hold
        // the memory every later command needs: give it back before the
        // message is shown.
        table.ReleaseMemory();
        throw;
    } catch (const CMemoryException&) {
        table.ReleaseMemory();
        throw;
    }
}

bool LoadCutListChecked(const std::string& path, int format, CutRowTable& table,
                        CFileException* openError) {
    table.DeleteAllItems();

    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary, openError)) {
        return false;
    }
    ReadCutList(file, format, table);
    file.Close();
    return true;
}

void LoadCutList(const std::string& path, int format, CutRowTable& table) {
    LoadCutListChecked(path, format, table, nullptr);
}
