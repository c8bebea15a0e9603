// The emulated system menu of the main dialog and the About box it opens.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "framework/wx/dialog.h"
#include "gui_test_support.h"
#include "resources/resource.h"
#include "shell/about_box.h"
#include "shell/cut_list_dlg.h"

using namespace guitest;

namespace {

void SendMenuCommand(CCutListDlg& dlg, int id) {
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(Wnd(dlg).GetSystemMenu(false));
    Wnd(dlg).HandleWindowEvent(command);
}

// What the About box looked like when it was shown.
struct ShownAbout {
    bool isAboutBox = false;
    wxString title;
    wxString text;
    wxString button;
    bool buttonIsDefault = false;
    bool hasIcon = false;
    wxWindow* parent = nullptr;
    wxSize clientSize;
    wxSize expectedClientSize;
};

class ExpectAboutBox : public wxExpectModalBase<CDialogWindow, ExpectAboutBox> {
public:
    explicit ExpectAboutBox(ShownAbout* shown) : m_shown(shown) {}

protected:
    int OnInvoked(CDialogWindow* dlg) const override {
        m_shown->isAboutBox = dynamic_cast<CAboutBox*>(dlg->GetOwner()) != nullptr;
        m_shown->title = dlg->GetTitle();
        m_shown->parent = dlg->GetParent();
        m_shown->clientSize = dlg->GetClientSize();
        m_shown->expectedClientSize = dlg->ConvertDialogToPixels(wxSize(235, 55));
        for (wxWindow* child : dlg->GetChildren()) {
            if (auto* text = dynamic_cast<wxStaticText*>(child)) {
                m_shown->text = text->GetLabel();
            } else if (auto* button = dynamic_cast<wxButton*>(child)) {
                m_shown->button = button->GetLabel();
                m_shown->buttonIsDefault = dlg->GetDefaultItem() == button;
            } else if (auto* picture = dynamic_cast<wxStaticBitmap*>(child)) {
                m_shown->hasIcon = picture->GetBitmap().IsOk();
            }
        }
        return wxID_OK;
    }

private:
    ShownAbout* m_shown;
};

}  // namespace

TEST(SystemMenu, EndsWithASeparatorAndTheAboutEntry) {
    auto dlg = OpenMainDialog();
    wxMenu* menu = Wnd(*dlg).GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->GetMenuItemCount(), 3u);
    const wxMenuItemList& items = menu->GetMenuItems();
    EXPECT_EQ(Wnd(*dlg).GetSysCommand(items[0]->GetId()), static_cast<unsigned>(SC_CLOSE));
    EXPECT_EQ(items[0]->GetItemLabelText(), "Chiudi");
    EXPECT_TRUE(items[1]->IsSeparator());
    EXPECT_EQ(Wnd(*dlg).GetSysCommand(items[2]->GetId()), static_cast<unsigned>(IDM_ABOUTBOX));
    EXPECT_EQ(items[2]->GetItemLabel(), "Infor&mazioni su TreskViewer...");  // m underlined
    EXPECT_EQ(items[2]->GetItemLabelText(), "Informazioni su TreskViewer...");
}

TEST(SystemMenu, TheAboutEntryOpensTheAboutBoxOverTheMainDialog) {
    auto dlg = OpenMainDialog();
    ShownAbout shown;
    wxTEST_DIALOG(SendMenuCommand(*dlg, IDM_ABOUTBOX), ExpectAboutBox(&shown));
    EXPECT_TRUE(shown.isAboutBox);
    EXPECT_EQ(shown.title, "Informazioni su TreskViewer");
    EXPECT_EQ(shown.text, "TreskViewer Versione 1.0");
    EXPECT_EQ(shown.button, "OK");
    EXPECT_TRUE(shown.buttonIsDefault);
    EXPECT_TRUE(shown.hasIcon);
    EXPECT_EQ(shown.parent, &Wnd(*dlg));
    EXPECT_EQ(shown.clientSize, shown.expectedClientSize);
    EXPECT_TRUE(Wnd(*dlg).IsShown());
    EXPECT_EQ(dlg->GetResult(), 0);
}

TEST(SystemMenu, F1OpensTheAboutBoxFromAnyControl) {
    auto dlg = OpenMainDialog();
    for (int id : {IDC_PATH, IDC_LIST}) {
        Item(*dlg, id)->SetFocus();
        Flush();
        ShownAbout shown;
        wxUIActionSimulator keys;
        keys.MouseMove(Wnd(*dlg).GetScreenPosition() + wxPoint(5, 5));
        wxTEST_DIALOG(
            {
                keys.Char(WXK_F1);
                Flush();
            },
            ExpectAboutBox(&shown));
        EXPECT_EQ(shown.title, "Informazioni su TreskViewer") << id;
        EXPECT_TRUE(Wnd(*dlg).IsShown()) << id;
    }
}

