// The working folder's layout: the folders the game reads from and writes
// into exist even where no generator puts a file (the player's saved games
// and profile, the cache of temporary files).
#include "tools/mkdata/Kit.h"

KIT_GENERATOR(Folders) {
    const char* folders[] = {
        "Pictures", "Pictures\\Cmb", "Pictures\\Portrait", "Pictures\\Unit Sets", "Pictures\\Terrain",
        "Sound",    "Data",          "Data\\Saved Data",   "Data\\MapData",       "cache",
    };
    for (const char* f : folders) kit.MakeFolder(f);
}
