#include "field/RouteDatabase.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "field/FileBytes.h"
#include "field/PathSearch.h"
#include "core/Helpers.h"
#include "core/PointList.h"

CString PathBuildProgressText(double percent) {
    char text[96];
    std::snprintf(text, sizeof text, "Saving paths.  %f percent done.", percent);
    return text;
}

CRouteDatabase::CRouteDatabase(const char* fileName, int columns, int rows) : m_columns(columns), m_rows(rows) {
    if (fileName && *fileName) Load(fileName);
}

CRouteDatabase::~CRouteDatabase() = default;

void CRouteDatabase::Clear() {
    m_entries.clear();
    m_keyMap.RemoveAll();
    m_keyMap.InitHashTable(17);
}

DWORD CRouteDatabase::PairKey(int a, int b) const {
    int lo = std::min(a, b), hi = std::max(a, b);
    return DWORD(hi) * DWORD(m_columns * m_rows) + DWORD(lo);
}

static DWORD GetU32(const std::vector<BYTE>& b, size_t at) {
    return DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24;
}

BOOL CRouteDatabase::Load(const char* fileName) {
    Clear();
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        ShowMessage("ERROR: Cannot read path database %s", fileName);
        return FALSE;
    }
    if (bytes.size() >= 4 && GetU32(bytes, 0) == 1) {
        CString name(fileName);
        CString newName = name.GetLength() >= 4 ? name.Left(name.GetLength() - 4) + "_new" + name.Right(4) : name + "_new";
        ShowMessage("%s", (CString("Tried loading an old db file.  Converting file to new format.\n") + "Old File: " + name +
                           "\nNewFile: " + newName +
                           "\nUsing new file: Please delete the old one after this game (and rename the new one).")
                              .GetString());
        if (!ConvertOldFile(fileName, newName)) {
            ShowMessage("ERROR: Cannot convert path database %s", fileName);
            return FALSE;
        }
        bytes.clear();
        if (!ReadFileBytes(newName, bytes)) {
            ShowMessage("ERROR: Cannot read path database %s", newName.GetString());
            return FALSE;
        }
        return LoadBytes(bytes, newName);
    }
    return LoadBytes(bytes, fileName);
}

BOOL CRouteDatabase::LoadBytes(const std::vector<BYTE>& bytes, const char* name) {
    Clear();
    auto refuse = [&](const char* why) {
        Clear();
        ShowMessage("ERROR: Path database %s is damaged (%s); paths are searched without it.", name, why);
        return FALSE;
    };
    if (bytes.size() < 8) return refuse("too short");
    if (GetU32(bytes, 0) != 2) return refuse("unknown version");
    DWORD count = GetU32(bytes, 4);
    // Every record takes at least five bytes: a count that the file cannot
    // hold is refused before anything is sized by it.
    if (count > (bytes.size() - 8) / 5) return refuse("record count larger than the file");
    if (count == 0) {
        if (bytes.size() != 8) return refuse("records beyond the count");
        return TRUE;
    }
    m_keyMap.RemoveAll();
    m_keyMap.InitHashTable(UINT(double(count) * 1.2));
    m_entries.reserve(count);
    size_t at = 8;
    while (at < bytes.size()) {
        if (m_entries.size() >= count) return refuse("records beyond the count");
        int n = bytes[at++];
        if (n < 2) return refuse("path of fewer than two cells");
        if (bytes.size() - at < size_t(n) * 2) return refuse("record cut short");
        auto cellOk = [&](size_t p) { return bytes[p] < m_columns && bytes[p + 1] < m_rows; };
        for (int k = 0; k < n; ++k)
            if (!cellOk(at + size_t(k) * 2)) return refuse("cell outside the grid");
        int c1 = bytes[at], r1 = bytes[at + 1];
        size_t goal = at + size_t(n - 1) * 2;
        int c2 = bytes[goal], r2 = bytes[goal + 1];
        // The look-up reads a record from the lower-numbered cell to the
        // higher one. The builder also writes records the other way (two
        // cells of one column, the lower one second): keep those turned
        // round, or a unit would walk the turns of its way backwards.
        bool backwards = c1 * m_rows + r1 > c2 * m_rows + r2;
        auto map = std::make_unique<CByteMap>(n - 2);
        for (int k = 0; k < n - 2; ++k)
            map->SetCell(backwards ? n - 3 - k : k, bytes[at + 2 + size_t(k) * 2], bytes[at + 3 + size_t(k) * 2]);
        at += size_t(n) * 2;
        int index = int(m_entries.size());
        m_entries.push_back(std::move(map));
        m_keyMap[PairKey(c1 * m_rows + r1, c2 * m_rows + r2)] = index;
    }
    if (m_entries.size() != count) return refuse("fewer records than the count");
    return TRUE;
}

