// The contact sheet: every picture of a generated kit as a labelled
// thumbnail on one PNG, for review by eye.
#include "tools/mkdata/ContactSheet.h"

#include <cstdio>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "Animate/DIB.h"
#include "tools/mkdata/Style.h"

namespace fs = std::filesystem;

namespace kit {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

cairo_surface_t* LoadKitPicture(const std::string& path) {
    // Read back through the game's own loader: what it cannot read, the
    // game cannot show either.
    CDIB dib;
    if (!dib.Load(path.c_str())) return nullptr;
    const int w = dib.GetWidth(), h = dib.GetHeight(), bits = dib.GetBitCount();
    if (w <= 0 || h <= 0 || (bits != 8 && bits != 24)) return nullptr;
    const RGBQUAD* table = dib.GetBitmapInfo()->bmiColors;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int cs = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const BYTE* src = dib.GetPixelAddress(0, y);
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(cs));
        for (int x = 0; x < w; ++x) {
            if (bits == 24)
                dst[x] = uint32_t(src[x * 3 + 2]) << 16 | uint32_t(src[x * 3 + 1]) << 8 | src[x * 3];
            else
                dst[x] = uint32_t(table[src[x]].rgbRed) << 16 | uint32_t(table[src[x]].rgbGreen) << 8 |
                         table[src[x]].rgbBlue;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

int WriteContactSheet(const std::string& kitRoot, const std::string& pngPath) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(kitRoot)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = Lower(entry.path().extension().string());
        if (ext == ".giz" || ext == ".bmp" || ext == ".jpg")
            names.push_back(fs::relative(entry.path(), kitRoot).generic_string());
    }
    std::sort(names.begin(), names.end());
    const int thumbW = 240, thumbH = 180, labelH = 30, cols = 8;
    const int cellW = thumbW + 16, cellH = thumbH + labelH + 12;
    int rows = std::max<int>(1, int((names.size() + cols - 1) / cols));
    Picture sheet(cols * cellW + 16, rows * cellH + 56);
    PaintWashi(sheet, 1);
    cairo_t* cr = sheet.cr();
    TextStyle head;
    head.size = 28;
    char title[128];
    std::snprintf(title, sizeof title, "Velmor data kit: %zu pictures", names.size());
    DrawText(cr, title, 16, 38, Align::Left, head);
    for (size_t i = 0; i < names.size(); ++i) {
        double x = 16 + double(i % cols) * cellW, y = 56 + double(i / cols) * cellH;
        cairo_surface_t* pic = LoadKitPicture(kitRoot + "/" + names[i]);
        // A checker ground shows what a sprite leaves transparent (its key).
        cairo_rectangle(cr, x, y, thumbW, thumbH);
        SetColour(cr, {0.55, 0.55, 0.55});
        cairo_fill(cr);
        if (pic) {
            // The sprites' key colour shows as a checker: what the game leaves out.
            cairo_surface_flush(pic);
            unsigned char* px = cairo_image_surface_get_data(pic);
            for (int yy = 0; yy < cairo_image_surface_get_height(pic); ++yy) {
                uint32_t* row = reinterpret_cast<uint32_t*>(px + size_t(yy) * size_t(cairo_image_surface_get_stride(pic)));
                for (int xx = 0; xx < cairo_image_surface_get_width(pic); ++xx)
                    if ((row[xx] & 0xFFFFFF) == 0xFF00FF) row[xx] = ((xx / 4 + yy / 4) % 2) ? 0x9A9A9A : 0x6E6E6E;
            }
            cairo_surface_mark_dirty(pic);
            int w = cairo_image_surface_get_width(pic), h = cairo_image_surface_get_height(pic);
            double f = std::min({double(thumbW) / w, double(thumbH) / h, 4.0});
            cairo_save(cr);
            cairo_translate(cr, x + (thumbW - w * f) / 2, y + (thumbH - h * f) / 2);
            cairo_scale(cr, f, f);
            cairo_set_source_surface(cr, pic, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), f < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            cairo_restore(cr);
            char size[32];
            std::snprintf(size, sizeof size, "%dx%d", w, h);
            TextStyle small;
            small.face = Face::Sans;
            small.size = 10;
            small.fill = small.fillLow = ink::IndigoDark;
            DrawText(cr, size, x + thumbW, y + thumbH + 24, Align::Right, small);
            cairo_surface_destroy(pic);
        } else {
            TextStyle bad;
            bad.size = 16;
            bad.fill = bad.fillLow = ink::Vermilion;
            DrawText(cr, "unreadable", x + thumbW / 2.0, y + thumbH / 2.0, Align::Centre, bad);
        }
        TextStyle label;
        label.face = Face::Sans;
        label.size = 10.5;
        std::string n = names[i];
        while (n.size() > 4 && TextWidth(cr, n) > thumbW) n = "..." + n.substr(4);
        cairo_save(cr);
        cairo_rectangle(cr, x, y + thumbH, thumbW, labelH);
        cairo_clip(cr);
        DrawText(cr, n, x, y + thumbH + 12, Align::Left, label);
        cairo_restore(cr);
    }
    cairo_surface_flush(sheet.Surface());
    if (cairo_surface_write_to_png(sheet.Surface(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "ERROR: could not write %s\n", pngPath.c_str());
        return 1;
    }
    std::printf("mkdata: contact sheet of %zu pictures in %s\n", names.size(), pngPath.c_str());
    return 0;
}

}  // namespace kit
