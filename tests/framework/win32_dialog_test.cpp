// The Win32 back end's dialogs, made by the system itself: the in-memory
// template (a word out of place, such as a string's end, the 32-bit alignment
// of each control or the font block, shows as a missing or wrong control),
// the exceptions that must not unwind through the system's code, the
// system-modal box that reports exhausted memory while the dialog goes on, the
// owner-data list and its columns at the screen's DPI, a file drop, and the
// box that shows the command line's texts.
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "framework/app_resources.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/list_ctrl.h"
#include "framework/win32/dialog.h"
#include "framework/win32/dialog_template_memory.h"
#include "framework/win32/list_ctrl.h"
#include "framework/win32/win_defs.h"
#include "framework/win_app.h"

#include <shlobj.h>  // DROPFILES

namespace {

using K = DlgControlKind;

// Titles of odd and even lengths, so that controls start both right after a
// string and after a padding word.
// clang-format off
const DlgTemplate kTemplate = {
    42,
    "Prova àè",
    0, 0, 200, 120,
    "MS Sans Serif", 8,
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW,
    {
        {K::label, IDC_STATIC, "Etichetta", 4, 4, 80, 10, SS_SUNKEN | WS_GROUP},
        {K::edit, 11, "", 4, 16, 80, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {K::pushButton, 12, "Sfoglia", 90, 16, 40, 14, WS_TABSTOP},
        {K::listView, 13, "", 4, 60, 190, 50, LVS_REPORT | WS_BORDER | WS_TABSTOP},
        {K::radioButton, 14, "Uno", 4, 34, 40, 10, WS_GROUP},
        {K::radioButton, 15, "Due", 50, 34, 40, 10, 0},
        {K::groupBox, IDC_STATIC, "Gruppo", 2, 28, 140, 28, 0},
        {K::icon, 16, "", 150, 4, 20, 20, 0, 128},
        {K::pushButton, IDOK, "OK", 150, 30, 40, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
    },
};
// A modeless dialog with a default button, as the find dialog is.
const DlgTemplate kModelessTemplate = {
    43,
    "Cerca",
    0, 0, 100, 40,
    "MS Sans Serif", 8,
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
    {
        {K::edit, 11, "", 4, 4, 50, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {K::pushButton, 12, "Avanti", 60, 4, 36, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {K::pushButton, IDCANCEL, "Chiudi", 60, 20, 36, 14, WS_TABSTOP},
    },
};
// clang-format on

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND hwnd) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Windows need a display; under Wine without one, the tests are skipped.
#define SKIP_WITHOUT_DISPLAY()                                                       \
    if (std::getenv("WINELOADER") != nullptr && std::getenv("DISPLAY") == nullptr) { \
        GTEST_SKIP() << "Wine makes no window without an X display";                 \
    }                                                                                \
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};           \
    ASSERT_TRUE(InitCommonControlsEx(&controls))

TEST(Win32DialogTemplate, TheSystemBuildsEveryControlWithItsClassTextStyleAndTheFont) {
    SKIP_WITHOUT_DISPLAY();
    // The executable has no icon 128: the icon control is made empty rather
    // than failing the whole dialog.
    const std::vector<std::uint16_t> words =
        AfxBuildDialogTemplate(kTemplate, [](int) { return false; });
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                             nullptr, NoHandling, 0);
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(TextOf(dialog), "Prova \xE0\xE8");  // the ANSI code page, 1252 here
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");

    struct Expected {
        int id;
        const char* className;
        const char* text;
        LONG_PTR style;
    };
    const Expected expected[] = {
        {11, "Edit", "", ES_AUTOHSCROLL},
        {12, "Button", "Sfoglia", BS_PUSHBUTTON | WS_TABSTOP},
        {13, "SysListView32", "", LVS_OWNERDATA | LVS_REPORT},
        {14, "Button", "Uno", BS_AUTORADIOBUTTON | WS_GROUP},
        {15, "Button", "Due", BS_AUTORADIOBUTTON},
        {16, "Static", "", SS_ICON},
        {IDOK, "Button", "OK", BS_DEFPUSHBUTTON},
    };
    for (const Expected& control : expected) {
        SCOPED_TRACE(control.id);
        HWND item = GetDlgItem(dialog, control.id);
        ASSERT_NE(item, nullptr);
        EXPECT_STRCASEEQ(ClassOf(item).c_str(), control.className);
        EXPECT_EQ(TextOf(item), control.text);
        EXPECT_EQ(GetWindowLongPtrA(item, GWL_STYLE) & control.style, control.style);
    }
    // Every control, the unnamed ones included, in template order.
    int count = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    EXPECT_EQ(count, static_cast<int>(kTemplate.controls.size()));
    DestroyWindow(dialog);
}

// A dialog of kTemplate whose list is a CListCtrl, and whose posted commands
// throw: 100 what no guard reports, 101 memory exhaustion.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(42) {}

    CListCtrl m_list;
    bool m_throw = false;
    bool m_exhaust = false;
    std::string m_dropped;
    void OnDropFiles(const std::string& strPath) { m_dropped = strPath; }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 13, m_list); }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.InsertColumn(0, "Nr.", LVCFMT_LEFT, 40);
        if (m_throw) {
            PostCommand(100);
        }
        if (m_exhaust) {
            PostCommand(101);
        }
        return true;
    }

