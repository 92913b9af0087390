// CMovieDlg: the maker's logo movie at start-up, played over the whole main
// window. The picture is fitted to the window's width (a picture higher
// than wide fills the height from the left edge) on black, with the
// movie's sound. The dialog ends with 1 after a click, with 2 when the
// movie has ended, cannot be played, or the watched word changes.
#pragma once

#include <memory>

#include "Animate/GameDialog.h"
#include "platform/audio/DirectSound.h"
#include "platform/movie/Movie.h"

class CMovieDlg : public CGameDialog {
public:
    // The palette is not kept: the display is never palette based.
    explicit CMovieDlg(CImagePalette* palette = nullptr, CWnd* parent = nullptr);
    ~CMovieDlg() override;

    BOOL OnInitDialog() override;

    // Set by the creator before DoModal.
    CString m_strMoviePath;
    CRect m_rcTarget;
    // The device the movie's sound plays on (null: silent).
    IDirectSound* m_pSound = nullptr;

    // Where the picture is shown, in client coordinates; empty before the
    // movie starts.
    const CRect& GetPictureRect() const { return m_rcPicture; }

protected:
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnPaint() override;
    BOOL DestroyWindow() override;

private:
    void ShowFrame(int index);
    void StopSound();

    CMovie m_movie;
    CRect m_rcPicture;
    DWORD m_dwStart = 0;
    int m_nShown = -1;
    IDirectSoundBuffer* m_pVoice = nullptr;
};
