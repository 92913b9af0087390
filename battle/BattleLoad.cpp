// Entering the battle mode: the loading picture, the battle's sprites, the
// battlefield with its terrain objects and path grids, the armies placed
// with their pictures, the panel with its portraits, and the first frame.
// Leaving it frees all of that again.
#include <algorithm>
#include <ctime>

#include "Animate/BattlePictureNames.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "Units/UnitSets.h"
#include "army/Army.h"
#include "army/ArmyAI.h"
#include "battle/ArmyLink.h"
#include "core/GameTables.h"
#include "core/Helpers.h"
#include "field/BattlefieldTables.h"
#include "shell/OrvaneView.h"

namespace {
// The panel along the bottom of the battle screen and its small map.
constexpr int kPanelHeight = 128;
constexpr int kSmallMapTop = 12;
constexpr int kSmallMapWidth = 149, kSmallMapHeight = 99;
int SmallMapLeft(int screenWidth) { return screenWidth > 1024 ? 35 : 4; }

// Unit icons are first given depths in the order they are registered, so
// that the unit list keeps that order (as it does without a screen); each
// unit's first update gives it its depth on the field.
constexpr int kUnitRegistrationDepth = 1000;

// The icons of the division markers, the orientation pointer and the flags.
constexpr int kOrientationPointerId = 5000;
constexpr int kFlagIconId = 700;
// Both division markers carry the kind of the flag's sprite.
constexpr int kDivisionMarkerKind = 225;

// Map-object types of the flags: the four placeholders of a battle map
// stand for side 0's two flags and side 1's two.
constexpr int kFirstFlagType = 359, kLastFlagType = 390;
constexpr int kFirstPlaceholder = 361, kLastPlaceholder = 364;

bool IsFlagType(int type) { return type >= kFirstFlagType && type <= kLastFlagType; }

}  // namespace

// ---- the pictures of units and features -------------------------------

void CUnitIconLink::MoveTo(int x, int y) {
    if (m_icon->m_x != x || m_icon->m_y != y) m_icon->SetPosition(x, y, TRUE);
}

void CUnitIconLink::SetDepth(int depth) {
    if (m_icon->GetDepth() != depth) m_icon->SetDepth(depth, TRUE);
}

void CUnitIconLink::SetFrame(int frame, int facing) {
    if (m_icon->m_nPhaseColumn == frame && m_icon->m_nPhaseRow == facing) return;
    m_icon->m_nPhaseColumn = frame;
    m_icon->m_nPhaseRow = facing;
    m_icon->m_nFrame = frame;
    m_icon->m_nFacing = facing;
    m_icon->Refresh(TRUE);
}

void CUnitIconLink::SetVisible(bool visible) {
    if (bool(m_icon->m_bEnabled) == visible) return;
    m_icon->m_bEnabled = visible;
    m_icon->Refresh(TRUE);
}

void CTerrainIconLink::SetFrame(int frame) {
    if (m_icon->m_nPhaseColumn == frame) return;
    m_icon->m_nPhaseColumn = frame;
    m_icon->Refresh(TRUE);
}

CBattleState::CBattleState() = default;
CBattleState::~CBattleState() {
    for (auto& link : links) link.reset();
    for (auto& army : armies) army.reset();
    grid.RemoveAll();
}

// ---- the view's battle ------------------------------------------------

CBattleState& COrvaneView::GetBattleState() {
    if (!Battle) Battle = std::make_unique<CBattleState>();
    return *Battle;
}

BOOL COrvaneView::LoadBattlePicture(const char* name, BOOL fitFrame, BOOL render, BOOL redraw) {
    COrvaneDoc* doc = GetDocument();
    CString file = (doc ? doc->GetPicturesPath() : CString("Pictures\\")) + name;
    return LoadBackground(file, fitFrame, render, redraw);
}

