// The kit holds every file the game asks for. The real game runs headless on
// the generated kit and enters every screen it has, in both layouts; the
// file layer records each name that did not resolve, and none may be left.
//
// The screens come from the mode controller itself (IsModeAvailable), so a
// screen switched on later is covered from that day without a change here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <strings.h>

#include <cstdlib>

#include <ostream>
#include <string>
#include <vector>

#include "Animate/BattlePictureNames.h"
#include "Animate/DialogPictureNames.h"
#include "Animate/TacticPictureNames.h"
#include "Units/UnitSets.h"
#include "core/WorldNames.h"
#include "platform/afx/Afx.h"
#include "platform/afx/PathResolver.h"
#include "world/Campaign.h"
#include "world/PlayerRoster.h"
#include "world/WorldLists.h"
#include "tests/support/ChosenBattle.h"
#include "tests/support/GameRun.h"

namespace {

using ::testing::IsEmpty;

// Files the game writes for the player and reads back on later runs; on a
// first run they are rightly missing.
const char* const kPlayersOwnFiles[] = {"Data\\Saved Data\\Profile.vlm"};

std::vector<std::string> MissingKitFiles() {
    std::vector<std::string> missing;
    for (const std::string& name : AfxGetMissingNames()) {
        bool own = false;
        for (const char* o : kPlayersOwnFiles) own = own || strcasecmp(name.c_str(), o) == 0;
        if (!own) missing.push_back(name);
    }
    return missing;
}

struct Layout {
    DisplayMode desktop;
    int width;
};

void PrintTo(const Layout& layout, std::ostream* os) { *os << layout.desktop.width << "x" << layout.desktop.height; }

class KitCompleteness : public ::testing::TestWithParam<Layout> {};

TEST_P(KitCompleteness, EveryScreenFindsItsFiles) {
    const Layout layout = GetParam();
    AfxClearMissingNames();
    CGameRun run(layout.desktop);
    // The player chose the large layout in the profile.
    if (layout.width == 1280) {
        ASSERT_TRUE(ChooseLargeLayout());
    }
    // Start-up: the profile, the fonts, the empty sprite, the logo movie and
    // the introduction.
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.Run(200));
    COrvaneView* view = run.View();
    ASSERT_NE(view, nullptr);
    EXPECT_THAT(MissingKitFiles(), IsEmpty()) << "at start-up";
    ASSERT_EQ(AfxGetScreen().GetWidth(), layout.width);

    for (int mode = 1; mode <= 20; ++mode) {
        if (!COrvaneView::IsModeAvailable(mode)) continue;
        AfxClearMissingNames();
        // The deployment screen deploys a battle the catalogue has chosen.
        if (mode == MODE_TACTIC) {
            ASSERT_TRUE(ChooseBattle(*view, CChosenBattle{}));
        }
        view->ChangeMode(mode);
        ASSERT_TRUE(run.Run(100)) << "the program ended in mode " << mode;
        EXPECT_THAT(MissingKitFiles(), IsEmpty()) << "entering mode " << mode << " at width " << layout.width;
        view = run.View();
        ASSERT_NE(view, nullptr);
    }
}

// The battle screen's pictures, as it names them on a screen of each width:
// its sprites, buttons and flags for every clan that fights, every unit set
// of those clans, and the portrait of every general the world file holds.
TEST_P(KitCompleteness, BattleScreenFindsItsPictures) {
    const Layout layout = GetParam();
    const std::string kit = std::getenv("VELMOR_KIT") ? std::getenv("VELMOR_KIT") : "";
    const std::string pictures = kit + "\\Pictures\\";
    std::vector<std::string> clans;
    for (int c = UnitSets::kFirstBattleClan; c <= UnitSets::kLastBattleClan; ++c) clans.push_back(kClanNames[c]);

    std::vector<std::string> names = BattlePictureNames(layout.width, clans);
    for (const std::string& clan : clans) {
        for (const UnitSets::Spec& s : UnitSets::kSets) names.push_back("Unit Sets\\" + clan + s.suffix);
        names.push_back("Unit Sets\\" + clan + UnitSets::kDot.suffix);
    }
    CWorldLists world;
    CFile file;
    ASSERT_TRUE(file.Open((kit + "\\Data\\Default.STE").c_str(), CFile::modeRead));
    {
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
    }
    ASSERT_GT(world.persons.GetCount(), 0);
    for (POSITION pos = world.persons.GetHeadPosition(); pos;)
        names.push_back(std::string("Portrait\\") + world.persons.GetPerson(pos)->text3.GetString());

    std::vector<std::string> missing;
    for (const std::string& name : names)
        if (!AfxPathExists((pictures + name + ".giz").c_str())) missing.push_back(name);
    EXPECT_THAT(missing, IsEmpty()) << "at width " << layout.width;
}

