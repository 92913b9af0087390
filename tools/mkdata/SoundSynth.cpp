#include "platform/afx/Bytes.h"
#include "tools/mkdata/SoundSynth.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/WaveFormat.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;

// A two-pole resonator: a band of noise, or the ring of a struck body.
class CResonator {
public:
    CResonator(int rate, double freq, double bandwidth) { Tune(rate, freq, bandwidth); }
    void Tune(int rate, double freq, double bandwidth) {
        double r = std::exp(-M_PI * bandwidth / rate);
        m_b1 = 2.0 * r * std::cos(kTwoPi * freq / rate);
        m_b2 = -r * r;
        m_gain = 1.0 - r;
    }
    float Step(float x) {
        double y = m_gain * x + m_b1 * m_y1 + m_b2 * m_y2;
        m_y2 = m_y1;
        m_y1 = y;
        return (float)y;
    }

private:
    double m_b1 = 0, m_b2 = 0, m_gain = 1, m_y1 = 0, m_y2 = 0;
};

// A one-pole low-pass filter.
class CLowPass {
public:
    CLowPass(int rate, double cutoff) : m_a(1.0 - std::exp(-kTwoPi * cutoff / rate)) {}
    float Step(float x) {
        m_y += m_a * (x - m_y);
        return (float)m_y;
    }

private:
    double m_a;
    double m_y = 0;
};

size_t Length(int rate, double seconds) { return (size_t)std::max(1.0, std::round(seconds * rate)); }

// Makes every sound start and end at silence: a 1.5 ms rise, a 10 ms fall.
std::vector<float>& Finish(std::vector<float>& s, int rate) {
    const size_t rise = std::min(s.size() / 2, (size_t)(rate * 0.0015) + 1);
    const size_t fall = std::min(s.size() / 2, (size_t)(rate * 0.010) + 1);
    for (size_t i = 0; i < rise; ++i) s[i] *= (float)i / (float)rise;
    for (size_t i = 0; i < fall; ++i) s[s.size() - 1 - i] *= (float)i / (float)fall;
    return s;
}

// A Hann window over the whole sound (grains that overlap into a bed).
void Window(std::vector<float>& s) {
    const double n = (double)s.size();
    for (size_t i = 0; i < s.size(); ++i) s[i] *= (float)(0.5 - 0.5 * std::cos(kTwoPi * (double)i / n));
}

// A decaying sine partial added into `s`.
void Partial(std::vector<float>& s, int rate, double freq, double amp, double decay) {
    if (freq >= rate * 0.45) return;
    const double w = kTwoPi * freq / rate;
    const double k = std::exp(-1.0 / (decay * rate));
    double env = amp;
    for (size_t i = 0; i < s.size(); ++i, env *= k) s[i] += (float)(env * std::sin(w * (double)i));
}
}  // namespace

CSynthTrack::CSynthTrack(int rate, double seconds, bool loop)
    : m_rate(rate), m_loop(loop), m_samples(Length(rate, seconds), 0.0f) {}

void CSynthTrack::Add(int64_t index, float value) {
    const int64_t n = (int64_t)m_samples.size();
    if (m_loop) {
        index %= n;
        if (index < 0) index += n;
    } else if (index < 0 || index >= n) {
        return;
    }
    m_samples[(size_t)index] += value;
}

void CSynthTrack::Mix(double t, const std::vector<float>& samples, float gain) {
    const int64_t start = (int64_t)std::llround(t * m_rate);
    for (size_t i = 0; i < samples.size(); ++i) Add(start + (int64_t)i, samples[i] * gain);
}

std::vector<BYTE> CSynthTrack::ToWaveFile(float peak) {
    if (!m_loop) {
        const size_t fall = std::min(m_samples.size(), (size_t)(m_rate / 50));
        for (size_t i = 0; i < fall; ++i) m_samples[m_samples.size() - 1 - i] *= (float)i / (float)fall;
    }
    float loudest = 1e-9f;
    for (float v : m_samples) loudest = std::max(loudest, std::fabs(v));
    const float scale = peak * 32767.0f / loudest;
    std::vector<BYTE> out;
    out.reserve(m_samples.size() * 2);
    for (float v : m_samples) {
        long s = std::clamp(std::lround(v * scale), -32767L, 32767L);
        AfxPutLE16(out, uint16_t(int16_t(s)));
    }
    return MakeWaveFile(PcmFormat((DWORD)m_rate, 1, 16), out.data(), out.size());
}

