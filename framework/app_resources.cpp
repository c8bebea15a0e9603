#include "framework/app_resources.h"

#include "framework/dialog_template.h"

namespace {
const AfxResources* g_resources = nullptr;

// The entry with this id in the registered resources' table, or nullptr.
template <typename Resource>
const Resource* FindById(std::vector<Resource> AfxResources::*table, int id) {
    if (g_resources != nullptr) {
        for (const Resource& resource : g_resources->*table) {
            if (resource.id == id) {
                return &resource;
            }
        }
    }
    return nullptr;
}
}  // namespace

void AfxSetResources(const AfxResources* resources) {
    g_resources = resources;
}

const DlgTemplate* AfxFindDialogTemplate(int id) {
    if (g_resources != nullptr) {
        for (const DlgTemplate* dialog : g_resources->dialogs) {
            if (dialog->id == id) {
                return dialog;
            }
        }
    }
    return nullptr;
}

std::string AfxLoadString(int id) {
    if (g_resources != nullptr) {
        for (const AfxStringResource& entry : g_resources->strings) {
            if (entry.id == id) {
                return entry.text;
            }
        }
    }
    return std::string();
}

const AfxIconResource* AfxFindIconResource(int id) {
    return FindById(&AfxResources::icons, id);
}

const AfxMenuResource* AfxFindMenuResource(int id) {
    return FindById(&AfxResources::menus, id);
}

const AfxAcceleratorTable* AfxFindAcceleratorTable(int id) {
    return FindById(&AfxResources::accelerators, id);
}

std::string AfxGetModuleName() {
    return g_resources != nullptr ? g_resources->moduleName : "";
}
