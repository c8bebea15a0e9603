// Shared helpers of the dialog tests: the main dialog made as the program
// makes it, clicks and keystrokes delivered through the real event path (and
// so through the application's exception guard), PRG fixtures, temporary
// files, and test doubles for the modal file dialogs and message boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include "framework/wx/dialog.h"
#include "framework/wx/list_ctrl.h"
#include "tests/gui/clipboard_text.h"
#include "tests/support/temp_files.h"

class CCutListDlg;
class wxTextCtrl;
class wxWindow;

// Lets a test show a real modal dialog (which it then closes itself); by
// default a modal dialog that no wxTEST_DIALOG expects fails the test.
void AllowRealDialogs(bool allow);

namespace guitest {

// The main dialog, built from its template and initialised, shown without a
// modal loop so that the test drives it, and made the application's main
// window (message boxes and the About box open over it). A startFile is
// opened as the command line opens it, in layout startFormat.
std::unique_ptr<CCutListDlg> OpenMainDialog(const std::string& startFile = {}, int startFormat = 0);

// The toolkit's window of a dialog (it must have been created).
CDialogWindow& Wnd(const CDialog& dlg);
// The control with this dialog identifier.
wxWindow* Item(const CDialog& dlg, int id);

// A click on the button with this dialog identifier.
void Click(CCutListDlg& dlg, int id);
// Checks the radio button with this identifier the way a click does.
void CheckRadio(CCutListDlg& dlg, int id);
// One keystroke typed at the end of the path field: one change notification.
void TypeIntoPath(CCutListDlg& dlg, const wxString& text);
// Runs pending events and repaints.
void Flush();
// Ctrl+<key> as the dialog and then its list receive it from the keyboard, through the
// toolkit's event guard: an exception its handler throws reaches the
// application's guard, as it does for a real key press.
void PressCtrl(CCutListDlg& dlg, int key);

// The 13 cell texts of a list row, 8-bit as stored.
std::vector<std::string> Row(const CCutListDlg& dlg, int row);

// One record of a PRG file: the lead byte and the body, with the two blade
// values only when blades is true (formats 0 and 1).
struct Rec {
    std::uint8_t lead = 1;
    std::uint32_t lenPos = 0;
    std::uint8_t spessLen[3] = {0, 0, 0};
    std::int16_t sx = 0, dx = 0, pezzi = 0, spessore = 0;
    std::string info[4] = {"", "", "", ""};  // padded with zero bytes to 8
    std::string tail = "   ";
    std::int16_t lamaSx = 0, lamaDx = 0;
};
std::string Bytes(const Rec& rec, bool blades);

// The tests' shared temporary folder and file reader.
using tresk::test::ReadWhole;
using tresk::test::TempDir;

// What a message box showed.
struct ShownMessage {
    wxString text;
    wxString caption;
    long style = 0;
    wxString yesLabel, noLabel;
};

// Records a message box and answers it with answer (wxID_YES, wxID_NO, ...).
class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(ShownMessage* shown, int answer = wxID_OK)
        : m_shown(shown), m_answer(answer) {}

protected:
    int OnInvoked(wxMessageDialog* dlg) const override;

private:
    ShownMessage* m_shown;
    int m_answer;
};

// What a file dialog was opened with.
struct ShownFileDialog {
    wxString wildcard;
    wxString filename;
    long style = 0;
    wxWindow* parent = nullptr;
};

// Answers a file dialog with path (wxID_OK) or cancels it (wxID_CANCEL).
class ExpectFileDialog : public wxExpectModalBase<wxFileDialog, ExpectFileDialog> {
public:
    ExpectFileDialog(const std::string& path, int id = wxID_OK, ShownFileDialog* shown = nullptr)
        : m_path(wxString::FromUTF8(path.c_str())), m_id(id), m_shown(shown) {}

protected:
    int OnInvoked(wxFileDialog* dlg) const override;

private:
    wxString m_path;
    int m_id;
    ShownFileDialog* m_shown;
};

}  // namespace guitest
