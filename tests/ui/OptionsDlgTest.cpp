// The options dialog on the kit's pictures, run modally headless: the save
// page's slots and marks, the help pages and the keys that close it.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/Headless.h"
#include "tests/support/TestFolders.h"
#include "ui/OptionsDlg.h"

namespace {

// Runs the dialog with one step every 20 ms from 50 ms on, each given the
// dialog; returns its result.
int RunOptions(COptionsDlg& dlg, std::vector<std::function<void(COptionsDlg&, const CRect&)>> steps) {
    CHeadlessScope scope;
    std::string pictures = (KitFolder() / "Pictures").string() + "/";
    dlg.m_strPictureFolder = pictures.c_str();
    dlg.m_strButtonFolder = (pictures + "Cmb/").c_str();
    dlg.m_strBackgroundName = (pictures + "Bkgnd Option Main.giz").c_str();
    DWORD at = 50;
    for (auto& step : steps) {
        scope.Display().After(at, [&dlg, step] {
            CRect r;
            dlg.GetWindowRect(&r);
            step(dlg, r);
        });
        at += 20;
    }
    scope.Display().After(at + 200, [&dlg] {
        if (dlg.m_hWnd) dlg.EndDialog(-99);
    });
    return int(dlg.DoModal());
}
std::function<void(COptionsDlg&, const CRect&)> Click(int x, int y) {
    return [x, y](COptionsDlg&, const CRect& r) {
        AfxInputMouseButton(0, true, r.left + x, r.top + y);
        AfxInputMouseButton(0, false, r.left + x, r.top + y);
    };
}
std::function<void(COptionsDlg&, const CRect&)> Key(UINT key) {
    return [key](COptionsDlg&, const CRect&) { AfxInputKey(key, true), AfxInputKey(key, false); };
}
const auto kSavePage = Click(25, 325);
const auto kSaveOk = Click(158, 427);
const auto kMainOk = Click(200, 440);
auto Slot(int i) {
    static const int kTops[6] = {68, 127, 189, 253, 315, 377};
    return Click(156, kTops[i] + 10);
}

TEST(OptionsDlg, TheSavePageMarksTheSlotsChosenButNeverTheAutosave) {
    CScratchFolder saved;
    COptionsDlg dlg(TRUE, TRUE, FALSE, (saved.Path().string() + "/").c_str(), nullptr, nullptr);
    dlg.Year = 1561;
    dlg.Stage = 4;
    int selectedTwice = 0, autosave = 0;
    AfxClearShownMessages();
    int result = RunOptions(dlg, {kSavePage, Slot(2), Slot(2),
                                  [&](COptionsDlg& d, const CRect&) { selectedTwice = d.GetSelectedSlot(); },
                                  kSaveOk,  // no slot chosen: a message, the page stays
                                  Slot(0), [&](COptionsDlg& d, const CRect&) { autosave = d.GetSelectedSlot(); },
                                  Slot(1), kSaveOk, kSavePage, Slot(3), kSaveOk, kMainOk});
    EXPECT_EQ(result, COptionsDlg::kClosed);
    EXPECT_EQ(selectedTwice, -1) << "a selected slot clicked again is let go";
    EXPECT_EQ(autosave, -1);
    std::vector<std::string> shown = AfxGetShownMessages();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Please select a slot to save your game."), 1);
    const BYTE marks[6] = {0, 1, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(dlg.SaveMarks[i], marks[i]) << i;
    EXPECT_EQ(dlg.SaveHeaders[3].year, 1561);
    EXPECT_EQ(dlg.SaveHeaders[3].battle, 4);
    EXPECT_EQ(dlg.GetSlotLabel(0), "Autosave");
    EXPECT_EQ(dlg.GetSlotLabel(2), "Empty");
}

TEST(OptionsDlg, HelpTopicsAndTheirWayBack) {
    COptionsDlg dlg(FALSE, FALSE, FALSE, "", nullptr, nullptr);
    std::vector<int> topics;
    auto note = [&](COptionsDlg& d, const CRect&) { topics.push_back(d.GetHelpTopic()); };
    int result = RunOptions(dlg, {Click(307, 319), note,   // help: contents
                                  Click(86, 142), note,    // control
                                  Click(86, 153), note,    // its third topic: orders
                                  Click(86, 401), note,    // back to control
                                  Click(86, 431), note,    // contents
                                  Key(VK_ESCAPE)});
    EXPECT_EQ(result, COptionsDlg::kClosed) << "Escape closes from any page";
    EXPECT_EQ(topics, (std::vector<int>{0, 7, 10, 7, 0}));
}

TEST(OptionsDlg, EnterClosesOnlyTheMainPageAndLevelsStayInRange) {
    COptionsDlg dlg(FALSE, FALSE, FALSE, "", nullptr, nullptr);
    int pageAfterEnter = -1;
    int result = RunOptions(dlg, {Click(27, 27), Key(VK_RETURN),
                                  [&](COptionsDlg& d, const CRect&) { pageAfterEnter = d.GetPage(); },
                                  Click(452, 430), Key(VK_RETURN)});
    EXPECT_EQ(result, COptionsDlg::kClosed);
    EXPECT_EQ(pageAfterEnter, COptionsDlg::kGraphic);
    CPoint speed = COptionsDlg::BarPosition(COptionsDlg::kSpeedBar);
    EXPECT_EQ(dlg.LevelAt(COptionsDlg::kSpeedBar, speed.x), 0);
    EXPECT_EQ(dlg.LevelAt(COptionsDlg::kSpeedBar, speed.x + 19), 0);
    EXPECT_EQ(dlg.LevelAt(COptionsDlg::kSpeedBar, speed.x + 20), 1);
    EXPECT_EQ(dlg.LevelAt(COptionsDlg::kSpeedBar, speed.x + 400), 9);
    EXPECT_EQ(dlg.LevelAt(COptionsDlg::kSpeedBar, speed.x - 30), 0);
}

}  // namespace
