#include "platform/ui/row_clipboard.h"

#include <memory>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>

#include "core/cut_row_table.h"

std::string FullCellText(const CutRowTable& table, int row, int column) {
    // Cells the reader makes hold at most 8 characters, so the first try
    // almost always fits; a longer text (another table provider) fills the
    // buffer to length - 1 and the buffer is doubled.
    std::vector<char> buffer(32);
    for (;;) {
        const int length = static_cast<int>(buffer.size());
        const int copied = table.GetItemText(row, column, buffer.data(), length);
        if (copied < length - 1) {
            return std::string(buffer.data(), static_cast<std::size_t>(copied));
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

void AppendField(wxString& out, const wxString& text) {
    for (const wxUniChar c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            out += ' ';
        } else {
            out += c;
        }
    }
}

}  // namespace

wxString MakeRowsClipboardText(const std::vector<wxString>& titles, const std::vector<int>& rows,
                               const CellTextSource& cellText) {
    const int columns = static_cast<int>(titles.size());
    wxString out;
    // About 8 characters and a separator per cell.
    out.reserve((rows.size() + 1) * titles.size() * 9);
    for (int column = 0; column < columns; ++column) {
        if (column > 0) {
            out += '\t';
        }
        AppendField(out, titles[static_cast<std::size_t>(column)]);
    }
    out += '\n';
    for (const int row : rows) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0) {
                out += '\t';
            }
            AppendField(out, cellText(row, column));
        }
        out += '\n';
    }
    return out;
}

wxString MakeRowsClipboardText(const std::vector<wxString>& titles, const std::vector<int>& rows,
                               const CutRowTable& table, const CellTextDecoder& decode) {
    return MakeRowsClipboardText(titles, rows, [&](int row, int column) {
        return decode(FullCellText(table, row, column));
    });
}

std::vector<int> SelectedRows(const wxListCtrl& list) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(list.GetSelectedItemCount()));
    long item = -1;
    while ((item = list.GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) != -1) {
        rows.push_back(static_cast<int>(item));
    }
    return rows;
}

void SelectAllRows(wxListCtrl& list) {
    // Item -1 stands for every item; on a virtual list this marks the whole
    // range at once instead of touching each row.
    list.SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

bool PutTextOnClipboard(const wxString& text) {
    wxClipboardLocker lock;
    if (!lock) {
        return false;
    }
    // The clipboard takes ownership of the data object.
    if (!wxTheClipboard->SetData(new wxTextDataObject(text))) {
        return false;
    }
    // On X11 the copied text lives in this program; a clipboard manager, where
    // one runs, takes a copy now so that it is still there after the viewer
    // closes. Without one this returns at once.
    wxTheClipboard->Flush();
    return true;
}

void BindRowCopyKeys(wxListCtrl& list, std::vector<wxString> titles, CellTextSource cellText) {
    auto shared = std::make_shared<std::pair<std::vector<wxString>, CellTextSource>>(
        std::move(titles), std::move(cellText));
    wxListCtrl* const target = &list;
    list.Bind(wxEVT_KEY_DOWN, [target, shared](wxKeyEvent& event) {
        if (event.GetModifiers() == wxMOD_CONTROL) {
            if (event.GetKeyCode() == 'C') {
                const std::vector<int> rows = SelectedRows(*target);
                if (!rows.empty()) {
                    PutTextOnClipboard(MakeRowsClipboardText(shared->first, rows, shared->second));
                }
                return;
            }
            if (event.GetKeyCode() == 'A') {
                SelectAllRows(*target);
                return;
            }
        }
        event.Skip();
    });
}
