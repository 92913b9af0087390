// The game's music: short pieces for taiko, a shakuhachi-like flute and a
// koto-like string in a pentatonic mode, each written as a loop of whole
// bars (the last notes ring on into the first bar) so that a piece repeats
// without a seam. Mono, 22,050 Hz.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Animate/SoundNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/SoundSynth.h"

namespace {
constexpr int kRate = 22050;

enum Style { kStately, kCalm, kBattle, kVictory, kLament };

struct Piece {
    const char* file;
    Style style;
    int bpm;
    int bars;
    bool yo;      // the bright mode; otherwise the dark one with half steps
    float root;   // Hz
    uint32_t seed;
};

const Piece kPieces[] = {
    {kIntroMusic, kStately, 76, 8, false, 146.83f, 101},
    {kWorldMapMusic[0], kCalm, 84, 8, true, 164.81f, 201},
    {kWorldMapMusic[1], kCalm, 92, 8, false, 174.61f, 202},
    {kWorldMapMusic[2], kCalm, 80, 8, true, 146.83f, 203},
    {kWorldMapMusic[3], kCalm, 88, 8, false, 130.81f, 204},
    {kBattleMusic[0], kBattle, 132, 12, false, 146.83f, 301},
    {kBattleMusic[1], kBattle, 144, 12, false, 164.81f, 302},
    {kBattleMusic[2], kBattle, 126, 12, false, 138.59f, 303},
    {kBattleMusic[3], kBattle, 138, 12, false, 155.56f, 304},
    {kBattleMusic[4], kBattle, 120, 10, true, 146.83f, 305},
    {kVictoryMusic, kVictory, 100, 9, true, 174.61f, 401},
    {kDefeatMusic[0], kLament, 64, 6, false, 146.83f, 501},
    {kDefeatMusic[1], kLament, 58, 6, false, 130.81f, 502},
};

class CComposer {
public:
    CComposer(const Piece& p) : m_piece(p), m_noise(p.seed), m_beat(60.0 / p.bpm) {}

    std::vector<BYTE> Write() {
        CSynthTrack track(kRate, m_beat * 4 * m_piece.bars, true);
        Drums(track);
        Strings(track);
        Flute(track);
        return track.ToWaveFile(0.8f);
    }

private:
    // Scale degree to frequency: five degrees an octave, 0 the root.
    float Pitch(int degree) const {
        static const int in[] = {0, 1, 5, 7, 8};
        static const int yo[] = {0, 2, 5, 7, 9};
        int octave = degree >= 0 ? degree / 5 : -((4 - degree) / 5);
        int step = degree - octave * 5;
        int semis = octave * 12 + (m_piece.yo ? yo : in)[step];
        return m_piece.root * (float)std::pow(2.0, semis / 12.0);
    }
    // The time of beat `beat` of bar `bar`, a little off the grid as a
    // player would be.
    double At(int bar, double beat) { return (bar * 4 + beat) * m_beat + m_noise.Range(-0.006f, 0.006f); }
    void Drum(CSynthTrack& t, double at, float pitch, float decay, float gain) {
        t.Mix(at, Synth::Taiko(kRate, pitch, decay, m_noise), gain);
    }
    void Pluck(CSynthTrack& t, double at, int degree, float gain) {
        t.Mix(at, Synth::Koto(kRate, Pitch(degree), 1.8f, m_noise), gain);
    }
    // The chord root of each bar: home at the start and the end of the
    // loop, wandering in between.
    int ChordRoot(int bar) {
        if (bar == 0 || bar == m_piece.bars - 1) return 0;
        static const int roots[] = {0, 3, 2, -1, 1};
        return roots[(bar * 7 + (int)m_piece.seed) % 5];
    }

