// Copying rows of the cut list as tab-separated text, for pasting into a
// spreadsheet, a mail or a text editor.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class wxListCtrl;

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

// Indexes of the selected rows of list, top to bottom.
std::vector<int> SelectedRows(const wxListCtrl& list);

// Selects every row of list.
void SelectAllRows(wxListCtrl& list);

// Replaces the content of the clipboard with text (UTF-8; the clipboard
// keeps it as it is, without a wide copy). False when the clipboard cannot be
// opened (no display, or another program holds it).
bool PutTextOnClipboard(std::string text);

// Gives list the keys of a copyable table: Ctrl+C puts the selected rows on
// the clipboard as MakeRowsClipboardText makes them (nothing happens when no
// row is selected), Ctrl+A selects every row. Other keys go on as before.
// cellBytes must stay valid as long as the list exists.
void BindRowCopyKeys(wxListCtrl& list, std::vector<std::string> titles, CellBytesSource cellBytes);
