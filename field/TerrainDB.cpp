#include "field/TerrainDB.h"

#include <cstdlib>

#include "field/FileBytes.h"
#include "core/Helpers.h"

bool CTerrainReader::Byte(BYTE& v) {
    if (m_pos >= m_size) return false;
    v = m_data[m_pos++];
    ++m_counted;
    return true;
}

bool CTerrainReader::Int(int32_t& v) {
    if (m_size - m_pos < 4) {
        m_pos = m_size;
        return false;
    }
    v = int32_t(AfxGetLE32(m_data + m_pos));
    m_pos += 4;
    m_counted += 4;
    return true;
}

static void PutInt(std::vector<BYTE>& out, int32_t v) { AfxPutLE32(out, uint32_t(v)); }

// Rectangles and origins are offsets from the object's place on the field,
// and frame counts are stepped through: any of them beyond a million is
// damage, and would overflow when the object is placed or animated.
constexpr int32_t kFar = 1 << 20;
static bool Near(int32_t v) { return v >= -kFar && v <= kFar; }

static bool ReadRects(CTerrainReader& in, CRect* rects) {
    for (int i = 0; i < 10; ++i) {
        int32_t c[4];
        for (int32_t& v : c)
            if (!in.Int(v) || !Near(v)) return false;
        rects[i] = CRect(c[0], c[1], c[2], c[3]);
    }
    return true;
}

BOOL CTerrainStateRecord::Read(CTerrainReader& in) {
    int32_t version;
    if (!in.Int(version)) return FALSE;
    int32_t skip;
    switch (version) {
    case 1:
        if (!in.Byte(blocking) || !in.Byte(loop) || !in.Int(valueD) || !in.Int(lastFrame) || !in.Int(valueB) ||
            !in.Int(skip) || !in.Int(firstFrame) || !in.Int(depthMode) || !ReadRects(in, rects))
            return FALSE;
        used = !rects[0].IsRectNull();
        return TRUE;
    case 2:
    case 3:
        if (!in.Byte(blocking) || !in.Byte(loop) || !in.Byte(used) || !in.Int(valueD) || !in.Int(lastFrame) ||
            !in.Int(valueB) || !in.Int(firstFrame) || !in.Int(depthMode))
            return FALSE;
        if (version == 3 && !in.Int(valueC)) return FALSE;
        return ReadRects(in, rects) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

void CTerrainStateRecord::Write(std::vector<BYTE>& out) const {
    PutInt(out, 3);
    out.push_back(blocking);
    out.push_back(loop);
    out.push_back(used);
    PutInt(out, valueD);
    PutInt(out, lastFrame);
    PutInt(out, valueB);
    PutInt(out, firstFrame);
    PutInt(out, depthMode);
    PutInt(out, valueC);
    for (const CRect& r : rects) {
        PutInt(out, r.left);
        PutInt(out, r.top);
        PutInt(out, r.right);
        PutInt(out, r.bottom);
    }
}

// Routes are stored through an archive at the reader's position: a count,
// then x, y per point. The reader moves past what the archive consumed.
static bool ReadRoutes(CTerrainReader& in, CRoute* routes, int count, bool emptyFirst) {
    CMemFile file(in.Data() + in.Position(), in.Size() - in.Position());
    try {
        CArchive ar(&file, CArchive::load);
        // The archive reads ahead in blocks: what it consumed is what it
        // handed out, which the number of points each route gained tells
        // (older records add to what the route already holds).
        size_t used = 0;
        for (int i = 0; i < count; ++i) {
            if (emptyFirst) routes[i].RemoveAll();
            int before = routes[i].GetCount();
            routes[i].Serialize(ar);
            DWORD n = DWORD(routes[i].GetCount() - before);
            used += (n < 0xFFFF ? 2 : 6) + size_t(n) * 8;
        }
        ar.Abort();
        in.Seek(in.Position() + used);
    } catch (const CException&) {
        return false;
    }
    return true;
}

BOOL CTerrainRectRecord::Read(CTerrainReader& in) {
    in.ResetCount();
    int32_t version;
    if (!in.Int(version)) return FALSE;
    int32_t skip;
    int stateCount = 0;
    bool ok = true;
    switch (version) {
    case 1:
        ok = in.Byte(flagC) && in.Byte(snapToCells) && in.Int(originX) && in.Int(originY) &&
             ReadRects(in, states[0].rects);
        break;
    case 2: {
        BYTE blocking0 = 0;
        ok = in.Byte(flagC) && in.Byte(snapToCells) && in.Int(originX) && in.Int(originY) && in.Int(skip) &&
             in.Int(moralePenalty) && in.Int(countdown) && in.Byte(blocking0) && in.Byte(countdownActive) &&
             in.Int(frameCount) && Near(frameCount) && in.Int(skip) && ReadRects(in, states[0].rects);
        states[0].blocking = blocking0;
        if (ok) states[0].lastFrame = frameCount - 1;
        break;
    }
    case 3: case 4: case 5: case 6: case 7: case 8:
        ok = in.Byte(flagC) && in.Byte(countdownActive) && in.Byte(snapToCells) && in.Int(countdown) &&
             in.Int(frameCount) && in.Int(moralePenalty) && in.Int(originX) && in.Int(originY);
        if (ok && version == 8) ok = in.Int(pointX) && in.Int(pointY);
        stateCount = version >= 5 ? 5 : 4;
        break;
    default:
        return FALSE;
    }
    if (!ok || !Near(originX) || !Near(originY)) return FALSE;
    for (int s = 0; s < stateCount; ++s)
        if (!states[s].Read(in)) return FALSE;
    if (version >= 6 && !(in.Int(pairA) && in.Int(pairB))) return FALSE;
    if (version >= 4) {
        int routeCount = version >= 7 ? 3 : 2;
        if (!ReadRoutes(in, routes, routeCount, version >= 7)) return FALSE;
    }
    return TRUE;
}

void CTerrainRectRecord::Write(std::vector<BYTE>& out) const {
    PutInt(out, 8);
    out.push_back(flagC);
    out.push_back(countdownActive);
    out.push_back(snapToCells);
    PutInt(out, countdown);
    PutInt(out, frameCount);
    PutInt(out, moralePenalty);
    PutInt(out, originX);
    PutInt(out, originY);
    PutInt(out, pointX);
    PutInt(out, pointY);
    for (const CTerrainStateRecord& s : states) s.Write(out);
    PutInt(out, pairA);
    PutInt(out, pairB);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        for (const CRoute& r : routes) const_cast<CRoute&>(r).Serialize(ar);
        ar.Close();
    }
    out.insert(out.end(), file.Data().begin(), file.Data().end());
}

void CTerrainRectRecord::CopyFrom(const CTerrainRectRecord& o) {
    pointX = o.pointX, pointY = o.pointY, pairA = o.pairA, pairB = o.pairB;
    frameCount = o.frameCount, moralePenalty = o.moralePenalty, countdown = o.countdown, index = o.index;
    countdownActive = o.countdownActive, snapToCells = o.snapToCells, flagC = o.flagC;
    originX = o.originX, originY = o.originY;
    for (int s = 0; s < 5; ++s) states[s] = o.states[s];
    for (int i = 0; i < 3; ++i) routes[i].Copy(o.routes[i]);
}

CTerrainDB::CTerrainDB() : m_records(kTerrainRecordCount) {
    for (int i = 0; i < kTerrainRecordCount; ++i) {
        m_records[size_t(i)].index = i;
        m_records[size_t(i)].states[0].used = 1;
    }
}

BOOL CTerrainDB::Load(const char* fileName) {
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        ShowMessage("ERROR: Error opening terrain rectangle input file!!!");
        return FALSE;
    }
    return LoadBytes(bytes);
}

