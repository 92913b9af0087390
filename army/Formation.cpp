#include "army/Formation.h"

#include <algorithm>

#include "core/Helpers.h"

IMPLEMENT_SERIAL(CFormation, CObject, 0)
IMPLEMENT_SERIAL(CArmyFormation, CFormation, 0)
IMPLEMENT_SERIAL(CBattFormation, CFormation, 0)
// Derived from CFormation in its runtime class too, so that a division
// formation can never pass for a battalion formation when a list is read.
IMPLEMENT_SERIAL(CDivFormation, CFormation, 0)

namespace {

// 0, -1, 1, -2, 2, ...: the places of a line spreading out from its middle.
int LineStep(int k) {
    int half = (k + 1) / 2;
    return (k % 2) ? -half : half;
}

// A new formation's places: for facing 0 a line across the front, `step`
// apart and spreading out from the middle; (-1, -1) for the other facings.
template <size_t N>
void LayLineAcrossFront(CPoint (&points)[N][8], int step, int32_t (&ids)[N]) {
    for (size_t r = 0; r < N; ++r) {
        points[r][0] = CPoint(step * LineStep(int(r)), 0);
        for (int f = 1; f < 8; ++f) points[r][f] = CPoint(-1, -1);
        ids[r] = -1;
    }
}

// The name a formation gets from its id until the file names it.
CString NameFromID(int id) { return "Formation " + FormatFloat(id, 0); }

bool InTable(int index, int count, int facing) {
    if (index >= 0 && index < count && facing >= 0 && facing < 8) return true;
    ShowMessage("ERROR: Array out of range!");
    return false;
}

// The entry of a slot table for (index, facing), or null after reporting
// an index outside it. Only the facing's low byte counts.
template <typename T, size_t N>
const T* Checked(const T (&table)[N][8], int index, int facing) {
    facing &= 0xFF;
    return InTable(index, int(N), facing) ? &table[index][facing] : nullptr;
}

template <size_t N>
CPoint PointAt(const CPoint (&table)[N][8], int index, int facing) {
    const CPoint* p = Checked(table, index, facing);
    return p ? *p : CPoint(0, 0);
}

template <typename T, size_t N>
BYTE CodeAt(const T (&table)[N][8], int index, int facing) {
    const T* c = Checked(table, index, facing);
    return c ? BYTE(*c) : 0;
}

void SerializePoint(CArchive& ar, CPoint& p) {
    if (ar.IsStoring()) {
        ar << LONG(p.x) << LONG(p.y);
    } else {
        LONG x, y;
        ar >> x >> y;
        p = CPoint(x, y);
    }
}

template <typename T>
void SerializeInt(CArchive& ar, T& v) {
    if (ar.IsStoring()) {
        ar << LONG(v);
    } else {
        LONG l;
        ar >> l;
        v = T(l);
    }
}

[[noreturn]] void UnknownVersion(CArchive& ar) { ar.Fail(CArchiveException::badSchema); }

}  // namespace

CString FormatFloat(double value, int decimals) {
    CString fmt, out;
    fmt.Format("%%.%df", decimals);
    out.Format(fmt, value);
    return out;
}

// ---------------------------------------------------------------- CFormation

CFormation::CFormation(int id) : m_nID(id) { m_linkedIDs.InitHashTable(17); }

double CFormation::GetCounterRatio() const {
    int64_t sum = int64_t(m_nCounter1) + m_nCounter2;
    if (sum == 0) return 0.0;
    return double(m_nCounter1 / sum);
}

void CFormation::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << LONG(6) << LONG(m_nID) << m_strName << m_strSecondName << m_nLevel << m_fInPlace << m_dwFlags
           << LONG(m_nCounter1) << LONG(m_nCounter2) << LONG(m_nParentID);
        m_linkedIDs.Serialize(ar);
        return;
    }
    SerializeInt(ar, m_nVersionRead);
    const int v = m_nVersionRead;
    if (v < 1 || v > 6) UnknownVersion(ar);
    SerializeInt(ar, m_nID);
    ar >> m_strName;
    if (v >= 2) ar >> m_strSecondName;
    if (v >= 6) ar >> m_nLevel;
    if (v >= 5) ar >> m_fInPlace;
    ar >> m_dwFlags;
    SerializeInt(ar, m_nCounter1);
    SerializeInt(ar, m_nCounter2);
    if (v >= 3) SerializeInt(ar, m_nParentID);
    if (v >= 4) m_linkedIDs.Serialize(ar);
}

// ------------------------------------------------------------ CArmyFormation

CArmyFormation::CArmyFormation(int id) : CFormation(0) {
    m_nID = id;
    m_strName = NameFromID(id);
    m_fInPlace = 1.0f;
    m_nLevel = 0;
    LayLineAcrossFront(m_points, 100, m_divFormationIDs);
}

