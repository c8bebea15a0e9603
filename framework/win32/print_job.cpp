#include "framework/print_job.h"

#include <algorithm>
#include <string>

#include "core/windows1252.h"
#include "framework/win32/ansi_text.h"
#include "framework/win32/owner_window.h"
#include "framework/win32/print_job.h"
#include "framework/win32/win_defs.h"

namespace {

// The system's text for an error code, without its line end.
std::string SystemReason(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    LocalFree(text);
    reason.erase(reason.find_last_not_of("\r\n .") + 1);
    return reason.empty() ? "errore " + std::to_string(code) : reason;
}

// The reason the print dialog gave for failing (CommDlgExtendedError).
std::string DialogReason(DWORD code) {
    if (code == PDERR_NODEFAULTPRN || code == PDERR_NODEVICES) {
        return "nessuna stampante installata";
    }
    return "errore della finestra di stampa " + std::to_string(code);
}

// A monospaced font for dc whose line of columns characters fills width:
// measured at one height, scaled, then made smaller while too wide.
HFONT FitFont(HDC dc, int columns, int width) {
    const std::wstring line(static_cast<std::size_t>(std::max(columns, 1)), L'M');
    auto make = [](int height) {
        return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, L"Courier New");
    };
    auto measure = [&](HFONT font) {
        const HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        SelectObject(dc, old);
        return std::max(static_cast<int>(size.cx), 1);
    };
    int height = 1000;
    HFONT font = make(height);
    height = std::max(static_cast<int>(static_cast<long long>(height) * width / measure(font)), 1);
    for (;;) {
        DeleteObject(font);
        font = make(height);
        if (height <= 1 || measure(font) <= width) {
            return font;
        }
        height = height * 99 / 100;
    }
}

// Draws line (Windows-1252 bytes) at the left edge, its top at y.
void DrawLine(HDC dc, int y, const std::string& line) {
    const std::wstring text = AfxWideText(windows1252::ToUtf8(line));
    TextOutW(dc, 0, y, text.c_str(), static_cast<int>(text.size()));
}

// Prints the pages of source on dc; false with reason when the system
// refused a step (the document is then abandoned).
bool PrintOnDc(HDC dc, const std::string& title, CPrintSource& source, int columns,
               std::string& reason) {
    const CPageTextLayout layout(dc, columns);
    const int pages = source.Paginate(layout.LinesPerPage());

    const std::wstring docName = AfxWideText(title);
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = docName.c_str();
    bool ok = StartDocW(dc, &doc) > 0;
    ReportPage page;
    for (int index = 0; ok && index < pages; ++index) {
        source.GetPage(index, page);
        ok = StartPage(dc) > 0;
        if (ok) {
            layout.DrawPage(dc, page);
            ok = EndPage(dc) > 0;
        }
    }
    if (ok) {
        ok = EndDoc(dc) > 0;
    }
    if (!ok) {
        reason = SystemReason(GetLastError());
        AbortDoc(dc);
    }
    return ok;
}

}  // namespace

CPageTextLayout::CPageTextLayout(HDC dc, int columns)
    : m_font(FitFont(dc, columns, GetDeviceCaps(dc, HORZRES))) {
    const HGDIOBJ old = SelectObject(dc, m_font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    m_lineHeight = std::max(static_cast<int>(metrics.tmHeight), 1);
    m_linesPerPage = std::max(GetDeviceCaps(dc, VERTRES) / m_lineHeight, 1);
}

CPageTextLayout::~CPageTextLayout() {
    DeleteObject(m_font);
}

void CPageTextLayout::DrawPage(HDC dc, const ReportPage& page) const {
    const HGDIOBJ old = SelectObject(dc, m_font);
    int y = 0;
    for (const std::string& line : page.lines) {
        DrawLine(dc, y, line);
        y += m_lineHeight;
    }
    DrawLine(dc, (m_linesPerPage - 1) * m_lineHeight, page.footer);
    SelectObject(dc, old);
}

PrintResult AfxPrintPages(CWnd* pOwner, const std::string& title, CPrintSource& source,
                          int columns) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = AfxOwnerHwnd(pOwner);
    // The default printer first, without a window (not even the system's
    // warning that none is installed): where none is, Wine still shows the
    // dialog, with an empty list, whose Print button then ends it as a
    // cancel, and nothing would tell the user why nothing was printed. The
    // dialog then opens on that printer.
    dialog.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
    bool chosen = PrintDlgW(&dialog) != FALSE;
    if (chosen) {
        dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
        chosen = PrintDlgW(&dialog) != FALSE;
    }
    PrintResult result;
    if (!chosen) {
        const DWORD code = CommDlgExtendedError();
        if (code != 0) {
            result.outcome = PrintResult::failed;
            result.reason = DialogReason(code);
        }
    } else if (dialog.hDC == nullptr) {
        result.outcome = PrintResult::failed;
        result.reason = SystemReason(GetLastError());
    } else if (PrintOnDc(dialog.hDC, title, source, columns, result.reason)) {
        result.outcome = PrintResult::printed;
    } else {
        result.outcome = PrintResult::failed;
    }
    if (dialog.hDC != nullptr) {
        DeleteDC(dialog.hDC);
    }
    GlobalFree(dialog.hDevMode);
    GlobalFree(dialog.hDevNames);
    return result;
}