    void Drums(CSynthTrack& t) {
        const int bars = m_piece.bars;
        for (int b = 0; b < bars; ++b) {
            switch (m_piece.style) {
                case kStately:
                    Drum(t, At(b, 0), 55, 0.5f, 1.0f);
                    if (b % 2) Drum(t, At(b, 2), 75, 0.3f, 0.6f);
                    if (b == bars - 1)  // a roll that leads back to the top
                        for (int i = 0; i < 8; ++i) Drum(t, At(b, 2 + i * 0.25), 80, 0.15f, 0.3f + 0.06f * i);
                    break;
                case kCalm:
                    if (b % 2 == 0) Drum(t, At(b, 0), 70, 0.35f, 0.45f);
                    if (b % 2 == 1) t.Mix(At(b, 3), Synth::Rim(kRate, m_noise), 0.2f);
                    break;
                case kBattle: {
                    if (b % 4 == 3) {  // a fill every fourth bar
                        for (int i = 0; i < 8; ++i) Drum(t, At(b, i * 0.5), 85, 0.18f, 0.55f + 0.05f * i);
                        for (int i = 0; i < 4; ++i) Drum(t, At(b, 2 + i * 0.5 + 0.25), 95, 0.12f, 0.5f);
                        break;
                    }
                    const float don[] = {1.0f, 0, 0, 0.8f, 1.0f, 0, 0.7f, 0};
                    for (int i = 0; i < 8; ++i) {
                        if (don[i] > 0) Drum(t, At(b, i * 0.5), 60, 0.3f, don[i]);
                        if (i == 2 || i == 7) t.Mix(At(b, i * 0.5), Synth::Rim(kRate, m_noise), 0.35f);
                        if (i % 2) Drum(t, At(b, i * 0.5), 210, 0.06f, 0.22f);  // the small drum
                    }
                    break;
                }
                case kVictory:
                    Drum(t, At(b, 0), 65, 0.3f, 0.8f);
                    Drum(t, At(b, 2), 65, 0.3f, 0.7f);
                    Drum(t, At(b, 3), 80, 0.2f, 0.5f);
                    Drum(t, At(b, 3.5), 80, 0.2f, 0.6f);
                    t.Mix(At(b, 1), Synth::Rim(kRate, m_noise), 0.25f);
                    break;
                case kLament:
                    if (b % 2 == 0) Drum(t, At(b, 0), 50, 0.6f, 0.4f);
                    break;
            }
        }
    }

    void Strings(CSynthTrack& t) {
        for (int b = 0; b < m_piece.bars; ++b) {
            const int r = ChordRoot(b);
            Pluck(t, At(b, 0), r - 5, 0.45f);  // the low string on the downbeat
            switch (m_piece.style) {
                case kStately: {
                    const int up[] = {0, 2, 3, 5};
                    for (int i = 0; i < 4; ++i) Pluck(t, At(b, i), r + up[i], 0.32f);
                    break;
                }
                case kCalm: {
                    const int figure[] = {0, 2, 4, 5, 4, 2, 3, 1};
                    for (int i = 0; i < 8; ++i) Pluck(t, At(b, i * 0.5), r + figure[i], i % 2 ? 0.2f : 0.28f);
                    break;
                }
                case kBattle: {
                    const int drive[] = {-5, -5, 0, -5, 1, -5, 0, 2};
                    for (int i = 0; i < 8; ++i) Pluck(t, At(b, i * 0.5), r + drive[i], i % 2 ? 0.25f : 0.33f);
                    break;
                }
                case kVictory: {
                    const int bright[] = {5, 7, 9, 7, 10, 9, 7, 5};
                    for (int i = 0; i < 8; ++i) Pluck(t, At(b, i * 0.5), r + bright[i], 0.24f);
                    break;
                }
                case kLament:
                    Pluck(t, At(b, 0), r, 0.3f);
                    Pluck(t, At(b, 2), r + 3, 0.25f);
                    break;
            }
        }
    }

    // Phrases of two bars on a wandering line, closing on the root an
    // octave up at the end of the loop.
    void Flute(CSynthTrack& t) {
        const bool battle = m_piece.style == kBattle;
        const int durations[] = {1, 1, 2, 2, 3, 4};
        int degree = 5;
        for (int bar = 0; bar + 1 < m_piece.bars; bar += 2) {
            const bool last = bar + 2 >= m_piece.bars;
            // Some phrases are left to the drums and strings.
            if (!last && ((battle && bar < 4) || m_noise.Pick(5) == 0)) continue;
            double beat = 0;
            const double phrase = 7.0;  // a breath at the end of the phrase
            while (beat < phrase) {
                double d = battle ? 2 + m_noise.Pick(3) : durations[m_noise.Pick(6)];
                if (beat + d > phrase) d = phrase - beat;
                const bool closing = last && beat + d >= phrase;
                if (closing) {
                    degree = 5;
                } else {
                    const int steps[] = {-2, -1, -1, 0, 1, 1, 2};
                    degree = std::clamp(degree + steps[m_noise.Pick(7)], 3, 10);
                }
                const float seconds = (float)std::max(0.3, d * m_beat * 0.95);
                t.Mix(At(bar, beat), Synth::Flute(kRate, Pitch(degree), seconds, m_noise), 0.3f);
                beat += d;
            }
        }
    }

    const Piece& m_piece;
    CSynthNoise m_noise;
    double m_beat;
};
}  // namespace

KIT_GENERATOR(Music) {
    for (const Piece& piece : kPieces)
        kit.WriteBytes(std::string("Sound\\Music\\") + piece.file, CComposer(piece).Write());
}