BOOL CRouteDatabase::Lookup(int c1, int r1, int c2, int r2, CPointList& out, int* flags) const {
    int a = c1 * m_rows + r1, b = c2 * m_rows + r2;
    bool swapped = a > b;
    if (swapped && flags) *flags |= 4;
    if (m_entries.empty()) return FALSE;
    int index;
    if (!m_keyMap.Lookup(PairKey(a, b), index)) return FALSE;
    const CByteMap& map = *m_entries[size_t(index)];
    int n = map.GetCount();
    if (!swapped) {
        for (int k = 0; k < n; ++k) {
            int c, r;
            map.GetCell(k, c, r);
            out.AddTail(c, r);
        }
    } else {
        for (int k = n - 1; k >= 0; --k) {
            int c, r;
            map.GetCell(k, c, r);
            out.AddTail(c, r);
        }
    }
    out.AddTail(c2, r2);
    return TRUE;
}

BOOL CRouteDatabase::ConvertOldFile(const char* oldName, const char* newName) {
    std::vector<BYTE> in;
    if (!ReadFileBytes(oldName, in) || in.size() < 4) return FALSE;
    std::vector<BYTE> out = {2, 0, 0, 0, 0, 0, 0, 0};
    DWORD records = 0;
    if (GetU32(in, 0) == 1) {
        size_t at = 4;
        while (at < in.size()) {
            size_t n = in[at];
            size_t len = 1 + n * 2;
            if (in.size() - at < len) break;  // a record cut short ends the copy
            out.insert(out.end(), in.begin() + long(at), in.begin() + long(at + len));
            at += len;
            ++records;
        }
    }
    for (int i = 0; i < 4; ++i) out[4 + size_t(i)] = BYTE(records >> (8 * i));
    return WriteFileBytes(newName, out.data(), out.size());
}

namespace {

// The parts of the grid a walker can cross between, numbered: cells of one
// part reach each other, cells of two parts never do (0 for a blocked
// cell). Steps are symmetric, so one flood per part finds it.
std::vector<int> NumberParts(const CPathGrid& grid) {
    const int columns = grid.GetColumns(), rows = grid.GetRows();
    std::vector<int> part(size_t(columns) * size_t(rows), 0);
    std::vector<int> stack;
    int parts = 0;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            size_t cell = size_t(c) * size_t(rows) + size_t(r);
            if (part[cell] || !grid.IsPassableCell(c, r)) continue;
            part[cell] = ++parts;
            stack.assign(1, int(cell));
            while (!stack.empty()) {
                int at = stack.back();
                stack.pop_back();
                int ac = at / rows, ar = at % rows;
                unsigned moves = grid.GetMovesInside(ac, ar);
                for (int k = 0; k < 8; ++k) {
                    if (!(moves & (1u << k))) continue;
                    int next = (ac + CPathGrid::kStepColumn[k]) * rows + ar + CPathGrid::kStepRow[k];
                    if (part[size_t(next)]) continue;
                    part[size_t(next)] = parts;
                    stack.push_back(next);
                }
            }
        }
    return part;
}

// The rows that hold a blocked cell in the columns from one start column to
// each column within reach. A pair's rectangle holds a blocked cell when a
// row between its two rows does: from a start, the pairs whose rectangle
// holds none (whose straight line is clear) are one run of rows around the
// start's row in each column, and are passed over without a look.
class BlockedRows {
public:
    BlockedRows(const CPathGrid& grid, int c, int reach) : m_rows(grid.GetRows()) {
        const int columns = std::min(reach + 1, grid.GetColumns() - c);
        m_above.resize(size_t(columns) * size_t(m_rows));
        m_below.resize(m_above.size());
        std::vector<bool> blocked(size_t(m_rows), false);
        for (int k = 0; k < columns; ++k) {
            for (int r = 0; r < m_rows; ++r)
                if (!grid.IsPassableCell(c + k, r)) blocked[size_t(r)] = true;
            int* above = m_above.data() + size_t(k) * size_t(m_rows);
            int* below = m_below.data() + size_t(k) * size_t(m_rows);
            for (int r = 0, last = -1; r < m_rows; ++r) above[r] = last = blocked[size_t(r)] ? r : last;
            for (int r = m_rows - 1, last = m_rows; r >= 0; --r) below[r] = last = blocked[size_t(r)] ? r : last;
        }
    }
    // The nearest row at or above row r holding a blocked cell in the
    // columns up to k columns on, -1 when none.
    int Above(int k, int r) const { return m_above[size_t(k) * size_t(m_rows) + size_t(r)]; }
    // The nearest such row at or below r; the row count when none.
    int Below(int k, int r) const { return m_below[size_t(k) * size_t(m_rows) + size_t(r)]; }

private:
    int m_rows;
    std::vector<int> m_above, m_below;
};

// The records of the pairs that start in one column, in the builder's order.
struct ColumnRecords {
    std::vector<BYTE> bytes;
    DWORD records = 0;
    int straight = 0;  // records of a way without a turn
    bool done = false;
};

// What the pair of rows (a, b) of one column, searched from a, tells of the
// pair searched from b later: the searches of the one are those of the other
// the other way round.
enum class Mirrored : BYTE {
    kUnknown,
    kNotStored,  // both ways short: neither pair is stored
    kBackLong,   // the way from a is long: b's way back needs no search
};

