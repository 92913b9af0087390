#include "tools/mkdata/Style.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kit {

namespace {
constexpr double kPi = 3.14159265358979323846;

uint32_t Hash3(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27d4eb2du ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }
}  // namespace

void SetColour(cairo_t* cr, const Rgb& c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

uint8_t ToByte(double unit) { return uint8_t(std::clamp(std::lround(unit * 255), 0L, 255L)); }

uint32_t OpaquePixel(const Rgb& c) {
    return 0xFF000000u | uint32_t(ToByte(c.r)) << 16 | uint32_t(ToByte(c.g)) << 8 | ToByte(c.b);
}

uint32_t KitRandom::Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

double ValueNoise(double x, double y, double scale, uint32_t seed) {
    double fx = x / scale, fy = y / scale;
    int32_t ix = int32_t(std::floor(fx)), iy = int32_t(std::floor(fy));
    double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    auto v = [&](int32_t a, int32_t b) { return (Hash3(a, b, seed) >> 8) * (1.0 / 16777216.0); };
    double top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
    double bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// ------------------------------------------------------------------ Picture

Picture::Picture(int width, int height, bool alpha) : m_width(width), m_height(height), m_alpha(alpha) {
    m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    m_cr = cairo_create(m_surface);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(m_cr, fo);
    cairo_font_options_destroy(fo);
    cairo_set_source_rgba(m_cr, 0, 0, 0, alpha ? 0.0 : 1.0);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
}

Picture::~Picture() {
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

void Picture::EditPixels(const std::function<void(uint32_t* row, int y)>& fn) {
    cairo_surface_flush(m_surface);
    unsigned char* data = cairo_image_surface_get_data(m_surface);
    int stride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_height; ++y) fn(reinterpret_cast<uint32_t*>(data + size_t(y) * stride), y);
    cairo_surface_mark_dirty(m_surface);
}

void FlattenOnto(Picture& p, const Rgb& matte, double threshold) {
    const uint32_t mr = ToByte(matte.r), mg = ToByte(matte.g), mb = ToByte(matte.b);
    const uint32_t cut = uint32_t(std::lround(threshold * 255));
    p.EditPixels([&](uint32_t* row, int) {
        for (int x = 0; x < p.Width(); ++x) {
            uint32_t px = row[x], a = px >> 24;
            if (a < std::max(1u, cut)) {
                row[x] = 0;
                continue;
            }
            // Premultiplied: colour = c + matte * (1 - a).
            uint32_t r = ((px >> 16) & 255) + mr * (255 - a) / 255;
            uint32_t g = ((px >> 8) & 255) + mg * (255 - a) / 255;
            uint32_t b = (px & 255) + mb * (255 - a) / 255;
            row[x] = 0xFF000000u | std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
        }
    });
}

// ------------------------------------------------------------------ layouts

const ScreenLayout kLayouts[2] = {{1280, 1024, ""}, {1024, 768, "1024"}};

void SaveForBothLayouts(const KitContext& kit, const std::string& folder, const std::string& name,
                        PictureFormat format, const std::function<void(Picture&, const ScreenLayout&)>& draw) {
    const char* ext = format == PictureFormat::Jpeg                                      ? ".jpg"
                      : (format == PictureFormat::Bmp24 || format == PictureFormat::Bmp8) ? ".bmp"
                                                                                          : ".giz";
    for (const ScreenLayout& layout : kLayouts) {
        Picture p(layout.width, layout.height);
        draw(p, layout);
        SavePicture(kit, folder + layout.prefix + name + ext, p, format);
    }
}

// ------------------------------------------------------------------ grounds

void PaintGrain(Picture& p, double x, double y, double w, double h, uint32_t seed, double strength) {
    cairo_t* cr = p.cr();
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    KitRandom rnd(seed);
    int fibres = int(w * h / 700.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < fibres; ++i) {
        double fx = x + rnd.Range(0, w), fy = y + rnd.Range(0, h);
        double len = rnd.Range(6, 46);
        double ang = rnd.Range(0, kPi);
        double bend = rnd.Range(-0.6, 0.6);
        bool light = rnd.Unit() < 0.62;
        double width = rnd.Range(0.35, 1.05);
        double a = strength * (light ? rnd.Range(0.18, 0.42) : rnd.Range(0.06, 0.16));
        double dx = std::cos(ang) * len, dy = std::sin(ang) * len;
        cairo_move_to(cr, fx, fy);
        cairo_curve_to(cr, fx + dx * 0.33 - dy * bend * 0.3, fy + dy * 0.33 + dx * bend * 0.3,
                       fx + dx * 0.66 - dy * bend * 0.3, fy + dy * 0.66 + dx * bend * 0.3, fx + dx, fy + dy);
        if (light)
            cairo_set_source_rgba(cr, 1.0, 0.985, 0.94, a);
        else
            cairo_set_source_rgba(cr, 0.45, 0.38, 0.28, a);
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintWashi(Picture& p, uint32_t seed, const Rgb& tint, double tintAmount) {
    Rgb base = ink::Washi.Mix(tint, tintAmount);
    const int w = p.Width(), h = p.Height();
    const double cx = w / 2.0, cy = h / 2.0;
    const double rim = std::hypot(cx, cy);
    p.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < w; ++x) {
            double n = 0.55 * ValueNoise(x, y, 190, seed) + 0.30 * ValueNoise(x, y, 48, seed + 1) +
                       0.15 * ValueNoise(x, y, 7, seed + 2);
            double grain = ((Hash3(x, y, seed + 3) >> 24) / 255.0 - 0.5) * 0.035;
            double f = 1.0 + (n - 0.5) * 0.11 + grain;
            double d = std::hypot(x - cx, y - cy) / rim;
            double v = std::max(0.0, d - 0.55) / 0.45;
            v = v * v * 0.55;
            Rgb c = base.Mix(ink::WashiShade, v).Scaled(f);
            row[x] = OpaquePixel(c);
        }
    });
    PaintGrain(p, 0, 0, w, h, seed + 4, 1.0);
}

double Ridge::At(double x) const {
    if (ys.empty()) return 0;
    double t = (x - x0) / (x1 - x0) * double(ys.size() - 1);
    t = std::clamp(t, 0.0, double(ys.size() - 1));
    size_t i = size_t(t);
    if (i + 1 >= ys.size()) return ys.back();
    return ys[i] + (ys[i + 1] - ys[i]) * (t - double(i));
}

Ridge PaintMountainRange(cairo_t* cr, double x0, double x1, double ridgeY, double peak, double fade,
                         const Rgb& colour, double alpha, uint32_t seed) {
    KitRandom rnd(seed);
    const int n = 257;
    std::vector<double> hgt(n, 0.0);
    hgt[0] = rnd.Range(0.1, 0.6);
    hgt[n - 1] = rnd.Range(0.1, 0.6);
    double amp = 0.9;
    for (int step = n - 1; step > 1; step /= 2) {
        for (int i = step / 2; i < n; i += step) {
            hgt[i] = (hgt[i - step / 2] + hgt[i + step / 2]) / 2 + rnd.Range(-amp, amp);
        }
        amp *= step > 64 ? 0.62 : 0.5;
    }
    double lo = *std::min_element(hgt.begin(), hgt.end()), hi = *std::max_element(hgt.begin(), hgt.end());
    Ridge ridge;
    ridge.x0 = x0;
    ridge.x1 = x1;
    for (double v : hgt) ridge.ys.push_back(ridgeY - peak * (v - lo) / std::max(1e-6, hi - lo));

    auto path = [&] {
        for (int i = 0; i < n; ++i) {
            double x = x0 + (x1 - x0) * i / (n - 1);
            if (i == 0)
                cairo_move_to(cr, x, ridge.ys[i]);
            else
                cairo_line_to(cr, x, ridge.ys[i]);
        }
    };
    cairo_save(cr);
    path();
    cairo_line_to(cr, x1, ridgeY + fade);
    cairo_line_to(cr, x0, ridgeY + fade);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, ridgeY - peak, 0, ridgeY + fade);
    cairo_pattern_add_color_stop_rgba(g, 0.0, colour.r, colour.g, colour.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.35, colour.r, colour.g, colour.b, alpha * 0.85);
    cairo_pattern_add_color_stop_rgba(g, 0.75, colour.r, colour.g, colour.b, alpha * 0.30);
    cairo_pattern_add_color_stop_rgba(g, 1.0, colour.r, colour.g, colour.b, 0.0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // The brush line along the ridge, darker where the brush was loaded.
    path();
    SetColour(cr, colour.Scaled(0.7), std::min(1.0, alpha * 1.1));
    cairo_set_line_width(cr, std::max(0.8, peak * 0.012));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    // Texture strokes (dry brush) down the slopes.
    for (int i = 0; i < n; i += 3) {
        if (rnd.Unit() < 0.55) continue;
        double x = x0 + (x1 - x0) * i / (n - 1);
        double y = ridge.ys[i];
        double len = rnd.Range(0.15, 0.5) * (ridgeY - y + fade * 0.3);
        cairo_move_to(cr, x, y + 1);
        const double x3 = x + rnd.Range(-8, 8), x2 = x + rnd.Range(-6, 6), x1 = x + rnd.Range(-4, 4);
        cairo_curve_to(cr, x1, y + len * 0.4, x2, y + len * 0.7, x3, y + len);
        SetColour(cr, colour.Scaled(0.8), alpha * rnd.Range(0.15, 0.35));
        cairo_set_line_width(cr, rnd.Range(0.6, 1.8));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    return ridge;
}

void PaintPine(cairo_t* cr, double baseX, double baseY, double height, const Rgb& colour, double alpha,
               uint32_t seed) {
    KitRandom rnd(seed);
    cairo_save(cr);
    double lean = rnd.Range(-0.25, 0.25) * height;
    double topX = baseX + lean, topY = baseY - height;
    double w0 = height * 0.045, w1 = height * 0.012;
    double bend = rnd.Range(-0.15, 0.15) * height;
    // Trunk, drawn as a tapering band along a curve.
    auto pt = [&](double t, double side) {
        double x = baseX + (topX - baseX) * t + bend * std::sin(t * kPi);
        double y = baseY + (topY - baseY) * t;
        double w = w0 + (w1 - w0) * t;
        return std::pair<double, double>(x + side * w, y);
    };
    for (int i = 0; i <= 20; ++i) {
        auto [x, y] = pt(i / 20.0, -1);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    for (int i = 20; i >= 0; --i) {
        auto [x, y] = pt(i / 20.0, 1);
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    SetColour(cr, colour, alpha);
    cairo_fill(cr);
    // Needle clouds on short branches, widest low down: each a flat mass of
    // overlapping dabs with a dark lower edge and needle ticks on top.
    int pads = 3 + int(rnd.Unit() * 3);
    for (int i = 0; i < pads; ++i) {
        double t = 0.35 + 0.65 * (i + rnd.Range(0.0, 0.3)) / pads;
        auto [tx, ty] = pt(std::min(t, 1.0), 0);
        double side = (i % 2 ? 1 : -1) * rnd.Range(0.2, 0.8);
        double pw = height * (0.55 - 0.33 * t) * rnd.Range(0.85, 1.15);
        double ph = pw * rnd.Range(0.26, 0.34);
        double px = tx + side * pw * 0.35, py = ty - ph * 0.1;
        cairo_move_to(cr, tx, ty + ph * 0.2);
        cairo_curve_to(cr, tx + (px - tx) * 0.4, ty, px - (px - tx) * 0.2, py + ph * 0.3, px, py);
        cairo_set_line_width(cr, std::max(0.6, w1 * 1.8));
        SetColour(cr, colour, alpha);
        cairo_stroke(cr);
        for (int k = 0; k < 6; ++k) {
            double kx = px + (k - 2.5) / 2.5 * pw * 0.38 + rnd.Range(-0.05, 0.05) * pw;
            double ky = py + rnd.Range(-0.15, 0.1) * ph - (1 - std::abs(k - 2.5) / 2.5) * ph * 0.2;
            cairo_save(cr);
            cairo_translate(cr, kx, ky);
            const double sy = ph * rnd.Range(0.45, 0.6), sx = pw * rnd.Range(0.22, 0.32);
            cairo_scale(cr, sx, sy);
            cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
            cairo_restore(cr);
            SetColour(cr, colour, alpha * rnd.Range(0.45, 0.7));
            cairo_fill(cr);
        }
        cairo_set_line_width(cr, std::max(0.5, ph * 0.06));
        for (int k = 0; k < 14; ++k) {
            double nx = px + rnd.Range(-0.5, 0.5) * pw, ny = py - ph * 0.25 + rnd.Range(-0.2, 0.2) * ph;
            cairo_move_to(cr, nx, ny);
            const double ty = ny - ph * rnd.Range(0.2, 0.45), tx = nx + rnd.Range(-0.04, 0.04) * pw;
            cairo_line_to(cr, tx, ty);
        }
        SetColour(cr, colour, alpha * 0.7);
        cairo_stroke(cr);
        cairo_move_to(cr, px - pw * 0.6, py + ph * 0.3);
        cairo_curve_to(cr, px - pw * 0.25, py + ph * 0.62, px + pw * 0.25, py + ph * 0.62, px + pw * 0.6, py + ph * 0.25);
        cairo_set_line_width(cr, std::max(0.8, ph * 0.2));
        SetColour(cr, colour.Scaled(0.6), alpha);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintLandscape(cairo_t* cr, double x, double y, double w, double h, double horizon, double groundY,
                    double scale, uint32_t seed) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    struct Layer {
        double at, peak, alpha;
        Rgb colour;
    };
    const Rgb far = ink::SumiWash.Mix(ink::Indigo, 0.35);
    const Layer layers[4] = {
        {0.00, 0.55, 0.16, far},
        {0.30, 0.42, 0.26, far.Mix(ink::SumiWash, 0.5)},
        {0.62, 0.30, 0.42, ink::SumiWash},
        {1.00, 0.20, 0.72, ink::Sumi},
    };
    double span = groundY - horizon;
    Ridge nearest;
    for (int i = 0; i < 4; ++i) {
        const Layer& L = layers[i];
        double ridgeY = horizon + span * L.at;
        double peak = (span * 0.6 + 160 * scale) * L.peak;
        nearest = PaintMountainRange(cr, x - 20, x + w + 20, ridgeY, peak, span * 0.28 + 120 * scale, L.colour,
                                     L.alpha, seed + 17 * i);
        // Mist between the ranges: a band of paper colour over the range's foot.
        double my = ridgeY + span * 0.06;
        cairo_pattern_t* g = cairo_pattern_create_linear(0, my - 60 * scale, 0, my + 90 * scale);
        cairo_pattern_add_color_stop_rgba(g, 0.0, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.0);
        cairo_pattern_add_color_stop_rgba(g, 0.6, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.55);
        cairo_pattern_add_color_stop_rgba(g, 1.0, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.0);
        cairo_rectangle(cr, x, my - 60 * scale, w, 150 * scale);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    // Pines along the nearest ridge, in small groups.
    KitRandom rnd(seed + 99);
    for (double px = x + rnd.Range(10, 80) * scale; px < x + w; px += rnd.Range(160, 380) * scale) {
        int group = rnd.Int(1, 3);
        for (int k = 0; k < group; ++k) {
            double gx = px + k * rnd.Range(22, 40) * scale;
            double hgt = rnd.Range(60, 110) * scale * (k == 0 ? 1.0 : 0.7);
            PaintPine(cr, gx, nearest.At(gx) + 4 * scale, hgt, ink::Sumi, 0.82, rnd.Next());
        }
    }
    cairo_restore(cr);
}

void PaintCastleKeep(cairo_t* cr, double cx, double baseY, double s, const Rgb& colour, double alpha) {
    cairo_save(cr);
    SetColour(cr, colour, alpha);
    // Battered stone base.
    double bw = 1.3 * s, tw = 1.0 * s, bh = 0.28 * s;
    cairo_move_to(cr, cx - bw / 2, baseY);
    cairo_curve_to(cr, cx - bw / 2 + 0.08 * s, baseY - bh * 0.5, cx - tw / 2, baseY - bh * 0.8, cx - tw / 2, baseY - bh);
    cairo_line_to(cr, cx + tw / 2, baseY - bh);
    cairo_curve_to(cr, cx + tw / 2, baseY - bh * 0.8, cx + bw / 2 - 0.08 * s, baseY - bh * 0.5, cx + bw / 2, baseY);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Stone courses, paper showing through.
    cairo_save(cr);
    SetColour(cr, ink::Washi, alpha * 0.25);
    cairo_set_line_width(cr, std::max(0.5, 0.006 * s));
    for (int i = 1; i < 4; ++i) {
        double yy = baseY - bh * i / 4.0;
        double half = bw / 2 - (bw - tw) / 2 * i / 4.0;
        cairo_move_to(cr, cx - half + 0.02 * s, yy);
        cairo_line_to(cr, cx + half - 0.02 * s, yy);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    // Storeys with their flared roofs.
    double y = baseY - bh;
    const double widths[4] = {0.86, 0.66, 0.50, 0.36};
    const double heights[4] = {0.17, 0.15, 0.13, 0.14};
    for (int i = 0; i < 4; ++i) {
        double ww = widths[i] * s, hh = heights[i] * s;
        // Wall (lighter: plaster) with windows.
        cairo_rectangle(cr, cx - ww / 2, y - hh, ww, hh);
        SetColour(cr, colour.Mix(ink::Washi, 0.55), alpha);
        cairo_fill(cr);
        SetColour(cr, colour, alpha);
        int windows = std::max(1, int(ww / (0.12 * s)));
        for (int k = 0; k < windows; ++k) {
            double wx = cx - ww / 2 + (k + 0.5) * ww / windows;
            cairo_rectangle(cr, wx - 0.018 * s, y - hh * 0.62, 0.036 * s, hh * 0.32);
        }
        cairo_fill(cr);
        // Roof: eaves sweep out and up at the corners.
        double over = 0.13 * s, rh = hh * 0.55;
        double ry = y - hh;
        cairo_move_to(cr, cx - ww / 2 - over, ry + rh * 0.05);
        cairo_curve_to(cr, cx - ww / 2 - over * 0.4, ry + rh * 0.35, cx - ww / 2, ry + rh * 0.3, cx - ww / 2 + over * 0.3, ry + rh * 0.3);
        cairo_line_to(cr, cx + ww / 2 - over * 0.3, ry + rh * 0.3);
        cairo_curve_to(cr, cx + ww / 2, ry + rh * 0.3, cx + ww / 2 + over * 0.4, ry + rh * 0.35, cx + ww / 2 + over, ry + rh * 0.05);
        double topHalf = (i == 3) ? 0.0 : widths[i + 1] * s / 2;
        cairo_curve_to(cr, cx + ww / 2, ry - rh * 0.25, cx + topHalf + over * 0.2, ry - rh * 0.6, cx + topHalf, ry - rh * 0.7);
        cairo_line_to(cr, cx - topHalf, ry - rh * 0.7);
        cairo_curve_to(cr, cx - topHalf - over * 0.2, ry - rh * 0.6, cx - ww / 2, ry - rh * 0.25, cx - ww / 2 - over, ry + rh * 0.05);
        cairo_close_path(cr);
        SetColour(cr, colour, alpha);
        cairo_fill(cr);
        // A chidori gable on the two middle roofs.
        if (i == 1 || i == 2) {
            double gw = ww * 0.28;
            cairo_move_to(cr, cx - gw, ry - rh * 0.1);
            cairo_curve_to(cr, cx - gw * 0.4, ry - rh * 0.4, cx - gw * 0.15, ry - rh * 0.9, cx, ry - rh * 1.05);
            cairo_curve_to(cr, cx + gw * 0.15, ry - rh * 0.9, cx + gw * 0.4, ry - rh * 0.4, cx + gw, ry - rh * 0.1);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        y = ry - rh * 0.7;
    }
    // Ridge ornaments.
    cairo_set_line_width(cr, std::max(0.6, 0.012 * s));
    cairo_move_to(cr, cx - 0.05 * s, y);
    cairo_curve_to(cr, cx - 0.07 * s, y - 0.03 * s, cx - 0.06 * s, y - 0.05 * s, cx - 0.045 * s, y - 0.055 * s);
    cairo_move_to(cr, cx + 0.05 * s, y);
    cairo_curve_to(cr, cx + 0.07 * s, y - 0.03 * s, cx + 0.06 * s, y - 0.05 * s, cx + 0.045 * s, y - 0.055 * s);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void PaintSun(cairo_t* cr, double cx, double cy, double radius, double alpha) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - radius * 0.2, cy - radius * 0.2, radius * 0.1, cx, cy, radius);
    const Rgb& v = ink::Vermilion;
    cairo_pattern_add_color_stop_rgba(g, 0.0, v.r * 1.08, v.g * 1.2, v.b * 1.1, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.93, v.r, v.g, v.b, alpha * 0.95);
    cairo_pattern_add_color_stop_rgba(g, 1.0, v.r, v.g, v.b, 0.0);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void PaintBirds(cairo_t* cr, double x, double y, double spread, int count, double size, uint32_t seed) {
    KitRandom rnd(seed);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < count; ++i) {
        double bx = x + rnd.Range(-spread, spread), by = y + rnd.Range(-spread * 0.35, spread * 0.35);
        double s = size * rnd.Range(0.6, 1.2);
        double flap = rnd.Range(-0.25, 0.35);
        cairo_move_to(cr, bx - s, by - s * flap);
        cairo_curve_to(cr, bx - s * 0.6, by - s * 0.45, bx - s * 0.2, by - s * 0.3, bx, by);
        cairo_curve_to(cr, bx + s * 0.2, by - s * 0.3, bx + s * 0.6, by - s * 0.45, bx + s, by - s * flap);
        SetColour(cr, ink::Sumi, 0.8);
        cairo_set_line_width(cr, std::max(0.8, s * 0.16));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

namespace {
cairo_pattern_t* GoldLeafPattern(double x0, double y0, double x1, double y1) {
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
    const Rgb stops[5] = {ink::GoldDark, ink::Gold, ink::GoldLight, ink::Gold, ink::GoldDark};
    for (int i = 0; i < 5; ++i) cairo_pattern_add_color_stop_rgb(g, i / 4.0, stops[i].r, stops[i].g, stops[i].b);
    return g;
}
}  // namespace

void PaintGoldFrame(cairo_t* cr, double x, double y, double w, double h, double band) {
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, x, y, w, h);
    cairo_rectangle(cr, x + band, y + band, w - 2 * band, h - 2 * band);
    cairo_pattern_t* g = GoldLeafPattern(x, y, x + w, y + h);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, std::max(1.0, band * 0.12));
    SetColour(cr, ink::Sumi, 0.9);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, x + band - 0.5, y + band - 0.5, w - 2 * band + 1, h - 2 * band + 1);
    cairo_stroke(cr);
    // A fine inner rule in the gold.
    SetColour(cr, ink::GoldDark, 0.8);
    cairo_set_line_width(cr, std::max(0.6, band * 0.06));
    cairo_rectangle(cr, x + band * 0.5, y + band * 0.5, w - band, h - band);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void PaintLacquerPanel(cairo_t* cr, double x, double y, double w, double h, double radius, double rim,
                       const Rgb& lacquer, double alpha) {
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, radius);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    Rgb top = lacquer.Mix({1, 1, 1}, 0.10), bottom = lacquer.Scaled(0.7);
    cairo_pattern_add_color_stop_rgba(g, 0, top.r, top.g, top.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.45, lacquer.r, lacquer.g, lacquer.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 1, bottom.r, bottom.g, bottom.b, alpha);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    // Sheen: a soft band of light across the upper part.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y, 0, y + h * 0.5);
    cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.10 * alpha);
    cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0.0);
    cairo_rectangle(cr, x, y, w, h * 0.5);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
    if (rim > 0) {
        RoundedRect(cr, x + rim / 2, y + rim / 2, w - rim, h - rim, std::max(0.0, radius - rim / 2));
        cairo_pattern_t* gold = GoldLeafPattern(x, y, x + w, y + h);
        cairo_set_source(cr, gold);
        cairo_set_line_width(cr, rim);
        cairo_stroke(cr);
        cairo_pattern_destroy(gold);
        RoundedRect(cr, x + rim + 0.5, y + rim + 0.5, w - 2 * rim - 1, h - 2 * rim - 1, std::max(0.0, radius - rim));
        SetColour(cr, ink::Sumi, 0.7 * alpha);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintWaves(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgb& colour,
                double alpha) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    // Drawn in a layer of its own, row by row: each fan first clears what the
    // fans behind it drew, then draws its own arcs.
    cairo_push_group(cr);
    cairo_set_line_width(cr, std::max(0.6, radius * 0.07));
    const double dy = radius * 0.5;
    int row = 0;
    for (double cy = y - radius; cy < y + h + radius * 2; cy += dy, ++row) {
        double offset = (row % 2) ? radius : 0;
        for (double cx = x - 2 * radius + offset; cx < x + w + 2 * radius; cx += 2 * radius) {
            cairo_new_path(cr);
            cairo_arc(cr, cx, cy, radius, kPi, 2 * kPi);
            cairo_close_path(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
            cairo_fill(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            for (int k = 1; k <= 3; ++k) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, cx, cy, radius * (k - 0.15) / 3.0, kPi, 2 * kPi);
            }
            SetColour(cr, colour);
            cairo_stroke(cr);
        }
    }
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void PaintSeal(cairo_t* cr, double cx, double cy, double size, int clan, double alpha) {
    cairo_save(cr);
    RoundedRect(cr, cx - size / 2, cy - size / 2, size, size, size * 0.12);
    SetColour(cr, ink::Vermilion, alpha);
    cairo_fill(cr);
    // The stamp's worn texture: specks of paper showing through.
    KitRandom rnd(uint32_t(clan) * 131 + 7);
    for (int i = 0; i < int(size * 0.8); ++i) {
        double px = cx + rnd.Range(-0.48, 0.48) * size, py = cy + rnd.Range(-0.48, 0.48) * size;
        cairo_arc(cr, px, py, rnd.Range(0.3, 1.2) * size / 60.0, 0, 2 * kPi);
        SetColour(cr, ink::Washi, alpha * rnd.Range(0.2, 0.6));
        cairo_fill(cr);
    }
    DrawMon(cr, clan, cx, cy, size * 0.36, ink::Washi, alpha);
    cairo_restore(cr);
}

// ---------------------------------------------------------------- lettering

void SelectFace(cairo_t* cr, Face face, double size) {
    switch (face) {
    case Face::Serif:
        cairo_select_font_face(cr, "EB Garamond", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        break;
    case Face::SerifBold:
        cairo_select_font_face(cr, "EB Garamond", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    case Face::Sans:
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        break;
    case Face::SansBold:
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    case Face::Figures:
        cairo_select_font_face(cr, "Liberation Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        break;
    }
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

namespace {
// The letters of a UTF-8 text, one string each (so that tracking never
// splits a character's bytes).
std::vector<std::string> Letters(const std::string& text) {
    std::vector<std::string> letters;
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        letters.push_back(text.substr(i, n));
        i += n;
    }
    return letters;
}

// Adds the text's outline to the path, letter by letter when tracked.
double TextPath(cairo_t* cr, const std::string& text, double x, double y, double tracking) {
    if (tracking == 0) {
        double w = TextWidth(cr, text);
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, text.c_str());
        return w;
    }
    double pen = x;
    std::vector<std::string> letters = Letters(text);
    for (size_t i = 0; i < letters.size(); ++i) {
        cairo_move_to(cr, pen, y);
        cairo_text_path(cr, letters[i].c_str());
        pen += TextWidth(cr, letters[i]) + (i + 1 < letters.size() ? tracking : 0);
    }
    return pen - x;
}

double TrackedWidth(cairo_t* cr, const std::string& text, double tracking) {
    if (tracking == 0) return TextWidth(cr, text);
    double w = 0;
    std::vector<std::string> letters = Letters(text);
    for (size_t i = 0; i < letters.size(); ++i) w += TextWidth(cr, letters[i]) + (i + 1 < letters.size() ? tracking : 0);
    return w;
}
}  // namespace

double DrawText(cairo_t* cr, const std::string& text, double x, double y, Align align, const TextStyle& st) {
    cairo_save(cr);
    SelectFace(cr, st.face, st.size);
    double w = TrackedWidth(cr, text, st.tracking);
    if (align == Align::Centre) x -= w / 2;
    if (align == Align::Right) x -= w;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (st.shadow > 0) {
        cairo_new_path(cr);
        TextPath(cr, text, x + st.shadow, y + st.shadow, st.tracking);
        SetColour(cr, ink::Sumi, st.shadowAlpha);
        if (st.outline > 0) {
            cairo_set_line_width(cr, st.outline * 2);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    TextPath(cr, text, x, y, st.tracking);
    if (st.outline > 0) {
        SetColour(cr, st.outlineColour);
        cairo_set_line_width(cr, st.outline * 2);
        cairo_stroke_preserve(cr);
    }
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y - st.size * 0.75, 0, y + st.size * 0.1);
    cairo_pattern_add_color_stop_rgb(g, 0, st.fill.r, st.fill.g, st.fill.b);
    cairo_pattern_add_color_stop_rgb(g, 1, st.fillLow.r, st.fillLow.g, st.fillLow.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
    return w;
}

void DrawEngraved(cairo_t* cr, const std::string& text, double cx, double baseline, Face face, double size,
                  const Rgb& fill, const Rgb& dark, const Rgb& light, double tracking) {
    cairo_save(cr);
    SelectFace(cr, face, size);
    double x = cx - TrackedWidth(cr, text, tracking) / 2;
    double d = std::max(0.8, size / 22.0);
    cairo_new_path(cr);
    TextPath(cr, text, x + d, baseline + d, tracking);
    SetColour(cr, light, 0.55);
    cairo_fill(cr);
    cairo_new_path(cr);
    TextPath(cr, text, x - d * 0.8, baseline - d * 0.8, tracking);
    SetColour(cr, dark, 0.9);
    cairo_fill(cr);
    cairo_new_path(cr);
    TextPath(cr, text, x, baseline, tracking);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, baseline - size * 0.7, 0, baseline);
    Rgb lo = fill.Scaled(0.72);
    cairo_pattern_add_color_stop_rgb(g, 0, fill.r, fill.g, fill.b);
    cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

// ------------------------------------------------------------------ buttons

void DrawPlaque(Picture& p, const std::string& caption, PlaqueKind kind, bool pressed, double fontSize) {
    cairo_t* cr = p.cr();
    const double w = p.Width(), h = p.Height();
    const double rim = std::max(1.5, h * 0.07);
    const double radius = std::min(h * 0.28, 10.0);
    Rgb body, captionFill, captionDark, captionLight;
    Face face = Face::Serif;
    switch (kind) {
    case PlaqueKind::Lacquer:
        body = ink::Lacquer;
        captionFill = ink::GoldLight;
        captionDark = {0, 0, 0};
        captionLight = ink::Gold;
        break;
    case PlaqueKind::Vermilion:
        body = ink::Vermilion.Scaled(0.85);
        captionFill = ink::GoldLight;
        captionDark = ink::VermilionDark.Scaled(0.5);
        captionLight = ink::Gold;
        break;
    case PlaqueKind::Paper:
        body = ink::Washi;
        captionFill = ink::Sumi.Mix(ink::Indigo, 0.3);
        captionDark = ink::WashiShade.Scaled(0.6);
        captionLight = {1, 1, 1};
        face = Face::SerifBold;
        break;
    }
    // Pressed: sunk and darker; black lacquer shows the red lacquer beneath
    // where it is worn, so the press reads at a glance.
    if (pressed) body = kind == PlaqueKind::Lacquer ? body.Mix(ink::VermilionDark, 0.75)
                                                    : body.Scaled(kind == PlaqueKind::Paper ? 0.86 : 0.75);
    cairo_save(cr);
    RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, radius);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    Rgb lit = body.Mix({1, 1, 1}, kind == PlaqueKind::Paper ? 0.35 : 0.16);
    Rgb deep = body.Scaled(0.62);
    if (pressed) std::swap(lit, deep);
    cairo_pattern_add_color_stop_rgb(g, 0, lit.r, lit.g, lit.b);
    cairo_pattern_add_color_stop_rgb(g, 0.5, body.r, body.g, body.b);
    cairo_pattern_add_color_stop_rgb(g, 1, deep.r, deep.g, deep.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_clip(cr);
    if (kind == PlaqueKind::Paper) PaintGrain(p, 0, 0, w, h, uint32_t(caption.size()) * 7 + 3, 0.8);
    // Lacquer sheen on the raised plaque; a shadow cast into the sunk one.
    cairo_pattern_t* sh = cairo_pattern_create_linear(0, 0, 0, h * 0.55);
    if (pressed) {
        cairo_pattern_add_color_stop_rgba(sh, 0, 0, 0, 0, 0.45);
        cairo_pattern_add_color_stop_rgba(sh, 1, 0, 0, 0, 0.0);
    } else {
        cairo_pattern_add_color_stop_rgba(sh, 0, 1, 1, 1, 0.18);
        cairo_pattern_add_color_stop_rgba(sh, 1, 1, 1, 1, 0.0);
    }
    cairo_rectangle(cr, 0, 0, w, h * 0.55);
    cairo_set_source(cr, sh);
    cairo_fill(cr);
    cairo_pattern_destroy(sh);
    cairo_reset_clip(cr);
    // Gold rim, with a thin ink line inside it.
    RoundedRect(cr, rim / 2 + 0.5, rim / 2 + 0.5, w - rim - 1, h - rim - 1, std::max(1.0, radius - rim / 2));
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, 0, w, h);
    const Rgb stops[4] = {ink::GoldLight, ink::Gold, ink::GoldDark, ink::Gold};
    for (int i = 0; i < 4; ++i) {
        Rgb c = pressed ? stops[i].Scaled(0.8) : stops[i];
        cairo_pattern_add_color_stop_rgb(gold, i / 3.0, c.r, c.g, c.b);
    }
    cairo_set_source(cr, gold);
    cairo_set_line_width(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(gold);
    RoundedRect(cr, rim + 1, rim + 1, w - 2 * rim - 2, h - 2 * rim - 2, std::max(1.0, radius - rim));
    SetColour(cr, ink::Sumi, 0.6);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Small gold studs at both ends, as on a temple plaque.
    if (w > 3 * h) {
        for (double sx : {rim + h * 0.32, w - rim - h * 0.32}) {
            cairo_arc(cr, sx, h / 2, std::max(1.5, h * 0.09), 0, 2 * kPi);
            SetColour(cr, pressed ? ink::Gold.Scaled(0.75) : ink::Gold);
            cairo_fill(cr);
        }
    }
    // Caption, centred on the cap height.
    SelectFace(cr, face, fontSize);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    double baseline = h / 2 - (e.y_bearing / 2) + (pressed ? 1 : 0);
    Rgb fill = pressed && kind != PlaqueKind::Lacquer ? captionFill.Scaled(0.82) : captionFill;
    DrawEngraved(cr, caption, w / 2 + (pressed ? 1 : 0), baseline, face, fontSize, fill, captionDark, captionLight,
                 fontSize * 0.04);
    cairo_restore(cr);
}

void SavePlaqueButton(const KitContext& kit, const std::string& folder, const std::string& base, int width,
                      int height, const std::string& caption, PlaqueKind kind, double fontSize) {
    for (int pressed = 0; pressed < 2; ++pressed) {
        Picture p(width, height, true);
        DrawPlaque(p, caption, kind, pressed != 0, fontSize);
        SavePicture(kit, folder + base + (pressed ? " Dn.giz" : " Up.giz"), p, PictureFormat::Giz8);
    }
}

// -------------------------------------------------------------------- clans

namespace {
struct ClanLook {
    Rgb colour, accent;
};
// Row 0 is the fallback of a clan number out of range.
const ClanLook kClans[kClanCount + 1] = {
    {{0.58, 0.53, 0.40}, {0.93, 0.88, 0.78}},  // fallback: Independent
    {{0.78, 0.18, 0.11}, {0.98, 0.90, 0.62}},  // Velmor
    {{0.14, 0.20, 0.45}, {0.93, 0.90, 0.82}},  // Karsin
    {{0.15, 0.37, 0.21}, {0.93, 0.88, 0.70}},  // Dorneth
    {{0.86, 0.64, 0.13}, {0.12, 0.10, 0.08}},  // Lask
    {{0.43, 0.21, 0.52}, {0.95, 0.92, 0.85}},  // Zem
    {{0.09, 0.49, 0.52}, {0.96, 0.93, 0.84}},  // Wenmarch
    {{0.11, 0.10, 0.10}, {0.95, 0.93, 0.88}},  // Sabe
    {{0.88, 0.43, 0.10}, {0.15, 0.10, 0.08}},  // Quarnith
    {{0.90, 0.89, 0.84}, {0.10, 0.10, 0.12}},  // Ruel
    {{0.44, 0.27, 0.15}, {0.95, 0.85, 0.55}},  // Feyrond
    {{0.52, 0.55, 0.60}, {0.96, 0.72, 0.25}},  // Warrior Monks
    {{0.55, 0.08, 0.20}, {0.95, 0.80, 0.35}},  // Emperor
    {{0.58, 0.53, 0.40}, {0.93, 0.88, 0.78}},  // Independent
};
const ClanLook& Look(int clan) { return (clan >= 1 && clan <= kClanCount) ? kClans[clan] : kClans[0]; }

void Diamond(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_move_to(cr, cx, cy - ry);
    cairo_line_to(cr, cx + rx, cy);
    cairo_line_to(cr, cx, cy + ry);
    cairo_line_to(cr, cx - rx, cy);
    cairo_close_path(cr);
}

void Ring(cairo_t* cr, double cx, double cy, double r, double width) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, r - width, 2 * kPi, 0);
}
}  // namespace

Rgb ClanColour(int clan) { return Look(clan).colour; }
Rgb ClanAccent(int clan) { return Look(clan).accent; }

void DrawMon(cairo_t* cr, int clan, double cx, double cy, double r, const Rgb& colour, double alpha) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetColour(cr, colour, alpha);
    const double ring = r * 0.13;
    if (clan < 1 || clan > kClanCount) clan = kClanCount;
    switch (clan) {
    case 1:  // four diamonds in a diamond, in a ring
        Ring(cr, cx, cy, r, ring);
        for (int i = 0; i < 4; ++i) {
            double a = i * kPi / 2;
            Diamond(cr, cx + std::cos(a) * r * 0.33, cy + std::sin(a) * r * 0.33, r * 0.3, r * 0.3);
        }
        break;
    case 2:  // two bold bars in a ring
        Ring(cr, cx, cy, r, ring);
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, r - ring * 1.6, 0, 2 * kPi);
        cairo_clip(cr);
        cairo_rectangle(cr, cx - r, cy - r * 0.42, 2 * r, r * 0.26);
        cairo_rectangle(cr, cx - r, cy + r * 0.16, 2 * r, r * 0.26);
        break;
    case 3:  // tortoise-shell hexagon with a flower point
        for (int k = 0; k < 2; ++k) {
            double rr = k ? r * 0.74 : r;
            for (int i = 0; i < 6; ++i) {
                double a = kPi / 6 + i * kPi / 3;
                if (i == 0)
                    cairo_move_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
                else
                    cairo_line_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
            }
            cairo_close_path(cr);
        }
        for (int i = 0; i < 3; ++i) {
            double a = -kPi / 2 + i * 2 * kPi / 3;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + std::cos(a) * r * 0.2, cy + std::sin(a) * r * 0.2, r * 0.17, 0, 2 * kPi);
        }
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        break;
    case 4:  // three rice cakes in a ring
        Ring(cr, cx, cy, r, ring);
        for (int i = 0; i < 3; ++i) {
            double a = -kPi / 2 + i * 2 * kPi / 3;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + std::cos(a) * r * 0.4, cy + std::sin(a) * r * 0.4, r * 0.3, 0, 2 * kPi);
        }
        break;
    case 5:  // square with a square hole, turned, in a ring
        Ring(cr, cx, cy, r, ring);
        Diamond(cr, cx, cy, r * 0.66, r * 0.66);
        cairo_rectangle(cr, cx - r * 0.2, cy - r * 0.2, r * 0.4, r * 0.4);
        break;
    case 6:  // plum blossom: five petals round a centre
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        for (int i = 0; i < 5; ++i) {
            double a = -kPi / 2 + i * 2 * kPi / 5;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + std::cos(a) * r * 0.55, cy + std::sin(a) * r * 0.55, r * 0.42, 0, 2 * kPi);
        }
        cairo_fill(cr);
        SetColour(cr, colour.Mix(ink::Washi, 0.8), alpha);
        cairo_arc(cr, cx, cy, r * 0.2, 0, 2 * kPi);
        cairo_fill(cr);
        SetColour(cr, colour, alpha);
        cairo_arc(cr, cx, cy, r * 0.1, 0, 2 * kPi);
        break;
    case 7:  // cross in a ring
        Ring(cr, cx, cy, r, ring);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - r * 0.13, cy - r + ring * 0.5, r * 0.26, 2 * r - ring);
        cairo_rectangle(cr, cx - r + ring * 0.5, cy - r * 0.13, 2 * r - ring, r * 0.26);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        break;
    case 8:  // four eyes: four squares turned on their points
        for (int i = 0; i < 4; ++i) {
            double a = i * kPi / 2;
            double ex = cx + std::cos(a) * r * 0.5, ey = cy + std::sin(a) * r * 0.5;
            Diamond(cr, ex, ey, r * 0.46, r * 0.46);
            Diamond(cr, ex, ey, r * 0.17, r * 0.17);
        }
        break;
    case 9:  // crescent moon and star
        cairo_push_group(cr);
        SetColour(cr, colour, 1.0);
        cairo_arc(cr, cx - r * 0.1, cy, r * 0.85, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
        cairo_arc(cr, cx + r * 0.22, cy - r * 0.12, r * 0.72, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_arc(cr, cx + r * 0.48, cy - r * 0.05, r * 0.16, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
        return;
    case 10:  // crossed arrows' feathers: two crossed bars in a ring
        Ring(cr, cx, cy, r, ring);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        for (int i = 0; i < 2; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i ? kPi / 4 : -kPi / 4);
            cairo_rectangle(cr, -r * 0.8, -r * 0.1, r * 1.6, r * 0.2);
            Diamond(cr, -r * 0.55, 0, r * 0.22, r * 0.3);
            cairo_restore(cr);
        }
        break;
    case 11:  // wheel of eight spokes
        Ring(cr, cx, cy, r, ring * 1.2);
        Ring(cr, cx, cy, r * 0.3, r * 0.12);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        for (int i = 0; i < 8; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * kPi / 4);
            cairo_move_to(cr, -r * 0.06, -r * 0.28);
            cairo_line_to(cr, r * 0.06, -r * 0.28);
            cairo_line_to(cr, r * 0.04, -r * 0.9);
            cairo_line_to(cr, -r * 0.04, -r * 0.9);
            cairo_close_path(cr);
            Diamond(cr, 0, -r * 1.0, r * 0.08, r * 0.1);
            cairo_restore(cr);
        }
        break;
    case 12:  // sixteen-petal chrysanthemum
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        for (int i = 0; i < 16; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * kPi / 8);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, r * 0.14, -r * 0.3, r * 0.16, -r * 0.8, 0.0, -r);
            cairo_curve_to(cr, -r * 0.16, -r * 0.8, -r * 0.14, -r * 0.3, 0, 0);
            cairo_restore(cr);
        }
        cairo_fill(cr);
        SetColour(cr, colour.Scaled(0.75), alpha);
        cairo_arc(cr, cx, cy, r * 0.24, 0, 2 * kPi);
        break;
    default:  // snake's eye: two rings
        Ring(cr, cx, cy, r, r * 0.3);
        Ring(cr, cx, cy, r * 0.42, r * 0.14);
        break;
    }
    cairo_fill(cr);
    cairo_restore(cr);
}

void PaintBanner(cairo_t* cr, int clan, double poleX, double baseY, double height, uint32_t seed) {
    KitRandom rnd(seed);
    cairo_save(cr);
    double w = height * 0.22;
    double top = baseY - height;
    double clothTop = top + height * 0.04, clothBottom = top + height * 0.62;
    // Pole and cross-arm.
    SetColour(cr, ink::Sumi, 0.95);
    cairo_set_line_width(cr, std::max(1.0, height * 0.012));
    cairo_move_to(cr, poleX, baseY);
    cairo_line_to(cr, poleX, top);
    cairo_move_to(cr, poleX, clothTop);
    cairo_line_to(cr, poleX + w, clothTop);
    cairo_stroke(cr);
    // The cloth, its free edge rippling.
    double wave = rnd.Range(0.02, 0.05) * height;
    cairo_move_to(cr, poleX, clothTop);
    cairo_line_to(cr, poleX + w, clothTop);
    cairo_curve_to(cr, poleX + w + wave, clothTop + (clothBottom - clothTop) * 0.33, poleX + w - wave,
                   clothTop + (clothBottom - clothTop) * 0.66, poleX + w, clothBottom);
    cairo_line_to(cr, poleX, clothBottom);
    cairo_close_path(cr);
    SetColour(cr, ClanColour(clan));
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi, 0.8);
    cairo_set_line_width(cr, std::max(0.6, height * 0.005));
    cairo_stroke(cr);
    // Accent band and crest.
    cairo_rectangle(cr, poleX + 0.5, clothTop, w - 0.5, height * 0.06);
    SetColour(cr, ClanAccent(clan));
    cairo_fill(cr);
    DrawMon(cr, clan, poleX + w / 2, clothTop + height * 0.2, w * 0.34, ClanAccent(clan));
    cairo_restore(cr);
}

