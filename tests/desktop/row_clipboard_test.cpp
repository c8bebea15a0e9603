#include "framework/wx/row_clipboard.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "core/cut_row_table.h"
#include "tests/gui/clipboard_text.h"

namespace {

using guitest::ClipboardText;

const std::vector<std::string> kTitles = {"Nr.", "Info1", "LamaSX"};

// Three columns of text per row, "r<row>c<column>".
std::string_view GridCell(int row, int column) {
    static std::string text;
    text = "r" + std::to_string(row) + "c" + std::to_string(column);
    return text;
}

TEST(RowClipboardText, TitlesThenRowsInTheOrderGivenTabSeparatedLfEnded) {
    EXPECT_EQ(MakeRowsClipboardText(kTitles, {0, 2, 5}, GridCell),
              "Nr.\tInfo1\tLamaSX\n"
              "r0c0\tr0c1\tr0c2\n"
              "r2c0\tr2c1\tr2c2\n"
              "r5c0\tr5c1\tr5c2\n");
    EXPECT_EQ(MakeRowsClipboardText(kTitles, {}, GridCell), "Nr.\tInfo1\tLamaSX\n");
}

TEST(RowClipboardText, CellsAreDecodedWholeAndTabsAndLineBreaksBecomeSpaces) {
    // Info fields are raw bytes of the file and may hold control characters;
    // they must not split a row into more fields or lines. The bytes read as
    // the list shows them, the undefined ones as the CSV has them, and a text
    // far longer than any the reader makes is not cut.
    MemoryCutRowTable table;
    table.InsertItem(0, "1");
    table.SetItemText(0, 1, "A\tB\r\nC caf\xE9 \x80\x81");
    const std::string longText(100, 'x');
    table.SetItemText(0, 2, longText.c_str());
    EXPECT_EQ(
        MakeRowsClipboardText(
            kTitles, {0}, [&table](int row, int column) { return table.GetCellView(row, column); }),
        "Nr.\tInfo1\tLamaSX\n1\tA B  C caf\xC3\xA9 \xE2\x82\xAC\xC2\x81\t" + longText + "\n");
}

// A virtual report list whose cells are GridCell, as the dialog's list is.
class CGridList : public wxListCtrl {
public:
    CGridList(wxWindow* parent, long rows)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                     wxLC_REPORT | wxLC_VIRTUAL) {
        for (int column = 0; column < 3; ++column) {
            AppendColumn(wxString(kTitles[static_cast<std::size_t>(column)]));
        }
        SetItemCount(rows);
    }

private:
    wxString OnGetItemText(long item, long column) const override {
        return wxString(std::string(GridCell(static_cast<int>(item), static_cast<int>(column))));
    }
};

class RowCopyKeys : public ::testing::Test {
protected:
    void SetUp() override {
        m_frame = new wxFrame(nullptr, wxID_ANY, "RowCopyKeys");
        m_list = new CGridList(m_frame, 4);
        BindRowCopyKeys(*m_list, kTitles, GridCell);
        m_frame->Show();
    }
    void TearDown() override { m_frame->Destroy(); }

    // A key as the list receives it from the keyboard.
    bool Press(int key, int modifiers) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = key;
        event.SetControlDown((modifiers & wxMOD_CONTROL) != 0);
        event.SetShiftDown((modifiers & wxMOD_SHIFT) != 0);
        event.SetEventObject(m_list);
        return m_list->GetEventHandler()->ProcessEvent(event);
    }
    void Select(long row) {
        m_list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }

    wxFrame* m_frame = nullptr;
    CGridList* m_list = nullptr;
};

TEST_F(RowCopyKeys, CtrlCCopiesTheSelectedRowsTopToBottom) {
    Select(3);  // selected out of order: the copy still goes top to bottom
    Select(1);
    EXPECT_EQ(SelectedRows(*m_list), (std::vector<int>{1, 3}));
    Press('C', wxMOD_CONTROL);
    EXPECT_EQ(ClipboardText(),
              "Nr.\tInfo1\tLamaSX\n"
              "r1c0\tr1c1\tr1c2\n"
              "r3c0\tr3c1\tr3c2\n");
}

TEST_F(RowCopyKeys, CtrlCWithNoSelectionLeavesTheClipboardAlone) {
    ASSERT_TRUE(PutTextOnClipboard("untouched"));
    Press('C', wxMOD_CONTROL);
    EXPECT_EQ(ClipboardText(), "untouched");
    // C alone, or with Shift too, is not the copy key.
    Select(0);
    Press('C', wxMOD_NONE);
    Press('C', wxMOD_CONTROL | wxMOD_SHIFT);
    EXPECT_EQ(ClipboardText(), "untouched");
}

TEST_F(RowCopyKeys, CtrlASelectsEveryRowThenCtrlCCopiesThemAll) {
    Press('A', wxMOD_CONTROL);
    EXPECT_EQ(SelectedRows(*m_list), (std::vector<int>{0, 1, 2, 3}));
    Press('C', wxMOD_CONTROL);
    EXPECT_EQ(ClipboardText(),
              "Nr.\tInfo1\tLamaSX\n"
              "r0c0\tr0c1\tr0c2\n"
              "r1c0\tr1c1\tr1c2\n"
              "r2c0\tr2c1\tr2c2\n"
              "r3c0\tr3c1\tr3c2\n");
}

TEST_F(RowCopyKeys, OtherKeysStillReachTheList) {
    // The handler skips keys it does not use, so the list's own navigation
    // keeps working: an unhandled event reports false.
    EXPECT_FALSE(Press(WXK_DOWN, wxMOD_NONE));
    EXPECT_FALSE(Press('A', wxMOD_NONE));
    EXPECT_TRUE(SelectedRows(*m_list).empty());
}

TEST_F(RowCopyKeys, RealKeyPressesReachTheHandler) {
    // Through the X server: the key goes to the list's inner window first,
    // which passes it on to the list control where the handler is bound.
    m_list->SetFocus();
    Select(2);
    ASSERT_TRUE(PutTextOnClipboard("untouched"));
    wxUIActionSimulator keys;
    keys.Char('c', wxMOD_CONTROL);
    for (int i = 0; i < 20 && ClipboardText() == "untouched"; ++i) {
        wxMilliSleep(25);
        wxYield();
    }
    EXPECT_EQ(ClipboardText(), "Nr.\tInfo1\tLamaSX\nr2c0\tr2c1\tr2c2\n");
}

}  // namespace
