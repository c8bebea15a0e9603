#include "framework/wx/file_drop_target.h"

wxDEFINE_EVENT(EVT_FILE_DROPPED, wxCommandEvent);

bool CFileDropTarget::OnDropFiles(wxCoord /*x*/, wxCoord /*y*/, const wxArrayString& files) {
    if (files.empty()) {
        return false;
    }
    wxEvtHandler* const handler = m_handler;
    // The call waits in handler's own queue, so it goes away with handler.
    handler->CallAfter([handler, path = files[0]] {
        wxCommandEvent event(EVT_FILE_DROPPED);
        event.SetString(path);
        // Plain ProcessEvent would let an exception escape into the idle
        // callback that runs queued calls; SafelyProcessEvent hands it to
        // wxApp::OnExceptionInMainLoop as for any control's event.
        handler->SafelyProcessEvent(event);
    });
    return true;
}
