#include "framework/wx/dialog.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "framework/app_resources.h"
#include "framework/list_ctrl.h"
#include "framework/win_app.h"
#include "framework/window_backend.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/file_drop_target.h"
#include "framework/wx/list_ctrl.h"

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

// The system menu as the application extends it.
class CSystemMenu final : public CMenu {
public:
    explicit CSystemMenu(wxMenu& menu) : m_menu(&menu) {}

    bool AppendMenu(unsigned nFlags, unsigned nIDNewItem, const char* lpszNewItem) override {
        if ((nFlags & MF_SEPARATOR) != 0) {
            m_menu->AppendSeparator();
            return true;
        }
        return m_menu->Append(static_cast<int>(nIDNewItem),
                              FromAnsi(lpszNewItem != nullptr ? lpszNewItem : "")) != nullptr;
    }

private:
    wxMenu* m_menu;
};

// The menu identifier of "Chiudi": SC_CLOSE itself is out of the toolkit's
// range, and the stock close identifier would show a shortcut that this
// dialog does not have.
constexpr int kCloseItemId = 0x7F60;

bool Has(std::uint32_t style, long flags) {
    return (style & static_cast<std::uint32_t>(flags)) == static_cast<std::uint32_t>(flags);
}

// The frame a template's window styles ask for.
long FrameStyle(std::uint32_t s, bool hasParent) {
    long style = 0;
    if (Has(s, WS_CAPTION)) {
        style |= wxCAPTION;
    }
    if (Has(s, WS_SYSMENU)) {
        style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    }
    if (Has(s, WS_THICKFRAME)) {
        style |= wxRESIZE_BORDER;
    }
    if (Has(s, WS_MINIMIZEBOX)) {
        style |= wxMINIMIZE_BOX;
    }
    if (Has(s, WS_MAXIMIZEBOX)) {
        style |= wxMAXIMIZE_BOX;
    }
    if (!hasParent) {
        style |= wxDIALOG_NO_PARENT;
    }
    return style;
}

void PressButton(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->HandleWindowEvent(click);
}

}  // namespace

wxDEFINE_EVENT(EVT_POSTED_COMMAND, wxCommandEvent);

wxWindow* AfxWindowOf(const CWnd* wnd) {
    return wnd != nullptr ? wnd->GetSafeHwnd() : nullptr;
}

wxWindow* AfxGetMainWindow() {
    return AfxWindowOf(AfxGetMainWnd());
}

CDialogWindow* AfxNewDialogWindow(CDialog& dlg) {
    return new CDialogWindow(dlg);
}

bool AfxCreateModelessWindow(CDialogWindow& window, CWnd* pOwner) {
    return window.CreateModeless(AfxWindowOf(pOwner));
}

int AfxRunModalWindow(CDialogWindow& window, CWnd* pOwner) {
    if (!window.CreateModeless(AfxWindowOf(pOwner))) {
        return -1;
    }
    const int result = window.ShowModal();
    if (result == wxID_OK) {
        return IDOK;
    }
    if (result == wxID_CANCEL) {
        return IDCANCEL;
    }
    return result;
}

void AfxEndDialogWindow(CDialogWindow& window, int result) {
    if (window.IsModal()) {
        window.EndModal(result);
    } else {
        window.Hide();
    }
}

bool AfxIsWindowShown(const CDialogWindow& window) {
    return window.IsShown();
}

CDialogWindowBase& AfxWindowBase(CDialogWindow& window) {
    return window;
}

CListView* AfxFindListView(const CDialogWindow& window, int id) {
    return dynamic_cast<CListView*>(window.GetDlgItem(id));
}

bool AfxGetEditText(const CDialogWindow& window, int id, std::string& text) {
    auto* field = dynamic_cast<wxTextCtrl*>(window.GetDlgItem(id));
    if (field == nullptr) {
        return false;
    }
    text = ToAnsi(field->GetValue());
    return true;
}

bool AfxGetEditTextUtf8(const CDialogWindow& window, int id, std::string& text) {
    // The program's 8-bit texts are UTF-8 on this back end already.
    return AfxGetEditText(window, id, text);
}

void AfxSetEditText(CDialogWindow& window, int id, const std::string& text) {
    auto* field = dynamic_cast<wxTextCtrl*>(window.GetDlgItem(id));
    const wxString value = FromAnsi(text);
    if (field != nullptr && field->GetValue() != value) {
        field->ChangeValue(value);  // without a change notification
    }
}

