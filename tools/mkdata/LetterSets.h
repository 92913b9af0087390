// The kit's bitmap fonts ("Letter Set" sheets in the pictures folder).
#pragma once

#include <string>
#include <vector>

namespace kit {

// The 55 glyph cells of a letter-set sheet, left to right.
extern const char kLetterSetGlyphs[];

// The cell of a character (lower case shares the capitals), -1 for none.
int LetterSetGlyph(char c);

// The font names the kit writes ("Pictures\\" + name + ".giz").
std::vector<std::string> LetterSetNames();

}  // namespace kit
