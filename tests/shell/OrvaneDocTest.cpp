// The document on the generated world: the world file, saved games, the
// profile, failures that must leave everything as it was, and the upkeep
// passes of the campaign.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/WorldNames.h"
#include "core/NameTables.h"
#include "shell/OrvaneDoc.h"
#include "core/Random.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

std::vector<BYTE> ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& p, const std::vector<BYTE>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), std::streamsize(bytes.size()));
}

// A game folder of its own holding the kit's world file, and user folders
// of its own for the player's files, so that tests never write into the
// shared kit or each other's files.
class WorldFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_kitWorld = KitFile("Data\\Default.STE");
        ASSERT_TRUE(fs::exists(m_kitWorld));
        m_root = m_folder.Path() / "Game";
        fs::create_directories(m_root / "Data");
        fs::copy_file(m_kitWorld, m_root / "Data" / "Default.STE");
        AfxClearShownMessages();
        m_doc = std::make_unique<COrvaneDoc>(m_root.c_str());
    }
    void TearDown() override { m_doc.reset(); }

    std::vector<BYTE> WorldBytes() {
        return StoreBytes([&](CArchive& ar) {
            SerializeWorldLists(ar, m_doc->m_states, m_doc->m_nations, m_doc->m_persons, m_doc->m_castles,
                                m_doc->m_paths);
        });
    }
    std::vector<BYTE> CampaignBytes() {
        return StoreBytes([&](CArchive& ar) { m_doc->m_campaign.Serialize(ar); });
    }
    bool AnyMessageHas(const char* part) {
        for (const std::string& m : AfxGetShownMessages())
            if (m.find(part) != std::string::npos) return true;
        return false;
    }

    CScratchUserFolders m_user;
    CScratchFolder m_folder{"velmor-doc"};
    fs::path m_kitWorld, m_root;
    std::unique_ptr<COrvaneDoc> m_doc;
};

}  // namespace

TEST(OrvaneDocFolders, SettingsAndFolders) {
    COrvaneDoc doc("C:\\Game");
    EXPECT_EQ(doc.GetSavedDataPath(), "C:\\Game\\Data\\Saved Data\\");
    EXPECT_EQ(doc.GetTerrainPicturesPath(), "C:\\Game\\Pictures\\Terrain\\");
    EXPECT_EQ(doc.GetCachePath(), "C:\\Game\\cache\\");
    EXPECT_EQ(doc.GetSpeedLevel(), 6);
    EXPECT_EQ(doc.GetScrollLevel(), 6);
    doc.SetSpeedLevel(12);
    EXPECT_EQ(doc.GetSpeedValue(), 0);
    doc.SetSpeedLevel(-3);
    EXPECT_EQ(doc.GetSpeedValue(), 360);
    doc.SetScrollLevel(10);
    EXPECT_EQ(doc.GetScrollValue(), -20);
    EXPECT_EQ(doc.GetScrollLevel(), 10);
    doc.SetSoundLevel(0);
    EXPECT_EQ(doc.GetSoundVolume(), 8200);
    doc.SetMusicLevel(9);
    EXPECT_EQ(doc.GetMusicVolume(), 10000);
    doc.SetMusicLevel(40);  // out of range: the table's end, never past it
    EXPECT_EQ(doc.GetMusicVolume(), 10000);
    EXPECT_EQ(doc.GetGarrisonSize(12), 100);
    EXPECT_EQ(doc.GetGarrisonSize(9), 75);
}

