// Opening a file by dropping it on a window.
#pragma once

#include <wx/dnd.h>
#include <wx/event.h>

// Sent to the handler given to CFileDropTarget when files were dropped;
// GetString() is the full path of the first file.
wxDECLARE_EVENT(EVT_FILE_DROPPED, wxCommandEvent);

// Accepts files dropped on a window and hands the first one on as an
// EVT_FILE_DROPPED event (several files: the rest are ignored).
//
// The event is sent later, from the event loop, not inside the drop: the drop
// arrives in a callback of the toolkit's C code, through which no exception
// may pass, and the program the file was dragged from would wait for the whole
// load. It is then processed the way the toolkit processes a button click, so
// an exception its handler throws (a load that fails with a file error)
// reaches the application's OnExceptionInMainLoop and the program goes on.
class CFileDropTarget final : public wxFileDropTarget {
public:
    // handler receives the events; it must outlive the drop target (the
    // window the target is set on owns it, so the window itself serves).
    explicit CFileDropTarget(wxEvtHandler& handler) : m_handler(&handler) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

private:
    wxEvtHandler* m_handler;
};