private:
    void OnThrow() { throw std::runtime_error("not the framework's"); }
    void OnExhaust() { throw std::bad_alloc(); }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_COMMAND(100, &CProbeDlg::OnThrow)
    ON_COMMAND(101, &CProbeDlg::OnExhaust)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()
// clang-format on

class Win32Dialog : public ::testing::Test {
protected:
    void SetUp() override { AfxSetResources(&m_resources); }
    void TearDown() override { AfxSetResources(nullptr); }

    AfxResources m_resources{
        "Prova",
        {&kTemplate, &kModelessTemplate},
        {},
        {},
        {{44, {{200, "&Copia\tCtrl+C"}, {0, nullptr}, {201, "&Tutto\tCtrl+A"}}}},
        {{42, {{0, VK_F3, 102}}}}};
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

TEST_F(Win32Dialog, AnExceptionNoGuardReportsEndsTheDialogAndLeavesItsCall) {
    SKIP_WITHOUT_DISPLAY();
    // It must not unwind through the system's dialog code: it comes out of
    // DoModal instead, once the dialog has ended.
    CProbeDlg dlg;
    dlg.m_throw = true;
    EXPECT_THROW(dlg.DoModal(), std::runtime_error);
}

TEST_F(Win32Dialog, ExhaustedMemoryGivesTheSystemModalBoxAndTheDialogGoesOn) {
    SKIP_WITHOUT_DISPLAY();
    CProbeDlg dlg;
    dlg.m_exhaust = true;
    // The box blocks the dialog's thread: another one reads it, answers it,
    // and then closes the dialog, which must still be running.
    std::string text;
    LONG_PTR exStyle = 0;
    std::thread user([&] {
        HWND box = nullptr;
        for (int tries = 0; box == nullptr && tries < 200; ++tries) {
            Sleep(50);
            box = FindWindowA("#32770", "Prova");  // captioned with the program's name
        }
        if (box == nullptr) {
            return;
        }
        exStyle = GetWindowLongPtrA(box, GWL_EXSTYLE);
        EnumChildWindows(
            box,
            [](HWND child, LPARAM found) {
                const std::string childText = TextOf(child);
                if (childText.find("Memoria") != std::string::npos) {
                    *reinterpret_cast<std::string*>(found) = childText;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&text));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
        PostMessageA(AfxHwndOf(&dlg), WM_COMMAND, IDCANCEL, 0);
    });
    const int result = dlg.DoModal();
    user.join();
    EXPECT_EQ(text, "Memoria insufficiente.");
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);  // system-modal
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(Win32Dialog, TheListLearnsTheRowCountOncePerLoadAndShowsCellsCutToItsBuffer) {
    SKIP_WITHOUT_DISPLAY();
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.CreateFromTemplate(nullptr));
    HWND list = GetDlgItem(AfxHwndOf(&dlg), 13);
    ASSERT_NE(list, nullptr);

    dlg.m_list.InsertItem(0, "first");
    EXPECT_EQ(ListView_GetItemCount(list), 1);  // an empty list shows a row at once
    for (int row = 1; row < 1000; ++row) {
        dlg.m_list.InsertItem(0, "a longer text");
    }
    EXPECT_EQ(ListView_GetItemCount(list), 1);  // the rest once the loop runs
    PumpMessages();
    EXPECT_EQ(ListView_GetItemCount(list), 1000);

    char text[5] = "....";
    ListView_GetItemText(list, 999, 0, text, 5);
    EXPECT_STREQ(text, "firs");

    dlg.m_list.DeleteAllItems();
    EXPECT_EQ(ListView_GetItemCount(list), 0);  // fewer rows: at once
}

TEST_F(Win32Dialog, AListBoundToADialogsWindowIsLetGoWhenTheDialogGoesFirst) {
    SKIP_WITHOUT_DISPLAY();
    CListCtrl rows;
    {
        CProbeDlg dlg;
        ASSERT_TRUE(dlg.CreateFromTemplate(nullptr));
        CListView* view = dlg.m_list.GetView();
        ASSERT_NE(view, nullptr);
        dlg.m_list.Attach(nullptr);
        rows.Attach(view);
        EXPECT_EQ(view->GetModel(), &rows);
    }
    EXPECT_FALSE(rows.IsAttached());
}

TEST_F(Win32Dialog, ADropOfSeveralFilesOpensTheFirst) {
    SKIP_WITHOUT_DISPLAY();
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.CreateFromTemplate(nullptr));
    // What the shell hands a window: a DROPFILES block and the names, each
    // NUL-terminated, the list ended by one more NUL.
    const char names[] = "C:\\lista uno.PRG\0C:\\due.PRG\0";
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof(names));
    ASSERT_NE(drop, nullptr);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(files + 1, names, sizeof(names));
    GlobalUnlock(drop);
    SendMessageA(AfxHwndOf(&dlg), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(dlg.m_dropped, "C:\\lista uno.PRG");
}

