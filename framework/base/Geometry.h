// Points, sizes and rectangles in pixels, as the platform's CPoint, CSize and
// CRect. A rectangle includes its left/top edge and excludes right/bottom.
#pragma once

#include <algorithm>

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int x_, int y_) : x(x_), y(y_) {}
    friend constexpr bool operator==(CPoint, CPoint) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
    friend constexpr bool operator==(CSize, CSize) = default;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint p, CSize s) : left(p.x), top(p.y), right(p.x + s.cx), bottom(p.y + s.cy) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    constexpr void OffsetRect(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void SetRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    constexpr void DeflateRect(int dx, int dy)
    {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    // The common part of two rectangles; an empty rectangle when they do not meet.
    constexpr bool IntersectRect(const CRect& a, const CRect& b)
    {
        left = std::max(a.left, b.left);
        top = std::max(a.top, b.top);
        right = std::min(a.right, b.right);
        bottom = std::min(a.bottom, b.bottom);
        if (IsRectEmpty()) {
            *this = CRect();
            return false;
        }
        return true;
    }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};
