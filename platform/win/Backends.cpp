// Chooses the back end for a real run.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/Display.h"
#include "platform/win/HeadlessDisplay.h"
#include "platform/win/SdlDisplay.h"

std::unique_ptr<CDisplayBackend> AfxCreateDefaultBackend() {
    const char* headless = std::getenv("VELMOR_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0) return std::make_unique<CHeadlessDisplay>();
    CString error;
    std::unique_ptr<CSdlDisplay> sdl = CSdlDisplay::Open(error);
    if (!sdl) {
        std::fprintf(stderr, "ERROR: no display could be opened (%s).\n", (const char*)error);
        return nullptr;
    }
    return sdl;
}
