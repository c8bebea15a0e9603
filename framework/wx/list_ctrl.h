// The window of a CListCtrl on wxWidgets: a virtual wxListCtrl in report
// view that asks its CListCtrl for the text of each cell it paints, so rows
// cost nothing on screen until shown.
#pragma once

#include <vector>

#include <wx/listctrl.h>

class CListCtrl;

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

private:
    wxString OnGetItemText(long item, long column) const override;
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnColumnClick(wxListEvent& event);

    CListCtrl* m_model = nullptr;
    bool m_showSelectionAlways;
    bool m_sortHeader;
    // The selection put aside while the list lacks the focus.
    std::vector<long> m_hiddenSelection;
    bool m_selectionHidden = false;
    bool m_refreshPending = false;
    bool m_countPending = false;
};
