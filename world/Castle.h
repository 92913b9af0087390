// CCastle, the campaign's unit of land, with its economy record
// CCastleEconomy (stocks of units, horses and rifles and the rates that
// produce them each turn), and CCastleList, every castle of the world.
// Provinces and clans derive from CCastle (State.h, Nation.h).
#pragma once

#include <cstdint>

#include "world/RecordIO.h"
#include "world/Table.h"
#include "platform/afx/Afx.h"

class CCastleEconomy : public CObject {
public:
    // Adds a turn's production; rifles only with the flag.
    void Produce(bool withRifles);
    // Every field 0, version included.
    void Clear();
    // Every field 0 but the version.
    void Reset();
    // Adds every summed field and every double of `other`.
    void Add(const CCastleEconomy& other);
    // All three production rates are 0.01 or less.
    bool IsBarren() const;
    // Multiplies the three production rates by (1 - fraction).
    void ReduceRates(double fraction);

    // Stores version 2 (104 bytes); loads 2 and 1; any other throws.
    void Serialize(CArchive& ar) override;
    // The stored fields in the version-1 order, as castle formats 3 and 4
    // carry them inline.
    void SerializeV1Fields(CArchive& ar);

    double averageA = 0;
    int32_t spare = 0;
    int32_t weight = 0;
    int32_t figureA = 0, figureB = 0, figureC = 0;
    int32_t rifles = 0;
    int32_t figureD = 0;
    int32_t horses = 0;
    int32_t figureE = 0;
    int32_t units = 0;
    int32_t figureF = 0;
    double rateA = 0;
    double averageB = 0;
    double rifleRate = 0;
    double rateB = 0;
    double unitRate = 0;
    double horseRate = 0;
    int32_t version = 0;

private:
    void SerializeInts(CArchive& ar);
    // A stored rate or average that is infinite or NaN makes the file bad.
    void CheckFigures() const;
};

class CCastle : public CObject {
    DECLARE_SERIAL(CCastle)
public:
    CCastle();
    ~CCastle() override = default;

    CString GetName() const { return name; }
    // Stocks x factor, truncated.
    void ScaleFigures(double factor);

    // Stores version 6; loads 6, 5, 4 and 3. Any other version throws with
    // "ERROR: Unknown version of castle file.".
    void Serialize(CArchive& ar) override;

    int32_t number = 0;
    int32_t version = -1;
    int32_t region = 0;
    double factor = 1.0;
    uint8_t gradeA = 80;
    uint8_t gradeB = 75;
    uint8_t gradeC = 0;
    int32_t rating = 85;
    CTable table;
    int32_t scratch = 0;
    int32_t limitA = 200, limitB = 200;
    int32_t id = 0;
    CString name;
    CString text1, text2;
    uint8_t isHome = 0;
    int32_t group = 0;
    int32_t owner = 0;
    CMapDWordToDWord mapA, mapB;
    int32_t extra[4] = {0, 0, 0, 0};
    CCastleEconomy economy;
};

// Owns its castles. Clan arguments are clan ids compared with `owner`.
class CCastleList : public CObList {
    DECLARE_SERIAL(CCastleList)
public:
    ~CCastleList() override { DeleteAll(); }

    CCastle* GetCastle(POSITION& pos) const { return static_cast<CCastle*>(GetNext(pos)); }

    CCastle* FindByName(const char* name) const;
    // Adds the clan's stocks to `out`; sets its two averages to the
    // weight-weighted means (0 when the weights sum to 0).
    void GetTotals(int clan, CCastleEconomy& out) const;
    // As GetTotals, but moves the stocks out of the castles; the rifles are
    // counted and moved only after 1549.
    void GetTotalsEx(int clan, CCastleEconomy& out, int year);
    // Sets the stocks of the clan's home castle to those of `record`.
    void DepositToHome(int clan, const CCastleEconomy& record);
    // Projected income of the clan's castles, added to `out`.
    void SumIncome(int clan, CCastleEconomy& out, bool withRifles) const;
    // One turn's production in every castle.
    void UpdateEconomy(bool withRifles);
    // Clears `out`, then adds the economy of each castle of the clan.
    void SumEconomy(int clan, CCastleEconomy& out) const;
    // The clan's home castle (first of the clan with isHome set), or null.
    CCastle* FindLinked(int clan) const;
    // Cuts the rates of one random productive castle of the clan; one
    // counted draw per castle passed over.
    void DamageRandomCastle(int clan, double fraction);
    void DeleteAll() { DeleteListElements(*this); }

    void Serialize(CArchive& ar) override;
};