TEST_F(WorldFolder, KitWorldLoadsAndStoresTheSameBytes) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    EXPECT_TRUE(AfxGetShownMessages().empty());
    EXPECT_EQ(WorldBytes(), ReadFile(m_kitWorld));
    EXPECT_EQ(m_doc->m_castles.GetCount(), 21);
    EXPECT_EQ(m_doc->m_nations.GetCount(), 13);
    EXPECT_EQ(m_doc->m_campaign.m_lstCatalogue.GetCount(), 54);
    ASSERT_TRUE(m_doc->OnOpenDocument("ignored"));
    EXPECT_EQ(m_doc->m_campaign.m_lstCatalogue.GetCount(), 54);

    // Clans 1..13 by name; Wenmarch and Sabe hold no castle yet; no event
    // is raised by loading.
    const CCampaign& c = m_doc->m_campaign;
    for (int k = 1; k <= 13; ++k) EXPECT_EQ(c.m_aNationSlot[k], k) << kClanNames[k];
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(bool(c.IsFlagSet(k)), k != 6 && k != 7) << kClanNames[k];
    EXPECT_TRUE(c.m_lstPendingEvents.IsEmpty());

    // Every person the story and the succession rules name is there, alive.
    for (int k = 1; k <= 12; ++k) {
        CPerson* leader = m_doc->GetNationLeader(k);
        ASSERT_NE(leader, nullptr) << kClanNames[k];
        EXPECT_EQ(leader->GetFullName(), kLeaderNames[k]);
        EXPECT_EQ(leader->title, "Marshal");
    }
    for (const char* name : {kPlayerHeirName, kKarsinHeirName, kConsortName, kSpecialGeneralNames[0],
                             kSpecialGeneralNames[1]}) {
        CPerson* p = m_doc->m_persons.FindByName(name);
        ASSERT_NE(p, nullptr) << name;
        EXPECT_TRUE(p->alive);
    }
    EXPECT_TRUE(m_doc->m_persons.FindByName(kSpecialGeneralNames[0])->IsSpecialGeneral());
    // Every successor a fallen leader may have serves that leader's clan.
    for (int k = 1; k <= 7; ++k) {
        for (const char* name : kSuccessorNames[k]) {
            if (name == nullptr) break;
            CPerson* p = m_doc->m_persons.FindByName(name);
            ASSERT_NE(p, nullptr) << name;
            EXPECT_EQ(p->clan, k) << name;
            EXPECT_TRUE(p->CanActAgain(1542)) << name;
        }
    }
    // Each fit veteran passes the check of his own arm, so the leader
    // state pass leaves the arms as they are.
    for (POSITION pos = m_doc->m_persons.GetHeadPosition(); pos;) {
        CPerson* p = m_doc->m_persons.GetPerson(pos);
        EXPECT_TRUE(p->alive);
        EXPECT_TRUE(p->CanActAgain(1542));
        if (p->IsVeteran()) {
            EXPECT_TRUE(p->PassesCheck(p->state, 0.7, 1)) << p->GetFullName();
        }
    }
}

TEST_F(WorldFolder, SavedGameHoldsHeaderWorldAndCampaign) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    m_doc->m_campaign.m_nYear = 1551;
    m_doc->m_campaign.m_nBattleStage = 4;
    m_doc->m_campaign.m_lstShownEvents.AddTail(27);
    CBattle* fought = new CBattle;
    fought->battleId = 24;
    fought->stage = 4;
    m_doc->m_campaign.m_lstHistory.AddTail(fought);
    std::vector<BYTE> world = WorldBytes();
    std::vector<BYTE> campaign = CampaignBytes();

    CSaveGameInfo header(1551, 4, 123456);
    ASSERT_EQ(m_doc->SerializeGameSlot(3, true, header), 1);
    std::vector<BYTE> file = ReadFile(m_user.SavedData() / "Saved Game 3.sav");
    ASSERT_GT(file.size(), 12 + world.size());
    EXPECT_EQ(file[0] + (file[1] << 8), 1551);
    EXPECT_EQ(std::vector<BYTE>(file.begin() + 12, file.begin() + 12 + world.size()), world);
    EXPECT_EQ(std::vector<BYTE>(file.begin() + 12 + world.size(), file.end()), campaign);

    m_doc->m_campaign.m_nYear = 1560;
    CSaveGameInfo read;
    ASSERT_EQ(m_doc->SerializeGameSlot(3, false, read), 1);
    EXPECT_EQ(read.year, 1551);
    EXPECT_EQ(read.saveTime, 123456);
    EXPECT_EQ(WorldBytes(), world);
    EXPECT_EQ(CampaignBytes(), campaign);
    EXPECT_EQ(m_doc->m_campaign.m_lstCatalogue.GetCount(), 54);  // kept across the load

    // The autosave is slot 0 with the year and the current battle's stage.
    ASSERT_EQ(m_doc->AutoSave(), 1);
    std::vector<BYTE> autosave = ReadFile(m_user.SavedData() / "Autosave.sav");
    EXPECT_EQ(autosave[4], 4);
    EXPECT_TRUE(m_doc->LoadGame((m_user.SavedData() / "Autosave.sav").c_str()));
    EXPECT_TRUE(m_doc->SerializeGameFile("Single Campaign.ssv", true));
    EXPECT_TRUE(m_doc->SerializeGameFile("Single Campaign.ssv", false));
    EXPECT_EQ(WorldBytes(), world);
}

