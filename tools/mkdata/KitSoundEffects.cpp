// The battle's sound effects, synthesised at 11,025 Hz as their "11h" names
// say: marching feet and hooves, the clash of a melee, bows and muskets, and
// the drum, conch and bell signals that acknowledge orders. The ambient
// loops are rendered round a circle so that they repeat without a seam.
#include <array>
#include <functional>
#include <map>
#include <string>

#include "Animate/SoundNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/SoundSynth.h"

namespace {
constexpr int kRate = 11025;

// Taiko pitches: the big drum of the signals and a smaller one.
constexpr float kBigDrum = 62.0f;
constexpr float kDrum = 88.0f;

typedef std::function<void(CSynthTrack&, CSynthNoise&)> Recipe;

// Soldiers on the march: each takes a step every half stride, most of them
// roughly in step; the strides divide the loop, so the tread is even across
// the seam.
void March(CSynthTrack& t, CSynthNoise& n, int soldiers, int stridesPerLoop, float weight) {
    const double stride = t.Seconds() / stridesPerLoop;
    for (int s = 0; s < soldiers; ++s) {
        const bool inStep = s % 4 != 3;
        const double offset = inStep ? n.Range(-0.035f, 0.035f) : n.Range(0.0f, (float)stride);
        const float gain = n.Range(0.4f, 1.0f);
        for (int k = 0; k < stridesPerLoop * 2; ++k)
            t.Mix(offset + k * stride / 2 + n.Range(-0.015f, 0.015f), Synth::Step(kRate, weight, n), gain);
    }
}

// Horses: four hoofbeats a stride at a walk, a three-beat gallop.
void Hooves(CSynthTrack& t, CSynthNoise& n, int horses, int stridesPerLoop, bool gallop) {
    const double stride = t.Seconds() / stridesPerLoop;
    const double walk[] = {0.0, 0.27, 0.5, 0.77};
    const double canter[] = {0.0, 0.12, 0.24};
    for (int h = 0; h < horses; ++h) {
        const double offset = n.Range(0.0f, (float)stride);
        const float pitch = n.Range(700, 1150);
        const float gain = n.Range(0.5f, 1.0f);
        for (int k = 0; k < stridesPerLoop; ++k) {
            const int beats = gallop ? 3 : 4;
            for (int b = 0; b < beats; ++b) {
                const double at = offset + k * stride + (gallop ? canter[b] : walk[b]) * stride +
                                  n.Range(-0.01f, 0.01f);
                t.Mix(at, Synth::Hoof(kRate, pitch * n.Range(0.95f, 1.05f), n), gain);
            }
        }
    }
}

// A bed of overlapping grains: a crowd or a rumble that never stops.
void Bed(CSynthTrack& t, CSynthNoise& n, int grains, float gain, bool crowd, float brightness) {
    const double len = t.Seconds() * 2.0 / grains * 1.5;
    for (int g = 0; g < grains; ++g) {
        const double at = t.Seconds() * g / grains;
        t.Mix(at, crowd ? Synth::Crowd(kRate, (float)len, brightness, n) : Synth::Rumble(kRate, (float)len, n), gain);
    }
}

void Melee(CSynthTrack& t, CSynthNoise& n, int clashes, int knocks) {
    for (int i = 0; i < clashes; ++i) t.Mix(n.Range(0, (float)t.Seconds()), Synth::Clash(kRate, n), n.Range(0.4f, 0.9f));
    for (int i = 0; i < knocks; ++i)
        t.Mix(n.Range(0, (float)t.Seconds()), Synth::Knock(kRate, n.Range(450, 800), n), n.Range(0.3f, 0.6f));
}

// A run of drum strokes: (time, pitch, gain) each.
void Strokes(CSynthTrack& t, CSynthNoise& n, std::initializer_list<std::array<float, 3>> strokes) {
    for (const auto& s : strokes) t.Mix(s[0], Synth::Taiko(kRate, s[1], 0.28f, n), s[2]);
}

struct Effect {
    double seconds;
    bool loop;
    Recipe recipe;
};

const std::map<int, Effect>& Effects() {
    static const std::map<int, Effect> effects = {
        {0, {3.0, true, [](CSynthTrack& t, CSynthNoise& n) { Hooves(t, n, 5, 3, false); Bed(t, n, 4, 0.25f, false, 1); }}},
        {1, {3.0, true, [](CSynthTrack& t, CSynthNoise& n) { Hooves(t, n, 9, 6, true); Bed(t, n, 6, 0.5f, false, 1); }}},
        {5, {4.0, true,
             [](CSynthTrack& t, CSynthNoise& n) {
                 Bed(t, n, 6, 0.35f, true, 1.0f);
                 Melee(t, n, 14, 8);
             }}},
        {6, {4.0, true,
             [](CSynthTrack& t, CSynthNoise& n) {
                 Bed(t, n, 8, 0.45f, true, 1.3f);
                 Bed(t, n, 4, 0.4f, false, 1);
                 Melee(t, n, 30, 14);
             }}},
        {7, {0.9, false, [](CSynthTrack& t, CSynthNoise& n) { t.Mix(0.01, Synth::Bow(kRate, n), 1.0f); }}},
        {8, {1.8, false,
             [](CSynthTrack& t, CSynthNoise& n) {
                 for (int i = 0; i < 16; ++i) t.Mix(0.01 + n.Range(0, 0.7f), Synth::Bow(kRate, n), n.Range(0.4f, 1.0f));
             }}},
        // The conch calls the ranks into formation: short, then long.
        {9, {1.9, false,
             [](CSynthTrack& t, CSynthNoise& n) {
                 t.Mix(0.01, Synth::Conch(kRate, 196, 0.45f, n), 0.8f);
                 t.Mix(0.6, Synth::Conch(kRate, 220, 1.2f, n), 1.0f);
             }}},
        // Move: one conch call.
        {10, {1.1, false, [](CSynthTrack& t, CSynthNoise& n) { t.Mix(0.01, Synth::Conch(kRate, 233, 1.0f, n), 1.0f); }}},
        // Move, second voice: two drum strokes.
        {11, {1.2, false, [](CSynthTrack& t, CSynthNoise& n) { Strokes(t, n, {{0.01f, kDrum, 1}, {0.4f, kDrum, 0.9f}}); }}},
        // Attack: two rising conch blasts over the drum.
        {13, {2.2, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  Strokes(t, n, {{0.01f, kBigDrum, 1}});
                  t.Mix(0.05, Synth::Conch(kRate, 220, 0.6f, n), 0.8f);
                  t.Mix(0.75, Synth::Conch(kRate, 262, 1.3f, n), 0.9f);
              }}},
        // All-out attack: a quickening roll and a long, high blast.
        {14, {2.8, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  double at = 0.01, gap = 0.22;
                  for (int i = 0; i < 10; ++i, at += gap, gap *= 0.85)
                      t.Mix(at, Synth::Taiko(kRate, kDrum, 0.2f, n), 0.55f + 0.045f * i);
                  t.Mix(1.0, Synth::Conch(kRate, 294, 1.7f, n), 0.9f);
              }}},
        // Defense: three slow, heavy strokes.
        {15, {2.4, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  Strokes(t, n, {{0.01f, kBigDrum, 1}, {0.7f, kBigDrum, 1}, {1.4f, kBigDrum * 0.9f, 1}});
              }}},
        // Stand ground: one long, low call, closed by the drum.
        {16, {2.3, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  t.Mix(0.01, Synth::Conch(kRate, 175, 1.5f, n), 1.0f);
                  Strokes(t, n, {{1.55f, kBigDrum, 1}});
              }}},
        // Regroup: strokes in pairs.
        {17, {2.1, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  Strokes(t, n, {{0.01f, kDrum, 1}, {0.2f, kDrum, 0.8f}, {0.8f, kDrum, 1}, {0.99f, kDrum, 0.8f}});
              }}},
        // Retreat: the bell.
        {18, {2.6, false,
              [](CSynthTrack& t, CSynthNoise&) {
                  for (int i = 0; i < 3; ++i) t.Mix(0.01 + 0.55 * i, Synth::Bell(kRate, 520, 1.6f), 1.0f - 0.15f * i);
              }}},
        {19, {3.0, true,
              [](CSynthTrack& t, CSynthNoise& n) {
                  March(t, n, 14, 4, 0.6f);
                  for (int i = 0; i < 10; ++i)
                      t.Mix(n.Range(0, 3), Synth::Knock(kRate, n.Range(900, 1400), n), 0.15f);  // armour
              }}},
        {21, {2.6, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  for (int i = 0; i < 9; ++i) t.Mix(0.01 + n.Range(0, 0.9f), Synth::Musket(kRate, n), n.Range(0.5f, 1.0f));
              }}},
        {22, {3.0, true,
              [](CSynthTrack& t, CSynthNoise& n) {
                  March(t, n, 12, 4, 0.45f);
                  for (int i = 0; i < 18; ++i)
                      t.Mix(n.Range(0, 3), Synth::Knock(kRate, n.Range(450, 700), n), n.Range(0.3f, 0.6f));  // shafts
              }}},
        // The war drum that lifts morale.
        {24, {2.6, false,
              [](CSynthTrack& t, CSynthNoise& n) {
                  Strokes(t, n, {{0.01f, kBigDrum, 1}, {0.45f, kDrum, 0.6f}, {0.9f, kBigDrum, 1}, {1.12f, kBigDrum, 1}});
                  t.Mix(0.68, Synth::Rim(kRate, n), 0.4f);
              }}},
    };
    return effects;
}
}  // namespace

