// The list on paper and in Excel from the dialog: Ctrl+P printed through the
// toolkit's print-to-file path, Ctrl+E written as treskdump writes it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <libintl.h>
#include <wx/cmndata.h>
#include <wx/gtk/print.h>

#include "core/prg_reader.h"
#include "core/report_pages.h"
#include "core/text_report.h"
#include "core/windows1252.h"
#include "framework/wx/print_job.h"
#include "gui_test_support.h"
#include "resources/resource.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

namespace {

// A list of records long enough for several printed pages.
std::string LongCutList(int records) {
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        Rec rec;
        rec.lenPos = static_cast<std::uint32_t>(1000 + i);
        rec.pezzi = static_cast<std::int16_t>(i);
        rec.info[0] = i % 2 == 0 ? "PerCi\xF2" : "00015668";
        bytes += Bytes(rec, true);
    }
    return bytes;
}

// A line with each run of spaces made one: pdftotext places the text by its
// position, a space more or less between columns.
std::string Words(std::string line) {
    line.erase(
        std::unique(line.begin(), line.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
        line.end());
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

// The text of a PDF, page by page as pdftotext gives it, in Words.
std::vector<std::vector<std::string>> PdfPages(const std::string& pdf) {
    const std::string text = pdf + ".txt";
    const std::string command = "pdftotext -layout -enc UTF-8 '" + pdf + "' '" + text + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::vector<std::string>> pages(1);
    std::istringstream in(ReadWhole(text));
    for (std::string line; std::getline(in, line);) {
        for (std::size_t feed; (feed = line.find('\f')) != std::string::npos;) {
            pages.emplace_back();
            line.erase(feed, 1);
        }
        if (line = Words(line); !line.empty()) {
            pages.back().push_back(line);
        }
    }
    while (!pages.empty() && pages.back().empty()) {
        pages.pop_back();
    }
    return pages;
}

// Points the print data at GTK's "Print to File" printer writing a PDF at
// path. The printer is named in the user's language (GTK's own translation,
// "Stampa su file" in Italian). The toolkit's print data has no field for the
// file's address, so it is set in GTK's own settings, whose setter is looked
// up at run time (the tests build without GTK's headers).
void PrintToPdf(wxPrintData& data, const std::string& path) {
    data.SetPrinterName(wxString::FromUTF8(dgettext("gtk30", "Print to File")));
    using SetSetting = void (*)(GtkPrintSettings*, const char*, const char*);
    const auto set = reinterpret_cast<SetSetting>(dlsym(RTLD_DEFAULT, "gtk_print_settings_set"));
    ASSERT_NE(set, nullptr);
    GtkPrintSettings* settings =
        static_cast<wxGtkPrintNativeData*>(data.GetNativeData())->GetPrintConfig();
    set(settings, "output-file-format", "pdf");
    set(settings, "output-uri", ("file://" + path).c_str());
}

}  // namespace

TEST(PrintFromDialog, CtrlPPrintsTheReportPagesWithTheirFooters) {
    TempDir dir;
    const std::string prg = dir.WriteText("lista.PRG", LongCutList(150));
    const std::string pdf = dir.File("stampa.pdf");
    auto dlg = OpenMainDialog(prg, kFormatOld);
    Flush();
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 150);
    AfxSetPrintSettingsForTest([&](wxPrintData& data) { PrintToPdf(data, pdf); });
    // The system's print dialog opens with that printer and file chosen; a
    // press of Enter, once it shows, prints.
    AllowRealDialogs(true);
    ASSERT_EQ(std::system("(sleep 3; xdotool key Return) &"), 0);
    PressCtrl(*dlg, 'P');
    AllowRealDialogs(false);
    AfxSetPrintSettingsForTest(nullptr);

    const auto pages = PdfPages(pdf);
    ASSERT_GT(pages.size(), 1u);
    int row = 0;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        std::string header;
        TextReportLine(dlg->m_listCtrl.Rows(), 0, header);
        ASSERT_GE(pages[page].size(), 4u);
        EXPECT_EQ(pages[page][0], Words(header));
        EXPECT_EQ(pages[page][1], std::string(120, '-'));
        for (std::size_t line = 2; line + 1 < pages[page].size(); ++line, ++row) {
            std::string want;
            TextReportLine(dlg->m_listCtrl.Rows(), kTextReportTopLines + row, want);
            EXPECT_EQ(pages[page][line], Words(windows1252::ToUtf8(want))) << "page " << page;
        }
        const std::string footer = pages[page].back();
        EXPECT_EQ(footer.rfind(Words("lista.PRG   " + std::string(ListFormatTitle(kFormatOld))), 0),
                  0u)
            << footer;
        EXPECT_EQ(footer.substr(footer.find("Pagina")),
                  "Pagina " + std::to_string(page + 1) + " di " + std::to_string(pages.size()));
    }
    EXPECT_EQ(row, 150);
}

TEST(ExportFromDialog, CtrlEWritesTheWorkbookTreskdumpWritesAndReportsAFailedWrite) {
    TempDir dir;
    const std::string prg = dir.WriteText("lista.PRG", LongCutList(30));
    auto dlg = OpenMainDialog(prg, kFormatOld);
    Flush();
    ASSERT_EQ(dlg->m_listCtrl.GetItemCount(), 30);
    const std::string xlsx = dir.File("lista.xlsx");
    dir.WriteText("lista.xlsx", std::string(70000, 'x'));  // replaced whole
    ShownFileDialog offered;
    wxTEST_DIALOG(PressCtrl(*dlg, 'E'), ExpectFileDialog(xlsx, wxID_OK, &offered));
    EXPECT_EQ(offered.filename, "lista.PRG.xlsx");
    EXPECT_EQ(offered.wildcard, "Cartella di lavoro Excel (*.xlsx)|*.[xX][lL][sS][xX]");
    EXPECT_NE(offered.style & wxFD_OVERWRITE_PROMPT, 0);

    const std::string expected = dir.File("treskdump.xlsx");
    const std::string command =
        std::string(TRESKDUMP_EXE) + " --layout old --xlsx -o '" + expected + "' '" + prg + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ReadWhole(xlsx), ReadWhole(expected));

    // A folder that does not exist: the file layer's message, the list kept.
    const std::string missing = dir.File("manca") + "/lista.xlsx";
    ShownMessage shown;
    wxTEST_DIALOG(PressCtrl(*dlg, 'E'), ExpectFileDialog(missing), ExpectMessageBox(&shown));
    EXPECT_EQ(shown.text, wxString::FromUTF8((missing + " non trovato.").c_str()));
    EXPECT_EQ(dlg->m_listCtrl.GetItemCount(), 30);
}
