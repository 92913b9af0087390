#include "world/Table.h"

#include <cmath>

#include "world/RecordIO.h"

IMPLEMENT_SERIAL(CTable, CObject, 1)

CTable::CTable()
    : traits{10, 45, 35, 10, 20}, count(0), grades{40, 100}, experience(70), skills{60, 20, 30, 35, 40, 15, 0},
      version(2) {}

void CTable::SetPreset() {
    traits[0] = 10; traits[1] = 65; traits[2] = 55; traits[3] = 10; traits[4] = 50;
    count = 0;
    grades[0] = 50; grades[1] = 100;
    experience = 70;
    skills[0] = 75; skills[1] = 50; skills[2] = 50; skills[3] = 50; skills[4] = 50; skills[5] = 50;
}

void CTable::Assign(const CTable& o) {
    for (int i = 0; i < 5; ++i) traits[i] = o.traits[i];
    count = o.count;
    grades[0] = o.grades[0];
    grades[1] = o.grades[1];
    experience = o.experience;
    for (int i = 0; i < 7; ++i) skills[i] = o.skills[i];
    version = o.version;
}

int CTable::GetArmAttribute(int arm) const {
    switch (arm) {
    case 0: return skills[2];
    case 1: return skills[1];
    case 2: return skills[3];
    case 3: return skills[4];
    case 4: return skills[5];
    default: return 0;
    }
}

double CTable::GetAttributeFactor(int arm) const {
    if (arm < 0 || arm > 4) return 0.0;
    return GetArmAttribute(arm) * 0.02;
}

// A logarithmic factor of 0.55 ln(arg); 0.01 when below that or undefined.
static double LogFactor(double arg) {
    if (!(arg > 0.0)) return 0.01;
    double f = 0.55 * std::log(arg);
    return f < 0.01 ? 0.01 : f;
}

int CTable::GetCombatRating(int arm) const {
    int a = GetArmAttribute(arm);
    int m = (traits[1] + traits[2]) / 2;
    double base = a * m * 0.02 * 0.5;
    double f1 = LogFactor((experience + 1.0) * 0.15);
    double l = 0.55 * std::log((traits[4] + 1) * 0.1);
    double f2;
    if (!((traits[4] + 1) * 0.1 > 0.0)) {
        f2 = 0.01;
    } else {
        f2 = (arm == 3) ? l : l * l;
        f2 *= 1.2;
        if (f2 < 0.01) f2 = 0.01;
    }
    double r = base * (f2 * f1) * 0.5;
    if (r < 1.0) return 1;
    return int(r);
}

void CTable::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        version = 2;
        ar << version;
        for (int i = 0; i < 5; ++i) ar << traits[i];
        ar << count << grades[0] << grades[1] << experience;
        ar << skills[0] << skills[3] << skills[1] << skills[2] << skills[6] << skills[5] << skills[4];
        return;
    }
    ar >> version;
    if (version == 2) {
        for (int i = 0; i < 5; ++i) ar >> traits[i];
        ar >> count >> grades[0] >> grades[1] >> experience;
        ar >> skills[0] >> skills[3] >> skills[1] >> skills[2] >> skills[6] >> skills[5] >> skills[4];
    } else if (version == 1) {
        int32_t v[10];
        for (int32_t& x : v) ar >> x;
        for (int i = 0; i < 5; ++i) traits[i] = int8_t(v[i]);
        count = v[5];
        grades[0] = int8_t(v[6]);
        grades[1] = int8_t(v[7]);
        experience = v[8];
        // The old format wrote skills[0] as a whole integer over the first
        // four skill bytes.
        uint32_t s = uint32_t(v[9]);
        skills[0] = int8_t(s);
        skills[1] = int8_t(s >> 8);
        skills[2] = int8_t(s >> 16);
        skills[3] = int8_t(s >> 24);
    } else if (version == 0) {
        ar >> traits[1] >> traits[2] >> traits[3] >> traits[4] >> count >> grades[0] >> experience >> skills[0];
    } else {
        ThrowRecordError("ERROR: Unknown version of attribute table.");
    }
}

bool CTable::operator==(const CTable& o) const {
    for (int i = 0; i < 5; ++i)
        if (traits[i] != o.traits[i]) return false;
    for (int i = 0; i < 7; ++i)
        if (skills[i] != o.skills[i]) return false;
    return count == o.count && grades[0] == o.grades[0] && grades[1] == o.grades[1] && experience == o.experience;
}
