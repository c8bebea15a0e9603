// The in-memory dialog template (DLGTEMPLATE) the system builds a dialog
// from, made from the template data of resources/ so that the dialogs have one
// source only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct DlgTemplate;

// The template's bytes as 16-bit words, for DialogBoxIndirectParamA and
// CreateDialogIndirectParamA: the header with the template's style and
// DS_SETFONT, its title and font, then each control, starting on a 32-bit
// boundary, with its window class ("EDIT", "BUTTON", "STATIC" or the list
// view's "SysListView32", which is made an owner-data list) and text. An icon
// control names its icon by resource number when hasIcon says the executable
// has that icon, and is left empty otherwise (a missing icon would otherwise
// stop the whole dialog from being made). The vector's storage is 32-bit
// aligned, as the system requires.
std::vector<std::uint16_t> AfxBuildDialogTemplate(const DlgTemplate& tmpl,
                                                  const std::function<bool(int)>& hasIcon);