KIT_GENERATOR(SoundEffects) {
    for (const SoundFileName& e : kBattleEffects) {
        const Effect& effect = Effects().at(e.id);
        CSynthTrack track(kRate, effect.seconds, effect.loop);
        CSynthNoise noise(0x5EED0000u + (uint32_t)e.id * 7919u);
        effect.recipe(track, noise);
        kit.WriteBytes(std::string("Sound\\") + e.file, track.ToWaveFile(effect.loop ? 0.7f : 0.85f));
    }
}

// The cows that stand in for the arrows: one call, and a small herd
// answering each other. Their names carry no "11h", so they are 22,050 Hz.
KIT_GENERATOR(CowEffects) {
    constexpr int rate = 22050;
    for (const SoundFileName& e : kCowEffects) {
        const bool herd = e.id == 8;
        CSynthTrack track(rate, herd ? 3.2 : 1.7, false);
        CSynthNoise noise(0xC0C0A000u + (uint32_t)e.id);
        if (herd) {
            const float starts[] = {0.01f, 0.45f, 1.0f, 1.5f};
            const float pitches[] = {118, 96, 134, 104};
            for (int i = 0; i < 4; ++i) {
                const float gain = noise.Range(0.6f, 1.0f);
                const float seconds = noise.Range(1.2f, 1.6f);
                track.Mix(starts[i], Synth::Moo(rate, pitches[i], seconds, noise), gain);
            }
        } else {
            track.Mix(0.01, Synth::Moo(rate, 112, 1.6f, noise), 1.0f);
        }
        kit.WriteBytes(std::string("Sound\\") + e.file, track.ToWaveFile(0.85f));
    }
}
