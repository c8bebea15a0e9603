// The Windows constants the framework's interface takes (dialog results,
// window and control styles, message-box types, file-dialog options, column
// formats, system commands and menu flags). The Win32 back end takes them
// from the system's own headers; the wx back end defines the same names with
// the same values, so shell/ and resources/ read the same either way.
#pragma once

#if defined(TRESK_FRAMEWORK_WIN32)
#include "framework/win32/win_defs.h"
#else
#include "framework/wx/win_defs.h"
#endif
