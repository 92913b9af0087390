#include "world/Person.h"

#include <algorithm>

#include "world/RecordIO.h"
#include "core/WorldNames.h"
#include "core/Random.h"

IMPLEMENT_SERIAL(CPerson, CObject, VERSIONABLE_SCHEMA | 2)

CPerson::CPerson() {}

int CPerson::GetTroopLimit(int arm) const {
    switch (arm) {
    case 0: case 2: case 3: return units;
    case 1: return std::min(horses, units);
    case 4: return std::min(rifles, units);
    default: return 0;
    }
}

bool CPerson::PassesCheck(int arm, double r, int minimum) const {
    if (units < minimum) return false;
    double x = units * r;
    if (std::max(x, 1.0) < minimum) return false;
    if (arm > 4 || arm < 0) return false;
    if (arm == 0 || arm == 2 || arm == 3) return true;
    int h = arm == 1 ? horses : rifles;
    return h >= units || h >= 4 || h > x;
}

int CPerson::GetArmStrength(int arm, int troops) const {
    int n, h, r;
    if (troops >= 0) {
        n = troops;
        h = std::min(horses, troops);
        r = std::min(rifles, troops);
    } else {
        n = units;
        h = horses;
        r = rifles;
    }
    int count, weight;
    switch (arm) {
    case 0: case 2: case 3: count = n; weight = 1; break;
    case 1: count = h; weight = 3; break;
    case 4: count = r; weight = 7; break;
    default: count = 0; weight = 0; break;
    }
    if (n == 0) return workTableB.GetCombatRating(arm) * weight;
    int mix = int(0.7 * workTableA.GetCombatRating(arm) + 0.3 * workTableB.GetCombatRating(arm));
    // Troop counts come from files: a strength past the 32-bit range is
    // held at its end.
    return ClampCount(int64_t(mix) * weight * count);
}

int CPerson::GetScore() const { return ClampCount(int64_t(record.GetMeritScore()) + merit); }

int CPerson::GetRankLevel() const {
    if (standing > 160) return 5;
    if (standing > 155) return 4;
    if (standing > 150) return 3;
    if (standing < 140) return 0;
    int r = RandomRange(139, standing + 3, -1);
    if (r > 144) return 2;
    if (r >= 141) return 1;
    return 0;
}

void CPerson::SetPercent(double fraction) {
    int v = std::clamp(int(fraction * 100), 0, 99);
    workTableA.traits[4] = int8_t(v);
    workTableB.traits[4] = int8_t(v);
}

int CPerson::GetAbilityValue(int arm) const {
    const CTable& b = workTableB;
    double f = b.GetAttributeFactor(arm);
    double v;
    if (state == 2 || state == 4)
        v = f * b.traits[4] * 0.005;
    else
        v = 0.5 * (f * b.traits[1] * 0.005 + f * b.traits[2] * 0.005);
    return int(sortKey * 0.01 * b.experience * 0.01 * b.traits[4] * 0.01 * v * 100);
}

CString CPerson::GetFullName() const { return familyName + ", " + givenName; }

bool CPerson::IsSpecialGeneral() const {
    CString full = GetFullName();
    return full == kSpecialGeneralNames[0] || full == kSpecialGeneralNames[1];
}

void CPerson::SaveAbilities() {
    baseTableB.Assign(workTableB);
    baseTableA.Assign(workTableA);
}

static int8_t Limit(double v, int lo = 1, int hi = 100) { return int8_t(std::clamp(int(v), lo, hi)); }

void CPerson::InitAbilities(double f) {
    CTable& a = workTableA;
    const CTable& b = workTableB;
    a.SetPreset();
    a.experience = int32_t(a.experience * f);
    a.grades[0] = Limit(a.grades[0] * f);
    a.traits[1] = Limit((3 * a.traits[1] + b.traits[1]) * f * 0.25);
    a.traits[2] = Limit((3 * a.traits[2] + b.traits[2]) * f * 0.25);
    a.traits[3] = Limit((3 * a.traits[3] + b.traits[3]) * f * 0.25);
    a.traits[4] = Limit(a.traits[4] * f);
    a.skills[0] = Limit(f * (2 * a.skills[0] + b.skills[0]) / 3);
}

