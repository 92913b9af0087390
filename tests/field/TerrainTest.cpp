// Terrain rectangle database, terrain features, key points and the battle
// grid on small hand-made fields.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>
#include <memory>

#include "../support/ArchiveBytes.h"
#include "field/ArmyElement.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "field/ZoneGrid.h"
#include "core/GameTables.h"
#include "core/PointList.h"
#include "core/Random.h"

namespace {

// A record with one 20 x 20 rectangle round its origin in state 0.
void SetBox(CTerrainRectRecord& r, int half, BYTE snap) {
    r.snapToCells = snap;
    r.states[0].used = 1;
    r.states[0].rects[0] = CRect(-half, -half, half, half);
}

struct FakeArmy : IBattleArmy {
    int tick = 0;
    bool messages = false;
    double morale = 0;
    FakeArmy* enemy = nullptr;
    CKeyPoint* hq[4] = {};
    std::vector<int> queued;
    int rearGuards = 0;
    int GetTick() const override { return tick; }
    bool ShowsBattleMessages() const override { return messages; }
    void AddBattleMessage(int id, int, int) override { queued.push_back(id); }
    void AdjustMorale(double d) override { morale += d; }
    IBattleArmy* GetOpposingArmy() const override { return enemy; }
    CKeyPoint* GetHeadquarters(int place) const override { return hq[place]; }
    void AssignRearGuard() override { ++rearGuards; }
};
struct FakeDivision : IBattleDivision {
    FakeArmy* army;
    std::vector<int> queued;
    IBattleArmy* GetArmyLink() const override { return army; }
    int GetIndex() const override { return 3; }
    void AddBattleMessage(int id, int, int) override { queued.push_back(id); }
};
struct FakeBattalion : IBattleBattalion {
    FakeDivision* division;
    double morale = 0;
    int captures = 0;
    IBattleDivision* GetDivisionLink() const override { return division; }
    void AdjustMorale(double d) override { morale += d; }
    void AddCapture() override { ++captures; }
};
struct FakeUnit : CArmyElement {
    FakeBattalion* battalion = nullptr;
    IBattleBattalion* GetBattalionLink() const override { return battalion; }
};

}  // namespace

TEST(TerrainDB, StoreAndLoadRoundTrip) {
    CTerrainDB db;
    CTerrainRectRecord& r = db.GetRecord(120);
    r.frameCount = 6, r.countdown = 80, r.countdownActive = 1, r.originX = 30, r.originY = 60;
    r.states[1].used = 1, r.states[1].firstFrame = 1, r.states[1].lastFrame = 5, r.states[1].valueC = 900;
    r.states[1].rects[2] = CRect(1, 2, 3, 4);
    r.routes[2].AddTail(CPoint(10, 20));
    std::vector<BYTE> bytes = db.Store();
    CTerrainDB back;
    AfxClearShownMessages();
    ASSERT_TRUE(back.LoadBytes(bytes));
    EXPECT_TRUE(AfxGetShownMessages().empty());
    EXPECT_EQ(back.Store(), bytes);
    EXPECT_EQ(back.GetRecord(120).states[1].rects[2], CRect(1, 2, 3, 4));
    EXPECT_EQ(back.GetRecord(120).routes[2].GetHead(), CPoint(10, 20));
}

