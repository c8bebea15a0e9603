// How the wx back end shows a Windows filter text in the toolkit's file
// dialog.
#pragma once

#include <wx/string.h>

// The filter as the toolkit takes it: the pairs up to the closing "||", with
// the Windows patterns turned into ones that match the same names here ("*.*"
// is every file, and letters match either case).
wxString AfxFileDialogWildcard(const char* filter);
