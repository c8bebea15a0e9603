// What the shared framework sources ask of the back end's windows: each back
// end (framework/wx, framework/win32) defines these for its own CDialogWindow
// and CListView, so that CDialog's and CListCtrl's life cycle, which does not
// depend on the toolkit, is written once. Only framework sources include it.
#pragma once

class CDialog;
class CDialogWindow;
class CListCtrl;
class CListView;
class CWnd;

// A window for dlg, not yet made on the screen.
CDialogWindow* AfxNewDialogWindow(CDialog& dlg);
// Destroys window without its calling back on the dialog it was made for
// (the dialog is going away).
void AfxDeleteDialogWindow(CDialogWindow* window);
// Makes window on the screen without showing it modally, owned by the
// window of pParentWnd (nullptr: none), and runs the dialog's OnInitDialog.
// False when the window could not be made.
bool AfxCreateModelessWindow(CDialogWindow& window, CWnd* pParentWnd);

// The list control whose rows view shows (nullptr: none): set, and read back.
void AfxSetListModel(CListView& view, CListCtrl* model);
CListCtrl* AfxGetListModel(const CListView& view);
