// The viewer's figures, on an X display: a cut list loaded into the dialog's
// list control and painted, a reload with every row loaded (what each
// keystroke in the path field runs), the list's memory per row, and the peak
// that a Ctrl+C of every row adds, against the size of the copied text.
// Prints one "name value" line per figure for scripts/run-bench.sh.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "bench/proc_status.h"
#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "framework/list_ctrl.h"
#include "framework/wx/list_ctrl.h"
#include "framework/wx/row_clipboard.h"

namespace {

class CBenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Lets the list learn its row count and paint what it shows.
void Show(CListView& view) {
    wxTheApp->ProcessPendingEvents();
    view.Update();
}

// CPU seconds of a load into list, painted.
double TimedLoad(const std::string& path, CListCtrl& list, CListView& view) {
    const double start = CpuSeconds();
    LoadCutList(path, kFormatNew, list);
    Show(view);
    return CpuSeconds() - start;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CBenchApp);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: treskviewbench FILE.PRG (layout 0)\n");
        return 2;
    }
    const std::string path = argv[1];
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "treskviewbench: cannot start wxWidgets: no X display?\n");
        return 1;
    }
    auto* frame =
        new wxFrame(nullptr, wxID_ANY, "treskviewbench", wxDefaultPosition, wxSize(1000, 700));
    auto* view = new CListView(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, true, false);
    {
        CListCtrl list;
        list.Attach(view);
        for (int column = 0; column < kCutColumnCount; ++column) {
            list.InsertColumn(column, kCutColumns[column].title, LVCFMT_LEFT,
                              kCutColumns[column].width);
        }
        frame->Show();
        Show(*view);

        const double rssBefore = StatusKb("VmRSS");
        const double load = TimedLoad(path, list, *view);
        const double rssAfter = StatusKb("VmRSS");
        const int rows = list.GetItemCount();
        std::printf("rows %d\n", rows);
        std::printf("load_cpu_s %.3f\n", load);
        std::printf("list_bytes_per_row %.1f\n", (rssAfter - rssBefore) * 1024.0 / rows);
        std::printf("store_bytes_per_row %.1f\n",
                    static_cast<double>(list.Rows().MemoryUsed()) / rows);

        double reload = 0.0;
        constexpr int kReloads = 3;
        for (int i = 0; i < kReloads; ++i) {
            reload += TimedLoad(path, list, *view);
        }
        std::printf("reload_cpu_s %.3f\n", reload / kReloads);

        // Ctrl+C of every row, as the dialog's key handler runs it.
        SelectAllRows(*view);
        std::ofstream("/proc/self/clear_refs") << "5";  // peak := now
        const double peakBefore = StatusKb("VmHWM");
        const double copyStart = CpuSeconds();
        const std::vector<int> selected = SelectedRows(*view);
        std::vector<std::string> titles;
        for (const CutColumn& column : kCutColumns) {
            titles.emplace_back(column.title);
        }
        std::string text = MakeRowsClipboardText(titles, selected, [&list](int row, int column) {
            return list.GetCellView(row, column);
        });
        const std::size_t textBytes = text.size();
        const double peakBuilt = StatusKb("VmHWM");
        const bool copied = PutTextOnClipboard(std::move(text));
        std::printf("copy_cpu_s %.3f\n", CpuSeconds() - copyStart);
        std::printf("copy_ok %d\n", copied ? 1 : 0);
        std::printf("copy_text_bytes %zu\n", textBytes);
        std::printf("copy_built_peak_growth_bytes %.0f\n", (peakBuilt - peakBefore) * 1024.0);
        std::printf("copy_peak_growth_bytes %.0f\n", (StatusKb("VmHWM") - peakBefore) * 1024.0);
    }
    frame->Destroy();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
