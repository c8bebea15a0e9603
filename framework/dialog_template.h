// A dialog template held as data: the window's title, size, font and style,
// and its controls in tab order with positions in dialog units. CDialog builds
// the real window from it. Styles are Windows' own (framework/afx_defs.h), so
// a template reads like a resource script and a Win32 build can hand the same
// values to the system.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/afx_defs.h"

// The identifier of controls nobody refers to (labels, group boxes, icons),
// as a resource script's headers give it.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

enum class DlgControlKind {
    label,        // LTEXT
    edit,         // EDITTEXT, single line
    pushButton,   // PUSHBUTTON / DEFPUSHBUTTON
    radioButton,  // AUTORADIOBUTTON
    groupBox,     // GROUPBOX
    listView,     // SysListView32
    icon,         // ICON
};

struct DlgControl {
    DlgControlKind kind;
    int id;  // IDC_STATIC for controls nobody refers to
    // The control's text; for an icon, unused (see iconId).
    const char* text;
    int x, y, cx, cy;  // dialog units
    std::uint32_t style;
    int iconId = 0;
};

struct DlgTemplate {
    int id;
    const char* title;
    int x, y, cx, cy;  // dialog units; cx and cy give the client area
    const char* fontFace;
    int fontPoints;
    std::uint32_t style;
    std::uint32_t exStyle;
    std::vector<DlgControl> controls;  // in tab order
};

// The identifiers of the radio buttons in the group that holds the control
// id, in template order; empty when the template has no control id. A group
// runs from a control with WS_GROUP (or the first control) to the next one;
// controls in it that are not radio buttons are passed over.
std::vector<int> AfxRadioGroup(const DlgTemplate& tmpl, int id);
