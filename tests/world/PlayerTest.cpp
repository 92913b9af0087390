// Player records, ratings, identity texts and the profile's roster in every
// version a profile file may hold.
#include <gtest/gtest.h>

#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"
#include "world/PlayerRoster.h"

TEST(PlayerRecord, RatingChangesByTheTruncatedValue) {
    struct Case {
        int own, opponent;
        bool won;
        int rating;
    } cases[] = {
        {1000, 1000, true, 1020}, {1000, 1000, false, 980},  {1000, 1100, true, 1029},
        {1000, 1100, false, 990}, {1100, 1000, true, 1110},  {1100, 1000, false, 1071},
        {1000, 1400, true, 1039}, {1000, 1400, false, 1000}, {1000, 2000, true, 1039},
        {1000, 600, true, 1000},  {1000, 600, false, 961},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPlayerRecord::UpdateRating(c.own, c.opponent, c.won), c.rating)
            << c.own << " vs " << c.opponent << (c.won ? " won" : " lost");
}

TEST(PlayerRecord, IdentityTextBothWays) {
    CPlayerRecord ann;
    ann.Name = "Ann";
    ann.Clan = 3;
    ann.Rating = 1020;
    ann.Wins = 1;
    ann.BattlesBegun = 1;
    CString text;
    ann.GetIdentityString(text);
    EXPECT_EQ(text, "Ann|03|00001020|00000000|00001|00001|00000|00000|0x0108");

    CPlayerRecord back(text);
    EXPECT_EQ(back.Name, "Ann");
    EXPECT_EQ(back.Clan, 3);
    EXPECT_EQ(back.Rating, 1020);
    EXPECT_EQ(back.Wins, 1);

    CPlayerRecord partial("Bo||05");
    EXPECT_EQ(partial.Name, "Bo");
    EXPECT_EQ(partial.Clan, 5);
    EXPECT_EQ(partial.Rating, 1000);
    CPlayerRecord plain("Nobody");
    EXPECT_EQ(plain.Name, "Nobody");
    EXPECT_EQ(plain.Clan, -1);

    CPlayerRecord empty;
    empty.GetIdentityString(text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(PlayerRecord, ArchiveVersions) {
    CPlayerRecord p;
    p.Name = "Kiku";
    p.SpareCount = 4;
    p.BattlesBegun = 6;
    p.BattlesUnfinished = 2;
    p.Losses = 3;
    p.ArmySlots[2].Title = "Army 3";
    p.ArmySlots[2].PointsB = 77;
    p.ArmySlots[2].ValueE = 5;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { p.Serialize(ar); });
    CPlayerRecord back;
    back.Version = 1;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.Version, 3u);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), bytes);

    // A version-1 record: no spare count, no battle counters, layout-1 slots.
    std::vector<BYTE> v1;
    PutD(v1, 1);
    for (int x : {2, 7, 1100, 4}) PutD(v1, x);
    for (const char* s : {"Old", "", ""}) {
        v1.push_back(BYTE(strlen(s)));
        PutS(v1, s);
    }
    for (int i = 0; i < 4; ++i) PutD(v1, 0);
    for (int slot = 0; slot < 5; ++slot) {
        PutD(v1, 1);
        for (int i = 0; i < 4; ++i) PutD(v1, i);
        v1.push_back(0);
        v1.push_back(0);
        PutD(v1, 1000);
        PutD(v1, 2000);
    }
    CPlayerRecord old;
    old.SpareCount = 0;
    LoadBytes(v1, [&](CArchive& ar) { old.Serialize(ar); });
    EXPECT_EQ(old.Name, "Old");
    EXPECT_EQ(old.Rating, 1100);
    EXPECT_EQ(old.Clan, 4);
    EXPECT_EQ(old.BattlesBegun, 0);
    EXPECT_EQ(old.ArmySlots[4].Modified.GetTime(), 2000);

    // Version 0 is the number alone before the slots; layout 0 of a slot
    // is its number alone.
    std::vector<BYTE> v0;
    PutD(v0, 0);
    for (int slot = 0; slot < 5; ++slot) PutD(v0, 0);
    CPlayerRecord bare;
    bare.Name = "Kept";
    LoadBytes(v0, [&](CArchive& ar) { bare.Serialize(ar); });
    EXPECT_EQ(bare.Version, 0u);
    EXPECT_EQ(bare.Name, "Kept");
    EXPECT_EQ(bare.ArmySlots[4].Layout, 0u);

    bytes[0] = 4;
    ExpectLoadFailure(bytes, [](CArchive& ar) { CPlayerRecord x; x.Serialize(ar); });
}

TEST(PlayerRecord, CopyKeepsTheTargetsVersion) {
    CPlayerRecord a, b;
    a.Name = "A";
    a.Version = 3;
    a.ArmySlots[0].ValueE = 9;
    b.Version = 1;
    b = a;
    EXPECT_EQ(b.Name, "A");
    EXPECT_EQ(b.Version, 1u);
    EXPECT_EQ(b.ArmySlots[0].ValueE, 0);  // not copied
}