IUnitIcon* COrvaneView::MakeUnitIcon(int side, int kind, int) {
    const UnitSets::Spec* set = UnitSets::ForKind(kind);
    if (!Battle || !set || side < 0 || side > 1) return nullptr;
    CSprite* sprite = UnitSetSlots[side * 10 + set->slot];
    if (!sprite || sprite == s_pFallbackSprite) return nullptr;
    // The hit rectangles: riders and officers of rank a larger one than the
    // men on foot, spearmen one of their own.
    CRect hit(22, 31, 26, 34);
    if (set->mounted) hit = CRect(30, 30, 45, 45);
    if (kind == KIND_SPEARMAN) hit = CRect(33, 44, 37, 47);
    CIcon* icon = AddIcon(sprite, 0, 0, 0, FALSE, 0, hit.left, hit.top, hit.right, hit.bottom);
    icon->m_nSpriteWord = set->slot + 10 * side;
    icon->m_nPhaseColumn = 0;
    icon->m_nPhaseRow = 2;
    icon->m_pMapSprite = UnitSetSlots[side * 10 + UnitSets::kDot.slot];
    CBattleState& b = *Battle;
    icon->SetDepth(kUnitRegistrationDepth + int(b.unitIcons.size()), FALSE);
    b.unitIcons.push_back(std::make_unique<CUnitIconLink>(icon));
    return b.unitIcons.back().get();
}

IUnitIcon* COrvaneView::MakeDivisionIcon(int spriteId) {
    CSprite* sprite = GetSprites().Find(spriteId);
    if (!Battle || !sprite || sprite == s_pFallbackSprite) return nullptr;
    CIcon* icon = AddIcon(sprite, -1000, -1000, 0, TRUE, kDivisionMarkerKind, 0, 0, 0, 0);
    icon->m_bEnabled = FALSE;
    Battle->unitIcons.push_back(std::make_unique<CUnitIconLink>(icon));
    return Battle->unitIcons.back().get();
}

BOOL COrvaneView::LoadBattleSprites() {
    COrvaneDoc* doc = GetDocument();
    const CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    const CString unitSets = doc ? doc->GetUnitSetsPath() : CString("Pictures\\Unit Sets\\");
    const CString terrain = doc ? doc->GetTerrainPicturesPath() : CString("Pictures\\Terrain\\");

    // Which kinds of unit each side fields.
    bool manyDivisions[2] = {}, manyBattalions[2] = {}, fields[2][5] = {};
    for (int s = 0; s < 2; ++s) {
        CArmy* army = Armies[s];
        if (!army) continue;
        manyDivisions[s] = army->m_divisions.GetCount() > 1;
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            if (d->m_battalions.GetCount() > 1) manyBattalions[s] = true;
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                int type = d->m_battalions.GetBattalion(bp)->m_battType;
                fields[s][type >= 0 && type < 5 ? type : 0] = true;
            }
        }
    }

    const int markerIds[] = {220, 225, 226};
    for (size_t i = 0; i < std::size(kBattleMarkerPictures); ++i)
        LoadRLESprite(pictures + kBattleMarkerPictures[i].name + ".giz", markerIds[i], 1, 1);

    for (int s = 0; s < 2; ++s) {
        const CString clan = BattleClanName(s);
        for (const UnitSets::Spec& set : UnitSets::kSets) {
            bool wanted = true;
            switch (set.slot) {
            case 0: wanted = fields[s][0]; break;
            case 1: wanted = manyBattalions[s]; break;
            case 2: wanted = manyDivisions[s]; break;
            case 3: wanted = true; break;
            case 4:
            case 5: wanted = fields[s][1]; break;
            case 6: wanted = fields[s][4]; break;
            case 7: wanted = fields[s][2]; break;
            case 8: wanted = fields[s][3]; break;
            default: break;
            }
            // A battalion of an unknown type shows infantry.
            if (set.slot == 0 && !wanted && Armies[s]) {
                for (POSITION dp = Armies[s]->m_divisions.GetHeadPosition(); dp && !wanted;) {
                    CDivision* d = Armies[s]->m_divisions.GetDivision(dp);
                    for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                        int type = d->m_battalions.GetBattalion(bp)->m_battType;
                        if (type < 0 || type > 4) wanted = true;
                    }
                }
            }
            if (!wanted) continue;
            UnitSetSlots[s * 10 + set.slot] =
                LoadRLESprite(unitSets + clan + set.suffix + ".giz", set.id, set.rows, set.columns);
        }
        UnitSetSlots[s * 10 + UnitSets::kDot.slot] =
            LoadSpriteSet(unitSets + clan + UnitSets::kDot.suffix + ".giz", TRUE, UnitSets::kDot.id, 1, 1, -1);

        // The side's two flags. A clan without flags of its own flies the
        // first clan's, so its headquarters still shows.
        for (int kind = 1; kind <= 2; ++kind) {
            const int variant = kind + 2 - 2 * s;
            const int type = GetSideFlagObjectType(clan, s, kind);
            const int nation = (type - kFirstFlagType) / 4 + 1;
            const CString flagClan = NationIdFromName(clan) == nation ? clan : GetClanName(nation);
            CString name;
            name.Format("%sFlag%s%d.giz", terrain.GetString(), flagClan.GetString(), variant);
            LoadRLESprite(name, GetObjectResourceNumber(type), 1, kFlagFrames);
        }
    }

    struct Shared {
        const char* name;
        BOOL plain;
        int id, columns, rows, alpha;
    };
    static const Shared kShared[] = {
        {"Orientation Pointer", FALSE, 106, 8, 1, -1}, {"Highlight", FALSE, 20, 1, 3, -1},
        {"24Green Dot", TRUE, 21, 1, 1, -1},          {"ColorBar", FALSE, 24, 1, 6, -1},
        {"Bullet", TRUE, 23, 1, 1, -1},               {"Arrow", FALSE, 22, 1, 8, -1},
        {"Army Orders RightClick Backdrop", TRUE, 26, 1, 1, -1},
        {"army orders cmb backdrop", TRUE, 25, 1, 1, -1},
        {"Portrait\\Portrait Bottom", TRUE, 0, 1, 1, -1},
    };
    for (const Shared& p : kShared) {
        CSprite* sprite = LoadSpriteSet(pictures + p.name + ".giz", p.plain, p.id, p.columns, p.rows, p.alpha);
        if (sprite && (p.id == 25 || p.id == 26)) sprite->SetHidden(true);
    }
    static const int kEffectIds[12] = {430, 431, 432, 433, 440, 441, 442, 443, 444, 445, 446, 447};
    for (int i = 0; i < 12; ++i) LoadSpriteSet(pictures + kBattleEffectPictures[i] + ".giz", TRUE, kEffectIds[i], 1, 1, 0);
    static const int kWeatherIds[4] = {401, 402, 403, 421};
    for (int i = 0; i < 4; ++i) LoadSpriteSet(pictures + kWeatherPictures[i] + ".giz", TRUE, kWeatherIds[i], 1, 1, -1);
    return TRUE;
}

