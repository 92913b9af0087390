#include "ui/MovieDlg.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/DirectSoundBuffer.h"
#include "core/Helpers.h"

namespace {
// The movie is watched by a 1 ms timer: frames follow the clock, so a slow
// machine drops frames rather than falling behind the sound.
const UINT_PTR kMovieTimer = 4;
const UINT kMovieTimerMs = 1;
const int kEndedByClick = 1;
const int kEnded = 2;
}  // namespace

CMovieDlg::CMovieDlg(CImagePalette*, CWnd* parent) : CGameDialog(171, parent) {}

CMovieDlg::~CMovieDlg() { StopSound(); }

BOOL CMovieDlg::OnInitDialog() {
    // The dialog covers the target (the main window), black until the
    // first frame.
    CRect target = m_rcTarget;
    if (target.IsRectEmpty()) target = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(target.left, target.top, target.Width(), target.Height(), FALSE);
    CWnd::GetSurface().Fill(CRect(0, 0, target.Width(), target.Height()), 0);

    std::string error;
    if (!m_movie.Open(m_strMoviePath, error)) {
        ShowMessage("ERROR: The movie \"%s\" cannot be played: %s.", (const char*)m_strMoviePath, error.c_str());
        EndDialog(kEnded);
        return TRUE;
    }
    if (m_movie.GetWidth() == m_movie.GetHeight()) {
        // No logo: the start goes on with the introduction.
        EndDialog(kEnded);
        return TRUE;
    }
    int w = m_movie.GetWidth(), h = m_movie.GetHeight();
    int W = target.Width(), H = target.Height();
    double ratio = double(h) / double(w);
    if (w > h) {
        int fitted = int(W * ratio);
        m_rcPicture = CRect(0, (H - fitted) / 2, W, (H - fitted) / 2 + fitted - 1);
    } else {
        m_rcPicture = CRect(0, 0, int(H / ratio) - 1, H);
    }

    if (m_pSound && m_movie.HasSound() && m_movie.GetSound().size() >= DSBSIZE_MIN) {
        DSBUFFERDESC desc;
        desc.dwSize = kDSBufferDescBytes;
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME;
        desc.dwBufferBytes = DWORD(std::min<size_t>(m_movie.GetSound().size(), DSBSIZE_MAX));
        desc.lpwfxFormat = &m_movie.GetSoundFormat();
        if (SUCCEEDED(m_pSound->CreateSoundBuffer(&desc, &m_pVoice, nullptr)) && m_pVoice) {
            void *p1 = nullptr, *p2 = nullptr;
            DWORD n1 = 0, n2 = 0;
            if (SUCCEEDED(m_pVoice->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) {
                std::memcpy(p1, m_movie.GetSound().data(), n1);
                m_pVoice->Unlock(p1, n1, p2, n2);
                m_pVoice->Play(0, 0, 0);
            }
        }
    }
    m_dwStart = GetTickCount();
    ShowFrame(0);
    if (m_nTimer) KillTimer(m_nTimer);
    m_nTimer = SetTimer(kMovieTimer, kMovieTimerMs);
    SetFocus();
    return TRUE;
}

void CMovieDlg::OnTimer(UINT_PTR) {
    if (!m_pWatched) return;
    int due = int((GetTickCount() - m_dwStart) / std::max<uint32_t>(1, m_movie.GetFrameMs()));
    if (*m_pWatched != m_nExpected || due >= m_movie.GetFrameCount()) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
        EndDialog(kEnded);
        return;
    }
    if (due != m_nShown) ShowFrame(due);
}

void CMovieDlg::OnLButtonDown(UINT, CPoint) { EndDialog(kEndedByClick); }

void CMovieDlg::OnPaint() {
    CPaintDC dc(this);
    PresentRects();
}

BOOL CMovieDlg::DestroyWindow() {
    StopSound();
    return CGameDialog::DestroyWindow();
}

void CMovieDlg::StopSound() {
    if (!m_pVoice) return;
    m_pVoice->Stop();
    m_pVoice->Release();
    m_pVoice = nullptr;
}

void CMovieDlg::ShowFrame(int index) {
    const uint8_t* bits = m_movie.GetFrame(index);
    if (!bits || m_rcPicture.IsRectEmpty()) return;
    CPixelSurface& surface = CWnd::GetSurface();
    CRect area = m_rcPicture & CRect(0, 0, surface.GetWidth(), surface.GetHeight());
    int w = m_movie.GetWidth(), h = m_movie.GetHeight(), stride = m_movie.GetStride();
    int pw = m_rcPicture.Width(), ph = m_rcPicture.Height();
    // Each window pixel takes the movie pixel under its centre; rows are
    // stored bottom up. A window column reads the same movie column on
    // every row: find each once a frame, not once a pixel.
    std::vector<size_t> from(size_t(std::max(0, area.Width())));
    for (int x = area.left; x < area.right; ++x)
        from[size_t(x - area.left)] =
            size_t(std::min(w - 1, int((int64_t(x - m_rcPicture.left) * w + w / 2) / std::max(1, pw)))) * 3;
    for (int y = area.top; y < area.bottom; ++y) {
        int sy = std::min(h - 1, int((int64_t(y - m_rcPicture.top) * h + h / 2) / std::max(1, ph)));
        const uint8_t* row = bits + size_t(h - 1 - sy) * size_t(stride);
        uint32_t* out = surface.GetRow(y) + area.left;
        for (size_t offset : from) {
            const uint8_t* p = row + offset;
            *out++ = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        }
    }
    m_nShown = index;
    PresentRects(&area, 1);
}
