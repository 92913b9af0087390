// The contact sheet: every picture of a generated kit as a labelled
// thumbnail, on pages of 8 x 16 that ordinary image viewers open, for
// review by eye.
#include "tools/mkdata/ContactSheet.h"

#include <cstdio>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

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

namespace {

constexpr int kThumbW = 240, kThumbH = 180, kLabelH = 30, kColumns = 8, kRowsPerPage = 16;
constexpr int kCellW = kThumbW + 16, kCellH = kThumbH + kLabelH + 12;

void DrawThumbnail(cairo_t* cr, const std::string& kitRoot, const std::string& name, double x, double y) {
    cairo_surface_t* pic = LoadKitPicture(kitRoot + "/" + name);
    cairo_rectangle(cr, x, y, kThumbW, kThumbH);
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
        double f = std::min({double(kThumbW) / w, double(kThumbH) / h, 4.0});
        cairo_save(cr);
        cairo_translate(cr, x + (kThumbW - w * f) / 2, y + (kThumbH - h * f) / 2);
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
        DrawText(cr, size, x + kThumbW, y + kThumbH + 24, Align::Right, small);
        cairo_surface_destroy(pic);
    } else {
        TextStyle bad;
        bad.size = 16;
        bad.fill = bad.fillLow = ink::Vermilion;
        DrawText(cr, "unreadable", x + kThumbW / 2.0, y + kThumbH / 2.0, Align::Centre, bad);
    }
    TextStyle label;
    label.face = Face::Sans;
    label.size = 10.5;
    std::string n = name;
    while (n.size() > 4 && TextWidth(cr, n) > kThumbW) n = "..." + n.substr(4);
    cairo_save(cr);
    cairo_rectangle(cr, x, y + kThumbH, kThumbW, kLabelH);
    cairo_clip(cr);
    DrawText(cr, n, x, y + kThumbH + 12, Align::Left, label);
    cairo_restore(cr);
}

// One page: the pictures first..first+count-1 of `names`.
bool WritePage(const std::string& kitRoot, const std::vector<std::string>& names, size_t first, size_t count, int page,
               int pages, const std::string& path) {
    int rows = std::max<int>(1, int((count + kColumns - 1) / kColumns));
    Picture sheet(kColumns * kCellW + 16, rows * kCellH + 56);
    PaintWashi(sheet, 1);
    cairo_t* cr = sheet.cr();
    TextStyle head;
    head.size = 28;
    char title[128];
    std::snprintf(title, sizeof title, "Velmor data kit: %zu pictures, page %d of %d", names.size(), page, pages);
    DrawText(cr, title, 16, 38, Align::Left, head);
    for (size_t i = 0; i < count; ++i)
        DrawThumbnail(cr, kitRoot, names[first + i], 16 + double(i % kColumns) * kCellW,
                      56 + double(i / kColumns) * kCellH);
    cairo_surface_flush(sheet.Surface());
    return cairo_surface_write_to_png(sheet.Surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string ContactSheetPageName(const std::string& pngPath, int page) {
    fs::path p(pngPath);
    char number[16];
    std::snprintf(number, sizeof number, "-%02d", page);
    std::string ext = p.has_extension() ? p.extension().string() : std::string(".png");
    return (p.parent_path() / (p.stem().string() + number + ext)).string();
}

int WriteContactSheet(const std::string& kitRoot, const std::string& pngPath, int threads) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::recursive_directory_iterator it(kitRoot, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file()) continue;
        std::string ext = Lower(it->path().extension().string());
        if (ext == ".giz" || ext == ".bmp" || ext == ".jpg")
            names.push_back(fs::relative(it->path(), kitRoot).generic_string());
    }
    if (error || names.empty()) {
        std::fprintf(stderr, "ERROR: no kit pictures in %s\n", kitRoot.c_str());
        return 1;
    }
    std::sort(names.begin(), names.end());
    const size_t perPage = size_t(kColumns) * kRowsPerPage;
    const int pages = int((names.size() + perPage - 1) / perPage);
    // Pages are drawn apart, each on its own surface.
    std::atomic<int> next{0}, failed{0};
    auto worker = [&] {
        for (int page; (page = next++) < pages;) {
            size_t first = size_t(page) * perPage, count = std::min(perPage, names.size() - first);
            std::string path = ContactSheetPageName(pngPath, page + 1);
            if (!WritePage(kitRoot, names, first, count, page + 1, pages, path)) {
                std::fprintf(stderr, "ERROR: could not write %s\n", path.c_str());
                ++failed;
            }
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < std::max(1, std::min(threads, pages)); ++i) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
    if (failed) return 1;
    std::printf("mkdata: contact sheet of %zu pictures in %d pages, %s to %s\n", names.size(), pages,
                ContactSheetPageName(pngPath, 1).c_str(), ContactSheetPageName(pngPath, pages).c_str());
    return 0;
}

}  // namespace kit
