#include "platform/win/SdlDisplay.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/win/MessageQueue.h"

struct CSdlDisplay::Impl {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texWidth = 0, texHeight = 0;
    bool windowed = false;
    std::map<HCURSOR, SDL_Cursor*> cursors;
    const CPixelSurface* lastScreen = nullptr;
    // Direct: the window is as big as the logical screen, and its own
    // surface takes the changed rectangles, which alone go to the display.
    // Otherwise the renderer scales a texture of the screen to the window.
    bool direct = false;
    std::vector<SDL_Rect> updates;  // kept from present to present
};

namespace {

// Windows virtual-key code of an SDL key; 0 for keys the game has no use for.
UINT VirtualKeyOf(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return UINT('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return UINT('0' + (k - SDLK_0));
    if (k >= SDLK_F1 && k <= SDLK_F12) return UINT(VK_F1 + (k - SDLK_F1));
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return UINT(VK_NUMPAD0 + 1 + (k - SDLK_KP_1));
    switch (k) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: return 0;
    }
}

int ButtonOf(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
    }
}

}  // namespace

std::unique_ptr<CSdlDisplay> CSdlDisplay::Open(CString& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    // Without a display SDL falls back to drivers that show nothing; the
    // game would run where no one can see it. They are used only when asked
    // for by name (SDL_VIDEODRIVER), as tests do.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0 ||
                   std::strcmp(driver, "evdev") == 0) &&
        !(asked && SDL_strcasecmp(asked, driver) == 0)) {
        error.Format("no X or Wayland display is set; SDL offers only \"%s\"", driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    std::unique_ptr<CSdlDisplay> d(new CSdlDisplay);
    d->m = std::make_unique<Impl>();
    const char* windowed = std::getenv("VELMOR_WINDOWED");
    d->m->windowed = windowed && std::strcmp(windowed, "1") == 0;
    d->m_desktop = DisplayMode{desktop.w, desktop.h, 32};
    // The game draws its own text entry; characters still come as text input.
    SDL_StartTextInput();
    return d;
}

CSdlDisplay::~CSdlDisplay() {
    if (!m) return;
    for (auto& [handle, cursor] : m->cursors) SDL_FreeCursor(cursor);
    CloseWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last user of SDL also lets it release what it keeps process-wide.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

// A window for a screen of width x height that fits on the desktop: the
// screen's own size, or smaller in its proportions (the picture is scaled).
static void FitWindow(int width, int height, const DisplayMode& desktop, int& w, int& h) {
    w = width;
    h = height;
    double room = std::min(desktop.width * 0.9 / width, desktop.height * 0.9 / height);
    if (desktop.width > 0 && desktop.height > 0 && room < 1.0) {
        w = int(width * room);
        h = int(height * room);
    }
}

// The window size a screen of width x height gets: the screen's own in a
// window that fits, else smaller; the desktop's when it covers the desktop.
static void WindowSizeFor(bool windowed, int width, int height, const DisplayMode& desktop, int& w, int& h) {
    if (windowed) {
        FitWindow(width, height, desktop, w, h);
    } else {
        w = desktop.width;
        h = desktop.height;
    }
}

void CSdlDisplay::CloseWindow() {
    if (m->texture) SDL_DestroyTexture(m->texture);
    if (m->renderer) SDL_DestroyRenderer(m->renderer);
    if (m->window) SDL_DestroyWindow(m->window);
    m->texture = nullptr;
    m->renderer = nullptr;
    m->window = nullptr;
    m->texWidth = m->texHeight = 0;
    m->lastScreen = nullptr;
}

bool CSdlDisplay::EnsureWindow(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    int w = width, h = height;
    WindowSizeFor(m->windowed, width, height, m_desktop, w, h);
    // A screen shown at its own size goes to the window's surface, one
    // changed rectangle at a time: on a display without a graphics card
    // (and through a compositor) only those rectangles travel. A scaled
    // screen goes through the renderer, which scales with filtering on the
    // graphics card. A change between the two makes the window anew.
    const bool direct = w == width && h == height;
    if (m->window && direct != m->direct) CloseWindow();
    if (!m->window) {
        Uint32 flags = SDL_WINDOW_SHOWN;
        int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
        if (!m->windowed) {
            // Placed over the whole desktop as well, so the window covers it
            // even where no window manager makes it full screen.
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
            x = 0;
            y = 0;
        }
        m->window = SDL_CreateWindow("Velmor", x, y, w, h, flags);
        if (!m->window) return false;
        m->direct = direct;
        if (!direct) {
            m->renderer = SDL_CreateRenderer(m->window, -1, 0);
            if (!m->renderer) return false;
            SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        }
    }
    if (m->texWidth != width || m->texHeight != height || (!m->direct && !m->texture)) {
        if (m->direct) {
            if (m->windowed) SDL_SetWindowSize(m->window, w, h);
            m->texWidth = width;
            m->texHeight = height;
            m->lastScreen = nullptr;  // all of the next screen is copied
            return true;
        }
        if (m->texture) SDL_DestroyTexture(m->texture);
        m->texture = SDL_CreateTexture(m->renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!m->texture) return false;
        m->texWidth = width;
        m->texHeight = height;
        SDL_RenderSetLogicalSize(m->renderer, width, height);
        if (m->windowed) SDL_SetWindowSize(m->window, w, h);
    }
    return true;
}

bool CSdlDisplay::SetMode(const DisplayMode& mode) { return EnsureWindow(mode.width, mode.height); }

void CSdlDisplay::PresentDirect(const CPixelSurface& screen, const CRect* rects, int count) {
    SDL_Surface* surface = SDL_GetWindowSurface(m->window);
    if (!surface || surface->w < screen.GetWidth() || surface->h < screen.GetHeight()) return;
    bool whole = m->lastScreen != &screen || !rects || count <= 0;
    m->lastScreen = &screen;
    const CRect all(0, 0, screen.GetWidth(), screen.GetHeight());
    m->updates.clear();
    for (int i = 0; i < (whole ? 1 : count); ++i) {
        const CRect r = whole ? all : (CRect(rects[i]) & all);
        if (r.IsRectEmpty()) continue;
        BYTE* to = static_cast<BYTE*>(surface->pixels) + size_t(r.top) * size_t(surface->pitch) +
                   size_t(r.left) * size_t(surface->format->BytesPerPixel);
        SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_XRGB8888, screen.GetRow(r.top) + r.left,
                          screen.GetWidth() * 4, surface->format->format, to, surface->pitch);
        m->updates.push_back(SDL_Rect{r.left, r.top, r.Width(), r.Height()});
    }
    if (!m->updates.empty()) SDL_UpdateWindowSurfaceRects(m->window, m->updates.data(), int(m->updates.size()));
}

void CSdlDisplay::Present(const CPixelSurface& screen, const CRect* rects, int count) {
    if (!EnsureWindow(screen.GetWidth(), screen.GetHeight())) return;
    if (m->direct) return PresentDirect(screen, rects, count);
    bool fresh = m->lastScreen != &screen;
    m->lastScreen = &screen;
    if (fresh) {
        SDL_UpdateTexture(m->texture, nullptr, screen.GetBits(), screen.GetWidth() * 4);
    } else {
        for (int i = 0; i < count; ++i) {
            const CRect& r = rects[i];
            SDL_Rect sr{r.left, r.top, r.Width(), r.Height()};
            SDL_UpdateTexture(m->texture, &sr, screen.GetRow(r.top) + r.left, screen.GetWidth() * 4);
        }
    }
    SDL_SetRenderDrawColor(m->renderer, 0, 0, 0, 255);
    SDL_RenderClear(m->renderer);
    SDL_RenderCopy(m->renderer, m->texture, nullptr, nullptr);
    SDL_RenderPresent(m->renderer);
}

void CSdlDisplay::HandleEvent(const void* ev) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(ev);
    switch (e.type) {
    case SDL_QUIT: AfxInputClose(); break;
    case SDL_MOUSEMOTION: AfxInputMouseMove(e.motion.x, e.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int b = ButtonOf(e.button.button);
        if (b >= 0) AfxInputMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, e.button.x, e.button.y);
        break;
    }
    case SDL_MOUSEWHEEL: {
        POINT p;
        GetCursorPos(&p);
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches) AfxInputWheel(notches * WHEEL_DELTA, p.x, p.y);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        UINT vk = VirtualKeyOf(e.key.keysym.sym);
        if (!vk) break;
        bool down = e.type == SDL_KEYDOWN;
        AfxInputKey(vk, down);
        // These keys give characters of their own, as on the original
        // platform; printable ones come through text input.
        if (down && (vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE || vk == VK_TAB))
            AfxInputChar(vk == VK_RETURN ? 13 : vk == VK_BACK ? 8 : vk == VK_ESCAPE ? 27 : 9);
        break;
    }
    case SDL_TEXTINPUT:
        for (const char* c = e.text.text; *c; ++c)
            if (static_cast<unsigned char>(*c) < 128) AfxInputChar(UINT(static_cast<unsigned char>(*c)));
        break;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED && m->direct && m->lastScreen) {
            SDL_UpdateWindowSurface(m->window);
        } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED && m->lastScreen && m->texture) {
            SDL_RenderClear(m->renderer);
            SDL_RenderCopy(m->renderer, m->texture, nullptr, nullptr);
            SDL_RenderPresent(m->renderer);
        }
        break;
    default: break;
    }
}

