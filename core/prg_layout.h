// The three layouts of a PRG cut list, written once for the reader, the
// layout check and the converter. The file carries no sign of its layout: the
// user states it.
#pragma once

#include <cstddef>

enum ListFormat : int {
    kFormatNew = 0,  // "Lib / Ori ( >=1.7 )": 3-byte header, blade values
    kFormatOld = 1,  // "Lib / Ori ( <1.7 )": no header, blade values
    kFormatMem = 2,  // "Mem": 3-byte header, no blade values
};

inline constexpr int kListFormatCount = 3;

struct PrgLayout {
    const char* name;         // as the command lines name it
    const char* title;        // as the dialog offers it, and the printed pages name it
    std::size_t headerBytes;  // read and ignored
    std::size_t recordBytes;  // the lead byte and the body
    bool hasBlades;           // the body ends with the two blade values
};

// Indexed by ListFormat. A record is a lead byte and a body of 49 bytes,
// followed by two 2-byte blade values where the layout has them.
inline constexpr PrgLayout kPrgLayouts[kListFormatCount] = {
    {"new", "Lib / Ori ( >=1.7 )", 3, 54, true},
    {"old", "Lib / Ori ( <1.7 )", 0, 54, true},
    {"mem", "Mem", 3, 50, false},
};

// The layout of a ListFormat value. Any other value (-1 from a radio group
// with none checked, say) reads as the headerless layout with blade values.
constexpr const PrgLayout& LayoutOf(int format) {
    return kPrgLayouts[format == kFormatNew || format == kFormatMem ? format : kFormatOld];
}
