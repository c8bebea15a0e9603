// Runs the tests inside an initialised wxWidgets GUI application, so they can
// make windows and use the clipboard, without running its main loop.
#include <cstdio>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include "tests/desktop/wx_test_app.h"

namespace {

class CTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
    // As the viewer's guard does: the failed command ends, the program goes
    // on. The tests read the count.
    bool OnExceptionInMainLoop() override {
        ++g_exceptionsInMainLoop;
        return true;
    }
};

// A wx assertion would otherwise open a dialog that waits for nobody.
void FailOnWxAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                    const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}

}  // namespace

int g_exceptionsInMainLoop = 0;

wxIMPLEMENT_APP_NO_MAIN(CTestApp);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot start wxWidgets: no X display?\n");
        return 1;
    }
    wxSetAssertHandler(FailOnWxAssert);
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