namespace {
// The rolls of inherited abilities: each evaluation draws a fresh R.
struct Roller {
    int lo, hi;
    int R() const { return RandomRange(lo, hi, -1); }
    double E(int v, double f) const { return v * R() * f / 100; }
    // A value between `low` and 100, by the four-step rule.
    int8_t Limited(int v, int low, double f) const {
        double e = E(v, f);
        if (e < 100) {
            e = E(v, f);
            if (e < low) return int8_t(low);
        }
        e = E(v, f);
        if (e >= 100) return 100;
        return int8_t(int(E(v, f)));
    }
    // The second table's abilities rolled from `src`, which may be `b`
    // itself: each field is read before it is written. The draws come in
    // the order both peers replay: skills 3, 2, 1, 4, 5, experience, trait
    // 0, skill 6, grade 0, traits 1, 2, 4, 3. Experience is left unclamped.
    void Abilities(CTable& b, const CTable& src, double f, int gradeLow, int traitLow) const {
        for (int k : {3, 2, 1, 4, 5}) b.skills[k] = Limited(src.skills[k], 25, f);
        b.count = 1;
        b.experience = int32_t(src.experience * R() / 100);
        b.traits[0] = int8_t(src.traits[0] * R() / 100);
        b.skills[6] = int8_t(src.skills[6] * R() / 100);
        b.grades[1] = 100;
        b.grades[0] = Limited(src.grades[0], gradeLow, f);
        b.traits[1] = Limited(src.traits[1], traitLow, f);
        b.traits[2] = Limited(src.traits[2], traitLow, f);
        b.traits[4] = Limited(src.traits[4], traitLow, f);
        b.traits[3] = Limited(src.traits[3], 1, 1.0);
    }
};
}  // namespace

void CPerson::GainExperience(const CPerson& s, double f) {
    const Roller roll{85, 105};
    const CTable& sb = s.workTableB;
    const CTable& sa = s.workTableA;
    CTable b = workTableB;
    roll.Abilities(b, sb, f, 35, 35);
    int r2 = RandomRange(70, 105, -1);
    b.skills[0] = int8_t(int((r2 * sb.skills[0]) / 100 * f));
    workTableB = b;

    CTable& a = workTableA;
    for (int k : {3, 2, 1, 4, 5}) a.skills[k] = Limit((2 * sa.skills[k] + b.skills[k]) * f / 3);
    a.count = sa.count;
    a.experience = std::clamp(int(sa.experience * f), 25, 99);
    a.grades[0] = Limit(sa.grades[0] * f);
    for (int k : {1, 2, 4, 3}) a.traits[k] = Limit((3 * sa.traits[k] + b.traits[k]) * f * 0.25);
    a.skills[0] = Limit(f * (2 * sa.skills[0] + b.skills[0]) / 3);
    sortKey = uint8_t(roll.Limited(s.sortKey, 25, f));
}

void CPerson::GainExperienceEx(double f) {
    const Roller roll{95, 105};
    workTableA.SetPreset();
    CTable& b = workTableB;
    roll.Abilities(b, b, f, 1, 25);
    b.experience = std::clamp(int(b.experience), 25, 99);
    b.skills[0] = roll.Limited(b.skills[0], 1, f);
}

void CPerson::ComputeDerived() {
    for (int i = 0; i < 5; ++i) {
        armRating[i] = workTableB.GetCombatRating(i);
        double fa = workTableA.GetAttributeFactor(i);
        armSkill[i] = 0.5 * (fa * workTableA.traits[1] * 0.005 + fa * workTableA.traits[2] * 0.005);
    }
}

// One working table from its base table and the first six counters.
static void RecalcTable(CTable& w, const CTable& base, const CBattleRecord& r) {
    w.grades[0] = Limit(r.c1 / 50 + base.grades[0]);
    w.traits[4] = Limit(r.c1 / 50 + base.traits[4]);
    w.skills[1] = Limit(r.c2 / 100 + base.skills[1]);
    w.skills[2] = Limit(r.c3 / 60 + base.skills[2]);
    w.skills[3] = Limit(r.c4 / 30 + base.skills[3]);
    w.skills[5] = Limit(r.c5 / 100 + base.skills[5]);
    w.skills[4] = Limit(r.c6 / 30 + base.skills[4]);
}

