// The sound set of each mode: the music track and effects the mode plays,
// loaded under fixed sound identifiers.
#include "Animate/SoundNames.h"
#include "shell/OrvaneView.h"
#include "core/Random.h"

namespace {
// Static buffers with frequency, pan and volume control.
const DWORD kBufferFlags = 226;

// A choice among `count` tracks from the sound stream: 2 gives 1 or 2, 4
// gives 0..3, 5 gives 0..4. Music is one machine's business: without the
// stream the first track plays, and the battle's generator is never touched.
int ChooseTrack(int count) {
    int v = StreamIndex2 >= 0 ? StreamRand(StreamIndex2) : 0;
    switch (count) {
    case 2: return (v & 1) + 1;
    case 4: return v & 3;
    default: return v % count;
    }
}
}  // namespace

void COrvaneView::LoadModeSounds() {
    SoundManager.ClearBuffers();
    if (!SoundManager.IsInitialised()) return;
    COrvaneDoc* doc = GetDocument();
    CString sound = doc ? doc->GetSoundPath() : CString("Sound\\");
    CString music = sound + "Music\\";
    IDirectSound* ds = SoundManager.GetDirectSound();
    auto add = [&](const CString& file, int id) {
        // A sound that failed once is not loaded again: each mode reloads
        // its set, and a damaged file would say so every time.
        if (HasFailed(file)) return;
        if (!CFile::IsFile(file)) {
            ReportFailedFile(file, "The sound file");
            return;
        }
        auto* buffer = new SDXSoundBuffer(ds, file, id, TRUE, kBufferFlags);
        if (buffer->GetDataSize() == 0) {
            // The wave file has said what is wrong with it.
            m_failedFiles.insert(file.GetString());
            delete buffer;
            return;
        }
        SoundManager.AddBuffer(buffer);
    };
    switch (GameMode) {
    case MODE_LOGO:
    case MODE_INTRO:
    case MODE_DEMO_INTRO: add(music + kIntroMusic, kIntroMusicId); break;
    case MODE_WORLD_MAP: add(music + kWorldMapMusic[ChooseTrack(4)], kWorldMapMusicId); break;
    case MODE_OPTIONS: add(sound + kOptionsEffect.file, kOptionsEffect.id); break;
    case MODE_BATTLE:
        add(music + kBattleMusic[ChooseTrack(5)], kBattleMusicId);
        for (const SoundFileName& e : kBattleEffects) add(sound + e.file, e.id);
        break;
    case MODE_AFTER_BATTLE: {
        // Victory or defeat music by the outcome.
        int side = LocalSide >= 0 && LocalSide <= 1 ? LocalSide : 0;
        add(music + (SideResults[side].won ? kVictoryMusic : kDefeatMusic[ChooseTrack(2) - 1]), kAfterBattleMusicId);
        break;
    }
    case MODE_END_SCREENS: {
        // The victory music for the endings that crown the campaign (the
        // last of them only when its last battle was won), else one of the
        // two laments.
        int battle = 0, stage = 0;
        GetCampaignEndState(battle, stage);
        bool victory = stage == 14 || stage == 16 || stage == 17;
        if (stage == 24 && doc && !doc->m_campaign.m_lstHistory.IsEmpty())
            victory = static_cast<const CBattle*>(doc->m_campaign.m_lstHistory.GetTail())->flagB != 0;
        add(music + (victory ? kVictoryMusic : kDefeatMusic[ChooseTrack(2) - 1]), kEndScreenMusicId);
        break;
    }
    default: break;
    }
}

void COrvaneView::StartSound() {
    COrvaneDoc* doc = GetDocument();
    if (!SoundManager.Init()) return;
    if (!doc) return;
    SoundManager.SetLevels(doc->GetSoundVolume(), SoundManager.GetEffectsLevel(), doc->GetMusicVolume());
    SoundManager.EnableMusic(doc->GetFlagA());
    SoundManager.EnableEffects(doc->GetFlagB());
}

void COrvaneView::PlayModeSound(int id) {
    COrvaneDoc* doc = GetDocument();
    SoundManager.Play(id, 0, doc ? doc->GetSoundVolume() : 10000, 10000);
}
