// Reads arbitrary bytes as an AVI movie and touches every frame it accepts.
#include <cstdint>
#include <string>

#include "platform/movie/Movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMovie movie;
    std::string error;
    if (!movie.Parse(std::vector<uint8_t>(data, data + size), error)) return 0;
    volatile uint8_t sink = 0;
    size_t last = size_t(movie.GetStride()) * movie.GetHeight() - 1;
    for (int i = 0; i < movie.GetFrameCount(); ++i) sink = movie.GetFrame(i)[last];
    (void)sink;
    return 0;
}
