#include "framework/app/SplitterWnd.h"

#include "framework/app/DocTemplate.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id)
{
    if (rows < 1 || cols < 1 || !parent)
        return FALSE;
    m_nRows = rows;
    m_nCols = cols;
    m_rows.assign(size_t(rows), RowInfo{});
    CRect rect;
    parent->GetClientRect(&rect);
    return CreateEx(0, u"AfxSplitter", u"", style | WS_CHILD, rect, parent, id);
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* viewClass, CSize, CCreateContext* context)
{
    CObject* obj = viewClass ? viewClass->CreateObject() : nullptr;
    auto* view = static_cast<CWnd*>(obj);
    if (!view)
        return FALSE;
    CCreateContext local;
    if (context)
        local = *context;
    local.m_pNewViewClass = viewClass;
    return view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(), this, UINT(IdFromRowCol(row, col)), &local);
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int min)
{
    if (row < 0 || row >= m_nRows)
        return;
    m_rows[size_t(row)].ideal = ideal < 0 ? 0 : ideal;
    m_rows[size_t(row)].min = min < 0 ? 0 : min;
}

void CSplitterWnd::GetRowInfo(int row, int& cur, int& min) const
{
    cur = 0;
    min = 0;
    if (row < 0 || row >= m_nRows)
        return;
    cur = m_rows[size_t(row)].cur;
    min = m_rows[size_t(row)].min;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const { return FromHandle(::GetDlgItem(m_hWnd, IdFromRowCol(row, col))); }

void CSplitterWnd::RecalcLayout()
{
    if (!IsWindow(m_hWnd))
        return;
    CRect client;
    GetClientRect(&client);
    // Rows from the top: each its ideal height, or what is left; the last
    // row takes the rest.
    int y = 0;
    for (int r = 0; r < m_nRows; ++r) {
        int left = std::max(0, client.Height() - y);
        int h = r == m_nRows - 1 ? left : std::min(m_rows[size_t(r)].ideal, left);
        m_rows[size_t(r)].cur = h;
        for (int c = 0; c < m_nCols; ++c) {
            HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(r, c));
            int w = client.Width() / m_nCols;
            int x = c * w;
            if (c == m_nCols - 1)
                w = client.Width() - x;
            if (pane)
                ::MoveWindow(pane, x, y, w, h, TRUE);
        }
        y += h;
    }
}

void CSplitterWnd::OnSize(UINT, int, int) { RecalcLayout(); }