TEST_F(WorldFolder, DamagedFilesChangeNothing) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    std::vector<BYTE> world = WorldBytes();
    std::vector<BYTE> good = ReadFile(m_kitWorld);
    fs::path bad = m_root / "Data" / "Bad.STE";
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"cut short", std::vector<BYTE>(good.begin(), good.begin() + good.size() * 2 / 3)},
        {"empty", {}},
        {"castle of an unknown version", good},
    };
    // The first castle's version follows its class name.
    std::vector<BYTE>& v = cases[2].bytes;
    const std::string castleName = "CCastle";
    auto castleClass = std::search(v.begin(), v.end(), castleName.begin(), castleName.end());
    ASSERT_NE(castleClass, v.end());
    castleClass[7] = 9;
    for (const Case& c : cases) {
        AfxClearShownMessages();
        WriteFile(bad, c.bytes);
        EXPECT_FALSE(m_doc->SerializeWorldFile(bad.c_str(), false)) << c.what;
        EXPECT_TRUE(AnyMessageHas("ERROR: ")) << c.what;
        EXPECT_TRUE(AnyMessageHas("cannot be loaded!")) << c.what;
        EXPECT_EQ(WorldBytes(), world) << c.what;
        EXPECT_EQ(ReadFile(bad), c.bytes) << c.what;
    }
    EXPECT_TRUE(AnyMessageHas("ERROR: Unknown version of castle file."));

    AfxClearShownMessages();
    EXPECT_FALSE(m_doc->SerializeWorldFile((m_root / "Data" / "Missing.STE").c_str(), false));
    EXPECT_TRUE(AnyMessageHas("Missing.STE cannot be loaded!"));
    EXPECT_EQ(WorldBytes(), world);

    // A saved game of an unknown campaign version leaves the campaign too.
    CSaveGameInfo header(1542, 0, 0);
    ASSERT_EQ(m_doc->SerializeGameSlot(1, true, header), 1);
    fs::path slot = m_user.SavedData() / "Saved Game 1.sav";
    std::vector<BYTE> saved = ReadFile(slot);
    saved[12 + world.size()] = 99;
    WriteFile(slot, saved);
    m_doc->m_campaign.m_nYear = 1555;
    CSaveGameInfo read;
    EXPECT_EQ(m_doc->SerializeGameSlot(1, false, read), 0);
    EXPECT_EQ(m_doc->m_campaign.m_nYear, 1555);
    EXPECT_EQ(WorldBytes(), world);
}

TEST_F(WorldFolder, MissingWorldEndsStartUp) {
    fs::remove(m_root / "Data" / "Default.STE");
    EXPECT_FALSE(m_doc->OnNewDocument());
    EXPECT_TRUE(AnyMessageHas("Default.STE cannot be loaded!"));
}

