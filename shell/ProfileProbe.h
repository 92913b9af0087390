// The display check's look into the player profile: only the resolution
// setting (0 = 1024 x 768, 1 = 1280 x 1024, 2 = keep the desktop's).
#pragma once

// FALSE when the profile is missing or cannot be read; the caller then
// keeps its default. Never throws.
bool ReadProfileResolution(const char* name, int& setting);
