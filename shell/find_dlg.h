// The "Trova" dialog: a text to look for in the rows of the main dialog's
// list. Modeless, so that it stays open while rows are found and a bar-code
// scanner can type code after code, each ended with Enter.
#pragma once

#include <functional>
#include <string>

#include "framework/dialog.h"

// A text to look for: as typed, in the system's 8-bit encoding (for the
// messages), and as the Windows-1252 bytes of the cells it matches;
// inCodePage false when it holds a character that no cell can hold.
struct CFindText {
    std::string typed;
    std::string cells;
    bool inCodePage = true;
};

class CFindDlg : public CDialog {
public:
    // findNext is called at each "Trova successivo", Enter in the field
    // included, with the text as the field holds it then; closed once the
    // dialog has been closed ("Chiudi", Escape, the close box).
    CFindDlg(std::function<void(const CFindText&)> findNext, std::function<void()> closed,
             CWnd* pParent = nullptr);

    std::string m_strText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;

private:
    void OnFindNext();

    std::function<void(const CFindText&)> m_findNext;
    std::function<void()> m_closed;

    DECLARE_MESSAGE_MAP()
};
