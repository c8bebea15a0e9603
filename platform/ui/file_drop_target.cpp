#include "platform/ui/file_drop_target.h"

wxDEFINE_EVENT(EVT_FILE_DROPPED, wxCommandEvent);

bool CFileDropTarget::OnDropFiles(wxCoord /*x*/, wxCoord /*y*/, const wxArrayString& files) {
    if (files.empty()) {
        return false;
    }
    auto* event = new wxCommandEvent(EVT_FILE_DROPPED);
    event->SetString(files[0]);
    wxQueueEvent(m_handler, event);
    return true;
}
