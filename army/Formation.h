// Formations: the slot tables that place an army's divisions, a division's
// battalions and a battalion's units around a reference point, one table per
// facing 0..7. They are data, all read from the formation list file; the
// lists that own them are in army/FormationList.h.
//
// Nesting: an army formation slot names a division formation, a division
// formation row names a battalion formation, and a battalion formation's ten
// rows are the places of the battalion's units (row 0 the leader).
//
// Every slot accessor checks its indices: outside the table it shows
// "ERROR: Array out of range!" and answers zeros. Loading refuses a version
// it does not know by throwing an archive exception, so a damaged file never
// leaves a formation half read.
#pragma once

#include <cstdint>

#include "Units/ArmyInterfaces.h"
#include "platform/afx/Afx.h"
#include "platform/afx/Map.h"

// `value` in fixed notation with `decimals` decimals ("%.0f" for 0).
CString FormatFloat(double value, int decimals);

// The common part of every formation: names, family and flags.
class CFormation : public CObject {
    DECLARE_SERIAL(CFormation)
public:
    explicit CFormation(int id = 0);

    // Written as version 6; versions 1 to 6 are read.
    void Serialize(CArchive& ar) override;

    // True when the flags and `mask` share a bit.
    BOOL HasFlag(DWORD mask) const { return (m_dwFlags & mask) != 0; }
    // True for the head of a family (no parent).
    BOOL IsRoot() const { return m_nParentID == -1; }
    // first / (first + second), as an integer quotient; 0.0 when both are 0.
    double GetCounterRatio() const;

    CString m_strName = "Unnamed Formation";
    DWORD m_dwFlags = 0;
    int32_t m_nCounter1 = 0;
    int32_t m_nCounter2 = 0;
    int32_t m_nSpare = 0;
    // Share of divisions in place above which the slots count as taken.
    float m_fInPlace = 0.9f;
    CMapDWordToDWord m_linkedIDs;
    int32_t m_nID = 0;
    int32_t m_nParentID = -1;
    int32_t m_nVersionRead = 0;
    // Grade within the family, 0 to 4.
    BYTE m_nLevel = 0;
    CString m_strSecondName;
};

// Twelve division slots; slot i belongs to the division with index i.
class CArmyFormation : public CFormation {
    DECLARE_SERIAL(CArmyFormation)
public:
    static constexpr int kSlots = 12;

    explicit CArmyFormation(int id = 0);

    // Base part, then version 9; versions 4 to 9 are read.
    void Serialize(CArchive& ar) override;

    // The slot's point (relative to the army's front reference) and the
    // facing its division takes; zeros outside slot 0..11, facing 0..7.
    CPoint GetSlotPoint(int slot, int facing) const;
    BYTE GetSlotValue(int slot, int facing) const;
    // The first slot whose slot byte equals `code`; -1 when none.
    int FindSlot(int code) const;
    // The division formation the slot's division takes (-1 none), and the
    // order type of the slot order; -1 outside the table.
    int GetDivFormationID(int slot) const;
    int GetOrderType(int slot) const;

    int32_t m_slotValues[kSlots][4] = {};
    BYTE m_slotBytes[kSlots] = {};
    int32_t m_nOwnVersion = 9;
    CPoint m_points[kSlots][8];
    BYTE m_codes[kSlots][8] = {};
    int32_t m_divFormationIDs[kSlots];
    int32_t m_orderTypes[kSlots] = {};
};

// Ten unit rows; row 0 is the battalion's leader.
class CBattFormation : public CFormation, public IBattFormation {
    DECLARE_SERIAL(CBattFormation)
public:
    static constexpr int kRows = 10;

    explicit CBattFormation(int id = 0);

    // Base part, then version 3; only version 3 is read.
    void Serialize(CArchive& ar) override;

    int GetNumber() const override { return m_nID; }
    CPoint GetSlotPoint(int row, int facing) const override;
    // The low byte of the row's code: the unit's facing there.
    int GetSlotCode(int row, int facing) const override;
    // Depth and width of the formation at a facing, each padded by 10:
    // the spread of the rows' y and x. 0 outside facing 0..7.
    int GetDepth(int facing) const;
    int GetWidth(int facing) const;
    // Recomputes both tables from the points.
    void ComputeExtents();

    CPoint m_points[kRows][8];
    int32_t m_codes[kRows][8] = {};
    int32_t m_depth[8] = {};
    int32_t m_width[8] = {};
    int32_t m_nOwnVersion = 3;
};

// Four battalion rows. The parent id is the formation's link: the division
// formation a division switches to where its orders call for the linked one.
class CDivFormation : public CFormation, public IDivFormation {
    DECLARE_SERIAL(CDivFormation)
public:
    static constexpr int kRows = 4;

    explicit CDivFormation(int id = 0);

    // Base part, then version 1; versions 1 and 2 are read.
    void Serialize(CArchive& ar) override;

    int GetNumber() const override { return m_nID; }
    CPoint GetSlotPoint(int row, int facing) const override;
    int GetSlotCode(int row, int facing) const override;
    // The battalion formation of a row (-1 none, also outside 0..3).
    int GetBattFormationID(int row) const;
    int GetSlotValue(int row) const override { return GetBattFormationID(row); }
    int GetLinkID() const override { return m_nParentID; }
    // The value under `key` in the linked ids; for an absent key the value
    // of the first entry in the map's order; 0 for an empty map.
    int LookupMappedID(int key) const override;

    int32_t m_codes[kRows][8] = {};
    CPoint m_points[kRows][8];
    int32_t m_battFormationIDs[kRows];
    int32_t m_nOwnVersion = 1;
};