TEST(TerrainDB, TheCurrentRecordFormatFieldByField) {
    // A record of version 8 written out by hand: each field a different
    // value, so one read or written in another's place shows.
    std::vector<BYTE> v;
    PutD(v, 8);
    v.insert(v.end(), {1, 1, 0});  // flag C, countdown on, no snapping
    for (int32_t x : {75, 6, 3, 30, 60, 12, 14}) PutD(v, DWORD(x));  // countdown, frames, morale, origin, point
    for (int s = 0; s < 5; ++s) {
        PutD(v, 3);
        v.insert(v.end(), {BYTE(s == 1), BYTE(s == 2), BYTE(s < 2)});  // blocking, loop, used
        for (int32_t x : {2, 5 + s, 15, 1, s, 900 + s}) PutD(v, DWORD(x));  // D, last, B, first, depth, C
        for (int r = 0; r < 10; ++r)
            for (int32_t x : {-r, -2 * r, r + s, 2 * r + s}) PutD(v, DWORD(x));
    }
    PutD(v, DWORD(-7));  // pair A
    PutD(v, 9);          // pair B
    PutW(v, 1), PutD(v, 10), PutD(v, 20);                        // route 0: one point
    PutW(v, 0);                                                   // route 1: none
    PutW(v, 2), PutD(v, 1), PutD(v, 2), PutD(v, 3), PutD(v, 4);  // route 2: two points

    CTerrainRectRecord r;
    CTerrainReader in(v.data(), v.size());
    ASSERT_TRUE(r.Read(in));
    EXPECT_EQ(in.Position(), v.size());
    EXPECT_EQ(r.flagC, 1);
    EXPECT_EQ(r.countdownActive, 1);
    EXPECT_EQ(r.snapToCells, 0);
    EXPECT_EQ(r.countdown, 75);
    EXPECT_EQ(r.frameCount, 6);
    EXPECT_EQ(r.moralePenalty, 3);
    EXPECT_EQ(CPoint(r.originX, r.originY), CPoint(30, 60));
    EXPECT_EQ(CPoint(r.pointX, r.pointY), CPoint(12, 14));
    EXPECT_EQ(r.states[1].blocking, 1);
    EXPECT_EQ(r.states[2].loop, 1);
    EXPECT_EQ(r.states[2].used, 0);
    EXPECT_EQ(r.states[3].lastFrame, 8);
    EXPECT_EQ(r.states[4].depthMode, 4);
    EXPECT_EQ(r.states[4].valueC, 904);
    EXPECT_EQ(r.states[3].rects[9], CRect(-9, -18, 12, 21));
    EXPECT_EQ(r.pairA, -7);
    EXPECT_EQ(r.pairB, 9);
    EXPECT_EQ(r.routes[0].GetHead(), CPoint(10, 20));
    EXPECT_TRUE(r.routes[1].IsEmpty());
    EXPECT_EQ(r.routes[2].GetTail(), CPoint(3, 4));
    std::vector<BYTE> written;
    r.Write(written);
    EXPECT_EQ(written, v);

    // Coordinates, origins or frame counts beyond a million are damage: the
    // record is refused before a feature placed by it could overflow.
    for (size_t at : {size_t(4 + 3 + 12), size_t(4 + 3 + 28 + 3 + 24 + 8)}) {
        std::vector<BYTE> far = v;
        far[at + 3] = 0x80;
        CTerrainRectRecord refused;
        CTerrainReader farIn(far.data(), far.size());
        EXPECT_FALSE(refused.Read(farIn)) << at;
    }
}

TEST(TerrainDB, DamagedFilesReportAndKeepDefaults) {
    CTerrainDB source;
    source.GetRecord(5).countdown = 7;
    std::vector<BYTE> bytes = source.Store();
    // Version 2 cut inside record 101: one message, later records default.
    size_t perRecord = (bytes.size() - 4) / 391;
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + long(4 + perRecord * 101 + 10));
    source.GetRecord(200).countdown = 99;
    CTerrainDB db;
    AfxClearShownMessages();
    EXPECT_FALSE(db.LoadBytes(cut));
    EXPECT_EQ(AfxGetShownMessages(), std::vector<std::string>{"ERROR: Error reading terraindb file."});
    EXPECT_EQ(db.GetRecord(5).countdown, 7);
    EXPECT_EQ(db.GetRecord(101).countdown, 50);
    EXPECT_EQ(db.GetRecord(101).index, 101);
    // No file version: the records are read from offset 0 after a warning.
    std::vector<BYTE> bare(bytes.begin() + 4, bytes.end());
    CTerrainDB fromBare;
    AfxClearShownMessages();
    EXPECT_TRUE(fromBare.LoadBytes(bare));
    EXPECT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_EQ(fromBare.GetRecord(5).countdown, 7);
    // A bare file that runs out: the missing records copy the last good one.
    std::vector<BYTE> bareCut(bare.begin(), bare.begin() + long(perRecord * 10));
    CTerrainDB partial;
    EXPECT_FALSE(partial.LoadBytes(bareCut));
    EXPECT_EQ(partial.GetRecord(300).index, 9);
    // A missing file.
    AfxClearShownMessages();
    EXPECT_FALSE(CTerrainDB().Load("no such terrain_rect_db.trm"));
    EXPECT_EQ(AfxGetShownMessages(), std::vector<std::string>{"ERROR: Error opening terrain rectangle input file!!!"});
}

