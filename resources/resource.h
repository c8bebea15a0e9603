// Identifiers of the dialogs, controls, strings, menu commands and the icon.
//
// The numbers are fixed on purpose: the tests and the dialog templates refer
// to them, and they are the values the program has always used. Do not
// renumber.
#pragma once

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;

// String table.
inline constexpr int IDS_ABOUTBOX = 101;

// The program icon (32 x 32 and 16 x 16).
inline constexpr int IDR_MAINFRAME = 128;

// Controls of IDD_MAIN.
inline constexpr int IDC_PATH = 1000;
inline constexpr int IDC_BROWSE = 1001;
inline constexpr int IDC_LIST = 1002;
inline constexpr int IDC_FMT_NEW = 1003;
inline constexpr int IDC_FMT_OLD = 1004;
inline constexpr int IDC_FMT_MEM = 1005;
inline constexpr int IDC_SAVE = 1006;

// The entry the main dialog appends to its system menu. System commands have
// their low four bits free, so the identifier is a multiple of 16.
inline constexpr int IDM_ABOUTBOX = 16;
