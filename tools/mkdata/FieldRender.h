// Pictures of the kit's battlefields as a player sees them in battle: the
// background at full colour with every terrain object of the field's
// terrain file drawn over it, in depth order, each in its own colours.
#pragma once

#include <string>

namespace kit {

// Writes "<outDir>/battlefield-<key>.jpg" for every battlefield of the kit
// below `kitRoot`. Returns 0 on success, 1 (with an "ERROR: ..." on stderr)
// when a field cannot be read or a picture written.
int RenderBattlefields(const std::string& kitRoot, const std::string& outDir);

}  // namespace kit
