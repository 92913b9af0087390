#include "Animate/SoundManager.h"

#include "platform/win/WinApp.h"
#include "core/Helpers.h"

namespace {
// How loud an ambient loop is, in percent of the effects level, for the
// number of events counted in the last tick. The lowest step only keeps a
// loop going that already runs; it never starts one.
struct LoopStep {
    DWORD atLeast;
    int percent;
};
struct LoopRow {
    int id;
    int slot;
    DWORD full;  // this many events or more: 100 %
    LoopStep steps[3];
    LoopStep lowest;
};
const LoopRow kLoopTable[] = {
    {0, CSoundManager::kLoop0, 101, {{51, 96}, {26, 92}, {16, 88}}, {11, 88}},
    {1, CSoundManager::kLoop1, 31, {{24, 98}, {16, 97}, {11, 95}}, {6, 95}},
    {5, CSoundManager::kLoop5, 9, {{3, 95}, {0, 0}, {0, 0}}, {1, 95}},
    {6, CSoundManager::kLoop6, 26, {{16, 98}, {11, 95}, {0, 0}}, {7, 95}},
    {19, CSoundManager::kLoop19, 101, {{51, 96}, {26, 92}, {16, 88}}, {11, 88}},
    {22, CSoundManager::kLoop22, 201, {{76, 96}, {51, 92}, {26, 88}}, {19, 88}},
};

const LoopRow* FindLoop(int id) {
    for (const LoopRow& row : kLoopTable)
        if (row.id == id) return &row;
    return nullptr;
}

int LoopPercent(const LoopRow& row, DWORD events, DWORD running) {
    if (events >= row.full) return 100;
    for (const LoopStep& step : row.steps)
        if (step.atLeast && events >= step.atLeast) return step.percent;
    if (running > 0 && events >= row.lowest.atLeast) return row.lowest.percent;
    return 0;
}

bool IsRestartable(int id) { return (id >= 12 && id <= 18) || id == 21 || id == 24; }
}  // namespace

CSoundManager::~CSoundManager() {
    ClearBuffers();
    if (m_pDS) m_pDS->Release();
}

BOOL CSoundManager::Init(bool withDevice) {
    m_initialised = m_effectsOn = m_musicOn = FALSE;
    if (!m_pDS && FAILED(DirectSoundCreate(&m_pDS, withDevice))) {
        m_pDS = nullptr;
        ShowMessage("ERROR: Unable to create DxSound Object.");
        return FALSE;
    }
    if (!m_pDS->GetMixer() && FAILED(m_pDS->Initialize(nullptr))) {
        ShowMessage("ERROR: Unable to intialize DxSound Object.");
        return FALSE;
    }
    if (FAILED(m_pDS->SetCooperativeLevel(AfxGetMainWnd(), DSSCL_EXCLUSIVE))) {
        ShowMessage("ERROR: Unable to set cooperative level\n");
        return FALSE;
    }
    m_initialised = m_effectsOn = m_musicOn = TRUE;
    return TRUE;
}

void CSoundManager::AddBuffer(SDXSoundBuffer* buffer) {
    if (buffer) m_buffers.AddHead(buffer);
}

void CSoundManager::ClearBuffers() {
    while (!m_buffers.IsEmpty()) delete m_buffers.RemoveHead();
}

BOOL CSoundManager::Play(int id, DWORD flags, int volume, int pan) {
    if (!m_initialised) return FALSE;
    const int requestedVolume = volume;
    const int requestedPan = pan;
    pan = (pan < 0 ? 0 : pan > 20000 ? 20000 : pan) - 10000;
    volume -= 10000;

    SDXSoundBuffer* sound = FindBuffer(id == 12 ? 10 : id);
    if (!sound || !sound->GetBuffer()) return FALSE;
    IDirectSoundBuffer* buffer = sound->GetBuffer();
    DWORD status = 0;
    if (FAILED(buffer->GetStatus(&status))) return FALSE;

    if (status & DSBSTATUS_LOOPING) {
        // A switched-off class stays silent even when asked again.
        buffer->SetVolume(ClassOn(id) ? volume : DSBVOLUME_MIN);
        return TRUE;
    }
    if (status & DSBSTATUS_PLAYING) {
        switch (id) {
            case 7: return Play(8, flags, requestedVolume, requestedPan);
            case 9: return Play(10, flags, requestedVolume, requestedPan);
            case 10: return Play(11, flags, requestedVolume, requestedPan);
            case 8:
            case 11: return TRUE;
            default: break;
        }
        if (IsRestartable(id)) {
            LONG current = 0;
            DWORD position = 0;
            buffer->GetVolume(&current);
            buffer->GetCurrentPosition(&position, nullptr);
            DWORD bytes = buffer->GetBufferBytes();
            // Early in its play and at least as loud: leave it be.
            if ((uint64_t)position * 100 / bytes <= 85 && current >= volume) return TRUE;
            buffer->Stop();
            buffer->SetCurrentPosition(0);
        }
    }
    if (!ClassOn(id)) volume = DSBVOLUME_MIN;
    buffer->SetVolume(volume);
    buffer->SetPan(pan);
    if (volume != DSBVOLUME_MIN) sound->Play(flags);
    return TRUE;
}