void CSdlDisplay::PumpEvents(int timeoutMs) {
    SDL_Event e;
    if (timeoutMs != 0) {
        if (SDL_WaitEventTimeout(&e, timeoutMs < 0 ? 1000 : timeoutMs)) HandleEvent(&e);
    }
    while (SDL_PollEvent(&e)) HandleEvent(&e);
}

void CSdlDisplay::SetCursorVisible(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void CSdlDisplay::SetCursorShape(HCURSOR cursor) {
    if (!cursor) return;
    auto it = m->cursors.find(cursor);
    SDL_Cursor* c = it != m->cursors.end() ? it->second : nullptr;
    if (!c) {
        if (cursor->systemId) {
            SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
            switch (cursor->systemId) {
            case IDC_IBEAM: id = SDL_SYSTEM_CURSOR_IBEAM; break;
            case IDC_WAIT: id = SDL_SYSTEM_CURSOR_WAIT; break;
            case IDC_CROSS: id = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
            case IDC_HAND: id = SDL_SYSTEM_CURSOR_HAND; break;
            default: break;
            }
            c = SDL_CreateSystemCursor(id);
        } else if (cursor->pixels) {
            SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(cursor->pixels), cursor->width,
                                                                cursor->height, 32, cursor->width * 4,
                                                                SDL_PIXELFORMAT_ARGB8888);
            if (s) {
                c = SDL_CreateColorCursor(s, cursor->hotX, cursor->hotY);
                SDL_FreeSurface(s);
            }
        }
        if (!c) return;
        m->cursors[cursor] = c;
    }
    SDL_SetCursor(c);
}

bool CSdlDisplay::GetScreenSaverActive() const { return SDL_IsScreenSaverEnabled() == SDL_TRUE; }

void CSdlDisplay::SetScreenSaverActive(bool active) {
    if (active) SDL_EnableScreenSaver();
    else SDL_DisableScreenSaver();
}