namespace Synth {

std::vector<float> Taiko(int rate, float pitch, float decaySeconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, decaySeconds * 5.0 + 0.05));
    CLowPass knock(rate, 1800);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        // The skin is tight at the stroke and settles: the pitch falls.
        const double f = pitch * (1.0 + 0.7 * std::exp(-t / 0.025));
        phase += kTwoPi * f / rate;
        double body = std::sin(phase) * std::exp(-t / decaySeconds);
        body += 0.35 * std::sin(phase * 1.51) * std::exp(-t / (decaySeconds * 0.35));
        body += 0.5 * knock.Step(noise.White()) * std::exp(-t / 0.010);
        s[i] = (float)body;
    }
    return Finish(s, rate);
}

std::vector<float> Rim(int rate, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.12));
    CResonator wood(rate, 1700, 120), shell(rate, 820, 90);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const float hit = t < 0.004 ? noise.White() : 0.0f;
        s[i] = 14.0f * (wood.Step(hit) + 0.7f * shell.Step(hit));
    }
    return Finish(s, rate);
}

std::vector<float> Flute(int rate, float pitch, float seconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    CResonator breath(rate, pitch * 2.0, pitch * 0.6);
    double phase = 0;
    const double attack = 0.09, release = std::min(0.2, seconds * 0.3);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const double left = seconds - t;
        // The player bends up into the note, then a vibrato grows.
        const double vib = 0.012 * std::min(1.0, t / 0.6) * std::sin(kTwoPi * 5.3 * t);
        const double f = pitch * (1.0 - 0.05 * std::exp(-t / 0.06) + vib);
        phase += kTwoPi * f / rate;
        double env = std::min(1.0, t / attack) * std::min(1.0, left / release);
        env *= 0.85 + 0.15 * std::sin(M_PI * std::min(1.0, t / seconds));
        double tone = std::sin(phase) + 0.22 * std::sin(2 * phase) + 0.07 * std::sin(3 * phase);
        // Breath noise, strongest in the attack (the chiff).
        double air = breath.Step(noise.White()) * (0.15 + 1.0 * std::exp(-t / 0.04));
        s[i] = (float)(env * (tone + air));
    }
    return Finish(s, rate);
}

std::vector<float> Koto(int rate, float pitch, float seconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    // A plucked string: a delay line of one period with a soft low-pass in
    // its loop, read at a fractional position so the pitch is exact.
    // The averaging filter in the loop delays by half a sample: take it off.
    const double period = (double)rate / pitch - 0.5;
    const size_t size = (size_t)period + 3;
    std::vector<float> line(size, 0.0f);
    CLowPass pluck(rate, std::min(6000.0, pitch * 9.0));
    for (size_t i = 0; i < size; ++i) line[i] = pluck.Step(noise.White());
    // Loss per trip round the loop: the note halves in 0.25 s + 90 / pitch s.
    const double damping = std::pow(0.5, 1.0 / (pitch * (0.25 + 90.0 / pitch)));
    size_t w = 0;
    float prev = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double readPos = (double)w - period;
        while (readPos < 0) readPos += (double)size;
        const size_t r0 = (size_t)readPos % size;
        const size_t r1 = (r0 + 1) % size;
        const float frac = (float)(readPos - std::floor(readPos));
        const float out = line[r0] + (line[r1] - line[r0]) * frac;
        const float next = (float)(damping * 0.5 * (out + prev));
        prev = out;
        line[w] = next;
        w = (w + 1) % size;
        s[i] = out;
    }
    return Finish(s, rate);
}

