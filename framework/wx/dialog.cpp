#include "framework/wx/dialog.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/dialog_template.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/list_ctrl.h"
#include "framework/wx/resource_lookup.h"

namespace {

// A radio button without a tab stop is skipped by Tab, as in a Windows
// dialog: the group is reached with the mouse or by its access keys.
class CRadioButton final : public wxRadioButton {
public:
    CRadioButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                 const wxSize& size, long style, bool tabStop)
        : wxRadioButton(parent, id, label, pos, size, style), m_tabStop(tabStop) {}

    bool AcceptsFocusFromKeyboard() const override {
        return m_tabStop && wxRadioButton::AcceptsFocusFromKeyboard();
    }

private:
    bool m_tabStop;
};

// The menu identifier of "Chiudi": SC_CLOSE itself is out of the toolkit's
// range, and the stock close identifier would show a shortcut that this
// dialog does not have.
constexpr int kCloseItemId = 0x7F60;

// The radio buttons of the group that holds the control id, in template
// order. A group runs from a control that starts one (or the first control)
// to the next; controls in it that are not radio buttons are passed over.
std::vector<int> RadioGroup(const DlgTemplate& tmpl, int id) {
    std::vector<int> group;
    bool found = false;
    for (const DlgControl& control : tmpl.controls) {
        if ((control.style & WS_GROUP) != 0) {
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

void PressButton(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->HandleWindowEvent(click);
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CListCtrl& ctrl) {
    if (ctrl.IsAttached()) {
        return;
    }
    auto* view = dynamic_cast<CListView*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (view != nullptr) {
        ctrl.Attach(view);
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    auto* field = dynamic_cast<wxTextCtrl*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (field == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = ToAnsi(field->GetValue());
        return;
    }
    const wxString text = FromAnsi(value);
    if (field->GetValue() != text) {
        field->ChangeValue(text);
    }
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    const DlgTemplate* tmpl = pDX->m_pDlgWnd->GetTemplate();
    if (tmpl == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    int index = 0;
    for (const int buttonId : RadioGroup(*tmpl, id)) {
        auto* button = dynamic_cast<wxRadioButton*>(pDX->m_pDlgWnd->GetDlgItem(buttonId));
        if (button != nullptr) {
            if (pDX->m_bSaveAndValidate) {
                if (button->GetValue()) {
                    value = index;
                }
            } else {
                button->SetValue(index == value);
            }
        }
        ++index;
    }
}

CDialog::CDialog(int templateId, wxWindow* parent)
    : m_templateId(templateId), m_template(FindDialogTemplate(templateId)), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

int CDialog::ToWindowId(int dialogId) {
    switch (dialogId) {
        case IDOK:
            return wxID_OK;
        case IDCANCEL:
            return wxID_CANCEL;
        case IDC_STATIC:
            return wxID_ANY;
        default:
            return dialogId;
    }
}

wxWindow* CDialog::GetDlgItem(int id) const {
    const int windowId = ToWindowId(id);
    if (windowId == wxID_ANY) {
        return nullptr;
    }
    for (wxWindow* child : GetChildren()) {
        if (child->GetId() == windowId) {
            return child;
        }
    }
    return nullptr;
}

bool CDialog::BuildWindow(wxWindow* owner) {
    if (m_template == nullptr) {
        return false;
    }
    if (GetHandle() != nullptr) {
        return true;
    }
    const std::uint32_t s = m_template->style;
    long style = 0;
    if ((s & WS_CAPTION) != 0) {
        style |= wxCAPTION;
    }
    if ((s & WS_SYSMENU) != 0) {
        style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    }
    if ((s & WS_THICKFRAME) != 0) {
        style |= wxRESIZE_BORDER;
    }
    if ((s & WS_MINIMIZEBOX) != 0) {
        style |= wxMINIMIZE_BOX;
    }
    if ((s & WS_MAXIMIZEBOX) != 0) {
        style |= wxMAXIMIZE_BOX;
    }
    if (owner == nullptr) {
        style |= wxDIALOG_NO_PARENT;
    }
    if (!wxDialog::Create(owner, wxID_ANY, FromAnsi(m_template->title), wxDefaultPosition,
                          wxDefaultSize, style)) {
        return false;
    }
    // The template's font: the system's dialog font family at the given size.
    // Dialog units are measured in it, so it is set before anything is placed.
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(m_template->fontPoints);
    SetFont(font);
    SetClientSize(ConvertDialogToPixels(wxSize(m_template->cx, m_template->cy)));
    CreateControls();

    Bind(wxEVT_CHAR_HOOK, &CDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDialog::OnCloseBox, this);
    Bind(wxEVT_BUTTON, &CDialog::OnButton, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CDialog::OnButton, this, wxID_CANCEL);
    Bind(wxEVT_MENU, &CDialog::OnMenu, this);
    Bind(wxEVT_CONTEXT_MENU, &CDialog::OnContextMenu, this);
    if (!m_sunkenEdges.empty()) {
        Bind(wxEVT_PAINT, &CDialog::OnPaintEdges, this);
    }
    return true;
}

void CDialog::CreateControls() {
    for (const DlgControl& c : m_template->controls) {
        const wxPoint pos = ConvertDialogToPixels(wxPoint(c.x, c.y));
        const wxSize size = ConvertDialogToPixels(wxSize(c.cx, c.cy));
        const int id = ToWindowId(c.id);
        const wxString text = FromAnsi(c.text != nullptr ? c.text : "");
        switch (c.kind) {
            case DlgControlKind::label: {
                wxRect rect(pos, size);
                if ((c.style & SS_SUNKEN) != 0) {
                    m_sunkenEdges.push_back(rect);
                    rect.Deflate(2, 1);  // the text sits inside the edge
                }
                auto* label = new wxStaticText(this, id, wxString(), rect.GetPosition(),
                                               rect.GetSize(), wxST_NO_AUTORESIZE | wxALIGN_LEFT);
                if ((c.style & SS_NOPREFIX) != 0) {
                    label->SetLabelText(text);
                } else {
                    label->SetLabel(text);
                }
                break;
            }
            case DlgControlKind::edit: {
                const long style = (c.style & WS_BORDER) != 0 ? 0 : wxBORDER_NONE;
                new wxTextCtrl(this, id, text, pos, size, style);
                break;
            }
            case DlgControlKind::pushButton: {
                auto* button = new wxButton(this, id, text, pos, size);
                if ((c.style & BS_DEFPUSHBUTTON) != 0) {
                    button->SetDefault();
                }
                break;
            }
            case DlgControlKind::radioButton:
                new CRadioButton(this, id, text, pos, size,
                                 (c.style & WS_GROUP) != 0 ? wxRB_GROUP : 0,
                                 (c.style & WS_TABSTOP) != 0);
                break;
            case DlgControlKind::groupBox:
                new wxStaticBox(this, id, text, pos, size);
                break;
            case DlgControlKind::listView: {
                long style = (c.style & WS_BORDER) != 0 ? wxBORDER_THEME : wxBORDER_NONE;
                if ((c.style & LVS_SINGLESEL) != 0) {
                    style |= wxLC_SINGLE_SEL;
                }
                new CListView(this, id, pos, size, style, (c.style & LVS_SHOWSELALWAYS) != 0,
                              (c.style & LVS_NOSORTHEADER) == 0);
                break;
            }
            case DlgControlKind::icon: {
                // An icon control takes the size of its icon.
                const wxIconBundle icons = LoadResourceIcon(c.iconId);
                const wxIcon icon =
                    icons.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NEAREST_LARGER);
                new wxStaticBitmap(this, id, icon, pos);
                break;
            }
        }
    }
}

bool CDialog::CreateFromTemplate(wxWindow* parent) {
    if (!BuildWindow(parent)) {
        return false;
    }
    OnInitDialog();
    if (parent != nullptr) {
        CentreOnParent();
    } else {
        CentreOnScreen();
    }
    return true;
}

int CDialog::DoModal() {
    wxWindow* owner = m_pParentWnd;
    if (owner == nullptr && wxTheApp != nullptr) {
        // Without a parent the application's main window owns the dialog, so
        // the dialog opens over it and the main window waits for it.
        owner = wxTheApp->GetTopWindow();
        if (owner == this || (owner != nullptr && !owner->IsShown())) {
            owner = nullptr;
        }
    }
    if (!CreateFromTemplate(owner)) {
        return -1;
    }
    const int result = ShowModal();
    if (result == wxID_OK) {
        return IDOK;
    }
    if (result == wxID_CANCEL) {
        return IDCANCEL;
    }
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate) {
    ++m_transferDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_transferDepth};
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::EndDialog(int result) {
    m_result = result;
    if (IsModal()) {
        EndModal(result);
    } else {
        Hide();
    }
}

void CDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(unsigned id, std::intptr_t /*param*/) {
    if ((id & 0xFFF0u) == SC_CLOSE) {
        Close();
    }
}

bool CDialog::TryBefore(wxEvent& event) {
    if (m_transferDepth > 0 && event.IsCommandEvent() && event.GetEventObject() != this) {
        return true;  // a notification raised by a transfer: ignored
    }
    return wxDialog::TryBefore(event);
}

void CDialog::OnPaintEdges(wxPaintEvent& event) {
    {
        wxPaintDC dc(this);
        const wxPen shadow(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW));
        const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT));
        for (const wxRect& r : m_sunkenEdges) {
            dc.SetPen(shadow);
            dc.DrawLine(r.GetLeft(), r.GetBottom(), r.GetLeft(), r.GetTop());
            dc.DrawLine(r.GetLeft(), r.GetTop(), r.GetRight() + 1, r.GetTop());
            dc.SetPen(light);
            dc.DrawLine(r.GetLeft(), r.GetBottom(), r.GetRight(), r.GetBottom());
            dc.DrawLine(r.GetRight(), r.GetBottom(), r.GetRight(), r.GetTop());
        }
    }
    event.Skip();  // the derived dialog may paint as well
}

void CDialog::SendDefaultCommand() {
    auto* button = dynamic_cast<wxButton*>(GetDefaultItem());
    if (button == nullptr) {
        button = dynamic_cast<wxButton*>(GetDlgItem(IDOK));
    }
    if (button != nullptr) {
        if (button->IsEnabled()) {
            PressButton(button);
        }
        return;
    }
    OnOK();  // no OK button: the command still reaches the dialog
}

void CDialog::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    if (key == WXK_ESCAPE && modifiers == wxMOD_NONE) {
        OnCancel();
        return;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && modifiers == wxMOD_NONE) {
        // A focused push button is pressed; anywhere else Enter gives the
        // dialog's default command.
        auto* focused = dynamic_cast<wxButton*>(FindFocus());
        if (focused != nullptr && focused->GetParent() == this) {
            PressButton(focused);
        } else {
            SendDefaultCommand();
        }
        return;
    }
    if (key == WXK_F1 && modifiers == wxMOD_NONE) {
        // The help request goes from the focused control up to the dialog.
        wxWindow* origin = FindFocus();
        if (origin == nullptr || wxGetTopLevelParent(origin) != this) {
            origin = this;
        }
        wxHelpEvent help(wxEVT_HELP, origin->GetId(), wxDefaultPosition,
                         wxHelpEvent::Origin_Keyboard);
        help.SetEventObject(origin);
        origin->HandleWindowEvent(help);
        return;
    }
    if ((key == WXK_UP || key == WXK_DOWN || key == WXK_LEFT || key == WXK_RIGHT) &&
        modifiers == wxMOD_NONE && MoveInRadioGroup(key == WXK_DOWN || key == WXK_RIGHT)) {
        return;
    }
    if (key == WXK_SPACE && modifiers == wxMOD_ALT && GetSystemMenu(false) != nullptr) {
        ShowSystemMenu(wxPoint(0, 0));
        return;
    }
    event.Skip();
}

