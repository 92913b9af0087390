// A battlefield of the data kit loaded as the battle does, without its path
// database, for the path benchmarks. The kit is found through VELMOR_KIT or
// beside the build folder.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"

namespace bench {

inline std::string KitData() {
    const char* kit = std::getenv("VELMOR_KIT");
    for (std::string root : {std::string(kit ? kit : ""), std::string("kit"), std::string("../kit"), std::string("build/kit")})
        if (!root.empty() && CFile::Exists((root + "/Data/terrain_rect_db.trm").c_str())) return root + "/Data/";
    return "";
}

struct KitField {
    CTerrainDB db;
    CTerrainList terrain;
    CAltitudeMap altitude;
    CBattleGrid grid;
    bool ok = false;
    explicit KitField(int id) {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        std::string data = KitData();
        if (data.empty()) return;
        CTerrainFileInfo info;
        ok = db.Load((data + "terrain_rect_db.trm").c_str()) && altitude.Load(GetDataMapName(data.c_str(), id)) &&
             LoadTerrainFile(GetTerrainName(data.c_str(), id), info, terrain);
        if (!ok) return;
        grid.Rebuild(&altitude);
        SetupTerrainFeatures(terrain, db, grid);
        grid.BuildPathGrids("");
    }
    ~KitField() { grid.RemoveAll(); }
};

inline KitField& LoadedField(int id) {
    static std::unique_ptr<KitField> fields[kBattlefieldCount];
    if (!fields[id]) fields[id] = std::make_unique<KitField>(id);
    return *fields[id];
}

}  // namespace bench
