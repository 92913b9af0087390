// CRouteDatabase: one battlefield's precomputed paths for the pairs of fine
// cells (15 x 15 field units) that lie within 300 units of each other, whose
// straight line is blocked and whose search is long. Each pair is stored
// once; a look-up with the ends the other way round reverses the record.
//
// File "MapData\Paths <key>.pth", little-endian: u32 version 2, u32 record
// count, then the records: one byte n (cells including both ends, at least
// 2), then n (column, row) byte pairs from start to goal. Version 1 files
// have no count; they are converted to a "_new" file first.
//
// A file that does not hold together (a record of fewer than two cells, a
// cell outside the grid, more or fewer records than its count, a record cut
// short, an unknown version) is refused as a whole with an "ERROR: ..." and
// the battle runs without a database.
#pragma once

#include <memory>
#include <vector>

#include "field/PathGrid.h"
#include "platform/afx/Afx.h"

class CPointList;
class CPathSearch;

// The line shown while a path database is built: "Saving paths.  <percent>
// percent done.".
CString PathBuildProgressText(double percent);

class CRouteDatabase : public CObject {
public:
    CRouteDatabase(const char* fileName, int columns, int rows);
    ~CRouteDatabase() override;

    // Replaces the content with the file's; FALSE (and an empty database)
    // when the file is missing or refused.
    BOOL Load(const char* fileName);
    // Loads from bytes already in memory (the file loader and the fuzzer);
    // `name` is only used in messages.
    BOOL LoadBytes(const std::vector<BYTE>& bytes, const char* name);

    // The stored path from (c1, r1) to (c2, r2): its inner cells, then the
    // goal cell, appended to `out` in cell coordinates. Flag bit 2 (4) when
    // the pair is stored the other way round.
    BOOL Lookup(int c1, int r1, int c2, int r2, CPointList& out, int* flags) const;

    int GetRecordCount() const { return int(m_entries.size()); }
    BOOL IsLoaded() const { return !m_entries.empty(); }

    // Rewrites a version-1 file (no count) as a version-2 file.
    static BOOL ConvertOldFile(const char* oldName, const char* newName);

    // Builds the database of a fine grid into `fileName`. The progress
    // callback (may be null) gets the percentage done before each column,
    // always on the calling thread; the view shows it as
    // PathBuildProgressText in the letter set. FALSE, with a message and no
    // file, when the cell size does not divide 300 or the file cannot be
    // written. The columns are shared among `threads` threads (below 1: one
    // per CPU this process may run on) and joined in order: the file is the
    // same bytes whatever the count. With one thread `search` does the work.
    static BOOL Build(const char* fileName, const CPathGrid& grid, CPathSearch& search,
                      void (*progress)(double percent, void* context) = nullptr, void* context = nullptr,
                      int threads = 0);
    // The CPUs this process may run on (its affinity), at least 1.
    static int BuildThreads();

private:
    DWORD PairKey(int a, int b) const;
    void Clear();

    int m_columns;
    int m_rows;
    std::vector<std::unique_ptr<CByteMap>> m_entries;
    CMap<DWORD, DWORD, int, int> m_keyMap;
};
