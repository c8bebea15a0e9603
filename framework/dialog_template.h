// A dialog template held as data: the window's title, size, font and style,
// and its controls in tab order with positions in dialog units. CDialog builds
// the real window from it.
#pragma once

#include <cstdint>
#include <vector>

// Standard command identifiers of dialog buttons. CDialog maps them to
// wxID_OK and wxID_CANCEL when it makes the controls.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
// Controls nobody refers to (labels, group boxes, icons).
inline constexpr int IDC_STATIC = -1;

// Window styles of a dialog or control, named after the ones a dialog
// template carries. Only the ones the dialog base acts on are listed.
enum DlgStyle : std::uint32_t {
    WS_TABSTOP = 1u << 0,
    WS_GROUP = 1u << 1,
    WS_BORDER = 1u << 2,
    WS_CAPTION = 1u << 3,
    WS_SYSMENU = 1u << 4,
    WS_POPUP = 1u << 5,
    WS_MINIMIZEBOX = 1u << 6,
    WS_MAXIMIZEBOX = 1u << 7,
    WS_THICKFRAME = 1u << 8,
    DS_MODALFRAME = 1u << 9,
    WS_EX_APPWINDOW = 1u << 10,  // shown on the taskbar
    SS_SUNKEN = 1u << 11,        // static text with a sunken edge
    SS_NOPREFIX = 1u << 12,      // "&" is shown, not taken as an access-key mark
    ES_AUTOHSCROLL = 1u << 13,
    LVS_REPORT = 1u << 14,
    LVS_ALIGNLEFT = 1u << 15,
    LVS_NOSORTHEADER = 1u << 16,  // column headers are not buttons
    LVS_SHOWSELALWAYS = 1u << 17,
    LVS_SINGLESEL = 1u << 18,
    BS_DEFPUSHBUTTON = 1u << 19,
};

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
    std::vector<DlgControl> controls;  // in tab order
};
