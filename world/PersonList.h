// CPersonList: a list of generals. The document's list owns its generals;
// the lists that the collectors fill only point at generals owned elsewhere
// and must be emptied with RemoveAll, never DeleteAll(true).
//
// A clan argument is a clan id compared with `clan`; a turn is the
// campaign's current turn compared with `lastAction`; a general is rested
// when turn - lastAction >= 16. "Merit order" inserts each general before
// the first element whose merit is less than or equal to his.
#pragma once

#include <functional>
#include <unordered_set>

#include "world/Person.h"
#include "platform/afx/Afx.h"

class CPersonList : public CObList {
    DECLARE_SERIAL(CPersonList)
public:
    explicit CPersonList(bool ownsElements = false) : m_bOwns(ownsElements) {}
    ~CPersonList() override;

    CPerson* GetPerson(POSITION& pos) const { return static_cast<CPerson*>(GetNext(pos)); }

    // Look-ups.
    CPerson* FindByID(int id) const;
    // By full name "family, given", exactly.
    CPerson* FindByName(const char* fullName) const;
    // Largest id among the clan's generals (clan -1: among all); 0 when none.
    int GetMaxID(int clan) const;
    int CountPassing(int arm, int minimum) const;
    int CountQualified(int id, int turn, int minUnits, bool aliveOnly) const;
    int CountSubordinates(const CPerson* commander, int turn) const;
    int SumRifles() const;
    int SumHorses() const;
    int SumUnits() const;
    // Totals over the living veterans (every veteran with `includeInactive`);
    // returns the strength total, averaged up to 12 generals past 12.
    int GetClanTotals(int& horses, int& rifles, int& units, int& strength, bool includeInactive) const;

    // Selections.
    CPerson* FindStrongestForArm(int arm) const;
    CPerson* FindFreeGeneral(int arm, int minimum) const;
    void CollectByClan(int clan, CPersonList& out, int turn) const;
    void CollectCandidates(int clan, CPersonList& out, int turn, int minUnits, bool aliveOnly) const;
    void CollectActive(int clan, CPersonList& out, int turn, int minUnits) const;
    void CollectSubordinates(const CPerson* commander, CPersonList& out, int turn, bool captainsOnly) const;
    void InsertByMerit(CPerson* p);
    int InsertByName(CPerson* p);
    void ClearAssigned();

    // Sorts, descending in their key.
    void SortByScore();
    void SortByUnits();
    void SortByArmStrength(int arm);
    void SortBySortKey();

    // Updates.
    void UpdateAll();
    void SetAllFlags(uint8_t flag);
    void ApplyBattleResult(double factor, int clan, int mask);
    void ApplyFactorA(double factor, int clan, int mask);  // rifles
    void ApplyFactorB(double factor, int clan, int mask);  // horses
    void ApplyFactorC(double factor, int clan, int mask);  // units
    void AppointMarshal(CPerson* marshal, int previousCommanderId);
    // Takes `g` out of every command chain, deletes him and his node; with
    // `withSubordinates` his subordinates go the same way first.
    void RemoveFromChains(CPerson* g, bool withSubordinates);
    // Rebuilds every general's subordinates map from the commander ids.
    void Relink();

    // Empties the list; deletes the generals when asked.
    void DeleteAll(bool deleteElements);

    // The object list's form, then Relink (after loading and storing alike).
    void Serialize(CArchive& ar) override;

private:
    void TwoPhaseSort(const std::function<bool(const CPerson*, const CPerson*)>& phase1Before,
                      const std::function<int64_t(const CPerson*)>& key);
    void ApplyTroopFactor(double factor, int clan, int mask, int32_t CPerson::*field);
    // The sum of `field` over the living veterans.
    int SumOverVeterans(int32_t CPerson::*field) const;
    void RemoveChain(CPerson* g, bool withSubordinates, std::unordered_set<const CPerson*>& removing);

    bool m_bOwns;
};
