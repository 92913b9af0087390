#include "shell/ProfileProbe.h"

// STAND-IN until the player roster (the profile's layout) is in: no profile
// is understood yet, so the display check keeps its default target.
bool ReadProfileResolution(const char*, int&) { return false; }
