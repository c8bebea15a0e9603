// The Windows constants of the framework's interface, for the Win32 back end:
// the system's own headers, so every name has the value and the form Windows
// gives it. framework/afx_defs.h picks this file.
#pragma once

// std::min and std::max stay usable beside the system's headers.
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
