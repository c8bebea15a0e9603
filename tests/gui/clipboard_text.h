// The clipboard read back, for the tests of the row copy: the dialog tests
// (through gui_test_support.h) and the toolkit-level ones, which make no
// dialog.
#pragma once

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/string.h>

namespace guitest {

// The clipboard's text ("" when it holds none).
inline wxString ClipboardText() {
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) {
        return {};
    }
    wxTextDataObject data;
    wxTheClipboard->GetData(data);
    return data.GetText();
}

}  // namespace guitest
