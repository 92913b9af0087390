// The terrain rectangle database "terrain_rect_db.trm": for each of the 391
// map-object types, the rectangles the object covers in each of its five
// states, its animation frames, countdown, morale penalty and three routes.
// Terrain features build their regions from it.
//
// The file is raw little-endian: u32 file version 2, then 391 records (see
// CTerrainRectRecord::Read). A file of another version is read as a bare
// sequence of records from offset 0, and records it lacks copy the last
// good one. Every read is bounded by the file: a damaged file gives its
// "ERROR: ..." message and the records not read keep their defaults (or the
// copy of the last good one).
#pragma once

#include <vector>

#include "field/Route.h"
#include "platform/afx/Afx.h"

constexpr int kTerrainRecordCount = 391;

// A bounded little-endian reader over the file's bytes.
class CTerrainReader {
public:
    CTerrainReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Byte(BYTE& v);
    bool Int(int32_t& v);
    size_t Position() const { return m_pos; }
    void Seek(size_t pos) { m_pos = pos < m_size ? pos : m_size; }
    size_t Size() const { return m_size; }
    const BYTE* Data() const { return m_data; }
    // Bytes actually read since the last ResetCount.
    size_t Counted() const { return m_counted; }
    void ResetCount() { m_counted = 0; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    size_t m_counted = 0;
};

class CTerrainStateRecord {
public:
    virtual ~CTerrainStateRecord() = default;
    // Reads one state record; FALSE for an unknown version or a short read.
    BOOL Read(CTerrainReader& in);
    void Write(std::vector<BYTE>& out) const;  // version 3

    int32_t valueC = 100;  // cover: a shot stops when a roll of 1..1500 is below it
    BYTE blocking = 0;
    BYTE loop = 0;
    BYTE used = 0;
    int32_t firstFrame = 0;
    int32_t lastFrame = 0;
    int32_t valueD = 1;
    int32_t valueB = 15;
    int32_t depthMode = 0;
    CRect rects[10];
};

class CTerrainRectRecord {
public:
    CTerrainRectRecord() = default;
    virtual ~CTerrainRectRecord() = default;
    CTerrainRectRecord(const CTerrainRectRecord&) = delete;
    CTerrainRectRecord& operator=(const CTerrainRectRecord&) = delete;

    // Reads one record at the reader's position; FALSE when its version is
    // outside 1..8, a read falls short or a state record fails.
    BOOL Read(CTerrainReader& in);
    // Writes the record in version 8.
    void Write(std::vector<BYTE>& out) const;
    // Every field, the index included.
    void CopyFrom(const CTerrainRectRecord& other);

    int32_t pointX = -1000, pointY = -1000;
    int32_t pairA = -1, pairB = -1;
    int32_t frameCount = 1;
    int32_t moralePenalty = 0;
    int32_t countdown = 50;
    int32_t index = 0;
    BYTE countdownActive = 0;
    BYTE snapToCells = 0;
    BYTE flagC = 0;
    int32_t originX = 0, originY = 0;
    CTerrainStateRecord states[5];
    CRoute routes[3];
};

class CTerrainDB {
public:
    CTerrainDB();

    // FALSE when the file cannot be opened or a read error was met.
    BOOL Load(const char* fileName);
    BOOL LoadBytes(const std::vector<BYTE>& bytes);
    // The whole file in version 2.
    std::vector<BYTE> Store() const;

    // Record 0..390; any other number gives record 0.
    CTerrainRectRecord& GetRecord(int type) { return m_records[type >= 0 && type < kTerrainRecordCount ? type : 0]; }
    const CTerrainRectRecord& GetRecord(int type) const {
        return m_records[type >= 0 && type < kTerrainRecordCount ? type : 0];
    }

private:
    std::vector<CTerrainRectRecord> m_records;
};

// Multiples of m with the sign handled as the region snapping needs.
int RoundUpToMultiple(int v, int m);
int RoundDownToMultiple(int v, int m);