void COrvaneView::SetLoadingBattlefieldFlags() {
    if (!Armies[0] || !Armies[1]) return;
    const int leader = GetLoadingBattlefieldFlags(BattleMap, Armies[0]->m_leading, Armies[1]->m_leading);
    if (BattleTerrain) BattleTerrain->ApplyBattlefieldFlag(leader);
}

BOOL COrvaneView::LoadBattleMap() {
    COrvaneDoc* doc = GetDocument();
    const CString data = doc ? doc->GetDataPath() : CString("Data\\");
    const CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    const bool narrow = m_nScreenWidth <= 1024;
    CBattleState& b = GetBattleState();

    // The battlefield is the background the field area scrolls over; without
    // it there is no battle to show.
    const CString background = GetBkgndName(data, BattleMap);
    m_bFullWindow = FALSE;
    if (!LoadBackground(background, FALSE, FALSE, FALSE)) {
        ShowMessage("ERROR: The battlefield \"%s\" cannot be loaded.", background.GetString());
        m_bFullWindow = TRUE;
        return FALSE;
    }
    m_bFullWindow = FALSE;

    // The panel along the bottom with its small map, and the field area
    // above it.
    LoadFrameImage(pictures + (narrow ? "1024" : "") + "Panel.giz", FALSE);
    const int fieldHeight = m_nScreenHeight - kPanelHeight;
    m_rcFieldArea = CRect(0, 0, m_nScreenWidth, fieldHeight);
    m_rcVisible = CRect(0, 0, m_nScreenWidth, fieldHeight);
    m_rcBuffer = m_rcVisible;
    const int mapLeft = SmallMapLeft(m_nScreenWidth);
    m_rcMinimap = CRect(mapLeft, kSmallMapTop, mapLeft + kSmallMapWidth, kSmallMapTop + kSmallMapHeight);
    m_minimapOrigin = CPoint(mapLeft, fieldHeight + kSmallMapTop);
    const char* markerName = narrow ? "Frame 51 x 33.giz" : "Frame 64 x 45.giz";
    m_rcMarker = CRect(mapLeft, kSmallMapTop, mapLeft + (narrow ? 51 : 64), kSmallMapTop + (narrow ? 33 : 45));
    m_rcPreviousMarker = CRect();
    LoadMarkerSprite(pictures + markerName);
    LoadPanelSprite(GetSmallMapName(data, BattleMap), FALSE);

    b.altitude.Load(GetDataMapName(data, BattleMap));
    b.grid.Rebuild(&b.altitude);
    BattleTerrain = &b.terrain;
    if (LoadTerrainFile(GetTerrainName(data, BattleMap), b.terrainInfo, b.terrain)) {
        CString key = GetBattlefieldKey(BattleMap);
        ReadTerrainRectDatabase(key.Left(1));
    }
    LoadPathDatabase();
    CUnit::BuildRouteGrid(b.grid, b.routes);
    return TRUE;
}

