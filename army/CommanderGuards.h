// Where the computer's commander posts his guards while no enemy comes
// near: the ground his formation must leave open (the kit's formations are
// checked against it).
#pragma once

namespace CommanderGuards {

// Two guards stand this far from the base, diagonally ahead on either
// side: at the army's facing turned by kPairTurns[0] and kPairTurns[1]
// eighths.
inline constexpr int kPairDistance = 400;
inline constexpr int kPairTurns[2] = {7, 1};
// A lone guard stands this far straight ahead of the base.
inline constexpr int kLoneDistance = 300;
// The base is the commander's division while it stands within this
// distance of the army point, else the army point.
inline constexpr int kBaseRadius = 300;

}  // namespace CommanderGuards