TEST(SystemMenu, TheAboutBoxIsModalAndClosesWithItsKeys) {
    auto dlg = OpenMainDialog();
    // Clicks that reach "Sfoglia" are counted here instead of opening a file
    // dialog.
    wxWindow* browse = Item(*dlg, IDC_BROWSE);
    int browseClicks = 0;
    browse->Bind(wxEVT_BUTTON, [&browseClicks](wxCommandEvent&) { ++browseClicks; });
    wxUIActionSimulator mouse;
    const wxPoint browseCentre = browse->GetScreenRect().GetPosition() + browse->GetSize() / 2;

    AllowRealDialogs(true);
    for (int key : {WXK_RETURN, WXK_ESCAPE}) {
        bool sawModal = false;
        int clicksWhileModal = -1;
        bool commandReturned = false;
        Wnd(*dlg).CallAfter([&] {
            CDialogWindow* about = nullptr;
            for (wxWindow* window : wxTopLevelWindows) {
                if (auto* box = dynamic_cast<CDialogWindow*>(window);
                    box != nullptr && box->IsShown() &&
                    dynamic_cast<CAboutBox*>(box->GetOwner()) != nullptr) {
                    about = box;
                }
            }
            ASSERT_NE(about, nullptr);
            sawModal = about->IsModal() && !commandReturned && about->GetParent() == &Wnd(*dlg);
            // The main dialog gets no input while the box is up.
            mouse.MouseMove(browseCentre);
            mouse.MouseClick();
            Flush();
            clicksWhileModal = browseClicks;
            wxUIActionSimulator keys;
            keys.MouseMove(about->GetScreenPosition() + wxPoint(5, 5));
            keys.Char(key);
        });
        SendMenuCommand(*dlg, IDM_ABOUTBOX);
        commandReturned = true;
        EXPECT_TRUE(sawModal) << key;
        EXPECT_EQ(clicksWhileModal, 0) << key;
        EXPECT_TRUE(Wnd(*dlg).IsShown());
    }
    AllowRealDialogs(false);

    // The same click once the box is closed does reach the button.
    mouse.MouseMove(browseCentre);
    mouse.MouseClick();
    Flush();
    EXPECT_EQ(browseClicks, 1);
}

TEST(SystemMenu, ChiudiEndsTheDialogLikeTheCloseBox) {
    auto dlg = OpenMainDialog();
    SendMenuCommand(*dlg, Wnd(*dlg).GetSystemMenu(false)->FindItemByPosition(0)->GetId());
    EXPECT_EQ(dlg->GetResult(), IDCANCEL);
    EXPECT_FALSE(Wnd(*dlg).IsShown());
}

TEST(SystemMenu, AltSpaceAndARightClickOnTheBackgroundPopItUp) {
    auto dlg = OpenMainDialog();
    int opened = 0;
    Wnd(*dlg).Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        event.Skip();
        if (event.GetMenu() != Wnd(*dlg).GetSystemMenu(false)) {
            return;
        }
        ++opened;
        Wnd(*dlg).CallAfter([] {
            wxUIActionSimulator keys;
            keys.Char(WXK_ESCAPE);
        });
    });

    wxKeyEvent altSpace(wxEVT_CHAR_HOOK);
    altSpace.m_keyCode = WXK_SPACE;
    altSpace.m_altDown = true;
    altSpace.SetEventObject(&Wnd(*dlg));
    Wnd(*dlg).HandleWindowEvent(altSpace);
    EXPECT_EQ(opened, 1);

    wxContextMenuEvent click(wxEVT_CONTEXT_MENU, Wnd(*dlg).GetId(),
                             Wnd(*dlg).ClientToScreen(wxPoint(3, 3)));
    click.SetEventObject(&Wnd(*dlg));
    Wnd(*dlg).HandleWindowEvent(click);
    EXPECT_EQ(opened, 2);

    // A right click on the list is the list's own business.
    wxWindow* list = Item(*dlg, IDC_LIST);
    wxContextMenuEvent onList(wxEVT_CONTEXT_MENU, list->GetId(), list->GetScreenPosition());
    onList.SetEventObject(list);
    list->HandleWindowEvent(onList);
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(Wnd(*dlg).IsShown());
}
