// COrvaneDoc: the application's one document, made at start-up and kept to
// the exit. It owns the data folders, the player roster (the profile), the
// name tables, the world lists (provinces, clans, generals, castles, paths)
// and the campaign state; it reads and writes the world files, saved games
// and the profile, and carries the campaign's upkeep of the world between
// turns.
//
// Every load reads into fresh objects and takes them over only when the
// whole file was read, so a damaged file leaves the world, the roster and
// the file on disk as they were. Every store writes a temporary file that
// replaces the old one only when complete.
#pragma once

#include <cstdint>

#include "world/Castle.h"
#include "world/Nation.h"
#include "world/Path.h"
#include "world/PersonList.h"
#include "world/State.h"
#include "world/Campaign.h"
#include "platform/afx/Afx.h"
#include "platform/win/Document.h"
#include "world/SaveGameInfo.h"
#include "world/WorldLists.h"
#include "world/PlayerRoster.h"

class COrvaneDoc : public CDocument {
    DECLARE_DYNCREATE(COrvaneDoc)
public:
    // Folders are built from the current working folder.
    COrvaneDoc();
    // Folders are built from `workingFolder` (tests and tools).
    explicit COrvaneDoc(const char* workingFolder);
    ~COrvaneDoc() override;
    COrvaneDoc(const COrvaneDoc&) = delete;
    COrvaneDoc& operator=(const COrvaneDoc&) = delete;

    // Start-up: loads the profile and stores it at once, loads the Data
    // folder's "Default.STE" and builds the campaign's catalogue. FALSE when
    // the world file cannot be read (start-up ends).
    BOOL OnNewDocument() override;
    // Opening a document starts the same way; the path is not used.
    BOOL OnOpenDocument(const char*) { return OnNewDocument(); }

    // ---- Folders (each ends with a backslash)
    CString GetInstallPath() const { return m_strInstall; }
    CString GetDataPath() const { return m_strData; }
    CString GetSavedDataPath() const { return m_strSavedData; }
    CString GetPicturesPath() const { return m_strPictures; }
    CString GetSoundPath() const { return m_strSound; }
    CString GetUnitSetsPath() const { return m_strUnitSets; }
    CString GetTerrainPicturesPath() const { return m_strPictures + "Terrain\\"; }
    CString GetCmbPath() const { return m_strCmb; }
    CString GetPortraitPath() const { return m_strPortrait; }
    CString GetCachePath() const { return m_strCache; }
    CString GetPanelFileName() const { return m_strPanel; }
    CString GetPlayerName() const { return m_strPlayerName; }
    void SetPlayerName(const char* name) { m_strPlayerName = name; }

    // ---- Settings kept in the roster
    int GetSpeedValue() const { return m_roster.SpeedValue; }
    int GetScrollValue() const { return m_roster.ScrollValue; }
    int GetSpeedLevel() const;
    int GetScrollLevel() const;
    void SetSpeedLevel(int level);
    // Levels up to 10 are taken (10 stores -20).
    void SetScrollLevel(int level);
    int GetMusicLevel() const { return m_roster.MusicLevel; }
    int GetSoundLevel() const { return m_roster.SoundLevel; }
    void SetMusicLevel(int level) { m_roster.MusicLevel = level; }
    void SetSoundLevel(int level) { m_roster.SoundLevel = level; }
    // 8200 + 200 x level; a level outside 0..9 is taken as its nearest end.
    int GetMusicVolume() const;
    int GetSoundVolume() const;
    BOOL GetFlagA() const { return m_roster.MusicOn; }
    void SetFlagA(BOOL on) { m_roster.MusicOn = on ? 1 : 0; }
    BOOL GetFlagB() const { return m_roster.SoundOn; }
    void SetFlagB(BOOL on) { m_roster.SoundOn = on ? 1 : 0; }

