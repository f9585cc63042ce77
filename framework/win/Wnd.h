// CWnd: the C++ object attached to a window. Messages sent to the window
// reach WindowProc, which looks them up in the message map and otherwise
// hands them to DefWindowProc, the window class's own procedure.
#pragma once

#include "framework/base/AfxRes.h"
#include "framework/base/Geometry.h"
#include "framework/base/String.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/DC.h"
#include "framework/win/Window.h"
#include "framework/win/WindowCreation.h"
#include "framework/win/WindowFunctions.h"

class CDataExchange;
class CFrameWnd;
struct CCreateContext;

class CWnd : public CCmdTarget, public WindowObject {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The attached object, or a plain wrapper for a window without one.
    static CWnd* FromHandle(HWND hwnd);
    // The attached object, or nullptr for a window without one.
    static CWnd* FromHandlePermanent(HWND hwnd);

    virtual BOOL Create(const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect,
                        CWnd* parent, UINT id, CCreateContext* context = nullptr);
    BOOL CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, const CRect& rect,
                  CWnd* parent, UINT id, void* param = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL DestroyWindow();
    // Called after the window is gone; views and frames delete themselves.
    void PostNcDestroy() override {}

    BOOL Attach(HWND hwnd);
    HWND Detach();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification the child sent to its parent, offered back to the
    // child's own map (ON_CONTROL_REFLECT).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Keyboard messages pass here before dispatch, from the focus window up
    // to its top-level window; TRUE means translated (not dispatched).
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Data exchange between the controls and member variables.
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Window state
    BOOL ShowWindow(int cmd) const;
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE) const;
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const { return FALSE; }
    CWnd* SetFocus() const;
    static CWnd* GetFocus();
    void SetWindowText(const CString& text) const;
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CFrameWnd* GetParentFrame() const;
    CWnd* GetTopLevelParent() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add) const;
    void GetClientRect(CRect* rect) const;
    void GetWindowRect(CRect* rect) const;
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE) const;
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) const;
    void CenterWindow(CWnd* alternateOwner = nullptr) const;
    void Invalidate(BOOL erase = TRUE) const;
    void InvalidateRect(const CRect* rect, BOOL erase = TRUE) const;
    void UpdateWindow() const;
    HICON SetIcon(HICON icon, BOOL big) const;
    void SetFont(HFONT font, BOOL redraw = TRUE) const;
    HFONT GetFont() const;
    void SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw = TRUE) const;
    int GetScrollPos(int bar) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    // Default handlers, reached through derived classes' maps.
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT vk, UINT repeat, UINT flags);
    void OnKeyUp(UINT vk, UINT repeat, UINT flags);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);

    DECLARE_MESSAGE_MAP()
};

// The surface a window paints on while it handles WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
};

// Builds the window of a CWnd: used by CreateEx and by dialogs.
HWND AfxCreateWindow(CWnd* wnd, CREATESTRUCT& cs);
