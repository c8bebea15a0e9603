// Message maps: a window class binds its handlers to window messages and
// control notifications in a table of its own, and a class without an entry
// for a message hands it to its base class's table, then to the framework's
// default processing.
//
//   // In the class:        DECLARE_MESSAGE_MAP()
//   // In its source file:
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDC_GO, &CMyDlg::OnGo)
//   END_MESSAGE_MAP()
//
// A handler named by ON_WM_* has the name and signature of the matching
// CWnd handler (OnPaint, OnSysCommand, ...); ON_COMMAND, ON_BN_CLICKED and
// ON_EN_CHANGE take any member function without arguments.
#pragma once

#include <cstdint>
#include <string>

#include "framework/icon.h"

class CWnd;

enum class AfxMsg {
    end,            // closes a table
    command,        // a command (one posted with CWnd::PostCommand)
    buttonClicked,  // a push button was clicked (or pressed with a key)
    editChange,     // the text of an edit field changed
    paint,          // the window needs painting
    sysCommand,     // a command of the system menu
    queryDragIcon,  // the image to show while the minimised window is dragged
    dropFiles,      // files were dropped on the window
    helpInfo,       // the user asked for help (F1)
};

// What a message carries to its handler, and what the handler gives back.
struct AfxMsgParams {
    unsigned nID = 0;          // sysCommand: the command
    std::intptr_t lParam = 0;  // sysCommand: its parameter
    std::string strPath;       // dropFiles: the full path of the first file
    CIcon icon;                // queryDragIcon: the handler's answer
};

using AfxMsgHandler = void (*)(CWnd& wnd, AfxMsgParams& params);

struct AfxMsgMapEntry {
    AfxMsg nMessage;
    int nID;  // the control of a notification; 0 for a window message
    AfxMsgHandler pfn;
};

struct AfxMsgMap {
    const AfxMsgMap* (*pfnGetBaseMap)();  // nullptr for the root
    const AfxMsgMapEntry* lpEntries;      // ends with AfxMsg::end
};

// The entry for message (from control id) in map or the first of its bases
// that has one; nullptr when none does.
const AfxMsgMapEntry* AfxFindMessageEntry(const AfxMsgMap* map, AfxMsg message, int id);

// clang-format off
#define DECLARE_MESSAGE_MAP()                                                          \
protected:                                                                             \
    static const AfxMsgMap* GetThisMessageMap();                                       \
    const AfxMsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AfxMsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AfxMsgMap* theClass::GetThisMessageMap() {                                   \
        using ThisClass = theClass;                                                    \
        using TheBaseClass = baseClass;                                                \
        static const AfxMsgMapEntry messageEntries[] = {

#define END_MESSAGE_MAP()                                                              \
            {AfxMsg::end, 0, nullptr}};                                                \
        static const AfxMsgMap messageMap = {&TheBaseClass::GetThisMessageMap,         \
                                             messageEntries};                          \
        return &messageMap;                                                            \
    }

#define ON_COMMAND(id, memberFxn)                                                      \
    {AfxMsg::command, id, [](CWnd& wnd, AfxMsgParams& /*params*/) {                    \
        (static_cast<ThisClass&>(wnd).*(memberFxn))();                                 \
    }},

#define ON_BN_CLICKED(id, memberFxn)                                                   \
    {AfxMsg::buttonClicked, id, [](CWnd& wnd, AfxMsgParams& /*params*/) {              \
        (static_cast<ThisClass&>(wnd).*(memberFxn))();                                 \
    }},

#define ON_EN_CHANGE(id, memberFxn)                                                    \
    {AfxMsg::editChange, id, [](CWnd& wnd, AfxMsgParams& /*params*/) {                 \
        (static_cast<ThisClass&>(wnd).*(memberFxn))();                                 \
    }},

#define ON_WM_PAINT()                                                                  \
    {AfxMsg::paint, 0, [](CWnd& wnd, AfxMsgParams& /*params*/) {                       \
        static_cast<ThisClass&>(wnd).OnPaint();                                        \
    }},

#define ON_WM_SYSCOMMAND()                                                             \
    {AfxMsg::sysCommand, 0, [](CWnd& wnd, AfxMsgParams& params) {                      \
        static_cast<ThisClass&>(wnd).OnSysCommand(params.nID, params.lParam);          \
    }},

#define ON_WM_QUERYDRAGICON()                                                          \
    {AfxMsg::queryDragIcon, 0, [](CWnd& wnd, AfxMsgParams& params) {                   \
        params.icon = static_cast<ThisClass&>(wnd).OnQueryDragIcon();                  \
    }},

#define ON_WM_DROPFILES()                                                              \
    {AfxMsg::dropFiles, 0, [](CWnd& wnd, AfxMsgParams& params) {                       \
        static_cast<ThisClass&>(wnd).OnDropFiles(params.strPath);                      \
    }},
#define ON_WM_HELPINFO()                                                               \
    {AfxMsg::helpInfo, 0, [](CWnd& wnd, AfxMsgParams& /*params*/) {                    \
        static_cast<ThisClass&>(wnd).OnHelpInfo();                                     \
    }},
// clang-format on
