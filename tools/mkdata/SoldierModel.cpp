#include "tools/mkdata/SoldierModel.h"

#include <algorithm>
#include <cmath>

namespace kit {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The battlefields' light: from the north-west and above, in field space.
struct Light {
    double x, y, z;
};
constexpr Light kLight{-0.55, -0.55, 0.63};
// The same light seen on the screen: from the upper left.
constexpr double kLightScreenX = -0.62, kLightScreenY = -0.78;
// How far a height throws its shadow along the ground (to the south-east).
constexpr double kShadowX = 0.55, kShadowY = 0.30;

Rgb Clamp(const Rgb& c) {
    return {std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0)};
}
Rgb Lit(const Rgb& c, double f) { return Clamp(f > 1 ? c.Mix({1, 1, 1}, (f - 1) * 0.6).Scaled(1.0) : c.Scaled(f)); }
Rgb Ink(const Rgb& c) { return c.Scaled(0.28).Mix(ink::Sumi, 0.5); }

struct Screen {
    double x, y, depth;
};

struct View {
    double ox, oy, scale, c, s;
    // Figure space to field space, then to the screen.
    void Field(V3 p, double& X, double& Y) const {
        X = p.x * c + p.y * s;
        Y = p.x * s - p.y * c;
    }
    Screen Project(V3 p) const {
        double X, Y;
        Field(p, X, Y);
        return {ox + X * scale, oy + (Y * kViewDepth - p.z * kViewHeight) * scale, Y * kViewHeight + p.z * kViewDepth};
    }
    // Where the point's shadow falls on the ground, on the screen.
    Screen Shadow(V3 p) const {
        double X, Y;
        Field(p, X, Y);
        const double h = std::max(0.0, p.z);
        return {ox + (X + h * kShadowX) * scale, oy + (Y + h * kShadowY) * kViewDepth * scale, 0};
    }
};

View MakeView(double ox, double oy, double scale, int facing) {
    const double a = (facing & 7) * kPi / 4;
    return {ox, oy, scale, std::cos(a), std::sin(a)};
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    if (rx < 0.05 || ry < 0.05) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// A cubic through a quadratic's control point, passing through `mid`.
void CurveThrough(cairo_t* cr, const Screen& a, const Screen& m, const Screen& b) {
    const double cx = 2 * m.x - (a.x + b.x) / 2, cy = 2 * m.y - (a.y + b.y) / 2;
    cairo_move_to(cr, a.x, a.y);
    cairo_curve_to(cr, a.x + (cx - a.x) * 2 / 3, a.y + (cy - a.y) * 2 / 3, b.x + (cx - b.x) * 2 / 3,
                   b.y + (cy - b.y) * 2 / 3, b.x, b.y);
}

}  // namespace

V3 Figure::Place(V3 p) const {
    for (auto t = m_turns.rbegin(); t != m_turns.rend(); ++t) {
        V3 d = p - t->pivot;
        if (t->axis == 'x')
            d = {d.x, t->c * d.y - t->s * d.z, t->s * d.y + t->c * d.z};
        else
            d = {t->c * d.x - t->s * d.z, d.y, t->s * d.x + t->c * d.z};
        p = d + t->pivot;
    }
    return p;
}

void Figure::Add(Solid s, int points) {
    for (int i = 0; i < points; ++i) s.p[i] = Place(s.p[i]);
    m_solids.push_back(s);
}

void Figure::PushTurn(V3 pivot, char axis, double angle) {
    m_turns.push_back({pivot, axis, std::cos(angle), std::sin(angle)});
}

void Figure::PopTurn() {
    if (!m_turns.empty()) m_turns.pop_back();
}

void Figure::Capsule(V3 a, V3 b, double width, const Rgb& colour) {
    Solid s{Kind::Capsule, {a, b}};
    s.size = width;
    s.colour = colour;
    Add(s, 2);
}

void Figure::Sphere(V3 c, double radius, const Rgb& colour, bool outlined) {
    Solid s{Kind::Sphere, {c}};
    s.size = radius;
    s.colour = colour;
    s.outlined = outlined;
    Add(s, 1);
}

void Figure::Cone(V3 rim, double radius, double peak, const Rgb& colour) {
    Solid s{Kind::Cone, {rim, rim + V3{0, 0, peak}}};
    s.size = radius;
    s.extra = peak;
    s.colour = colour;
    Add(s, 2);
}

void Figure::Quad(V3 a, V3 b, V3 c, V3 d, const Rgb& colour, int crestClan, const Rgb& crestColour, double crestU,
                  double crestV, double crestSize) {
    Solid s{Kind::Quad, {a, b, c, d}};
    s.colour = colour;
    s.crestClan = crestClan;
    s.crestColour = crestColour;
    s.crestU = crestU;
    s.crestV = crestV;
    s.crestSize = crestSize;
    Add(s, 4);
}