TEST_F(WorldFolder, ProfileIsCreatedAndNeverLost) {
    fs::path profile = m_user.SavedData() / "Profile.VLM";
    ASSERT_TRUE(m_doc->SerializeProfile(0));
    ASSERT_TRUE(fs::exists(profile));
    EXPECT_EQ(m_doc->GetPlayerName(), "");
    EXPECT_EQ(m_doc->GetRoster().CurrentPlayer, -1);
    EXPECT_EQ(m_doc->GetRoster().SpeedValue, 125);

    m_doc->GetRoster().Players[4].Name = "Hana";
    m_doc->GetRoster().CurrentPlayer = 4;
    m_doc->StoreProfile();
    COrvaneDoc other(m_root.c_str());
    ASSERT_TRUE(other.SerializeProfile(0));
    EXPECT_EQ(other.GetPlayerName(), "Hana");
    EXPECT_EQ(other.GetCurrentPlayer()->Name, "Hana");

    // A profile gone while the game runs is written again from the roster
    // in memory: loading it loses no player.
    fs::remove(profile);
    ASSERT_TRUE(other.SerializeProfile(0));
    EXPECT_EQ(other.GetRoster().Players[4].Name, "Hana");
    EXPECT_EQ(other.GetPlayerName(), "Hana");
    COrvaneDoc third(m_root.c_str());
    ASSERT_TRUE(third.SerializeProfile(0));
    EXPECT_EQ(third.GetPlayerName(), "Hana");

    // A damaged profile is reported; roster and file stay as they were,
    // and start-up does not store over it.
    std::vector<BYTE> bytes = ReadFile(profile);
    std::vector<BYTE> damaged(bytes.begin(), bytes.begin() + 40);
    WriteFile(profile, damaged);
    AfxClearShownMessages();
    EXPECT_TRUE(other.OnNewDocument());
    EXPECT_TRUE(AnyMessageHas("ERROR: "));
    EXPECT_EQ(other.GetRoster().Players[4].Name, "Hana");
    EXPECT_EQ(ReadFile(profile), damaged);
}

TEST_F(WorldFolder, AProfileReadButNotWritableSaysSo) {
    ASSERT_TRUE(m_doc->SerializeProfile(0));
    const std::vector<BYTE> profile = ReadFile(m_user.SavedData() / "Profile.VLM");
    // No file may grow: every write fails, even for root.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit none = old;
    none.rlim_cur = 0;
    auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    AfxClearShownMessages();
    bool started = m_doc->OnNewDocument();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(started);
    std::vector<std::string> shown = AfxGetShownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("ERROR: The player profile ", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find("was read but cannot be written"), std::string::npos) << shown[0];
    EXPECT_EQ(ReadFile(m_user.SavedData() / "Profile.VLM"), profile);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_user.SavedData()), fs::directory_iterator()), 1);
}

TEST_F(WorldFolder, PlayerSlotFiles) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    // Without a chosen player no slot file is made: its name would be
    // another player's.
    EXPECT_FALSE(m_doc->SerializePlayerSlot(1, true));
    EXPECT_FALSE(fs::exists(m_user.SavedData() / "D0A1.sav"));
    m_doc->GetRoster().Players[2].Name = "Ryo";
    m_doc->GetRoster().CurrentPlayer = 2;
    EXPECT_TRUE(m_doc->SerializePlayerSlot(4, true));
    CString name = m_doc->GetCurrentPlayerSlot(4)->FileName;
    EXPECT_EQ(name.Right(8), "D2A4.sav");
    EXPECT_TRUE(m_doc->SerializePlayerSlot(4, false));
    EXPECT_FALSE(m_doc->GetSlotTitle(4));
    fs::remove(AfxResolvePath(name));
    EXPECT_TRUE(m_doc->GetSlotTitle(4));
    EXPECT_TRUE(m_doc->GetCurrentPlayerSlot(4)->FileName.IsEmpty());
    EXPECT_FALSE(m_doc->DeleteSlotFile(4));

    // A store that fails because a folder stands in the army file's way
    // leaves the slot free; a load that fails keeps both the slot and its
    // file.
    CGameInfoRecord* first = m_doc->GetCurrentPlayerSlot(0);
    first->Title = "Army 1";
    fs::create_directories(m_user.SavedData() / "D2A0.sav" / "inside");
    AfxClearShownMessages();
    EXPECT_FALSE(m_doc->SerializePlayerSlot(0, true));
    EXPECT_TRUE(AnyMessageHas("D2A0.sav cannot be created!"));
    EXPECT_TRUE(first->FileName.IsEmpty());
    EXPECT_TRUE(first->Title.IsEmpty());
    EXPECT_TRUE(fs::is_directory(m_user.SavedData() / "D2A0.sav" / "inside"));
    EXPECT_TRUE(m_doc->SerializePlayerSlot(1, true));
    CString kept = m_doc->GetCurrentPlayerSlot(1)->FileName;
    WriteFile(m_user.SavedData() / "D2A1.sav", {1, 2, 3});
    EXPECT_FALSE(m_doc->SerializePlayerSlot(1, false));
    EXPECT_EQ(m_doc->GetCurrentPlayerSlot(1)->FileName, kept);
    EXPECT_EQ(ReadFile(m_user.SavedData() / "D2A1.sav"), (std::vector<BYTE>{1, 2, 3}));
}

