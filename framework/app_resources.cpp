#include "framework/app_resources.h"

#include "framework/dialog_template.h"

namespace {
const AfxResources* g_resources = nullptr;
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
    if (g_resources != nullptr) {
        for (const AfxIconResource& icon : g_resources->icons) {
            if (icon.id == id) {
                return &icon;
            }
        }
    }
    return nullptr;
}

std::string AfxGetModuleName() {
    return g_resources != nullptr ? g_resources->moduleName : "";
}
