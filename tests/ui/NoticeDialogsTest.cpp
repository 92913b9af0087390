// The notices on the kit's pictures, run modally on the headless window
// layer: how each closes, and what the battle popup shows by message.
#include <gtest/gtest.h>

#include <functional>

#include "Animate/DialogPictureNames.h"
#include "Units/Unit.h"
#include "tests/support/Headless.h"
#include "tests/support/TestFolders.h"
#include "ui/MessageDlg.h"
#include "ui/PopupMessageDlg.h"
#include "ui/YesNoImageDlg.h"

namespace {

std::string Pictures() { return (KitFolder() / "Pictures").string() + "/"; }

// Runs `dlg` modally; `input` runs 50 ms in with the dialog's window
// rectangle. Returns the result, or -99 when the dialog was still up after
// `limit` ms (it is then ended).
template <typename Dialog>
int RunWith(CHeadlessScope& scope, Dialog& dlg, std::function<void(const CRect&)> input, DWORD limit = 2000) {
    bool timedOut = false;
    scope.Display().After(50, [&] {
        CRect r;
        dlg.GetWindowRect(&r);
        input(r);
    });
    scope.Display().After(limit, [&] {
        if (dlg.m_hWnd) timedOut = true, dlg.EndDialog(-99);
    });
    int result = int(dlg.DoModal());
    return timedOut ? -99 : result;
}

TEST(MessageDlg, AMissingPictureIsNotShown) {
    CMessageDlg dlg((Pictures() + "popup No Such Notice.giz").c_str(), 24, nullptr, nullptr, FALSE, 5, 4);
    EXPECT_FALSE(dlg.Run());
}

TEST(MessageDlg, ClosesOnAnyReleaseButEscape) {
    struct Case {
        const char* what;
        std::function<void(const CRect&)> input;
        int expected;
    };
    const Case cases[] = {
        {"left button", [](const CRect& r) { AfxInputMouseButton(0, true, r.left + 5, r.top + 5), AfxInputMouseButton(0, false, r.left + 5, r.top + 5); }, 1},
        // The mouse is captured: a release anywhere on the screen counts.
        {"right button far away", [](const CRect&) { AfxInputMouseButton(1, true, 2, 2), AfxInputMouseButton(1, false, 2, 2); }, 1},
        {"a key", [](const CRect&) { AfxInputKey('Q', true), AfxInputKey('Q', false); }, 1},
        {"escape", [](const CRect&) { AfxInputKey(VK_ESCAPE, true), AfxInputKey(VK_ESCAPE, false); }, -99},
        {"nothing", [](const CRect&) {}, -99},
    };
    for (const Case& c : cases) {
        CHeadlessScope scope;
        CMessageDlg dlg((Pictures() + "popup Must Pick Army.giz").c_str(), 24, nullptr, nullptr, FALSE, 5, 4);
        ASSERT_TRUE(dlg.Run());
        EXPECT_EQ(RunWith(scope, dlg, c.input), c.expected) << c.what;
    }
}

TEST(MessageDlg, AutoCloseWaitsPastItsTimeAndAWatchedWordEndsIt) {
    {
        CHeadlessScope scope;
        CMessageDlg dlg((Pictures() + "popup Too Many Divisions.giz").c_str(), 24, nullptr, nullptr, TRUE, 1, 4);
        ASSERT_TRUE(dlg.Run());
        DWORD opened = scope.Now();
        EXPECT_EQ(RunWith(scope, dlg, [](const CRect&) {}), 1);
        DWORD took = scope.Now() - opened;
        EXPECT_GT(took, 1000u) << "exactly the time given does not close it";
        EXPECT_LT(took, 1100u);
    }
    {
        CHeadlessScope scope;
        DWORD word = 1;
        CMessageDlg dlg((Pictures() + "popup Too Many Divisions.giz").c_str(), 24, nullptr, nullptr, FALSE, 5, 4);
        dlg.m_pWatched = &word;
        dlg.m_nExpected = 1;
        ASSERT_TRUE(dlg.Run());
        EXPECT_EQ(RunWith(scope, dlg, [&](const CRect&) { word = 0; }), 1);
    }
}

TEST(PopupMessageDlg, KindsPicturesAndIconNames) {
    for (int id : {-1, 56}) {
        CPopupMessageDlg dlg(Pictures().c_str(), id, "", nullptr, "Velmor", 24, nullptr, nullptr, FALSE, 5, 0, 4);
        dlg.Show();
        EXPECT_EQ(dlg.GetKind(), 0) << id;
        EXPECT_EQ(dlg.GetSurface(), nullptr) << "nothing is loaded for id " << id;
        EXPECT_EQ(dlg.GetIcons().GetCount(), 0);
    }
    // A battle status message with a speaker: background, message and portrait.
    CPopupMessageDlg status(Pictures().c_str(), 14, "Per Generic Soldier Lask", nullptr, "Lask", 24, nullptr, nullptr,
                            FALSE, 5, 0, 4);
    status.Show();
    EXPECT_EQ(status.GetKind(), 1);
    ASSERT_NE(status.GetSurface(), nullptr);
    EXPECT_EQ(status.GetIcons().GetCount(), 2);
    // A system notice never shows a portrait.
    CPopupMessageDlg notice(Pictures().c_str(), 13, "Per Generic Soldier Lask", nullptr, "Lask", 24, nullptr, nullptr,
                            FALSE, 5, 0, 4);
    notice.Show();
    EXPECT_EQ(notice.GetKind(), 3);
    EXPECT_EQ(notice.GetIcons().GetCount(), 1);

    EXPECT_EQ(CPopupMessageDlg::UnitIconName("", 4), "Icon Cavalry");
    EXPECT_EQ(CPopupMessageDlg::UnitIconName("Lask ", 4), "Icon Lask Cavalry");
    EXPECT_EQ(CPopupMessageDlg::UnitIconName("", 12), "Icon  Swordman");
    CPopupMessageDlg home(Pictures().c_str(), 40, "", nullptr, "VELMOR", 24, nullptr, nullptr, FALSE, 5, 0, 4);
    EXPECT_EQ(home.m_strClanPrefix, "") << "the home clan in any case has no prefix";
}

TEST(PopupMessageDlg, UnitInformationHidesFiguresByWhatIsKnown) {
    struct Case {
        int level;
        const char* shown;  // 'x' a figure, '?' hidden, for A..H
    };
    const Case cases[] = {{100, "xxxxxxxx"}, {71, "xxxxxxxx"}, {70, "xxxxxx??"}, {50, "xx??????"},
                          {30, "x???????"}, {0, "????????"}};
    CUnit unit;
    unit.m_kind = 4;
    unit.m_headCount = 37;
    unit.m_strengthValue = 2600;
    for (const Case& c : cases) {
        CHeadlessScope scope;
        CPopupMessageDlg dlg(Pictures().c_str(), 45, "Per Generic Soldier Lask", &unit, "Lask", 24, nullptr, nullptr,
                             FALSE, 5, 0, 4);
        dlg.m_nInfoLevel = c.level;
        dlg.Show();
        EXPECT_EQ(dlg.GetIcons().GetCount(), 3) << "message, portrait and unit icon";
        EXPECT_EQ(RunWith(scope, dlg, [](const CRect& r) { AfxInputMouseButton(0, true, r.left + 3, r.top + 3); }), 1);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(dlg.GetFigure(i) == "?", c.shown[i] == '?') << c.level << " figure " << i;
        if (c.level == 100) {
            EXPECT_EQ(dlg.GetFigure(2), "37");
            EXPECT_EQ(dlg.GetFigure(4), "52");
        }
    }
}

TEST(PopupMessageDlg, ThePauseEndsOnlyOnThePauseKey) {
    for (UINT key : {UINT('A'), UINT(VK_PAUSE)}) {
        CHeadlessScope scope;
        CPopupMessageDlg dlg(Pictures().c_str(), 13, "", nullptr, "", 24, nullptr, nullptr, FALSE, 5, VK_PAUSE, 4);
        dlg.Show();
        int result = RunWith(scope, dlg, [key](const CRect&) { AfxInputKey(key, true), AfxInputKey(key, false); });
        EXPECT_EQ(result, key == VK_PAUSE ? 1 : -99) << key;
    }
}

TEST(YesNoImageDlg, AnswersByItsButtonsAndKeys) {
    // Where on the screen the middle of a button stands (-1 for a spot of
    // the picture that is no button).
    auto press = [](CYesNoImageDlg& dlg, int id) {
        return [&dlg, id](const CRect& r) {
            CPoint at = id > 0 ? dlg.GetButtons().FindById(id)->GetRect().CenterPoint() : CPoint(20, 20);
            AfxInputMouseButton(0, true, r.left + at.x, r.top + at.y);
            AfxInputMouseButton(0, false, r.left + at.x, r.top + at.y);
        };
    };
    auto key = [](UINT k) { return [k](const CRect&) { AfxInputKey(k, true), AfxInputKey(k, false); }; };
    struct Case {
        const char* what;
        int endKey;
        int button;  // 0: a key instead
        UINT key;
        int expected;
    };
    const Case cases[] = {
        {"yes", 0, 1, 0, 1},
        {"no", 0, 2, 0, 2},
        {"the picture beside the buttons", 0, -1, 0, -99},
        {"Y", 0, 0, 'Y', 1},
        {"Enter", 0, 0, VK_RETURN, 1},
        {"N", 0, 0, 'N', 2},
        {"Escape", 0, 0, VK_ESCAPE, 2},
        {"another key", 0, 0, 'Q', -99},
        {"another key, any key ends it", -1, 0, 'Q', 1},
        {"the end key", VK_PAUSE, 0, VK_PAUSE, 1},
    };
    const std::string question = Pictures() + kArmyRetreatQuestion + ".giz";
    const std::string buttons = Pictures() + "Cmb/";
    for (const Case& c : cases) {
        CHeadlessScope scope;
        CYesNoImageDlg dlg(question.c_str(), buttons.c_str(), 24, nullptr, nullptr, FALSE, 5, c.endKey, 4);
        ASSERT_TRUE(dlg.InitButtons());
        ASSERT_EQ(dlg.GetButtons().GetCount(), 2);
        // Both answers lie on the picture, in its lower right corner.
        CRect yes = dlg.GetButtons().FindById(1)->GetRect(), no = dlg.GetButtons().FindById(2)->GetRect();
        EXPECT_EQ(yes.left, dlg.GetBackground().GetWidth() - 264);
        EXPECT_EQ(no.left, dlg.GetBackground().GetWidth() - 137);
        EXPECT_LE(no.bottom, dlg.GetBackground().GetHeight());
        std::function<void(const CRect&)> input = c.button ? std::function<void(const CRect&)>(press(dlg, c.button))
                                                                       : key(c.key);
        EXPECT_EQ(RunWith(scope, dlg, input), c.expected) << c.what;
    }
    CYesNoImageDlg missing((Pictures() + "popup No Such Question.giz").c_str(), buttons.c_str(), 24, nullptr, nullptr,
                           FALSE, 5, 0, 4);
    EXPECT_FALSE(missing.InitButtons());
    EXPECT_EQ(missing.GetButtons().GetCount(), 0);
}

}  // namespace
