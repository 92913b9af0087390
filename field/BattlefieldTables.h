// The tables of the 39 battlefields (identifiers 0..38): the key that names
// a battlefield's data files, its display name, the clan names, and the
// per-battlefield facts the battle set-up needs. The view's operations of
// the same names forward here with its own game kind, screen width and
// folders. Identifiers outside 0..38 are reported with "Invalid battlefield
// ID: %d" where the tables say so and give a neutral answer.
#pragma once

#include "platform/afx/Afx.h"

constexpr int kBattlefieldCount = 39;

// "A1M" for any identifier outside 0..38.
CString GetBattlefieldKey(int id);
CString GetBattlefieldName(int id);
CString GetClanName(int clan);

// The MapData file names: `folder` is the data folder, `screenWidth` picks
// the small-layout names (1024 or less).
CString GetMapDataName(const char* folder, int id, int screenWidth);
CString GetSbttlName(const char* folder, int id);
CString GetHintName(const char* folder, int id, int screenWidth);
CString GetInfoName(const char* folder, int id);
CString GetBkgndName(const char* folder, int id);
CString GetDataMapName(const char* folder, int id);
CString GetSmallMapName(const char* folder, int id);
CString GetTerrainName(const char* secondFolder, int id);
CString GetPathDBName(const char* folder, int id);
CString GetEmptyName(int id);
// The picture of a terrain object on a battlefield: the terrain pictures
// folder, the first letter of the key for object types up to 59 (their
// looks differ between open and castle maps), the object's image name.
CString GetTerrainObjectPictureName(const char* terrainPicturesFolder, int id, int type);

// gameKind: 1 single battle, 2 campaign.
int GetBattlefieldDivisionLimit(int id, int side, int gameKind);
int GetBattlefieldEnemyClan(int id, int side, int campaign, int year, int gameKind);
bool IsBattlefieldSideOption(int id, int side);
bool GetBattlefieldWeatherFlag(int flag, int id);
double GetBattlefieldScale(int id, int side);
bool GetBattlefieldFlag(int flagIndex, int id);
// The terrain-list value of the loading flags: 0 when the first army leads
// (battlefield flag 0 set), else 1; `firstLeads`/`secondLeads` get the
// armies' leading flags.
int GetLoadingBattlefieldFlags(int id, BYTE& firstLeads, BYTE& secondLeads);
// The flag object type of a side's headquarters of kind 1 or 2 for the clan
// name; a clan without flags falls back to the first clan's flags so the
// headquarters still stands.
int GetSideFlagObjectType(const char* clanName, int side, int kind);
