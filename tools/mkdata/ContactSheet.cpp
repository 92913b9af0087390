// The contact sheet: every picture of a generated kit as a labelled
// thumbnail on one PNG, for review by eye.
#include "tools/mkdata/ContactSheet.h"

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "tools/mkdata/Style.h"

namespace fs = std::filesystem;

namespace kit {

namespace {

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                    uint32_t(b[at + 3]) << 24
                              : 0;
}

// Decodes the information header at `hdr`, the colour table after it and
// the rows at `rows` into an RGB24 surface. Null when the file is not one the
// kit writes (8- or 24-bit, uncompressed) or is short.
cairo_surface_t* DecodeDib(const std::vector<uint8_t>& b, size_t hdr, size_t rows) {
    if (Get32(b, hdr) != 40) return nullptr;
    int32_t w = int32_t(Get32(b, hdr + 4)), h = int32_t(Get32(b, hdr + 8));
    int bits = int(b.size() > hdr + 15 ? b[hdr + 14] | b[hdr + 15] << 8 : 0);
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192 || (bits != 8 && bits != 24)) return nullptr;
    size_t stride = ((size_t(bits) * size_t(w) + 31) / 32) * 4;
    if (rows + stride * size_t(h) > b.size()) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int cs = cairo_image_surface_get_stride(s);
    size_t table = hdr + 40;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = b.data() + rows + size_t(h - 1 - y) * stride;
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(cs));
        for (int x = 0; x < w; ++x) {
            uint8_t bl, g, r;
            if (bits == 24) {
                bl = src[x * 3];
                g = src[x * 3 + 1];
                r = src[x * 3 + 2];
            } else {
                size_t e = table + size_t(src[x]) * 4;
                if (e + 3 > b.size()) break;
                bl = b[e];
                g = b[e + 1];
                r = b[e + 2];
            }
            dst[x] = uint32_t(r) << 16 | uint32_t(g) << 8 | bl;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

cairo_surface_t* DecodeJpeg(const std::vector<uint8_t>& b) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, b.data(), (unsigned long)b.size());
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(cinfo.output_width), int(cinfo.output_height));
    unsigned char* data = cairo_image_surface_get_data(s);
    int cs = cairo_image_surface_get_stride(s);
    std::vector<uint8_t> row(size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        JSAMPROW rp = row.data();
        jpeg_read_scanlines(&cinfo, &rp, 1);
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(cs));
        for (size_t x = 0; x < cinfo.output_width; ++x)
            dst[x] = uint32_t(row[x * 3]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    cairo_surface_mark_dirty(s);
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

cairo_surface_t* LoadKitPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string ext = Lower(fs::path(path).extension().string());
    if (ext == ".giz") {
        if (b.size() < 1096 || Get32(b, 16) != 0x3819) return nullptr;
        return DecodeDib(b, 20, size_t(Get32(b, 12)) + 12);
    }
    if (ext == ".bmp") {
        if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return nullptr;
        return DecodeDib(b, 14, Get32(b, 10));
    }
    if (ext == ".jpg") return DecodeJpeg(b);
    return nullptr;
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
