// The campaign's end: the picture of the ending it reached fades in, the
// ending's text rises over it, and after the two great victories the text
// holds, the picture fades to black and the credits roll up the screen. The
// whole sequence runs inside RunEndScreens with its own timing; no input is
// read meanwhile, and the clicks made during it are thrown away at its end.
#include <algorithm>

#include "Animate/SoundNames.h"
#include "shell/OrvaneView.h"
#include "world/Campaign.h"

namespace {

// Waits until `ms` have passed since `start`, polling the message queue
// without taking anything from it (the display goes on meanwhile).
void WaitSince(DWORD start, DWORD ms) {
    MSG msg;
    while (GetTickCount() - start < ms) PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
}

constexpr DWORD kStepMs = 75;         // each row step of the rising text and the credits
constexpr DWORD kHoldMs = 20000;      // the text over the picture after a great victory
constexpr DWORD kHoldFrameMs = 40;    // the held picture does not change: a frame now and then
constexpr int kFadeFrames = 21;

bool GreatVictory(int stage) { return stage == 14 || stage == 16; }

}  // namespace

bool COrvaneView::IsShownEndStage(int stage) {
    return stage >= CCampaign::kFirstEndStage && stage <= CCampaign::kLastEndStage;
}

void COrvaneView::GetCampaignEndState(int& battle, int& stage) {
    // The campaign's progression names the ending as its next event: battle
    // 1 of an end stage. Until that progression is part of the game, the
    // stage the campaign stands in is its ending.
    const COrvaneDoc* doc = GetDocument();
    battle = 1;
    stage = doc ? doc->m_campaign.m_nStage : 0;
}

void COrvaneView::FadeEndPicture(bool in) {
    const int w = m_nScreenWidth, h = m_nScreenHeight;
    for (int k = 0; k < kFadeFrames; ++k) {
        const int i = in ? kFadeFrames - 1 - k : k;
        RedrawRect(nullptr, &GetIcons());
        if (CDIBSurface* buffer = GetBackBuffer()) buffer->BlendRect(RGB(0, 0, 0), i * 0.05, w, h, 0, 0);
        Render();
    }
}

// Moves `icon` up from `from` to `to` in steps of `step` rows, one step
// every 75 ms, redrawing `band` (or, without one, where the icon was and
// is) each step.
void COrvaneView::RollEndIcon(CIcon* icon, int x, int from, int to, int step, const CRect* band) {
    const CRect screen(0, 0, m_nScreenWidth, m_nScreenHeight);
    for (int y = from; y >= to; y -= step) {
        const DWORD start = GetTickCount();
        const CRect was = icon->GetRect();
        icon->SetPosition(x, y, FALSE);
        const CRect now = icon->GetRect();
        CRect area;
        area.UnionRect(&was, &now);
        if (band) area = *band;
        area &= screen;
        if (!area.IsRectEmpty()) {
            RedrawRect(&area, &GetIcons());
            Render(&area);
        }
        WaitSince(start, kStepMs);
    }
}

// A picture of the end screens as an icon of the view's own list; null
// when it cannot be loaded (its loader has said so).
CIcon* COrvaneView::AddEndIcon(const CString& name) {
    CSprite* sprite = LoadSpriteSet(name, TRUE, 0, 1, 1, -1);
    if (!sprite) return nullptr;
    return AddIcon(sprite, 0, 0, 0, TRUE, 0, 24, 40, 29, 42, &GetIcons());
}

BOOL COrvaneView::RunEndScreens() {
    while (::ShowCursor(FALSE) >= 0) {
    }
    auto showCursor = [] {
        while (::ShowCursor(TRUE) < 0) {
        }
    };
    m_bFullWindow = TRUE;
    GameMode = MODE_END_SCREENS;
    LoadModeSounds();

    COrvaneDoc* doc = GetDocument();
    int battle = 0, stage = 0;
    GetCampaignEndState(battle, stage);
    // Every end stage has its ending, the defeats and the victory in the
    // north among them: the campaign can end in any of them.
    if (!IsShownEndStage(stage)) {
        ShowMessage("Invalid end mode attained - stage %d", stage);
        showCursor();
        return FALSE;
    }
    const int w = m_nScreenWidth, h = m_nScreenHeight;
    const CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    const CString stem = pictures + CCampaign::GetBattleDescriptionFile(stage, battle);
    const CString endName = stem + (w < 1280 ? "_1024" : "") + ".giz";
    if (!LoadBackground(endName, FALSE, FALSE, FALSE)) {
        ReportFailedFile(endName, "The end picture");
        showCursor();
        return FALSE;
    }
    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    SoundManager.Play(kEndScreenMusicId, 1, doc ? doc->GetSoundVolume() : 10000, 10000);
    FadeEndPicture(true);

    // The text rises from its start row into the middle of the screen,
    // shown only above the start row; one shorter than the distance stays
    // at the start row.
    const int y0 = 823 * w / 1280;
    const CRect band(0, 200 * w / 1280, w, y0);
    if (CIcon* text = AddEndIcon(stem + "_text.giz")) {
        const int x = stage == 16 ? 100 * w / 1280 : (w - text->m_nWidth) / 2;
        const int yEnd = (h - text->m_nHeight) / 2;
        text->SetPosition(x, y0, TRUE);
        RollEndIcon(text, x, y0, yEnd, 5, &band);
    }

    if (GreatVictory(stage)) {
        const DWORD holdStart = GetTickCount();
        while (GetTickCount() - holdStart < kHoldMs) {
            const DWORD frame = GetTickCount();
            RedrawRect(nullptr, &GetIcons());
            Render();
            WaitSince(frame, kHoldFrameMs);
        }
        FadeEndPicture(false);
        GetBackground().BlendRect(RGB(0, 0, 0), 1.0, w, h, 0, 0);
        GetIcons().DeleteAll();
        GetSprites().DeleteAll();
        if (CIcon* credits = AddEndIcon(pictures + "end screens\\credits.giz")) {
            const int x = (w - credits->m_nWidth) / 2;
            const int yEnd = h / 2 - credits->m_nHeight;
            credits->SetPosition(x, h, TRUE);
            RollEndIcon(credits, x, h, yEnd, 3, nullptr);
        }
    }

    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    ClearDirtyRects();
    if (doc) doc->m_campaign.Reset();
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
    showCursor();
    return TRUE;
}
