// The program's resources: dialog templates, the string table, the icon and
// the names of its version record.
#include "resources/resources.h"

#include "core/prg_layout.h"
#include "framework/dialog_template.h"
#include "resources/program_icon.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace {

using K = DlgControlKind;

// clang-format off
const DlgTemplate kMainDialog = {
    IDD_MAIN,
    "TreskViewer",
    0, 0, 433, 280,  // x, y, width, height
    "MS Sans Serif", 8,
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW,
    {
        // In tab order.
        {K::label, IDC_STATIC, "Lista di Taglio", 7, 7, 281, 10, SS_SUNKEN | WS_GROUP},
        {K::edit, IDC_PATH, "", 7, 18, 281, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {K::pushButton, IDC_BROWSE, "Sfoglia", 293, 18, 47, 14, WS_TABSTOP},
        {K::listView, IDC_LIST, "", 7, 82, 419, 191,
         LVS_REPORT | LVS_ALIGNLEFT | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP},
        {K::radioButton, IDC_FMT_NEW, kPrgLayouts[kFormatNew].title, 14, 51, 71, 14, WS_GROUP},
        {K::radioButton, IDC_FMT_OLD, kPrgLayouts[kFormatOld].title, 130, 51, 68, 14, 0},
        {K::radioButton, IDC_FMT_MEM, kPrgLayouts[kFormatMem].title, 243, 51, 35, 14, 0},
        {K::groupBox, IDC_STATIC, "Formato Lista", 7, 38, 333, 38, 0},
        {K::pushButton, IDC_SAVE, "Salva su file", 363, 53, 53, 12, WS_TABSTOP},
        {K::groupBox, IDC_STATIC, "", 353, 42, 74, 31, 0},
    },
};

const DlgTemplate kAboutBox = {
    IDD_ABOUTBOX,
    "Informazioni su TreskViewer",
    0, 0, 235, 55,  // x, y, width, height
    "MS Sans Serif", 8,
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
    {
        {K::icon, IDC_STATIC, "", 11, 17, 20, 20, 0, IDR_MAINFRAME},
        {K::label, IDC_STATIC, "TreskViewer Versione 1.0", 40, 10, 119, 8, SS_NOPREFIX},
        {K::pushButton, IDOK, "OK", 178, 7, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
    },
};

// Modeless: it stays open while rows are found. Enter in the field is the
// default button, "Trova successivo", never the main dialog's command.
const DlgTemplate kFindDialog = {
    IDD_FIND,
    "Trova",
    0, 0, 224, 45,  // x, y, width, height
    "MS Sans Serif", 8,
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
    {
        {K::label, IDC_STATIC, "Trova:", 7, 9, 30, 8, 0},
        {K::edit, IDC_FIND_TEXT, "", 40, 7, 110, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {K::pushButton, IDC_FIND_NEXT, "Trova successivo", 157, 6, 60, 14,
         BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
        {K::pushButton, IDCANCEL, "Chiudi", 157, 24, 60, 14, WS_TABSTOP},
    },
};

// clang-format on

}  // namespace

const AfxResources& TreskViewerResources() {
    static const AfxResources resources = {
        TRESK_VERSION_INTERNAL_NAME,
        {&kMainDialog, &kAboutBox, &kFindDialog},
        // No application title is held here: the name is the executable's.
        {{IDS_ABOUTBOX, "Infor&mazioni su TreskViewer..."},
         {IDS_OTHER_LAYOUT,
          "Il file \"%1\" non si legge per intero nel formato \"%2\".\n"
          "Si legge per intero nel formato \"%3\": ricaricarlo in quel formato?"},
         {IDS_NOT_FOUND, "Nessuna riga contiene \"%1\"."}},
        {{IDR_MAINFRAME, ProgramIconPngs()}},
        // The list's menu, the shortcut after the tab.
        {{IDR_LIST_MENU,
          {{IDM_LIST_COPY, "&Copia\tCtrl+C"},
           {IDM_LIST_SELECT_ALL, "Seleziona &tutto\tCtrl+A"},
           {0, nullptr},
           {IDM_FIND, "T&rova...\tCtrl+F"},
           {0, nullptr},
           {IDM_PRINT, "&Stampa...\tCtrl+P"},
           {IDM_EXPORT_XLSX, "&Esporta in Excel...\tCtrl+E"}}}},
        // The main dialog's keys, from any of its controls. Ctrl+C and
        // Ctrl+A belong to the list (in the path field they are the field's).
        {{IDR_MAINFRAME,
          {{FCONTROL, 'F', IDM_FIND},
           {0, VK_F3, IDM_FIND_NEXT},
           {FCONTROL, 'P', IDM_PRINT},
           {FCONTROL, 'E', IDM_EXPORT_XLSX}}}},
    };
    return resources;
}