bool CDialog::MoveInRadioGroup(bool forward) {
    // Automatic radio buttons: an arrow key moves the focus to the next (or
    // previous) button of the group, round at its ends, and checks it.
    auto* focused = dynamic_cast<wxRadioButton*>(FindFocus());
    if (focused == nullptr || focused->GetParent() != this || m_template == nullptr) {
        return false;
    }
    const std::vector<int> group = RadioGroup(*m_template, focused->GetId());
    const auto here = std::find(group.begin(), group.end(), focused->GetId());
    if (group.size() < 2 || here == group.end()) {
        return false;
    }
    const auto count = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t step = forward ? 1 : count - 1;
    const int nextId = group[static_cast<std::size_t>((here - group.begin() + step) % count)];
    auto* next = dynamic_cast<wxRadioButton*>(GetDlgItem(nextId));
    if (next == nullptr) {
        return false;
    }
    next->SetFocus();
    next->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, next->GetId());
    click.SetEventObject(next);
    click.SetInt(1);
    next->HandleWindowEvent(click);
    return true;
}

void CDialog::OnCloseBox(wxCloseEvent& /*event*/) {
    OnCancel();
}

void CDialog::OnButton(wxCommandEvent& event) {
    if (event.GetId() == wxID_OK) {
        OnOK();
    } else if (event.GetId() == wxID_CANCEL) {
        OnCancel();
    } else {
        event.Skip();
    }
}

