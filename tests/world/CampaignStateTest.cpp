// Campaign battles, the campaign state's saved-game record, story records
// and the event media table.
#include <gtest/gtest.h>

#include "world/BattleRecord.h"
#include "world/Castle.h"
#include "world/Nation.h"
#include "world/StoryEvent.h"
#include "world/Campaign.h"
#include "world/EventMedia.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

TEST(BattleRecord, ScoresAndArchiveForm) {
    CBattleRecord r;
    EXPECT_EQ(r.GetMeritScore(), 0);
    EXPECT_EQ(r.GetKillScore(), 0);
    r.c19 = 1;
    EXPECT_EQ(r.GetMeritScore(), 1000);
    EXPECT_EQ(r.GetKillScore(), 1000);
    r.AddScore(7, 10);
    EXPECT_EQ(r.c1, 10);
    EXPECT_EQ(r.c2 + r.c3 + r.c4 + r.c5 + r.c6, 0);
    r.AddScore(1, 5);
    EXPECT_EQ(r.c2, 5);

    r.c7 = 70;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { r.Serialize(ar); });
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(bytes[4], 70);  // c7 comes first after the version
    CBattleRecord back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_TRUE(back == r);

    bytes[0] = 2;  // a version of unknown length cannot be skipped
    ExpectLoadFailure(bytes, [](CArchive& ar) { CBattleRecord x; x.Serialize(ar); });
}

TEST(Battle, ReadsEveryFormat) {
    CBattle b;
    b.flagA = 0;
    b.flagB = 1;
    b.number = 3;
    b.battleId = 20;
    b.stage = 2;
    b.sideValue[1] = 77;
    b.sideClan[1] = 8;
    b.sideRecord[1].c12 = 5;
    std::vector<BYTE> three = StoreBytes([&](CArchive& ar) { b.Serialize(ar); });
    CBattle back;
    LoadBytes(three, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), three);

    // Format 1: no flagA, no side figures. Rebuilt from the format-3 bytes:
    // the common head (25 bytes), then the dates, then clan and record.
    std::vector<BYTE> one(three.begin(), three.begin() + 25);
    one[0] = 1;
    one.insert(one.end(), three.begin() + 26, three.begin() + 50);  // two dates
    for (int side = 0; side < 2; ++side) {
        size_t at = 50 + side * 92;
        one.insert(one.end(), three.begin() + at, three.begin() + at + 4);
        one.insert(one.end(), three.begin() + at + 8, three.begin() + at + 92);
    }
    CBattle old;
    LoadBytes(one, [&](CArchive& ar) { old.Serialize(ar); });
    EXPECT_EQ(old.flagA, 1);
    EXPECT_EQ(old.sideValue[1], 0);
    EXPECT_EQ(old.sideClan[1], 8);
    EXPECT_EQ(old.sideRecord[1].c12, 5);
    EXPECT_EQ(old.battleId, 20);

    three[0] = 4;
    ExpectLoadFailure(three, [](CArchive& ar) { CBattle x; x.Serialize(ar); });
}

TEST(BattleList, Keys) {
    CBattleList list;
    auto add = [&](int number, int id, int stage) {
        CBattle* b = new CBattle;
        b->number = number;
        b->battleId = id;
        b->stage = stage;
        list.AddTail(b);
        return b;
    };
    EXPECT_EQ(list.GetMaxNumber(), 0);
    CBattle* open = add(4, 5, 2);
    add(9, 2, 5);
    add(2, 2, 5);
    add(7, 3, 13);
    EXPECT_EQ(list.GetMaxNumber(), 9);
    EXPECT_EQ(list.CountByKeys(5, 2), 2);
    EXPECT_EQ(list.FindByKeys(5, 2), open);
    EXPECT_EQ(list.FindFirstOpen()->number, 2);  // the newest that is no attack

    CBattleList attacks;
    CBattle* a = new CBattle;
    a->stage = 13;
    attacks.AddTail(a);
    EXPECT_EQ(attacks.FindFirstOpen(), nullptr);
}

