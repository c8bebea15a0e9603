#include "shell/cut_list_dlg.h"

#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "core/cut_rows.h"
#include "core/prg_reader.h"
#include "core/text_report.h"
#include "framework/wx/ansi_text.h"
#include "framework/wx/file_dialog.h"
#include "framework/wx/file_drop_target.h"
#include "framework/wx/resource_lookup.h"
#include "framework/wx/row_clipboard.h"
#include "resources/resource.h"
#include "shell/about_box.h"

namespace {
// The load of the file named on the command line, queued by OnInitDialog so
// that it runs inside the dialog's message loop, under its exception guard.
wxDEFINE_EVENT(EVT_OPEN_START_FILE, wxCommandEvent);
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CCutListDlg, CDialog)
    EVT_PAINT(CCutListDlg::OnPaint)
    EVT_BUTTON(IDC_BROWSE, CCutListDlg::OnBrowse)
    EVT_TEXT(IDC_PATH, CCutListDlg::OnPathChanged)
    EVT_BUTTON(IDC_SAVE, CCutListDlg::OnSaveReport)
    EVT_COMMAND(wxID_ANY, EVT_FILE_DROPPED, CCutListDlg::OnFileDropped)
    EVT_COMMAND(wxID_ANY, EVT_OPEN_START_FILE, CCutListDlg::OnOpenStartFile)
    EVT_HELP(wxID_ANY, CCutListDlg::OnHelpInfo)
wxEND_EVENT_TABLE()

// The event table ends without a semicolon, which would make clang-format
// indent the constructor as a continuation: formatting resumes after it.
CCutListDlg::CCutListDlg(wxWindow* parent)
    : CDialog(IDD_MAIN, parent), m_icon(LoadResourceIcon(IDR_MAINFRAME)) {}
// clang-format on

CCutListDlg::~CCutListDlg() = default;

void CCutListDlg::OpenAtStart(std::string path, int format) {
    m_strStartFile = std::move(path);
    m_nStartFormat = format;
}

void CCutListDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_listCtrl);
    DDX_Text(pDX, IDC_PATH, m_strPath);
    DDX_Radio(pDX, IDC_FMT_NEW, m_nFormat);
}

bool CCutListDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The About entry at the end of the system menu.
    if (wxMenu* sysMenu = GetSystemMenu(false); sysMenu != nullptr) {
        const std::string about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            sysMenu->AppendSeparator();
            sysMenu->Append(IDM_ABOUTBOX, wxString::FromUTF8(about.c_str()));
        }
    }

    SetIcons(m_icon);  // big and small icon

    for (int column = 0; column < kCutColumnCount; ++column) {
        m_listCtrl.InsertColumn(column, kCutColumns[column].title, LVCFMT_LEFT,
                                kCutColumns[column].width);
    }

    // Ctrl+C copies the selected rows as tab-separated text, decoded as the
    // list shows them (straight from the rows: asking the list window for
    // each cell costs twenty times more); Ctrl+A selects every row.
    if (CListView* view = m_listCtrl.GetView(); view != nullptr) {
        std::vector<std::string> titles;
        for (const CutColumn& column : kCutColumns) {
            titles.emplace_back(column.title);
        }
        BindRowCopyKeys(*view, std::move(titles), [this](int row, int column) {
            return m_listCtrl.GetCellView(row, column);
        });
    }
    // A file dropped on the dialog loads as one chosen with "Sfoglia". The
    // path field gets the same target, or the text entry would take the drop
    // as typed text.
    SetDropTarget(new CFileDropTarget(*this));
    if (wxWindow* path = GetDlgItem(IDC_PATH); path != nullptr) {
        path->SetDropTarget(new CFileDropTarget(*this));
    }

    m_nFormat = kFormatNew;
    UpdateData(false);

    if (!m_strStartFile.empty()) {
        // The user's part: the layout's radio button checked, then the file
        // chosen once the dialog runs.
        m_nFormat = m_nStartFormat;
        UpdateData(false);
        CallAfter([this] {
            wxCommandEvent open(EVT_OPEN_START_FILE);
            // A failed read is reported as for any command (a plain call
            // would let the exception escape the queue of calls).
            SafelyProcessEvent(open);
        });
    }
    return true;
}

void CCutListDlg::OnSysCommand(unsigned id, std::intptr_t param) {
    if ((id & 0xFFF0u) == static_cast<unsigned>(IDM_ABOUTBOX)) {
        CAboutBox dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(id, param);
    }
}

void CCutListDlg::OnPaint(wxPaintEvent& event) {
    if (!IsIconized()) {
        event.Skip();
        return;
    }
    // Minimised: the icon centred in the client area.
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    const int iconWidth = wxSystemSettings::GetMetric(wxSYS_ICON_X, this);
    const int iconHeight = wxSystemSettings::GetMetric(wxSYS_ICON_Y, this);
    const wxSize client = GetClientSize();
    const int x = (client.GetWidth() - iconWidth + 1) / 2;
    const int y = (client.GetHeight() - iconHeight + 1) / 2;
    dc.DrawIcon(m_icon.GetIcon(wxSize(iconWidth, iconHeight)), x, y);
}

void CCutListDlg::OnBrowse(wxCommandEvent& /*event*/) {
    UpdateData(true);

    const std::string filter = std::string("TRESK") + " (" + "*.PRG" + ")|" + "*.PRG" + "|" +
                               "Tutti i files" + " (*.*)|*.*||";
    CFileDialog dlg(true, "*.PRG", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter.c_str(),
                    this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    m_strPath = dlg.GetPathName();
    UpdateData(false);

    const wxBusyCursor busy;
    LoadCutList(m_strPath, m_nFormat, m_listCtrl);
}

void CCutListDlg::OnPathChanged(wxCommandEvent& /*event*/) {
    // The stored path and layout, not the text being typed: the typed text
    // becomes the path only at the next "Sfoglia".
    const wxBusyCursor busy;
    LoadCutList(m_strPath, m_nFormat, m_listCtrl);
}

void CCutListDlg::OnSaveReport(wxCommandEvent& /*event*/) {
    // No options: an existing report is replaced without a question, as the
    // workshop's routine of saving over "file.txt" expects.
    CFileDialog dlg(false, "*.txt", "file.txt", 0, nullptr, this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const wxBusyCursor busy;
    SaveTextReport(m_listCtrl, dlg.GetPathName());
}

void CCutListDlg::OnFileDropped(wxCommandEvent& event) {
    OpenAsChosen(ToAnsi(event.GetString()));
}

void CCutListDlg::OnOpenStartFile(wxCommandEvent& /*event*/) {
    OpenAsChosen(m_strStartFile);
}

void CCutListDlg::OpenAsChosen(const std::string& path) {
    // What "Sfoglia" does once its dialog returned the file: the controls'
    // values first, then the path stored and shown (the field's change
    // notification during the transfer starts no load), then one load in the
    // checked layout.
    UpdateData(true);
    m_strPath = path;
    UpdateData(false);

    const wxBusyCursor busy;
    LoadCutList(m_strPath, m_nFormat, m_listCtrl);
}

void CCutListDlg::OnHelpInfo(wxHelpEvent& /*event*/) {
    // No help file belongs to the program: a help request (F1) shows what
    // the program says about itself, the About box of the system menu.
    OnSysCommand(static_cast<unsigned>(IDM_ABOUTBOX), 0);
}
