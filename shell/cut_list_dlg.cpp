#include "shell/cut_list_dlg.h"

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "core/cut_rows.h"
#include "core/layout_detect.h"
#include "core/prg_reader.h"
#include "core/report_pages.h"
#include "core/text_report.h"
#include "core/xlsx_workbook.h"
#include "framework/app_resources.h"
#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "framework/print_job.h"
#include "platform/file.h"
#include "resources/resource.h"
#include "shell/about_box.h"

namespace {

// text with %1, %2, ... replaced by the arguments in order, in one pass: a
// path that holds "%2" stays as it is.
std::string FormatText(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && static_cast<std::size_t>(next - '1') < args.size()) {
            out += args.begin()[next - '1'];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CCutListDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BROWSE, &CCutListDlg::OnBrowse)
    ON_EN_CHANGE(IDC_PATH, &CCutListDlg::OnPathChanged)
    ON_BN_CLICKED(IDC_SAVE, &CCutListDlg::OnSaveReport)
    ON_WM_DROPFILES()
    ON_WM_HELPINFO()
    ON_COMMAND(IDM_OPEN_START_FILE, &CCutListDlg::OnOpenStartFile)
    ON_COMMAND(IDM_PRINT, &CCutListDlg::OnPrint)
    ON_COMMAND(IDM_EXPORT_XLSX, &CCutListDlg::OnExportWorkbook)
    ON_COMMAND(IDM_LIST_COPY, &CCutListDlg::OnListCopy)
    ON_COMMAND(IDM_LIST_SELECT_ALL, &CCutListDlg::OnListSelectAll)
    ON_COMMAND(IDM_FIND, &CCutListDlg::OnFind)
    ON_COMMAND(IDM_FIND_NEXT, &CCutListDlg::OnFindNext)
END_MESSAGE_MAP()
// clang-format on

CCutListDlg::CCutListDlg(CWnd* pParent)
    : CDialog(IDD_MAIN, pParent), m_icon(AfxLoadIcon(IDR_MAINFRAME)) {}

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
    if (CMenu* pSysMenu = GetSystemMenu(false); pSysMenu != nullptr) {
        const std::string strAboutMenu = AfxLoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.empty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu.c_str());
        }
    }

    SetIcon(m_icon, true);   // big icon
    SetIcon(m_icon, false);  // small icon

    for (int column = 0; column < kCutColumnCount; ++column) {
        m_listCtrl.InsertColumn(column, kCutColumns[column].title, LVCFMT_LEFT,
                                kCutColumns[column].width);
    }
    // Ctrl+C copies the selected rows as tab-separated text, Ctrl+A selects
    // every row.
    m_listCtrl.EnableRowCopy();
    // The list's menu (copy, select all, find, print, export), and the keys
    // of the dialog: Ctrl+F, F3, Ctrl+P, Ctrl+E.
    m_listCtrl.SetContextMenu(IDR_LIST_MENU);
    LoadAccelTable(IDR_MAINFRAME);
    // A file dropped on the dialog loads as one chosen with "Sfoglia".
    DragAcceptFiles();

    m_nFormat = kFormatNew;
    UpdateData(false);

    if (!m_strStartFile.empty()) {
        // The user's part: the layout's radio button checked, then the file
        // chosen once the dialog runs, inside its message loop and so under
        // its exception guard.
        m_nFormat = m_nStartFormat;
        UpdateData(false);
        PostCommand(IDM_OPEN_START_FILE);
    }
    return true;
}

