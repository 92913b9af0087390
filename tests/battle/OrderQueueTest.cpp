// The order queues: which orders run at a tick and in what order, what the
// army is asked to do by each command, and the bytes that leave for the
// peer and the demo.
#include <gtest/gtest.h>

#include "platform/afx/MessageBox.h"
#include "tests/battle/BattleFixture.h"

using Lines = std::vector<std::string>;

namespace {
CObjective* Order(int type) { return new CObjective(type, 100, 200); }
}  // namespace

TEST(OrderQueue, RunsOrdersOfTheTickBySideThenNewestFirstAndKeepsLaterOnes) {
    BattleViewFixture f;
    CDivision* a0 = f.Army(0).AddDivision(1);
    CDivision* a1 = f.Army(1).AddDivision(2);
    f.view.BattleTick = 5;
    f.view.QueueTargetOrder(a1, Order(1), 1, 5);
    f.view.QueueTargetOrder(a0, Order(2), 0, 5);
    f.view.QueueTargetOrder(a0, Order(16), 0, 5, 255, 1, 1, 0);
    f.view.QueueTargetOrder(a0, Order(64), 0, 6);
    f.view.RunDueTargetOrders();
    EXPECT_EQ(f.log, (Lines{"side0 send d1 type 16 a1 b0", "side0 process d1", "side0 send d1 type 2 a0 b0",
                            "side1 send d2 type 1 a0 b0"}));
    EXPECT_EQ(f.view.TargetOrders.GetCount(), 1);
    f.log.clear();
    f.view.BattleTick = 6;
    f.view.RunDueTargetOrders();
    EXPECT_EQ(f.log, (Lines{"side0 send d1 type 64 a0 b0"}));
    EXPECT_TRUE(f.view.TargetOrders.IsEmpty());
}

TEST(OrderQueue, SetsTheSlotFlagTheRecordCarries) {
    BattleViewFixture f;
    CDivision* d = f.Army(0).AddDivision(3);
    d->m_formationByte = 1;
    f.view.QueueTargetOrder(d, Order(2), 0, 0, 0);  // cleared on apply
    f.view.RunDueTargetOrders();
    EXPECT_EQ(d->m_formationByte, 0);
    f.view.QueueTargetOrder(d, Order(2), 0, 0, 7);  // any non-zero value sets it
    f.view.RunDueTargetOrders();
    EXPECT_EQ(d->m_formationByte, 1);
    d->m_formationByte = 0;
    f.view.QueueTargetOrder(d, Order(2), 0, 0);  // 255: the division's own at queuing time
    d->m_formationByte = 1;
    f.view.RunDueTargetOrders();
    EXPECT_EQ(d->m_formationByte, 0);
}

// A head left behind by the clock used to block every order behind it.
TEST(OrderQueue, DropsAndReportsAnOrderWhoseTickHasPassed) {
    BattleViewFixture f;
    CDivision* d = f.Army(0).AddDivision(1);
    f.view.QueueTargetOrder(d, Order(2), 0, 3);
    f.view.QueueTargetOrder(d, Order(16), 0, 7);
    f.view.QueueUnitOrder(29, 0, 0, 0, 4);
    f.view.QueueUnitOrder(32, 0, 0, 0, 7);
    f.view.BattleTick = 7;
    f.view.RunDueTargetOrders();
    f.view.RunDueUnitOrders();
    EXPECT_EQ(f.log, (Lines{"side0 send d1 type 16 a0 b0", "side0 withdraw"}));
    int reported = 0;
    for (int i = 0; i < f.view.GetMessageLog().GetCount(); ++i)
        reported += f.view.GetMessageLog().GetAt(i)->Text.Find("dropped") >= 0;
    EXPECT_EQ(reported, 2);
}

TEST(OrderQueue, ArmyCommandsByIdSideAndScreen) {
    struct Case {
        int id, side, wide;
        BYTE flagA, flagB;
        Lines expected;
    } cases[] = {
        {29, 0, 0, 0, 0, {"side0 drum"}},
        {30, 0, 1, 1, 0, {"side0 front -500 b0 a1"}},
        {30, 1, 0, 0, 1, {"side1 front -500 b1 a0"}},
        {30, 1, 1, 0, 0, {"side1 front 500 b0 a0"}},
        {31, 0, 1, 0, 0, {"side0 front 500 b0 a0"}},
        {31, 1, 1, 0, 0, {"side1 front -500 b0 a0"}},
        {32, 1, 0, 0, 0, {"side1 withdraw"}},
        {34, 0, 0, 0, 0, {"side0 front step"}},
        {33, 0, 0, 0, 0, {}},
        {58, 0, 0, 0, 0, {}},
        {28, 0, 0, 0, 0, {}},
        {35, 0, 0, 0, 0, {"side0 reposition 1 536870912"}},
        {42, 1, 0, 0, 0, {"side1 reposition 1 1073741824"}},
        {43, 0, 0, 0, 0, {"side0 reposition 1 524288"}},
        {44, 0, 0, 0, 0, {"side0 reposition 2 70"}},
        {57, 0, 0, 0, 0, {"side0 reposition 2 92"}},
    };
    for (const Case& c : cases) {
        BattleViewFixture f;
        f.view.QueueUnitOrder(c.id, c.flagA, c.flagB, c.side, 0, BYTE(c.wide));
        f.view.RunDueUnitOrders();
        EXPECT_EQ(f.log, c.expected) << "command " << c.id << " side " << c.side;
        EXPECT_TRUE(f.view.UnitOrders.IsEmpty());
    }
}

