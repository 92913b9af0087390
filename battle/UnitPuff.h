// Which puff a unit raises this step: a charging rider's dust, the dust of a
// melee that stands its ground, a rifleman's smoke as he fires, and the
// splash of every unit that wades.
#pragma once

class CUnit;

struct CUnitPuff {
    double fade = 0;   // the strength the puff starts at
    double step = 0;   // what it loses each step
    bool smoke = false;  // a rifleman's shot: it leaves where the unit faces
};

// The first rule that holds gives the puff; false when the unit raises none
// (it then stands on dry ground). A unit in water always splashes.
bool ChooseUnitPuff(const CUnit& unit, CUnitPuff& puff);
