// Screenshots: what the screen shows, or in a battle the whole battlefield,
// saved as the next free numbered JPEG. The game folder is read-only
// content, so the pictures go to the player's own folder ("Screenshots" in
// the user's data folder); an existing picture is never overwritten.
#include <filesystem>

#include "platform/afx/PathResolver.h"
#include "shell/OrvaneView.h"

namespace {
// The folder the pictures go to, with its separator; made when missing.
CString ScreenshotFolder(const COrvaneDoc* doc) {
    const std::string user = AfxGetUserDataFolder();
    if (user.empty()) return doc ? doc->GetInstallPath() : CString("");
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(user) / "Screenshots", ec);
    return CString((user + "/Screenshots/").c_str());
}

// The first "<folder><stem><number>.jpg" from `counter` on that does not
// exist; the counter is left at its number. The number has four digits, one
// more for each power of ten past 9999.
CString FreeShotName(const CString& folder, const char* stem, int32_t& counter) {
    CString name;
    for (;;) {
        name.Format("%s%s%0*d.jpg", folder.GetString(), stem, counter / 10000 + 4, counter);
        if (!AfxPathExists(name)) return name;
        ++counter;
    }
}
}  // namespace

void COrvaneView::SaveScreenshot(BYTE whole, BYTE markersOnly) {
    const CString folder = ScreenshotFolder(GetDocument());
    CString name = FreeShotName(folder, "shot", ShotCounter);
    if (GameMode != MODE_BATTLE || !m_pBackBuffer) {
        if (m_pBackBuffer) m_pBackBuffer->SaveAs(name);
        return;
    }
    if (!whole) {
        // The field as shown, and the panel below it, in one picture.
        CDIB shot;
        if (!shot.CreateEmpty(m_nScreenWidth, m_nScreenHeight)) return;
        const CRect v = m_rcVisible;
        m_pBackBuffer->Copy(&shot, m_rcFieldArea.left, m_rcFieldArea.top, v.Width(), v.Height(), v.left, v.top,
                            DIB_NO_KEY);
        if (m_pFrameSurface)
            m_pFrameSurface->Copy(&shot, 0, m_rcFieldArea.bottom, m_pFrameSurface->PictureWidth(),
                                  m_pFrameSurface->PictureHeight(), 0, 0, DIB_NO_KEY);
        shot.SaveAs(name);
        return;
    }
    // The whole battlefield: every icon (or the order markers only) drawn
    // over a copy of the field, darkened or fogged as the weather shows it.
    CDIB field;
    if (!field.CreateEmpty(m_background.PictureWidth(), m_background.PictureHeight())) return;
    m_background.Copy(&field, 0, 0, field.PictureWidth(), field.PictureHeight(), 0, 0, DIB_NO_KEY);
    ShotCounter = 0;
    name = FreeShotName(folder, "wholeshot", ShotCounter);
    const CRect all(0, 0, 0, 0);
    GetIcons().DrawAll(&field, markersOnly ? FALSE : TRUE, markersOnly ? 8u : ~0u, all);
    if (!markersOnly && Weather.shownLevel > 0 && m_bViewFlags[1])
        field.BlendRect(Weather.sceneColour, Weather.shownLevel, field.PictureWidth(), field.PictureHeight(), 0, 0);
    field.SaveAs(name);
}
