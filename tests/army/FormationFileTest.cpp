// Formation classes and the formation list file: construction, the checked
// accessors, the stored layouts by version, and the loader's behaviour on
// files it cannot read whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "army/FormationList.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/KitFormations.h"

namespace {

bool Shown(const char* text) {
    for (const std::string& m : AfxGetShownMessages())
        if (m == text) return true;
    return false;
}

TEST(FormationClasses, ConstructionLaysSlotsOnALineAcrossTheFront) {
    CArmyFormation army(93);
    EXPECT_STREQ(army.m_strName, "Formation 93");
    EXPECT_FLOAT_EQ(army.m_fInPlace, 1.0f);
    const int xs[12] = {0, -100, 100, -200, 200, -300, 300, -400, 400, -500, 500, -600};
    for (int s = 0; s < 12; ++s) {
        EXPECT_EQ(army.GetSlotPoint(s, 0).x, xs[s]);
        EXPECT_EQ(army.GetSlotPoint(s, 3).x, -1);
        EXPECT_EQ(army.GetDivFormationID(s), -1);
    }
    CBattFormation batt(4);
    EXPECT_EQ(batt.GetSlotPoint(0, 0).y, -30);
    EXPECT_EQ(batt.GetSlotPoint(9, 0).x, -150);
    EXPECT_EQ(batt.GetDepth(0), 70);
    EXPECT_EQ(batt.GetWidth(0), 280);
    EXPECT_EQ(batt.GetDepth(5), 10);
    CDivFormation div(15);
    EXPECT_EQ(div.GetSlotPoint(3, 0).x, -200);
    EXPECT_EQ(div.GetBattFormationID(2), -1);
    EXPECT_FLOAT_EQ(div.m_fInPlace, 0.9f);
}

TEST(FormationClasses, AccessOutsideTheTablesReportsAndGivesZeros) {
    CArmyFormation army(3);
    CBattFormation batt(1);
    CDivFormation div(15);
    army.m_codes[0][0] = 5;
    struct Case {
        const char* what;
        std::function<int()> read;
    } cases[] = {
        {"army slot 12", [&] { return army.GetSlotPoint(12, 0).x + army.GetSlotPoint(12, 0).y; }},
        {"army facing 8", [&] { return army.GetSlotPoint(1, 8).x; }},
        {"army slot -1 code", [&] { return int(army.GetSlotValue(-1, 0)); }},
        {"army facing -1", [&] { return int(army.GetSlotValue(0, -1)); }},
        {"battalion row 10", [&] { return int(batt.GetSlotCode(10, 0)); }},
        {"battalion row -1", [&] { return batt.GetSlotPoint(-1, 0).y; }},
        {"division row 4", [&] { return div.GetSlotPoint(4, 0).x + int(div.GetSlotCode(4, 0)); }},
    };
    for (const Case& c : cases) {
        AfxClearShownMessages();
        EXPECT_EQ(c.read(), 0) << c.what;
        EXPECT_TRUE(Shown("ERROR: Array out of range!")) << c.what;
    }
    // Only the facing's low byte counts.
    AfxClearShownMessages();
    EXPECT_EQ(army.GetSlotValue(0, 0x100), 5);
    EXPECT_TRUE(AfxGetShownMessages().empty());
}

TEST(FormationClasses, MappedIdsRatiosAndSlotSearch) {
    CDivFormation div(15);
    EXPECT_EQ(div.LookupMappedID(6), 0);
    div.m_linkedIDs[5] = 40;
    EXPECT_EQ(div.LookupMappedID(6), 40);
    div.m_linkedIDs[6] = 38;
    EXPECT_EQ(div.LookupMappedID(6), 38);

    const struct {
        int first, second;
        double ratio;
    } ratios[] = {{0, 0, 0.0}, {3, 1, 0.0}, {3, 0, 1.0}, {0, 5, 0.0}};
    for (const auto& r : ratios) {
        CFormation f;
        f.m_nCounter1 = r.first;
        f.m_nCounter2 = r.second;
        EXPECT_EQ(f.GetCounterRatio(), r.ratio) << r.first << "/" << r.second;
    }

    CArmyFormation army(3);
    for (int s = 0; s < 12; ++s) army.m_slotBytes[s] = BYTE(11 - s);
    EXPECT_EQ(army.FindSlot(11), 0);
    EXPECT_EQ(army.FindSlot(1), 10);
    EXPECT_EQ(army.FindSlot(12), -1);
}

// The common part as an older program stored it.
std::vector<BYTE> BasePart(int version, int id) {
    std::vector<BYTE> v;
    PutD(v, version);
    PutD(v, id);
    v.push_back(4);
    PutS(v, "Fish");
    if (version >= 2) v.push_back(0);  // second name
    if (version >= 6) v.push_back(3);  // level
    if (version >= 5) PutD(v, 0x3f000000);  // 0.5f
    PutD(v, 0x1000);                         // flags
    PutD(v, 7);
    PutD(v, 2);
    if (version >= 3) PutD(v, 93);  // parent
    if (version >= 4) {
        PutW(v, 1);
        PutD(v, 5);
        PutD(v, 40);
    }
    return v;
}

TEST(FormationClasses, TheCommonPartReadsEveryOlderLayout) {
    for (int version = 1; version <= 6; ++version) {
        CFormation f;
        LoadBytes(BasePart(version, 120), [&](CArchive& ar) { f.Serialize(ar); });
        EXPECT_EQ(f.m_nVersionRead, version);
        EXPECT_EQ(f.m_nID, 120);
        EXPECT_STREQ(f.m_strName, "Fish");
        EXPECT_EQ(f.m_dwFlags, 0x1000u) << version;
        EXPECT_EQ(f.m_nCounter2, 2) << version;
        EXPECT_EQ(f.m_nParentID, version >= 3 ? 93 : -1) << version;
        EXPECT_EQ(f.m_linkedIDs.GetCount(), version >= 4 ? 1 : 0) << version;
        EXPECT_EQ(f.m_nLevel, version >= 6 ? 3 : 0) << version;
        EXPECT_FLOAT_EQ(f.m_fInPlace, version >= 5 ? 0.5f : 0.9f) << version;
    }
}

TEST(FormationClasses, AVersionSevenArmyFormationTakesItsLevelFromItsOwnPart) {
    std::vector<BYTE> v = BasePart(6, 97);
    PutD(v, 7);
    v.push_back(4);  // level, in the army part
    for (int s = 0; s < 12; ++s) {
        for (int f = 0; f < 8; ++f) {
            PutD(v, DWORD(10 * s));
            PutD(v, DWORD(f));
            v.push_back(BYTE(f));
        }
        PutD(v, 40);
        PutD(v, 128);
        v.push_back(BYTE(s));
        for (int k = 0; k < 3; ++k) PutD(v, DWORD(k + 1));
    }
    CArmyFormation f;
    LoadBytes(v, [&](CArchive& ar) { f.Serialize(ar); });
    EXPECT_EQ(f.m_nLevel, 4);
    EXPECT_EQ(f.GetSlotPoint(11, 6).x, 110);
    EXPECT_EQ(f.GetSlotPoint(11, 6).y, 6);
    EXPECT_EQ(f.GetDivFormationID(11), 40);
    EXPECT_EQ(f.m_slotValues[11][2], 3);
    EXPECT_EQ(f.m_slotValues[11][3], 0);
}

TEST(FormationClasses, EachKindStoresAndLoadsItsWholeTable) {
    CArmyFormation army(26);
    army.m_nLevel = 2;
    army.m_nParentID = 3;
    army.m_points[7][5] = CPoint(-70, 33);
    army.m_codes[7][5] = 3;
    army.m_slotValues[4][3] = 9;
    army.m_linkedIDs[2] = 70;
    CBattFormation batt(6);
    batt.m_points[9][7] = CPoint(5, -5);
    batt.m_codes[9][7] = 0x107;
    batt.ComputeExtents();
    CDivFormation div(41);
    div.m_points[3][1] = CPoint(12, 13);
    div.m_battFormationIDs[3] = 6;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) {
        army.Serialize(ar);
        batt.Serialize(ar);
        div.Serialize(ar);
    });
    CArmyFormation army2;
    CBattFormation batt2;
    CDivFormation div2;
    LoadBytes(bytes, [&](CArchive& ar) {
        army2.Serialize(ar);
        batt2.Serialize(ar);
        div2.Serialize(ar);
    });
    EXPECT_EQ(bytes, StoreBytes([&](CArchive& ar) {
                  army2.Serialize(ar);
                  batt2.Serialize(ar);
                  div2.Serialize(ar);
              }));
    EXPECT_EQ(army2.m_nLevel, 2);
    EXPECT_EQ(army2.GetSlotPoint(7, 5).y, 33);
    EXPECT_EQ(army2.m_slotValues[4][3], 9);
    EXPECT_EQ(batt2.GetSlotCode(9, 7), 7);
    EXPECT_EQ(batt2.GetWidth(7), batt.GetWidth(7));
    EXPECT_EQ(div2.GetBattFormationID(3), 6);
    EXPECT_EQ(div2.GetSlotPoint(3, 1).y, 13);
}