void CArmyFormation::Serialize(CArchive& ar) {
    CFormation::Serialize(ar);
    if (ar.IsStoring()) {
        ar << LONG(9);
        for (int s = 0; s < kSlots; ++s) {
            for (int f = 0; f < 8; ++f) {
                SerializePoint(ar, m_points[s][f]);
                ar << m_codes[s][f];
            }
            ar << LONG(m_divFormationIDs[s]) << LONG(m_orderTypes[s]) << m_slotBytes[s];
            for (int k = 0; k < 4; ++k) ar << LONG(m_slotValues[s][k]);
        }
        return;
    }
    SerializeInt(ar, m_nOwnVersion);
    const int v = m_nOwnVersion;
    if (v < 4 || v > 9) UnknownVersion(ar);
    if (v == 7) ar >> m_nLevel;
    for (int s = 0; s < kSlots; ++s) {
        for (int f = 0; f < 8; ++f) {
            SerializePoint(ar, m_points[s][f]);
            ar >> m_codes[s][f];
        }
        if (v == 5) ar >> m_fInPlace;
        SerializeInt(ar, m_divFormationIDs[s]);
        SerializeInt(ar, m_orderTypes[s]);
        ar >> m_slotBytes[s];
        for (int k = 0; k < (v == 9 ? 4 : 3); ++k) SerializeInt(ar, m_slotValues[s][k]);
    }
}

CPoint CArmyFormation::GetSlotPoint(int slot, int facing) const { return PointAt(m_points, slot, facing); }

BYTE CArmyFormation::GetSlotValue(int slot, int facing) const { return CodeAt(m_codes, slot, facing); }

int CArmyFormation::FindSlot(int code) const {
    for (int s = 0; s < kSlots; ++s)
        if (m_slotBytes[s] == code) return s;
    return -1;
}

int CArmyFormation::GetDivFormationID(int slot) const {
    return (slot >= 0 && slot < kSlots) ? m_divFormationIDs[slot] : -1;
}

int CArmyFormation::GetOrderType(int slot) const { return (slot >= 0 && slot < kSlots) ? m_orderTypes[slot] : -1; }

// ------------------------------------------------------------ CBattFormation

CBattFormation::CBattFormation(int id) : CFormation(0) {
    m_nID = id;
    m_strName = NameFromID(id);
    // Row 0, the leader, stands in front of the line of the others.
    for (int r = 0; r < kRows; ++r) {
        m_points[r][0] = r == 0 ? CPoint(0, -30) : CPoint(30 * LineStep(r), 30);
        for (int f = 1; f < 8; ++f) m_points[r][f] = CPoint(-1, -1);
    }
    ComputeExtents();
}

void CBattFormation::ComputeExtents() {
    for (int f = 0; f < 8; ++f) {
        int minX = m_points[0][f].x, maxX = minX, minY = m_points[0][f].y, maxY = minY;
        for (int r = 1; r < kRows; ++r) {
            minX = std::min<int>(minX, m_points[r][f].x);
            maxX = std::max<int>(maxX, m_points[r][f].x);
            minY = std::min<int>(minY, m_points[r][f].y);
            maxY = std::max<int>(maxY, m_points[r][f].y);
        }
        m_depth[f] = maxY - minY + 10;
        m_width[f] = maxX - minX + 10;
    }
}

void CBattFormation::Serialize(CArchive& ar) {
    CFormation::Serialize(ar);
    if (ar.IsStoring()) {
        ar << LONG(3);
    } else {
        SerializeInt(ar, m_nOwnVersion);
        if (m_nOwnVersion != 3) UnknownVersion(ar);
    }
    for (int r = 0; r < kRows; ++r)
        for (int f = 0; f < 8; ++f) {
            SerializePoint(ar, m_points[r][f]);
            SerializeInt(ar, m_codes[r][f]);
        }
    for (int f = 0; f < 8; ++f) {
        SerializeInt(ar, m_width[f]);
        SerializeInt(ar, m_depth[f]);
    }
}

CPoint CBattFormation::GetSlotPoint(int row, int facing) const { return PointAt(m_points, row, facing); }

int CBattFormation::GetSlotCode(int row, int facing) const { return CodeAt(m_codes, row, facing); }

int CBattFormation::GetDepth(int facing) const { return (facing >= 0 && facing < 8) ? m_depth[facing] : 0; }
int CBattFormation::GetWidth(int facing) const { return (facing >= 0 && facing < 8) ? m_width[facing] : 0; }

// ------------------------------------------------------------- CDivFormation

CDivFormation::CDivFormation(int id) : CFormation(0) {
    m_nID = id;
    m_strName = NameFromID(id);
    LayLineAcrossFront(m_points, 100, m_battFormationIDs);
}

void CDivFormation::Serialize(CArchive& ar) {
    CFormation::Serialize(ar);
    if (ar.IsStoring()) {
        ar << LONG(1);
    } else {
        SerializeInt(ar, m_nOwnVersion);
        if (m_nOwnVersion != 1 && m_nOwnVersion != 2) {
            ShowMessage("ERROR: Wrong version!");
            UnknownVersion(ar);
        }
    }
    for (int r = 0; r < kRows; ++r) {
        for (int f = 0; f < 8; ++f) {
            SerializePoint(ar, m_points[r][f]);
            SerializeInt(ar, m_codes[r][f]);
        }
        SerializeInt(ar, m_battFormationIDs[r]);
    }
}

CPoint CDivFormation::GetSlotPoint(int row, int facing) const { return PointAt(m_points, row, facing); }

int CDivFormation::GetSlotCode(int row, int facing) const { return CodeAt(m_codes, row, facing); }

int CDivFormation::GetBattFormationID(int row) const {
    return (row >= 0 && row < kRows) ? m_battFormationIDs[row] : -1;
}

int CDivFormation::LookupMappedID(int key) const {
    DWORD value = 0;
    if (m_linkedIDs.Lookup(DWORD(key), value)) return int(value);
    POSITION pos = m_linkedIDs.GetStartPosition();
    if (!pos) return 0;
    DWORD k;
    m_linkedIDs.GetNextAssoc(pos, k, value);
    return int(value);
}