bool AfxGetRadioCheck(const CDialogWindow& window, int id) {
    auto* button = dynamic_cast<wxRadioButton*>(window.GetDlgItem(id));
    return button != nullptr && button->GetValue();
}

void AfxSetRadioCheck(CDialogWindow& window, int id, bool checked) {
    if (auto* button = dynamic_cast<wxRadioButton*>(window.GetDlgItem(id)); button != nullptr) {
        button->SetValue(checked);
    }
}

void AfxShowWindow(CDialogWindow& window, bool show) {
    window.Show(show);
    if (show) {
        window.Raise();
    }
}

void AfxGotoDlgCtrl(CDialogWindow& window, int id) {
    wxWindow* control = window.GetDlgItem(id);
    if (control == nullptr) {
        return;
    }
    control->SetFocus();
    if (auto* field = dynamic_cast<wxTextCtrl*>(control); field != nullptr) {
        field->SelectAll();
    }
}

bool AfxIsWindowIconic(const CDialogWindow& window) {
    return window.IsIconized();
}

CRect AfxGetWindowClientRect(const CDialogWindow& window) {
    const wxSize size = window.GetClientSize();
    return CRect{0, 0, size.GetWidth(), size.GetHeight()};
}

void AfxSetWindowIcon(CDialogWindow& window, const CIconImages& images, bool /*bBigIcon*/) {
    // The toolkit takes every size at once and picks big and small itself.
    window.SetIcons(images.icons);
}

CMenu* AfxGetWindowSystemMenu(CDialogWindow& window, bool bRevert) {
    return window.GetSystemCMenu(bRevert);
}

void AfxDragAcceptFiles(CDialogWindow& window, bool bAccept) {
    window.AcceptFiles(bAccept);
}

void AfxPostCommand(CDialogWindow& window, int id) {
    window.PostCommand(id);
}

void AfxDefaultProcessing(CDialogWindow& window) {
    window.Default();
}

class CPaintDC::Impl {
public:
    explicit Impl(wxWindow& window) : m_window(window), m_dc(&window) {}

    wxWindow& m_window;
    wxPaintDC m_dc;
};

CPaintDC::Impl* AfxBeginPaint(CDialogWindow& window) {
    return new CPaintDC::Impl(window);
}

void AfxEndPaint(CPaintDC::Impl* paint) {
    delete paint;
}

void AfxEraseBackground(CPaintDC::Impl& paint) {
    paint.m_dc.SetBackground(wxBrush(paint.m_window.GetBackgroundColour()));
    paint.m_dc.Clear();
}

void AfxDrawIcon(CPaintDC::Impl& paint, int x, int y, const CIconImages& images) {
    const int width = wxSystemSettings::GetMetric(wxSYS_ICON_X, &paint.m_window);
    const int height = wxSystemSettings::GetMetric(wxSYS_ICON_Y, &paint.m_window);
    paint.m_dc.DrawIcon(images.icons.GetIcon(wxSize(width, height)), x, y);
}

CSize AfxGetIconSize(const CDialogWindow* window) {
    return CSize{wxSystemSettings::GetMetric(wxSYS_ICON_X, window),
                 wxSystemSettings::GetMetric(wxSYS_ICON_Y, window)};
}

void AfxBeginWaitCursor() {
    wxBeginBusyCursor();
}

void AfxEndWaitCursor() {
    wxEndBusyCursor();
}

CIcon AfxLoadIcon(int nIDResource) {
    const AfxIconResource* resource = AfxFindIconResource(nIDResource);
    if (resource == nullptr) {
        return CIcon();
    }
    // The images are PNG files, which the toolkit reads through its handler.
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    auto images = std::make_shared<CIconImages>();
    for (const std::span<const unsigned char> png : resource->pngImages) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap::NewFromPNGData(png.data(), png.size()));
        if (icon.IsOk()) {
            images->icons.AddIcon(icon);
        }
    }
    return CIcon(std::move(images));
}

CDialogWindow::CDialogWindow(CDialog& owner)
    : CDialogWindowBase(owner), m_template(owner.GetTemplate()) {}

CDialogWindow::~CDialogWindow() = default;

