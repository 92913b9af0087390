// CPerson: one general of the campaign: names and title, clan, the
// commander he serves and the generals serving him, troops, merit and
// standing, the battle record of his career and four attribute tables from
// which his strength per arm follows. Generals live in a CPersonList; the
// document's list owns them.
//
// Arms 0..4 as in CTable: arm 1 needs horses and weighs 3, arm 4 needs
// rifles and weighs 7, arms 0, 2 and 3 weigh 1.
#pragma once

#include <cstdint>

#include "world/BattleRecord.h"
#include "world/Table.h"
#include "platform/afx/Afx.h"

class CPerson : public CObject {
    DECLARE_SERIAL(CPerson)
public:
    CPerson();
    ~CPerson() override = default;

    bool IsVeteran() const { return merit > 200; }
    bool IsCaptain() const { return merit >= 100 && merit <= 200; }
    // Alive and his last action more than 14 turns before `turn`.
    bool CanActAgain(int turn) const { return alive && int64_t(lastAction) < int64_t(turn) - 14; }
    int GetTroopLimit(int arm) const;
    bool PassesCheck(int arm, double ratio, int minimum) const;
    // Troops -1: his own troop figures.
    int GetArmStrength(int arm, int troops) const;
    int GetArmStrengthEx(int arm, int troops) const { return GetArmStrength(arm, troops); }
    // 0..5 from standing; standing 140..150 costs one counted draw.
    int GetRankLevel() const;
    // traits[4] of both working tables := trunc(fraction x 100) kept to 0..99.
    void SetPercent(double fraction);
    int GetAbilityValue(int arm) const;
    // The merit score plus the stored merit, held to the 32-bit range.
    int GetScore() const;
    // "family, given".
    CString GetFullName() const;
    CString GetFamilyName() const { return familyName; }
    // One of the two generals whose presence the army units treat apart.
    bool IsSpecialGeneral() const;
    // The base tables become copies of the working tables.
    void SaveAbilities();
    void InitAbilities(double factor);
    // New abilities inherited from `source`, with counted random rolls.
    void GainExperience(const CPerson& source, double factor);
    // New abilities from his own, with counted random rolls.
    void GainExperienceEx(double factor);
    // Working tables from the base tables and the battle record.
    void RecalcFromRecord();
    void ComputeDerived();

    // Stores format 10, or 11 when `version` was set to 11; `version` is 0
    // afterwards. Loads formats 8..11; any other throws with
    // "ERROR: Unknown version of the person file.".
    void Serialize(CArchive& ar) override;

    CMapDWordToDWord subordinates;
    CMapDWordToDWord mapB, mapC;
    int32_t units = 10;
    int32_t rifles = 0;
    int32_t horses = 0;
    uint8_t flags[3] = {0, 0, 0};
    uint8_t armSnapshot[5] = {0, 0, 0, 0, 0};
    int32_t version = 0;
    uint8_t extraFlag = 0;
    CBattleRecord record;
    CTable baseTableA, baseTableB;
    CTable workTableA;
    int32_t scratch = 0;
    CString picture = "Cmb Default";
    CString text1, text2;
    CString text3;  // portrait name
    int32_t id = 0;
    int32_t value1 = 1;
    CString familyName, givenName, name3, name4, name5;
    int32_t lastAction = 1520;
    int32_t value2 = -1;  // year of death, -1 none
    int32_t value3 = 60, value4 = 70;
    uint8_t alive = 1, active = 1, assigned = 0;
    CTable workTableB;
    uint8_t sortKey = 35;
    int32_t state = 0;  // his arm 0..4
    CString title, text4;
    int32_t commanderId = 0;
    int32_t merit = 100;
    int32_t value5 = 10;
    int32_t standing = 130;
    int32_t value6 = 60, value7 = 50, value8 = 60;
    int32_t groupMask = 0;
    int32_t value9 = 0, value10 = 10, value11 = 60, value12 = 10;
    float ratio = 0.7f;
    int32_t value13 = 0;
    int32_t value14 = 0, value15 = 0, value16 = 0;
    int32_t clan = 0;
    int32_t value17 = 0, value18 = 0;
    CMapDWordToDWord mapD;
    double armSkill[5] = {0, 0, 0, 0, 0};
    int32_t armRating[5] = {0, 0, 0, 0, 0};
    int32_t value19 = -1;
    CPtrList subordinateList;  // not owning
    CPerson* commander = nullptr;
};
