#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/afx/Afx.h"
#include "platform/afx/PathResolver.h"
#include "tests/support/TestFolders.h"

namespace fs = std::filesystem;

TEST(Rect, WinSemantics) {
    CRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 25)));  // right edge excluded
    EXPECT_FALSE(r.PtInRect(CPoint(15, 40)));  // bottom edge excluded

    CRect u;
    EXPECT_TRUE(u.UnionRect(CRect(0, 0, 0, 0), r));  // empty rectangles are ignored
    EXPECT_EQ(u, r);
    EXPECT_TRUE(u.UnionRect(CRect(5, 5, 5, 50), r));  // zero width is empty too
    EXPECT_EQ(u, r);

    CRect i;
    EXPECT_FALSE(i.IntersectRect(r, CRect(30, 20, 50, 40)));  // touching edges do not meet
    EXPECT_TRUE(i.IsRectNull());
    EXPECT_TRUE(i.IntersectRect(r, CRect(25, 0, 50, 25)));
    EXPECT_EQ(i, CRect(25, 20, 30, 25));
}

TEST(String, FormatAndEditing) {
    CString s;
    s.Format("%s%0*d.dat", "demo", 3, 7);
    EXPECT_EQ(s, "demo007.dat");
    EXPECT_EQ(s.Left(4), "demo");
    EXPECT_EQ(s.Right(3), "dat");
    EXPECT_EQ(s.Mid(4, 3), "007");
    EXPECT_EQ(s.Mid(40), "");
    EXPECT_EQ(s.Find('.'), 7);
    EXPECT_EQ(s.ReverseFind('x'), -1);
    EXPECT_EQ(CString("Profile.VLM").CompareNoCase("profile.vlm"), 0);
    CString big;
    big.Format("%s", std::string(10000, 'x').c_str());
    EXPECT_EQ(big.GetLength(), 10000);
}

TEST(Time, UtcFieldsAndArchiveForm) {
    CTime t(2000, 1, 1, 1, 15, 30);
    EXPECT_EQ(t.GetTime(), 946689330);
    EXPECT_EQ(t.GetHour(), 1);
    CTime wrapped(1999, 13, 1, 0, 0, 0);  // month 13 normalises to January
    EXPECT_EQ(wrapped.GetYear(), 2000);
    EXPECT_EQ(wrapped.GetMonth(), 1);
}

TEST(Clock, TickSourceCanBeReplacedAndWraps) {
    DWORD now = 0xFFFFFFF0u;
    AfxSetTickSource([&] { return now; });
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    now += 0x20;
    EXPECT_EQ(GetTickCount(), 0x10u);
    AfxSetTickSource(nullptr);
}

class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("velmor-path-" + std::to_string(::getpid()));
        fs::create_directories(root / "Pictures" / "Cmb");
        std::ofstream(root / "Pictures" / "Cmb" / "Cmb Exit Up.giz") << "x";
        old = fs::current_path();
        fs::current_path(root);
        AfxClearMissingNames();
    }
    void TearDown() override {
        fs::current_path(old);
        fs::remove_all(root);
    }
    fs::path root, old;
};

TEST_F(PathTest, ResolvesBackslashesDoubledSeparatorsAndCase) {
    EXPECT_EQ(AfxResolvePath("pictures\\\\CMB\\cmb exit up.GIZ"), "Pictures/Cmb/Cmb Exit Up.giz");
    EXPECT_EQ(AfxResolvePath("\\Pictures\\Cmb\\"), "Pictures/Cmb");
    std::string abs = (root / "Pictures").string() + "\\cmb\\CMB EXIT UP.giz";
    EXPECT_EQ(AfxResolvePath(abs.c_str()), (root / "Pictures/Cmb/Cmb Exit Up.giz").string());
    EXPECT_TRUE(AfxGetMissingNames().empty());
}