wxMenu* CDialog::GetSystemMenu(bool revert) {
    if (m_template == nullptr || (m_template->style & WS_SYSMENU) == 0) {
        return nullptr;
    }
    if (m_sysMenu == nullptr || revert) {
        m_sysMenu = std::make_unique<wxMenu>();
        m_sysMenu->Append(kCloseItemId, wxS("&Chiudi"));
    }
    return m_sysMenu.get();
}

void CDialog::ShowSystemMenu(const wxPoint& pos) {
    wxMenu* menu = GetSystemMenu(false);
    if (menu != nullptr) {
        PopupMenu(menu, pos);
    }
}

void CDialog::OnMenu(wxCommandEvent& event) {
    if (m_sysMenu == nullptr || m_sysMenu->FindItem(event.GetId()) == nullptr) {
        event.Skip();
        return;
    }
    OnSysCommand(GetSysCommand(event.GetId()), 0);
}

unsigned CDialog::GetSysCommand(int menuItemId) const {
    if (menuItemId == kCloseItemId) {
        return SC_CLOSE;
    }
    return static_cast<unsigned>(menuItemId);
}

void CDialog::OnContextMenu(wxContextMenuEvent& event) {
    // A right click on the dialog's own background; clicks on controls and
    // the keyboard's menu key are left to them.
    if (event.GetEventObject() != this || event.GetPosition() == wxDefaultPosition) {
        event.Skip();
        return;
    }
    ShowSystemMenu(ScreenToClient(event.GetPosition()));
}
