// Printing on the Win32 back end, as far as it goes without a printer: the
// pages drawn on an enhanced metafile of the screen (what the system records
// is what a printer's device context would receive), and the print dialog
// where the system has no printer.
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/cut_row_table.h"
#include "core/report_pages.h"
#include "core/text_report.h"
#include "core/windows1252.h"
#include "framework/print_job.h"
#include "framework/win32/ansi_text.h"
#include "framework/win32/print_job.h"
#include "framework/win32/win_defs.h"

namespace {

// One text the page's drawing put down: where, and the advance of each
// character.
struct DrawnText {
    std::wstring text;
    int y = 0;
    std::vector<int> advances;
};

struct Recording {
    std::vector<DrawnText> texts;
    std::vector<LOGFONTW> fonts;
};

int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    Recording& out = *reinterpret_cast<Recording*>(data);
    const auto* bytes = reinterpret_cast<const BYTE*>(record);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto& text = *reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(bytes + text.emrtext.offString);
        const auto* dx = reinterpret_cast<const INT*>(bytes + text.emrtext.offDx);
        DrawnText drawn{std::wstring(chars, text.emrtext.nChars), text.emrtext.ptlReference.y, {}};
        if (text.emrtext.offDx != 0) {
            drawn.advances.assign(dx, dx + text.emrtext.nChars);
        }
        out.texts.push_back(drawn);
    } else if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
        out.fonts.push_back(
            reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont);
    }
    return 1;
}

// What DrawPage records of page on a metafile whose reference is dc.
Recording DrawOnMetafile(HDC dc, const CPageTextLayout& layout, const ReportPage& page) {
    const HDC metafile = CreateEnhMetaFileW(dc, nullptr, nullptr, nullptr);
    layout.DrawPage(metafile, page);
    const HENHMETAFILE drawn = CloseEnhMetaFile(metafile);
    Recording recording;
    EnumEnhMetaFile(nullptr, drawn, Record, &recording, nullptr);
    DeleteEnhMetaFile(drawn);
    return recording;
}

std::wstring Shown(const std::string& bytes) {
    return AfxWideText(windows1252::ToUtf8(bytes));
}

TEST(Win32Print, EveryPageCarriesTheTitlesItsRowsAndItsFooterInAFontThatFillsTheLine) {
    const HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    const CPageTextLayout layout(screen, 120);
    const int linesPerPage = layout.LinesPerPage();
    ASSERT_GE(linesPerPage, CReportPages::kMinLinesPerPage);

    // Rows for two pages and a bit of a third; one with a byte that
    // Windows-1252 and the ANSI code page may read differently.
    MemoryCutRowTable table;
    const int rows = 2 * linesPerPage;
    for (int i = rows; i >= 1; --i) {
        table.InsertItem(0, "0");
        table.SetItemText(0, 1, std::to_string(i).c_str());
    }
    table.SetItemText(1, 7, "Per\xF2");
    const CReportPages pages(table, linesPerPage, "lista.PRG", 1);
    ASSERT_EQ(pages.GetPageCount(), 3);

    std::string line;
    std::vector<std::wstring> reportLines;  // those after the titles, as printed
    ReportPage page;
    for (int index = 0; index < pages.GetPageCount(); ++index) {
        SCOPED_TRACE("page " + std::to_string(index + 1));
        pages.GetPage(index, page);
        const Recording drawn = DrawOnMetafile(screen, layout, page);
        ASSERT_GE(drawn.texts.size(), 3u);
        TextReportLine(table, 0, line);
        EXPECT_EQ(drawn.texts[0].text, Shown(line));
        EXPECT_EQ(drawn.texts[1].text, std::wstring(120, L'-'));
        const DrawnText& footer = drawn.texts.back();
        EXPECT_EQ(footer.text, Shown(page.footer));
        const std::wstring number = L"Pagina " + std::to_wstring(index + 1) + L" di 3";
        EXPECT_EQ(footer.text.substr(footer.text.size() - number.size()), number);
        for (std::size_t i = 2; i + 1 < drawn.texts.size(); ++i) {
            reportLines.push_back(drawn.texts[i].text);
        }

        // One line under the other from the top, the footer on the last
        // line the page holds.
        const int lineHeight = drawn.texts[1].y - drawn.texts[0].y;
        EXPECT_GT(lineHeight, 0);
        EXPECT_EQ(drawn.texts[0].y, 0);
        const std::size_t last = drawn.texts.size() - 2;
        EXPECT_EQ(drawn.texts[last].y, static_cast<int>(last) * lineHeight);
        EXPECT_LE(footer.y + lineHeight, height);
        EXPECT_GT(footer.y + 2 * lineHeight, height);

        // A monospaced font whose 120 hyphens fill the width.
        ASSERT_EQ(drawn.fonts.size(), 1u);
        EXPECT_EQ(drawn.fonts[0].lfPitchAndFamily & 3, FIXED_PITCH);
        EXPECT_STREQ(drawn.fonts[0].lfFaceName, L"Courier New");
        const std::vector<int>& advances = drawn.texts[1].advances;
        ASSERT_EQ(advances.size(), 120u);
        int lineWidth = 0;
        for (const int advance : advances) {
            EXPECT_EQ(advance, advances[0]);
            lineWidth += advance;
        }
        EXPECT_LE(lineWidth, width);
        EXPECT_GT((advances[0] + 1) * 120, width) << "a larger font fits";
    }

    // The report's lines after the titles, each on one page, in order.
    ASSERT_EQ(reportLines.size(), static_cast<std::size_t>(rows + 1));
    for (std::size_t i = 0; i < reportLines.size(); ++i) {
        TextReportLine(table, static_cast<int>(i) + 2, line);
        EXPECT_EQ(reportLines[i], Shown(line)) << "report line " << i + 2;
    }
    EXPECT_NE(reportLines[2].find(L"Per\u00F2"), std::wstring::npos);
    ReleaseDC(nullptr, screen);
}

class COneLinePages final : public CPrintSource {
public:
    int Paginate(int) override { return 1; }
    void GetPage(int, ReportPage& page) override { page = ReportPage{{"riga"}, "piede"}; }
};

BOOL CALLBACK CancelShown(HWND hwnd, LPARAM shown) {
    if (IsWindowVisible(hwnd)) {
        *reinterpret_cast<bool*>(shown) = true;
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

TEST(Win32Print, WithoutAPrinterTheJobFailsWithTheReasonBeforeAnyDialog) {
    PRINTDLGW probe{};
    probe.lStructSize = sizeof(probe);
    probe.Flags = PD_RETURNDEFAULT;
    if (PrintDlgW(&probe)) {
        GlobalFree(probe.hDevMode);
        GlobalFree(probe.hDevNames);
        GTEST_SKIP() << "this system has a printer";
    }
    // A dialog that opens all the same is cancelled after a while, so that
    // the test fails instead of waiting for a user.
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD thread = GetCurrentThreadId();
    bool shown = false;
    std::thread watchdog([&] {
        while (WaitForSingleObject(done, 5000) == WAIT_TIMEOUT) {
            EnumThreadWindows(thread, CancelShown, reinterpret_cast<LPARAM>(&shown));
        }
    });
    COneLinePages source;
    const PrintResult result = AfxPrintPages(nullptr, "prova", source, 120);
    SetEvent(done);
    watchdog.join();
    CloseHandle(done);
    EXPECT_FALSE(shown) << "a window opened";
    EXPECT_EQ(result.outcome, PrintResult::failed);
    EXPECT_EQ(result.reason, "nessuna stampante installata");
}

}  // namespace