void Figure::Line(V3 a, V3 b, double pixels, const Rgb& colour) {
    Solid s{Kind::Line, {a, b}};
    s.extra = pixels;
    s.colour = colour;
    Add(s, 2);
}

void Figure::Curve(V3 a, V3 mid, V3 b, double pixels, const Rgb& colour) {
    Solid s{Kind::Curve, {a, mid, b}};
    s.extra = pixels;
    s.colour = colour;
    Add(s, 3);
}

void Figure::Paint(cairo_t* cr, double ox, double oy, double scale, int facing) const {
    const View v = MakeView(ox, oy, scale, facing);
    struct Item {
        double depth;
        size_t index;
    };
    std::vector<Item> order;
    order.reserve(m_solids.size());
    for (size_t i = 0; i < m_solids.size(); ++i) {
        const Solid& s = m_solids[i];
        int n = s.kind == Kind::Quad ? 4 : s.kind == Kind::Curve ? 3 : s.kind == Kind::Sphere ? 1 : 2;
        if (s.kind == Kind::Cone) n = 1;
        double d = 0;
        for (int k = 0; k < n; ++k) d += v.Project(s.p[k]).depth;
        order.push_back({d / n, i});
    }
    std::stable_sort(order.begin(), order.end(), [](const Item& a, const Item& b) { return a.depth < b.depth; });

    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const Item& it : order) {
        const Solid& s = m_solids[it.index];
        switch (s.kind) {
        case Kind::Capsule: {
            const Screen a = v.Project(s.p[0]), b = v.Project(s.p[1]);
            const double w = s.size * scale;
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x + 0.001, b.y);
            SetColour(cr, Ink(s.colour));
            cairo_set_line_width(cr, w + 1.1);
            cairo_stroke_preserve(cr);
            cairo_set_line_width(cr, w);
            if (w >= 2.2) {
                // Shaded across as a cylinder lit from the upper left.
                double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
                double px = len > 1e-6 ? -dy / len : -kLightScreenX, py = len > 1e-6 ? dx / len : -kLightScreenY;
                if (px * kLightScreenX + py * kLightScreenY < 0) px = -px, py = -py;
                const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2, h = w / 2;
                cairo_pattern_t* g = cairo_pattern_create_linear(mx + px * h, my + py * h, mx - px * h, my - py * h);
                const Rgb hi = Lit(s.colour, 1.25), lo = Lit(s.colour, 0.62);
                cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
                cairo_pattern_add_color_stop_rgb(g, 0.45, s.colour.r, s.colour.g, s.colour.b);
                cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
                cairo_set_source(cr, g);
                cairo_stroke(cr);
                cairo_pattern_destroy(g);
            } else {
                SetColour(cr, s.colour);
                cairo_stroke(cr);
            }
            break;
        }
        case Kind::Sphere: {
            const Screen c = v.Project(s.p[0]);
            const double r = std::max(0.6, s.size * scale);
            if (s.outlined) {
                cairo_arc(cr, c.x, c.y, r + 0.55, 0, 2 * kPi);
                SetColour(cr, Ink(s.colour));
                cairo_fill(cr);
            }
            cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
            cairo_pattern_t* g =
                cairo_pattern_create_radial(c.x - r * 0.4, c.y - r * 0.45, r * 0.1, c.x, c.y, r * 1.05);
            const Rgb hi = Lit(s.colour, 1.3), lo = Lit(s.colour, 0.66);
            cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
            cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            break;
        }
        case Kind::Cone: {
            const Screen c = v.Project(s.p[0]), top = v.Project(s.p[1]);
            const double rx = s.size * scale, ry = rx * kViewDepth;
            auto path = [&] {
                Ellipse(cr, c.x, c.y, rx, ry);
                cairo_move_to(cr, c.x - rx, c.y);
                cairo_line_to(cr, top.x, top.y);
                cairo_line_to(cr, c.x + rx, c.y);
                cairo_close_path(cr);
            };
            path();
            SetColour(cr, Ink(s.colour));
            cairo_set_line_width(cr, 1.1);
            cairo_stroke(cr);
            path();
            cairo_pattern_t* g = cairo_pattern_create_linear(c.x - rx, top.y, c.x + rx, c.y + ry);
            const Rgb hi = Lit(s.colour, 1.45), lo = Lit(s.colour, 0.7);
            cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
            cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
            cairo_set_source(cr, g);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            break;
        }
        case Kind::Quad: {
            Screen q[4];
            for (int k = 0; k < 4; ++k) q[k] = v.Project(s.p[k]);
            // Cloth is lit on whichever side the light falls.
            double X[4], Y[4];
            for (int k = 0; k < 4; ++k) v.Field(s.p[k], X[k], Y[k]);
            const double ux = X[1] - X[0], uy = Y[1] - Y[0], uz = s.p[1].z - s.p[0].z;
            const double wx = X[3] - X[0], wy = Y[3] - Y[0], wz = s.p[3].z - s.p[0].z;
            double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
            const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            const double lit = nl > 1e-9 ? std::abs(nx * kLight.x + ny * kLight.y + nz * kLight.z) / nl : 0.5;
            cairo_move_to(cr, q[0].x, q[0].y);
            for (int k = 1; k < 4; ++k) cairo_line_to(cr, q[k].x, q[k].y);
            cairo_close_path(cr);
            SetColour(cr, Lit(s.colour, 0.72 + 0.45 * lit));
            cairo_fill_preserve(cr);
            SetColour(cr, Ink(s.colour));
            cairo_set_line_width(cr, 0.9);
            cairo_stroke(cr);
            if (s.crestClan > 0) {
                const double lu = std::sqrt(ux * ux + uy * uy + uz * uz), lv = std::sqrt(wx * wx + wy * wy + wz * wz);
                const double ex = (q[1].x - q[0].x) / lu, ey = (q[1].y - q[0].y) / lu;
                const double fx = (q[3].x - q[0].x) / lv, fy = (q[3].y - q[0].y) / lv;
                const double det = ex * fy - ey * fx;
                if (lu > 1e-6 && lv > 1e-6 && std::abs(det) > scale * scale * 0.08) {
                    cairo_save(cr);
                    cairo_matrix_t m;
                    cairo_matrix_init(&m, ex, ey, fx, fy, q[0].x, q[0].y);
                    cairo_transform(cr, &m);
                    DrawMon(cr, s.crestClan, s.crestU * lu, s.crestV * lv, s.crestSize * std::min(lu, lv),
                            Lit(s.crestColour, 0.8 + 0.3 * lit));
                    cairo_restore(cr);
                }
            }
            break;
        }
        case Kind::Line:
        case Kind::Curve: {
            const Screen a = v.Project(s.p[0]), b = v.Project(s.p[1]);
            if (s.kind == Kind::Line) {
                cairo_move_to(cr, a.x, a.y);
                cairo_line_to(cr, b.x + 0.001, b.y);
            } else {
                CurveThrough(cr, a, b, v.Project(s.p[2]));
            }
            SetColour(cr, s.colour);
            cairo_set_line_width(cr, s.extra);
            cairo_stroke(cr);
            break;
        }
        }
    }
    cairo_restore(cr);
}