// The modeless dialog: counts its default command.
class CModelessDlg : public CDialog {
public:
    CModelessDlg() : CDialog(43) {}
    int m_defaults = 0;

private:
    void OnDefault() { ++m_defaults; }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CModelessDlg, CDialog)
    ON_BN_CLICKED(12, &CModelessDlg::OnDefault)
END_MESSAGE_MAP()
// clang-format on

// A modal dialog with an accelerator table, a list menu and a modeless
// dialog of its own, and the commands they send.
class CKeysDlg : public CProbeDlg {
public:
    CModelessDlg m_modeless;
    int m_f3 = 0;
    int m_chosen = 0;

protected:
    bool OnInitDialog() override {
        CProbeDlg::OnInitDialog();
        LoadAccelTable(42);
        m_list.SetContextMenu(44);
        const bool made = m_modeless.CreateFromTemplate(this);
        m_modeless.ShowWindow(SW_SHOW);
        return made;
    }

private:
    void OnF3() { ++m_f3; }
    void OnChosen() { m_chosen = 201; }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CKeysDlg, CProbeDlg)
    ON_COMMAND(102, &CKeysDlg::OnF3)
    ON_COMMAND(201, &CKeysDlg::OnChosen)
END_MESSAGE_MAP()
// clang-format on

// The dialog's own loop gives the keys of its accelerator table to it from
// any control, and the dialog manager's keys to a modeless dialog it opened
// (Enter its default button, Escape its cancel); the list's menu is a real
// popup menu with the shortcuts shown, and its entry's command reaches the
// dialog. Keys and the menu's choice come as the system's queue delivers
// them; another thread plays the user.
TEST_F(Win32Dialog, TheLoopGivesKeysToTheAcceleratorsAndToModelessDialogsAndTheListHasItsMenu) {
    SKIP_WITHOUT_DISPLAY();
    CKeysDlg dlg;
    std::vector<std::string> entries;
    bool escaped = false;
    std::thread user([&] {
        HWND dialog = nullptr;
        for (int tries = 0; (dialog == nullptr || !IsWindowVisible(dialog)) && tries < 200;
             ++tries) {
            Sleep(50);
            dialog = AfxHwndOf(&dlg);
        }
        HWND list = GetDlgItem(dialog, 13);
        HWND field = GetDlgItem(AfxHwndOf(&dlg.m_modeless), 11);
        PostMessageA(list, WM_KEYDOWN, VK_F3, 0);
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int tries = 0; !escaped && tries < 100; ++tries) {
            Sleep(20);
            escaped = IsWindowVisible(GetParent(field)) == FALSE;
        }
        // Shift+F10 on the list: the menu opens; the second entry is chosen.
        PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
        HWND menu = nullptr;
        for (int tries = 0; menu == nullptr && tries < 200; ++tries) {
            Sleep(50);
            menu = FindWindowA("#32768", nullptr);
        }
        if (menu != nullptr) {
            constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
            auto items = reinterpret_cast<HMENU>(SendMessageA(menu, kGetMenuHandle, 0, 0));
            for (int i = 0; i < GetMenuItemCount(items); ++i) {
                char text[64] = {};
                GetMenuStringA(items, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
                entries.emplace_back(text);
            }
            for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
                PostMessageA(menu, WM_KEYDOWN, key, 0);
            }
        }
        Sleep(300);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const int result = dlg.DoModal();
    user.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_f3, 1);
    EXPECT_EQ(dlg.m_modeless.m_defaults, 1);
    EXPECT_TRUE(escaped);
    EXPECT_EQ(AfxHwndOf(&dlg.m_modeless), nullptr);  // went with its owner
    EXPECT_EQ(entries, (std::vector<std::string>{"&Copia\tCtrl+C", "", "&Tutto\tCtrl+A"}));
    EXPECT_EQ(dlg.m_chosen, 201);
}