BOOL COrvaneView::ReadTerrainRectDatabase(const char* keyPrefix) {
    COrvaneDoc* doc = GetDocument();
    const CString terrainFolder = doc ? doc->GetTerrainPicturesPath() : CString("Pictures\\Terrain\\");
    const CString data = doc ? doc->GetDataPath() : CString("Data\\");
    CBattleState& b = GetBattleState();
    if (!b.terrainDB.Load(data + "terrain_rect_db.trm")) return FALSE;
    std::vector<int> resources;
    for (POSITION pos = b.terrain.GetHeadPosition(); pos;) {
        const CTerrain* t = b.terrain.GetTerrain(pos);
        const int type = GetObjectTypeFromResource(t->m_objectType);
        if (type < 0 || IsFlagType(type)) continue;
        if (std::find(resources.begin(), resources.end(), t->m_objectType) == resources.end())
            resources.push_back(t->m_objectType);
    }
    for (int resource : resources) {
        const int type = GetObjectTypeFromResource(resource);
        const CString prefix = type <= 59 ? CString(keyPrefix) : CString();
        const int frames = std::max(1, int(b.terrainDB.GetRecord(type).frameCount));
        LoadRLESprite(terrainFolder + prefix + GetObjectImageName(type, true), resource + 4500, 1, frames);
    }
    return TRUE;
}

// The picture of a feature at its place on the field (moved by the slope
// it stands on), drawn with the units: what lies lower is drawn in front.
// Null when its sprite is not loaded.
CTerrainIconLink* COrvaneView::PlaceFeatureIcon(CTerrain& t, int type, int spriteId, int iconId) {
    CBattleState& b = GetBattleState();
    CSprite* sprite = GetSprites().Find(spriteId);
    if (!sprite || sprite == s_pFallbackSprite) return nullptr;
    const CTerrainRectRecord& record = b.terrainDB.GetRecord(type);
    CPoint slope(0, 0);
    if (b.altitude.IsLoaded()) b.altitude.GetSlopeOffset(slope, t.m_x, t.m_y);
    CIcon* icon = AddIcon(sprite, t.m_x - record.originX + slope.x, t.m_y - record.originY + slope.y, iconId, FALSE,
                          0, 24, 40, 29, 42);
    icon->m_nPhaseColumn = std::max(0, int(t.m_frame));
    icon->m_nPhaseRow = 0;
    icon->SetDepth(icon->m_y + icon->m_nHeight + 16000, FALSE);
    b.terrainIcons.push_back(std::make_unique<CTerrainIconLink>(icon));
    return b.terrainIcons.back().get();
}

CString COrvaneView::BattleClanName(int side) {
    COrvaneDoc* doc = GetDocument();
    CString clan = doc ? doc->m_nations.GetNameByID(BattleClans[side]) : CString();
    if (clan.IsEmpty()) clan = GetClanName(BattleClans[side]);
    return clan;
}

CKeyPoint* COrvaneView::PlaceSideFlag(int side, int kind, int x, int y) {
    if (side < 0 || side > 1 || kind < 1 || kind > 2 || !Armies[side]) return nullptr;
    CBattleState& b = GetBattleState();
    // A clan without flags of its own flies the first clan's.
    const int type = GetSideFlagObjectType(BattleClanName(side), side, kind);
    const int resource = GetObjectResourceNumber(type);
    CKeyPoint* hq = Armies[side]->CreateHeadquarters(resource, kind - 1, x, y);
    if (!hq) return nullptr;
    CTerrainIconLink* icon = PlaceFeatureIcon(*hq, type, resource, kFlagIconId + side + 2 * (kind - 1));
    hq->Setup(b.terrainDB.GetRecord(type), &b.grid, icon);
    b.terrain.AddTail(hq);
    return hq;
}

