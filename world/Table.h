// CTable: the block of byte-sized attributes that every castle and general
// carries, and the two figures computed from it: the plain attribute factor
// of an arm and its combat rating.
//
// Arms are numbered 0..4 (0 infantry, 1 cavalry, 2 archers, 3 spears,
// 4 rifles); the attribute of arm 0 lives in skills[2], arm 1 in skills[1],
// arm 2 in skills[3], arm 3 in skills[4] and arm 4 in skills[5].
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

class CTable : public CObject {
    DECLARE_SERIAL(CTable)
public:
    CTable();
    CTable(const CTable& o) : CObject() { Assign(o); }
    CTable& operator=(const CTable& o) {
        Assign(o);
        return *this;
    }

    // Every field but skills[6] and version takes its preset value.
    void SetPreset();
    // Copies every field, skills[6] and version included.
    void Assign(const CTable& other);

    // The attribute of an arm; 0 outside 0..4.
    int GetArmAttribute(int arm) const;
    // The arm attribute x 0.02; 0.0 outside 0..4.
    double GetAttributeFactor(int arm) const;
    // At least 1; see the rating rule in Table.cpp.
    int GetCombatRating(int arm) const;

    // Stores version 2 (26 bytes). Loads versions 2, 1 and the short
    // version-0 layout; any other version throws.
    void Serialize(CArchive& ar) override;

    bool operator==(const CTable& o) const;

    int8_t traits[5];
    int32_t count;
    int8_t grades[2];
    int32_t experience;
    int8_t skills[7];
    int32_t version;
};