void CCutListDlg::OnSysCommand(unsigned nID, std::intptr_t lParam) {
    if ((nID & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutBox dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CCutListDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    // Minimised: the icon centred in the client area.
    CPaintDC dc(this);
    dc.EraseBackground();
    const CSize icon = AfxGetSystemIconSize(this);
    const CRect rect = GetClientRect();
    const int x = (rect.Width() - icon.cx + 1) / 2;
    const int y = (rect.Height() - icon.cy + 1) / 2;
    dc.DrawIcon(x, y, m_icon);
}

CIcon CCutListDlg::OnQueryDragIcon() {
    return m_icon;
}

void CCutListDlg::OnBrowse() {
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
    LoadChosenFile();
}

void CCutListDlg::OnPathChanged() {
    // The stored path and layout, not the text being typed: the typed text
    // becomes the path only at the next "Sfoglia".
    const CWaitCursor wait;
    LoadCutList(m_strPath, m_nFormat, m_listCtrl);
}

void CCutListDlg::OnSaveReport() {
    // No options: an existing report is replaced without a question, as the
    // workshop's routine of saving over "file.txt" expects.
    CFileDialog dlg(false, "*.txt", "file.txt", 0, nullptr, this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const CWaitCursor wait;
    SaveTextReport(m_listCtrl.Rows(), dlg.GetPathName());
}

namespace {

// The report of the list laid out for the printer's page.
class CReportPrintSource final : public CPrintSource {
public:
    CReportPrintSource(const MemoryCutRowTable& rows, std::string fileName, int format)
        : m_rows(rows), m_fileName(std::move(fileName)), m_format(format) {}

    int Paginate(int linesPerPage) override {
        m_pages.emplace(m_rows, linesPerPage, m_fileName, m_format);
        return m_pages->GetPageCount();
    }
    void GetPage(int index, ReportPage& page) override { m_pages->GetPage(index, page); }

private:
    const MemoryCutRowTable& m_rows;
    std::string m_fileName;
    int m_format;
    std::optional<CReportPages> m_pages;
};

// The report's line width, which the printed line fills.
constexpr int kReportColumns = 120;

}  // namespace

void CCutListDlg::OnPrint() {
    // The footer names the list that was loaded, in the layout it was read in.
    CReportPrintSource source(m_listCtrl.Rows(), ReportFileName(m_strPath), m_nFormat);
    const PrintResult result =
        AfxPrintPages(this, "TreskViewer - " + ReportFileName(m_strPath), source, kReportColumns);
    if (result.outcome == PrintResult::failed) {
        AfxMessageBox("Stampa non riuscita: " + result.reason, MB_OK | MB_ICONSTOP);
    }
}

void CCutListDlg::OnExportWorkbook() {
    const std::string name = m_strPath.substr(m_strPath.find_last_of("/\\") + 1);
    const std::string proposed = (name.empty() ? std::string("lista") : name) + ".xlsx";
    CFileDialog dlg(false, "xlsx", proposed.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Cartella di lavoro Excel (*.xlsx)|*.xlsx||", this);
    if (dlg.DoModal() != IDOK) {
        return;
    }
    const CWaitCursor wait;
    SaveWorkbook(m_listCtrl.Rows(), dlg.GetPathName(), WorkbookSheetNameOfPath(m_strPath));
}

void CCutListDlg::OnDropFiles(const std::string& strPath) {
    OpenAsChosen(strPath);
}

void CCutListDlg::OnOpenStartFile() {
    // As "Sfoglia" would open it, except that a file named on the command
    // line that cannot be opened is not passed over in silence: the user
    // typed that name, and an empty list would read as an empty cut list.
    UpdateData(true);
    m_strPath = m_strStartFile;
    UpdateData(false);
    CFileException openError;
    bool opened = false;
    {
        const CWaitCursor wait;
        opened = LoadCutListChecked(m_strPath, m_nFormat, m_listCtrl, &openError);
    }
    if (!opened) {
        throw openError;  // the message of its cause, then the empty dialog
    }
    OfferFittingLayout();
}

void CCutListDlg::OpenAsChosen(const std::string& path) {
    // What "Sfoglia" does once its dialog returned the file: the controls'
    // values first, then the path stored and shown (the field's change
    // notification during the transfer starts no load), then one load in the
    // checked layout.
    UpdateData(true);
    m_strPath = path;
    UpdateData(false);
    LoadChosenFile();
}

void CCutListDlg::LoadChosenFile() {
    {
        const CWaitCursor wait;
        LoadCutList(m_strPath, m_nFormat, m_listCtrl);
    }
    OfferFittingLayout();
}

void CCutListDlg::OfferFittingLayout() {
    // The file carries no sign of its layout: when it does not read cleanly
    // in the checked one but does in exactly one other, the user is asked,
    // never switched silently. Not after the reloads of the path field: they
    // would ask at every keystroke.
    int advised = -1;
    {
        const CWaitCursor wait;
        advised = AdvisedLayoutForFile(m_strPath, m_nFormat);
    }
    if (advised < 0) {
        return;
    }
    const std::string question =
        FormatText(SystemText(AfxLoadString(IDS_OTHER_LAYOUT)),
                   {m_strPath, LayoutOf(m_nFormat).title, kPrgLayouts[advised].title});
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDYES) {
        return;
    }
    // As if the user had checked it before "Sfoglia".
    m_nFormat = advised;
    UpdateData(false);
    const CWaitCursor wait;
    LoadCutList(m_strPath, m_nFormat, m_listCtrl);
}

void CCutListDlg::OnFind() {
    if (m_pFindDlg == nullptr) {
        // Once it is closed the list has the keyboard, and so shows the row
        // found selected, ready for Ctrl+C.
        auto dlg = std::make_unique<CFindDlg>([this](const CFindText& text) { FindNext(text); },
                                              [this] {
                                                  ShowWindow(SW_SHOW);
                                                  GotoDlgCtrl(IDC_LIST);
                                              },
                                              this);
        if (!dlg->CreateFromTemplate(this)) {
            return;
        }
        m_pFindDlg = std::move(dlg);
    }
    m_pFindDlg->ShowWindow(SW_SHOW);
    m_pFindDlg->GotoDlgCtrl(IDC_FIND_TEXT);
}

void CCutListDlg::OnFindNext() {
    if (m_lastFind.typed.empty()) {
        OnFind();  // nothing looked for yet: F3 asks what
        return;
    }
    FindNext(m_lastFind);
}

void CCutListDlg::FindNext(const CFindText& text) {
    if (text.typed.empty()) {
        return;
    }
    m_lastFind = text;
    // From the row after the focused one down, then on from the top. The
    // keyboard stays in the find dialog, ready for the next code.
    const int row =
        text.inCodePage ? m_listCtrl.Rows().FindRow(text.cells, m_listCtrl.GetFocusedItem()) : -1;
    if (row < 0) {
        // Over "Trova" when it is open, so that the keyboard goes back to its
        // field, not to the dialog where Enter would end the program.
        CWnd* owner = m_pFindDlg != nullptr && m_pFindDlg->IsWindowVisible()
                          ? static_cast<CWnd*>(m_pFindDlg.get())
                          : this;
        owner->MessageBox(FormatText(SystemText(AfxLoadString(IDS_NOT_FOUND)), {text.typed}),
                          nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_listCtrl.SelectOnlyItem(row);
}

void CCutListDlg::OnListCopy() {
    m_listCtrl.CopySelectedRows();
}

void CCutListDlg::OnListSelectAll() {
    m_listCtrl.SelectAllRows();
}

void CCutListDlg::OnHelpInfo() {
    // No help file belongs to the program: a help request (F1) shows what
    // the program says about itself, the About box of the system menu.
    OnSysCommand(IDM_ABOUTBOX, 0);
}
