// The window that owns a common dialog of the system.
#pragma once

#include "framework/win32/dialog.h"

// The window of pOwner, or the application's main window when pOwner is
// nullptr or has no window yet (nullptr when neither is shown).
inline HWND AfxOwnerHwnd(const CWnd* pOwner) {
    const HWND owner = AfxHwndOf(pOwner);
    return owner != nullptr ? owner : AfxGetMainHwnd();
}