namespace {
// A campaign record of the given version with two shown events, one pending.
std::vector<BYTE> CampaignRecord(int version) {
    std::vector<BYTE> v;
    PutD(v, version);
    for (int x : {1550, 20, 2, 3, 16, 0x800000, 1}) PutD(v, x);
    v.push_back(1);  // attack this year
    v.push_back(1);  // economy
    v.push_back(0);  // year done
    if (version >= 6) v.push_back(1);  // stage jump
    for (int x : {1553, 100000, 1570}) PutD(v, x);
    if (version == 7) PutD(v, 2);
    PutD(v, 2); PutD(v, 27); PutD(v, 28);
    PutD(v, 1); PutD(v, 40);
    PutW(v, 0);  // no battles fought
    return v;
}
}  // namespace

TEST(Campaign, StoresSixtyBytesAndTheHistory) {
    CCampaign c;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { c.Serialize(ar); });
    EXPECT_EQ(bytes.size(), 60u + 2u);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { CCampaign d; LoadBytes(bytes, [&](CArchive& in) { d.Serialize(in); }); d.Serialize(ar); }), bytes);
}

TEST(Campaign, ReadsVersionsFiveToSeven) {
    for (int version : {5, 6, 7}) {
        AfxClearShownMessages();
        CCampaign c;
        c.m_nLevel = 1;
        c.m_bStageJump = 0;
        bool ok = false;
        LoadBytes(CampaignRecord(version), [&](CArchive& ar) { ok = c.Serialize(ar); });
        EXPECT_TRUE(ok);
        EXPECT_EQ(c.m_nYear, 1550);
        EXPECT_EQ(c.m_nStage, 3);
        EXPECT_EQ(c.m_nEvent5Year, 1553);
        EXPECT_EQ(c.m_nLevel, version == 7 ? 2 : 1);
        EXPECT_EQ(c.m_bStageJump, version == 5 ? 0 : 1);
        EXPECT_EQ(c.m_lstShownEvents.GetCount(), 2);
        EXPECT_EQ(c.m_lstShownEvents.GetTail(), 28u);
        EXPECT_EQ(c.m_lstPendingEvents.GetHead(), 40u);
        std::vector<std::string> shown = AfxGetShownMessages();
        EXPECT_EQ(shown.size(), version == 5 ? 1u : 0u);
        if (version == 5) {
            EXPECT_EQ(shown[0], "Old format (5) saved game.  Converting.");
        }
    }
    CCampaign c;
    bool ok = true;
    LoadBytes(CampaignRecord(8), [&](CArchive& ar) { ok = c.Serialize(ar); });
    EXPECT_FALSE(ok);

    // A damaged count is told as what it is, not as a version.
    std::vector<BYTE> negative = CampaignRecord(7);
    const size_t shownCount = 52;
    for (size_t i = 0; i < 4; ++i) negative[shownCount + i] = 0xFF;
    try {
        LoadBytes(negative, [](CArchive& ar) { CCampaign x; x.Serialize(ar); });
        ADD_FAILURE();
    } catch (const CException& e) {
        EXPECT_STREQ(e.GetErrorText(), "ERROR: The campaign record holds a negative count of story events.");
    }
}

TEST(Campaign, TheCurrentFormatFieldByField) {
    // Every field lands where the hand-built record puts it, and storing
    // writes the same bytes: a field written in the wrong place on both
    // sides would pass a round trip but not this.
    const std::vector<BYTE> bytes = CampaignRecord(7);
    CCampaign c;
    bool ok = false;
    LoadBytes(bytes, [&](CArchive& ar) { ok = c.Serialize(ar); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(c.m_nBattle, 20);
    EXPECT_EQ(c.m_nBattleStage, 2);
    EXPECT_EQ(c.m_nStage, 3);
    EXPECT_EQ(c.m_nStoryFlags, 16);
    EXPECT_EQ(c.m_nClanFlags, 0x800000);
    EXPECT_EQ(c.m_nFallenMask, 1);
    EXPECT_EQ(c.m_bAttackThisYear, 1);
    EXPECT_EQ(c.m_bEconomyFlag, 1);
    EXPECT_EQ(c.m_bYearDone, 0);
    EXPECT_EQ(c.m_nEvent9Year, 100000);
    EXPECT_EQ(c.m_nEndYear, 1570);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { c.Serialize(ar); }), bytes);
}

