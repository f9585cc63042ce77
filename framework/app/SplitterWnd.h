// CSplitterWnd: a window that lays out panes in rows and columns. Only the
// static kind exists here: its panes are made once and stay. Rows get their
// ideal heights from the top down; the last row takes what remains.
#pragma once

#include <vector>

#include "framework/win/Wnd.h"

struct CCreateContext;

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    BOOL CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = AFX_IDW_PANE_FIRST);
    virtual BOOL CreateView(int row, int col, const CRuntimeClass* viewClass, CSize initial, CCreateContext* context);
    void SetRowInfo(int row, int ideal, int min);
    void GetRowInfo(int row, int& cur, int& min) const;
    virtual void RecalcLayout();
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return int(AFX_IDW_PANE_FIRST) + row * 16 + col; }
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }

protected:
    void OnSize(UINT type, int cx, int cy);

    struct RowInfo {
        int ideal = 0;
        int min = 0;
        int cur = 0;
    };
    int m_nRows = 0;
    int m_nCols = 0;
    std::vector<RowInfo> m_rows;

    DECLARE_MESSAGE_MAP()
};
