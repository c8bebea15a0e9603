// Identifiers of the dialogs, controls, strings, menu commands and the icon.
//
// The numbers are fixed on purpose: the tests and the dialog templates refer
// to them, and they are the values the program has always used. Do not
// renumber. Plain #defines, so that a resource compiler can read them too.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_FIND 103

// String table.
#define IDS_ABOUTBOX 101
#define IDS_OTHER_LAYOUT 104
#define IDS_NOT_FOUND 105

// The program icon, and the main dialog's accelerator table.
#define IDR_MAINFRAME 128
// The menu of the main dialog's list.
#define IDR_LIST_MENU 129

// Controls of IDD_MAIN.
#define IDC_PATH 1000
#define IDC_BROWSE 1001
#define IDC_LIST 1002
#define IDC_FMT_NEW 1003
#define IDC_FMT_OLD 1004
#define IDC_FMT_MEM 1005
#define IDC_SAVE 1006

// Controls of IDD_FIND ("Chiudi" is IDCANCEL).
#define IDC_FIND_TEXT 1007
#define IDC_FIND_NEXT 1008

// The entry the main dialog appends to its system menu. System commands have
// their low four bits free, so the identifier is a multiple of 16.
#define IDM_ABOUTBOX 0x0010

// The main dialog's own command that loads the file named on the command
// line once the dialog runs.
#define IDM_OPEN_START_FILE 0x8000

// Commands of the list's menu and of the main dialog's keys.
#define IDM_PRINT 0x8010
#define IDM_EXPORT_XLSX 0x8011
#define IDM_LIST_COPY 0x8012
#define IDM_LIST_SELECT_ALL 0x8013
#define IDM_FIND 0x8014
#define IDM_FIND_NEXT 0x8015
