// Reading and writing one battlefield's own files, shared by the battle
// loading of the view and the data kit generator:
//
// - the terrain file "Terrain <key>.TED", an archive: u32 version 1, u32
//   value, three strings (stored second, first, third), then the terrain
//   list;
// - the set-up of the terrain features against the terrain rectangle
//   database and the battle grid;
// - the path grids with or without the battlefield's path database.
#pragma once

#include "field/BattleGrid.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "platform/afx/Afx.h"

struct CTerrainFileInfo {
    DWORD value = 0;
    CString texts[3];
};

// Reads the terrain file (opened read-only, never created). A missing file,
// another version or a damaged archive is reported with an "ERROR: ..." and
// leaves `list` and `info` untouched.
BOOL LoadTerrainFile(const char* fileName, CTerrainFileInfo& info, CTerrainList& list);
// The same from bytes in memory (`name` only for messages).
BOOL LoadTerrainBytes(const std::vector<BYTE>& bytes, const char* name, CTerrainFileInfo& info, CTerrainList& list);
// Writes the terrain file (version 1); FALSE with a message when it cannot.
BOOL StoreTerrainFile(const char* fileName, const CTerrainFileInfo& info, CTerrainList& list);

// Builds every feature's regions from its record, enters it into the grid
// and prepares its routes: the record's route 0 becomes the feature's slot
// places and route 1 its own route, both moved to where the feature stands.
void SetupTerrainFeatures(CTerrainList& list, const CTerrainDB& db, CBattleGrid& grid);

// Builds the grid's path grids, with the path database when its file can be
// read.
void BuildBattlefieldPaths(CBattleGrid& grid, const char* databaseName);

// The path database of a battlefield whose grid has been built without one.
BOOL BuildPathDatabaseFile(CBattleGrid& grid, const char* databaseName);
