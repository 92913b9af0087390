// Turning drawn pictures into the game's picture files: ".giz", BMP and JPEG,
// 8-bit (median-cut palette, key at index 0) or 24-bit.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

#include "tools/mkdata/Kit.h"
#include "tools/mkdata/PictureFile.h"
#include "tools/mkdata/Style.h"

namespace kit {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// The 40-byte information header followed by the full 256-entry colour table.
void PutHeaderBlock(std::vector<uint8_t>& out, const DibImage& d) {
    Put32(out, 40);
    Put32(out, uint32_t(d.width));
    Put32(out, uint32_t(d.height));
    Put16(out, 1);
    Put16(out, uint32_t(d.bitCount));
    Put32(out, 0);
    Put32(out, d.Stride() * uint32_t(d.height));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, d.bitCount == 8 ? uint32_t(d.coloursUsed) : 0);
    Put32(out, 0);
    for (int i = 0; i < 256; ++i) {
        const std::array<uint8_t, 3>& c = d.palette[size_t(i)];
        out.push_back(c[2]);  // blue, green, red, 0
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
}

struct Box {
    std::vector<std::pair<uint32_t, uint32_t>> colours;  // (rgb, count)
    uint64_t weight = 0;
    int Axis(int& range) const {
        int best = 0;
        range = -1;
        for (int a = 0; a < 3; ++a) {
            int lo = 255, hi = 0;
            for (auto& c : colours) {
                int v = int((c.first >> (16 - 8 * a)) & 255);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            if (hi - lo > range) {
                range = hi - lo;
                best = a;
            }
        }
        return best;
    }
};

// Median cut over a colour histogram; at most `maxColours` entries. The
// histogram is a std::map, so the result never depends on hashing.
std::vector<std::array<uint8_t, 3>> MedianCut(const std::map<uint32_t, uint32_t>& histogram, int maxColours) {
    std::vector<std::array<uint8_t, 3>> palette;
    if (histogram.empty()) return palette;
    if (int(histogram.size()) <= maxColours) {
        for (auto& [rgb, n] : histogram) palette.push_back({uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
        return palette;
    }
    std::vector<Box> boxes(1);
    for (auto& [rgb, n] : histogram) {
        boxes[0].colours.push_back({rgb, n});
        boxes[0].weight += n;
    }
    while (int(boxes.size()) < maxColours) {
        // Split the box with the widest spread, weighted by its population.
        int pick = -1;
        double score = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            int range;
            boxes[i].Axis(range);
            double s = double(range) * double(range) * std::sqrt(double(boxes[i].weight));
            if (s > score) {
                score = s;
                pick = int(i);
            }
        }
        if (pick < 0) break;
        Box& b = boxes[size_t(pick)];
        int range;
        int axis = b.Axis(range);
        int shift = 16 - 8 * axis;
        std::stable_sort(b.colours.begin(), b.colours.end(), [shift](const auto& x, const auto& y) {
            return ((x.first >> shift) & 255) < ((y.first >> shift) & 255);
        });
        uint64_t half = b.weight / 2, acc = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < b.colours.size(); ++i) {
            acc += b.colours[i].second;
            cut = i + 1;
            if (acc >= half) break;
        }
        Box other;
        other.colours.assign(b.colours.begin() + long(cut), b.colours.end());
        b.colours.resize(cut);
        b.weight = 0;
        for (auto& c : b.colours) b.weight += c.second;
        for (auto& c : other.colours) other.weight += c.second;
        boxes.push_back(std::move(other));
    }
    for (auto& b : boxes) {
        uint64_t r = 0, g = 0, bl = 0;
        for (auto& c : b.colours) {
            r += uint64_t((c.first >> 16) & 255) * c.second;
            g += uint64_t((c.first >> 8) & 255) * c.second;
            bl += uint64_t(c.first & 255) * c.second;
        }
        uint64_t n = std::max<uint64_t>(1, b.weight);
        palette.push_back({uint8_t((r + n / 2) / n), uint8_t((g + n / 2) / n), uint8_t((bl + n / 2) / n)});
    }
    return palette;
}

}  // namespace

uint32_t DibImage::Stride() const { return ((uint32_t(bitCount) * uint32_t(width) + 31) / 32) * 4; }

std::vector<uint8_t> EncodeGiz(const DibImage& d) {
    std::vector<uint8_t> out;
    uint32_t rows = d.Stride() * uint32_t(d.height);
    out.reserve(1096 + rows);
    Put32(out, 1096 + rows);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 1084);
    Put32(out, 0x3819);
    PutHeaderBlock(out, d);
    Put16(out, 0x013E);
    Put16(out, 0);
    Put32(out, 0x00069B52);
    Put16(out, 0xCA10);
    Put16(out, 0x44FD);
    out.insert(out.end(), d.bits.begin(), d.bits.end());
    return out;
}

