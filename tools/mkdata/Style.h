// The house style of the data kit. Every generator draws its pictures with
// these helpers so that the whole game reads as one piece: warm washi paper
// with fibres, sumi ink, vermilion lacquer, gold leaf and indigo; ink-wash
// mountains and pines; lacquered plaque buttons with engraved captions; serif
// titles; one colour and one crest (mon) per clan.
//
// Everything here is deterministic: randomness comes from KitRandom seeded by
// the caller, never from a clock or the C library. Pictures are plain Cairo
// image surfaces (ARGB32, premultiplied); SavePicture turns them into the
// game's file formats.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class KitContext;

namespace kit {

// ---------------------------------------------------------------- colours

struct Rgb {
    double r, g, b;
    Rgb Mix(const Rgb& o, double t) const { return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t}; }
    Rgb Scaled(double f) const { return {r * f, g * f, b * f}; }
};

// The kit's palette of materials.
namespace ink {
inline constexpr Rgb Washi{0.925, 0.878, 0.776};      // warm paper ground
inline constexpr Rgb WashiShade{0.780, 0.700, 0.560};  // aged paper, vignette
inline constexpr Rgb Sumi{0.075, 0.068, 0.066};        // ink black
inline constexpr Rgb SumiWash{0.300, 0.290, 0.285};    // diluted ink
inline constexpr Rgb Vermilion{0.780, 0.180, 0.110};   // lacquer red
inline constexpr Rgb VermilionDark{0.420, 0.070, 0.050};
inline constexpr Rgb Gold{0.850, 0.680, 0.300};        // gold leaf
inline constexpr Rgb GoldLight{0.980, 0.890, 0.580};
inline constexpr Rgb GoldDark{0.520, 0.370, 0.110};
inline constexpr Rgb Indigo{0.120, 0.170, 0.330};
inline constexpr Rgb IndigoDark{0.055, 0.075, 0.160};
inline constexpr Rgb Lacquer{0.060, 0.045, 0.040};     // black lacquer
inline constexpr Rgb Key{1.0, 0.0, 1.0};               // transparent key of sprites (magenta)
}  // namespace ink

void SetColour(cairo_t* cr, const Rgb& c, double alpha = 1.0);

// Adds a rectangle with corners rounded by `r` (at most half its shorter
// side) to the path, as a closed sub-path of its own.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// A channel of 0..1 as a byte, rounded; out of range is clamped, never
// wrapped.
uint8_t ToByte(double unit);
// A colour as an opaque ARGB32 pixel, for writing through EditPixels.
uint32_t OpaquePixel(const Rgb& c);

// ----------------------------------------------------------- randomness

// The kit's own small generator (xorshift), so that pictures never depend on
// the game's counted generator or the C library.
class KitRandom {
public:
    explicit KitRandom(uint32_t seed) : m_state(seed * 2654435761u + 0x9E3779B9u) { if (!m_state) m_state = 1; }
    uint32_t Next();
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }  // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    int Int(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }  // both included

private:
    uint32_t m_state;
};

// Smooth value noise in [0, 1] over the plane; `scale` is the feature size in
// pixels. The same (x, y, seed) always gives the same value.
double ValueNoise(double x, double y, double scale, uint32_t seed);

// --------------------------------------------------------------- pictures

