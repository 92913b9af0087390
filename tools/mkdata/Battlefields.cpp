#include "tools/mkdata/Battlefields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "field/AltitudeMap.h"
#include "field/TerrainList.h"
#include "core/GameTables.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"
#include "tools/mkdata/TerrainObjects.h"

namespace kit {

// Altitude bytes with a meaning of their own.
constexpr uint8_t kWaterByte = 200;   // troops wade
constexpr uint8_t kObstacleByte = 250;  // walls and buildings stand here

const std::vector<FieldDesign>& FieldDesigns() {
    static const std::vector<FieldDesign> designs = [] {
        std::vector<FieldDesign> v;
        {
            FieldDesign d{};
            d.key = "A1M", d.name = "Sezawa", d.seed = 101, d.castleMap = false, d.greenness = 0.8;
            d.hills = {{1500, 700, 380, 260, 34}, {2350, 1500, 300, 240, 26}, {700, 1650, 260, 200, 18},
                       {1000, 420, 220, 150, 14}};
            d.rivers = {{{{1900, -40}, {1850, 400}, {1960, 800}, {1800, 1200}, {1900, 1600}, {1820, 2040}}, 30}};
            d.roads = {{{{-40, 1100}, {600, 1050}, {1200, 1150}, {1800, 1100}, {2400, 1000}, {3040, 1050}}, 30},
                       {{{1200, 1150}, {1300, 1500}, {1250, 2040}}, 22}};
            d.clusters = {{1500, 560, 230, 40, 0, 11, -1},   {2520, 420, 200, 32, 0, 11, -1},
                          {620, 380, 170, 22, 0, 11, -1},    {2200, 1720, 120, 14, 50, 59, -1},
                          {1620, 1420, 320, 12, 40, 49, -1}, {1020, 1360, 150, 7, 60, 75, 4},
                          {2050, 760, 90, 6, 12, 19, -1}};
            d.paddies = {{CRect(820, 1480, 1240, 1760), 30, 39}, {CRect(1340, 1220, 1760, 1500), 30, 39}};
            d.objects = {{104, 1480, 800, 4},  {314, 1380, 830, -1}, {315, 1410, 850, -1}, {316, 1440, 860, -1},
                         {293, 1080, 1290, 4}, {298, 2060, 520, -1}, {300, 2650, 1250, -1}, {304, 880, 1090, -1},
                         {323, 1230, 1100, -1}, {324, 2380, 970, -1}, {296, 800, 1800, -1}};
            d.castle.present = false;
            d.headquarters[0][0] = {380, 1000}, d.headquarters[0][1] = {380, 760};
            d.headquarters[1][0] = {2620, 1000}, d.headquarters[1][1] = {2620, 760};
            d.deploy[0] = CRect(180, 400, 800, 1600), d.deploy[1] = CRect(2200, 400, 2820, 1600);
            v.push_back(d);
        }
        {
            FieldDesign d{};
            d.key = "C1M", d.name = "Uehara Castle", d.seed = 202, d.castleMap = true, d.greenness = 0.6;
            d.hills = {{2260, 970, 420, 360, 30}, {600, 1700, 300, 220, 14}, {900, 350, 280, 200, 18}};
            d.rivers = {{{{-40, 1800}, {500, 1880}, {1100, 1820}, {1500, 1900}, {1800, 2040}}, 40}};
            d.roads = {{{{-40, 1000}, {800, 980}, {1500, 1060}, {1850, 1330}, {2310, 1320}, {2310, 1200}}, 32},
                       {{{2206, 720}, {2000, 450}, {1600, 300}, {1200, -40}}, 24}};
            d.clusters = {{700, 420, 260, 38, 0, 11, -1},    {820, 1560, 220, 26, 0, 11, -1},
                          {1320, 460, 120, 10, 50, 59, -1},  {1480, 1000, 230, 12, 76, 91, 4},
                          {2800, 1700, 150, 12, 0, 11, -1},  {2780, 300, 150, 12, 0, 11, -1},
                          {1200, 1500, 200, 10, 40, 49, -1}};
            d.paddies = {{CRect(900, 1180, 1500, 1460), 30, 39}, {CRect(1500, 1500, 1900, 1720), 30, 39}};
            d.objects = {{293, 1440, 880, -1}, {305, 1700, 1200, -1}, {326, 1850, 1420, -1}, {299, 1100, 800, -1}};
            d.castle = {CRect(2050, 750, 2466, 1181), 167, 116, 143, 161, 1, 2, true};
            d.headquarters[0][0] = {350, 1000}, d.headquarters[0][1] = {350, 760};
            d.headquarters[1][0] = {2130, 1130}, d.headquarters[1][1] = {2390, 1130};
            d.deploy[0] = CRect(180, 400, 800, 1600), d.deploy[1] = CRect(2100, 800, 2420, 1140);
            v.push_back(d);
        }
        {
            FieldDesign d{};
            d.key = "A4L", d.name = "Kawanakajima Fuse", d.seed = 303, d.castleMap = false, d.greenness = 0.9;
            d.hills = {{500, 1000, 320, 260, 10}, {2500, 700, 320, 260, 14}, {2700, 1700, 250, 200, 8}};
            d.rivers = {{{{1450, -60}, {1550, 350}, {1400, 800}, {1600, 1250}, {1500, 1650}, {1580, 2060}}, 90},
                        {{{3060, 300}, {2500, 460}, {1900, 560}, {1510, 620}}, 40}};
            d.roads = {{{{-40, 1500}, {700, 1450}, {1500, 1450}, {2200, 1200}, {3040, 1100}}, 26}};
            d.clusters = {{1300, 700, 150, 10, 12, 19, -1}, {1720, 1320, 150, 10, 12, 19, -1},
                          {1680, 220, 130, 8, 12, 19, -1},  {2300, 950, 130, 10, 50, 59, -1},
                          {620, 1640, 170, 9, 60, 75, 4},   {1000, 420, 180, 20, 0, 11, -1},
                          {2500, 1600, 180, 12, 40, 49, -1}};
            d.paddies = {{CRect(200, 150, 900, 390), 30, 39}, {CRect(1950, 1640, 2750, 1880), 30, 39},
                         {CRect(1750, 700, 2150, 950), 30, 39}};
            d.objects = {{293, 700, 1480, -1}, {310, 1150, 1470, -1}, {320, 2600, 520, -1}, {325, 1900, 1300, -1}};
            d.castle.present = false;
            d.headquarters[0][0] = {350, 1000}, d.headquarters[0][1] = {350, 760};
            d.headquarters[1][0] = {2650, 1000}, d.headquarters[1][1] = {2650, 1280};
            d.deploy[0] = CRect(180, 400, 900, 1600), d.deploy[1] = CRect(2100, 400, 2820, 1600);
            v.push_back(d);
        }
        return v;
    }();
    return designs;
}

namespace {

// A smooth curve through the points (Catmull-Rom turned into Beziers).
void TracePath(cairo_t* cr, const std::vector<CPoint>& pts) {
    if (pts.empty()) return;
    cairo_move_to(cr, pts[0].x, pts[0].y);
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        CPoint p0 = pts[i == 0 ? 0 : i - 1], p1 = pts[i], p2 = pts[i + 1], p3 = pts[std::min(i + 2, pts.size() - 1)];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6.0, p1.y + (p2.y - p0.y) / 6.0, p2.x - (p3.x - p1.x) / 6.0,
                       p2.y - (p3.y - p1.y) / 6.0, p2.x, p2.y);
    }
}

