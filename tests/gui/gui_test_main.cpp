// Runs the dialog tests inside a wx application that has the viewer's own
// exception guard, on the X display the test runner provides (xvfb-run).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include "framework/win_app.h"
#include "framework/wx/win_app.h"
#include "resources/resources.h"

namespace {

class TestApp final : public CWinApp {
public:
    TestApp() : CWinApp("TreskViewer") {}
    bool InitInstance() override { return true; }
};

// A modal dialog that no wxTEST_DIALOG expects would wait for a user who
// never comes: fail the test and dismiss it instead.
class UnexpectedDialogHook final : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        if (allowRealDialogs) {
            return wxID_NONE;
        }
        ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_str() << "\"";
        return wxID_CANCEL;
    }
    void Exit(wxDialog* /*dialog*/) override {}

public:
    bool allowRealDialogs = false;
};

void FailOnWxAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}

}  // namespace

UnexpectedDialogHook* g_unexpectedDialogs = nullptr;

// Lets a test show a real modal dialog (and close it itself).
void AllowRealDialogs(bool allow) {
    g_unexpectedDialogs->allowRealDialogs = allow;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestApp app;
    AfxSetResources(&TreskViewerResources());
    if (!AfxWinInit(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (is there an X display?)\n");
        return 1;
    }
    wxSetAssertHandler(FailOnWxAssert);
    wxTheApp->CallOnInit();
    UnexpectedDialogHook unexpected;
    g_unexpectedDialogs = &unexpected;
    unexpected.Register();
    const int result = RUN_ALL_TESTS();
    unexpected.Unregister();
    wxTheApp->OnExit();
    AfxWinTerm();
    return result;
}