    // ---- Files
    // Loads or stores a world file (five lists) at a full path.
    bool SerializeWorldFile(const char* path, bool store);
    // Slot 0 is "Autosave.sav", slot n "Saved Game n.sav" in the Saved Data
    // folder. On load `header` receives the file's header.
    int SerializeGameSlot(int slot, bool store, CSaveGameInfo& header);
    int AutoSave();
    // Loads a saved game from a full path; its header is dropped.
    bool LoadGame(const char* path);
    // A saved game without header, by name in the Saved Data folder.
    bool SerializeGameFile(const char* fileName, bool store);
    // The current player's army slot file ("D<player>A<slot>.sav"); false,
    // touching no file, when no player is chosen. A slot names its file in
    // the profile; whatever folder that name holds, the file is the one of
    // that name in this game's Saved Data folder (the game folder may have
    // moved since the profile was written). A name without a file name is
    // refused with an "ERROR: ..." and no file is touched. A store that
    // fails frees the slot unless its old army file is still there.
    bool SerializePlayerSlot(int slot, bool store);
    bool DeleteSlotFile(int slot);
    // The Saved Data file a slot's recorded name stands for; empty when the
    // name ends in no file name ("", ".", "..", a folder).
    CString GetSlotFilePath(const CString& recorded) const;
    // Drops a slot whose file is gone; true when it dropped one.
    bool GetSlotTitle(int slot);
    CString GetGameSlotPath(int slot) const;

    // ---- Profile
    // 0 loads, 1 stores "Profile.VLM" in the Saved Data folder; a missing
    // profile is first created from the roster as it stands (the defaults
    // at start-up), so loading it changes nothing. False (reported) when the
    // profile could not be read or written; the roster is then unchanged.
    bool SerializeProfile(int direction);
    void StoreProfile() { SerializeProfile(1); }
    CString GetProfilePath() const { return m_strSavedData + "Profile.VLM"; }
    // The current player, or the document's spare record when no player is
    // chosen.
    CPlayerRecord* GetCurrentPlayer();
    CGameInfoRecord* GetCurrentPlayerSlot(int slot);
    CPlayerRoster& GetRoster() { return m_roster; }

    // ---- Campaign upkeep
    CPerson* GetNationLeader(int clan) const;
    int CountCastles(int clan) const;
    int CountTroops(int clan) const;
    int GetNationStrength(int clan) const;
    void ReinforceCastles(int clan);
    void ReinforceCastles2(int clan);
    // Each clan 1..8 with fewer than 200 troops loses its home castle's
    // stocks and rates, and its generals stop acting this year.
    void RefillWeakNations();
    void RefillWeakNations2(int clan, int amount);
    int GetGarrisonSize(int kind) const;
    void AssignCaptains(int clan, bool force);
    void MakeCaptains(CPerson* general, bool force);
    void AssignGenerals(int clan, double factor);
    // Pours the three pools of `record` (rifles, horses, units) into the
    // listed generals' troops; what cannot be placed stays in the record.
    void DistributeGenerals(CPersonList& generals, CCastleEconomy& record);
    CPerson* NameNewGenerals(int clan, int merit, double factor, bool randomise, bool reset);
    void RelinkWorld();
    void ReplaceDeadLeaders();
    // First troops of a new campaign's named generals, by difficulty level.
    void SetUpGarrisons(int level, int campaign);
    int GetCurrentYear() const { return m_campaign.m_nYear; }

    // ---- The world
    CStateList m_states;
    CNationList m_nations;
    CPersonList m_persons{true};
    CCastleList m_castles;
    CPathList m_paths;
    CCampaign m_campaign;
    int32_t m_nDifficulty = 1;
    int32_t EffectSpriteLimit = 30;

private:
    void BuildFolders(const char* workingFolder);
    // The shared body of the saved-game and world file operations.
    bool SerializeFile(const char* path, bool store, bool withCampaign, CSaveGameInfo* header);
    // Stores the roster in the profile, reporting nothing; on failure
    // `error` says why and the old profile is untouched.
    bool WriteProfile(CString& error);
    // Names a new general from the tables with two counted draws.
    void NameFromTables(CPerson& p) const;
    // One counted roll of a new general's group mask.
    static int32_t RollGroupMask();

    CPlayerRoster m_roster;
    CPlayerRecord m_spareRecord;
    CString m_strInstall, m_strData, m_strSavedData, m_strPictures, m_strSound, m_strCmb, m_strPortrait,
        m_strUnitSets, m_strCache, m_strPanel, m_strPlayerName;
};
