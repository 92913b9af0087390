// Reads arbitrary bytes as a battlefield's terrain file (".TED") and sets
// its features up on a battle grid.
#include <cstdint>
#include <vector>

#include "field/BattlefieldFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    static CTerrainDB db;
    CTerrainFileInfo info;
    CTerrainList list;
    if (LoadTerrainBytes(std::vector<BYTE>(data, data + size), "fuzz.TED", info, list) && list.GetCount() < 200) {
        CBattleGrid grid;
        SetupTerrainFeatures(list, db, grid);
        list.UpdateAll();
        grid.RemoveAll();
    }
    return 0;
}
