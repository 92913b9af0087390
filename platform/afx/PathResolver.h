// Turns the game's file names into paths of this machine.
//
// Names are built Windows-style: '\' separators, doubled separators and any
// letter case. A name is resolved below the working folder (or from '/' when
// it starts with '/'): '\' becomes '/', repeated separators collapse, and each
// component that does not exist as written is matched case-insensitively
// against what the folder holds. Components with no match are kept as given,
// so a new file is created under the name the game asked for.
//
// The player's own files are not part of the game folder: whatever a name
// puts in a "Data\Saved Data" folder (the profile, saved games, army slots)
// resolves into the user's data folder instead, so the game folder stays
// read-only content that may be rebuilt or moved at any time.
#pragma once

#include <string>
#include <vector>

// The machine path for `name`. When `recordMissing` is set and the name does
// not resolve to an existing file or folder, it is added to the missing list.
std::string AfxResolvePath(const char* name, bool recordMissing = false);

// The user's data folder: $XDG_DATA_HOME/velmor when XDG_DATA_HOME is an
// absolute path, else $HOME/.local/share/velmor; empty when neither is set
// (the Saved Data folder then stays below the game folder). Read from the
// environment on every call.
std::string AfxGetUserDataFolder();

// The machine path for `name`, as AfxResolvePath, about to be written: when
// it lies in the user's data folder, the folders leading to it are created
// first, so a Saved Data folder removed meanwhile never makes a store fail.
std::string AfxResolvePathForWrite(const char* name);

// Whether `name` resolves to an existing file or folder.
bool AfxPathExists(const char* name);

// Names that readers asked for and that did not exist, in request order,
// without repeats. The data kit test reads this to prove that nothing the
// game opens is missing.
std::vector<std::string> AfxGetMissingNames();
void AfxClearMissingNames();