TEST_F(WorldFolder, ProfileAndArmiesSurviveTheGameFolderMovingAndTheirFolderGoing) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    m_doc->GetRoster().Players[1].Name = "Aki";
    m_doc->GetRoster().CurrentPlayer = 1;
    ASSERT_TRUE(m_doc->SerializePlayerSlot(3, true));
    std::vector<BYTE> army = ReadFile(m_user.SavedData() / "D1A3.sav");
    ASSERT_FALSE(army.empty());
    EXPECT_FALSE(fs::exists(m_root / "Data" / "Saved Data"));  // nothing in the game folder

    // The game folder moves: the profile still names the old one.
    const fs::path moved = m_folder.Path() / "Moved Game";
    m_doc.reset();
    fs::rename(m_root, moved);
    COrvaneDoc doc(moved.c_str());
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetPlayerName(), "Aki");
    CGameInfoRecord* slot = doc.GetCurrentPlayerSlot(3);
    EXPECT_NE(std::string(slot->FileName.GetString()).find(m_root.string()), std::string::npos);
    EXPECT_FALSE(doc.GetSlotTitle(3));
    EXPECT_TRUE(doc.SerializePlayerSlot(3, false));
    EXPECT_TRUE(doc.SerializePlayerSlot(3, true));
    EXPECT_EQ(ReadFile(m_user.SavedData() / "D1A3.sav"), army);

    // The whole Saved Data folder is deleted while the game runs: the next
    // store makes it again.
    fs::remove_all(m_user.SavedData());
    EXPECT_TRUE(doc.SerializePlayerSlot(3, true));
    EXPECT_EQ(ReadFile(m_user.SavedData() / "D1A3.sav"), army);
    EXPECT_TRUE(fs::exists(m_user.SavedData() / "Profile.VLM"));
    EXPECT_TRUE(doc.DeleteSlotFile(3));
    EXPECT_FALSE(fs::exists(m_user.SavedData() / "D1A3.sav"));
}

TEST_F(WorldFolder, ASlotNameNeverReachesOutsideTheSavedDataFolder) {
    // A profile is read from disk: whatever folder a slot names, only a
    // file of the Saved Data folder is written, read or deleted.
    ASSERT_TRUE(m_doc->OnNewDocument());
    m_doc->GetRoster().Players[2].Name = "Ryo";
    m_doc->GetRoster().CurrentPlayer = 2;
    const fs::path victim = m_root / "Keep.txt";
    WriteFile(victim, {7});
    const std::string savedData = m_doc->GetSavedDataPath().GetString();
    struct Case {
        std::string name;
        bool usable;  // false: refused, the slot is freed
    } cases[] = {
        {victim.string(), true},
        {savedData + "../../Keep.txt", true},
        {savedData + "..\\..\\Keep.txt", true},
        {savedData + "..", false},
        {savedData, false},
        {"", true},  // a free slot gets its own name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGameInfoRecord* rec = m_doc->GetCurrentPlayerSlot(2);
        rec->FileName = c.name.c_str();
        AfxClearShownMessages();
        EXPECT_FALSE(m_doc->DeleteSlotFile(2));
        EXPECT_EQ(m_doc->SerializePlayerSlot(2, true), c.usable);
        EXPECT_EQ(rec->FileName.IsEmpty(), !c.usable);
        if (c.usable) {
            EXPECT_TRUE(m_doc->SerializePlayerSlot(2, false));
            EXPECT_TRUE(m_doc->DeleteSlotFile(2));
        } else {
            EXPECT_TRUE(AnyMessageHas("ERROR: "));
        }
        EXPECT_EQ(ReadFile(victim), (std::vector<BYTE>{7}));
    }
    for (const fs::directory_entry& e : fs::directory_iterator(m_user.SavedData()))
        EXPECT_EQ(e.path().filename(), "Profile.VLM");
}

