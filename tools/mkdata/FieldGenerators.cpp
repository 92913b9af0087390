// One generator per battlefield, so that the fields are laid out, painted
// and given their path databases in parallel: each writes the field's
// background, altitude map, terrain file, path database and menu maps, all
// from the one design.
#include <stdexcept>

#include "tools/mkdata/FieldPaint.h"
#include "tools/mkdata/Kit.h"

namespace fields {
namespace {

void GenerateField(KitContext& kit, const char* key) {
    const FieldDesign* design = FindFieldDesign(key);
    if (!design) throw std::runtime_error(std::string("no design for battlefield ") + key);
    FieldRaster raster(*design);
    WriteFieldTerrain(kit, raster);
    WriteFieldData(kit, raster);
    WriteFieldMenuMaps(kit, raster);
}

}  // namespace
}  // namespace fields

#define FIELD_GENERATOR(key) \
    KIT_GENERATOR(Battlefield_##key) { fields::GenerateField(kit, #key); }

FIELD_GENERATOR(A1M)
FIELD_GENERATOR(C1M)
FIELD_GENERATOR(A4L)
FIELD_GENERATOR(A2M)
FIELD_GENERATOR(C4M)
FIELD_GENERATOR(A7L)
FIELD_GENERATOR(C7L)
FIELD_GENERATOR(A3L)
FIELD_GENERATOR(A5L)
FIELD_GENERATOR(A6L)
FIELD_GENERATOR(C5L)
FIELD_GENERATOR(C6L)
FIELD_GENERATOR(A8L)
FIELD_GENERATOR(C2L)
FIELD_GENERATOR(C3L)
FIELD_GENERATOR(A9L)
FIELD_GENERATOR(C8M)
FIELD_GENERATOR(C9L)
FIELD_GENERATOR(C10L)
FIELD_GENERATOR(A10M)
FIELD_GENERATOR(C12M)
FIELD_GENERATOR(A11L)
FIELD_GENERATOR(C13L)
FIELD_GENERATOR(A12L)
FIELD_GENERATOR(C14L)
FIELD_GENERATOR(C15L)
FIELD_GENERATOR(C16L)
FIELD_GENERATOR(C17M)
FIELD_GENERATOR(C18M)
FIELD_GENERATOR(A13M)
FIELD_GENERATOR(C11L)
FIELD_GENERATOR(C19L)
FIELD_GENERATOR(C20L)
FIELD_GENERATOR(A14L)
FIELD_GENERATOR(C21L)
FIELD_GENERATOR(A15L)
FIELD_GENERATOR(A16M)
FIELD_GENERATOR(A17L)
