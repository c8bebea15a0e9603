// The window of a CListCtrl on wxWidgets: a virtual wxListCtrl in report
// view that asks its CListCtrl for the text of each cell it paints, so rows
// cost nothing on screen until shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/listctrl.h>

class CListCtrl;
class wxMenu;

class CListView final : public wxListCtrl {
public:
    // showSelectionAlways false hides the selection while the list lacks the
    // focus; sortHeader false makes column header clicks do nothing.
    CListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
              bool showSelectionAlways, bool sortHeader);
    ~CListView() override;

    // The rows this window shows (nullptr: none).
    void SetModel(CListCtrl* model);
    CListCtrl* GetModel() const { return m_model; }

    // Rows selected by the user, top to bottom; while the selection is hidden
    // (list without focus) the rows that will show selected again.
    std::vector<long> GetSelectedRows() const;

    // The number of rows changed (and maybe texts). The window learns the
    // new count at once when it showed no rows (so the first rows of a load
    // appear at once) or has more rows than the model; otherwise once, when
    // the event loop next runs, however many rows went in meanwhile.
    void RowsChanged();
    // Gives the window the model's row count now.
    void SyncItemCount();
    // Texts of existing rows changed.
    void TextsChanged();

    // Makes row the only selected row (the one shown selected again when the
    // selection is put aside) and the focused one, and scrolls to it.
    void SelectOnly(long row);
    // The titles a copy of rows puts above them (nullptr: copying is off).
    void SetCopyTitles(const std::vector<std::string>* titles) { m_copyTitles = titles; }
    // Puts the selected rows on the clipboard under the titles.
    void CopySelection() const;
    // The list's own menu, made from the menu resource its model names;
    // nullptr when it names none. The toolkit takes no item identifiers
    // above 0x7FFF: the items are numbered, and GetMenuCommand gives the
    // command of a number (0 for none).
    std::unique_ptr<wxMenu> MakeContextMenu() const;
    int GetMenuCommand(int itemId) const;

private:
    static constexpr int kFirstMenuItemId = wxID_HIGHEST + 1;

    wxString OnGetItemText(long item, long column) const override;
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    CListCtrl* m_model = nullptr;
    bool m_showSelectionAlways;
    bool m_sortHeader;
    // The selection put aside while the list lacks the focus.
    std::vector<long> m_hiddenSelection;
    bool m_selectionHidden = false;
    bool m_refreshPending = false;
    bool m_countPending = false;
    const std::vector<std::string>* m_copyTitles = nullptr;
};