// An owned Cairo image surface with its context. Alpha pictures start fully
// transparent (sprites); others start black and are painted whole.
class Picture {
public:
    Picture(int width, int height, bool alpha = false);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    cairo_t* cr() const { return m_cr; }
    cairo_surface_t* Surface() const { return m_surface; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool HasAlpha() const { return m_alpha; }

    // Direct pixel access (ARGB32 premultiplied, top row first). Flushes
    // Cairo before and marks the surface dirty after.
    void EditPixels(const std::function<void(uint32_t* row, int y)>& fn);

private:
    int m_width, m_height;
    bool m_alpha;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

// Resolves soft edges of an alpha picture for a known ground: every pixel at
// least `threshold` covered is mixed over `matte` and made opaque, the rest
// made fully transparent. Text and sprites then keep smooth edges on the
// ground they are meant for after the key-colour cut of SavePicture.
void FlattenOnto(Picture& p, const Rgb& matte, double threshold);

enum class PictureFormat {
    Giz24,  // ".giz" 24-bit: backgrounds and most pictures
    Giz8,   // ".giz" 8-bit with palette: sprites that are hit-tested or run-length coded
    Giz8Dithered,  // ".giz" 8-bit, its own palette, error-diffused: painted maps with soft shading
    Bmp24,  // Windows BMP, 24-bit
    Bmp8,   // Windows BMP, 8-bit with palette (zone and altitude style maps)
    Jpeg,   // JPEG, quality 75
};

// Writes a picture under a game file name ("Pictures\\Cmb\\Cmb Exit Up.giz").
// Alpha pictures become sprites: every pixel less than half covered becomes
// the key colour, pixel (0, 0) is always key (the game reads the key from
// it), and 8-bit sprites keep the key at palette index 0. Opaque pictures are
// written as drawn. The same picture always gives the same bytes.
void SavePicture(const KitContext& kit, const std::string& gameName, const Picture& picture,
                 PictureFormat format);

// An 8-bit picture given as indices and palette (for maps whose index values
// carry meaning). Rows top first, width x height bytes; palette of up to 256
// entries.
void SaveIndexed(const KitContext& kit, const std::string& gameName, int width, int height,
                 const std::vector<uint8_t>& indices, const std::vector<Rgb>& palette, PictureFormat format);

// ------------------------------------------------------------ screen sizes

// The two layouts of the game: 1280 x 1024 under a picture's own name and
// 1024 x 768 under the name with the prefix "1024".
struct ScreenLayout {
    int width, height;
    const char* prefix;  // "" or "1024"
    double sx() const { return width / 1280.0; }   // horizontal factor from the 1280 layout
    double sy() const { return height / 1024.0; }  // vertical factor from the 1280 layout
    double s() const { return sx() < sy() ? sx() : sy(); }
};
extern const ScreenLayout kLayouts[2];

// Draws a full-screen picture once per layout and saves it as
// folder + prefix + name + extension of the format.
void SaveForBothLayouts(const KitContext& kit, const std::string& folder, const std::string& name,
                        PictureFormat format, const std::function<void(Picture&, const ScreenLayout&)>& draw);

// --------------------------------------------------------------- grounds

// Washi paper: a warm ground tinted toward `tint` by `tintAmount`, mottled,
// with long pale and dark fibres and a soft darker rim.
void PaintWashi(Picture& p, uint32_t seed, const Rgb& tint = ink::Washi, double tintAmount = 0.0);

// Fibres and grain over whatever is already painted in a rectangle (used on
// lacquer and on ink-wash so that they keep the feel of the paper).
void PaintGrain(Picture& p, double x, double y, double w, double h, uint32_t seed, double strength);

// A ridge line: y of the ridge sampled evenly from x0 to x1.
struct Ridge {
    double x0 = 0, x1 = 0;
    std::vector<double> ys;
    double At(double x) const;
};

// One ink-wash mountain range between x0 and x1: a fractal ridge whose top is
// near `ridgeY` with peaks up to `peak` pixels high, filled with diluted ink
// that fades to nothing `fade` pixels below the ridge (mist).
Ridge PaintMountainRange(cairo_t* cr, double x0, double x1, double ridgeY, double peak, double fade,
                         const Rgb& colour, double alpha, uint32_t seed);

// A standard ink-wash landscape across a rectangle: far pale ranges, nearer
// darker ones with pines, mist bands. `horizon` is the y of the farthest
// ridge; `groundY` where the nearest ridge stands.
void PaintLandscape(cairo_t* cr, double x, double y, double w, double h, double horizon, double groundY,
                    double scale, uint32_t seed);

// A pine in sumi ink: leaning trunk and flat needle clouds. `height` in pixels.
void PaintPine(cairo_t* cr, double baseX, double baseY, double height, const Rgb& colour, double alpha,
               uint32_t seed);

// A castle keep in silhouette, standing on its stone base at (cx, baseY).
void PaintCastleKeep(cairo_t* cr, double cx, double baseY, double scale, const Rgb& colour, double alpha);

// The red sun of the ink paintings.
void PaintSun(cairo_t* cr, double cx, double cy, double radius, double alpha = 0.9);

// A few birds in flight, small ink ticks.
void PaintBirds(cairo_t* cr, double x, double y, double spread, int count, double size, uint32_t seed);

// A gold-leaf border band inside a rectangle, with ink rules either side.
void PaintGoldFrame(cairo_t* cr, double x, double y, double w, double h, double band);

// A panel of black lacquer with a gold rim and soft sheen; `radius` rounds
// the corners.
void PaintLacquerPanel(cairo_t* cr, double x, double y, double w, double h, double radius, double rim,
                       const Rgb& lacquer = ink::Lacquer, double alpha = 1.0);

// The wave pattern of overlapping fans (seigaiha) over a rectangle, in
// faint lines: a quiet texture for lacquer panels and dialog grounds.
void PaintWaves(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgb& colour,
                double alpha);

// A vermilion seal stamp (hanko) with a crest inside.
void PaintSeal(cairo_t* cr, double cx, double cy, double size, int clan, double alpha = 0.9);


// -------------------------------------------------------------- lettering

// The serif is a Garamond with old-style figures; Figures is a serif with
// lining figures for numbers that must line up (scores, counts).
enum class Face { Serif, SerifBold, Sans, SansBold, Figures };

// Selects a face and size (pixels) into the context.
void SelectFace(cairo_t* cr, Face face, double size);
double TextWidth(cairo_t* cr, const std::string& text);

enum class Align { Left, Centre, Right };

struct TextStyle {
    Face face = Face::Serif;
    double size = 24;
    Rgb fill = ink::Sumi;
    Rgb fillLow = ink::Sumi;      // vertical gradient to this colour (same as fill: flat)
    double outline = 0;           // outline width in pixels, 0 none
    Rgb outlineColour = ink::Sumi;
    double shadow = 0;            // drop shadow offset, 0 none
    double shadowAlpha = 0.55;
    double tracking = 0;          // extra space between letters in pixels
};

// Draws a line of text with its baseline at y; returns its width.
double DrawText(cairo_t* cr, const std::string& text, double x, double y, Align align, const TextStyle& style);

// A caption cut into a surface: a dark edge above-left, a light edge
// below-right and the fill in the cut, centred on cx.
void DrawEngraved(cairo_t* cr, const std::string& text, double cx, double baseline, Face face, double size,
                  const Rgb& fill, const Rgb& dark, const Rgb& light, double tracking = 0);

// ------------------------------------------------------------------ buttons

enum class PlaqueKind {
    Lacquer,    // black lacquer, gold rim, gold caption: menus
    Vermilion,  // red lacquer, gold rim, gold caption: confirmations
    Paper,      // washi card, ink caption: small dialog buttons
};

// Draws one plaque button state into an alpha picture of the button's size.
// Up is raised and lit from above; down is pressed, darker and sunk.
void DrawPlaque(Picture& p, const std::string& caption, PlaqueKind kind, bool pressed, double fontSize);

// Writes the pair folder + prefix + base + " Up.giz" / " Dn.giz" (8-bit
// sprites, transparent outside the plaque).
void SavePlaqueButton(const KitContext& kit, const std::string& folder, const std::string& base, int width,
                      int height, const std::string& caption, PlaqueKind kind, double fontSize);

// ------------------------------------------------------------------ clans

// Clan numbers of the game (named by kClanNames of core/WorldNames.h): 1 Velmor,
// 2 Karsin, 3 Dorneth, 4 Lask, 5 Zem, 6 Wenmarch, 7 Sabe, 8 Quarnith,
// 9 Ruel, 10 Feyrond, 11 Warrior Monks, 12 Emperor, 13 Independent. Others
// fall back to Independent.
inline constexpr int kClanCount = 13;
Rgb ClanColour(int clan);
Rgb ClanAccent(int clan);  // the second colour of its banners

// Draws the clan's crest (a geometric mon) centred at (cx, cy) with outer
// radius r in the given colour; the ground shows through its gaps.
void DrawMon(cairo_t* cr, int clan, double cx, double cy, double r, const Rgb& colour, double alpha = 1.0);

// A nobori war banner of the clan: pole, vertical cloth in its colours with
// the crest, fluttering slightly.
void PaintBanner(cairo_t* cr, int clan, double poleX, double baseY, double height, uint32_t seed);

// A foot soldier in silhouette, `height` pixels tall, standing at (x, baseY):
// lacquered hat, armour in the clan's colour, the small back banner and a
// spear. `facing` is +1 looking right, -1 left.
void PaintFootSoldier(cairo_t* cr, int clan, double x, double baseY, double height, int facing, uint32_t seed);

}  // namespace kit
