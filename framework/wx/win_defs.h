// The Windows constants of the framework's interface, for the wx back end,
// with the values <windows.h> gives them. Only the ones the program uses are
// here. Never include this beside <windows.h>: framework/afx_defs.h picks it.
#pragma once

// Dialog results and button identifiers.
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Window styles of a dialog template and its controls. Some values are
// shared by styles that apply to different kinds of window (a dialog's
// minimise box is a control's group start).
#define WS_POPUP 0x80000000L
#define WS_CAPTION 0x00C00000L  // a border and a title bar
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define DS_MODALFRAME 0x80L
#define WS_EX_APPWINDOW 0x00040000L  // extended style: shown on the taskbar

// Control styles, each meaningful for its own kind of control.
#define SS_NOPREFIX 0x00000080L  // "&" is shown, not taken as an access-key mark
#define SS_SUNKEN 0x00001000L
#define ES_AUTOHSCROLL 0x0080L
#define BS_DEFPUSHBUTTON 0x00000001L
#define LVS_REPORT 0x0001
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
#define LVS_ALIGNLEFT 0x0800
#define LVS_NOSORTHEADER 0x8000  // column headers are not buttons

// Message-box buttons and icons.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNO 0x00000004L
#define MB_ICONSTOP 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_SYSTEMMODAL 0x00001000L

// File-dialog options.
#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_FILEMUSTEXIST 0x00001000

// List-view column alignment.
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002

// System commands; the low four bits are the system's own.
#define SC_CLOSE 0xF060

// Accelerator flags, and the virtual-key codes of the keys outside the
// letters and digits (which are their capital ASCII codes).
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10
#define VK_F1 0x70
#define VK_F3 0x72
#define VK_F12 0x7B

// Showing a window.
#define SW_HIDE 0
#define SW_SHOW 5

// Menu item flags.
#define MF_STRING 0x00000000L
#define MF_SEPARATOR 0x00000800L