TEST(Campaign, ResetKeepsTheCatalogueAndTheLevel) {
    CCampaign c;
    c.BuildCatalogue(nullptr);
    c.BuildCatalogue(nullptr);
    ASSERT_EQ(c.m_lstCatalogue.GetCount(), 108);
    EXPECT_EQ(c.m_lstCatalogue.GetMaxNumber(), 54);
    c.m_nLevel = 1;
    c.m_nYear = 1560;
    c.m_lstHistory.AddTail(new CBattle);
    c.m_lstPendingEvents.AddTail(3);
    c.Reset();
    EXPECT_EQ(c.m_nYear, 1542);
    EXPECT_EQ(c.m_nLevel, 1);
    EXPECT_EQ(c.m_lstCatalogue.GetCount(), 108);
    EXPECT_TRUE(c.m_lstHistory.IsEmpty());
    EXPECT_TRUE(c.m_lstPendingEvents.IsEmpty());
}

TEST(Campaign, ClanMissingFromTheWorldHoldsNoCastle) {
    CNationList nations;
    CNation* velmor = new CNation;
    velmor->id = 1;
    velmor->name = "Velmor";
    nations.AddTail(velmor);
    CCastleList castles;
    for (int owner : {-1, 1}) {
        CCastle* c = new CCastle;
        c->owner = owner;  // -1: a damaged or foreign world file
        castles.AddTail(c);
    }
    CCampaign c;
    c.LinkNations(&castles, &nations, nullptr);
    EXPECT_TRUE(c.IsFlagSet(1));
    for (int k = 2; k <= 12; ++k) EXPECT_FALSE(c.IsFlagSet(k)) << k;
}

TEST(StoryRecords, OnlyVersionOneLoads) {
    CStoryEvent e;
    e.id = 5;
    e.text2 = "two";
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { e.Serialize(ar); });
    CScene s;
    LoadBytes(bytes, [&](CArchive& ar) { s.Serialize(ar); });  // one layout for both
    EXPECT_EQ(s.id, 5);
    EXPECT_EQ(s.text2, "two");
    bytes[0] = 2;
    ExpectLoadFailure(bytes, [](CArchive& ar) { CStoryEvent x; x.Serialize(ar); });
}

TEST(EventMedia, Table) {
    struct Case {
        int event;
        const char* stem;
        bool choice;
    } cases[] = {
        {1, "events\\attack_echigo", true},
        {29, "", false},
        {0, "", false},
        {70, "", false},
        {48, "events\\stage_timeout_n_shinano_late", false},
        {51, "events\\stage_timeout_n_shinano_late", false},
        {47, "events\\stage_end_warning_kyoto", false},
        {66, "events\\clan_elimination_warrior_monks", false},
        {69, "events\\clan_arrival_sabe", false},
        {30, "events\\the_rebel_of_velmor", true},
        {34, "events\\death_of_kagemura_tokinari", false},
    };
    for (const Case& c : cases) {
        CEventMedia m(c.event);
        EXPECT_EQ(std::string(m.GetFileStem()), c.stem) << c.event;
        EXPECT_EQ(m.GetFlag(), c.choice) << c.event;
        EXPECT_EQ(m.GetID(), c.event);
    }
    // An entry reused for event 37 does not keep another event's question.
    CEventMedia m(1);
    m.SetEvent(37);
    EXPECT_FALSE(m.GetFlag());
    EXPECT_EQ(m.GetFileStem().Left(16), "events\\death_of_");
}
