// velmor-unitsheet KITDIR OUT.png [--clan N] [--zoom Z]
//
// A review page of the soldiers in a generated kit: for one clan (default
// the first) every unit set, one band per kind with its eight facings as
// rows and every animation frame as a column, and below them one standing
// man of every kind for every clan that fights, facing south-east, so that kinds and clans can
// be compared at a glance. Pictures are read from the kit as the game
// stores them and shown on a battlefield-green ground, enlarged by ZOOM
// (default 2) without smoothing, one pixel to a ZOOM-square.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Animate/DIB.h"
#include "Units/UnitSets.h"
#include "core/WorldNames.h"

namespace {

const double kGround[3] = {0.36, 0.40, 0.24};

bool LoadSet(const std::string& kit, int clan, const UnitSets::Spec& spec, CDIB& dib) {
    std::string path = kit + "/Pictures/Unit Sets/" + kClanNames[clan] + spec.suffix + ".giz";
    return dib.Load(path.c_str()) != FALSE && dib.GetBitCount() == 8;
}

// Copies the picture's pixels from (sx, sy, w, h) to (dx, dy) of the page,
// ZOOM times enlarged, leaving key pixels as ground.
void Blit(cairo_surface_t* page, const CDIB& dib, int sx, int sy, int w, int h, int dx, int dy, int zoom) {
    cairo_surface_flush(page);
    unsigned char* data = cairo_image_surface_get_data(page);
    const int stride = cairo_image_surface_get_stride(page);
    const int pw = cairo_image_surface_get_width(page), ph = cairo_image_surface_get_height(page);
    const BYTE key = *dib.GetPixelAddress(0, 0);
    const RGBQUAD* pal = dib.GetBitmapInfo()->bmiColors;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE v = *dib.GetPixelAddress(sx + x, sy + y);
            if (v == key) continue;
            const uint32_t px = 0xFF000000u | pal[v].rgbRed << 16 | pal[v].rgbGreen << 8 | pal[v].rgbBlue;
            for (int j = 0; j < zoom; ++j)
                for (int i = 0; i < zoom; ++i) {
                    const int X = dx + x * zoom + i, Y = dy + y * zoom + j;
                    if (X >= 0 && Y >= 0 && X < pw && Y < ph)
                        reinterpret_cast<uint32_t*>(data + size_t(Y) * stride)[X] = px;
                }
        }
    cairo_surface_mark_dirty(page);
}

void Label(cairo_t* cr, double x, double y, double size, const std::string& text) {
    cairo_select_font_face(cr, "serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, 0.95, 0.92, 0.82);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmor-unitsheet KITDIR OUT.png [--clan N] [--zoom Z]\n");
        return 2;
    }
    const std::string kit = argv[1], out = argv[2];
    int clan = UnitSets::kFirstBattleClan, zoom = 2;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--clan")) clan = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--zoom")) zoom = std::max(1, std::atoi(argv[i + 1]));
    }
    if (clan < UnitSets::kFirstBattleClan || clan > UnitSets::kLastBattleClan) {
        std::fprintf(stderr, "ERROR: clan %d does not fight battles\n", clan);
        return 2;
    }
    const int margin = 12 * zoom, labelH = 14 * zoom;
    int width = 0, height = margin;
    for (const UnitSets::Spec& s : UnitSets::kSets) {
        width = std::max(width, s.columns * s.cellWidth * zoom + 2 * margin);
        height += labelH + s.rows * s.cellHeight * zoom + margin;
    }
    const int clans = UnitSets::kLastBattleClan - UnitSets::kFirstBattleClan + 1;
    const int standH = 40 * zoom;
    height += labelH + clans * standH + margin;

    cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(page);
    cairo_set_source_rgb(cr, kGround[0], kGround[1], kGround[2]);
    cairo_paint(cr);
    int y = margin;
    int failures = 0;
    for (const UnitSets::Spec& s : UnitSets::kSets) {
        CDIB dib;
        Label(cr, margin, y + labelH * 0.75, 10 * zoom, std::string(kClanNames[clan]) + s.suffix);
        y += labelH;
        if (!LoadSet(kit, clan, s, dib)) {
            std::fprintf(stderr, "ERROR: cannot read %s%s\n", kClanNames[clan], s.suffix);
            ++failures;
        } else {
            // Faint cell borders, so that a frame spilling over shows.
            cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
            cairo_set_line_width(cr, 1);
            for (int c = 0; c <= s.columns; ++c) {
                cairo_move_to(cr, margin + c * s.cellWidth * zoom + 0.5, y);
                cairo_rel_line_to(cr, 0, s.rows * s.cellHeight * zoom);
            }
            cairo_stroke(cr);
            Blit(page, dib, 0, 0, s.columns * s.cellWidth, s.rows * s.cellHeight, margin, y, zoom);
        }
        y += s.rows * s.cellHeight * zoom + margin;
    }
    // Every kind of every clan, standing and facing south-east.
    Label(cr, margin, y + labelH * 0.75, 10 * zoom, "Every clan, standing, facing south-east");
    y += labelH;
    for (int c = UnitSets::kFirstBattleClan; c <= UnitSets::kLastBattleClan; ++c) {
        int x = margin;
        Label(cr, x, y + standH * 0.6, 8 * zoom, kClanNames[c]);
        x += 70 * zoom;
        for (const UnitSets::Spec& s : UnitSets::kSets) {
            CDIB dib;
            if (LoadSet(kit, c, s, dib)) Blit(page, dib, 0, 3 * s.cellHeight, s.cellWidth, s.cellHeight, x, y, zoom);
            x += (s.cellWidth + 8) * zoom;
        }
        y += standH;
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(page, out.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(page);
    if (!ok) std::fprintf(stderr, "ERROR: cannot write %s\n", out.c_str());
    return ok && failures == 0 ? 0 : 1;
}