// A mask of the lines at the altitude map's resolution (one byte per 5 x 5
// field units, row-major): the same curves the background paints.
std::vector<uint8_t> LineMask(const std::vector<FieldLine>& lines, double extra) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 600, 400);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, 0.2, 0.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const FieldLine& l : lines) {
        TracePath(cr, l.points);
        cairo_set_line_width(cr, l.width + extra);
        cairo_stroke(cr);
    }
    cairo_surface_flush(s);
    std::vector<uint8_t> mask(600 * 400);
    const uint8_t* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) mask[size_t(y) * 600 + size_t(x)] = data[y * stride + x] >= 128;
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return mask;
}

bool MaskAt(const std::vector<uint8_t>& mask, int x, int y) {
    x = std::clamp(x / 5, 0, 599), y = std::clamp(y / 5, 0, 399);
    return mask[size_t(y) * 600 + size_t(x)] != 0;
}

// The field's height in altitude bytes (before water and obstacles).
struct HeightField {
    std::vector<double> h;  // 600 x 400, row-major
    explicit HeightField(const FieldDesign& d) : h(600 * 400) {
        for (int cy = 0; cy < 400; ++cy)
            for (int cx = 0; cx < 600; ++cx) {
                double x = cx * 5 + 2.5, y = cy * 5 + 2.5, v = 0;
                for (const FieldHill& hill : d.hills) {
                    double dx = (x - hill.x) / hill.rx, dy = (y - hill.y) / hill.ry;
                    v += hill.height * std::exp(-(dx * dx + dy * dy) * 1.6);
                }
                v += 3.0 * ValueNoise(x, y, 260, d.seed + 7);
                h[size_t(cy) * 600 + size_t(cx)] = v;
            }
    }
    double At(double x, double y) const {
        double fx = std::clamp(x / 5 - 0.5, 0.0, 598.999), fy = std::clamp(y / 5 - 0.5, 0.0, 398.999);
        int ix = int(fx), iy = int(fy);
        double tx = fx - ix, ty = fy - iy;
        auto H = [&](int a, int b) { return h[size_t(b) * 600 + size_t(a)]; };
        return (H(ix, iy) * (1 - tx) + H(ix + 1, iy) * tx) * (1 - ty) + (H(ix, iy + 1) * (1 - tx) + H(ix + 1, iy + 1) * tx) * ty;
    }
};

