// CRect: a rectangle in pixels, as the window functions report it: left and
// top inclusive, right and bottom exclusive (a 10 x 5 rectangle at the
// origin is 0, 0, 10, 5).
#pragma once

class CRect {
public:
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr void OffsetRect(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }

    friend constexpr bool operator==(const CRect& a, const CRect& b) = default;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
