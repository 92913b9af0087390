// Decodes arbitrary bytes as a JPEG picture.
#include <cstdint>
#include <string>

#include "platform/jpeg/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    JpegImage image;
    std::string error;
    if (JpegDecode(data, size, image, error)) {
        volatile uint8_t sink = image.rows[image.rows.size() - 1];
        (void)sink;
    }
    return 0;
}