void PaintFootSoldier(cairo_t* cr, int clan, double x, double baseY, double h, int facing, uint32_t seed) {
    KitRandom rnd(seed);
    cairo_save(cr);
    cairo_translate(cr, x, baseY);
    cairo_scale(cr, facing < 0 ? -h : h, h);  // unit height, looking right
    const double lean = rnd.Range(-0.02, 0.03);
    const Rgb armour = ClanColour(clan).Scaled(0.8);
    // Spear, held upright and a little forward.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 0.16, 0.02);
    cairo_line_to(cr, 0.28 + lean, -1.55);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 0.025);
    cairo_stroke(cr);
    cairo_move_to(cr, 0.28 + lean, -1.55);
    cairo_line_to(cr, 0.29 + lean, -1.7);
    cairo_set_line_width(cr, 0.04);
    SetColour(cr, {0.75, 0.75, 0.72});
    cairo_stroke(cr);
    // Back banner on its pole.
    cairo_move_to(cr, -0.1, -0.55);
    cairo_line_to(cr, -0.12, -1.3);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 0.02);
    cairo_stroke(cr);
    cairo_rectangle(cr, -0.32, -1.28, 0.2, 0.34);
    SetColour(cr, ClanColour(clan));
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi, 0.8);
    cairo_set_line_width(cr, 0.012);
    cairo_stroke(cr);
    DrawMon(cr, clan, -0.22, -1.12, 0.07, ClanAccent(clan));
    // Legs.
    cairo_move_to(cr, -0.05, -0.38);
    cairo_line_to(cr, -0.1, 0.0);
    cairo_move_to(cr, 0.06, -0.38);
    cairo_line_to(cr, 0.1, 0.0);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 0.07);
    cairo_stroke(cr);
    // Body armour with its skirt of plates.
    cairo_move_to(cr, -0.15, -0.8);
    cairo_line_to(cr, 0.15, -0.8);
    cairo_line_to(cr, 0.2, -0.36);
    cairo_line_to(cr, -0.2, -0.36);
    cairo_close_path(cr);
    SetColour(cr, armour);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 0.02);
    cairo_stroke(cr);
    for (double yy : {-0.62, -0.48}) {
        cairo_move_to(cr, -0.17, yy);
        cairo_line_to(cr, 0.17, yy);
    }
    cairo_set_line_width(cr, 0.012);
    cairo_stroke(cr);
    // Arm reaching to the spear.
    cairo_move_to(cr, 0.08, -0.74);
    cairo_line_to(cr, 0.2, -0.5);
    cairo_set_line_width(cr, 0.06);
    SetColour(cr, armour.Scaled(0.8));
    cairo_stroke(cr);
    // Head and the wide lacquered hat.
    cairo_arc(cr, 0.02, -0.9, 0.09, 0, 2 * kPi);
    SetColour(cr, {0.80, 0.66, 0.50});
    cairo_fill(cr);
    cairo_move_to(cr, -0.22, -0.93);
    cairo_curve_to(cr, -0.1, -0.98, -0.04, -1.08, 0.02, -1.1);
    cairo_curve_to(cr, 0.08, -1.08, 0.14, -0.98, 0.26, -0.93);
    cairo_close_path(cr);
    SetColour(cr, ink::Sumi);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace kit
