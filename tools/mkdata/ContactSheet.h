// Review tools over a generated kit.
#pragma once

#include <cairo.h>

#include <string>

namespace kit {

// Reads a kit picture (".giz", ".bmp", ".jpg" of 8 or 24 bits) into a new
// RGB24 surface the caller destroys; null when it cannot be read.
cairo_surface_t* LoadKitPicture(const std::string& path);

// Renders every picture below kitRoot as a labelled thumbnail, 128 to a
// page of 2064 x 3608 pixels: "sheet.png" gives "sheet-01.png",
// "sheet-02.png", ... Pages are drawn by `threads` threads. Returns 0 on
// success; 1 with an "ERROR: ..." when there are no pictures or a page
// cannot be written.
int WriteContactSheet(const std::string& kitRoot, const std::string& pngPath, int threads = 1);
// The file name of page `page` (from 1) of a sheet named pngPath.
std::string ContactSheetPageName(const std::string& pngPath, int page);

}  // namespace kit
