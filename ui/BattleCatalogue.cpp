// The battle catalogue: every battle fought outside the campaign's own turn
// is named by a battle number, and SetupBattle turns that number into a
// loaded battle: its world (a battle's own scenario or the world file), the
// two clans, the clock at which it starts and the campaign year whose
// generals fight it.
#include <cstring>

#include "core/Random.h"
#include "core/WorldNames.h"
#include "shell/OrvaneView.h"

namespace {

struct CatalogueRow {
    int first, last;       // battle numbers the row covers
    const char* scenario;  // file in the data folder
    const char* clanB;
    int year, month, day, hour;  // the clock; every battle starts at minute 15
    int campaignYear;
};

// Rows of battles 2..55; clan A is always the player's house.
const CatalogueRow kRows[] = {
    {2, 2, "Default.STE", "Karsin", 1997, 10, 1, 6, 1572},
    {3, 3, "Default.STE", "Dorneth", 1997, 10, 1, 6, 1572},
    {4, 4, "Default.STE", "Lask", 1997, 10, 1, 6, 1572},
    {5, 5, "Default.STE", "Zem", 1997, 10, 1, 6, 1572},
    {6, 6, "Default.STE", "Wenmarch", 1997, 10, 1, 6, 1572},
    {7, 7, "Default.STE", "Sabe", 1997, 10, 1, 6, 1572},
    {8, 8, "Default.STE", "Quarnith", 1997, 10, 1, 6, 1572},
    {9, 9, "Sezawa.vmd", "Quarnith", 1970, 9, 10, 7, 1542},
    {10, 10, "Uehara.vmd", "Quarnith", 1970, 9, 25, 11, 1542},
    {11, 11, "Shiojinitouge.vmd", "Quarnith", 1976, 10, 25, 16, 1548},
    {12, 12, "Hayashi.vmd", "Quarnith", 1978, 9, 25, 18, 1550},
    {13, 13, "Temmokuzan.vmd", "Zem", 2010, 6, 15, 17, 1582},
    {14, 14, "Iwadono.vmd", "Wenmarch", 2003, 11, 10, 6, 1575},
    {15, 15, "Uedahara.vmd", "Quarnith", 1976, 9, 25, 11, 1548},
    {16, 18, "Kawanakajima.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {19, 19, "Katsurao.vmd", "Quarnith", 1981, 10, 1, 6, 1553},
    {20, 20, "Default.STE", "Quarnith", 1985, 10, 1, 6, 1557},
    {21, 21, "Default.STE", "Karsin", 1988, 9, 25, 13, 1560},
    {22, 22, "Default.STE", "Karsin", 1988, 5, 25, 5, 1560},
    {23, 23, "Kasugayamajo.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {24, 24, "Default.STE", "Dorneth", 1997, 4, 25, 11, 1569},
    {25, 25, "Brenmoor.vmd", "Lask", 1997, 10, 1, 6, 1569},
    {26, 26, "Mimasetoge.vmd", "Lask", 1997, 10, 6, 13, 1569},
    {27, 27, "Default.STE", "Lask", 1998, 4, 25, 11, 1569},
    {28, 28, "Default.STE", "Dorneth", 1997, 5, 15, 10, 1569},
    {29, 29, "Sunpu.vmd", "Dorneth", 1996, 9, 15, 8, 1568},
    {30, 30, "Default.STE", "Dorneth", 1997, 5, 25, 14, 1569},
    {31, 31, "Default.STE", "Wenmarch", 2003, 8, 25, 11, 1575},
    {32, 32, "Default.STE", "Wenmarch", 1997, 4, 15, 15, 1569},
    {33, 33, "Default.STE", "Wenmarch", 1997, 6, 15, 15, 1569},
    {34, 34, "Default.STE", "Wenmarch", 1997, 8, 25, 13, 1569},
    {35, 35, "Default.STE", "Wenmarch", 1997, 9, 25, 9, 1569},
    {36, 36, "Default.STE", "Wenmarch", 1997, 10, 15, 16, 1569},
    {37, 37, "Default.STE", "Wenmarch", 1997, 11, 15, 12, 1569},
    {38, 39, "Default.STE", "Wenmarch", 1998, 5, 15, 12, 1570},
    {40, 40, "Default.STE", "Wenmarch", 1998, 7, 15, 9, 1570},
    {41, 41, "Mikata ga Hara.vmd", "Wenmarch", 2000, 12, 22, 16, 1572},
    {42, 42, "Default.STE", "Wenmarch", 1998, 7, 15, 9, 1570},
    {43, 43, "Nagashino.vmd", "Zem", 2003, 5, 21, 6, 1575},
    {44, 47, "Default.STE", "Wenmarch", 1998, 7, 15, 9, 1570},
    {48, 48, "Default.STE", "Zem", 2000, 8, 15, 9, 1570},
    {49, 49, "Default.STE", "Zem", 2003, 9, 10, 6, 1575},
    {50, 50, "Gifu.vmd", "Zem", 2003, 9, 10, 6, 1575},
    {51, 51, "Sekigahara.vmd", "Sabe", 2028, 9, 15, 8, 1600},
    {52, 52, "Default.STE", "Zem", 2000, 9, 15, 12, 1570},
    {53, 54, "Default.STE", "Sabe", 2000, 9, 15, 12, 1570},
    {55, 55, "Anegawa.vmd", "Sabe", 1998, 10, 1, 6, 1570},
};
// The random and the tournament battles, and any number without a row.
constexpr int kRandomBattle = 56, kTournamentBattle = 57;
const CatalogueRow kOpenRow = {0, 0, "Default.STE", "", 2028, 12, 25, 8, 1572};
const CatalogueRow kTournamentRow = {0, 0, "", "", 2028, 12, 25, 8, 1600};
constexpr int kClockMinute = 15;

const CatalogueRow* FindRow(int battle) {
    for (const CatalogueRow& r : kRows)
        if (battle >= r.first && battle <= r.last) return &r;
    return nullptr;
}

// The name of clan 1..12, or null for a number the look-up does not have.
const char* ClanName(int clan) { return clan >= 1 && clan <= 12 ? kClanNames[clan] : nullptr; }

// One of the eight great houses, drawn on the counted generator.
const char* DrawClan() {
    int r = CountedRand();
    return kClanNames[r % 8 + 1];
}

// A drawn clan other than `other`.
const char* DrawOtherClan(const char* other) {
    const char* clan = DrawClan();
    while (std::strcmp(clan, other) == 0) clan = DrawClan();
    return clan;
}

// The cursor buttons of the after-battle screen.
struct ResultButton {
    int id;
    const char* picture;
    int x1024, y1024, xLarge, yLarge;
};
const ResultButton kOkButton = {1, "Cmb OK Med", 877, 686, 980, 956};
const ResultButton kStrengthButton = {2, "Cmb Velmor Strength", 877, 717, 1115, 956};

}  // namespace

BOOL COrvaneView::SetupBattle(int battleNumber, bool setSides, const char* scenarioPath) {
    COrvaneDoc* doc = GetDocument();
    if (!doc) return FALSE;
    CString file;
    const char* clanA = "";
    const char* clanB = "";
    if (scenarioPath) {
        // A shared scenario: both players' programs draw the same clock from
        // the synchronised stream.
        int day = StreamRand(-1) % 28 + 1;
        int month = StreamRand(-1) % 12 + 1;
        BattleClock = CGameTime(2028, month, day, 8, 0);
        doc->m_campaign.m_nYear = 1600;
        file = scenarioPath;
    } else {
        const CatalogueRow* row = FindRow(battleNumber);
        if (row) {
            clanA = kClanNames[1];
            clanB = row->clanB;
        } else if (battleNumber == kRandomBattle) {
            const char* own = ClanName(doc->GetRoster().SettingA);
            clanA = own ? own : kClanNames[1];
            clanB = DrawOtherClan(clanA);
            row = &kOpenRow;
        } else if (battleNumber == kTournamentBattle) {
            const char* own = ClanName(doc->GetRoster().TournamentClan);
            const char* other = ClanName(doc->GetRoster().TournamentOpponent);
            clanA = own ? own : DrawClan();
            clanB = other && std::strcmp(other, clanA) != 0 ? other : DrawOtherClan(clanA);
            row = &kTournamentRow;
        } else {
            clanA = DrawClan();
            clanB = DrawOtherClan(clanA);
            row = &kOpenRow;
        }
        BattleClock = CGameTime(row->year, row->month, row->day, row->hour, kClockMinute);
        doc->m_campaign.m_nYear = row->campaignYear;
        file = doc->GetDataPath() + row->scenario;
    }

    SingleCampaign = 0;
    if (!scenarioPath && battleNumber == kTournamentBattle) {
        if (doc->GetRoster().TournamentRestart) {
            if (!doc->SerializeWorldFile(doc->GetDataPath() + "Single Campaign Default.STE", false)) return FALSE;
            doc->RelinkWorld();
        } else if (!doc->SerializeGameFile("Single Campaign.SSV", false)) {
            return FALSE;
        }
        SingleCampaign = 1;
    } else if (!doc->SerializeWorldFile(file, false)) {
        return FALSE;
    }

    if (setSides) {
        const char* names[2] = {clanA, clanB};
        for (int side : {LocalSide, OtherSide}) {
            if (side < 0 || side > 1) return FALSE;
            BattleClans[side] = doc->m_nations.FindIDByName(names[side]);
        }
        if (BattleClans[LocalSide] < 0 || BattleClans[OtherSide] < 0) return FALSE;
    }

    // The formation lists report their own failure; the battle stands
    // without them.
    ReloadDefaultFormations("Default Formation Lists A.fed");
    return TRUE;
}

void COrvaneView::AddStrengthButton() {
    GetButtons().DeleteAll();
    PressedButton = -1;
    bool small = m_nScreenWidth <= 1024;
    AddCommandButton(kOkButton.id, kOkButton.picture, small ? kOkButton.x1024 : kOkButton.xLarge,
                     small ? kOkButton.y1024 : kOkButton.yLarge, TRUE, 32766);
    if (PlayKind == 2 || SingleCampaign)
        AddCommandButton(kStrengthButton.id, kStrengthButton.picture,
                         small ? kStrengthButton.x1024 : kStrengthButton.xLarge,
                         small ? kStrengthButton.y1024 : kStrengthButton.yLarge, TRUE, 32766);
    COrvaneDoc* doc = GetDocument();
    GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
}
