// Opening a file by dropping it on a window.
#pragma once

#include <wx/dnd.h>
#include <wx/event.h>

// Sent to the window given to CFileDropTarget when files were dropped on it;
// GetString() is the full path of the first file.
wxDECLARE_EVENT(EVT_FILE_DROPPED, wxCommandEvent);

// Accepts files dropped on a window and hands the first one on as an
// EVT_FILE_DROPPED event (several files: the rest are ignored). The event is
// queued, not handled inside the drop: the drop arrives in a callback of the
// toolkit's C code, through which no exception may pass, while its handler
// (a load that can fail with a file error) then runs as an ordinary event
// handler under the application's exception guard. The program that the file
// was dragged from is also released before the load starts.
class CFileDropTarget final : public wxFileDropTarget {
public:
    // handler receives the events; it must outlive the drop target (the
    // window the target is set on owns it, so the window itself serves).
    explicit CFileDropTarget(wxEvtHandler& handler) : m_handler(&handler) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

private:
    wxEvtHandler* m_handler;
};
