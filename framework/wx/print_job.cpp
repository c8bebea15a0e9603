#include "framework/print_job.h"

#include <wx/dc.h>
#include <wx/log.h>
#include <wx/print.h>

#include <algorithm>
#include <utility>

#include "framework/wx/ansi_text.h"
#include "framework/wx/dialog.h"
#include "framework/wx/print_job.h"

namespace {

std::function<void(wxPrintData&)>& PrintSettingsForTest() {
    static std::function<void(wxPrintData&)> settings;
    return settings;
}

// The pages of a CPrintSource on the printer's page: the font is chosen once
// the page is known, then the source is laid out for as many lines as fit.
class CTextPrintout final : public wxPrintout {
public:
    CTextPrintout(const wxString& title, CPrintSource& source, int columns)
        : wxPrintout(title), m_source(source), m_columns(std::max(columns, 1)) {}

    void OnPreparePrinting() override {
        wxDC& dc = *GetDC();
        const wxRect area = GetLogicalPageRect();
        ChooseFont(dc, area.GetWidth());
        m_lineHeight = std::max(dc.GetCharHeight(), 1);
        m_linesPerPage = std::max(area.GetHeight() / m_lineHeight, 1);
        m_pageCount = m_source.Paginate(m_linesPerPage);
    }
    void GetPageInfo(int* minPage, int* maxPage, int* fromPage, int* toPage) override {
        *minPage = 1;
        *maxPage = m_pageCount;
        *fromPage = 1;
        *toPage = m_pageCount;
    }
    bool HasPage(int page) override { return page >= 1 && page <= m_pageCount; }
    bool OnPrintPage(int page) override {
        wxDC& dc = *GetDC();
        const wxRect area = GetLogicalPageRect();
        dc.SetFont(m_font);
        dc.SetTextForeground(*wxBLACK);
        m_source.GetPage(page - 1, m_page);
        int y = area.GetTop();
        for (const std::string& line : m_page.lines) {
            dc.DrawText(DecodeWindows1252(line), area.GetLeft(), y);
            y += m_lineHeight;
        }
        const int footerY = area.GetTop() + (m_linesPerPage - 1) * m_lineHeight;
        dc.DrawText(DecodeWindows1252(m_page.footer), area.GetLeft(), footerY);
        return true;
    }

private:
    // The largest monospaced font whose line of m_columns characters fits
    // width: measured at one size, scaled, then made smaller while too wide.
    void ChooseFont(wxDC& dc, int width) {
        const wxString line(wxS('M'), static_cast<std::size_t>(m_columns));
        int height = 1000;
        m_font = wxFont(wxFontInfo(wxSize(0, height)).Family(wxFONTFAMILY_TELETYPE));
        dc.SetFont(m_font);
        const int measured = std::max(dc.GetTextExtent(line).GetWidth(), 1);
        height = std::max(static_cast<int>(static_cast<long long>(height) * width / measured), 1);
        for (;;) {
            m_font = wxFont(wxFontInfo(wxSize(0, height)).Family(wxFONTFAMILY_TELETYPE));
            dc.SetFont(m_font);
            if (height <= 1 || dc.GetTextExtent(line).GetWidth() <= width) {
                break;
            }
            height = height * 99 / 100;
        }
    }

    CPrintSource& m_source;
    int m_columns;
    wxFont m_font;
    int m_lineHeight = 1;
    int m_linesPerPage = 1;
    int m_pageCount = 0;
    ReportPage m_page;
};

}  // namespace

void AfxSetPrintSettingsForTest(std::function<void(wxPrintData&)> settings) {
    PrintSettingsForTest() = std::move(settings);
}

PrintResult AfxPrintPages(CWnd* pOwner, const std::string& title, CPrintSource& source,
                          int columns) {
    wxWindow* parent = AfxWindowOf(pOwner);
    if (parent == nullptr) {
        parent = AfxGetMainWindow();
    }
    wxPrintDialogData dialogData;
    // A line of 120 characters reads best across the page.
    dialogData.GetPrintData().SetOrientation(wxLANDSCAPE);
    if (PrintSettingsForTest()) {
        PrintSettingsForTest()(dialogData.GetPrintData());
    }
    wxPrinter printer(&dialogData);
    CTextPrintout printout(FromAnsi(title), source, columns);
    // The toolkit tells why a job failed through the log: kept here, for the
    // message the caller shows, instead of a box of the toolkit's own.
    wxLogBuffer reasons;
    wxLog* const previous = wxLog::SetActiveTarget(&reasons);
    const bool printed = printer.Print(parent, &printout, true);
    wxLog::SetActiveTarget(previous);
    PrintResult result;
    if (printed) {
        result.outcome = PrintResult::printed;
    } else if (wxPrinter::GetLastError() == wxPRINTER_CANCELLED) {
        result.outcome = PrintResult::cancelled;
    } else {
        result.outcome = PrintResult::failed;
        wxString reason = reasons.GetBuffer();
        reason.Trim();
        result.reason = ToAnsi(reason.empty() ? wxString(wxS("errore della stampante")) : reason);
    }
    return result;
}
