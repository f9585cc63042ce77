// Message maps: static tables that bind window messages, control
// notifications and command identifiers to member functions. Each class's
// table chains to its base class's table; look-up walks the chain from the
// most derived class down.
//
// An entry holds a small thunk that casts the target to the class that
// declared the map and calls the named member, so every handler keeps its
// own typed signature.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/base/Types.h"
#include "framework/base/WinUser.h"

class CCmdTarget;
class CCmdUI;
class CWnd;
class CScrollBar;
struct CREATESTRUCT;

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND for commands and notifications
    UINT nCode;     // CN_COMMAND, CN_UPDATE_COMMAND_UI or a notification code
    UINT nID;       // first command or control id
    UINT nLastID;   // last id of a range
    AFX_PMSG pfn;   // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The message-map macros are laid out by hand: one entry per line reads as a table.
// clang-format off
#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;           \
                                                                \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                 \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                           \
    {                                                                          \
        using ThisClass [[maybe_unused]] = theClass;                           \
        using TheBaseClass [[maybe_unused]] = baseClass;                       \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                      \
        {0, 0, 0, 0, nullptr}};                                                \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &map;                                                           \
    }

#define AFX_THUNK(body) [](CCmdTarget* p_, [[maybe_unused]] WPARAM w_, [[maybe_unused]] LPARAM l_) -> LRESULT { \
    [[maybe_unused]] auto* t_ = static_cast<ThisClass*>(p_); body }

// Commands and notifications
#define ON_COMMAND(id, fn) {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AFX_THUNK(t_->fn(); return TRUE;)},
#define ON_COMMAND_RANGE(id, idLast, fn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AFX_THUNK(t_->fn(UINT(w_)); return TRUE;)},
#define ON_UPDATE_COMMAND_UI(id, fn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AFX_THUNK(t_->fn(reinterpret_cast<CCmdUI*>(l_)); return TRUE;)},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AFX_THUNK(t_->fn(); return TRUE;)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
// A notification that a control sent to its parent and the parent reflected
// back to the control's own object.
#define ON_CONTROL_REFLECT(code, fn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, AFX_THUNK(t_->fn(); return TRUE;)},

// Window messages
#define ON_MESSAGE(msg, fn) {(UINT)(msg), 0, 0, 0, AFX_THUNK(return t_->fn(w_, l_);)},
#define ON_WM_CREATE() {WM_CREATE, 0, 0, 0, AFX_THUNK(return t_->OnCreate(reinterpret_cast<CREATESTRUCT*>(l_));)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(t_->OnDestroy(); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_THUNK(t_->OnClose(); return 0;)},
#define ON_WM_ENDSESSION() {WM_ENDSESSION, 0, 0, 0, AFX_THUNK(t_->OnEndSession(BOOL(w_)); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(t_->OnPaint(); return 0;)},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, AFX_THUNK(t_->OnSize(UINT(w_), LOWORD(UINT_PTR(l_)), HIWORD(UINT_PTR(l_))); return 0;)},
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, AFX_THUNK(t_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w_))); return 0;)},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, AFX_THUNK(t_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w_))); return 0;)},
#define ON_WM_CHAR() {WM_CHAR, 0, 0, 0, AFX_THUNK(t_->OnChar(UINT(w_), LOWORD(UINT_PTR(l_)), HIWORD(UINT_PTR(l_))); return 0;)},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, AFX_THUNK(t_->OnKeyDown(UINT(w_), LOWORD(UINT_PTR(l_)), HIWORD(UINT_PTR(l_))); return 0;)},
#define ON_WM_KEYUP() {WM_KEYUP, 0, 0, 0, AFX_THUNK(t_->OnKeyUp(UINT(w_), LOWORD(UINT_PTR(l_)), HIWORD(UINT_PTR(l_))); return 0;)},
#define AFX_POINT_OF(l) CPoint(short(LOWORD(UINT_PTR(l))), short(HIWORD(UINT_PTR(l))))
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, 0, AFX_THUNK(t_->OnLButtonDown(UINT(w_), AFX_POINT_OF(l_)); return 0;)},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, 0, AFX_THUNK(t_->OnLButtonUp(UINT(w_), AFX_POINT_OF(l_)); return 0;)},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, AFX_THUNK(t_->OnMouseMove(UINT(w_), AFX_POINT_OF(l_)); return 0;)},
#define ON_WM_HSCROLL() {WM_HSCROLL, 0, 0, 0, AFX_THUNK(t_->OnHScroll(LOWORD(w_), HIWORD(w_), reinterpret_cast<CScrollBar*>(l_)); return 0;)},
#define ON_WM_VSCROLL() {WM_VSCROLL, 0, 0, 0, AFX_THUNK(t_->OnVScroll(LOWORD(w_), HIWORD(w_), reinterpret_cast<CScrollBar*>(l_)); return 0;)},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(t_->OnQueryDragIcon());)},
// clang-format on