TEST_F(WorldFolder, UpkeepOnTheKitWorld) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    CPersonList& persons = m_doc->m_persons;

    // Captains by troops: 10 none, 14 one, 20 two, 30 three.
    CPerson* v = m_doc->m_persons.FindByName(kPlayerHeirName);
    ASSERT_NE(v, nullptr);
    for (int troops : {10, 14, 20, 30}) {
        int before = m_doc->m_persons.CountSubordinates(v, 1542);
        v->units = troops;
        GameSrand(5);
        RandCallCount = 0;
        int count = persons.GetCount();
        m_doc->MakeCaptains(v, true);
        int wanted = troops <= 10 ? 0 : troops < 15 ? 1 : troops < 24 ? 2 : 3;
        int made = std::max(wanted - before, 0);
        EXPECT_EQ(persons.GetCount(), count + made) << troops;
        if (made == 0) EXPECT_EQ(RandCallCount, 0);
        else EXPECT_GT(RandCallCount, 2 * made);
    }
    // Counted draws decide everything: the same seed gives the same world.
    auto run = [&](COrvaneDoc& doc) {
        doc.m_campaign.m_nYear = 1560;
        GameSrand(1234);
        RandCallCount = 0;
        doc.AssignCaptains(-1, false);
        for (int clan = 1; clan <= 13; ++clan) doc.AssignGenerals(clan, 0.6);
        return RandCallCount;
    };
    COrvaneDoc twin(m_root.c_str());
    ASSERT_TRUE(twin.SerializeWorldFile((m_root / "Data" / "Default.STE").c_str(), false));
    ASSERT_TRUE(m_doc->SerializeWorldFile((m_root / "Data" / "Default.STE").c_str(), false));
    int draws = run(*m_doc);
    EXPECT_GT(draws, 0);
    EXPECT_EQ(run(twin), draws);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { m_doc->m_persons.Serialize(ar); }),
              StoreBytes([&](CArchive& ar) { twin.m_persons.Serialize(ar); }));

    // New generals' ids are unique across every clan.
    std::set<int> ids;
    for (POSITION pos = persons.GetHeadPosition(); pos;) EXPECT_TRUE(ids.insert(persons.GetPerson(pos)->id).second);
    EXPECT_GT(persons.GetCount(), 0);
    // No general holds more than 40 of any troop after the distribution.
    for (POSITION pos = persons.GetHeadPosition(); pos;) {
        CPerson* p = persons.GetPerson(pos);
        if (p->merit >= 201) {
            EXPECT_LE(p->units, 40) << p->GetFullName();
        }
    }

    // A fallen leader is followed by the first named successor.
    CPerson* leader = m_doc->GetNationLeader(1);
    leader->active = 0;
    m_doc->ReplaceDeadLeaders();
    CPerson* heir = m_doc->GetNationLeader(1);
    EXPECT_EQ(heir->GetFullName(), kPlayerHeirName);
    EXPECT_EQ(heir->title, "Marshal");
    EXPECT_EQ(heir->merit, 2000);

    m_doc->ReinforceCastles(0);
    m_doc->ReinforceCastles(9);
    CCastle* home = m_doc->m_castles.FindLinked(1);
    int units = home->economy.units;
    m_doc->ReinforceCastles(1);
    EXPECT_EQ(home->economy.units, units + (m_doc->GetNationStrength(1) < 5000 ? 100 : 0));

    m_doc->RelinkWorld();
    EXPECT_EQ(m_doc->GetCurrentYear(), 1600);
    EXPECT_EQ(home->economy.units, 200);
    EXPECT_DOUBLE_EQ(home->economy.unitRate, 1.0);
}

