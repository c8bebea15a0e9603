// The window of a CListCtrl on the Windows API: an owner-data list view in
// report mode (LVS_OWNERDATA). The list holds no rows of its own: it asks
// for the text of each cell it paints (LVN_GETDISPINFO), which comes straight
// from the CListCtrl's row store, and is told only how many rows there are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/win32/win_defs.h"

class CListCtrl;

// Posted to the list's dialog (wParam: the list's identifier) when the list
// is to learn the row count once the message loop next runs.
constexpr UINT kSyncListMessage = WM_APP + 0x11;

class CListView final {
public:
    CListView(HWND hwnd, HWND dialog, int id);
    ~CListView();
    CListView(const CListView&) = delete;
    CListView& operator=(const CListView&) = delete;

    HWND GetHwnd() const { return m_hWnd; }
    int GetId() const { return m_id; }

    // Column widths are given in pixels at 96 DPI and set in pixels at the
    // DPI of the window's screen, which the list learns when it is made.
    int ScaledWidth(int width96) const;
    // The window moved to a screen of dpi: every column, as wide as it is
    // now (the user may have changed it), is scaled to it.
    void DpiChanged(int dpi);

    // The rows this window shows (nullptr: none).
    void SetModel(CListCtrl* model);
    CListCtrl* GetModel() const { return m_model; }
    // The window went away: it shows nothing and tells nobody any more.
    void WindowDestroyed();

    // The number of rows changed (and maybe texts). The window learns the
    // new count at once when it showed no rows (so the first rows of a load
    // appear at once) or has more rows than the model; otherwise once, when
    // the message loop next runs, however many rows went in meanwhile.
    void RowsChanged();
    // Texts of existing rows changed: repainted once the message loop runs.
    void TextsChanged();
    // Gives the window the model's row count now, and repaints it.
    void SyncItemCount();

    // Ctrl+C copies the selected rows under a line of titles; Ctrl+A selects
    // every row. titles must outlive the model's binding.
    void EnableRowCopy(const std::vector<std::string>* titles) { m_copyTitles = titles; }

    // The list's notifications that concern us: a cell's text, and the keys.
    void OnGetDispInfo(NMLVDISPINFOA& info) const;
    void OnGetDispInfo(NMLVDISPINFOW& info) const;
    void OnKeyDown(WORD key);

    // What Ctrl+C and Ctrl+A do: the selected rows to the clipboard under
    // the titles (nothing when none is selected), every row selected.
    void CopySelection() const;
    void SelectAll();
    // Makes row the only selected row and the focused one, and scrolls it
    // into view.
    void SelectOnly(int row);
    // Opens the model's menu (CListCtrl::GetContextMenu) at screenPos, or,
    // for the keyboard (-1, -1), under the focused row; the command chosen,
    // 0 when none or when the model names no menu.
    int TrackContextMenu(LPARAM screenPos) const;

    // Rows selected, top to bottom.
    std::vector<int> GetSelectedRows() const;

private:
    void PostSync();
    // The bytes of a cell that fit a buffer of room characters with its end.
    std::string_view CellText(int row, int column, int room) const;

    HWND m_hWnd;
    HWND m_dialog;
    int m_id;
    int m_dpi;
    CListCtrl* m_model = nullptr;
    // The row count the window was last given.
    int m_shown = 0;
    bool m_syncPending = false;
    const std::vector<std::string>* m_copyTitles = nullptr;
};

// The DPI window is shown at: GetDpiForWindow where the system has it
// (Windows 10 from 1607; a window of a program not aware of DPI is at 96),
// otherwise the screen's, which Windows 7 and 8 give every program.
int AfxWindowDpi(HWND window);

// Replaces the clipboard's content with text (UTF-8) as Unicode text, lines
// ended by CR LF as Windows programs expect. False when the clipboard cannot
// be opened; CMemoryException when the memory for the copy is missing.
bool AfxPutTextOnClipboard(HWND owner, const std::string& utf8);