// Records before version 7 add their routes to what the record holds (a
// database loaded a second time); the reader must still end up right after
// the record.
TEST(TerrainDB, OlderRecordReadOverHeldRoutesEndsAtItsLastByte) {
    CTerrainRectRecord source;
    source.routes[0].AddTail(CPoint(1, 2));
    source.routes[1].AddTail(CPoint(3, 4));
    std::vector<BYTE> bytes;
    source.Write(bytes);
    // Made version 6: no point, two routes (the empty third one's count goes).
    bytes[0] = 6;
    bytes.erase(bytes.begin() + 27, bytes.begin() + 35);
    bytes.resize(bytes.size() - 2);
    bytes.push_back(0xAB);
    CTerrainRectRecord held;
    held.routes[0].AddTail(CPoint(9, 9));
    CTerrainReader in(bytes.data(), bytes.size());
    ASSERT_TRUE(held.Read(in));
    EXPECT_EQ(in.Position(), bytes.size() - 1);
    EXPECT_EQ(held.routes[0].GetCount(), 2);
    EXPECT_EQ(held.routes[1].GetHead(), CPoint(3, 4));
}

TEST(Terrain, RegionsSnapOutwardToCells) {
    CTerrainRectRecord r;
    r.snapToCells = 1;
    r.states[0].rects[0] = CRect(-7, 3, 20, 29);
    CTerrainRegion region(0, 0, 0, r);
    ASSERT_EQ(region.rects.size(), 1u);
    EXPECT_EQ(region.rects[0], CRect(-15, 0, 29, 29));
}

