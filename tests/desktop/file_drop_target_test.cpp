#include "platform/ui/file_drop_target.h"

#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>

namespace {

// Records the paths that EVT_FILE_DROPPED delivers.
class CDropSink : public wxEvtHandler {
public:
    CDropSink() {
        Bind(EVT_FILE_DROPPED,
             [this](wxCommandEvent& event) { paths.push_back(event.GetString()); });
    }
    std::vector<wxString> paths;
};

TEST(FileDropTarget, DeliversTheFirstOfSeveralFilesAfterTheDropReturns) {
    CDropSink sink;
    CFileDropTarget target(sink);
    wxArrayString files;
    files.Add("/tmp/lista uno.PRG");
    files.Add("/tmp/lista due.PRG");
    EXPECT_TRUE(target.OnDropFiles(10, 10, files));
    // Queued, not handled inside the drop callback.
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
}

}  // namespace