namespace {
// A profile of an old version with no player records filled in.
std::vector<BYTE> OldProfile(int version) {
    std::vector<BYTE> v;
    PutD(v, version);
    if (version >= 1) {
        PutD(v, 2);           // current player
        PutD(v, 946689000);   // last stored
    }
    if (version >= 2) {
        v.push_back(1); v.push_back(1); v.push_back(0);  // display options B, B, A
        PutD(v, 3); PutD(v, 4);  // music, sound
        if (version >= 5) PutD(v, 2);  // graphic choice
        PutD(v, 200);             // speed
        if (version >= 5) PutD(v, 100);  // scroll
    }
    if (version >= 3) { v.push_back(0); v.push_back(0); }  // sound, music
    if (version >= 6) PutD(v, 5);  // SettingA
    if (version >= 7) { PutD(v, 3); v.push_back(0); }  // tournament clan, restart
    if (version >= 4) { v.push_back(2); PutS(v, "hi"); }
    CPlayerRecord r;
    r.Name = version == 2 ? "" : "P";
    CPlayerRecord named;
    named.Name = "Third";
    for (int i = 0; i < 10; ++i) {
        std::vector<BYTE> b = StoreBytes([&](CArchive& ar) { (i == 2 ? named : r).Serialize(ar); });
        v.insert(v.end(), b.begin(), b.end());
    }
    return v;
}
}  // namespace

TEST(Roster, FreshProfileDefaults) {
    CPlayerRoster roster;
    AfxSetWallClock([] { return int64_t(1800000000); });
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { roster.Serialize(ar); });
    AfxSetWallClock(nullptr);
    EXPECT_EQ(bytes[0], 8);
    CPlayerRoster back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.CurrentPlayer, -1);
    EXPECT_EQ(back.SpeedValue, 125);
    EXPECT_EQ(back.ScrollValue, 75);
    EXPECT_EQ(back.MusicLevel, 9);
    EXPECT_EQ(back.SoundOn, 1);
    EXPECT_EQ(back.DisplayOptionA, 0);
    EXPECT_EQ(back.LastStored.GetTime(), 1800000000);
    CString id;
    back.GetCurrentIdentity(id);
    EXPECT_TRUE(id.IsEmpty());

    // A time stamp in the future is never moved back.
    AfxSetWallClock([] { return int64_t(1000000000); });
    StoreBytes([&](CArchive& ar) { back.Serialize(ar); });
    AfxSetWallClock(nullptr);
    EXPECT_EQ(back.LastStored.GetTime(), 1800000000);
}

TEST(Roster, ReadsEveryOldVersion) {
    // Version 0 holds only the players; version 1 adds the current player
    // and the time stamp; the settings begin with version 2.
    for (int version = 0; version <= 7; ++version) {
        CPlayerRoster r;
        LoadBytes(OldProfile(version), [&](CArchive& ar) { r.Serialize(ar); });
        EXPECT_EQ(r.Version, uint32_t(version));
        EXPECT_EQ(r.CurrentPlayer, version >= 1 ? 2 : -1) << version;
        EXPECT_EQ(r.LastStored.GetTime(), version >= 1 ? 946689000 : CPlayerRoster().LastStored.GetTime());
        EXPECT_EQ(r.MusicLevel, version >= 2 ? 3 : 9);
        EXPECT_EQ(r.SpeedValue, version >= 2 ? 200 : 125);
        EXPECT_EQ(r.SoundOn, version >= 3 ? 0 : 1) << version;
        EXPECT_EQ(r.GraphicChoice, version >= 5 ? 2 : 0);
        EXPECT_EQ(r.ScrollValue, version >= 5 ? 100 : 75);
        EXPECT_EQ(r.SettingA, version >= 6 ? 5 : 1);
        EXPECT_EQ(r.TournamentClan, version >= 7 ? 3 : 14);
        EXPECT_EQ(r.TournamentRestart, version >= 7 ? 0 : 1);
        EXPECT_EQ(r.TournamentOpponent, 14);
        EXPECT_EQ(r.SettingText, version >= 4 ? "hi" : "");
        EXPECT_EQ(r.Players[2].Name, "Third");
    }
}

TEST(Roster, BringsDamagedSettingsIntoRange) {
    CPlayerRoster r;
    r.Players[9].Name = "Last";
    r.CurrentPlayer = 42;
    r.MusicLevel = 300;
    r.SoundLevel = -4;
    r.GraphicChoice = 9;
    r.SpeedValue = -4000;  // would read back as level 109
    r.ScrollValue = 90000;
    r.TournamentClan = 99;
    r.Players[1].Clan = 40;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { r.Serialize(ar); });
    CPlayerRoster back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.CurrentPlayer, -1);
    EXPECT_EQ(back.GetCurrent(), nullptr);
    EXPECT_EQ(back.MusicLevel, 9);
    EXPECT_EQ(back.SoundLevel, 0);
    EXPECT_EQ(back.GraphicChoice, 0);
    EXPECT_EQ(back.SpeedValue, 0);
    EXPECT_EQ(back.ScrollValue, 180);
    EXPECT_EQ(back.TournamentClan, 14);
    EXPECT_EQ(back.Players[1].Clan, -1);

    // A current place that holds no player is no current player.
    r.CurrentPlayer = 3;
    bytes = StoreBytes([&](CArchive& ar) { r.Serialize(ar); });
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.CurrentPlayer, -1);

    bytes[0] = 9;
    ExpectLoadFailure(bytes, [](CArchive& ar) { CPlayerRoster x; x.Serialize(ar); });
    bytes[0] = 8;
    bytes.resize(bytes.size() / 2);
    ExpectLoadFailure(bytes, [](CArchive& ar) { CPlayerRoster x; x.Serialize(ar); });
}
