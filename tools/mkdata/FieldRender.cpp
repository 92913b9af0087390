#include "tools/mkdata/FieldRender.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "Animate/DIB.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "core/GameTables.h"

namespace kit {

namespace {

// A terrain picture at full colour and the key colour of its corner, as the
// battle view draws it onto its full-colour back buffer.
struct Sprite {
    CDIB picture;
    int32_t key = 0;
};

bool RenderOne(const std::string& data, const std::string& terrainFolder, int id, const CTerrainDB& db,
               const std::string& out) {
    CDIB field;
    if (!field.Load(GetBkgndName(data.c_str(), id)) || (field.GetBitCount() == 8 && !field.ConvertTo24Bit()))
        return false;
    CAltitudeMap altitude;
    if (!altitude.Load(GetDataMapName(data.c_str(), id))) return false;
    CBattleGrid grid;
    grid.Rebuild(&altitude);
    CTerrainFileInfo info;
    CTerrainList terrain;
    if (!LoadTerrainFile(GetTerrainName(data.c_str(), id), info, terrain)) return false;
    SetupTerrainFeatures(terrain, db, grid);
    std::vector<CTerrain*> order;
    for (POSITION pos = terrain.GetHeadPosition(); pos;) order.push_back(terrain.GetTerrain(pos));
    std::stable_sort(order.begin(), order.end(), [](CTerrain* a, CTerrain* b) { return a->GetDepth() < b->GetDepth(); });
    std::map<int, std::unique_ptr<Sprite>> sprites;
    bool ok = true;
    for (CTerrain* t : order) {
        int type = GetObjectTypeFromResource(t->m_objectType);
        std::unique_ptr<Sprite>& s = sprites[type];
        if (!s) {
            s = std::make_unique<Sprite>();
            if (!s->picture.Load(GetTerrainObjectPictureName(terrainFolder.c_str(), id, type)) ||
                (s->picture.GetBitCount() == 8 && !s->picture.ConvertTo24Bit())) {
                std::fprintf(stderr, "ERROR: terrain picture of type %d cannot be read\n", type);
                ok = false;
                continue;
            }
            const BYTE* corner = s->picture.GetPixelAddress(0, 0);
            s->key = int32_t(corner[0] | (corner[1] << 8) | (corner[2] << 16));
        }
        if (s->picture.IsEmpty()) continue;
        const CTerrainRectRecord& rec = db.GetRecord(type);
        int w = s->picture.GetWidth() / std::max(1, int(rec.frameCount));
        CPoint shift;
        altitude.GetSlopeOffset(shift, t->m_x, t->m_y);
        s->picture.Copy(&field, t->m_x - rec.originX, t->m_y - rec.originY + shift.y, w, s->picture.GetHeight(),
                        w * std::max(0, int(t->m_frame)), 0, s->key);
    }
    grid.RemoveAll();
    return field.SaveAs(out.c_str()) && ok;
}

}  // namespace

int RenderBattlefields(const std::string& kitRoot, const std::string& outDir) {
    std::filesystem::create_directories(outDir);
    std::string data = kitRoot + "/Data/", terrainFolder = kitRoot + "/Pictures/Terrain/";
    CTerrainDB db;
    if (!db.Load((data + "terrain_rect_db.trm").c_str())) {
        std::fprintf(stderr, "ERROR: %sterrain_rect_db.trm cannot be read\n", data.c_str());
        return 1;
    }
    std::set<std::string> done;
    int rc = 0;
    for (int id = 0; id < kBattlefieldCount; ++id) {
        std::string key = GetBattlefieldKey(id).GetString();
        if (!done.insert(key).second) continue;
        std::string out = outDir + "/battlefield-" + key + ".jpg";
        if (!RenderOne(data, terrainFolder, id, db, out)) {
            std::fprintf(stderr, "ERROR: battlefield %s cannot be rendered\n", key.c_str());
            rc = 1;
        }
    }
    return rc;
}

}  // namespace kit
