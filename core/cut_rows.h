// The thirteen columns of the cut list and the formatting of one record into
// a row of them.
#pragma once

#include "core/cut_entry.h"
#include "core/cut_row_table.h"

inline constexpr int kCutColumnCount = 13;

struct CutColumn {
    const char* title;
    int width;  // pixels at 96 DPI
};

// Titles and widths in display order, column 0 ("Nr.") first.
extern const CutColumn kCutColumns[kCutColumnCount];

// Formats entry into 13 texts and inserts them as a new row at the top of
// table: the row number in column 0, then columns 1 to 12 in ascending order.
void AddCutRow(CutRowTable& table, int rowNumber, const CCutEntry& entry);