// Every picture a screen names below the Pictures folder, missing ones listed.
std::vector<std::string> MissingPictures(const std::vector<std::string>& names) {
    const std::string kit = std::getenv("VELMOR_KIT") ? std::getenv("VELMOR_KIT") : "";
    std::vector<std::string> missing;
    for (const std::string& name : names)
        if (!AfxPathExists((kit + "\\Pictures\\" + name + ".giz").c_str())) missing.push_back(name);
    return missing;
}

// The tactic screen's pictures for a side of every clan, and the card of
// every formation id it may show, the castle for ids without one.
TEST_P(KitCompleteness, TacticScreenFindsItsPictures) {
    const int width = GetParam().width;
    std::vector<std::string> clans(std::begin(kClanNames) + 1, std::end(kClanNames));
    std::vector<std::string> names = TacticPictureNames(width, clans);
    for (int id : {-1, 3, 91, 92, 102, 103, 122})
        names.push_back(TacticFormationFile(width, TacticFormationPictureName(id)));
    EXPECT_THAT(MissingPictures(names), IsEmpty()) << "at width " << width;
    EXPECT_STREQ(TacticFormationPictureName(91), kTacticDefaultFormation);
    EXPECT_STREQ(TacticFormationPictureName(93), "Fish Formation");
}

// The battle's dialogs and popups for armies of every clan: the popup of
// every message id, the home clan's unit icons without a prefix.
TEST_P(KitCompleteness, DialogsFindTheirPictures) {
    std::vector<std::string> clans(std::begin(kClanNames) + 1, std::end(kClanNames));
    std::vector<std::string> names = DialogPictureNames(clans);
    for (int id = 0; id < kPopupMessageCount; ++id) names.push_back(kPopupBackgrounds[PopupKind(id)]);
    EXPECT_THAT(MissingPictures(names), IsEmpty()) << "at width " << GetParam().width;
    EXPECT_EQ(UnitIconName("Velmor", "Cavalry"), "Icon Cavalry");
    EXPECT_EQ(UnitIconName("Karsin", "Cavalry"), "Icon Karsin Cavalry");
    EXPECT_EQ(PopupKind(56), 0);
    EXPECT_EQ(PopupKind(-1), 0);
}

// The campaign's endings as the end screens name them on a screen of each
// width: every end stage's picture and its text, and the credits.
TEST_P(KitCompleteness, EndScreensFindTheirPictures) {
    const int width = GetParam().width;
    std::vector<std::string> names = {"end screens\\credits"};
    for (int stage = CCampaign::kFirstEndStage; stage <= CCampaign::kLastEndStage; ++stage) {
        const std::string stem = CCampaign::GetBattleDescriptionFile(stage, 1).GetString();
        ASSERT_FALSE(stem.empty()) << stage;
        names.push_back(stem + (width < 1280 ? "_1024" : ""));
        names.push_back(stem + "_text");
    }
    EXPECT_THAT(MissingPictures(names), IsEmpty()) << "at width " << width;
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, KitCompleteness,
                         ::testing::Values(Layout{{1024, 768, 32}, 1024}, Layout{{1280, 1024, 32}, 1280}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
