// A small 3-D model of a soldier, his horse and his gear, drawn in the kit's
// ink-and-lacquer style. A figure is a list of simple solids (limbs as
// capsules, heads as spheres, hats as flat cones, cloth as flat quads, shafts
// as lines) placed in the figure's own space; the painter turns the whole
// figure to one of the eight facings, projects it for the battlefield's
// oblique view, sorts the solids back to front and shades them with the
// battlefields' light from the north-west. Eight facings are thus one model
// seen from eight sides, never hand-made mirror images.
//
// Figure space: x to the figure's right, y forward, z up; a man standing is
// about 1.0 tall. Field space: x east, y south (toward the viewer), z up.
#pragma once

#include <cairo.h>

#include <vector>

#include "tools/mkdata/Style.h"

namespace kit {

struct V3 {
    double x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

class Figure {
public:
    // A limb or body between two points, `width` thick (figure units),
    // round at both ends. Wide ones are shaded as cylinders.
    void Capsule(V3 a, V3 b, double width, const Rgb& colour);
    // A head, a helmet bowl, a puff of smoke.
    void Sphere(V3 c, double radius, const Rgb& colour, bool outlined = true);
    // A hat: a flat cone of the given radius whose rim lies at `rim` and
    // whose point stands `peak` above it.
    void Cone(V3 rim, double radius, double peak, const Rgb& colour);
    // A flat piece of cloth or plate through four corners in order. With a
    // clan number above 0 the clan's crest is dyed on it in `crestColour`,
    // centred at (u, v) of the quad (0..1 from the first corner along the
    // first and the last edge).
    void Quad(V3 a, V3 b, V3 c, V3 d, const Rgb& colour, int crestClan = 0, const Rgb& crestColour = {},
              double crestU = 0.5, double crestV = 0.5, double crestSize = 0.3);
    // A thin line (shafts, strings, reins) `pixels` wide whatever the scale.
    void Line(V3 a, V3 b, double pixels, const Rgb& colour);
    // A curve through three points (a bow), `pixels` wide.
    void Curve(V3 a, V3 mid, V3 b, double pixels, const Rgb& colour);

    // Every later solid is turned by `angle` radians about the axis through
    // `pivot` along `axis` (x or y of figure space) before it is placed: a
    // falling man, a rearing horse. Transforms stack until PopTurn.
    void PushTurn(V3 pivot, char axis, double angle);
    void PopTurn();

    // Draws the figure onto `cr` with its ground point (figure origin) at
    // (ox, oy) pixels, `scale` pixels per figure unit, facing 0 (north) to 7
    // clockwise, with its shadow dithered onto the ground to the south-east.
    // Returns nothing; the caller clips to the cell.
    void Paint(cairo_t* cr, double ox, double oy, double scale, int facing) const;

    // Pixels of the shadow, for DitherShadow: the footprint of the figure.
    void ShadowFootprint(cairo_t* cr, double ox, double oy, double scale, int facing) const;

private:
    enum class Kind { Capsule, Sphere, Cone, Quad, Line, Curve };
    struct Solid {
        Kind kind;
        V3 p[4];
        double size = 0, extra = 0;  // width or radius; peak height or line pixels
        Rgb colour{}, crestColour{};
        int crestClan = 0;
        double crestU = 0.5, crestV = 0.5, crestSize = 0.3;
        bool outlined = true;
    };
    struct Turn {
        V3 pivot;
        char axis;
        double c, s;
    };
    V3 Place(V3 p) const;
    void Add(Solid s, int points);

    std::vector<Solid> m_solids;
    std::vector<Turn> m_turns;
};

// The pitch of the battlefield view: how much of a height and of a ground
// depth a picture shows.
inline constexpr double kViewHeight = 0.82;  // cos of the view's pitch
inline constexpr double kViewDepth = 0.57;   // sin of the view's pitch

// Darkens every other transparent pixel under `shadow` (an A8 mask of the
// same size) of the sprite `p`, leaving drawn pixels alone: a shadow the
// game's keyed sprites can show.
void DitherShadow(Picture& p, cairo_surface_t* shadow, const Rgb& colour);

}  // namespace kit