TEST(Terrain, SerializeVersions) {
    CTerrain stored(GetObjectResourceNumber(60), 4, -1, 100, 200, -1000, -1000);
    stored.m_facing = 3;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { stored.Serialize(ar); });
    ASSERT_EQ(bytes.size(), 24u);
    CTerrain loaded;
    LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(loaded.m_version, 7);
    EXPECT_EQ(loaded.m_facing, 3);
    EXPECT_EQ(loaded.m_objectType, stored.m_objectType);
    // Version 2 keeps the centre of a rectangle.
    std::vector<BYTE> v2;
    PutD(v2, 2);
    v2.push_back(1), v2.push_back('a');
    for (DWORD d : {9u, 0u, 0u, 10001u, 0u, 10u, 40u, 21u, 60u}) PutD(v2, d);
    CTerrain old;
    LoadBytes(v2, [&](CArchive& ar) { old.Serialize(ar); });
    EXPECT_EQ(old.m_x, 15);
    EXPECT_EQ(old.m_y, 50);
    EXPECT_EQ(old.m_value, 9);
    // Version 3 stores the map-object type.
    std::vector<BYTE> v3;
    for (DWORD d : {3u, 115u, 0u, 5u, 6u}) PutD(v3, d);
    LoadBytes(v3, [&](CArchive& ar) { old.Serialize(ar); });
    EXPECT_EQ(old.m_objectType, 31304);
    // An unknown version stops the load instead of reading on out of step.
    std::vector<BYTE> v9;
    for (DWORD d : {9u, 1u, 2u, 3u, 4u}) PutD(v9, d);
    AfxClearShownMessages();
    EXPECT_THROW(LoadBytes(v9, [&](CArchive& ar) { old.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(AfxGetShownMessages(), std::vector<std::string>{"ERROR: Unknown version of terrain file."});
}

TEST(Terrain, CountdownAndFrames) {
    CTerrainRectRecord r;
    SetBox(r, 10, 0);
    r.countdownActive = 1, r.countdown = 5;
    r.states[0].firstFrame = 6, r.states[0].lastFrame = 2;  // descending
    r.states[0].loop = 1;
    CTerrain t(10001, 0, -1, 500, 500, -1000, -1000);
    t.Setup(r, nullptr, nullptr);
    t.m_frame = 6;
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        t.UpdateRegion();
        frames.push_back(t.m_frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{5, 4, 3, 2, 6, 5}));
    t.Update(5, nullptr);  // exactly the countdown: ends now
    EXPECT_EQ(t.m_countdown, 0);
    EXPECT_EQ(t.m_nextState, 3);
    CTerrain idle(10001, 0, -1, 0, 0, -1000, -1000);
    idle.Update(3, nullptr);  // countdown -1: nothing
    EXPECT_EQ(idle.m_nextState, 0);
    t.SetState(1);
    EXPECT_EQ(t.m_nextState, 3);  // 3 only moves on to 4
    t.SetState(4);
    EXPECT_EQ(t.m_nextState, 4);
}

TEST(KeyPoint, CaptureGivesMoraleAndMessagesOnlyWhenBothHeadquartersFall) {
    FakeArmy own, enemy;
    own.enemy = &enemy, enemy.enemy = &own;
    FakeDivision division;
    division.army = &own;
    FakeBattalion battalion;
    battalion.division = &division;
    FakeUnit unit;
    unit.battalion = &battalion;
    CKeyPoint first(46000, 0, 100, 100, &enemy), second(46001, 0, 200, 200, &enemy);
    first.m_countdown = 2, second.m_countdown = 2;
    enemy.hq[0] = &first, enemy.hq[1] = &second;
    first.Update(2, &unit);
    EXPECT_EQ(battalion.morale, 300.0);
    EXPECT_EQ(battalion.captures, 1);
    EXPECT_TRUE(enemy.queued.empty());  // one headquarters still stands
    EXPECT_FALSE(first.IsReady());
    second.Update(2, &unit);
    EXPECT_EQ(enemy.queued, std::vector<int>{14});
    EXPECT_EQ(enemy.rearGuards, 1);
    // Stamps: ready while the owner's tick is within 100 of the last visit.
    CKeyPoint point(46002, 0, 0, 0, &own);
    point.m_countdown = 50;
    own.tick = 10;
    point.Update(1, nullptr);
    own.tick = 110;
    EXPECT_TRUE(point.IsReady());
    EXPECT_FALSE(point.IsFresh());  // previous mark -1000: too long ago
    point.Update(1, nullptr);
    EXPECT_TRUE(point.IsFresh());
    own.tick = 211;
    EXPECT_FALSE(point.IsReady());
}

TEST(TerrainList, StoresKeyPointsAsThemselvesAndDetaches) {
    CTerrainList list;
    list.AddTail(new CTerrain(10001, 1, -1, 10, 20, -1000, -1000));
    list.AddTail(new CKeyPoint(46000, 2, 30, 40, nullptr));
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });
    CTerrainList back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_TRUE(back.GetTail()->IsKindOf(RUNTIME_CLASS(CKeyPoint)));
    EXPECT_EQ(back.CountInRect(10, 20, 31, 41), 2);
    EXPECT_EQ(back.CountInRect(11, 20, 30, 41), 0);  // right edge out
    CTerrain* detached = back.DetachByType(46000);
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(back.GetCount(), 1);
    EXPECT_FALSE(back.Find(detached));
    delete detached;
    // A list that names one feature twice is refused, not owned twice.
    std::vector<BYTE> twice = StoreBytes([&](CArchive& ar) {
        CTerrain one(10001, 1, -1, 10, 20, -1000, -1000);
        ar.WriteCount(2);
        ar << &one << &one;
    });
    EXPECT_THROW(LoadBytes(twice, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(back.GetCount(), 0);
    // A damaged list leaves nothing half loaded behind.
    std::vector<BYTE> cut(bytes.begin(), bytes.end() - 3);
    EXPECT_THROW(LoadBytes(cut, [&](CArchive& ar) { back.Serialize(ar); }), CArchiveException);
    EXPECT_EQ(back.GetCount(), 0);
}

TEST(BattleGrid, FilingAndQueries) {
    CBattleGrid grid;
    CArmyElement edge;
    edge.m_rcOccupied = CRect(2990, 10, 3010, 20);
    grid.AddElement(&edge);
    EXPECT_EQ(grid.GetCell(59, 0).elements.size(), 1u);
    EXPECT_EQ(grid.GetOffFieldCell().elements.size(), 1u);
    int a, b, c, d;
    EXPECT_FLOAT_EQ(grid.GetForceRatio(0, CRect(100, 100, 200, 200), a, b, c, d), 0.5f);
    EXPECT_EQ(grid.FindElementOnLine(2995, 15, 2997, 15, nullptr, -1.0), nullptr);  // shorter than a step
    EXPECT_EQ(grid.FindElementAt(3005, 12), &edge);
    // A move into another element is refused and changes nothing.
    CArmyElement other;
    other.m_rcOccupied = CRect(1000, 1000, 1010, 1010);
    grid.AddElement(&other);
    EXPECT_FALSE(grid.MoveElement(CRect(1005, 1005, 1015, 1015), &edge));
    EXPECT_EQ(edge.m_rcOccupied, CRect(2990, 10, 3010, 20));
    EXPECT_TRUE(grid.MoveElement(CRect(1100, 1000, 1110, 1010), &edge));
    EXPECT_TRUE(grid.GetOffFieldCell().elements.empty());
    EXPECT_TRUE(grid.MoveElement(CRect(-1000, -1000, -1000, -1000), &edge));
    EXPECT_TRUE(grid.GetCell(22, 20).elements.empty());
}

TEST(BattleGrid, FinePathGridFromFeatures) {
    CTerrainDB db;
    CTerrainRectRecord& ring = db.GetRecord(170);  // a wall piece
    ring.snapToCells = 1;
    // A square ring of wall: the ground inside cannot be reached.
    ring.states[0].rects[0] = CRect(0, 0, 89, 14);
    ring.states[0].rects[1] = CRect(0, 75, 89, 89);
    ring.states[0].rects[2] = CRect(0, 0, 14, 89);
    ring.states[0].rects[3] = CRect(75, 0, 89, 89);
    CTerrainList list;
    auto* wall = new CTerrain(GetObjectResourceNumber(170), 0, -1, 1500, 900, -1000, -1000);
    list.AddTail(wall);
    CBattleGrid grid;
    grid.SetTerrainList(&list);
    wall->Setup(ring, &grid, nullptr);
    grid.BuildPathGrids("");
    const CPathGrid& fine = *grid.GetFineGrid();
    EXPECT_EQ(fine.GetCode(100, 60), 5);  // the wall
    EXPECT_EQ(fine.GetCode(102, 62), 4);  // enclosed
    EXPECT_EQ(fine.GetCode(98, 60), 3);   // beside the wall: dearer
    EXPECT_EQ(fine.GetCode(10, 10), 2);
    EXPECT_TRUE(grid.IsRectBlocked(CRect(1530, 930, 1540, 940)));
}

TEST(BattleGrid, LegsAndLegSearchRectangles) {
    CBattleGrid grid;
    CTerrainList list;
    grid.SetTerrainList(&list);
    grid.BuildPathGrids("");
    EXPECT_EQ(grid.GetLegSearchRect(CPoint(1000, 1000), CPoint(2000, 1000)), CRect(1010, 860, 1290, 1140));
    EXPECT_EQ(grid.GetLegSearchRect(CPoint(1000, 1000), CPoint(1000, 0)), CRect(860, 710, 1140, 990));
    CPointList legs;
    grid.PlanLegs(0, 0, 300, 300, legs);
    EXPECT_EQ(legs.GetCount(), 1);
    legs.RemoveAll();
    grid.PlanLegs(0, 0, 301, 0, legs);
    EXPECT_EQ(legs.PopHead(), CPoint(295, 0));
    EXPECT_EQ(legs.PopHead(), CPoint(301, 0));
    CPointList way;
    EXPECT_TRUE(grid.FindPathForElement(100, 100, 2800, 1800, way, 3000));
    EXPECT_FALSE(way.IsEmpty());
}

TEST(BattleGrid, SegmentTests) {
    CTerrainRectRecord r;
    r.snapToCells = 1;
    r.states[0].used = 1;
    r.states[0].rects[0] = CRect(0, 0, 55, 10);  // placed at (105, 50), snapped: (105, 45, 164, 59)
    CTerrainList list;
    auto* wall = new CTerrain(GetObjectResourceNumber(170), 0, -1, 105, 50, -1000, -1000);  // flag bit 3
    auto* house = new CTerrain(GetObjectResourceNumber(60), 0, -1, 400, 400, -1000, -1000);  // no bit 2 or 3
    list.AddTail(wall);
    list.AddTail(house);
    CBattleGrid grid;
    wall->Setup(r, &grid, nullptr);
    house->Setup(r, &grid, nullptr);
    // Only the vertical extents count for a vertical segment.
    EXPECT_TRUE(grid.IsSegmentBlocked(100, 0, 100, 200));
    EXPECT_FALSE(grid.IsSegmentBlocked(100, 52, 108, 52));  // 64: never blocked
    EXPECT_TRUE(grid.IsSegmentBlocked(100, 52, 108, 53));   // 65: tested
    EXPECT_FALSE(grid.IsSegmentBlocked(380, 405, 440, 405));
    EXPECT_TRUE(grid.CollideElement(380, 405, 440, 405));
}

TEST(BattleGrid, RingSearchesAndFreeSpots) {
    CBattleGrid grid;
    CTerrainList list;
    grid.SetTerrainList(&list);
    grid.BuildPathGrids("");
    EXPECT_EQ(grid.GetUnitsNear(555, 555, nullptr, 100, 1), CPoint(555, 555));
    CArmyElement blocker;
    blocker.m_rcOccupied = CRect(1000, 1000, 1020, 1020);
    grid.AddElement(&blocker);
    GameSrand(7);
    int before = RandCallCount;
    CPoint spot = grid.FindFreeSpot(1010, 1010);
    int draws = RandCallCount - before;
    EXPECT_GT(draws, 0);
    CRect r(spot.x - 5, spot.y - 5, spot.x + 5, spot.y + 5);
    EXPECT_FALSE(grid.AnyElementInRect(r));
    GameSrand(7);
    before = RandCallCount;
    EXPECT_EQ(grid.FindFreeSpot(1010, 1010), spot);  // same seed, same spot, same draws
    EXPECT_EQ(RandCallCount - before, draws);
}

TEST(Terrain, GarrisonCountsWhoStandsInIt) {
    CTerrainRectRecord r;
    SetBox(r, 20, 0);
    r.states[1].used = 1;  // manned: the same ground
    r.states[1].rects[0] = r.states[0].rects[0];
    r.countdown = 100;
    CTerrain gate(GetObjectResourceNumber(116), 0, -1, 1000, 1000, -1000, -1000);  // a garrison type
    CBattleGrid grid;
    gate.Setup(r, &grid, nullptr);
    ASSERT_TRUE(gate.GetFlagBit2());
    gate.m_slotRoute.AddTail(CPoint(1000, 1010));
    gate.m_armyFilter = 0;
    CArmyElement own1, own2, routed, enemy;
    own1.m_armyId = own2.m_armyId = routed.m_armyId = 0;
    enemy.m_armyId = 1;
    routed.m_routed = 1;
    own1.m_rcOccupied = CRect(900, 900, 905, 905);
    own2.m_rcOccupied = CRect(1100, 1100, 1105, 1105);
    routed.m_rcOccupied = CRect(1000, 1100, 1005, 1105);
    for (CArmyElement* e : {&own1, &own2, &routed}) grid.AddElement(e);
    gate.m_currentState = gate.m_nextState = 1;
    gate.m_countdown = 5;
    gate.CheckOccupants();
    EXPECT_EQ(gate.m_ownCount, 2);  // the routed one does not hold it
    EXPECT_EQ(gate.m_otherCount, 0);
    EXPECT_TRUE(gate.m_flags & CTerrain::kFlagCrowded);  // 2 > 1.5 x 1 place
    EXPECT_FALSE(gate.GetFlagBit12());
    EXPECT_EQ(gate.m_nextState, 1);
    // An enemy at the gate: the garrison falls back to the closed state and
    // the crowding stays as it was.
    enemy.m_rcOccupied = CRect(1050, 1050, 1055, 1055);
    grid.AddElement(&enemy);
    grid.MoveElement(CRect(-1000, -1000, -1000, -1000), &own2);
    gate.CheckOccupants();
    EXPECT_TRUE(gate.GetFlagBit12());
    EXPECT_EQ(gate.m_nextState, 0);
    EXPECT_TRUE(gate.m_flags & CTerrain::kFlagCrowded);
}

namespace {
struct Facing : CArmyElement {
    BOOL IsFacingToward(int, int, int) const override { return TRUE; }
};
}  // namespace

TEST(BattleGrid, ShotsStopOnCoverAndSurroundingsAreReported) {
    CTerrainRectRecord wood;
    SetBox(wood, 20, 0);
    wood.states[0].valueC = 1501;  // every roll is below it: the wood always stops the shot
    CTerrain trees(GetObjectResourceNumber(0), 0, -1, 500, 500, -1000, -1000);
    CBattleGrid grid;
    trees.Setup(wood, &grid, nullptr);
    CArmyElement shooter, target;
    shooter.m_rcOccupied = CRect(400, 495, 405, 505);
    target.m_rcOccupied = CRect(600, 495, 605, 505);
    grid.AddElement(&shooter), grid.AddElement(&target);
    CArmyElement* hit = nullptr;
    CTerrain* feature = nullptr;
    BOOL covered = FALSE;
    int before = RandCallCount;
    grid.TraceShot(hit, feature, 402, 500, 602, 500, &shooter, -1.0, covered);
    EXPECT_EQ(feature, &trees);
    EXPECT_EQ(hit, nullptr);
    EXPECT_EQ(RandCallCount - before, 1);
    // Thin cover lets every shot through, marked as covered, one draw per
    // step inside the wood.
    trees.m_regions[0]->valueC = 0;
    covered = FALSE;
    before = RandCallCount;
    grid.TraceShot(hit, feature, 402, 500, 602, 500, &shooter, -1.0, covered);
    EXPECT_EQ(hit, &target);
    EXPECT_TRUE(covered);
    EXPECT_EQ(RandCallCount - before, 14);  // x 481..520 in steps of 3
    // A shot along the feature's own facing passes it without a draw.
    trees.m_facing = 2;
    before = RandCallCount;
    grid.TraceShot(hit, feature, 402, 500, 602, 500, &shooter, -1.0, covered);
    EXPECT_EQ(RandCallCount - before, 0);

    // What surrounds an element: a friend, an enemy archer facing it, the wood.
    Facing archer;
    archer.m_armyId = 1, archer.m_typeValue = 2;
    archer.m_rcOccupied = CRect(520, 520, 525, 525);
    CArmyElement friendly;
    friendly.m_armyId = shooter.m_armyId;
    friendly.m_rcOccupied = CRect(410, 495, 415, 505);
    grid.AddElement(&archer), grid.AddElement(&friendly);
    EXPECT_EQ(grid.GetEnemiesInRect(CRect(515, 515, 530, 530), &shooter), DWORD(0x2000 | 0x8 | 0x1));
    EXPECT_EQ(grid.GetEnemiesInRect(CRect(408, 490, 418, 510), &shooter), DWORD(0x2000 | 0x2));
    EXPECT_EQ(grid.GetEnemiesInRect(CRect(2900, 100, 3100, 200), &shooter), DWORD(0));

    // The quick question the moving units ask answers as the full one does:
    // a wood, a friend, an enemy, the element itself, open ground, the edge.
    const CRect probes[] = {CRect(515, 515, 530, 530), CRect(408, 490, 418, 510), CRect(400, 495, 405, 505),
                            CRect(2900, 100, 3100, 200), CRect(1500, 1500, 1510, 1510), CRect(481, 495, 483, 497)};
    for (const CRect& r : probes)
        for (const CArmyElement* self : {static_cast<const CArmyElement*>(&shooter), static_cast<const CArmyElement*>(nullptr)})
            EXPECT_EQ(grid.IsRectOccupied(r, self) != 0, grid.GetEnemiesInRect(r, self) != 0)
                << r.left << "," << r.top << " self " << (self != nullptr);
    // An element moved within its cells is found where it now stands.
    ASSERT_TRUE(grid.MoveElement(CRect(530, 530, 535, 535), &archer));
    EXPECT_FALSE(grid.IsRectOccupied(CRect(522, 522, 528, 528), nullptr));  // where it stood, past the wood
    EXPECT_TRUE(grid.IsRectOccupied(CRect(534, 534, 540, 540), nullptr));
    EXPECT_EQ(grid.FindElementAt(532, 532), &archer);
    EXPECT_EQ(grid.FindElementAt(522, 522), nullptr);
}

// The share of shots that cover lets through is foreseen without a draw,
// and it is the share that the rolls of real shots let through.
TEST(BattleGrid, TheShareOfShotsThroughCoverIsForeseenWithoutADraw) {
    CTerrainRectRecord wood;
    SetBox(wood, 20, 0);
    wood.states[0].valueC = 100;
    CTerrain trees(GetObjectResourceNumber(0), 0, -1, 500, 500, -1000, -1000);
    CBattleGrid grid;
    trees.Setup(wood, &grid, nullptr);
    int before = RandCallCount;
    const double share = grid.ShotClearance(402, 500, 602, 500, -1.0, 0.0, 0.0);
    EXPECT_EQ(RandCallCount, before);
    EXPECT_NEAR(share, std::pow(1 - 99 / 1500.0, 14), 1e-12);  // the 14 steps inside the wood
    int through = 0;
    constexpr int kShots = 4000;
    for (int i = 0; i < kShots; ++i) {
        CArmyElement* hit = nullptr;
        CTerrain* feature = nullptr;
        BOOL covered = FALSE;
        grid.TraceShot(hit, feature, 402, 500, 602, 500, nullptr, -1.0, covered);
        through += feature == nullptr;
    }
    EXPECT_NEAR(double(through) / kShots, share, 0.03);
    // Heavy cover: the walk gives up below the floor it is given.
    trees.m_regions[0]->valueC = 700;
    EXPECT_LT(grid.ShotClearance(402, 500, 602, 500, -1.0, 0.0, 0.25), 0.25);
    // Open ground beside the wood, and a shot along the feature's facing.
    EXPECT_EQ(grid.ShotClearance(402, 600, 602, 600, -1.0, 0.0, 0.25), 1.0);
    trees.m_facing = 2;
    EXPECT_EQ(grid.ShotClearance(402, 500, 602, 500, -1.0, 0.0, 0.25), 1.0);

    // The walk leaps over open cells, yet meets every step point in cover
    // that a shot meets: a shot through cover that never stops it draws once
    // for each, and the share foreseen is the share for that many rolls.
    // Small posts scattered over a corner of the field, lines every way,
    // corners clipped, some from off the field.
    CBattleGrid posts;
    CTerrainRectRecord post;
    SetBox(post, 2, 0);
    std::vector<std::unique_ptr<CTerrain>> planted;
    for (int i = 0; i < 40; ++i) {
        planted.push_back(std::make_unique<CTerrain>(GetObjectResourceNumber(0), 0, -1, 40 + (i * 137) % 460,
                                                     40 + (i * 251) % 460, -1000, -1000));
        planted.back()->Setup(post, &posts, nullptr);
    }
    auto setCover = [&](int value) {
        for (auto& t : planted) t->m_regions[0]->valueC = value;
    };
    uint32_t seed = 12345;
    auto next = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) >> 16) % n; };
    int crossing = 0;
    for (int i = 0; i < 2000; ++i) {
        int ax = next(560) - 30, ay = next(560) - 30, bx = next(560) - 30, by = next(560) - 30;
        CArmyElement* hit = nullptr;
        CTerrain* feature = nullptr;
        BOOL covered = FALSE;
        setCover(0);
        const int drawn = RandCallCount;
        posts.TraceShot(hit, feature, ax, ay, bx, by, nullptr, -1.0, covered);
        const int rolls = RandCallCount - drawn;
        setCover(100);
        EXPECT_NEAR(posts.ShotClearance(ax, ay, bx, by, -1.0, 0.0, 0.0), std::pow(1 - 99 / 1500.0, rolls), 1e-12)
            << ax << "," << ay << " to " << bx << "," << by;
        crossing += rolls > 0;
    }
    EXPECT_GT(crossing, 100);
    EXPECT_LT(crossing, 1900);
}