TEST_F(WorldFolder, CastleHandOversRaiseClanEvents) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    CCampaign& c = m_doc->m_campaign;
    // The catalogue names Velmor against each opponent by clan id.
    CBattle* first = static_cast<CBattle*>(c.m_lstCatalogue.GetHead());
    EXPECT_EQ(first->sideClan[0], 1);
    EXPECT_EQ(first->sideClan[1], 8);
    EXPECT_EQ(first->extraB, 0);

    auto takeLask = [&] {
        for (const char* name : {"Brenmoor", "Fukazawajo"}) m_doc->m_castles.FindByName(name)->owner = 1;
    };
    // In the first year a clan may fall without a word.
    takeLask();
    EXPECT_TRUE(c.UpdateClanPresence());
    EXPECT_TRUE(c.m_lstPendingEvents.IsEmpty());
    EXPECT_FALSE(c.IsFlagSet(4));

    // Later, Lask's fall and Sabe's arrival are told.
    ASSERT_TRUE(m_doc->SerializeWorldFile((m_root / "Data" / "Default.STE").c_str(), false));
    c.m_nYear = 1560;
    takeLask();
    m_doc->m_castles.FindByName("Osaka")->owner = 7;
    EXPECT_TRUE(c.UpdateClanPresence());
    std::vector<DWORD> pending;
    for (POSITION pos = c.m_lstPendingEvents.GetHeadPosition(); pos;) pending.push_back(c.m_lstPendingEvents.GetNext(pos));
    EXPECT_EQ(pending, (std::vector<DWORD>{69, 57}));  // arrivals first, then falls
    EXPECT_FALSE(c.UpdateClanPresence());
}

// A new captain or general takes his counted draws in a fixed order: the
// captain's name, the given name, then (unless forced) the factor, its rare
// upgrade to 1.5 and the group roll, and only then the inherited abilities.
TEST(OrvaneDocUpkeep, NewGeneralsDrawInTheirOrder) {
    struct Case {
        const char* what;
        bool captain, force;
    } cases[] = {{"captain", true, false}, {"forced captain", true, true}, {"new general", false, false}};
    for (const Case& c : cases) {
        COrvaneDoc doc("C:\\Game");
        CNation* clan = new CNation;
        clan->id = 3;
        clan->SetLeaderId(1);
        doc.m_nations.AddTail(clan);
        CPerson* leader = new CPerson;
        leader->id = 1;
        leader->clan = 3;
        leader->merit = 2000;
        leader->units = 11;  // calls for one captain
        doc.m_persons.AddTail(leader);

        GameSrand(2024);
        int d[6] = {0};
        for (int i = 1; i <= 5; ++i) d[i] = GameRand();
        GameSrand(2024);
        RandCallCount = 0;
        CPerson* made = nullptr;
        if (c.captain) {
            doc.MakeCaptains(leader, c.force);
            made = static_cast<CPerson*>(doc.m_persons.GetTail());
        } else {
            made = doc.NameNewGenerals(3, 500, 0.6, true, false);
        }
        ASSERT_EQ(doc.m_persons.GetCount(), 2) << c.what;
        EXPECT_EQ(made->familyName, kCaptainNames[d[1] % kCaptainNameCount] + 4) << c.what;
        EXPECT_EQ(made->givenName, kGivenNames[d[2] % kGivenNameCount]) << c.what;

        double factor = 0.75;
        int prefix = 2;
        int32_t mask = 0;
        if (!c.force) {
            factor = c.captain ? (d[3] % 31 + 55) * 0.01 : 0.6 + (d[3] % 26 - 20) * 0.01;
            if (d[4] % 100 + 1 > 97) factor = 1.5;
            int r = d[5] % 100 + 1;
            mask = r < 5 ? 16 : r < 10 ? 8 : r >= 50 ? 0 : 1;
            prefix = 5;
        }
        EXPECT_EQ(made->groupMask, mask) << c.what;
        // The abilities come from the draws that follow, with that factor.
        CPerson twin;
        GameSrand(2024);
        for (int i = 0; i < prefix; ++i) GameRand();
        int before = RandCallCount;
        RandCallCount = 0;
        twin.GainExperience(*leader, factor);
        EXPECT_EQ(before, prefix + RandCallCount) << c.what;
        EXPECT_TRUE(made->workTableB == twin.workTableB) << c.what;
        EXPECT_TRUE(made->workTableA == twin.workTableA) << c.what;
        EXPECT_EQ(made->state, 3);
        EXPECT_EQ(made->commanderId, 1);
        EXPECT_EQ(leader->subordinates.GetCount(), 1);
    }
}

