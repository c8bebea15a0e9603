// The application's resources, registered with the framework at start-up:
// its dialog templates, its string table, its icons and the name it was built
// under. The framework looks them up by identifier, the way a Windows
// program finds the resources linked into its executable.
#pragma once

#include <span>
#include <string>
#include <vector>

struct DlgTemplate;

struct AfxStringResource {
    int id;
    const char* text;
};

struct AfxIconResource {
    int id;
    // The images as PNG files, one per size. A back end that takes icons
    // from the executable's own resources uses only the id.
    std::span<const std::span<const unsigned char>> pngImages;
};

// A popup menu: its entries in order; an entry with id 0 is a separator. A
// text may end with a tab and the entry's shortcut, shown at the right.
struct AfxMenuItem {
    int id;
    const char* text;
};

struct AfxMenuResource {
    int id;
    std::vector<AfxMenuItem> items;
};

// A key that gives a command: its virtual-key code (letters as capitals),
// with FCONTROL, FSHIFT and FALT for the keys that must be held with it.
struct AfxAccelerator {
    unsigned flags;
    int key;
    int command;
};

struct AfxAcceleratorTable {
    int id;
    std::vector<AfxAccelerator> keys;
};

struct AfxResources {
    // The name of the executable the program was built as, without extension
    // (the version record's internal name).
    const char* moduleName = "";
    std::vector<const DlgTemplate*> dialogs;
    std::vector<AfxStringResource> strings;
    std::vector<AfxIconResource> icons;
    std::vector<AfxMenuResource> menus;
    std::vector<AfxAcceleratorTable> accelerators;
};

// Registers resources, which must outlive every window (nullptr: none).
void AfxSetResources(const AfxResources* resources);

// The dialog template with this identifier, or nullptr.
const DlgTemplate* AfxFindDialogTemplate(int id);
// The string with this identifier, "" when the table holds none.
std::string AfxLoadString(int id);
// The icon resource with this identifier, or nullptr.
const AfxIconResource* AfxFindIconResource(int id);
// The menu or the accelerator table with this identifier, or nullptr.
const AfxMenuResource* AfxFindMenuResource(int id);
const AfxAcceleratorTable* AfxFindAcceleratorTable(int id);
// The executable's name without extension, "" before registration.
std::string AfxGetModuleName();