struct Placed {
    int type, x, y, facing;
};

class FieldBuilder {
public:
    explicit FieldBuilder(const FieldDesign& d)
        : m_d(d), m_rnd(d.seed), m_heights(d), m_water(LineMask(d.rivers, 0)), m_roads(LineMask(d.roads, 16)) {
        BuildTerrainDB(m_db);
    }

    void PlaceAll() {
        if (m_d.castle.present) PlaceCastle();
        for (const FieldObject& o : m_d.objects) TryPlace(o.type, o.x, o.y, o.facing, true);
        for (int side = 0; side < 2; ++side)
            for (int kind = 0; kind < 2; ++kind) {
                CPoint p = m_d.headquarters[side][kind];
                // The placeholders of the two sides' headquarters banners.
                Force(361 + side * 2 + kind, p.x, p.y, -1);
            }
        for (const FieldPaddies& p : m_d.paddies) PlacePaddies(p);
        for (const FieldCluster& c : m_d.clusters) PlaceCluster(c);
    }

    std::vector<uint8_t> AltitudeBytes() const {  // 600 x 400, column-major as the game keeps it
        std::vector<uint8_t> bytes(600 * 400);
        for (int cx = 0; cx < 600; ++cx)
            for (int cy = 0; cy < 400; ++cy) {
                double v = m_heights.h[size_t(cy) * 600 + size_t(cx)];
                uint8_t b = uint8_t(std::clamp(int(std::lround(v)), 0, 120));
                if (m_water[size_t(cy) * 600 + size_t(cx)]) b = kWaterByte;
                bytes[size_t(cx) * 400 + size_t(cy)] = b;
            }
        // Whatever blocks the grid stands on obstacle bytes.
        for (const Placed& p : m_placed) {
            const CTerrainRectRecord& rec = m_db.GetRecord(p.type);
            if (!rec.snapToCells) continue;
            for (const CRect& r : rec.states[0].rects) {
                if (r.IsRectNull()) continue;
                CRect f = r;
                f.OffsetRect(p.x - rec.originX, p.y - rec.originY);
                for (int x = std::max(0, int(f.left)) / 5; x <= std::min(2999, int(f.right)) / 5; ++x)
                    for (int y = std::max(0, int(f.top)) / 5; y <= std::min(1999, int(f.bottom)) / 5; ++y)
                        bytes[size_t(x) * 400 + size_t(y)] = kObstacleByte;
            }
        }
        return bytes;
    }

