// How the dialog base finds the program's resources by identifier. The
// functions are defined by the program's resource library, the way a Windows
// program finds the resources linked into its executable.
#pragma once

#include <string>

#include <wx/iconbndl.h>

struct DlgTemplate;

// The dialog template with this identifier, or nullptr.
const DlgTemplate* FindDialogTemplate(int id);

// The string with this identifier, "" when the table holds none.
std::string LoadResourceString(int id);

// The name of the executable the program was built as, without extension
// (the version record's internal name).
std::string GetModuleName();

// The icon with this identifier in every size the program has, empty when
// there is none.
wxIconBundle LoadResourceIcon(int id);
