#include "world/Castle.h"

#include <cmath>

#include "core/Helpers.h"
#include "core/Random.h"

// ---- CCastleEconomy

void CCastleEconomy::Produce(bool withRifles) {
    units = AddCounts(units, CountFromFigure(unitRate * 100));
    horses = AddCounts(horses, CountFromFigure(horseRate * 100));
    if (withRifles) rifles = AddCounts(rifles, CountFromFigure(rifleRate * 100));
}

void CCastleEconomy::Clear() {
    Reset();
    version = 0;
}

void CCastleEconomy::Reset() {
    int32_t v = version;
    *this = CCastleEconomy();
    version = v;
}

void CCastleEconomy::Add(const CCastleEconomy& o) {
    averageA += o.averageA;
    for (auto field : {&CCastleEconomy::spare, &CCastleEconomy::weight, &CCastleEconomy::figureA,
                       &CCastleEconomy::figureB, &CCastleEconomy::figureC, &CCastleEconomy::rifles,
                       &CCastleEconomy::figureD, &CCastleEconomy::horses, &CCastleEconomy::figureE,
                       &CCastleEconomy::units, &CCastleEconomy::figureF})
        this->*field = AddCounts(this->*field, o.*field);
    rateA += o.rateA;
    averageB += o.averageB;
    rifleRate += o.rifleRate;
    rateB += o.rateB;
    unitRate += o.unitRate;
    horseRate += o.horseRate;
}

bool CCastleEconomy::IsBarren() const { return unitRate <= 0.01 && horseRate <= 0.01 && rifleRate <= 0.01; }

void CCastleEconomy::ReduceRates(double fraction) {
    unitRate *= 1 - fraction;
    horseRate *= 1 - fraction;
    rifleRate *= 1 - fraction;
}

void CCastleEconomy::SerializeInts(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << figureB << figureA << figureC << weight << rifles << figureD << horses << figureD << figureE << figureF
           << units;
    } else {
        // figureD stands twice; the second one counts.
        ar >> figureB >> figureA >> figureC >> weight >> rifles >> figureD >> horses >> figureD >> figureE >>
            figureF >> units;
    }
}

void CCastleEconomy::SerializeV1Fields(CArchive& ar) {
    SerializeInts(ar);
    if (ar.IsStoring()) {
        ar << rateA << averageB << rifleRate << rateB << unitRate << horseRate;
    } else {
        ar >> rateA >> averageB >> rifleRate >> rateB >> unitRate >> horseRate;
        CheckFigures();
    }
}

void CCastleEconomy::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        version = 2;
        ar << version;
        SerializeInts(ar);
        ar << rateA << averageB << averageA << rifleRate << rateB << unitRate << horseRate;
        return;
    }
    ar >> version;
    if (version == 2) {
        SerializeInts(ar);
        ar >> rateA >> averageB >> averageA >> rifleRate >> rateB >> unitRate >> horseRate;
        CheckFigures();
    } else if (version == 1) {
        SerializeV1Fields(ar);
    } else {
        ThrowRecordError("ERROR: Unknown version of castle economy.");
    }
}

void CCastleEconomy::CheckFigures() const {
    for (double v : {averageA, rateA, averageB, rifleRate, rateB, unitRate, horseRate})
        if (!std::isfinite(v)) ThrowRecordError("ERROR: The castle economy holds a rate that is no number.");
}

// ---- CCastle

IMPLEMENT_SERIAL(CCastle, CObject, VERSIONABLE_SCHEMA | 1)

CCastle::CCastle() {}

void CCastle::ScaleFigures(double f) {
    economy.units = CountFromFigure(economy.units * f);
    economy.horses = CountFromFigure(economy.horses * f);
    economy.rifles = CountFromFigure(economy.rifles * f);
}