TEST(BattleGrid, ZoneRoutesAndFreePoints) {
    // Two zones split by a north-south line at x 1500 with one gate at
    // (1500, 300); a wall of features with snapping blocks the line except
    // at the gate.
    CZoneGrid zones;
    for (int c = 300; c < 600; ++c)
        for (int r = 0; r < 400; ++r) zones.SetCell(c, r, 75);
    CTerrainRectRecord wallRec;
    wallRec.snapToCells = 1;
    wallRec.states[0].used = 1;
    wallRec.states[0].rects[0] = CRect(-8, 0, 7, 1500);
    CTerrainRectRecord gateRec;
    gateRec.states[0].used = 1;
    gateRec.states[0].rects[0] = CRect(-30, -30, 30, 30);
    CTerrainList list;
    auto* wall = new CTerrain(GetObjectResourceNumber(170), 0, -1, 1500, 450, -1000, -1000);
    auto* gate = new CTerrain(GetObjectResourceNumber(116), 0, -1, 1500, 300, -1000, -1000);
    list.AddTail(wall), list.AddTail(gate);
    CBattleGrid grid;
    grid.SetZoneGrid(&zones);
    grid.SetTerrainList(&list);
    wall->Setup(wallRec, &grid, nullptr);
    gate->Setup(gateRec, &grid, nullptr);
    zones.GetFirstGates().AddTail(gate);
    grid.BuildPathGrids("");
    CPointList way;
    grid.FindPath(way, 1000, 1000, 2000, 1000, FALSE);
    std::vector<CPoint> points;
    while (!way.IsEmpty()) points.push_back(way.PopHead());
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.back(), CPoint(2000, 1000));
    EXPECT_NE(std::find(points.begin(), points.end(), CPoint(1500, 300)), points.end());  // through the gate
    // The gate's ground is open on the coarse grid, the wall's closed.
    EXPECT_TRUE(grid.GetCoarseGrid()->IsPassableAt(1500, 300));
    EXPECT_FALSE(grid.GetCoarseGrid()->IsPassableAt(1500, 1200));
    // A free point next to the wall, strictly on open ground.
    CPoint p = grid.FindFreePointNear(1500, 1000, nullptr, 100, TRUE);
    EXPECT_TRUE(grid.GetFineGrid()->IsPassableCellEx(p.x / 15, p.y / 15, TRUE));
    EXPECT_LE(std::abs(p.x - 1500), 100);
    EXPECT_EQ(grid.FindFreePointNear(1000, 1000, nullptr, 100, FALSE), CPoint(1000, 1000));
    grid.RemoveAll();
}
