// The data kit's sound synthesiser: a few instruments of the period (taiko
// and shime drums, a shakuhachi-like flute, a koto-like plucked string, the
// conch horn, a temple bell) and the noises of a battle (feet, hooves, steel,
// bows, muskets, a crowd), written into a track of floating-point samples.
//
// A track may be a loop: then every sound that runs past its end continues
// from its start, so the loop has no seam and no click. All randomness comes
// from the caller's seeded CSynthNoise, so a track is the same on every run.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/afx/AfxTypes.h"

// A small seeded generator for noise and for choices (xorshift).
class CSynthNoise {
public:
    explicit CSynthNoise(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [-1, 1).
    float White() { return (float)((int32_t)Next()) * (1.0f / 2147483648.0f); }
    // Uniform in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * (float)(Next() >> 8) * (1.0f / 16777216.0f); }
    // 0 .. n - 1.
    int Pick(int n) { return (int)(Next() % (uint32_t)n); }

private:
    uint32_t m_state;
};

class CSynthTrack {
public:
    CSynthTrack(int rate, double seconds, bool loop);

    int Rate() const { return m_rate; }
    double Seconds() const { return (double)m_samples.size() / m_rate; }
    size_t Size() const { return m_samples.size(); }

    // Adds `value` at sample `index`: wrapped around in a loop, dropped past
    // the end of a single sound.
    void Add(int64_t index, float value);
    // Adds a sound of `samples` starting at time `t` (seconds).
    void Mix(double t, const std::vector<float>& samples, float gain);

    // The track as a 16-bit mono wave file, scaled so that its loudest
    // sample reaches `peak` of full scale; a single sound fades out over its
    // last 20 ms so it ends at silence.
    std::vector<BYTE> ToWaveFile(float peak);

private:
    int m_rate;
    bool m_loop;
    std::vector<float> m_samples;
};

// Each instrument returns one sound at the given sample rate, starting and
// ending at silence; `noise` supplies its randomness.
namespace Synth {
// A large drum: pitch falling to `pitch`, with the stick's knock.
std::vector<float> Taiko(int rate, float pitch, float decaySeconds, CSynthNoise& noise);
// The rim of the drum (the "ka" of a pattern).
std::vector<float> Rim(int rate, CSynthNoise& noise);
// A breathy end-blown flute note with a slide into pitch and a vibrato.
std::vector<float> Flute(int rate, float pitch, float seconds, CSynthNoise& noise);
// A plucked string (the decay follows the pitch, as on a koto).
std::vector<float> Koto(int rate, float pitch, float seconds, CSynthNoise& noise);
// A conch-shell horn blast, rising into `pitch`.
std::vector<float> Conch(int rate, float pitch, float seconds, CSynthNoise& noise);
// A struck bronze bell.
std::vector<float> Bell(int rate, float pitch, float seconds);
// Two blades meeting.
std::vector<float> Clash(int rate, CSynthNoise& noise);
// A foot on earth; `weight` 0..1 darkens and lengthens it.
std::vector<float> Step(int rate, float weight, CSynthNoise& noise);
// A hoof: a knock on hard ground and its thud.
std::vector<float> Hoof(int rate, float pitch, CSynthNoise& noise);
// A wooden shaft knocking against another.
std::vector<float> Knock(int rate, float pitch, CSynthNoise& noise);
// A bow's release: the string's twang and the arrow's flight.
std::vector<float> Bow(int rate, CSynthNoise& noise);
// A musket shot with its echo.
std::vector<float> Musket(int rate, CSynthNoise& noise);
// A swell of many voices and movement, `seconds` long.
std::vector<float> Crowd(int rate, float seconds, float brightness, CSynthNoise& noise);
// Low rumble of many feet or hooves, `seconds` long.
std::vector<float> Rumble(int rate, float seconds, CSynthNoise& noise);
// A cow's low, closed-mouth call: a hummed onset opening into a vowel that
// swells and sags in pitch around `pitch`.
std::vector<float> Moo(int rate, float pitch, float seconds, CSynthNoise& noise);
}  // namespace Synth