// The program is aware of each screen's DPI, as its manifest declares, where
// the system knows that (Windows 10 from 1703), otherwise of the system's.
void BecomeAwareOfDpi() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
    if (setContext == nullptr || !setContext(perMonitorV2)) {
        SetProcessDPIAware();
    }
}

// Widths are pixels at 96 DPI: at the screen's DPI when the list is made,
// and scaled again, as the user left them, on a screen of another DPI. Run
// at 144 DPI by win32_framework.columns_at_144_dpi.
TEST_F(Win32Dialog, ColumnWidthsFollowTheDpiOfTheWindowsScreen) {
    SKIP_WITHOUT_DISPLAY();
    const char* dpiSetting = std::getenv("TRESK_TEST_DPI");
    if (dpiSetting == nullptr) {
        GTEST_SKIP() << "run at a known DPI by win32_framework.columns_at_144_dpi";
    }
    const int dpi = std::atoi(dpiSetting);
    BecomeAwareOfDpi();
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.CreateFromTemplate(nullptr));
    dlg.m_list.InsertColumn(1, "Lung", LVCFMT_RIGHT, 70);
    HWND dialog = AfxHwndOf(&dlg);
    HWND list = GetDlgItem(dialog, 13);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 40 * dpi / 96);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 70 * dpi / 96);

    ListView_SetColumnWidth(list, 1, 90 * dpi / 96);  // the user widens one
    RECT rect{};
    GetWindowRect(dialog, &rect);
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 80);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 180);
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 40);
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 90);
}

// --help, --version and a wrong command line on a system that gives the
// program no console: a box with the program's name, and the information or
// the stop icon.
TEST(Win32CommandLine, TheTextIsShownInABoxWithTheIconOfItsKind) {
    SKIP_WITHOUT_DISPLAY();
    for (const bool error : {false, true}) {
        SCOPED_TRACE(error);
        std::string text;
        HICON icon = nullptr;
        std::thread user([&] {
            HWND box = nullptr;
            for (int tries = 0; box == nullptr && tries < 200; ++tries) {
                Sleep(50);
                box = FindWindowA("#32770", "TreskViewer");
            }
            if (box == nullptr) {
                return;
            }
            struct Found {
                std::string* text;
                HICON* icon;
            } found{&text, &icon};
            EnumChildWindows(
                box,
                [](HWND child, LPARAM data) {
                    auto* into = reinterpret_cast<Found*>(data);
                    if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                        *into->icon =
                            reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                    } else if (TextOf(child).rfind("Uso", 0) == 0) {
                        *into->text = TextOf(child);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&found));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(AfxShowCommandLineText("Uso: citt\xE0\n", "TreskViewer", error), 0);
        user.join();
        EXPECT_EQ(text, "Uso: citt\xE0");  // the bytes as given, no line end
        EXPECT_EQ(icon, LoadIconA(nullptr, error ? IDI_HAND : IDI_ASTERISK));
    }
}

}  // namespace
