// The kit's army formations as the tactic screen's formation cards draw
// them.
#pragma once

#include <vector>

namespace kit {

// A division's place in a preset army formation facing north: x across
// the front, y towards the rear, from the army point; `facing` the way the
// division faces (0 north, clockwise in eighths).
struct FormationPlace {
    int slot;
    int x, y;
    int facing;
};

// The twelve places of the preset army formation `id`, as the formation
// file holds them for facing 0; empty for an id that is no preset.
std::vector<FormationPlace> PresetFormationPlaces(int id);

}  // namespace kit
