// The SDL2 back end: the logical screen in one window that covers the
// desktop (scaled, keeping its proportions), or a plain window when
// VELMOR_WINDOWED=1. Only changed rectangles are uploaded, and each flush
// is one present. A screen shown at its own size is written into the
// window's surface and only the changed rectangles go to the display; a
// scaled one is uploaded to a texture that the renderer scales.
#pragma once

#include <memory>

#include "platform/afx/String.h"
#include "platform/win/Display.h"

class CSdlDisplay : public CDisplayBackend {
public:
    // Null (with the reason in `error`) when SDL cannot open video.
    static std::unique_ptr<CSdlDisplay> Open(CString& error);
    ~CSdlDisplay() override;

    bool IsHeadless() const override { return false; }
    DisplayMode GetDesktopMode() const override { return m_desktop; }
    bool SetMode(const DisplayMode& mode) override;
    void Present(const CPixelSurface& screen, const CRect* rects, int count) override;
    void PumpEvents(int timeoutMs) override;
    void SetCursorVisible(bool visible) override;
    void SetCursorShape(HCURSOR cursor) override;
    bool GetScreenSaverActive() const override;
    void SetScreenSaverActive(bool active) override;

private:
    CSdlDisplay() = default;
    bool EnsureWindow(int width, int height);
    void CloseWindow();
    void PresentDirect(const CPixelSurface& screen, const CRect* rects, int count);
    void HandleEvent(const void* event);

    struct Impl;
    std::unique_ptr<Impl> m;
    DisplayMode m_desktop;
};
