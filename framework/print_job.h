// Printing pages of text through the system's print dialog.
#pragma once

#include <string>

#include "core/report_pages.h"

class CWnd;

// What a print job prints: its pages are asked for once the printer's page,
// and so the number of lines a page holds, is known.
class CPrintSource {
public:
    virtual ~CPrintSource() = default;
    // Lays the text out in pages of linesPerPage lines (footer included);
    // returns the number of pages.
    virtual int Paginate(int linesPerPage) = 0;
    // The lines and the footer of page index (from 0), as Windows-1252 bytes.
    virtual void GetPage(int index, ReportPage& page) = 0;
};

struct PrintResult {
    enum Outcome { printed, cancelled, failed };
    Outcome outcome = cancelled;
    // For failed: the system's reason, as text for the user.
    std::string reason;
};

// Shows the system's print dialog over pOwner (nullptr: the main window) and
// prints the pages of source in a monospaced font sized so that a line of
// columns characters fills the printable width, one line per text line, the
// footer on the page's last line. The bytes are shown decoded as
// Windows-1252. title names the job in the printer's queue. Nothing is
// printed when the user cancels the dialog.
PrintResult AfxPrintPages(CWnd* pOwner, const std::string& title, CPrintSource& source,
                          int columns);
