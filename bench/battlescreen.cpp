// One frame of the battle screen at 1280 x 1024 on the data kit: two armies
// of the kit's clans on "A1M", brought up to 1,200 units with more men of
// their unit sets, every unit walking (its icon moved a few pixels and its
// frame stepped, as the battle step does), then the frame composed and
// presented through the window layer (headless). The units stand either
// spread over the whole field, as a battle has them, or all packed into
// the view, the worst a frame can meet. The goal is under 4 ms a frame with
// 1,200 moving units: "units", "frame us" and "time/4ms goal" are printed
// beside the times.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/KitField.h"
#include "platform/win/HeadlessDisplay.h"
#include "platform/win/Win.h"
#include "tests/support/BattleChoice.h"
#include "world/WorldLists.h"

namespace {

constexpr int kW = 1280, kH = 1024;
constexpr int kUnits = 1200;

struct BattleScreen {
    COrvaneView* view = nullptr;
    CWorldLists world;
    int units = 0;
    std::string error;

    BattleScreen() {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        const std::string data = bench::KitData();
        if (data.empty()) {
            error = "no data kit (VELMOR_KIT)";
            return;
        }
        // The game reads its folders relative to the kit's root.
        if (chdir((data + "..").c_str()) != 0) return;
        AfxResetMessageQueue();
        AfxSetDisplayBackend(std::make_unique<CHeadlessDisplay>(DisplayMode{kW, kH, 32}));
        CFile file;
        if (!file.Open("Data/Default.STE", CFile::modeRead)) {
            error = "no world file";
            return;
        }
        {
            CArchive ar(&file, CArchive::load);
            world.Serialize(ar);
        }
        view = new COrvaneView;
        view->m_nScreenWidth = kW;
        view->m_nScreenHeight = kH;
        CREATESTRUCT cs;
        view->CAnimView::PreCreateWindow(cs);
        view->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, kW, kH), nullptr, 0);
        CBattleChoice choice;
        choice.divisions = 15;
        choice.frontX[0] = 1250;
        choice.frontX[1] = 1750;
        choice.rowGap = 55;
        if (!ChooseBattle(*view, world.persons, "Data\\", choice, error)) return;
        view->ChangeMode(MODE_BATTLE);
        if (view->GameMode != MODE_BATTLE) {
            error = "the battle did not load";
            return;
        }
        // More men of the armies' own sets, in ranks, up to 1,200.
        CBattleState& battle = view->GetBattleState();
        for (int i = int(battle.unitIcons.size()); i < kUnits; ++i) {
            IUnitIcon* icon = view->MakeUnitIcon(i % 2, i % 3 == 0 ? 4 : 0, 1);
            if (!icon) break;
            icon->SetFrame(i % 8, i % 2 ? 6 : 2);
        }
        units = int(battle.unitIcons.size());
        view->ScrollBattleTo(1500, 1000);
    }
};

void BM_BattleFrame(benchmark::State& state) {
    // Made once and kept to the end of the program: the window layer's own
    // state is gone by the time static objects are destroyed.
    static BattleScreen& s = *new BattleScreen;
    if (!s.view || s.units == 0) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    CBattleState& battle = s.view->GetBattleState();
    // Ranks of 40 men 30 apart, over the field or inside the view.
    const bool packed = state.range(0) == 1;
    const CRect area = packed ? s.view->m_rcVisible : CRect(100, 100, 2900, 1900);
    const int columns = 40, rows = (s.units + columns - 1) / columns;
    for (int i = 0; i < s.units; ++i) {
        const int x = area.left + 10 + (i % columns) * (area.Width() - 40) / columns;
        const int y = area.top + 10 + (i / columns) * (area.Height() - 50) / rows;
        battle.unitIcons[size_t(i)]->MoveTo(x, y);
        battle.unitIcons[size_t(i)]->SetDepth(y + 16020);
    }
    s.view->ScrollBattleTo(1500, 1000);
    int frame = 0;
    double seconds = 0;
    for (auto _ : state) {
        ++frame;
        for (auto& link : battle.unitIcons) {
            CIcon* icon = link->Icon();
            link->MoveTo(icon->m_x + ((frame & 1) ? 2 : -2), icon->m_y + ((frame & 2) ? 1 : -1));
            link->SetFrame((icon->m_nPhaseColumn + 1) % 8, icon->m_nPhaseRow);
        }
        ++s.view->BattleFrame;
        auto t0 = std::chrono::steady_clock::now();
        s.view->DrawBattleScene();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double perFrame = seconds / double(state.iterations());
    state.counters["units"] = s.units;
    state.counters["visible icons"] = s.view->GetVisibleIcons().GetCount();
    state.counters["frame us"] = perFrame * 1e6;
    state.counters["time/4ms goal"] = perFrame / 4e-3;
    state.SetLabel(packed ? "1280x1024, A1M, all units in view" : "1280x1024, A1M, units over the field");
}
BENCHMARK(BM_BattleFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