std::vector<float> Conch(int rate, float pitch, float seconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    CLowPass wobble(rate, 12);
    double phase = 0;
    const double attack = 0.14, release = std::min(0.3, seconds * 0.3);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const double rough = wobble.Step(noise.White()) * 6.0;
        const double f = pitch * (0.93 + 0.07 * (1.0 - std::exp(-t / 0.12))) * (1.0 + 0.004 * std::sin(kTwoPi * 4.5 * t));
        phase += kTwoPi * f / rate;
        double v = 0;
        // A brassy spectrum with a bump of formant around 700 Hz.
        for (int k = 1; k * f < rate * 0.4 && k <= 16; ++k) {
            const double fk = k * f;
            const double a = std::pow(k, -1.4) * (1.0 + 1.6 * std::exp(-std::pow((fk - 700.0) / 450.0, 2)));
            v += a * std::sin(k * phase);
        }
        const double env = std::min(1.0, t / attack) * std::min(1.0, (seconds - t) / release);
        s[i] = (float)(env * v * (1.0 + 0.1 * rough));
    }
    return Finish(s, rate);
}

std::vector<float> Bell(int rate, float pitch, float seconds) {
    std::vector<float> s(Length(rate, seconds));
    const double ratios[] = {0.56, 1.0, 1.19, 1.5, 2.0, 2.74, 3.76, 5.4};
    const double amps[] = {0.6, 1.0, 0.5, 0.45, 0.4, 0.3, 0.2, 0.12};
    for (int k = 0; k < 8; ++k) Partial(s, rate, pitch * ratios[k], amps[k], seconds * 0.45 / (1.0 + k * 0.35));
    return Finish(s, rate);
}

std::vector<float> Clash(int rate, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.5));
    const double modes[] = {1420, 2310, 3170, 3890, 4730};
    for (int k = 0; k < 5; ++k) {
        const double f = modes[k] * noise.Range(0.88f, 1.12f);
        const float decay = noise.Range(0.06f, 0.22f), level = noise.Range(0.3f, 1.0f);
        Partial(s, rate, f, level, decay);
        Partial(s, rate, f * 1.004, 0.3, 0.1);  // a near twin: the blade beats
    }
    for (size_t i = 0; i < s.size() && i < (size_t)(rate * 0.004); ++i) s[i] += noise.White() * 1.5f;
    return Finish(s, rate);
}

std::vector<float> Step(int rate, float weight, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.22));
    CLowPass grit(rate, 1400.0 - 800.0 * weight);
    const double decay = 0.02 + 0.03 * weight;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const double scrape = grit.Step(noise.White()) * std::exp(-t / decay) * 2.0;
        const double thump = std::sin(kTwoPi * 80.0 * t) * std::exp(-t / 0.035) * (0.4 + weight);
        s[i] = (float)(scrape + thump);
    }
    return Finish(s, rate);
}

std::vector<float> Hoof(int rate, float pitch, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.16));
    CResonator shell(rate, pitch, 160);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const float hit = t < 0.003 ? noise.White() : 0.0f;
        const double thud = std::sin(kTwoPi * 95.0 * t) * std::exp(-t / 0.04);
        s[i] = (float)(16.0 * shell.Step(hit) + 0.8 * thud + 0.3 * noise.White() * std::exp(-t / 0.015));
    }
    return Finish(s, rate);
}

std::vector<float> Knock(int rate, float pitch, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.14));
    CResonator a(rate, pitch, 60), b(rate, pitch * 2.3, 110);
    for (size_t i = 0; i < s.size(); ++i) {
        const float hit = i < (size_t)(rate * 0.002) ? noise.White() : 0.0f;
        s[i] = 20.0f * (a.Step(hit) + 0.5f * b.Step(hit));
    }
    return Finish(s, rate);
}

