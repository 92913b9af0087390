#include "world/BattleRecord.h"

#include "world/RecordIO.h"

int CBattleRecord::Reset() {
    int32_t v = version;
    *this = CBattleRecord();
    version = v;
    return 0;
}

void CBattleRecord::Assign(const CBattleRecord& o) {
    c7 = o.c7; c8 = o.c8; c9 = o.c9; c10 = o.c10; c11 = o.c11; c12 = o.c12; c13 = o.c13;
    c14 = o.c14; c15 = o.c15; c16 = o.c16; c17 = o.c17; c18 = o.c18; c19 = o.c19; c20 = o.c20;
}

CBattleRecord& CBattleRecord::Add(const CBattleRecord& o) {
    c1 += o.c1; c2 += o.c2; c3 += o.c3; c4 += o.c4; c5 += o.c5; c6 += o.c6; c7 += o.c7;
    c8 += o.c8; c9 += o.c9; c10 += o.c10; c11 += o.c11; c12 += o.c12; c13 += o.c13; c14 += o.c14;
    c15 += o.c15; c16 += o.c16; c17 += o.c17; c18 += o.c18; c19 += o.c19; c20 += o.c20;
    return *this;
}

void CBattleRecord::AddScore(int category, int value) {
    c1 += value;
    switch (category) {
    case 0: c3 += value; break;
    case 1: c2 += value; break;
    case 2: c4 += value; break;
    case 3: c6 += value; break;
    case 4: c5 += value; break;
    default: break;
    }
}

// Unsigned arithmetic wraps like the 32-bit original without undefined behaviour.
static int32_t Wrap(uint32_t v) { return int32_t(v); }

// The weighted tally of c7..c10, c15, c18 and c19 that both scores build on.
static uint32_t Tally(const CBattleRecord& r) {
    uint32_t w = 5u * uint32_t(r.c19) + uint32_t(r.c10) + uint32_t(r.c8) + uint32_t(r.c7);
    uint32_t x = 3u * uint32_t(r.c15) + 2u * w + uint32_t(r.c18);
    return uint32_t(r.c9) + 2u * x;
}

int CBattleRecord::GetMeritScore() const {
    uint32_t y = Tally(*this);
    return Wrap(5u * (6u * uint32_t(c16) + 10u * y - uint32_t(c14)) - 2u * uint32_t(c13) + 3u * uint32_t(c12));
}

int CBattleRecord::GetKillScore() const {
    return Wrap(3u * (uint32_t(c12) + 10u * uint32_t(c16)) + 50u * Tally(*this));
}

void CBattleRecord::Serialize(CArchive& ar) {
    int32_t* const order[20] = {&c7, &c8, &c9, &c10, &c11, &c12, &c16, &c17, &c18, &c19,
                                &c1, &c20, &c2, &c3, &c4, &c5, &c6, &c13, &c14, &c15};
    if (ar.IsStoring()) {
        version = 1;
        ar << LONG(version);
        for (int32_t* p : order) ar << LONG(*p);
        return;
    }
    LONG v;
    ar >> v;
    if (v != 1) ThrowRecordError("ERROR: Unknown version of battle record.");
    version = v;
    for (int32_t* p : order) {
        LONG x;
        ar >> x;
        *p = x;
    }
}

bool CBattleRecord::operator==(const CBattleRecord& o) const {
    return c1 == o.c1 && c2 == o.c2 && c3 == o.c3 && c4 == o.c4 && c5 == o.c5 && c6 == o.c6 && c7 == o.c7 &&
           c8 == o.c8 && c9 == o.c9 && c10 == o.c10 && c11 == o.c11 && c12 == o.c12 && c13 == o.c13 &&
           c14 == o.c14 && c15 == o.c15 && c16 == o.c16 && c17 == o.c17 && c18 == o.c18 && c19 == o.c19 &&
           c20 == o.c20;
}
