// Message maps: tables that route a control's notification to a member
// function of its dialog, by control id and notification code.
//
//   class CMyDlg : public CDialog {
//       ...
//       void OnApply();
//       DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_BN_CLICKED(1001, OnApply)
//       ON_EN_KILLFOCUS(1010, OnFieldDone)
//       ON_CBN_SELCHANGE(1018, OnUnitChange)
//   END_MESSAGE_MAP()
//
// Handlers are members of the class (or of a base class) taking nothing and
// returning void, named without qualification. A virtual handler is called
// virtually. The map of a class is searched first, then its base class's map,
// and so on up to CWnd's: CDialog's own map sends IDOK to OnOK and IDCANCEL
// to OnCancel. A notification that no map handles goes to the window's
// virtual OnCommand(MAKEWPARAM(id, code), LPARAM(control's HWND)).
#pragma once

#include "platform/Types.h"

class CWnd;

using AFX_PMSG = void (CWnd::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nCode;  // notification code (BN_CLICKED, EN_KILLFOCUS, ...)
    int nID;     // control id
    AFX_PMSG pfn;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for CWnd's map
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;  \
                                                       \
public:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }          \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                             \
    {                                                                                           \
        using ThisClass = theClass;                                                             \
        using TheBaseClass = baseClass;                                                         \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                          \
    {0, 0, nullptr}                                                                \
    }                                                                              \
    ;                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                            \
    }

// Any notification `code` of control `id`.
#define ON_CONTROL(code, id, memberFn) {(code), (id), static_cast<AFX_PMSG>(&ThisClass::memberFn)},
// A command: a click of button `id` (the same as ON_BN_CLICKED).
#define ON_COMMAND(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_EN_CHANGE(id, memberFn) ON_CONTROL(EN_CHANGE, id, memberFn)
#define ON_EN_SETFOCUS(id, memberFn) ON_CONTROL(EN_SETFOCUS, id, memberFn)
#define ON_EN_KILLFOCUS(id, memberFn) ON_CONTROL(EN_KILLFOCUS, id, memberFn)
#define ON_CBN_SELCHANGE(id, memberFn) ON_CONTROL(CBN_SELCHANGE, id, memberFn)
