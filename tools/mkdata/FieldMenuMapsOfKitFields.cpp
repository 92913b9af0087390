// The menu maps of the kit's first battlefields (Sezawa, Uehara Castle,
// Kawanakajima Fuse), whose grounds the battlefield generator lays out from
// its own design records: the same records are read here into a layout of
// this painter, so the menus show the hills, waters, roads, woods, villages
// and castle the battle is fought among.
#include <cmath>
#include <stdexcept>

#include "tools/mkdata/Battlefields.h"
#include "tools/mkdata/FieldPaint.h"
#include "tools/mkdata/Kit.h"

namespace fields {

namespace {

Path PathOf(const std::vector<CPoint>& points) {
    Path p;
    for (const CPoint& pt : points) p.push_back({double(pt.x), double(pt.y)});
    return p;
}

FieldDesign FromKitDesign(const kit::FieldDesign& k) {
    FieldDesign d;
    d.key = k.key;
    d.name = k.name;
    d.seed = k.seed;
    d.baseHeight = 2;
    d.roughness = 2;
    d.dryness = 1 - k.greenness;
    // A bell of this layout is as wide at mid-height as the generator's
    // gaussian hill of the same radius.
    for (const kit::FieldHill& h : k.hills) d.hills.push_back({{h.x, h.y}, h.rx * 1.5, h.ry * 1.5, h.height, 0});
    for (const kit::FieldLine& r : k.rivers) d.rivers.push_back({PathOf(r.points), r.width});
    for (const kit::FieldLine& r : k.roads) d.roads.push_back({PathOf(r.points), r.width});
    for (const kit::FieldCluster& c : k.clusters) {
        if (c.firstType < 20)
            d.woods.push_back({{c.x, c.y}, c.radius, c.radius * 0.8, WoodKind::Broadleaf});
        else if (c.firstType >= 40 && c.firstType < 50)
            d.woods.push_back({{c.x, c.y}, c.radius * 0.7, c.radius * 0.55, WoodKind::Pine});
        else if (c.firstType >= 50 && c.firstType < 60)
            d.woods.push_back({{c.x, c.y}, c.radius, c.radius * 0.8, WoodKind::Bamboo});
        else if (c.firstType >= 60 && c.firstType < 115)
            d.villages.push_back({{c.x, c.y}, c.radius, c.count,
                                  c.firstType < 76 ? VillageKind::Farm : c.firstType < 104 ? VillageKind::Town
                                                                                              : VillageKind::Temple});
    }
    for (const kit::FieldPaddies& p : k.paddies)
        d.paddies.push_back({double(p.area.left), double(p.area.top), double(p.area.right), double(p.area.bottom)});
    if (k.castle.present) {
        const CRect& w = k.castle.walls;
        Castle c;
        WallRing ring;
        ring.corners = {{double(w.left), double(w.top)}, {double(w.right), double(w.top)},
                        {double(w.right), double(w.bottom)}, {double(w.left), double(w.bottom)}};
        if (k.castle.northGate >= 0) ring.gateEdges.push_back(0);
        if (k.castle.southGate >= 0) ring.gateEdges.push_back(2);
        ring.thickness = 16;
        c.rings.push_back(ring);
        c.keep = {double(w.left + w.right) / 2, double(w.top + w.bottom) / 2 + 60};
        c.keepSize = 110;
        c.moat = 0;
        c.side = 1;
        d.castles.push_back(c);
    }
    for (int side = 0; side < 2; ++side) {
        const CRect& r = k.deploy[side];
        d.sides[side] = {double(r.left), double(r.top), double(r.right), double(r.bottom),
                         {{double(k.headquarters[side][0].x), double(k.headquarters[side][0].y)},
                          {double(k.headquarters[side][1].x), double(k.headquarters[side][1].y)}}};
    }
    return d;
}

void MenuMapsOf(KitContext& context, const char* key) {
    for (const kit::FieldDesign& k : kit::FieldDesigns())
        if (std::string(k.key) == key) {
            WriteFieldMenuMaps(context, FieldRaster(FromKitDesign(k)));
            return;
        }
    throw std::runtime_error(std::string("no battlefield design ") + key);
}

}  // namespace
}  // namespace fields

KIT_GENERATOR(Battlefield_Menus_A1M) { fields::MenuMapsOf(kit, "A1M"); }
KIT_GENERATOR(Battlefield_Menus_C1M) { fields::MenuMapsOf(kit, "C1M"); }
KIT_GENERATOR(Battlefield_Menus_A4L) { fields::MenuMapsOf(kit, "A4L"); }
