// The text that copying rows of the cut list puts on the clipboard, for
// pasting into a spreadsheet, a mail or a text editor. Built here once for
// every back end; each back end only puts it on its clipboard.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The bytes of a cell as the file carried them (Windows-1252), valid until
// the next call.
using CellBytesSource = std::function<std::string_view(int row, int column)>;

// The clipboard text for rows (row indexes, in the order given), in UTF-8: a
// line of the column titles, then one line per row with one field per title,
// fields separated by a tab and every line ended by LF. Cells are decoded as
// the list shows them (core/windows1252.h). A tab, CR or LF inside a cell
// becomes a space, so that every row stays one line with the same number of
// fields whatever bytes the file carried. The text is sized before it is
// built, so a copy of a million rows takes its memory once.
std::string MakeRowsClipboardText(const std::vector<std::string>& titles,
                                  const std::vector<int>& rows, const CellBytesSource& cellBytes);