std::vector<uint8_t> EncodeBmp(const DibImage& d) {
    std::vector<uint8_t> out;
    uint32_t rows = d.Stride() * uint32_t(d.height);
    out.push_back('B');
    out.push_back('M');
    Put32(out, rows + 1078);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 1078);
    PutHeaderBlock(out, d);
    out.insert(out.end(), d.bits.begin(), d.bits.end());
    return out;
}

std::vector<uint8_t> EncodeJpeg(const DibImage& d) {
    if (d.bitCount != 24) throw std::runtime_error("JPEG pictures must be 24-bit");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = JDIMENSION(d.width);
    cinfo.image_height = JDIMENSION(d.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    cinfo.comp_info[0].h_samp_factor = 2;
    cinfo.comp_info[0].v_samp_factor = 2;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(d.width) * 3);
    uint32_t stride = d.Stride();
    while (cinfo.next_scanline < cinfo.image_height) {
        // Rows are stored bottom-up, pixels blue-green-red.
        const uint8_t* src = d.bits.data() + size_t(d.height - 1 - int(cinfo.next_scanline)) * stride;
        for (int x = 0; x < d.width; ++x) {
            row[size_t(x) * 3] = src[x * 3 + 2];
            row[size_t(x) * 3 + 1] = src[x * 3 + 1];
            row[size_t(x) * 3 + 2] = src[x * 3];
        }
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return out;
}

DibImage ToDib(const Picture& p, bool eightBit) {
    DibImage d;
    d.width = p.Width();
    d.height = p.Height();
    d.bitCount = eightBit ? 8 : 24;
    for (int i = 0; i < 256; ++i) d.palette[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    const uint32_t stride = d.Stride();
    d.bits.assign(size_t(stride) * size_t(d.height), 0);
    const bool sprite = p.HasAlpha();
    const uint32_t key = 0xFF00FF;

    // Un-premultiplied colours, with the sprite rule: under half cover is key.
    std::vector<uint32_t> rgb(size_t(d.width) * size_t(d.height));
    std::vector<uint8_t> opaque(rgb.size(), 1);
    cairo_surface_flush(p.Surface());
    const unsigned char* data = cairo_image_surface_get_data(p.Surface());
    const int cstride = cairo_image_surface_get_stride(p.Surface());
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            uint32_t px = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(cstride))[x];
            uint32_t a = px >> 24;
            uint32_t r = (px >> 16) & 255, g = (px >> 8) & 255, b = px & 255;
            if (a != 0 && a != 255) {
                r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
            }
            size_t i = size_t(y) * size_t(d.width) + size_t(x);
            if (sprite && (a < 128 || (x == 0 && y == 0))) {
                opaque[i] = 0;
                rgb[i] = key;
            } else {
                uint32_t c = uint32_t(r) << 16 | uint32_t(g) << 8 | b;
                if (sprite && c == key) c = 0xFE00FE;  // never the key by accident
                rgb[i] = c;
            }
        }

    if (!eightBit) {
        for (int y = 0; y < d.height; ++y) {
            uint8_t* dst = d.bits.data() + size_t(d.height - 1 - y) * stride;
            for (int x = 0; x < d.width; ++x) {
                uint32_t c = rgb[size_t(y) * size_t(d.width) + size_t(x)];
                dst[x * 3] = uint8_t(c);
                dst[x * 3 + 1] = uint8_t(c >> 8);
                dst[x * 3 + 2] = uint8_t(c >> 16);
            }
        }
        return d;
    }

    std::map<uint32_t, uint32_t> histogram;
    for (size_t i = 0; i < rgb.size(); ++i)
        if (opaque[i]) ++histogram[rgb[i]];
    int first = sprite ? 1 : 0;
    std::vector<std::array<uint8_t, 3>> pal = MedianCut(histogram, 256 - first);
    if (sprite) d.palette[0] = {255, 0, 255};
    for (size_t i = 0; i < pal.size(); ++i) d.palette[i + size_t(first)] = pal[i];
    d.coloursUsed = int(pal.size()) + first;
    std::map<uint32_t, uint8_t> nearest;
    auto lookup = [&](uint32_t c) -> uint8_t {
        auto it = nearest.find(c);
        if (it != nearest.end()) return it->second;
        int r = int(c >> 16) & 255, g = int(c >> 8) & 255, b = int(c) & 255;
        int best = first, bestD = 1 << 30;
        for (int i = first; i < d.coloursUsed; ++i) {
            const auto& q = d.palette[size_t(i)];
            int dd = (r - q[0]) * (r - q[0]) * 3 + (g - q[1]) * (g - q[1]) * 4 + (b - q[2]) * (b - q[2]) * 2;
            if (dd < bestD) {
                bestD = dd;
                best = i;
            }
        }
        nearest[c] = uint8_t(best);
        return uint8_t(best);
    };
    for (int y = 0; y < d.height; ++y) {
        uint8_t* dst = d.bits.data() + size_t(d.height - 1 - y) * stride;
        for (int x = 0; x < d.width; ++x) {
            size_t i = size_t(y) * size_t(d.width) + size_t(x);
            dst[x] = opaque[i] ? lookup(rgb[i]) : 0;
        }
    }
    return d;
}

