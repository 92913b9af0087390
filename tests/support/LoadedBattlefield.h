// One battlefield of the generated kit set up the way the battle loading
// does it: terrain rectangle database, altitude map, battle grid, terrain
// file with its features, and the path grids with the path database.
// Loading problems fail the calling test through EXPECTs; the messages the
// game would show are left for the caller to read.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "tests/support/TestFolders.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/PathGrid.h"
#include "field/RouteDatabase.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"


struct LoadedField {
    CTerrainDB db;
    CTerrainList terrain;
    CTerrainFileInfo info;
    CAltitudeMap altitude;
    CBattleGrid grid;

    explicit LoadedField(int id) {
        std::string data = KitFolder().string() + "/Data/";
        EXPECT_TRUE(db.Load((data + "terrain_rect_db.trm").c_str()));
        EXPECT_TRUE(altitude.Load(GetDataMapName(data.c_str(), id)));
        grid.Rebuild(&altitude);
        EXPECT_TRUE(LoadTerrainFile(GetTerrainName(data.c_str(), id), info, terrain));
        SetupTerrainFeatures(terrain, db, grid);
        BuildBattlefieldPaths(grid, GetPathDBName(data.c_str(), id));
    }
    ~LoadedField() { grid.RemoveAll(); }
    LoadedField(const LoadedField&) = delete;
    LoadedField& operator=(const LoadedField&) = delete;
};