CUnit* COrvaneView::HitTestUnitAt(int x, int y) {
    if (!Battle) return nullptr;
    CPoint p(x, y);
    ScreenToField(p);
    CObList near;
    Battle->grid.GetElementsInRect(CRect(p.x - 50, p.y - 50, p.x + 50, p.y + 50), nullptr, &near, -1);
    for (POSITION pos = near.GetHeadPosition(); pos;) {
        auto* unit = dynamic_cast<CUnit*>(near.GetNext(pos));
        auto* link = unit ? dynamic_cast<CUnitIconLink*>(unit->m_icon) : nullptr;
        if (link && link->Icon()->m_bEnabled && link->Icon()->HitTest(p.x, p.y, FALSE)) return unit;
    }
    return nullptr;
}

void COrvaneView::LoadPathDatabase() {
    COrvaneDoc* doc = GetDocument();
    const CString data = doc ? doc->GetDataPath() : CString("Data\\");
    CBattleState& b = GetBattleState();
    if (b.terrainDB.GetRecord(0).frameCount <= 0) b.terrainDB.Load(data + "terrain_rect_db.trm");

    // The map's flag placeholders stand for the sides' headquarters: each
    // leaves the map and its side's headquarters flag takes its place.
    struct Placeholder {
        int side, kind, x, y;
    };
    std::vector<Placeholder> placeholders;
    for (POSITION pos = b.terrain.GetHeadPosition(); pos;) {
        POSITION at = pos;
        CTerrain* t = b.terrain.GetTerrain(pos);
        const int type = GetObjectTypeFromResource(t->m_objectType);
        if (type < kFirstPlaceholder || type > kLastPlaceholder) continue;
        placeholders.push_back({(type - kFirstPlaceholder) / 2, (type - kFirstPlaceholder) % 2 + 1, t->m_x, t->m_y});
        b.terrain.RemoveAt(at);
        delete t;
    }
    SetupTerrainFeatures(b.terrain, b.terrainDB, b.grid);
    for (POSITION pos = b.terrain.GetHeadPosition(); pos;) {
        CTerrain* t = b.terrain.GetTerrain(pos);
        const int type = GetObjectTypeFromResource(t->m_objectType);
        if (type < 0 || IsFlagType(type)) continue;
        if (CTerrainIconLink* icon = PlaceFeatureIcon(*t, type, t->m_objectType + 4500, 0)) t->m_icon = icon;
    }
    for (const Placeholder& p : placeholders) PlaceSideFlag(p.side, p.kind, p.x, p.y);
    GetIcons().Resort();
    BuildBattlefieldPaths(b.grid, GetPathDBName(data, BattleMap));
    CUnit::BuildRouteGrid(b.grid, b.routes);
}

void COrvaneView::PlaceBattleMarkers() {
    const bool narrow = m_nScreenWidth <= 1024;
    const int step = narrow ? 66 : 68;
    CSprite* bottom = GetSprites().Find(0);
    CSprite* redX = GetSprites().Find(220);
    CSprite* bar = GetSprites().Find(24);
    for (int k = 0; k < 15; ++k) {
        CDivisionSlot& slot = DivisionSlots[k];
        if (slot.Column == 255) continue;
        const int x = slot.Column * step + (narrow ? 171 : 235);
        CSprite* portrait = LoadSpriteSet(slot.Portrait, TRUE, 500 + k, 1, 1, -1);
        slot.PortraitSprite = portrait;
        const bool detachment = k >= 12;
        int y = 12;
        if (portrait) {
            slot.PortraitIcon = AddIcon(portrait, x, y, 500 + k, TRUE, 0, 24, 40, 29, 42, &GetFrameIcons());
            slot.PortraitIcon->m_bEnabled = !detachment;
            y += portrait->GetHeight();
        }
        if (bottom) {
            CIcon* under = AddIcon(bottom, x, y, 520 + k, TRUE, 0, 24, 40, 29, 42, &GetFrameIcons());
            under->m_bEnabled = !detachment;
        }
        if (redX && redX != s_pFallbackSprite) {
            slot.RedX = AddIcon(redX, x, 12, 540 + k, FALSE, 0, 24, 40, 29, 42, &GetFrameIcons());
            slot.RedX->m_bEnabled = FALSE;
        }
        // The strength bar: sixty segments a column apart, under the
        // portrait.
        if (bottom) y += bottom->GetHeight();
        CArmy* army = Armies[LocalSide & 1];
        CDivision* division = army ? army->GetDivision(k, FALSE) : nullptr;
        if (!bar || !division) continue;
        constexpr int kSegments = 60;
        slot.Meter = std::make_unique<CDivisionMeter>(kSegments, 0, 0, 0, 0, division);
        for (int i = 0; i < kSegments; ++i) {
            auto* segment = new CIcon(bar, CRect(24, 40, 29, 42), 0, bar->GetWidth(), bar->GetHeight());
            segment->SetPosition(x + 3 + i, y + 2, FALSE);
            segment->m_bStatic = FALSE;
            segment->m_nId = 600 + k;
            slot.Meter->SetMeter(segment, i);
        }
        slot.MeterRect = CRect(x + 3, y + 2, x + 3 + kSegments + bar->GetWidth(), y + 2 + bar->GetHeight());
        slot.Meter->Update();
    }
}

