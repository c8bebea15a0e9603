#include "framework/dialog_template.h"

std::vector<int> AfxRadioGroup(const DlgTemplate& tmpl, int id) {
    std::vector<int> group;
    bool found = false;
    for (const DlgControl& control : tmpl.controls) {
        if ((control.style & static_cast<std::uint32_t>(WS_GROUP)) != 0) {
            if (found) {
                break;
            }
            group.clear();
        }
        if (control.kind == DlgControlKind::radioButton) {
            group.push_back(control.id);
        }
        found = found || control.id == id;
    }
    if (!found) {
        group.clear();
    }
    return group;
}
