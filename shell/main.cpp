// The single application object, made by the framework at start-up.
#include <wx/app.h>

#include "shell/cut_list_app.h"

wxIMPLEMENT_APP(CCutListApp);