void COrvaneView::UpdateDivisionMeters(BOOL all) {
    for (CDivisionSlot& slot : DivisionSlots) {
        if (!slot.Meter || (!slot.Meter->Update() && !all)) continue;
        ComposeFrame(&slot.MeterRect, &slot.Meter->GetIcons());
        Render(&slot.MeterRect, TRUE);
    }
}

BOOL COrvaneView::InitBattleMode() {
    KeyboardReady = 0;
    MouseReady = 0;
    BattleReady = 0;
    BattleLoadStart = DWORD(std::clock());
    SetTimerInterval1(0);
    if (IsConnected()) SetTimerInterval3(0);
    while (::ShowCursor(FALSE) >= 0) {
    }

    // The loading picture stays up while the rest loads.
    m_bFullWindow = TRUE;
    LoadBattlePicture(CString(m_nScreenWidth <= 1024 ? "1024" : "") + kLoadingScreenPicture + ".giz", FALSE, TRUE,
                      TRUE);

    GameMode = MODE_BATTLE;
    ShiftHeld = 0;
    CtrlHeld = 0;
    LoadModeSounds();
    std::fill(std::begin(UnitSetSlots), std::end(UnitSetSlots), nullptr);
    for (CDivisionSlot& slot : DivisionSlots) slot = CDivisionSlot();
    OverlayFlags = 0;
    PanelDivision = -1;
    BattleTick = 0;
    BattleFrame = 0;
    StepCount = 1;

    CBattleState& b = GetBattleState();
    for (int s = 0; s < 2; ++s) {
        // The armies the deployment screen built, unless the battle came
        // with its own.
        if (!b.armies[s] && OwnedArmies[s]) b.armies[s] = std::move(OwnedArmies[s]);
        Armies[s] = b.armies[s].get();
        if (Armies[s]) {
            b.links[s] = std::make_unique<CArmyLink>(Armies[s]);
            BattleArmies[s] = b.links[s].get();
        }
    }
    auto fail = [&]() {
        while (::ShowCursor(TRUE) < 0) {
        }
        KeyboardReady = 1;
        MouseReady = 1;
        ExitBattleMode();
        return FALSE;
    };
    if (!Armies[0] || !Armies[1]) {
        ShowMessage("ERROR: No armies have been chosen for the battle.");
        return fail();
    }

    LoadBattleSprites();
    if (!LoadBattleMap()) return fail();
    // The player commands his own army (each player his in a networked
    // battle), the computer the other.
    for (int s = 0; s < 2; ++s) {
        Armies[s]->TakeOntoGrid(b.grid);
        Armies[s]->SetBattleAI(std::make_unique<CArmyAI>());
        Armies[s]->m_humanControlled = IsConnected() || s == (LocalSide & 1) ? 1 : 0;
    }
    Weather.clock = BattleDate;
    InitWeather(BattleDate);

    if (CSprite* pointer = GetSprites().Find(106)) {
        OrientationPointer = AddIcon(pointer, -1000, -1000, kOrientationPointerId, FALSE, 0, 24, 40, 29, 42);
        OrientationPointer->m_bEnabled = FALSE;
        OrientationPointer->m_nPhaseColumn = 0;
        OrientationPointer->m_nPhaseRow = 0;
        OrientationPointer->SetDepth(32767, TRUE);
    }

    SetupBattleArmies();
    // A headquarters the map gave no place keeps its flag behind the
    // army's commander.
    for (int side = 0; side < 2; ++side)
        for (int kind = 1; kind <= 2; ++kind)
            if (!Armies[side]->m_headquarters[kind - 1]) PlaceSideFlag(side, kind, -1000, -1000);
    LoadBattleButtons();
    PlaceBattleMarkers();
    SetLoadingBattlefieldFlags();
    // The units stand on the battle grid, each at the nearest free spot,
    // as in every battle, shown or not.
    PlaceBattleUnits(&b.grid, &b.routes);
    IssueOpeningOrders();
    Armies[0]->ResolveDetachments();
    BattleTick = 0;

    while (::ShowCursor(TRUE) < 0) {
    }
    // The first frame: the middle of the field, the panel, the buttons.
    ClearDirtyRects();
    ScrollBattleTo(1500, 1000);
    RedrawRect(nullptr, &GetVisibleIcons(), TRUE, FALSE);
    ComposeFrame(nullptr, &GetFrameIcons());
    DrawFrame(TRUE);
    UpdateDivisionMeters(TRUE);
    SetButtonState(0, TRUE, FALSE, FALSE);
    Render(nullptr, FALSE);
    ClearDirtyRects();

    SetTimerInterval1(-1);
    SetTimerInterval3(50);
    MouseReady = 1;
    KeyboardReady = 1;
    // The player's orders are taken from here on.
    BattleReady = 1;
    return TRUE;
}