std::vector<float> Bow(int rate, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 0.7));
    // The string's twang: a short, heavily damped pluck.
    std::vector<float> twang = Koto(rate, noise.Range(95, 125), 0.3f, noise);
    for (size_t i = 0; i < twang.size(); ++i) s[i] += twang[i] * (float)std::exp(-(double)i / (rate * 0.08));
    // The arrow's flight: a band of air sweeping down as it leaves.
    CResonator air(rate, 2400, 500);
    const double start = 0.03, flight = 0.45;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate - start;
        if (t < 0 || t > flight) continue;
        air.Tune(rate, std::min(rate * 0.4, 2400.0 - 1500.0 * t / flight), 500);
        s[i] += (float)(std::sin(M_PI * t / flight) * air.Step(noise.White()) * 3.0);
    }
    return Finish(s, rate);
}

std::vector<float> Musket(int rate, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, 1.3));
    CLowPass boom(rate, 260), echo(rate, 700);
    std::vector<float> dry(s.size(), 0.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const double crack = noise.White() * std::exp(-t / 0.005);
        const double body = boom.Step(noise.White()) * std::exp(-t / 0.13) * 6.0;
        const double drop = std::sin(kTwoPi * 55.0 * t) * std::exp(-t / 0.09);
        dry[i] = (float)(crack + body + 0.6 * drop);
    }
    // Two echoes off the hills, darker than the shot.
    const size_t d1 = (size_t)(rate * 0.31), d2 = (size_t)(rate * 0.58);
    for (size_t i = 0; i < s.size(); ++i) {
        float e = 0;
        if (i >= d1) e += 0.3f * dry[i - d1];
        if (i >= d2) e += 0.15f * dry[i - d2];
        s[i] = dry[i] + echo.Step(e);
    }
    return Finish(s, rate);
}

std::vector<float> Crowd(int rate, float seconds, float brightness, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    CResonator low(rate, 430, 260), high(rate, std::min(rate * 0.4, 1150.0 * brightness), 520);
    CLowPass swell(rate, 3);
    for (size_t i = 0; i < s.size(); ++i) {
        const float n = noise.White();
        const double level = 0.7 + 4.0 * swell.Step(noise.White());
        s[i] = (float)((low.Step(n) + 0.6 * high.Step(n)) * 3.0 * std::max(0.2, level));
    }
    Window(s);
    return s;
}

std::vector<float> Rumble(int rate, float seconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    CLowPass a(rate, 160), b(rate, 160);
    for (size_t i = 0; i < s.size(); ++i) s[i] = b.Step(a.Step(noise.White())) * 8.0f;
    Window(s);
    return s;
}

std::vector<float> Moo(int rate, float pitch, float seconds, CSynthNoise& noise) {
    std::vector<float> s(Length(rate, seconds));
    CResonator breath(rate, 900, 500);
    CLowPass wobble(rate, 6);
    double phase = 0;
    const double attack = 0.12, release = std::min(0.35, seconds * 0.3);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = (double)i / rate;
        const double x = t / seconds;
        // Up a little as the mouth opens, then a long sag to the end.
        const double bend = 1.0 + 0.22 * std::sin(M_PI * std::min(1.0, x * 1.8)) - 0.18 * x * x;
        const double f = pitch * bend * (1.0 + 0.02 * wobble.Step(noise.White()));
        phase += kTwoPi * f / rate;
        // The hum ("m") is dark; the vowel ("oo") brings formants near 300
        // and 750 Hz forward as the mouth opens.
        const double open = std::min(1.0, t / 0.25);
        double v = 0;
        for (int k = 1; k * f < rate * 0.4 && k <= 24; ++k) {
            const double fk = k * f;
            const double vowel = std::exp(-std::pow((fk - 300.0) / 160.0, 2)) +
                                 0.6 * std::exp(-std::pow((fk - 750.0) / 220.0, 2));
            const double a = std::pow(k, -1.1) * ((1.0 - open) * std::pow(k, -0.8) + open * (0.25 + 2.0 * vowel));
            v += a * std::sin(k * phase);
        }
        const double env = std::min(1.0, t / attack) * std::min(1.0, (seconds - t) / release);
        s[i] = (float)(env * (v + 0.08 * open * breath.Step(noise.White())));
    }
    return Finish(s, rate);
}

}  // namespace Synth