    void FillTerrainList(CTerrainList& list) const {
        for (const Placed& p : m_placed) {
            auto* t = new CTerrain(GetObjectResourceNumber(p.type), 0, -1, p.x, p.y, -1000, -1000);
            t->m_facing = p.facing;
            list.AddTail(t);
        }
    }

    const std::vector<Placed>& Objects() const { return m_placed; }
    const CTerrainDB& Database() const { return m_db; }
    const HeightField& Heights() const { return m_heights; }

private:
    bool Free(int type, int x, int y, int margin = 8) const {
        CRect f = ObjectFootprint(m_db, type, x, y);
        CRect grown = f;
        grown.InflateRect(margin, margin);
        if (grown.left < 120 || grown.top < 120 || grown.right > 2880 || grown.bottom > 1880) return false;
        for (const CRect& r : m_taken)
            if (CRect().IntersectRect(&grown, &r)) return false;
        for (int i = 0; i < 2; ++i) {
            CRect d = m_d.deploy[i];
            if (CRect().IntersectRect(&grown, &d)) return false;
        }
        if (m_d.castle.present) {
            CRect c = m_d.castle.walls;
            c.InflateRect(40, 40);
            if (CRect().IntersectRect(&grown, &c)) return false;
        }
        for (int px = f.left; px <= f.right; px += 10)
            for (int py = f.top; py <= f.bottom; py += 10)
                if (MaskAt(m_water, px, py) || MaskAt(m_roads, px, py)) return false;
        return true;
    }

    void Force(int type, int x, int y, int facing) {
        m_placed.push_back({type, x, y, facing});
        m_taken.push_back(ObjectFootprint(m_db, type, x, y));
    }

    bool TryPlace(int type, int x, int y, int facing, bool inside = false, int margin = 8) {
        if (!inside && !Free(type, x, y, margin)) return false;
        if (inside) {
            for (const CRect& r : m_taken) {
                CRect f = ObjectFootprint(m_db, type, x, y);
                if (CRect().IntersectRect(&f, &r)) return false;
            }
        }
        Force(type, x, y, facing);
        return true;
    }

    void PlaceCluster(const FieldCluster& c) {
        int placed = 0;
        for (int attempt = 0; attempt < c.count * 12 && placed < c.count; ++attempt) {
            double a = m_rnd.Range(0, 2 * M_PI), r = c.radius * std::sqrt(m_rnd.Unit());
            int x = int(c.x + std::cos(a) * r), y = int(c.y + std::sin(a) * r * 0.8);
            int type = m_rnd.Int(c.firstType, c.lastType);
            if (TryPlace(type, x, y, c.facing)) ++placed;
        }
    }

    void PlacePaddies(const FieldPaddies& p) {
        ObjectLook look = GetObjectLook(p.firstType);
        // Paddies lie side by side with a bund between them.
        for (int y = p.area.top + look.frameHeight / 2; y + look.frameHeight / 2 <= p.area.bottom; y += look.frameHeight - 14)
            for (int x = p.area.left + look.frameWidth / 2; x + look.frameWidth / 2 <= p.area.right; x += look.frameWidth - 12)
                TryPlace(m_rnd.Int(p.firstType, p.lastType), x, y, -1, false, -1);
    }