void CCastle::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        version = 6;
        ar << version;
        for (int32_t e : extra) ar << e;
        ar << isHome << limitA << limitB << id << region << owner << number << group << factor << gradeA << gradeB
           << rating;
        ar << text2 << text1 << name;
        mapA.Serialize(ar);
        mapB.Serialize(ar);
        table.Serialize(ar);
        economy.Serialize(ar);
        return;
    }
    ar >> version;
    if (version < 3 || version > 6) ThrowRecordError("ERROR: Unknown version of castle file.");
    for (int32_t& e : extra) ar >> e;
    if (version == 3) {
        int32_t home;
        ar >> home;
        isHome = uint8_t(home);
    } else {
        ar >> isHome;
    }
    ar >> limitA >> limitB >> id >> region >> owner >> number >> group;
    if (version <= 4) economy.SerializeV1Fields(ar);
    ar >> factor >> gradeA >> gradeB;
    if (version <= 5) ar >> gradeC;
    ar >> rating;
    ar >> text2 >> text1 >> name;
    mapA.Serialize(ar);
    mapB.Serialize(ar);
    table.Serialize(ar);
    if (version >= 5) economy.Serialize(ar);
}

// ---- CCastleList

IMPLEMENT_SERIAL(CCastleList, CObList, 1)

CCastle* CCastleList::FindByName(const char* name) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCastle* c = GetCastle(pos);
        if (c->name == name) return c;
    }
    return nullptr;
}

// Sums the clan's stocks into `out` and sets its weighted averages; with
// `move` the stocks leave the castles, the rifles only with `moveRifles`:
// rifles that stay are not counted either, or they would be handed out and
// still be there.
static void CollectTotals(const CCastleList& list, int clan, CCastleEconomy& out, bool move, bool moveRifles) {
    double sumA = 0, sumB = 0;
    int64_t weights = 0;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CCastle* c = list.GetCastle(pos);
        if (c->owner != clan) continue;
        CCastleEconomy& e = c->economy;
        if (!move || moveRifles) out.rifles += e.rifles;
        out.horses += e.horses;
        out.units += e.units;
        sumA += double(e.weight) * e.averageA;
        sumB += double(e.weight) * e.averageB;
        weights += e.weight;
        if (move) {
            e.horses = 0;
            e.units = 0;
            if (moveRifles) e.rifles = 0;
        }
    }
    out.averageA = weights != 0 ? sumA / double(weights) : 0.0;
    out.averageB = weights != 0 ? sumB / double(weights) : 0.0;
}

void CCastleList::GetTotals(int clan, CCastleEconomy& out) const { CollectTotals(*this, clan, out, false, false); }

void CCastleList::GetTotalsEx(int clan, CCastleEconomy& out, int year) {
    CollectTotals(*this, clan, out, true, year > 1549);
}

void CCastleList::DepositToHome(int clan, const CCastleEconomy& record) {
    if (CCastle* home = FindLinked(clan)) {
        home->economy.horses = record.horses;
        home->economy.rifles = record.rifles;
        home->economy.units = record.units;
    }
}

void CCastleList::SumIncome(int clan, CCastleEconomy& out, bool withRifles) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCastle* c = GetCastle(pos);
        if (c->owner != clan) continue;
        out.horses = AddCounts(out.horses, CountFromFigure(c->economy.horseRate * 100));
        out.units = AddCounts(out.units, CountFromFigure(c->economy.unitRate * 100));
        if (withRifles) out.rifles = AddCounts(out.rifles, CountFromFigure(c->economy.rifleRate * 100));
    }
}

void CCastleList::UpdateEconomy(bool withRifles) {
    for (POSITION pos = GetHeadPosition(); pos;) GetCastle(pos)->economy.Produce(withRifles);
}

void CCastleList::SumEconomy(int clan, CCastleEconomy& out) const {
    out.Clear();
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCastle* c = GetCastle(pos);
        if (c->owner == clan) out.Add(c->economy);
    }
}

CCastle* CCastleList::FindLinked(int clan) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCastle* c = GetCastle(pos);
        if (c->owner == clan && c->isHome) return c;
    }
    return nullptr;
}

void CCastleList::DamageRandomCastle(int clan, double fraction) {
    CPtrList eligible;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCastle* c = GetCastle(pos);
        if (c->owner == clan && !c->economy.IsBarren()) eligible.AddTail(c);
    }
    // Each castle in turn is struck with chance 1 in (castles left), so
    // every eligible castle is equally likely.
    while (!eligible.IsEmpty()) {
        int n = eligible.GetCount();
        CCastle* c = static_cast<CCastle*>(eligible.RemoveHead());
        int r = CountedRand() % n + 1;
        if (r == 1) {
            c->economy.ReduceRates(fraction);
            return;
        }
    }
}

void CCastleList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CCastle)); }
