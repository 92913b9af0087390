// Reads arbitrary bytes as the terrain rectangle database "terrain_rect_db.trm".
#include <cstdint>
#include <vector>

#include "field/Terrain.h"
#include "field/TerrainDB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    // The database is large (391 records): made once and set back to its
    // defaults for every input, the run tries thousands of inputs a second
    // instead of allocating and clearing half a megabyte each time.
    static const CTerrainDB* const defaults = new CTerrainDB;
    static CTerrainDB* const db = new CTerrainDB;
    for (int type = 0; type < kTerrainRecordCount; ++type) db->GetRecord(type).CopyFrom(defaults->GetRecord(type));
    db->LoadBytes(std::vector<BYTE>(data, data + size));
    // Every record must build a region wherever it is placed.
    for (int type = 0; type < kTerrainRecordCount; type += 13) {
        CTerrain t(10001, 0, -1, 1500, 1000, -1000, -1000);
        t.Setup(db->GetRecord(type), nullptr, nullptr);
        for (int i = 0; i < 8; ++i) t.UpdateRegion();
    }
    return 0;
}