    void PlaceCastle() {
        const FieldCastle& c = m_d.castle;
        const CRect& w = c.walls;
        int across = w.Width() / 104;
        int left = w.left + (w.Width() - across * 104) / 2;
        for (int edge = 0; edge < 2; ++edge) {  // north, then south
            int y = edge == 0 ? w.top + 15 : w.bottom;
            int gate = edge == 0 ? c.northGate : c.southGate;
            for (int i = 0; i < across; ++i) {
                int x = left + 52 + i * 104;
                if (i == gate)
                    Force(c.gateType + (edge == 0 ? 0 : 1), x, y + 1, edge == 0 ? 0 : 4);
                else
                    Force(c.wallType + (i % 4), x, y, -1);
            }
        }
        int down = (w.Height() - 15) / 104;
        for (int edge = 0; edge < 2; ++edge) {  // west, then east
            int x = edge == 0 ? left + 8 : left + across * 104 - 8;
            // A sally port halfway along each side wall.
            for (int i = 0; i < down; ++i)
                if (i != down / 2) Force(c.wallType + 8 + (i % 4), x, w.top + 15 + 104 * (i + 1), -1);
        }
        // Corner towers and the keep on its rise.
        Force(c.towerType, left + 30, w.top + 70, -1);
        Force(c.towerType + 1, left + across * 104 - 30, w.top + 70, -1);
        Force(c.towerType + 2, left + 30, w.bottom - 20, -1);
        Force(c.towerType + 1, left + across * 104 - 30, w.bottom - 20, -1);
        Force(c.keepType, (w.left + w.right) / 2, (w.top + w.bottom) / 2 + 60, 4);
    }

    const FieldDesign& m_d;
    KitRandom m_rnd;
    HeightField m_heights;
    std::vector<uint8_t> m_water, m_roads;
    CTerrainDB m_db;
    std::vector<Placed> m_placed;
    std::vector<CRect> m_taken;
};

void PaintGround(Picture& pic, const FieldDesign& d, const HeightField& heights) {
    const Rgb dry{0.80, 0.75, 0.55}, lush{0.50, 0.60, 0.33}, deep{0.36, 0.47, 0.26};
    pic.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < 3000; ++x) {
            double n1 = ValueNoise(x, y, 220, d.seed), n2 = ValueNoise(x, y, 48, d.seed + 1), n3 = ValueNoise(x, y, 7, d.seed + 2);
            double g = std::clamp(d.greenness * (0.55 + 0.6 * (n1 - 0.5)) + 0.25 * (n2 - 0.5), 0.0, 1.0);
            Rgb c = dry.Mix(lush, g);
            if (n2 > 0.75) c = c.Mix(deep, (n2 - 0.75) * 0.9);
            double h = heights.At(x, y);
            double gx = heights.At(x + 4, y) - heights.At(x - 4, y), gy = heights.At(x, y + 4) - heights.At(x, y - 4);
            double light = 1.0 + std::clamp(-(gx + gy) * 0.22, -0.28, 0.28) + h * 0.004;
            c = c.Scaled(light * (0.94 + 0.1 * n3));
            // Ink contour lines every six bytes of height.
            double f = std::fmod(h, 6.0);
            if (h > 3 && (f < 0.18 || f > 5.82)) c = c.Mix(ink::SumiWash, 0.35);
            row[x] = OpaquePixel(c);
        }
    });
}

void PaintLines(cairo_t* cr, const std::vector<FieldLine>& lines, bool water) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const FieldLine& l : lines) {
        if (water) {
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.55, 0.55, 0.42}, 0.8);  // muddy banks
            cairo_set_line_width(cr, l.width + 14);
            cairo_stroke(cr);
            TracePath(cr, l.points);
            SetColour(cr, ink::Sumi, 0.85);
            cairo_set_line_width(cr, l.width + 3);
            cairo_stroke(cr);
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.25, 0.36, 0.50});
            cairo_set_line_width(cr, l.width);
            cairo_stroke(cr);
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.45, 0.58, 0.70}, 0.55);
            cairo_set_line_width(cr, l.width * 0.45);
            cairo_stroke(cr);
            // Current lines.
            double dashes[] = {18, 26};
            cairo_set_dash(cr, dashes, 2, 0);
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.85, 0.90, 0.95}, 0.45);
            cairo_set_line_width(cr, 1.4);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
        } else {
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.60, 0.52, 0.38}, 0.55);
            cairo_set_line_width(cr, l.width + 8);
            cairo_stroke(cr);
            TracePath(cr, l.points);
            SetColour(cr, Rgb{0.84, 0.76, 0.58});
            cairo_set_line_width(cr, l.width);
            cairo_stroke(cr);
            double dashes[] = {10, 14};
            cairo_set_dash(cr, dashes, 2, 0);
            TracePath(cr, l.points);
            SetColour(cr, ink::SumiWash, 0.45);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
        }
    }
}