void Figure::ShadowFootprint(cairo_t* cr, double ox, double oy, double scale, int facing) const {
    const View v = MakeView(ox, oy, scale, facing);
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const Solid& s : m_solids) {
        switch (s.kind) {
        case Kind::Capsule:
        case Kind::Line: {
            const Screen a = v.Shadow(s.p[0]), b = v.Shadow(s.p[1]);
            cairo_move_to(cr, a.x, a.y);
            cairo_line_to(cr, b.x + 0.001, b.y);
            cairo_set_line_width(cr, s.kind == Kind::Line ? s.extra : s.size * scale);
            cairo_stroke(cr);
            break;
        }
        case Kind::Sphere:
        case Kind::Cone: {
            const Screen c = v.Shadow(s.p[0]);
            Ellipse(cr, c.x, c.y, s.size * scale, s.size * scale * kViewDepth);
            cairo_fill(cr);
            break;
        }
        case Kind::Quad: {
            Screen q[4];
            for (int k = 0; k < 4; ++k) q[k] = v.Shadow(s.p[k]);
            cairo_move_to(cr, q[0].x, q[0].y);
            for (int k = 1; k < 4; ++k) cairo_line_to(cr, q[k].x, q[k].y);
            cairo_close_path(cr);
            cairo_fill(cr);
            break;
        }
        case Kind::Curve:
            break;
        }
    }
    cairo_restore(cr);
}

void DitherShadow(Picture& p, cairo_surface_t* shadow, const Rgb& colour) {
    cairo_surface_flush(shadow);
    const unsigned char* mask = cairo_image_surface_get_data(shadow);
    const int stride = cairo_image_surface_get_stride(shadow);
    const uint32_t px = OpaquePixel(colour);
    p.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < p.Width(); ++x)
            if ((x + y) % 2 == 0 && mask[size_t(y) * stride + x] >= 128 && (row[x] >> 24) < 128) row[x] = px;
    });
}

}  // namespace kit