TEST_F(PathTest, MissingNamesAreRecordedAndNewFilesKeepTheirName) {
    CFile f;
    EXPECT_FALSE(f.Open("Pictures\\Nothing Here.giz", CFile::modeRead));
    EXPECT_EQ(AfxGetMissingNames(), std::vector<std::string>{"Pictures\\Nothing Here.giz"});

    ASSERT_TRUE(f.Open("pictures\\New File.DAT", CFile::modeCreate | CFile::modeWrite));
    f.Write("abc", 3);
    f.Close();
    EXPECT_TRUE(fs::exists(root / "Pictures" / "New File.DAT"));
    // Another spelling opens the same file.
    ASSERT_TRUE(f.Open("PICTURES\\new file.dat", CFile::modeRead));
    EXPECT_EQ(f.GetLength(), 3u);
}

TEST_F(PathTest, SafeFileReplacesOnlyOnCommit) {
    {
        std::ofstream(root / "Profile.vlm") << "old contents that are long";
    }
    {
        CSafeFile f;
        ASSERT_TRUE(f.Open("profile.VLM", CFile::modeCreate | CFile::modeWrite));
        f.Write("half", 4);
        // Destroyed without Commit: the old file stays, no temporary remains.
    }
    std::ifstream in1(root / "Profile.vlm");
    std::string s1((std::istreambuf_iterator<char>(in1)), {});
    EXPECT_EQ(s1, "old contents that are long");
    {
        CSafeFile f;
        ASSERT_TRUE(f.Open("profile.VLM", CFile::modeCreate | CFile::modeWrite));
        f.Write("new", 3);
        f.Commit();
    }
    std::ifstream in2(root / "Profile.vlm");
    std::string s2((std::istreambuf_iterator<char>(in2)), {});
    EXPECT_EQ(s2, "new");  // no stale tail
    int files = 0;
    for (auto& e : fs::directory_iterator(root)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(PathTest, TwoSafeFilesOfOneNameNeverShareATemporaryAndAFolderIsNeverReplaced) {
    CSafeFile a, b;
    ASSERT_TRUE(a.Open("Shared.sav", CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(b.Open("Shared.sav", CFile::modeCreate | CFile::modeWrite));
    EXPECT_NE(a.GetSystemPath(), b.GetSystemPath());
    a.Write("first", 5);
    b.Write("second", 6);
    a.Commit();
    b.Commit();
    std::ifstream in(root / "Shared.sav");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "second");

    fs::create_directories(root / "Taken.sav" / "inside");
    CSafeFile c;
    CFileException e;
    EXPECT_FALSE(c.Open("Taken.sav", CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::invalidFile);
    EXPECT_TRUE(fs::is_directory(root / "Taken.sav" / "inside"));
    int files = 0;
    for (auto& entry : fs::directory_iterator(root)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST_F(PathTest, TheSavedDataFolderIsTheUsersDataFolder) {
    CScratchFolder user;
    const std::string data = user.Name("data"), home = user.Name("home");
    struct Case {
        const char* xdg;   // XDG_DATA_HOME, null when unset
        const char* home;  // HOME, null when unset
        std::string folder;  // where "Data\Saved Data\" goes
    } cases[] = {
        {data.c_str(), home.c_str(), data + "/velmor"},
        {"relative/data", home.c_str(), home + "/.local/share/velmor"},  // relative values are ignored
        {nullptr, home.c_str(), home + "/.local/share/velmor"},
        {nullptr, nullptr, "Data/Saved Data"},  // no user folder: the game folder's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        CScopedEnv xdg("XDG_DATA_HOME", c.xdg ? c.xdg : ""), homeEnv("HOME", c.home ? c.home : "");
        if (!c.xdg) unsetenv("XDG_DATA_HOME");
        if (!c.home) unsetenv("HOME");
        EXPECT_EQ(AfxResolvePath("Data\\Saved Data\\Profile.VLM"), c.folder + "/Profile.VLM");
        if (!c.home) continue;
        EXPECT_EQ(AfxResolvePath((root.string() + "\\data\\SAVED DATA\\").c_str()), c.folder);
        // A store makes the missing folder, then finds the file again by
        // any spelling.
        CSafeFile f;
        ASSERT_TRUE(f.Open("Data\\Saved Data\\Saved Game 1.sav", CFile::modeCreate | CFile::modeWrite));
        f.Write("game", 4);
        f.Commit();
        EXPECT_TRUE(fs::exists(fs::path(c.folder) / "Saved Game 1.sav"));
        EXPECT_TRUE(CFile::IsFile("DATA\\saved data\\saved game 1.SAV"));
    }
    // Other folders named Data stay in the game folder.
    CScopedEnv xdg("XDG_DATA_HOME", data);
    EXPECT_EQ(AfxResolvePath("Data\\MapData\\x.TED"), "Data/MapData/x.TED");
    EXPECT_EQ(AfxResolvePath("Saved Data\\x"), "Saved Data/x");
}

TEST(MessageBox, TheRecordKeepsOnlyTheLatestTexts) {
    AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
    AfxClearShownMessages();
    for (int i = 0; i < 1000; ++i) AfxMessageBox(std::to_string(i).c_str());
    std::vector<std::string> shown = AfxGetShownMessages();
    ASSERT_EQ(shown.size(), kShownMessagesKept);
    EXPECT_EQ(shown.front(), std::to_string(1000 - kShownMessagesKept));
    EXPECT_EQ(shown.back(), "999");
    AfxClearShownMessages();
    AfxSetMessageBoxHandler(nullptr);
}

TEST(Lists, InsertRemoveAndFind) {
    CDWordList l;
    POSITION p2 = l.AddTail(2);
    l.AddHead(1);
    l.InsertAfter(p2, 4);
    l.InsertBefore(l.Find(4), 3);
    std::vector<DWORD> got;
    for (POSITION p = l.GetHeadPosition(); p;) got.push_back(l.GetNext(p));
    EXPECT_EQ(got, (std::vector<DWORD>{1, 2, 3, 4}));
    l.RemoveAt(p2);
    EXPECT_EQ(l.GetCount(), 3);
    EXPECT_EQ(l.FindIndex(1), l.Find(3));
    EXPECT_EQ(l.FindIndex(3), nullptr);
}

// A list keeps the nodes it frees for its next additions: values and order
// stay right through emptying, refilling past several blocks and removals
// from the middle, and owned values (strings) are destroyed and built anew.
TEST(Lists, NodesAreReusedAcrossRefills) {
    auto contents = [](const CStringList& l) {
        std::vector<std::string> out;
        for (POSITION p = l.GetHeadPosition(); p;) out.emplace_back(l.GetNext(p).GetString());
        return out;
    };
    CStringList l;
    std::vector<std::string> want;
    for (int round = 0; round < 3; ++round) {
        l.RemoveAll();
        want.clear();
        for (int i = 0; i < 40 + 50 * round; ++i) {
            CString s;
            s.Format("unit %d of round %d", i, round);
            l.AddTail(s);
            want.emplace_back(s.GetString());
        }
        EXPECT_EQ(contents(l), want);
    }
    // Every third removed, then new ones in front and behind.
    POSITION p = l.GetHeadPosition();
    for (int i = 0; p; ++i) {
        POSITION at = p;
        l.GetNext(p);
        if (i % 3 == 0) l.RemoveAt(at);
    }
    std::vector<std::string> kept;
    for (size_t i = 0; i < want.size(); ++i)
        if (i % 3 != 0) kept.push_back(want[i]);
    l.AddHead("first");
    l.AddTail("last");
    kept.insert(kept.begin(), "first");
    kept.push_back("last");
    EXPECT_EQ(contents(l), kept);
    EXPECT_EQ(l.GetCount(), int(kept.size()));
}