BOOL CSoundManager::CountEvent(int id) {
    switch (id) {
        case 0: ++m_events[kLoop0]; return TRUE;
        case 1: ++m_events[kLoop1]; return TRUE;
        case 5:
            ++m_events[kLoop5];
            ++m_events[kLoop6];
            return TRUE;
        case 19: ++m_events[kLoop19]; return TRUE;
        case 22: ++m_events[kLoop22]; return TRUE;
        default: return FALSE;
    }
}

int CSoundManager::LoopVolume(int id) const {
    if (!ClassOn(id)) return DSBVOLUME_MIN;
    if (id == 26) return GetMusicLevel() - 10000;
    const LoopRow* row = FindLoop(id);
    int percent = row ? LoopPercent(*row, m_events[row->slot], m_running[row->slot]) : 0;
    return GetEffectsLevel() * percent / 100 - 10000;
}

void CSoundManager::ApplyLoopVolume(int id) {
    SDXSoundBuffer* sound = FindBuffer(id);
    if (!sound || !sound->GetBuffer()) return;
    IDirectSoundBuffer* buffer = sound->GetBuffer();
    const int volume = LoopVolume(id);
    buffer->SetVolume(volume);
    if (IsMusic(id)) {
        if (volume != DSBVOLUME_MIN) sound->Play(0);
        return;
    }
    const LoopRow* row = FindLoop(id);
    if (volume != DSBVOLUME_MIN) {
        sound->Play(DSBPLAY_LOOPING);
        if (row) ++m_running[row->slot];
    } else if (row) {
        // Silenced but left running; it counts as started afresh next time.
        m_running[row->slot] = 0;
    }
}

void CSoundManager::UpdateLoops() {
    if (!m_initialised) return;
    for (int id : {1, 0, 22, 19, 5, 6, 26}) ApplyLoopVolume(id);
    for (DWORD& count : m_events) count = 0;
}

void CSoundManager::SetLevels(int newEffectsLevel, int oldEffectsLevel, int musicLevel) {
    if (!m_initialised) return;
    m_words[2] = (DWORD)newEffectsLevel;
    m_words[3] = (DWORD)musicLevel;
    for (POSITION pos = m_buffers.GetHeadPosition(); pos;) {
        auto* sound = static_cast<SDXSoundBuffer*>(m_buffers.GetNext(pos));
        IDirectSoundBuffer* buffer = sound->GetBuffer();
        DWORD status = 0;
        if (!buffer || FAILED(buffer->GetStatus(&status)) || !(status & DSBSTATUS_PLAYING)) continue;
        const int id = sound->GetId();
        LONG current = 0;
        buffer->GetVolume(&current);
        current += 10000;
        int volume;
        if (!ClassOn(id)) {
            // A level change must not bring back a class the player switched off.
            volume = DSBVOLUME_MIN;
        } else if (IsMusic(id)) {
            volume = musicLevel - 10000;
        } else if (FindLoop(id)) {
            volume = LoopVolume(id);
        } else if (oldEffectsLevel == 0) {
            volume = newEffectsLevel - 10000;
        } else {
            volume = (int)((double)current / oldEffectsLevel * newEffectsLevel) - 10000;
        }
        buffer->SetVolume(volume);
        if (FindLoop(id) && volume == DSBVOLUME_MIN) {
            buffer->Stop();
            buffer->SetCurrentPosition(0);
        }
    }
}

void CSoundManager::RestartLoop(int newMusicLevel, int /*oldMusicLevel*/, int effectsLevel) {
    // Music takes its level directly; effects are rescaled from the level
    // they play at now.
    SetLevels(effectsLevel, GetEffectsLevel(), newMusicLevel);
}

void CSoundManager::EnableMusic(BOOL on) {
    m_musicOn = on;
    const int music = GetMusicLevel();
    SetLevels(GetEffectsLevel(), GetEffectsLevel(), on ? music : 0);
    m_words[3] = (DWORD)music;
}

void CSoundManager::EnableEffects(BOOL on) {
    m_effectsOn = on;
    const int effects = GetEffectsLevel();
    if (on)
        SetLevels(effects, 0, GetMusicLevel());
    else
        SetLevels(0, effects, GetMusicLevel());
    m_words[2] = (DWORD)effects;
}
