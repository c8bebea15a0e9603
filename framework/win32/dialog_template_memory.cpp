#include "framework/win32/dialog_template_memory.h"

#include <string>

#include "framework/dialog_template.h"
#include "framework/win32/ansi_text.h"

namespace {

// The predefined window classes of dialog controls, by atom.
constexpr std::uint16_t kButtonAtom = 0x0080;
constexpr std::uint16_t kEditAtom = 0x0081;
constexpr std::uint16_t kStaticAtom = 0x0082;

class CTemplateWriter {
public:
    void Word(std::uint32_t value) { m_words.push_back(static_cast<std::uint16_t>(value)); }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Dword(std::uint32_t value) {
        Word(value & 0xFFFFu);
        Word(value >> 16);
    }
    // A NUL-terminated UTF-16 string.
    void Text(const char* text) {
        for (const wchar_t c : AfxWideText(text != nullptr ? text : "")) {
            Word(static_cast<std::uint16_t>(c));
        }
        Word(0);
    }
    // A class or resource given by number instead of by name.
    void Ordinal(std::uint32_t value) {
        Word(0xFFFF);
        Word(value);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<std::uint16_t> Take() { return std::move(m_words); }

private:
    std::vector<std::uint16_t> m_words;
};

std::uint32_t KindStyle(const DlgControl& control) {
    switch (control.kind) {
        case DlgControlKind::label:
            return SS_LEFT;
        case DlgControlKind::edit:
            return ES_LEFT;
        case DlgControlKind::pushButton:
            return (control.style & BS_DEFPUSHBUTTON) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        case DlgControlKind::radioButton:
            return BS_AUTORADIOBUTTON;
        case DlgControlKind::groupBox:
            return BS_GROUPBOX;
        case DlgControlKind::listView:
            // The rows live in the row store; the list asks for the cells it
            // shows.
            return LVS_OWNERDATA;
        case DlgControlKind::icon:
            return SS_ICON;
    }
    return 0;
}

}  // namespace

std::vector<std::uint16_t> AfxBuildDialogTemplate(const DlgTemplate& tmpl,
                                                  const std::function<bool(int)>& hasIcon) {
    CTemplateWriter out;
    out.Dword(tmpl.style | DS_SETFONT);
    out.Dword(tmpl.exStyle);
    out.Word(static_cast<std::uint32_t>(tmpl.controls.size()));
    out.Short(tmpl.x);
    out.Short(tmpl.y);
    out.Short(tmpl.cx);
    out.Short(tmpl.cy);
    out.Word(0);  // no menu
    out.Word(0);  // the system's dialog class
    out.Text(tmpl.title);
    out.Word(static_cast<std::uint32_t>(tmpl.fontPoints));
    out.Text(tmpl.fontFace);

    for (const DlgControl& control : tmpl.controls) {
        out.AlignToDword();
        out.Dword(WS_CHILD | WS_VISIBLE | KindStyle(control) | control.style);
        out.Dword(0);  // extended style
        out.Short(control.x);
        out.Short(control.y);
        out.Short(control.cx);
        out.Short(control.cy);
        out.Word(static_cast<std::uint16_t>(control.id));
        switch (control.kind) {
            case DlgControlKind::label:
            case DlgControlKind::icon:
                out.Ordinal(kStaticAtom);
                break;
            case DlgControlKind::edit:
                out.Ordinal(kEditAtom);
                break;
            case DlgControlKind::pushButton:
            case DlgControlKind::radioButton:
            case DlgControlKind::groupBox:
                out.Ordinal(kButtonAtom);
                break;
            case DlgControlKind::listView:
                out.Text("SysListView32");
                break;
        }
        if (control.kind == DlgControlKind::icon && hasIcon && hasIcon(control.iconId)) {
            out.Ordinal(static_cast<std::uint32_t>(control.iconId));
        } else if (control.kind == DlgControlKind::icon) {
            out.Text("");
        } else {
            out.Text(control.text);
        }
        out.Word(0);  // no creation data
    }
    return out.Take();
}
