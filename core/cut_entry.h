// One decoded record of a cut list, already in the units in which it is shown.
#pragma once

#include <cstdint>

class CCutEntry {
public:
    CCutEntry() = default;
    virtual ~CCutEntry() = default;
    CCutEntry(const CCutEntry&) = default;
    CCutEntry& operator=(const CCutEntry&) = default;

    // Set by the reader for every record before use: true when the second
    // value carried the 'S' mark (then m_spessLen is below 65536).
    bool m_bS = false;
    // The lead byte that introduced the current record.
    std::int8_t m_lead = -1;
    // 24-bit values, 0 to 16777215.
    std::int32_t m_lenPos = 0;
    std::int32_t m_spessLen = 0;
    // Signed 16-bit tenths from the file, times 0.1.
    double m_sx = 0.0;
    double m_dx = 0.0;
    double m_lamaSx = 0.0;
    double m_lamaDx = 0.0;
    std::int16_t m_pezzi = 0;
    std::int16_t m_spessore = 0;
    // Raw bytes of the file, each field 8 bytes and a terminating zero; a zero
    // byte inside a field ends its text early.
    char m_info[4][9] = {};
    // The 3-byte field after the texts: read, never shown or exported.
    char m_tail[4] = {};
};