void BuildColumn(int c, const CPathGrid& grid, const std::vector<int>& part, CPathSearch& search,
                 ColumnRecords& out) {
    const int columns = grid.GetColumns(), rows = grid.GetRows();
    const int rangeC = 300 / grid.GetCellWidth() + 1, rangeR = 300 / grid.GetCellHeight() + 1;
    const BlockedRows blocked(grid, c, rangeC);
    // Pairs within the column are searched both ways round: by (from row,
    // to row), what the first search of each found.
    std::vector<Mirrored> mirrored(size_t(rows) * size_t(rows), Mirrored::kUnknown);
    for (int r = 0; r < rows; ++r) {
        if (!grid.IsPassableCell(c, r)) continue;
        const int from = part[size_t(c) * size_t(rows) + size_t(r)];
        auto pair = [&](int c2, int r2) {
            // A cell the start cannot reach gets no record: the search
            // would only end after taking every cell it can reach.
            if (part[size_t(c2) * size_t(rows) + size_t(r2)] != from) return;
            bool straight = false;
            bool backIsLong = false;
            if (c2 == c && r2 < r) {
                const Mirrored known = mirrored[size_t(r) * size_t(rows) + size_t(r2)];
                if (known == Mirrored::kNotStored) return;
                backIsLong = known == Mirrored::kBackLong;
            }
            CPathSearch::PairSearches found;
            if (search.SearchRecord(c, r, c2, r2, grid, out.bytes, straight, backIsLong, &found)) {
                ++out.records;
                if (straight) ++out.straight;
            }
            if (c2 == c && r2 > r && found.searched) {
                // The way from r2 to r is this search's way back: when
                // both were short, neither pair is stored; when the way
                // here was long, the way back from r2 is too.
                Mirrored& later = mirrored[size_t(r2) * size_t(rows) + size_t(r)];
                if (!found.shortThere) later = Mirrored::kBackLong;
                else if (found.shortBack) later = Mirrored::kNotStored;
            }
        };
        const int c2end = std::min(c + rangeC, columns - 1);
        const int r2begin = std::max(r - rangeR, 0), r2end = std::min(r + rangeR, rows - 1);
        for (int c2 = c; c2 <= c2end; ++c2) {
            // The rows whose rectangle with the start holds a blocked cell:
            // from the first row in reach to the nearest blocked row above
            // the start, and from the nearest one below it to the last.
            const int above = std::min(blocked.Above(c2 - c, r), r);
            const int below = std::max(blocked.Below(c2 - c, r), r + 1);
            for (int r2 = r2begin; r2 <= std::min(above, r2end); ++r2) pair(c2, r2);
            for (int r2 = std::max(below, r2begin); r2 <= r2end; ++r2) pair(c2, r2);
        }
    }
}

}  // namespace

int CRouteDatabase::BuildThreads() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

BOOL CRouteDatabase::Build(const char* fileName, const CPathGrid& grid, CPathSearch& search,
                           void (*progress)(double, void*), void* context, int threads) {
    if (300 % grid.GetCellWidth() != 0 || 300 % grid.GetCellHeight() != 0) {
        ShowMessage("max unit path distance must be a multiple of grid size!! PathDB not being created..");
        return FALSE;
    }
    const int columns = grid.GetColumns();
    const std::vector<int> part = NumberParts(grid);
    // Columns are built apart and joined in column order, so the file is the
    // same whatever the number of threads. The calling thread reports the
    // progress and joins; with one thread it builds every column itself.
    if (threads < 1) threads = BuildThreads();
    threads = std::min(threads, columns);
    std::vector<ColumnRecords> built{size_t(columns)};
    std::mutex lock;
    std::condition_variable columnDone;
    std::atomic<int> nextColumn{0};
    std::vector<std::thread> workers;
    if (threads > 1) {
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([&] {
                CPathSearch own;
                for (int c; (c = nextColumn++) < columns;) {
                    ColumnRecords column;
                    BuildColumn(c, grid, part, own, column);
                    std::lock_guard<std::mutex> hold(lock);
                    built[size_t(c)] = std::move(column);
                    built[size_t(c)].done = true;
                    columnDone.notify_all();
                }
            });
    }
    std::vector<BYTE> out = {2, 0, 0, 0, 0, 0, 0, 0};
    DWORD records = 0;
    for (int c = 0; c < columns; ++c) {
        if (progress) progress(100.0 * double(c) / double(columns), context);
        ColumnRecords column;
        if (workers.empty()) {
            BuildColumn(c, grid, part, search, column);
        } else {
            std::unique_lock<std::mutex> hold(lock);
            columnDone.wait(hold, [&] { return built[size_t(c)].done; });
            column = std::move(built[size_t(c)]);
        }
        out.insert(out.end(), column.bytes.begin(), column.bytes.end());
        records += column.records;
        for (int k = 0; k < column.straight; ++k) ShowMessage("Warning:: saving empty path to path database.");
    }
    for (std::thread& worker : workers) worker.join();
    for (int i = 0; i < 4; ++i) out[4 + size_t(i)] = BYTE(records >> (8 * i));
    if (!WriteFileBytes(fileName, out.data(), out.size())) {
        ShowMessage("error opening file for path db");
        return FALSE;
    }
    return TRUE;
}
