// STAND-IN until the game's document (folders, settings, profile, world) is
// in: the folders and settings the shell reads, with the document's names,
// so that switching to the real document is a change of one alias. Folders
// are relative to the working folder; settings keep their defaults.
#pragma once

#include "platform/win/Win.h"

class CShellDocStandIn : public CDocument {
    DECLARE_DYNCREATE(CShellDocStandIn)
public:
    CString GetInstallPath() const;
    CString GetDataPath() const { return "Data\\"; }
    CString GetSavedDataPath() const { return "Data\\Saved Data\\"; }
    CString GetPicturesPath() const { return "Pictures\\"; }
    CString GetSoundPath() const { return "Sound\\"; }
    CString GetCmbPath() const { return "Pictures\\Cmb\\"; }
    CString GetCachePath() const { return "cache\\"; }
    CString GetPlayerName() const { return m_strPlayerName; }
    void SetPlayerName(const char* name) { m_strPlayerName = name; }

    int GetMusicLevel() const { return 9; }
    int GetSoundLevel() const { return 9; }
    BOOL GetFlagA() const { return TRUE; }
    BOOL GetFlagB() const { return TRUE; }

    // The roster's current player (-1 none) and the players' names.
    int GetCurrentPlayerIndex() const { return m_nCurrentPlayer; }
    void SetCurrentPlayerIndex(int index) { m_nCurrentPlayer = index; }
    CString GetPlayerNameAt(int) const { return CString(); }
    int GetPlayerCount() const { return 10; }

private:
    CString m_strPlayerName;
    int m_nCurrentPlayer = -1;
};
