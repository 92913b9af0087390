// Letter sets: the bitmap fonts of the game's screens. A letter set is a
// CPhasedSprite of one row of 55 glyph cells; letters map case-insensitively
// to cells 0-25, digits to 26-35 and nineteen marks to 36-54.
//
// Text is laid out with the cell size of the last letter set loaded, which
// every screen and dialog shares (loading another set changes the spacing
// of all later text).
#pragma once

#include "Animate/PhasedSprite.h"

constexpr int kLetterSetCells = 55;

// The glyph cell of `ch`, or -1 when the set has none (then it draws
// nothing and takes no room).
int LetterGlyph(char ch);

// The shared cell size, set by whoever loads a letter set.
void SetLetterCellSize(int width, int height);
int GetLetterWidth();
int GetLetterHeight();

// The rectangle `text` covers at (x, y): the longest line (the newline that
// opens a line counts as one of its characters) by the number of lines.
CRect LetterTextRect(const char* text, int x, int y);

// Draws `text` with `set` into `target` at (x, y). Glyphs that fall wholly
// outside `bounds` are skipped. A factor other than 1.0 shades the glyphs.
void DrawLetters(CPhasedSprite* set, CDIB* target, const CRect& bounds, const char* text, int x, int y, double factor);
