// The publisher's logo movie shown at start-up: on washi paper an ink circle
// is brushed in one stroke, a vermilion seal is struck into it with a drum
// beat and a bell, the publisher's name rises, and all fades to black.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/mkdata/AviWriter.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/PictureFile.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 480, kHeight = 270, kFps = 15, kFrames = 50, kRate = 22050;
constexpr int kStrikeFrame = 24;  // the seal lands

double Ease(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return 1 - (1 - t) * (1 - t) * (1 - t);
}

// The circle brushed in one stroke: heavy where the brush lands, running
// dry toward its end, which stops short of closing.
void BrushCircle(cairo_t* cr, double cx, double cy, double r, double progress) {
    KitRandom rnd(77);
    const double start = -kPi * 0.62, sweep = 2 * kPi * 0.94;
    const int dabs = 900;
    for (int i = 0; i < dabs; ++i) {
        double t = double(i) / dabs;
        double jitter = rnd.Range(-1, 1), dry = rnd.Unit();
        if (t > progress) break;
        double a = start + sweep * t;
        double width = 15.0 * (1.0 - 0.5 * t) + 3.0 * std::sin(t * 9.0);
        double rr = r + 1.5 * std::sin(t * 5.0);
        // Dry brush: the bristles part toward the end of the stroke.
        if (t > 0.55 && dry < (t - 0.55) * 1.6) continue;
        cairo_arc(cr, cx + std::cos(a) * rr + jitter * 0.6, cy + std::sin(a) * rr, width / 2, 0, 2 * kPi);
        SetColour(cr, ink::Sumi, 0.10 + 0.12 * (1 - t));
        cairo_fill(cr);
    }
}

void Seal(cairo_t* cr, double cx, double cy, double size, double alpha) {
    cairo_save(cr);
    double h = size / 2, rad = size * 0.12;
    RoundedRect(cr, cx - h, cy - h, size, size, rad);
    SetColour(cr, ink::Vermilion, alpha);
    cairo_fill(cr);
    TextStyle st;
    st.size = size * 0.78;
    st.fill = st.fillLow = ink::Washi;
    cairo_push_group(cr);
    DrawText(cr, "P", cx, cy + size * 0.27, Align::Centre, st);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
    // Worn specks where the paste did not take.
    KitRandom rnd(5);
    for (int i = 0; i < 40; ++i) {
        const double r = rnd.Range(0.3, 1.1), y = cy + rnd.Range(-h, h), x = cx + rnd.Range(-h, h);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        SetColour(cr, ink::Washi, alpha * rnd.Range(0.3, 0.7));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawFrame(Picture& p, const Picture& paper, int f) {
    cairo_t* cr = p.cr();
    cairo_set_source_surface(cr, paper.Surface(), 0, 0);
    cairo_paint(cr);
    const double cx = kWidth / 2.0, cy = kHeight * 0.40, r = 62;
    BrushCircle(cr, cx, cy, r, Ease((f - 3) / 20.0));
    if (f >= kStrikeFrame - 1) {
        double t = std::clamp((f - (kStrikeFrame - 1)) / 3.0, 0.0, 1.0);
        double size = 54 * (1.45 - 0.45 * Ease(t));
        Seal(cr, cx, cy, size, 0.35 + 0.6 * t);
    }
    if (f >= 28) {
        double a = Ease((f - 28) / 9.0);
        double rise = (1 - a) * 8;
        TextStyle name;
        name.size = 34;
        name.fill = ink::Sumi;
        name.fillLow = ink::Sumi.Mix(ink::Indigo, 0.4);
        name.tracking = 9;
        cairo_push_group(cr);
        DrawText(cr, "PELLIWAR", cx + 4, kHeight * 0.80 + rise, Align::Centre, name);
        TextStyle corp;
        corp.size = 13;
        corp.fill = corp.fillLow = ink::Vermilion.Scaled(0.85);
        corp.tracking = 6;
        DrawText(cr, "CORPORATION", cx + 3, kHeight * 0.88 + rise, Align::Centre, corp);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, a);
    }
    // Fade up from black and back down to it.
    double dark = f < 5 ? 1.0 - f / 5.0 : (f >= kFrames - 6 ? (f - (kFrames - 7)) / 6.0 : 0.0);
    if (dark > 0) {
        cairo_set_source_rgba(cr, 0, 0, 0, std::min(1.0, dark));
        cairo_paint(cr);
    }
}

// The sound: a breath of wind, then at the strike a deep drum and a temple
// bell that rings out under the name.
std::vector<int16_t> Soundtrack(int samples) {
    std::vector<int16_t> out(size_t(samples), 0);
    KitRandom rnd(2024);
    const double strike = double(kStrikeFrame) / kFps;
    double lp = 0, lp2 = 0;
    for (int i = 0; i < samples; ++i) {
        double t = double(i) / kRate;
        // Wind: low-passed noise swelling to the strike.
        double n = rnd.Range(-1, 1);
        lp += (n - lp) * 0.04;
        lp2 += (lp - lp2) * 0.04;
        double windEnv = std::clamp(t / strike, 0.0, 1.0) * std::exp(-std::max(0.0, t - strike) * 3.0);
        double v = lp2 * 2.2 * windEnv;
        double dt = t - strike;
        if (dt >= 0) {
            // Drum: a falling low tone with a skin slap.
            double phase = 2 * kPi * (55 * dt + 75 * (1 - std::exp(-dt * 18)) / 18);
            v += 0.85 * std::sin(phase) * std::exp(-dt * 5.5);
            v += 0.25 * n * std::exp(-dt * 40);
            // Bell: inharmonic partials, long decay, entering just after.
            double bt = dt - 0.03;
            if (bt >= 0) {
                const double base = 392.0;
                const double ratios[4] = {1.0, 2.76, 5.40, 8.93};
                const double amps[4] = {0.22, 0.10, 0.05, 0.025};
                for (int k = 0; k < 4; ++k)
                    v += amps[k] * std::sin(2 * kPi * base * ratios[k] * bt) * std::exp(-bt * (0.9 + k * 0.9)) *
                         std::min(1.0, bt * 200);
            }
        }
        // Fade out with the picture.
        double end = double(samples) / kRate;
        v *= std::clamp((end - t) / 0.35, 0.0, 1.0);
        out[size_t(i)] = int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 26000));
    }
    return out;
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(LogoMovie) {
    using namespace kit;
    Picture paper(kWidth, kHeight);
    PaintWashi(paper, 9);
    const int samplesPerFrame = kRate / kFps;
    std::vector<int16_t> sound = Soundtrack(samplesPerFrame * kFrames);
    AviWriter avi(kWidth, kHeight, kFps, kRate, 1);
    for (int f = 0; f < kFrames; ++f) {
        Picture frame(kWidth, kHeight);
        DrawFrame(frame, paper, f);
        std::vector<int16_t> chunk(sound.begin() + long(f * samplesPerFrame),
                                   sound.begin() + long((f + 1) * samplesPerFrame));
        // A movie frame is stored as a 24-bit picture is: bottom row first.
        avi.AddFrame(ToDib(frame, false).bits, chunk);
    }
    kit.WriteBytes("Sound\\Publisher Logo.avi", avi.Finish());
}
