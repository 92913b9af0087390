// Turning drawn pictures into the game's picture files: ".giz", BMP and JPEG,
// 8-bit (median-cut palette, key at index 0) or 24-bit.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "Animate/DIB.h"
#include "platform/afx/File.h"
#include "platform/jpeg/Jpeg.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/PictureFile.h"
#include "tools/mkdata/Style.h"

namespace kit {

namespace {

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

namespace {
// The picture as the game holds it, built through the game's own CDIB so
// that the kit's files are written by the code that reads them.
std::unique_ptr<CDIB> ToGameDib(const DibImage& d) {
    auto dib = std::make_unique<CDIB>();
    CPalette palette;
    if (d.bitCount == 8) {
        std::vector<PALETTEENTRY> entries(size_t(std::max(1, d.coloursUsed)));
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i] = {d.palette[i][0], d.palette[i][1], d.palette[i][2], 0};
        palette.CreatePalette(entries.data(), int(entries.size()));
    }
    if (!dib->CreateEmpty(d.width, d.height, d.bitCount == 8 ? &palette : nullptr) || dib->GetStride() != d.Stride())
        throw std::runtime_error("cannot create a picture");
    std::memcpy(dib->GetBits(), d.bits.data(), d.bits.size());
    return dib;
}

std::vector<uint8_t> WriteThrough(const DibImage& d, bool giz) {
    std::unique_ptr<CDIB> dib = ToGameDib(d);
    CMemFile file;
    if (!(giz ? dib->WriteGiz(&file) : dib->Write(&file))) throw std::runtime_error("cannot write a picture");
    return file.Data();
}
}  // namespace

std::vector<uint8_t> EncodeGiz(const DibImage& d) { return WriteThrough(d, true); }

std::vector<uint8_t> EncodeBmp(const DibImage& d) { return WriteThrough(d, false); }

std::vector<uint8_t> EncodeJpeg(const DibImage& d) {
    if (d.bitCount != 24) throw std::runtime_error("JPEG pictures must be 24-bit");
    // The game's JPEG writer takes rows top first.
    const uint32_t stride = d.Stride();
    std::vector<uint8_t> topDown(d.bits.size());
    for (int y = 0; y < d.height; ++y)
        std::memcpy(topDown.data() + size_t(y) * stride, d.bits.data() + size_t(d.height - 1 - y) * stride, stride);
    std::vector<uint8_t> out;
    std::string error;
    if (!JpegEncode(topDown.data(), d.width, d.height, stride, 75, out, error))
        throw std::runtime_error("JPEG: " + error);
    return out;
}

DibImage ToDib(const Picture& p, bool eightBit, bool dither) {
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
    if (!dither) {
        for (int y = 0; y < d.height; ++y) {
            uint8_t* dst = d.bits.data() + size_t(d.height - 1 - y) * stride;
            for (int x = 0; x < d.width; ++x) {
                size_t i = size_t(y) * size_t(d.width) + size_t(x);
                dst[x] = opaque[i] ? lookup(rgb[i]) : 0;
            }
        }
        return d;
    }
    // Floyd-Steinberg, each row walked the other way from the last so that
    // the error leaves no drift; the key colour neither gives nor takes any.
    const int w = d.width;
    std::vector<std::array<int, 3>> err(size_t(w + 2) * 2, {0, 0, 0});
    for (int y = 0; y < d.height; ++y) {
        uint8_t* dst = d.bits.data() + size_t(d.height - 1 - y) * stride;
        std::array<int, 3>* cur = &err[size_t(y % 2) * size_t(w + 2) + 1];
        std::array<int, 3>* below = &err[size_t((y + 1) % 2) * size_t(w + 2) + 1];
        for (int x = -1; x <= w; ++x) below[x] = {0, 0, 0};
        const bool east = y % 2 == 0;
        const int step = east ? 1 : -1;
        for (int k = 0; k < w; ++k) {
            const int x = east ? k : w - 1 - k;
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (!opaque[i]) {
                dst[x] = 0;
                continue;
            }
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] = std::clamp(int((rgb[i] >> (16 - 8 * c)) & 255) + (cur[x][size_t(c)] + 8) / 16, 0, 255);
            const uint8_t best = lookup(uint32_t(want[0]) << 16 | uint32_t(want[1]) << 8 | uint32_t(want[2]));
            dst[x] = best;
            for (int c = 0; c < 3; ++c) {
                const int e = want[c] - int(d.palette[best][size_t(c)]);
                cur[x + step][size_t(c)] += e * 7;
                below[x - step][size_t(c)] += e * 3;
                below[x][size_t(c)] += e * 5;
                below[x + step][size_t(c)] += e;
            }
        }
    }
    return d;
}

void WriteDib(const KitContext& kit, const std::string& gameName, const DibImage& d, PictureFormat format) {
    switch (format) {
    case PictureFormat::Giz24:
    case PictureFormat::Giz8:
    case PictureFormat::Giz8Dithered:
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
    const bool dither = format == PictureFormat::Giz8Dithered;
    const bool eightBit = dither || format == PictureFormat::Giz8 || format == PictureFormat::Bmp8;
    WriteDib(kit, gameName, ToDib(picture, eightBit, dither), format);
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
        d.palette[i] = {ToByte(palette[i].r), ToByte(palette[i].g), ToByte(palette[i].b)};
    uint32_t stride = d.Stride();
    d.bits.assign(size_t(stride) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(d.bits.data() + size_t(height - 1 - y) * stride, indices.data() + size_t(y) * size_t(width),
                    size_t(width));
    WriteDib(kit, gameName, d, format);
}

}  // namespace kit
