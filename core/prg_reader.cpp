#include "core/prg_reader.h"

#include <cstring>

#include "core/cut_entry.h"
#include "core/cut_rows.h"
#include "platform/file.h"

namespace {

// The header of layouts 0 and 2, read and ignored.
constexpr std::size_t kHeaderBytes = 3;
constexpr std::size_t kTextBytes = 8;
constexpr std::size_t kTailBytes = 3;
constexpr std::int32_t kSMark = 0x53;  // 'S' in the top byte of the second value

// A text field is read in one read. Bytes the file no longer delivers stay
// zero, so a record cut short shows its text up to the last byte delivered and
// nothing of the record before it.
void ReadText(CFile& file, char* field, std::size_t size) {
    std::memset(field, 0, size + 1);
    file.Read(field, size);
    field[size] = '\0';
}

double Tenths(std::int16_t value) {
    return value * 0.1;
}

// Reads one record body into entry, in file order.
void ReadBody(CFile& file, int format, CCutEntry& entry) {
    ReadU24BE(file, entry.m_lenPos);

    std::int32_t second = 0;
    ReadU24BE(file, second);
    entry.m_bS = false;
    if (((second >> 16) & 0xFF) == kSMark) {
        entry.m_bS = true;
        second &= 0xFFFF;
    }
    entry.m_spessLen = second;

    std::int16_t value = 0;
    ReadI16BE(file, value);
    entry.m_sx = Tenths(value);
    ReadI16BE(file, value);
    entry.m_dx = Tenths(value);
    ReadI16BE(file, entry.m_pezzi);
    ReadI16BE(file, entry.m_spessore);

    for (auto& info : entry.m_info) {
        ReadText(file, info, kTextBytes);
    }
    ReadText(file, entry.m_tail, kTailBytes);

    entry.m_lamaSx = 0.0;
    entry.m_lamaDx = 0.0;
    if (format != kFormatMem) {
        ReadI16BE(file, value);
        entry.m_lamaSx = Tenths(value);
        ReadI16BE(file, value);
        entry.m_lamaDx = Tenths(value);
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

int ReadU24BE(CFile& file, std::int32_t& out) {
    out = 0;
    unsigned char byte = 0;
    for (int i = 0; i < 3; ++i) {
        if (file.Read(&byte, 1) != 1) {
            return i + 1;
        }
        out |= static_cast<std::int32_t>(byte) << (16 - 8 * i);
    }
    return 4;
}

void ReadI16BE(CFile& file, std::int16_t& out) {
    out = 0;
    unsigned char high = 0;
    if (file.Read(&high, 1) != 1) {
        return;
    }
    unsigned char low = 0;
    file.Read(&low, 1);
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

bool LoadCutListChecked(const std::string& path, int format, CutRowTable& table,
                        CFileException* openError) {
    table.DeleteAllItems();

    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary, openError)) {
        return false;
    }

    CCutEntry entry;
    if (format == kFormatNew || format == kFormatMem) {
        unsigned char header[kHeaderBytes];
        file.Read(header, sizeof header);
    }

    if (ReadLead(file, entry)) {
        int rowNumber = 1;
        // A lead byte from 1 to 127 introduces a record; 0 or a byte with the
        // top bit set ends the list.
        while (entry.m_lead >= 1) {
            ReadBody(file, format, entry);
            AddCutRow(table, rowNumber, entry);
            if (!ReadLead(file, entry)) {
                break;
            }
            ++rowNumber;
        }
    }

    file.Close();
    return true;
}

void LoadCutList(const std::string& path, int format, CutRowTable& table) {
    LoadCutListChecked(path, format, table, nullptr);
}