// The peer's formation command is the peer's army's to resolve, never the
// local side's.
TEST(OrderQueue, APeersFormationCommandMovesThePeersArmy) {
    BattleViewFixture f;
    f.view.LocalSide = 0;
    f.view.OtherSide = 1;
    NetOrderRecord r;
    r.words[0] = NetOrderRecord::kArmyCommand;
    r.words[1] = 45;
    r.words[12] = 0;
    ASSERT_TRUE(f.view.ApplyPeerOrder(r));
    f.view.RunDueUnitOrders();
    EXPECT_EQ(f.log, (Lines{"side1 reposition 2 94"}));
}

TEST(OrderQueue, NetRecordsAreZeroFilledAndDueNextTick) {
    COrvaneView view;
    view.BattleTick = 41;
    view.m_nScreenWidth = 1280;
    view.PostNetOrder(2, 300, 400, 7, 6, 9, 3, 1, 0, 1, 1, 2, 3, 4);
    view.PostNetUnitOrder(31, 1, 0);
    ASSERT_EQ(view.OutgoingOrders.GetCount(), 2);
    const std::array<BYTE, 52> order = view.OutgoingOrders.GetAt(0)->ToBytes();
    const uint32_t words[13] = {3, 2, 300, 400, 7, 6, 1, 2, 3, 4, 9, 1 | 4 | 8, 42};
    for (int i = 0; i < 52; ++i)
        EXPECT_EQ(order[size_t(i)], BYTE(words[i / 4] >> (8 * (i % 4)))) << "byte " << i;
    const std::array<BYTE, 52> command = view.OutgoingOrders.GetAt(1)->ToBytes();
    std::array<BYTE, 52> expected{};
    expected[0] = 4, expected[4] = 31, expected[8] = 1, expected[9] = 0, expected[10] = 1, expected[48] = 42;
    EXPECT_EQ(command, expected);
}

TEST(OrderQueue, PeerOrdersRoundTripAndAnUnknownDivisionIsSkippedAlone) {
    BattleViewFixture sender;
    sender.view.BattleTick = 9;
    sender.view.PostNetOrder(2, 300, 400, 7, 6, 12, 1, 0, 1, 1, -1000, -1000, -1000, 5);
    sender.view.PostNetOrder(16, 1, 1, -1, 0, 99, 0, 0, 0, 0, -1000, -1000, -1000, -1000);
    sender.view.PostNetOrder(1, 2, 2, -1, 0, 12, 0, 1, 0, 0, -1000, -1000, -1000, -1000);

    BattleViewFixture receiver;
    receiver.view.LocalSide = 0;
    receiver.view.OtherSide = 1;
    CDivision* d = receiver.Army(1).AddDivision(12);
    std::vector<BOOL> applied;
    for (int i = 0; i < sender.view.OutgoingOrders.GetCount(); ++i) {
        auto bytes = sender.view.OutgoingOrders.GetAt(i)->ToBytes();
        applied.push_back(receiver.view.ApplyPeerOrder(NetOrderRecord::FromBytes(bytes.data())));
    }
    EXPECT_EQ(applied, (std::vector<BOOL>{TRUE, FALSE, TRUE}));
    ASSERT_EQ(receiver.view.TargetOrders.GetCount(), 2);
    TargetOrderRecord* head = receiver.view.TargetOrders.GetAt(1);  // queued first, so behind
    EXPECT_EQ(head->tick, 10u);
    EXPECT_EQ(head->GetSide(), 1);
    EXPECT_EQ(head->division, d);
    EXPECT_TRUE(head->Has(TargetOrderRecord::kSlotFlag));
    EXPECT_TRUE(head->Has(TargetOrderRecord::kRunAtOnce));
    EXPECT_TRUE(head->Has(TargetOrderRecord::kOptionB));
    EXPECT_FALSE(head->Has(TargetOrderRecord::kOptionA));
    EXPECT_EQ(*head->target, CObjective(2, 300, 400, 7, 6, -1000, -1000, -1000, 5));
}

TEST(OrderQueue, DemoFormOfAnArmyCommand) {
    struct Case {
        int side;
        uint32_t flags;
        bool wide;
        BYTE first;
    } cases[] = {
        {0, 0, false, 0x01},
        {1, UnitOrderRecord::kFlagA, false, 0x07},
        {2, UnitOrderRecord::kFlagB, true, 0x1B},  // any side but 0 reads as "not 0"
        {3, UnitOrderRecord::kFlagA | UnitOrderRecord::kFlagB, false, 0x0F},
    };
    for (const Case& c : cases) {
        UnitOrderRecord r;
        r.flags = c.flags | (uint32_t(c.side) << UnitOrderRecord::kSideShift);
        r.commandId = 0x0102031F;
        r.tick = 0xA0B0C0D0;
        auto bytes = EncodeDemoUnitOrder(r, c.wide);
        EXPECT_EQ(bytes, (std::array<BYTE, 9>{c.first, 0x1F, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0}))
            << "side " << c.side;
    }
}