void COrvaneView::ScrollBattleTo(int x, int y) {
    ScrollTo(x, y, TRUE, FALSE);
    CollectVisibleIcons();
    RedrawRect(nullptr, &GetVisibleIcons(), TRUE, FALSE);
    SetButtonState(0, TRUE, FALSE, FALSE);
    Render(nullptr, FALSE);
    DrawFrame(TRUE);
}

void COrvaneView::DrawBattleScene() {
    if (GameMode != MODE_BATTLE || !Battle) return;
    // The puffs and fog banks change with the steps; between two steps only
    // what the player moved is drawn again.
    const bool stepped = Battle->drawnFrame != BattleFrame;
    Battle->drawnFrame = BattleFrame;
    std::vector<CRect>& areas = Battle->effectAreas;
    if (stepped) {
        for (const CRect& r : areas) AddDirtyRect(r);
        areas.clear();
        for (CIconList* list : {&EffectIcons, &FogIcons})
            for (POSITION pos = list->GetHeadPosition(); pos;) {
                const CRect r = static_cast<CIcon*>(list->GetNext(pos))->GetRect();
                AddDirtyRect(r);
                areas.push_back(r);
            }
    }
    FlushDirtyRects(FALSE);
    // The small map's dots and the strength bars follow the battle a few
    // times a second.
    if (stepped && BattleFrame % 8 == 0) {
        DrawFrame(TRUE);
        UpdateDivisionMeters(FALSE);
    }
}

void COrvaneView::ExitBattleMode() {
    BattleReady = 0;
    ClearOrderQueues();
    ClearBattleEffects();
    // The missiles in flight go with their pictures, before the icons do.
    BattleMissiles.RemoveAll();
    BattleDivisions.RemoveAll(FALSE);
    BattleBattalions.RemoveAll(FALSE);
    BattleUnits.RemoveAll(FALSE);
    for (int s = 0; s < 4; ++s) {
        BattleArmies[s] = nullptr;
        Armies[s] = nullptr;
    }
    BattleReady = 0;
    BattleTerrain = nullptr;
    BattleGrid = nullptr;
    OrientationPointer = nullptr;
    GetVisibleIcons().RemoveAll();
    // The armies and features let go of their pictures before the
    // pictures go.
    Battle.reset();
    GetIcons().DeleteAll();
    GetFrameIcons().DeleteAll();
    GetButtons().DeleteAll();
    for (CDivisionSlot& slot : DivisionSlots) slot = CDivisionSlot();
    std::fill(std::begin(UnitSetSlots), std::end(UnitSetSlots), nullptr);
    GetSprites().DeleteAll();
    GetAlphaSprites().DeleteAll();
    SetTimerInterval1(0);
    m_bFullWindow = TRUE;
    OverlayFlags = 0;
    PanelDivision = -1;
}