void WriteDib(const KitContext& kit, const std::string& gameName, const DibImage& d, PictureFormat format) {
    switch (format) {
    case PictureFormat::Giz24:
    case PictureFormat::Giz8:
        kit.WriteBytes(gameName, EncodeGiz(d));
        break;
    case PictureFormat::Bmp24:
    case PictureFormat::Bmp8:
        kit.WriteBytes(gameName, EncodeBmp(d));
        break;
    case PictureFormat::Jpeg:
        kit.WriteBytes(gameName, EncodeJpeg(d));
        break;
    }
}

void SavePicture(const KitContext& kit, const std::string& gameName, const Picture& picture, PictureFormat format) {
    bool eightBit = format == PictureFormat::Giz8 || format == PictureFormat::Bmp8;
    WriteDib(kit, gameName, ToDib(picture, eightBit), format);
}

void SaveIndexed(const KitContext& kit, const std::string& gameName, int width, int height,
                 const std::vector<uint8_t>& indices, const std::vector<Rgb>& palette, PictureFormat format) {
    if (format == PictureFormat::Jpeg || format == PictureFormat::Giz24 || format == PictureFormat::Bmp24)
        throw std::runtime_error("indexed pictures are 8-bit: " + gameName);
    if (indices.size() != size_t(width) * size_t(height) || palette.size() > 256)
        throw std::runtime_error("indexed picture of the wrong size: " + gameName);
    DibImage d;
    d.width = width;
    d.height = height;
    d.bitCount = 8;
    d.coloursUsed = int(palette.size());
    for (size_t i = 0; i < palette.size(); ++i)
        d.palette[i] = {uint8_t(std::lround(palette[i].r * 255)), uint8_t(std::lround(palette[i].g * 255)),
                        uint8_t(std::lround(palette[i].b * 255))};
    uint32_t stride = d.Stride();
    d.bits.assign(size_t(stride) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(d.bits.data() + size_t(height - 1 - y) * stride, indices.data() + size_t(y) * size_t(width),
                    size_t(width));
    WriteDib(kit, gameName, d, format);
}

}  // namespace kit
