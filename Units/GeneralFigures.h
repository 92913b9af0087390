// The figures of a general that his troops feel in battle, read from his
// record's working attribute table (CPerson::workTableB): the generator and
// the campaign keep all of them on the 0..99 scale. A missing general has
// none of them (0), except the base attribute, 60 by default.
//
//   leadership   traits[1]  steadies morale, weighs in the rout check
//   protection   traits[2]  his guard: keeps a command unit alive, turns shots
//   arm trait    traits[4]  with the arm's attribute factor, his officers' blows
//   level        grades[0]
//   experience   experience
//   base         skills[0]  the attribute before the five arm attributes
//   attributes   traits[0..4]  the five that the generals' factors blend
//   tactic       value9     the commander's set of battle tactics, 1..8
//   flags        skills[6]  what his division may do of its own accord
//
// After a battle the summary books the level and experience above, the
// troops (units, and horses or rifles by his arm), his standing, and marks
// him taken (assigned cleared, lastAction the booking's turn).
#pragma once

#include "world/Person.h"

namespace GeneralFigures {

inline int Leadership(const CPerson* p) { return p ? p->workTableB.traits[1] : 0; }
inline int Protection(const CPerson* p) { return p ? p->workTableB.traits[2] : 0; }
inline int ArmTrait(const CPerson* p) { return p ? p->workTableB.traits[4] : 0; }
inline double ArmFactor(const CPerson* p, int arm) { return p ? p->workTableB.GetAttributeFactor(arm) : 0.0; }
inline int Level(const CPerson* p) { return p ? p->workTableB.grades[0] : 0; }
inline int Experience(const CPerson* p) { return p ? p->workTableB.experience : 0; }
inline int BaseAttribute(const CPerson* p) { return p ? p->workTableB.skills[0] : 60; }
// The five attributes the generals' factors blend, k = 0..4 (traits).
inline int Attribute(const CPerson* p, int k) { return p && k >= 0 && k < 5 ? p->workTableB.traits[k] : 0; }
// His flag byte, the extra byte of his table: bit 0 lets his division
// give up the field or regroup of its own accord, bit 3 stand as a rear
// guard, bit 4 refuse to retreat.
inline int Flags(const CPerson* p) { return p ? uint8_t(p->workTableB.skills[6]) : 0; }
inline bool HasFlag(const CPerson* p, int bit) { return (Flags(p) >> bit) & 1; }
// The commander's set of battle tactics, 1..8; anything else is none.
inline int TacticNumber(const CPerson* p) { return p ? p->value9 : 0; }

// What the after-battle summary writes back (a general is required).
inline int8_t& LevelRef(CPerson* p) { return p->workTableB.grades[0]; }
inline int32_t& ExperienceRef(CPerson* p) { return p->workTableB.experience; }

}  // namespace GeneralFigures
