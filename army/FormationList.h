// The formation lists and the rules that choose among their formations: by
// id, at random among the sixteen presets, by scenario, by family and grade,
// and the next or previous one for a player cycling through them.
//
// The three typed lists own their formations and delete them when emptied or
// destroyed; CFormationList only holds pointers. Lists keep the order of the
// file, and the rules below depend on it (a search by id from the tail lets
// the last formation with an id win). Every random choice is a counted draw.
#pragma once

#include "army/Formation.h"
#include "platform/afx/Afx.h"

class CPerson;

// Army formation ids with a meaning of their own.
namespace ArmyFormationID {
// The sixteen presets, in the order of the random draw.
inline constexpr int kPresets[16] = {93, 3, 94, 97, 90, 10, 99, 100, 101, 26, 70, 96, 95, 98, 92, 102};
// Drawn in place of 92 when picked at random.
inline constexpr int kHalfMoonAlias = 91;
inline constexpr int kHalfMoon = 92;
// The formation of one general only.
inline constexpr int kGeneralsOwn = 103;
}  // namespace ArmyFormationID

// The scenario formations: 113 to 121 and 123 to 134.
bool IsScenarioFormation(int id);
// The scenario formation of a battlefield for the side with `sideFlag` set
// or clear; -1 when the battlefield has none for that side.
int PresetID(int scenario, BOOL sideFlag);
// The full name of the general for whom formation 103 is kept.
const char* GeneralsOwnFormationHolder();

// A not-owning list of formations.
class CFormationList : public CObList {
    DECLARE_SERIAL(CFormationList)
public:
    CFormationList() : CObList(10) {}
};

// Shared body of the owning lists: object-list serialisation that accepts
// only formations of the list's own class, each once.
template <class T>
class COwningFormationList : public CObList {
public:
    COwningFormationList() : CObList(10) {}
    ~COwningFormationList() override { DeleteAll(); }

    void DeleteAll() {
        while (!IsEmpty()) delete static_cast<T*>(RemoveHead());
    }
    void Serialize(CArchive& ar) override;
    // The formation with `id`, searched from the tail; null when none.
    T* FindByID(int id) const;
    // Moves every formation of `other` to this list's tail.
    void TakeAll(COwningFormationList& other) {
        while (!other.IsEmpty()) AddTail(other.RemoveHead());
    }
    T* At(POSITION pos) const { return static_cast<T*>(GetAt(pos)); }
};

class CBattFormationList : public COwningFormationList<CBattFormation>, public IBattFormationList {
    DECLARE_SERIAL(CBattFormationList)
public:
    CBattFormation* FindByID(int id) const override { return COwningFormationList::FindByID(id); }
};

class CDivFormationList : public COwningFormationList<CDivFormation>, public IDivFormationList {
    DECLARE_SERIAL(CDivFormationList)
public:
    CDivFormation* FindByID(int id) const override { return COwningFormationList::FindByID(id); }
    // A random division formation whose flags meet `mask` (one counted draw
    // when any does); null when none does.
    CDivFormation* PickRandom(DWORD mask) const;
};

class CArmyFormationList : public COwningFormationList<CArmyFormation> {
    DECLARE_SERIAL(CArmyFormationList)
public:
    // The formation with `id` (the last in list order wins); id -2 first
    // draws one of the sixteen presets. Null when there is none.
    CArmyFormation* GetFormation(int id) const;

    // The root of a formation's family, following parent ids while the
    // parent exists. A chain longer than the list (a cycle) stops where the
    // walk has visited as many formations as the list holds.
    int GetRootID(int id) const;
    int GetRootIDOf(const CArmyFormation* formation) const;
    CArmyFormation* GetRoot(CArmyFormation* formation) const;

    // Cycling for the tactic screen: the root after (before) `id` in list
    // order, wrapping around; scenario formations other than the scenario's
    // own are passed over. Null when `id` is not a root of the list.
    CArmyFormation* GetNextFormation(int id, int scenario, int ignored, BOOL sideFlag) const;
    CArmyFormation* GetPreviousFormation(int id, int scenario, int ignored, BOOL sideFlag) const;

    // A random root for a posture mask, never 91 (92 instead), a scenario
    // formation, or 103 unless `general` is the one it is kept for; a
    // random preset when no root qualifies.
    CArmyFormation* PickRandom(DWORD mask, const CPerson* general) const;
    // The scenario's formation for the side, else PickRandom for a non-zero
    // mask, else a random preset.
    CArmyFormation* GetByTypeAndSide(int scenario, DWORD mask, const CPerson* general, BOOL sideFlag) const;

    CArmyFormation* ApplyFormation(int id, DWORD mask) const;
    // Among the formations the linked ids name whose flags meet `mask`, the
    // one with the largest counter ratio; else the one the first linked id
    // names; null for a null formation or no links.
    CArmyFormation* PickLinked(const CArmyFormation* formation, DWORD mask) const;

    // The member of the same family at the next grade for `mask`; null when
    // none (and for a formation graded above 4).
    CArmyFormation* FindEquivalent(const CArmyFormation* formation, DWORD mask) const;
    // The first child of `formation` whose flags meet `mask` at `level`.
    CArmyFormation* FindInFamily(const CArmyFormation* formation, DWORD mask, int level) const;

private:
    CArmyFormation* CycleFrom(int id, int scenario, BOOL sideFlag, bool forward) const;
};

// The three lists the view keeps, read together from the formation list
// file: battalion formations, then division formations, then army ones.
struct CFormationLists {
    CBattFormationList batt;
    CDivFormationList div;
    CArmyFormationList army;

    // Stores the three lists, in file order.
    void Serialize(CArchive& ar);
    // Reads the file into fresh lists and takes them over only when all
    // three were read whole. On any failure (no such file, a short or
    // damaged file, a version it does not know) shows "ERROR: Default
    // Formation Lists could not be opened!", keeps the lists as they were
    // and returns FALSE. Never creates the file.
    BOOL Load(const char* fileName);
};
