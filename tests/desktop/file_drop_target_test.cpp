#include "framework/wx/file_drop_target.h"

#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>

#include "tests/desktop/wx_test_app.h"

namespace {

// Records the paths that EVT_FILE_DROPPED delivers.
class CDropSink : public wxEvtHandler {
public:
    CDropSink() {
        Bind(EVT_FILE_DROPPED, [this](wxCommandEvent& event) {
            paths.push_back(event.GetString());
            if (fail) {
                throw std::runtime_error("load failed");
            }
        });
    }
    std::vector<wxString> paths;
    bool fail = false;
};

wxArrayString Files(std::initializer_list<const char*> names) {
    wxArrayString files;
    for (const char* name : names) {
        files.Add(name);
    }
    return files;
}

TEST(FileDropTarget, DeliversTheFirstOfSeveralFilesAfterTheDropReturns) {
    CDropSink sink;
    CFileDropTarget target(sink);
    EXPECT_TRUE(target.OnDropFiles(10, 10, Files({"/tmp/lista uno.PRG", "/tmp/lista due.PRG"})));
    // Not handled inside the drop callback: only once the loop runs.
    EXPECT_TRUE(sink.paths.empty());
    ASSERT_TRUE(wxTheApp->HasPendingEvents());
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(sink.paths, (std::vector<wxString>{"/tmp/lista uno.PRG"}));
}

TEST(FileDropTarget, AnEmptyDropIsRefusedAndDeliversNothing) {
    CDropSink sink;
    CFileDropTarget target(sink);
    EXPECT_FALSE(target.OnDropFiles(0, 0, wxArrayString()));
    EXPECT_FALSE(wxTheApp->HasPendingEvents());
    EXPECT_TRUE(sink.paths.empty());
}

TEST(FileDropTarget, AFailureOfTheHandlerReachesTheApplicationsGuard) {
    CDropSink sink;
    sink.fail = true;
    CFileDropTarget target(sink);
    const int before = g_exceptionsInMainLoop;
    ASSERT_TRUE(target.OnDropFiles(0, 0, Files({"/tmp/a.PRG"})));
    // Nothing may escape from the loop's processing of queued calls.
    EXPECT_NO_THROW(wxTheApp->ProcessPendingEvents());
    EXPECT_EQ(g_exceptionsInMainLoop, before + 1);
    // The program goes on: the next drop is delivered as usual.
    sink.fail = false;
    ASSERT_TRUE(target.OnDropFiles(0, 0, Files({"/tmp/b.PRG"})));
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(sink.paths, (std::vector<wxString>{"/tmp/a.PRG", "/tmp/b.PRG"}));
}

}  // namespace
