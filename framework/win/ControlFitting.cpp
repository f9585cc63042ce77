#include "framework/win/ControlFitting.h"

#include <algorithm>
#include <numeric>

#include "framework/base/String.h"
#include "framework/win/DialogUnits.h"
#include "framework/win/StaticControl.h"
#include "framework/win/Window.h"

namespace {

enum class Kind { PushButton, CheckBox, SingleLine, Other };

bool IsClass(const res::DialogItem& item, std::u16string_view name)
{
    return CString(item.className).CompareNoCase(CString(name)) == 0;
}

Kind KindOf(const res::DialogItem& item)
{
    if (IsClass(item, u"BUTTON")) {
        switch (item.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return Kind::PushButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return Kind::CheckBox;
        default: return Kind::Other;
        }
    }
    if (IsClass(item, u"EDIT") && !(item.style & ES_MULTILINE))
        return Kind::SingleLine;
    return Kind::Other;
}

// The narrowest a control may be and still read as what it is.
int MinWidth(const res::DialogItem& item, Kind kind)
{
    int label = StripMnemonic(CString(item.text)).GetLength();
    switch (kind) {
    case Kind::PushButton: return label + 2;  // "[" label "]"
    case Kind::CheckBox: return label + 4;    // "[ ] " label
    default: return 1;
    }
}

struct Fitted {
    CRect cells;
    CRect dlu;
    Kind kind;
    int minWidth;
};

bool ShareRow(const CRect& a, const CRect& b) { return a.top < b.bottom && b.top < a.bottom; }

}  // namespace

std::vector<CRect> FitControlsToCells(std::span<const res::DialogItem> items)
{
    std::vector<Fitted> fitted;
    fitted.reserve(items.size());
    for (const res::DialogItem& item : items) {
        Fitted f;
        f.dlu = CRect(item.x, item.y, item.x + item.cx, item.y + item.cy);
        f.cells = CellRectFromPixels(MapDialogRect(f.dlu));
        f.kind = KindOf(item);
        f.minWidth = MinWidth(item, f.kind);
        if (f.kind != Kind::Other)
            f.cells.bottom = f.cells.top + 1;
        if (f.cells.Width() < f.minWidth)
            f.cells.right = f.cells.left + f.minWidth;
        fitted.push_back(f);
    }

    // Side by side, from the left: each control keeps clear of the push
    // buttons to its left, and each push button of whatever is to its left.
    std::vector<size_t> order(fitted.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return fitted[a].dlu.left < fitted[b].dlu.left; });
    for (size_t i = 0; i < order.size(); ++i) {
        Fitted& right = fitted[order[i]];
        // The nearest neighbour to the left that needs a cell between them.
        Fitted* left = nullptr;
        for (size_t j = 0; j < i; ++j) {
            Fitted& other = fitted[order[j]];
            bool apart = other.dlu.right <= right.dlu.left;
            bool button = other.kind == Kind::PushButton || right.kind == Kind::PushButton;
            if (apart && button && ShareRow(other.cells, right.cells)
                && (!left || other.cells.right > left->cells.right))
                left = &other;
        }
        if (!left)
            continue;
        int need = left->cells.right + 1 - right.cells.left;
        if (need <= 0)
            continue;
        int spare = std::max(0, left->cells.Width() - left->minWidth);
        int give = std::min(need, spare);
        left->cells.right -= give;
        right.cells.OffsetRect(need - give, 0);
    }

    std::vector<CRect> cells;
    cells.reserve(fitted.size());
    for (const Fitted& f : fitted)
        cells.push_back(f.cells);
    return cells;
}