int CDialogWindow::ToWindowId(int dialogId) {
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

int CDialogWindow::FromWindowId(int windowId) {
    switch (windowId) {
        case wxID_OK:
            return IDOK;
        case wxID_CANCEL:
            return IDCANCEL;
        default:
            return windowId;
    }
}

wxWindow* CDialogWindow::GetDlgItem(int id) const {
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

bool CDialogWindow::CreateModeless(wxWindow* parent) {
    if (!Build(parent)) {
        return false;
    }
    m_owner->OnInitDialog();
    if (parent != nullptr) {
        CentreOnParent();
    } else {
        CentreOnScreen();
    }
    return true;
}

bool CDialogWindow::Build(wxWindow* parent) {
    if (m_template == nullptr) {
        return false;
    }
    if (GetHandle() != nullptr) {
        return true;
    }
    if (!wxDialog::Create(parent, wxID_ANY, FromAnsi(m_template->title), wxDefaultPosition,
                          wxDefaultSize, FrameStyle(m_template->style, parent != nullptr))) {
        return false;
    }
    // The template's font: the system's dialog font family at the given size.
    // Dialog units are measured in it, so it is set before anything is placed.
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPointSize(m_template->fontPoints);
    SetFont(font);
    SetClientSize(ConvertDialogToPixels(wxSize(m_template->cx, m_template->cy)));
    for (const DlgControl& control : m_template->controls) {
        CreateControl(control);
    }
    BindEvents();
    return true;
}

void CDialogWindow::BindEvents() {
    Bind(wxEVT_CHAR_HOOK, &CDialogWindow::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDialogWindow::OnCloseBox, this);
    Bind(wxEVT_BUTTON, &CDialogWindow::OnButton, this);
    Bind(wxEVT_TEXT, &CDialogWindow::OnText, this);
    Bind(wxEVT_PAINT, &CDialogWindow::OnPaint, this);
    Bind(wxEVT_MENU, &CDialogWindow::OnMenu, this);
    Bind(wxEVT_CONTEXT_MENU, &CDialogWindow::OnContextMenu, this);
    Bind(EVT_FILE_DROPPED, &CDialogWindow::OnFileDropped, this);
    Bind(EVT_POSTED_COMMAND, &CDialogWindow::OnPostedCommand, this);
}

void CDialogWindow::CreateControl(const DlgControl& c) {
    const wxPoint pos = ConvertDialogToPixels(wxPoint(c.x, c.y));
    const wxSize size = ConvertDialogToPixels(wxSize(c.cx, c.cy));
    const int id = ToWindowId(c.id);
    const wxString text = FromAnsi(c.text != nullptr ? c.text : "");
    switch (c.kind) {
        case DlgControlKind::label:
            CreateLabel(c, wxRect(pos, size), text);
            break;
        case DlgControlKind::edit:
            new wxTextCtrl(this, id, text, pos, size, Has(c.style, WS_BORDER) ? 0 : wxBORDER_NONE);
            break;
        case DlgControlKind::pushButton:
            if (auto* button = new wxButton(this, id, text, pos, size);
                Has(c.style, BS_DEFPUSHBUTTON)) {
                button->SetDefault();
            }
            break;
        case DlgControlKind::radioButton:
            new CRadioButton(this, id, text, pos, size, Has(c.style, WS_GROUP) ? wxRB_GROUP : 0,
                             Has(c.style, WS_TABSTOP));
            break;
        case DlgControlKind::groupBox:
            new wxStaticBox(this, id, text, pos, size);
            break;
        case DlgControlKind::listView: {
            long style = Has(c.style, WS_BORDER) ? wxBORDER_THEME : wxBORDER_NONE;
            if (Has(c.style, LVS_SINGLESEL)) {
                style |= wxLC_SINGLE_SEL;
            }
            new CListView(this, id, pos, size, style, Has(c.style, LVS_SHOWSELALWAYS),
                          !Has(c.style, LVS_NOSORTHEADER));
            break;
        }
        case DlgControlKind::icon:
            CreateIcon(c, pos);
            break;
    }
}

void CDialogWindow::CreateLabel(const DlgControl& c, wxRect rect, const wxString& text) {
    if (Has(c.style, SS_SUNKEN)) {
        m_sunkenEdges.push_back(rect);
        rect.Deflate(2, 1);  // the text sits inside the edge
    }
    auto* label = new wxStaticText(this, ToWindowId(c.id), wxString(), rect.GetPosition(),
                                   rect.GetSize(), wxST_NO_AUTORESIZE | wxALIGN_LEFT);
    if (Has(c.style, SS_NOPREFIX)) {
        label->SetLabelText(text);
    } else {
        label->SetLabel(text);
    }
}

void CDialogWindow::CreateIcon(const DlgControl& c, const wxPoint& pos) {
    // An icon control takes the size of its icon.
    const CIcon icon = AfxLoadIcon(c.iconId);
    const wxIcon image =
        icon.GetImages() != nullptr
            ? icon.GetImages()->icons.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NEAREST_LARGER)
            : wxIcon();
    new wxStaticBitmap(this, ToWindowId(c.id), image, pos);
}

void CDialogWindow::Dispatch(AfxMsg message, int id, AfxMsgParams& params, wxEvent* event) {
    if (DispatchToOwner(message, id, params, event) == AfxDispatchResult::unmapped) {
        DefaultProcessing(AfxCurrentMessage{message, &params, event, false});
    }
}

void CDialogWindow::Default() {
    if (m_current.params != nullptr) {
        DefaultProcessing(m_current);
    }
}

void CDialogWindow::DefaultProcessing(const AfxCurrentMessage& message) {
    switch (message.message) {
        case AfxMsg::sysCommand:
            if ((message.params->nID & 0xFFF0u) == SC_CLOSE) {
                Close();
            }
            break;
        case AfxMsg::buttonClicked:
        case AfxMsg::editChange:
        case AfxMsg::paint:
            if (message.event != nullptr) {
                static_cast<wxEvent*>(message.event)->Skip();  // the toolkit's own handling
            }
            break;
        case AfxMsg::end:
        case AfxMsg::command:
        case AfxMsg::queryDragIcon:
        case AfxMsg::dropFiles:
        case AfxMsg::helpInfo:
            break;
    }
}

bool CDialogWindow::TryBefore(wxEvent& event) {
    if (m_owner != nullptr && m_owner->IsInTransfer() && event.IsCommandEvent() &&
        event.GetEventObject() != this) {
        return true;  // a notification raised by a transfer: ignored
    }
    return wxDialog::TryBefore(event);
}

void CDialogWindow::OnButton(wxCommandEvent& event) {
    AfxMsgParams params;
    Dispatch(AfxMsg::buttonClicked, FromWindowId(event.GetId()), params, &event);
}

void CDialogWindow::OnText(wxCommandEvent& event) {
    AfxMsgParams params;
    Dispatch(AfxMsg::editChange, FromWindowId(event.GetId()), params, &event);
}

void CDialogWindow::OnPaint(wxPaintEvent& event) {
    if (!m_sunkenEdges.empty()) {
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
    // The dialog may paint as well (its icon while minimised).
    AfxMsgParams params;
    Dispatch(AfxMsg::paint, 0, params, &event);
}

void CDialogWindow::OnFileDropped(wxCommandEvent& event) {
    AfxMsgParams params;
    params.strPath = ToAnsi(event.GetString());
    Dispatch(AfxMsg::dropFiles, 0, params, &event);
}

void CDialogWindow::AcceptFiles(bool accept) {
    if (accept == m_acceptFiles) {
        return;
    }
    m_acceptFiles = accept;
    // An edit field gets the same target, or the text entry would take the
    // drop as typed text.
    SetDropTarget(accept ? new CFileDropTarget(*this) : nullptr);
    for (wxWindow* child : GetChildren()) {
        if (dynamic_cast<wxTextCtrl*>(child) != nullptr) {
            child->SetDropTarget(accept ? new CFileDropTarget(*this) : nullptr);
        }
    }
}

void CDialogWindow::SendDefaultCommand() {
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
    // No OK button: the command still reaches the dialog.
    AfxMsgParams params;
    Dispatch(AfxMsg::buttonClicked, IDOK, params);
}

void CDialogWindow::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    if (key == WXK_ESCAPE && modifiers == wxMOD_NONE) {
        AfxMsgParams params;
        Dispatch(AfxMsg::buttonClicked, IDCANCEL, params);
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
    // A key of the dialog's accelerator table, from whichever control has
    // the focus.
    if (const int command = AcceleratorCommand(event); command != 0) {
        AfxMsgParams params;
        Dispatch(AfxMsg::command, command, params, &event);
        return;
    }
    if (key == WXK_F1 && modifiers == wxMOD_NONE) {
        // A help request, from whichever control has the focus.
        AfxMsgParams params;
        Dispatch(AfxMsg::helpInfo, 0, params);
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

int CDialogWindow::AcceleratorCommand(const wxKeyEvent& event) const {
    if (GetOwner() == nullptr) {
        return 0;
    }
    // The toolkit's codes of letters and digits are the virtual-key codes;
    // function keys have their own.
    int key = event.GetKeyCode();
    if (key >= WXK_F1 && key <= WXK_F12) {
        key = VK_F1 + (key - WXK_F1);
    } else if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        return 0;
    }
    const int modifiers = event.GetModifiers();
    unsigned flags = 0;
    flags |= (modifiers & wxMOD_CONTROL) != 0 ? FCONTROL : 0u;
    flags |= (modifiers & wxMOD_SHIFT) != 0 ? FSHIFT : 0u;
    flags |= (modifiers & wxMOD_ALT) != 0 ? FALT : 0u;
    return GetOwner()->TranslateAccelerator(key, flags);
}

bool CDialogWindow::MoveInRadioGroup(bool forward) {
    // Automatic radio buttons: an arrow key moves the focus to the next (or
    // previous) button of the group, round at its ends, and checks it.
    auto* focused = dynamic_cast<wxRadioButton*>(FindFocus());
    if (focused == nullptr || focused->GetParent() != this || m_template == nullptr) {
        return false;
    }
    const std::vector<int> group = AfxRadioGroup(*m_template, focused->GetId());
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

void CDialogWindow::PostCommand(int id) {
    // The command runs from the event loop, processed as a control's event
    // is, so an exception its handler throws reaches the application's guard
    // (a plain call would let it escape the queue of calls).
    CallAfter([this, id] {
        wxCommandEvent command(EVT_POSTED_COMMAND, id);
        command.SetEventObject(this);
        SafelyProcessEvent(command);
    });
}

void CDialogWindow::OnPostedCommand(wxCommandEvent& event) {
    AfxMsgParams params;
    Dispatch(AfxMsg::command, event.GetId(), params, &event);
}

void CDialogWindow::OnCloseBox(wxCloseEvent& /*event*/) {
    AfxMsgParams params;
    Dispatch(AfxMsg::buttonClicked, IDCANCEL, params);
}

wxMenu* CDialogWindow::GetSystemMenu(bool revert) {
    if (m_template == nullptr || !Has(m_template->style, WS_SYSMENU)) {
        return nullptr;
    }
    if (m_sysMenu == nullptr || revert) {
        m_sysMenu = std::make_unique<wxMenu>();
        m_sysMenu->Append(kCloseItemId, wxS("&Chiudi"));
        m_sysCMenu = std::make_unique<CSystemMenu>(*m_sysMenu);
    }
    return m_sysMenu.get();
}

CMenu* CDialogWindow::GetSystemCMenu(bool revert) {
    return GetSystemMenu(revert) != nullptr ? m_sysCMenu.get() : nullptr;
}

void CDialogWindow::ShowSystemMenu(const wxPoint& pos) {
    wxMenu* menu = GetSystemMenu(false);
    if (menu != nullptr) {
        PopupMenu(menu, pos);
    }
}

void CDialogWindow::OnMenu(wxCommandEvent& event) {
    if (m_sysMenu == nullptr || m_sysMenu->FindItem(event.GetId()) == nullptr) {
        event.Skip();
        return;
    }
    AfxMsgParams params;
    params.nID = GetSysCommand(event.GetId());
    Dispatch(AfxMsg::sysCommand, 0, params, &event);
}

unsigned CDialogWindow::GetSysCommand(int menuItemId) const {
    if (menuItemId == kCloseItemId) {
        return SC_CLOSE;
    }
    return static_cast<unsigned>(menuItemId);
}

void CDialogWindow::OnContextMenu(wxContextMenuEvent& event) {
    // A right click on the dialog's own background; clicks on controls and
    // the keyboard's menu key are left to them.
    if (event.GetEventObject() != this || event.GetPosition() == wxDefaultPosition) {
        event.Skip();
        return;
    }
    ShowSystemMenu(ScreenToClient(event.GetPosition()));
}