// A record that fails half way is left exactly as it was.
static bool ReadInto(CTerrainRectRecord& record, CTerrainReader& in) {
    CTerrainRectRecord temp;
    temp.CopyFrom(record);
    if (!temp.Read(in)) return false;
    record.CopyFrom(temp);
    return true;
}

BOOL CTerrainDB::LoadBytes(const std::vector<BYTE>& bytes) {
    CTerrainReader in(bytes.data(), bytes.size());
    int32_t version = 0;
    bool error = false;
    in.Int(version);
    if (version == 2) {
        for (int i = 0; i < kTerrainRecordCount && !error; ++i) {
            if (!ReadInto(m_records[size_t(i)], in)) {
                ShowMessage("ERROR: Error reading terraindb file.");
                error = true;
            }
        }
    } else {
        ShowMessage("ERROR: unrecognized version of terraindb file.  Attempting to continue");
        in.Seek(0);
        int lastGood = -1;
        for (int i = 0; i < kTerrainRecordCount; ++i) {
            if (!error) {
                if (ReadInto(m_records[size_t(i)], in)) {
                    lastGood = i;
                    continue;
                }
                ShowMessage(
                    "ERROR: End of file reached before all terrain rects loaded!  There may have been a read error.");
                error = true;
            }
            if (lastGood >= 0) m_records[size_t(i)].CopyFrom(m_records[size_t(lastGood)]);
        }
    }
    for (CTerrainRectRecord& r : m_records) r.states[0].used = 1;
    return error ? FALSE : TRUE;
}

std::vector<BYTE> CTerrainDB::Store() const {
    std::vector<BYTE> out;
    PutInt(out, 2);
    for (const CTerrainRectRecord& r : m_records) r.Write(out);
    return out;
}

int RoundUpToMultiple(int v, int m) {
    if (v % m == 0) return v;
    if (v >= 0) return (v / m + 1) * m;
    return -((std::abs(v) / m) * m);
}

int RoundDownToMultiple(int v, int m) {
    if (v >= 0) return (v / m) * m;
    return -RoundUpToMultiple(std::abs(v), m);
}
