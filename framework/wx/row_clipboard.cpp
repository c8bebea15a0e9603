#include "framework/wx/row_clipboard.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>

namespace {

// A clipboard object that hands the toolkit the UTF-8 text it was given, as
// the plain text object does after converting its wide string.
class CUtf8TextDataObject final : public wxTextDataObject {
public:
    explicit CUtf8TextDataObject(std::string text) : m_utf8(std::move(text)) {}

    size_t GetDataSize(const wxDataFormat&) const override { return m_utf8.size(); }
    bool GetDataHere(const wxDataFormat&, void* buffer) const override {
        if (buffer == nullptr) {
            return false;
        }
        std::memcpy(buffer, m_utf8.data(), m_utf8.size());
        return true;
    }
    size_t GetTextLength() const override { return m_utf8.size() + 1; }
    wxString GetText() const override { return wxString::FromUTF8(m_utf8.data(), m_utf8.size()); }

private:
    std::string m_utf8;
};

// Serving a paste copies the text twice more in this program: into the
// toolkit's buffer, then into GTK's selection data, whose allocator ends the
// process when it fails. A text that could not be copied twice now is
// refused now, as memory exhausted, instead of ending the viewer when another
// program pastes it (or a clipboard manager takes it, at once).
// The room is asked for through a volatile pointer, so the compiler cannot
// drop an allocation that is released unused.
void* (*volatile const g_allocate)(std::size_t) = std::malloc;

void EnsureRoomToServe(std::size_t size) {
    void* const room = g_allocate(2 * size + 1);
    if (room == nullptr) {
        throw std::bad_alloc();
    }
    std::free(room);
}

}  // namespace

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

bool PutTextOnClipboard(std::string text) {
    EnsureRoomToServe(text.size());
    wxClipboardLocker lock;
    if (!lock) {
        return false;
    }
    // The clipboard takes ownership of the data object.
    if (!wxTheClipboard->SetData(new CUtf8TextDataObject(std::move(text)))) {
        return false;
    }
    // On X11 the copied text lives in this program; a clipboard manager, where
    // one runs, takes a copy now so that it is still there after the viewer
    // closes. Without one this returns at once.
    wxTheClipboard->Flush();
    return true;
}

void BindRowCopyKeys(wxListCtrl& list, std::vector<std::string> titles, CellBytesSource cellBytes) {
    auto shared = std::make_shared<std::pair<std::vector<std::string>, CellBytesSource>>(
        std::move(titles), std::move(cellBytes));
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
