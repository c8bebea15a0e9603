// The drawing of printed pages on a device context, apart from the print
// dialog and the job around it: a test draws them on a metafile.
#pragma once

#include "core/report_pages.h"
#include "framework/win32/win_defs.h"

// The text of a page laid out on one device: a monospaced font sized so that
// a line of columns characters fills the printable width, one line of text
// per line of the page, as many lines as the printable height holds.
class CPageTextLayout {
public:
    // Measures dc (its printable width and height, in its units).
    CPageTextLayout(HDC dc, int columns);
    ~CPageTextLayout();
    CPageTextLayout(const CPageTextLayout&) = delete;
    CPageTextLayout& operator=(const CPageTextLayout&) = delete;

    int LinesPerPage() const { return m_linesPerPage; }
    // Draws page on dc, a device like the one measured: its lines from the
    // top, its footer on the page's last line, the bytes decoded as
    // Windows-1252. dc keeps the font it had.
    void DrawPage(HDC dc, const ReportPage& page) const;

private:
    HFONT m_font = nullptr;
    int m_lineHeight = 1;
    int m_linesPerPage = 1;
};
