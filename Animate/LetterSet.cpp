#include "Animate/LetterSet.h"

#include <cstring>

namespace {
int g_letterWidth = 0;
int g_letterHeight = 0;
}  // namespace

int LetterGlyph(char ch) {
    if (ch >= 'A' && ch <= 'Z') return ch - 'A';
    if (ch >= 'a' && ch <= 'z') return ch - 'a';
    if (ch >= '0' && ch <= '9') return 26 + ch - '0';
    static const char marks[] = "/.,;:'\"?-%![]()+*@\\";
    const char* at = ch ? std::strchr(marks, ch) : nullptr;
    return at ? 36 + int(at - marks) : -1;
}

void SetLetterCellSize(int width, int height) {
    g_letterWidth = width;
    g_letterHeight = height;
}
int GetLetterWidth() { return g_letterWidth; }
int GetLetterHeight() { return g_letterHeight; }

CRect LetterTextRect(const char* text, int x, int y) {
    int lines = 1, longest = 0, length = 0;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            ++lines;
            length = 1;
        } else {
            ++length;
        }
        longest = std::max(longest, length);
    }
    return CRect(x, y, x + longest * g_letterWidth, y + lines * g_letterHeight);
}

void DrawLetters(CPhasedSprite* set, CDIB* target, const CRect& bounds, const char* text, int x, int y, double factor) {
    if (set == nullptr || target == nullptr || text == nullptr) return;
    set->SetRow(0);
    int penX = x, penY = y;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            penX = x;
            penY += g_letterHeight;
            continue;
        }
        if (*p == ' ') {
            penX += g_letterWidth;
            continue;
        }
        int glyph = LetterGlyph(*p);
        if (glyph < 0) continue;
        set->Move(penX, penY, TRUE);
        CRect cell = set->GetBounds();
        if (cell.IntersectRect(&cell, &bounds)) {
            set->SetColumn(glyph);
            if (factor == 1.0)
                set->Draw(target, &cell, 1.0);
            else
                set->DrawPhaseClipped(target, &cell, factor);
        }
        penX += g_letterWidth;
    }
}
