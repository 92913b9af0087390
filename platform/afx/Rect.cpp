#include "platform/afx/Rect.h"

bool CRect::IntersectRect(const RECT* a, const RECT* b) {
    CRect r(std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
            std::min(a->bottom, b->bottom));
    if (r.IsRectEmpty()) r.SetRectEmpty();
    *this = r;
    return !r.IsRectEmpty();
}

bool CRect::UnionRect(const RECT* a, const RECT* b) {
    bool emptyA = CRect(*a).IsRectEmpty(), emptyB = CRect(*b).IsRectEmpty();
    CRect r;
    if (emptyA && emptyB)
        r.SetRectEmpty();
    else if (emptyA)
        r = *b;
    else if (emptyB)
        r = *a;
    else
        r.SetRect(std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                  std::max(a->bottom, b->bottom));
    *this = r;
    return !r.IsRectEmpty();
}
