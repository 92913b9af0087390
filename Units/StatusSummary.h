// The status summary of a battle: a small tree that totals what each
// battalion went through and, once the battle is over, books it on the
// generals who led them. One leaf per battalion, one four-child node per
// division (children by battalion number), one fifteen-child node per army
// (children by division index).
//
// A node owns its children and deletes them with itself or on Reset. The
// generals are only referenced; a node without a general books nothing.
#pragma once

#include <cstdint>

#include "world/BattleRecord.h"
#include "platform/afx/Afx.h"

class CPerson;

// One battalion's line.
class CStatusSummary {
public:
    CStatusSummary() = default;
    CStatusSummary(const CStatusSummary&) = delete;
    CStatusSummary& operator=(const CStatusSummary&) = delete;
    virtual ~CStatusSummary() = default;

    // Books the leaf on its general: marks him taken at `stamp` when the
    // leaf is changed, folds the kill score into the record, adds the
    // record to his career, raises his experience (25..99) and his standing
    // (at most 5 a battle). Nothing without a general.
    void Propagate(int stamp);

    CBattleRecord m_record;   // the battalion's counters, or its children's total
    void* m_link = nullptr;
    CPerson* m_general = nullptr;
    BYTE m_changed = 0;       // the general has a result to book (he was taken)
    // A and B: units lost and fled, booked against the general's troops;
    // C: the record's twelfth counter; D: the merit score.
    int32_t m_a = 0, m_b = 0, m_c = 0, m_d = 0;
    BYTE m_closed = 0;        // finished: the element was lost
    int32_t m_type = 0;       // the battalion's type (a leaf) or the division's
};

// What the division and army nodes share: children by slot, owned, and
// their totals.
template <class Child, int N>
class CStatusParent : public CStatusSummary {
public:
    static constexpr int kChildren = N;
    ~CStatusParent() override { DeleteChildren(); }

    // Places `child` (owned from here) at `slot` 0..N-1, deleting what stood
    // there; a slot outside deletes the child and answers FALSE.
    BOOL SetChild(int slot, Child* child) {
        if (slot < 0 || slot >= N) {
            delete child;
            return FALSE;
        }
        delete m_children[slot];
        m_children[slot] = child;
        return TRUE;
    }
    Child* GetChild(int slot) const { return slot >= 0 && slot < N ? m_children[slot] : nullptr; }

    Child* m_children[N] = {};

protected:
    void DeleteChildren() {
        for (Child*& child : m_children) {
            delete child;
            child = nullptr;
        }
    }
    // Children gone, totals cleared.
    void ResetTotals() {
        DeleteChildren();
        m_record.Reset();
        m_a = m_b = m_c = m_d = 0;
        m_changed = 0;
        m_general = nullptr;
    }
    // Totals A..D over the children; child 0 gives the general and, when
    // changed, this node's changed byte.
    void GatherChildren() {
        m_a = m_b = m_c = m_d = 0;
        for (int i = 0; i < N; ++i) {
            const Child* child = m_children[i];
            if (!child) continue;
            m_a += child->m_a;
            m_b += child->m_b;
            m_c += child->m_c;
            m_d += child->m_d;
            if (i == 0) {
                m_general = child->m_general;
                if (child->m_changed) m_changed = 1;
            }
        }
    }
    // Every child books its own, and its record is added into this one.
    void PropagateChildren(int stamp) {
        for (Child* child : m_children) {
            if (!child) continue;
            child->Propagate(stamp);
            m_record.Add(child->m_record);
        }
    }
};

// One division: its battalions' leaves by number.
class CStatusSummary4 : public CStatusParent<CStatusSummary, 4> {
public:
    // Deletes the children and clears the totals.
    void Reset();
    // Totals A..D over the children; child 0 gives the general and its
    // changed byte.
    void Gather() { GatherChildren(); }
    // Books the leaves, adds their records into this one, then the losses
    // on the division's general: his troops (and his horses or rifles for
    // the mounted and rifle arms) drop by A + B, kept at 1 or more; when he
    // was taken they change by 1 - (A + B), kept at 0 or more. A drop never
    // raises a figure that was already below its floor.
    void Propagate(int stamp);

    int32_t m_counters[4][4] = {};
    int32_t m_extra[2] = {0, 0};
};

// One army: its divisions' nodes by index, and the battle's result.
class CStatusSummary15 : public CStatusParent<CStatusSummary4, 15> {
public:
    // Deletes the children and clears the totals, the counters and the
    // result.
    void Reset();
    // Stores the result (`score`) and factor, totals A..D over the
    // children (child 0, the commander's division, gives the general),
    // then D = trunc((D + score) x factor) and the commander's level rises
    // by 5 for every whole 1000 of D, kept to 1..99.
    void Gather(double factor, int score);
    // Books every division on its generals and totals their records.
    // Returns the changed byte.
    BOOL Propagate(int stamp);

    int32_t m_figures[3] = {20, 20, 20};
    int32_t m_stamp = 0;      // the battle's score, as Gather received it
    double m_factor = 0.0;    // the result factor, as Gather received it
    BYTE m_active = 0;        // the army was still in the field: it won
    int32_t m_childCount = 0;
};
