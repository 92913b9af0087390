// The arrow clip shown on the way into the single-battle menu: an ink arrow
// with vermilion fletching crosses the washi ground over a misty landscape
// and strikes a target, one "ANIM" clip per layout ("Bkgnd Arrow.anm" and
// "1024Bkgnd Arrow.anm", played at 0, 0 over the whole screen).
//
// The clip's first frame is the whole picture; every later frame is a
// change list against the one before it, so only the arrow's path is
// stored again.
#include <cairo.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/afx/Bytes.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace {

constexpr int kFrames = 12;
// The skip marker of the change lists; no written pixel may equal it.
constexpr uint32_t kKey = 0x010101;

// A frame as packed blue + green x 256 + red x 65536 values, top row first.
std::vector<uint32_t> Grab(kit::Picture& p) {
    std::vector<uint32_t> px(size_t(p.Width()) * p.Height());
    p.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < p.Width(); ++x) {
            uint32_t v = row[x] & 0xFFFFFF;  // opaque: premultiplied is plain
            if (v == kKey) v ^= 1;
            px[size_t(y) * p.Width() + x] = v;
        }
    });
    return px;
}

void PutPixel(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v >> 16));
}

// The change list from `before` to `after`: unchanged runs as the key and a
// count of at most 255, changed pixels as themselves.
std::vector<uint8_t> ChangeList(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < after.size();) {
        if (after[i] != before[i]) {
            PutPixel(out, after[i++]);
            continue;
        }
        size_t run = 1;
        while (i + run < after.size() && run < 255 && after[i + run] == before[i + run]) ++run;
        PutPixel(out, kKey);
        out.push_back(uint8_t(run));
        i += run;
    }
    return out;
}

void PaintArrow(cairo_t* cr, double tipX, double tipY, double length, double s) {
    const double tail = tipX - length;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    kit::SetColour(cr, kit::ink::Sumi);
    cairo_set_line_width(cr, 5 * s);
    cairo_move_to(cr, tail, tipY);
    cairo_line_to(cr, tipX - 18 * s, tipY);
    cairo_stroke(cr);
    // The head.
    cairo_move_to(cr, tipX, tipY);
    cairo_line_to(cr, tipX - 26 * s, tipY - 10 * s);
    cairo_line_to(cr, tipX - 20 * s, tipY);
    cairo_line_to(cr, tipX - 26 * s, tipY + 10 * s);
    cairo_close_path(cr);
    cairo_fill(cr);
    // Vermilion fletching.
    for (int side : {-1, 1}) {
        cairo_move_to(cr, tail + 6 * s, tipY);
        cairo_line_to(cr, tail + 44 * s, tipY);
        cairo_line_to(cr, tail + 30 * s, tipY + side * 16 * s);
        cairo_line_to(cr, tail - 2 * s, tipY + side * 16 * s);
        cairo_close_path(cr);
        kit::SetColour(cr, kit::ink::Vermilion);
        cairo_fill(cr);
    }
}

void PaintTarget(cairo_t* cr, double cx, double cy, double r) {
    const kit::Rgb rings[] = {kit::ink::Lacquer, kit::ink::Washi, kit::ink::Vermilion, kit::ink::Washi,
                              kit::ink::Gold};
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, cx, cy, r * (1.0 - i * 0.2), 0, 6.283185307179586);
        kit::SetColour(cr, rings[i]);
        cairo_fill(cr);
    }
}

std::vector<uint8_t> MakeClip(const kit::ScreenLayout& layout) {
    const int w = layout.width, h = layout.height;
    const double s = layout.s();
    kit::Picture ground(w, h);
    kit::PaintWashi(ground, 4101);
    kit::PaintLandscape(ground.cr(), 0, h * 0.45, w, h * 0.55, h * 0.55, h * 0.9, s, 4102);
    const double targetX = w * 0.78, targetY = h * 0.42, targetR = 90 * s;
    PaintTarget(ground.cr(), targetX, targetY, targetR);

    std::vector<std::vector<uint32_t>> frames;
    for (int f = 0; f < kFrames; ++f) {
        kit::Picture frame(w, h);
        cairo_t* cr = frame.cr();
        cairo_set_source_surface(cr, ground.Surface(), 0, 0);
        cairo_paint(cr);
        // The arrow flies in a shallow arc and stops in the target's centre.
        const double t = double(f) / (kFrames - 1);
        const double tipX = -40 * s + (targetX + 40 * s) * t;
        const double tipY = targetY + (1.0 - t) * (40 * s) - 4.0 * t * (1.0 - t) * 90 * s;
        PaintArrow(cr, tipX, tipY, 260 * s, s);
        frames.push_back(Grab(frame));
    }

    std::vector<std::vector<uint8_t>> data;
    std::vector<uint8_t> first;
    for (uint32_t v : frames[0]) PutPixel(first, v);
    data.push_back(std::move(first));
    for (int f = 1; f < kFrames; ++f) data.push_back(ChangeList(frames[f - 1], frames[f]));

    std::vector<uint8_t> out = {'A', 'N', 'I', 'M'};
    AfxPutLE32(out, kFrames);
    AfxPutLE32(out, 3);
    AfxPutLE32(out, kKey);
    AfxPutLE32(out, uint32_t(w));
    AfxPutLE32(out, uint32_t(h));
    uint32_t at = 24 + 8 * kFrames;
    for (const auto& d : data) {
        AfxPutLE32(out, at);
        AfxPutLE32(out, uint32_t(d.size()));
        at += uint32_t(d.size());
    }
    for (const auto& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace

KIT_GENERATOR(ArrowClip) {
    for (const kit::ScreenLayout& layout : kit::kLayouts)
        kit.WriteBytes(std::string("Pictures\\") + layout.prefix + "Bkgnd Arrow.anm", MakeClip(layout));
}
