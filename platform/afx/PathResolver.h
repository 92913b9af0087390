// Turns the game's file names into paths of this machine.
//
// Names are built Windows-style: '\' separators, doubled separators and any
// letter case. A name is resolved below the working folder (or from '/' when
// it starts with '/'): '\' becomes '/', repeated separators collapse, and each
// component that does not exist as written is matched case-insensitively
// against what the folder holds. Components with no match are kept as given,
// so a new file is created under the name the game asked for.
#pragma once

#include <string>
#include <vector>

// The machine path for `name`. When `recordMissing` is set and the name does
// not resolve to an existing file or folder, it is added to the missing list.
std::string AfxResolvePath(const char* name, bool recordMissing = false);

// Whether `name` resolves to an existing file or folder.
bool AfxPathExists(const char* name);

// Names that readers asked for and that did not exist, in request order,
// without repeats. The data kit test reads this to prove that nothing the
// game opens is missing.
std::vector<std::string> AfxGetMissingNames();
void AfxClearMissingNames();
