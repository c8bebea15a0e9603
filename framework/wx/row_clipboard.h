// Copying rows of the cut list as tab-separated text, for pasting into a
// spreadsheet, a mail or a text editor.
#pragma once

#include <string>
#include <vector>

#include "framework/row_copy_text.h"

class wxListCtrl;

// Indexes of the selected rows of list, top to bottom.
std::vector<int> SelectedRows(const wxListCtrl& list);

// Selects every row of list.
void SelectAllRows(wxListCtrl& list);

// Replaces the content of the clipboard with text (UTF-8; the clipboard
// keeps it as it is, without a wide copy). False when the clipboard cannot be
// opened (no display, or another program holds it). Throws std::bad_alloc,
// leaving the clipboard as it was, when memory could not hold the copies a
// paste of the text makes.
bool PutTextOnClipboard(std::string text);

// Gives list the keys of a copyable table: Ctrl+C puts the selected rows on
// the clipboard as MakeRowsClipboardText makes them (nothing happens when no
// row is selected), Ctrl+A selects every row. Other keys go on as before.
// cellBytes must stay valid as long as the list exists.
void BindRowCopyKeys(wxListCtrl& list, std::vector<std::string> titles, CellBytesSource cellBytes);
