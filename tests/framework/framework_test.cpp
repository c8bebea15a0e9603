// The framework's shared code, without windows: how message maps route a
// message, the guard around a handler, the radio groups of a template and the
// resources an application registers.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/app_resources.h"
#include "framework/dialog_template.h"
#include "framework/message_box.h"
#include "framework/win_app.h"
#include "framework/window_backend.h"
#include "framework/wnd.h"

namespace {

class CBaseWnd : public CWnd {
public:
    // What a back end does with a message: the handler of the most derived
    // map that has one; false when none has.
    bool Send(AfxMsg message, int id, AfxMsgParams& params) {
        const AfxMsgMapEntry* entry = AfxFindMessageEntry(GetMessageMap(), message, id);
        if (entry == nullptr) {
            return false;
        }
        entry->pfn(*this, params);
        return true;
    }

    std::vector<std::string> m_calls;

protected:
    void OnPaint() { m_calls.emplace_back("base paint"); }
    void OnGo() { m_calls.emplace_back("base go"); }
    void OnStop() { m_calls.emplace_back("base stop"); }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_PAINT()
    ON_BN_CLICKED(1, &CBaseWnd::OnGo)
    ON_BN_CLICKED(2, &CBaseWnd::OnStop)
END_MESSAGE_MAP()
// clang-format on

class CDerivedWnd : public CBaseWnd {
protected:
    void OnGoAgain() { m_calls.emplace_back("derived go"); }
    void OnText() { m_calls.emplace_back("derived text"); }
    void OnSysCommand(unsigned nID, std::intptr_t lParam) {
        m_calls.push_back("command " + std::to_string(nID) + " " + std::to_string(lParam));
    }
    void OnDropFiles(const std::string& strPath) { m_calls.push_back("drop " + strPath); }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_BN_CLICKED(1, &CDerivedWnd::OnGoAgain)
    ON_EN_CHANGE(1, &CDerivedWnd::OnText)
    ON_WM_SYSCOMMAND()
    ON_WM_DROPFILES()
END_MESSAGE_MAP()
// clang-format on

// Handlers that look at the message their window is handling, as the back
// ends keep it for CWnd::Default.
class CGuardedWnd : public CWnd {
public:
    AfxCurrentMessage m_current;
    std::vector<AfxMsg> m_seen;

protected:
    void OnGo() {  // sends another message from inside its handler
        m_seen.push_back(m_current.message);
        AfxMsgParams inner;
        AfxDispatchToMap(this, m_current, AfxMsg::editChange, 2, inner);
        m_seen.push_back(m_current.message);
    }
    void OnText() {
        m_seen.push_back(m_current.message);
        m_current.defaultWanted = true;  // what a back end's Default records
    }
    void OnStop() { throw std::runtime_error("stop"); }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CGuardedWnd, CWnd)
    ON_BN_CLICKED(1, &CGuardedWnd::OnGo)
    ON_EN_CHANGE(2, &CGuardedWnd::OnText)
    ON_BN_CLICKED(3, &CGuardedWnd::OnStop)
END_MESSAGE_MAP()
// clang-format on

}  // namespace

TEST(MessageMap, TheMostDerivedEntryHandlesAMessageAndBasesTheRest) {
    CDerivedWnd wnd;
    AfxMsgParams params;
    EXPECT_TRUE(wnd.Send(AfxMsg::buttonClicked, 1, params));  // the derived map's
    EXPECT_TRUE(wnd.Send(AfxMsg::buttonClicked, 2, params));  // only the base has it
    EXPECT_TRUE(wnd.Send(AfxMsg::paint, 0, params));
    EXPECT_TRUE(wnd.Send(AfxMsg::editChange, 1, params));  // same control, other message
    // Nobody maps these: the back end's default processing takes them.
    EXPECT_FALSE(wnd.Send(AfxMsg::buttonClicked, 3, params));
    EXPECT_FALSE(wnd.Send(AfxMsg::editChange, 2, params));
    EXPECT_FALSE(wnd.Send(AfxMsg::queryDragIcon, 0, params));

    params.nID = 0xF060;
    params.lParam = -7;
    params.strPath = "/dati/lista.PRG";
    EXPECT_TRUE(wnd.Send(AfxMsg::sysCommand, 0, params));
    EXPECT_TRUE(wnd.Send(AfxMsg::dropFiles, 0, params));
    EXPECT_EQ(wnd.m_calls,
              (std::vector<std::string>{"derived go", "base stop", "base paint", "derived text",
                                        "command 61536 -7", "drop /dati/lista.PRG"}));

    // A class's own map knows nothing of its derived classes.
    CBaseWnd base;
    EXPECT_TRUE(base.Send(AfxMsg::buttonClicked, 1, params));
    EXPECT_FALSE(base.Send(AfxMsg::dropFiles, 0, params));
    EXPECT_EQ(base.m_calls, (std::vector<std::string>{"base go"}));
}

TEST(MessageDispatch, EachHandlerSeesItsOwnMessageAndTheOuterOneComesBack) {
    CGuardedWnd wnd;
    AfxMsgParams params;
    EXPECT_EQ(AfxDispatchToMap(&wnd, wnd.m_current, AfxMsg::buttonClicked, 1, params),
              AfxDispatchResult::handled);
    // The inner message's request for the default processing is its own.
    EXPECT_EQ(wnd.m_seen, (std::vector<AfxMsg>{AfxMsg::buttonClicked, AfxMsg::editChange,
                                               AfxMsg::buttonClicked}));
    EXPECT_EQ(AfxDispatchToMap(&wnd, wnd.m_current, AfxMsg::editChange, 2, params),
              AfxDispatchResult::defaultWanted);
    EXPECT_EQ(wnd.m_current.params, nullptr);
    EXPECT_FALSE(wnd.m_current.defaultWanted);

    // A handler that throws leaves the window handling nothing.
    EXPECT_THROW(AfxDispatchToMap(&wnd, wnd.m_current, AfxMsg::buttonClicked, 3, params),
                 std::runtime_error);
    EXPECT_EQ(wnd.m_current.message, AfxMsg::end);
    EXPECT_EQ(wnd.m_current.params, nullptr);

    // Unmapped, or the dialog gone: the back end's default processing.
    EXPECT_EQ(AfxDispatchToMap(&wnd, wnd.m_current, AfxMsg::paint, 0, params),
              AfxDispatchResult::unmapped);
    EXPECT_EQ(AfxDispatchToMap(nullptr, wnd.m_current, AfxMsg::buttonClicked, 1, params),
              AfxDispatchResult::unmapped);
}

TEST(DialogTemplate, ARadioGroupRunsFromOneGroupStartToTheNextAndHoldsOnlyRadioButtons) {
    using K = DlgControlKind;
    // clang-format off
    const DlgTemplate tmpl{1, "Prova", 0, 0, 100, 100, "MS Sans Serif", 8, WS_POPUP, 0, {
        {K::label, IDC_STATIC, "Formato", 0, 0, 10, 10, WS_GROUP},
        {K::radioButton, 10, "Uno", 0, 0, 10, 10, WS_GROUP},
        {K::groupBox, IDC_STATIC, "Gruppo", 0, 0, 10, 10, 0},  // inside, passed over
        {K::radioButton, 11, "Due", 0, 0, 10, 10, 0},
        {K::radioButton, 12, "Tre", 0, 0, 10, 10, 0},
        {K::radioButton, 20, "Altro", 0, 0, 10, 10, WS_GROUP},
        {K::pushButton, IDOK, "OK", 0, 0, 10, 10, 0},
    }};
    // clang-format on
    EXPECT_EQ(AfxRadioGroup(tmpl, 10), (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(AfxRadioGroup(tmpl, 12), (std::vector<int>{10, 11, 12}));  // from any member
    EXPECT_EQ(AfxRadioGroup(tmpl, 20), (std::vector<int>{20}));
    EXPECT_EQ(AfxRadioGroup(tmpl, 99), std::vector<int>());
}

TEST(AppResources, TheFrameworkFindsWhatTheApplicationRegisteredAndNothingElse) {
    const DlgTemplate dialog{7, "Prova", 0, 0, 10, 10, "MS Sans Serif", 8, WS_POPUP, 0, {}};
    AfxResources resources;
    resources.moduleName = "Prova";
    resources.dialogs = {&dialog};
    resources.strings = {{5, "cinque"}};
    resources.icons = {{9, {}}};

    AfxSetResources(&resources);
    EXPECT_EQ(AfxFindDialogTemplate(7), &dialog);
    EXPECT_EQ(AfxFindDialogTemplate(8), nullptr);
    EXPECT_EQ(AfxLoadString(5), "cinque");
    EXPECT_EQ(AfxLoadString(6), "");
    ASSERT_NE(AfxFindIconResource(9), nullptr);
    EXPECT_EQ(AfxFindIconResource(10), nullptr);
    EXPECT_TRUE(AfxLoadIcon(10).IsNull());
    {
        // No name given and no application title in the strings: the name
        // the program was built under.
        CWinApp app;
        app.SetAppName();
        EXPECT_EQ(app.m_pszAppName, "Prova");
        EXPECT_EQ(AfxGetApp(), &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        // The application title (string 0xE000) comes before it.
        resources.strings.push_back({0xE000, "Titolo"});
        CWinApp app;
        app.SetAppName();
        EXPECT_EQ(AfxGetAppName(), "Titolo");
    }

    AfxSetResources(nullptr);
    EXPECT_EQ(AfxFindDialogTemplate(7), nullptr);
    EXPECT_EQ(AfxLoadString(5), "");
    EXPECT_EQ(AfxGetModuleName(), "");
}
