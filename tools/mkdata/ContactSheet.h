// Review tools over a generated kit.
#pragma once

#include <cairo.h>

#include <string>

namespace kit {

// Reads a kit picture (".giz", ".bmp", ".jpg" of 8 or 24 bits) into a new
// RGB24 surface the caller destroys; null when it cannot be read.
cairo_surface_t* LoadKitPicture(const std::string& path);

// Renders every picture below kitRoot as a labelled thumbnail into one PNG.
// Returns 0 on success.
int WriteContactSheet(const std::string& kitRoot, const std::string& pngPath);

}  // namespace kit