void PaintBackground(const KitContext& kit, const FieldDesign& d, const FieldBuilder& b) {
    Picture pic(3000, 2000, false);
    PaintGround(pic, d, b.Heights());
    cairo_t* cr = pic.cr();
    // Undergrowth beneath the woods and groves.
    for (const FieldCluster& c : d.clusters) {
        if (c.firstType >= 60) continue;
        cairo_pattern_t* p = cairo_pattern_create_radial(c.x, c.y, c.radius * 0.2, c.x, c.y, c.radius * 1.25);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.22, 0.32, 0.18, 0.45);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.22, 0.32, 0.18, 0.0);
        cairo_set_source(cr, p);
        cairo_arc(cr, c.x, c.y, c.radius * 1.25, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    // Trodden earth inside a castle and round its villages.
    if (d.castle.present) {
        CRect w = d.castle.walls;
        cairo_rectangle(cr, w.left, w.top, w.Width(), w.Height());
        SetColour(cr, Rgb{0.74, 0.66, 0.50}, 0.85);
        cairo_fill(cr);
    }
    for (const FieldCluster& c : d.clusters) {
        if (c.firstType < 60) continue;
        cairo_arc(cr, c.x, c.y, c.radius * 0.9, 0, 2 * M_PI);
        SetColour(cr, Rgb{0.76, 0.68, 0.50}, 0.45);
        cairo_fill(cr);
    }
    PaintLines(cr, d.roads, false);
    PaintLines(cr, d.rivers, true);
    // The ground keeps the feel of paper.
    PaintGrain(pic, 0, 0, 3000, 2000, d.seed + 11, 0.35);
    SavePicture(kit, std::string("Data\\MapData\\Bkgnd ") + d.key + ".giz", pic, PictureFormat::Giz24);
}

void SaveAltitude(const KitContext& kit, const FieldDesign& d, const std::vector<uint8_t>& columnMajor) {
    std::vector<uint8_t> rows(600 * 400);
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 400; ++y) rows[size_t(y) * 600 + size_t(x)] = columnMajor[size_t(x) * 400 + size_t(y)];
    // Red carries the byte; green and blue only make the map readable.
    std::vector<Rgb> palette(256);
    for (int i = 0; i < 256; ++i) {
        double v = i / 255.0;
        palette[size_t(i)] = Rgb{v, i >= 128 ? 0.2 : v * 1.6, i >= 128 ? 0.9 : v * 0.8};
    }
    SaveIndexed(kit, std::string("Data\\MapData\\Data Map ") + d.key + ".giz", 600, 400, rows, palette,
                PictureFormat::Giz8);
}

}  // namespace

void GenerateBattlefield(const KitContext& kit, const FieldDesign& d) {
    FieldBuilder builder(d);
    builder.PlaceAll();
    std::vector<uint8_t> altitude = builder.AltitudeBytes();
    SaveAltitude(kit, d, altitude);

    CTerrainList list;
    builder.FillTerrainList(list);
    CAltitudeMap map;
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 400; ++y) map.SetByte(x, y, altitude[size_t(x) * 400 + size_t(y)]);
    WriteTerrainAndPaths(kit, d.key, d.name, list, builder.Database(), map);

    PaintBackground(kit, d, builder);
}

}  // namespace kit

KIT_GENERATOR(BattlefieldA1M) { kit::GenerateBattlefield(kit, kit::FieldDesigns()[0]); }
KIT_GENERATOR(BattlefieldC1M) { kit::GenerateBattlefield(kit, kit::FieldDesigns()[1]); }
KIT_GENERATOR(BattlefieldA4L) { kit::GenerateBattlefield(kit, kit::FieldDesigns()[2]); }
