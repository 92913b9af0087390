#include "field/BattlefieldFiles.h"

#include "field/FileBytes.h"
#include "field/RouteDatabase.h"
#include "core/GameTables.h"
#include "core/Helpers.h"

BOOL LoadTerrainBytes(const std::vector<BYTE>& bytes, const char* name, CTerrainFileInfo& info, CTerrainList& list) {
    CTerrainFileInfo readInfo;
    CTerrainList readList;
    try {
        CMemFile file(bytes.data(), bytes.size());
        CArchive ar(&file, CArchive::load);
        DWORD version;
        ar >> version;
        if (version != 1) {
            ShowMessage("ERROR: %s is a terrain file of unknown version %u.", name, version);
            return FALSE;
        }
        ar >> readInfo.value >> readInfo.texts[1] >> readInfo.texts[0] >> readInfo.texts[2];
        readList.Serialize(ar);
    } catch (const CException& e) {
        ShowMessage("ERROR: Cannot read the terrain file %s: %s", name, e.GetErrorText().GetString());
        return FALSE;
    }
    info = readInfo;
    list.DeleteAll();
    while (!readList.IsEmpty()) list.AddTail(readList.RemoveHead());
    return TRUE;
}

BOOL LoadTerrainFile(const char* fileName, CTerrainFileInfo& info, CTerrainList& list) {
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(fileName, bytes)) {
        ShowMessage("ERROR: %s cannot be read!", fileName);
        return FALSE;
    }
    return LoadTerrainBytes(bytes, fileName, info, list);
}

BOOL StoreTerrainFile(const char* fileName, const CTerrainFileInfo& info, CTerrainList& list) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << DWORD(1) << info.value << info.texts[1] << info.texts[0] << info.texts[2];
        list.Serialize(ar);
        ar.Close();
    }
    if (!WriteFileBytes(fileName, file.Data().data(), file.Data().size())) {
        ShowMessage("ERROR: %s cannot be created!", fileName);
        return FALSE;
    }
    return TRUE;
}

void SetupTerrainFeatures(CTerrainList& list, const CTerrainDB& db, CBattleGrid& grid) {
    grid.SetTerrainList(&list);
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CTerrain* t = list.GetTerrain(pos);
        int type = GetObjectTypeFromResource(t->m_objectType);
        const CTerrainRectRecord& record = db.GetRecord(type < 0 ? 0 : type);
        t->Setup(record, &grid, nullptr);
        int dx = t->m_x - record.originX, dy = t->m_y - record.originY;
        t->m_slotRoute.RemoveAll();
        t->m_slotRoute.targetX = t->m_x, t->m_slotRoute.targetY = t->m_y;
        t->m_slotRoute.AppendElements(record.routes[0], dx, dy);
        t->m_route.RemoveAll();
        for (POSITION p = record.routes[1].GetHeadPosition(); p;) {
            CPoint w = record.routes[1].GetNext(p);
            t->m_route.AddTail(CPoint(w.x + dx, w.y + dy));
        }
        t->PrepareRoute();
    }
}

void BuildBattlefieldPaths(CBattleGrid& grid, const char* databaseName) {
    bool present = databaseName && *databaseName && CFile::Exists(databaseName);
    grid.BuildPathGrids(present ? databaseName : "");
}

BOOL BuildPathDatabaseFile(CBattleGrid& grid, const char* databaseName) {
    if (!grid.GetFineGrid()) return FALSE;
    return CRouteDatabase::Build(databaseName, *grid.GetFineGrid(), grid.GetPathSearch());
}
