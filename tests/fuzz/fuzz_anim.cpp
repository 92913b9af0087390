// Reads arbitrary bytes as an "ANIM" clip and draws every frame of it into
// a small back buffer, partly off its edge.
#include <cstdint>

#include "Animate/OSBView.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CAnimClip clip;
    if (!ParseAnimClip(std::vector<BYTE>(data, data + size), clip)) return 0;
    static COSBView* view = [] {
        auto* v = new COSBView;
        CDIB picture;
        picture.CreateEmpty(32, 24);
        v->CreateBackBuffer(&picture);
        return v;
    }();
    clip.x = 20;
    clip.y = -3;
    for (int i = 0; i < clip.frameCount && i < 64; ++i) view->StepAnimClip(&clip);
    return 0;
}