TEST(FormationClasses, VersionsTheGameDoesNotKnowStopTheRead) {
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        std::function<void(CArchive&)> read;
    };
    auto withOwnVersion = [](int own) {
        std::vector<BYTE> v = BasePart(6, 1);
        PutD(v, DWORD(own));
        return v;
    };
    CFormation base;
    CArmyFormation army;
    CBattFormation batt;
    CDivFormation div;
    Case cases[] = {
        {"common part 7", BasePart(7, 1), [&](CArchive& ar) { base.Serialize(ar); }},
        {"common part 0", BasePart(0, 1), [&](CArchive& ar) { base.Serialize(ar); }},
        {"army 3", withOwnVersion(3), [&](CArchive& ar) { army.Serialize(ar); }},
        {"army 10", withOwnVersion(10), [&](CArchive& ar) { army.Serialize(ar); }},
        {"battalion 2", withOwnVersion(2), [&](CArchive& ar) { batt.Serialize(ar); }},
        {"division 3", withOwnVersion(3), [&](CArchive& ar) { div.Serialize(ar); }},
    };
    for (Case& c : cases) EXPECT_THROW(LoadBytes(c.bytes, c.read), CArchiveException) << c.what;
}

// A loaded file and the lists it leaves.
class FormationFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("velmor-formations-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        ASSERT_TRUE(m_lists.Load(KitFormationFile().c_str()));
        m_kitBytes = ReadAll(KitFormationFile());
        AfxClearShownMessages();
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    static std::vector<BYTE> ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::string Write(const std::vector<BYTE>& bytes) {
        std::string path = (m_dir / "lists.fed").string();
        std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), std::streamsize(bytes.size()));
        return path;
    }
    // The lists are those of the kit, untouched, and the failure was told.
    void ExpectRefusedAndKept() {
        EXPECT_TRUE(Shown("ERROR: Default Formation Lists could not be opened!"));
        EXPECT_EQ(m_lists.army.GetCount(), KitFormationLists().army.GetCount());
        EXPECT_EQ(m_lists.div.GetCount(), KitFormationLists().div.GetCount());
        EXPECT_EQ(m_lists.batt.GetCount(), KitFormationLists().batt.GetCount());
        EXPECT_NE(m_lists.army.GetFormation(93), nullptr);
    }

    std::filesystem::path m_dir;
    CFormationLists m_lists;
    std::vector<BYTE> m_kitBytes;
};