TEST(OrvaneDocNames, TablesHoldWellFormedNames) {
    std::set<std::string> given;
    for (const char* n : kGivenNames) {
        size_t len = strlen(n);
        EXPECT_TRUE(len >= 6 && len <= 9) << n;
        given.insert(n);
    }
    EXPECT_EQ(given.size(), size_t(kGivenNameCount - 1));  // one name stands twice
    for (const char* n : kCaptainNames) {
        std::string s = n;
        ASSERT_EQ(s.rfind("Cap ", 0), 0u) << s;
        std::string family = s.substr(4);
        EXPECT_TRUE(family.size() >= 2 && family.size() <= 10) << s;
        EXPECT_TRUE(isupper((unsigned char)family[0]) && family[0] != 'C') << s;
    }
}

TEST_F(WorldFolder, DistributionPlacesEveryTroopOnce) {
    ASSERT_TRUE(m_doc->OnNewDocument());
    CPersonList generals;
    m_doc->m_persons.CollectCandidates(3, generals, 1560, 0, true);
    ASSERT_FALSE(generals.IsEmpty());
    auto sum = [&](int32_t CPerson::*field) {
        int total = 0;
        for (POSITION pos = generals.GetHeadPosition(); pos;) total += generals.GetPerson(pos)->*field;
        return total;
    };
    int units = sum(&CPerson::units), horses = sum(&CPerson::horses), rifles = sum(&CPerson::rifles);
    CCastleEconomy pools;
    pools.units = 5000;
    pools.horses = 70;
    pools.rifles = 12;
    m_doc->DistributeGenerals(generals, pools);
    EXPECT_EQ(sum(&CPerson::units) + pools.units, units + 5000);
    EXPECT_EQ(sum(&CPerson::horses) + pools.horses, horses + 70);
    EXPECT_EQ(sum(&CPerson::rifles) + pools.rifles, rifles + 12);
    // Everyone is full before anything is left over.
    EXPECT_GT(pools.units, 0);
    for (POSITION pos = generals.GetHeadPosition(); pos;) EXPECT_EQ(generals.GetPerson(pos)->units, 40);
    EXPECT_EQ(pools.rifles, 0);

    // Weak clans lose their castles' stocks; a refill adds shares back.
    for (POSITION pos = m_doc->m_persons.GetHeadPosition(); pos;) {
        CPerson* p = m_doc->m_persons.GetPerson(pos);
        if (p->clan == 4) p->units = p->horses = p->rifles = 0;
    }
    for (POSITION pos = m_doc->m_castles.GetHeadPosition(); pos;) {
        CCastle* c = m_doc->m_castles.GetCastle(pos);
        if (c->owner == 4) c->economy.units = c->economy.horses = c->economy.rifles = 0;
    }
    m_doc->RefillWeakNations();
    CCastle* brenmoor = m_doc->m_castles.FindLinked(4);
    EXPECT_EQ(brenmoor->economy.unitRate, 0.0);
    EXPECT_GT(m_doc->m_castles.FindLinked(1)->economy.unitRate, 0.0);
    // The weak clan's generals stop acting this year; the others go on.
    EXPECT_FALSE(m_doc->GetNationLeader(4)->active);
    EXPECT_EQ(m_doc->GetNationLeader(4)->lastAction, m_doc->GetCurrentYear());
    EXPECT_TRUE(m_doc->GetNationLeader(1)->active);
    m_doc->RefillWeakNations2(4, 3000);
    EXPECT_EQ(brenmoor->economy.units, 100);
    EXPECT_EQ(brenmoor->economy.horses, 30);
    EXPECT_EQ(brenmoor->economy.rifles, 6);
}