static void RecalcTraits(CTable& w, const CTable& base, const CBattleRecord& r) {
    if (w.grades[0] < 100 || r.c1 <= 3000) return;
    int a = base.traits[1], b = base.traits[2], e = r.c1 - 3000;
    if (a <= b) {
        w.traits[1] = Limit(e / 150 + a);
        w.traits[2] = Limit(e / 100 + b);
    } else {
        w.traits[1] = Limit(e / 100 + a);
        w.traits[2] = Limit(e / 150 + b);
    }
}

void CPerson::RecalcFromRecord() {
    ComputeDerived();
    RecalcTable(workTableB, baseTableB, record);
    RecalcTable(workTableA, baseTableA, record);
    RecalcTraits(workTableB, baseTableB, record);
    RecalcTraits(workTableA, baseTableA, record);
}

void CPerson::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        if (version == 0) version = 10;
        ar << version << id << clan << value15 << value16 << value17;
        ar << familyName << givenName << name3 << name4 << name5 << title << text4 << text3 << text1 << text2
           << picture;
        ar << merit << value5 << value4 << value3 << units << horses << rifles << state;
        ar << sortKey << lastAction << value1 << alive << active;
        ar << commanderId << value13 << value14 << standing << value6 << value7 << value8 << value10 << value11
           << ratio << value12 << groupMask << value9 << value2 << value18;
        subordinates.Serialize(ar);
        mapC.Serialize(ar);
        mapB.Serialize(ar);
        mapD.Serialize(ar);
        workTableB.Serialize(ar);
        if (version == 11) {
            // Four bytes per snapshot slot, running on over the following
            // snapshot bytes and the low bytes of the format number.
            BYTE run[9] = {armSnapshot[0], armSnapshot[1], armSnapshot[2], armSnapshot[3], armSnapshot[4],
                           BYTE(version), BYTE(version >> 8), BYTE(version >> 16), BYTE(version >> 24)};
            for (int i = 0; i < 5; ++i) ar.Write(run + i, 4);
            ar << extraFlag;
        }
        workTableA.Serialize(ar);
        baseTableB.Serialize(ar);
        baseTableA.Serialize(ar);
        record.Serialize(ar);
        version = 0;
        return;
    }
    ar >> version;
    if (version < 8 || version > 11) {
        version = 0;
        ThrowRecordError("ERROR: Unknown version of the person file.");
    }
    ar >> id >> clan >> value15 >> value16 >> value17;
    ar >> familyName >> givenName >> name3 >> name4 >> name5 >> title >> text4 >> text3 >> text1 >> text2 >> picture;
    ar >> merit >> value5 >> value4 >> value3 >> units >> horses >> rifles >> state;
    ar >> sortKey >> lastAction >> value1 >> alive >> active;
    ar >> commanderId >> value13 >> value14 >> standing >> value6 >> value7 >> value8 >> value10 >> value11 >> ratio >>
        value12 >> groupMask >> value9 >> value2 >> value18;
    subordinates.Serialize(ar);
    mapC.Serialize(ar);
    mapB.Serialize(ar);
    mapD.Serialize(ar);
    workTableB.Serialize(ar);
    if (version == 11) {
        for (int i = 0; i < 5; ++i) {
            BYTE slot[4];
            ar.ReadExact(slot, 4);
            armSnapshot[i] = slot[0];
        }
        ar >> extraFlag;
    } else {
        for (int i = 0; i < 5; ++i) armSnapshot[i] = uint8_t(workTableB.GetArmAttribute(i));
    }
    workTableA.Serialize(ar);
    if (version >= 9) {
        baseTableB.Serialize(ar);
        baseTableA.Serialize(ar);
        if (version >= 10) record.Serialize(ar);
        ComputeDerived();
    }
    version = 0;
}
