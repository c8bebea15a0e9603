// Copying rows of the cut list as tab-separated text, for pasting into a
// spreadsheet, a mail or a text editor.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/string.h>

class CutRowTable;
class wxListCtrl;

// The text a cell shows on screen.
using CellTextSource = std::function<wxString(int row, int column)>;
// Turns the bytes of a cell into the text the list shows for them.
using CellTextDecoder = std::function<wxString(const std::string& bytes)>;

// The whole text of a cell of table, however long: GetItemText cuts to the
// buffer it is given, so the buffer grows until the text fits.
std::string FullCellText(const CutRowTable& table, int row, int column);

// The clipboard text for rows (row indexes, in the order given): a line of
// the column titles, then one line per row with one field per title, fields
// separated by a tab and every line ended by LF. A tab, CR or LF inside a cell
// becomes a space, so that every row stays one line with the same number of
// fields whatever bytes the file carried.
wxString MakeRowsClipboardText(const std::vector<wxString>& titles, const std::vector<int>& rows,
                               const CellTextSource& cellText);

// The same for the cells of a CutRowTable, each decoded by decode.
wxString MakeRowsClipboardText(const std::vector<wxString>& titles, const std::vector<int>& rows,
                               const CutRowTable& table, const CellTextDecoder& decode);

// Indexes of the selected rows of list, top to bottom.
std::vector<int> SelectedRows(const wxListCtrl& list);

// Selects every row of list.
void SelectAllRows(wxListCtrl& list);

// Replaces the content of the clipboard with text. False when the clipboard
// cannot be opened (no display, or another program holds it).
bool PutTextOnClipboard(const wxString& text);

// Gives list the keys of a copyable table: Ctrl+C puts the selected rows on
// the clipboard as MakeRowsClipboardText makes them (nothing happens when no
// row is selected), Ctrl+A selects every row. Other keys go on as before.
// cellText must stay valid as long as the list exists.
void BindRowCopyKeys(wxListCtrl& list, std::vector<wxString> titles, CellTextSource cellText);