TEST_F(FormationFile, AMissingFileIsReportedNotCreated) {
    std::string path = (m_dir / "none.fed").string();
    EXPECT_FALSE(m_lists.Load(path.c_str()));
    ExpectRefusedAndKept();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FormationFile, ShortOrDamagedFilesLeaveTheListsAsTheyWere) {
    std::vector<BYTE> cut(m_kitBytes.begin(), m_kitBytes.begin() + m_kitBytes.size() / 2);
    std::vector<BYTE> cutInBattalions(m_kitBytes.begin(), m_kitBytes.begin() + 200);
    // An army list whose first entry is a formation already listed.
    CFormationLists twice;
    twice.batt.AddTail(new CBattFormation(1));
    CArmyFormation* shared = new CArmyFormation(3);
    std::vector<BYTE> repeated = StoreBytes([&](CArchive& ar) {
        twice.batt.Serialize(ar);
        twice.div.Serialize(ar);
        ar.WriteCount(2);
        ar.WriteObject(shared);
        ar.WriteObject(shared);
    });
    delete shared;
    // A division formation in the battalion list.
    std::vector<BYTE> wrongKind = StoreBytes([&](CArchive& ar) {
        CDivFormation div(15);
        ar.WriteCount(1);
        ar.WriteObject(&div);
    });
    for (const auto* bytes : {&cut, &cutInBattalions, &repeated, &wrongKind}) {
        AfxClearShownMessages();
        EXPECT_FALSE(m_lists.Load(Write(*bytes).c_str()));
        ExpectRefusedAndKept();
    }
    EXPECT_FALSE(m_lists.Load(Write({}).c_str()));
    ExpectRefusedAndKept();
}

TEST_F(FormationFile, AWholeFileReplacesTheLists) {
    CFormationLists small;
    small.batt.AddTail(new CBattFormation(1));
    small.div.AddTail(new CDivFormation(15));
    small.army.AddTail(new CArmyFormation(3));
    std::string path = Write(StoreBytes([&](CArchive& ar) { small.Serialize(ar); }));
    EXPECT_TRUE(m_lists.Load(path.c_str()));
    EXPECT_EQ(m_lists.army.GetCount(), 1);
    EXPECT_EQ(m_lists.army.GetFormation(93), nullptr);
    EXPECT_NE(m_lists.army.GetFormation(3), nullptr);
    EXPECT_TRUE(AfxGetShownMessages().empty());
}

}  // namespace
