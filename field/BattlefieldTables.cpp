#include "field/BattlefieldTables.h"

#include "core/WorldNames.h"

#include "core/GameTables.h"
#include "core/Helpers.h"

static const char* const kKeys[kBattlefieldCount] = {
    "A1M", "C1M", "A2M", "C4M", "A7L", "C7L", "A3L", "A4L", "A5L", "A6L", "C5L", "C6L", "A8L",
    "C2L", "C3L", "A9L", "C8M", "A3L", "C9L", "C10L", "A10M", "C12M", "A11L", "C13L", "A12L", "C14L",
    "C15L", "C16L", "C17M", "C18M", "A13M", "C11L", "C19L", "C20L", "A14L", "C21L", "A15L", "A16M", "A17L"};

static const char* const kNames[kBattlefieldCount] = {
    "Sezawa", "Uehara Castle", "Shiojinitouge", "Hayashi Castle", "Temmokuzan", "Iwadono Castle", "Uedahara",
    "Kawanakajima Fuse", "Kawanakajima Ohtuka", "Kawanakajima Uenohara", "Katsurao Castle", "Tiyama Castle",
    "High Mountains", "Totsusakajo Castle", "Kasugayamajo Castle", "Satsuta Valley", "Sunpu Castle", "Sunpu Castle",
    "Hanazawa Castle", "Odawara Castle", "Mimasetoge", "Fukazawa Castle", "Nagashino", "Okazake Castle",
    "Mikata Ga Hara", "Hamamatsu Castle", "Hamamatsu Castle", "Hanazawa Castle", "Takatenjin Castle",
    "Takatenjin Castle", "Nagakute", "Kiyosu Castle", "Gifu Castle", "Nagashima Castle", "Sekigahara",
    "Honoji Castle", "Yamazaki", "Shizugatake", "Anegawa"};

static bool Valid(int id) { return id >= 0 && id < kBattlefieldCount; }

static bool InvalidId(int id) {
    if (id > 38 || id < 0) {
        ShowMessage("Invalid battlefield ID: %d", id);
        return true;
    }
    return false;
}

static bool OneOf(int id, std::initializer_list<int> ids) {
    for (int i : ids)
        if (i == id) return true;
    return false;
}

CString GetBattlefieldKey(int id) { return Valid(id) ? kKeys[id] : "A1M"; }

CString GetBattlefieldName(int id) { return Valid(id) ? kNames[id] : "Unknown Field"; }

// The campaign's clan table also names the independents (13); battlefields
// know clans 1..12 only.
CString GetClanName(int clan) { return clan >= 1 && clan <= 12 ? kClanNames[clan] : ""; }

static CString MapData(const char* folder) { return CString(folder ? folder : "") + "MapData\\"; }

CString GetMapDataName(const char* folder, int id, int screenWidth) {
    return MapData(folder) + (screenWidth <= 1024 ? "1024" : "") + GetBattlefieldKey(id) + " Tactic" + ImageExtension;
}
CString GetSbttlName(const char* folder, int id) {
    return MapData(folder) + "Battle " + GetBattlefieldKey(id) + " sbttl" + ImageExtension;
}
CString GetHintName(const char* folder, int id, int screenWidth) {
    return MapData(folder) + (screenWidth <= 1024 ? "1024Battle " : "Battle ") + GetBattlefieldKey(id) + " Hint" +
           ImageExtension;
}
CString GetInfoName(const char* folder, int id) {
    return MapData(folder) + "Battle " + GetBattlefieldKey(id) + " Info" + ImageExtension;
}
CString GetBkgndName(const char* folder, int id) {
    return MapData(folder) + "Bkgnd " + GetBattlefieldKey(id) + ImageExtension;
}
CString GetDataMapName(const char* folder, int id) {
    return MapData(folder) + "Data Map " + GetBattlefieldKey(id) + ImageExtension;
}
CString GetSmallMapName(const char* folder, int id) {
    return MapData(folder) + "Map Small " + GetBattlefieldKey(id) + ImageExtension;
}
CString GetTerrainName(const char* secondFolder, int id) {
    return MapData(secondFolder) + "Terrain " + GetBattlefieldKey(id) + ".TED";
}
CString GetPathDBName(const char* folder, int id) {
    return MapData(folder) + "Paths " + GetBattlefieldKey(id) + ".pth";
}
CString GetEmptyName(int) { return ""; }

CString GetTerrainObjectPictureName(const char* terrainPicturesFolder, int id, int type) {
    CString prefix = type >= 0 && type <= 59 ? GetBattlefieldKey(id).Left(1) : CString("");
    return CString(terrainPicturesFolder ? terrainPicturesFolder : "") + prefix + GetObjectImageName(type, true);
}

int GetBattlefieldDivisionLimit(int id, int side, int gameKind) {
    if (InvalidId(id)) return 12;
    bool campaign = gameKind == 2;
    auto pick = [&](int a, int b) { return side == 0 ? a : b; };
    switch (id) {
    case 0: return campaign ? pick(12, 7) : 12;
    case 1: return campaign ? pick(12, 4) : pick(12, 6);
    case 2: return campaign ? pick(12, 8) : 12;
    case 3: return campaign ? pick(12, 5) : pick(12, 6);
    case 16: return campaign ? pick(12, 7) : pick(12, 8);
    case 32: return pick(12, 7);
    case 5: case 14: case 28: return pick(8, 12);
    case 10: case 11: case 33: return pick(12, 6);
    case 12: return pick(4, 7);
    case 13: return pick(8, 6);
    case 18: case 21: case 27: case 29: case 31: return pick(12, 8);
    case 19: return pick(12, 9);
    case 23: case 25: case 26: return pick(12, 10);
    case 35: return pick(1, 12);
    default: return 12;
    }
}

int GetBattlefieldEnemyClan(int id, int side, int campaign, int year, int gameKind) {
    if (gameKind != 2 || side != 1) return 12;
    if (campaign == 1) {
        if (InvalidId(id)) return 12;
        switch (id) {
        case 0: case 1: return year < 1545 ? 1 : 12;
        case 2: return year < 1546 ? 2 : 12;
        case 3: case 5: return year < 1547 ? 1 : 12;
        case 4: return year < 1547 ? 2 : 12;
        case 6: return year < 1553 ? 3 : 12;
        case 7: return year < 1555 ? 2 : 12;
        case 8: return year < 1558 ? 3 : 12;
        case 15: case 20: return 3;
        case 21: return 5;
        case 22: return 4;
        case 24: return 6;
        default: return 12;
        }
    }
    if (campaign == 4) {
        if (InvalidId(id)) return 12;
        if (id == 20) return 1;
        if (id == 21) return 2;
        if (year < 1550) return 0;
        if (id <= 14 || id == 19 || id == 22) return 5;
        if (id <= 18) return 2;
        if (id <= 31) return 3;
        if (id == 32) return 4;
        return 12;
    }
    return 12;
}

bool IsBattlefieldSideOption(int id, int side) {
    if (InvalidId(id)) return false;
    if (OneOf(id, {12, 22})) return false;
    if (OneOf(id, {14, 19, 23, 25, 29})) return side != 0;
    if (OneOf(id, {26, 27, 28})) return side == 0;
    return true;
}

bool GetBattlefieldWeatherFlag(int flag, int id) {
    if (InvalidId(id)) return false;
    return OneOf(id, {12, 22}) ? flag != 0 : false;
}

double GetBattlefieldScale(int id, int side) {
    if (InvalidId(id)) return 1.0;
    auto pick = [&](double a, double b) { return side == 0 ? a : b; };
    switch (id) {
    case 1: case 3: return pick(1.3, 0.7);
    case 2: return pick(1.0, 1.1);
    case 5: case 26: case 28: case 33: case 35: return pick(0.5, 2.0);
    case 10: case 11: case 13: case 14: case 18: return pick(1.5, 0.6);
    case 12: case 21: return pick(1.5, 0.7);
    case 16: case 22: case 25: case 29: case 31: return pick(2.0, 0.5);
    case 19: return pick(3.0, 0.3);
    case 23: return pick(2.5, 0.4);
    case 27: return pick(0.6, 1.5);
    case 32: return pick(5.0, 0.2);
    case 34: case 37: return pick(1.05, 0.95);
    default: return 1.0;
    }
}

bool GetBattlefieldFlag(int flagIndex, int id) {
    if (InvalidId(id)) return false;
    if (OneOf(id, {1, 3, 10, 11, 13, 14, 16, 18, 19, 21, 23, 25, 29, 31, 32})) return flagIndex != 0;
    if (OneOf(id, {5, 26, 27, 28, 33, 35})) return flagIndex == 0;
    return false;
}

int GetLoadingBattlefieldFlags(int id, BYTE& firstLeads, BYTE& secondLeads) {
    firstLeads = secondLeads = 0;
    if (GetBattlefieldFlag(0, id))
        firstLeads = 1;
    else if (GetBattlefieldFlag(1, id))
        secondLeads = 1;
    return firstLeads ? 0 : 1;
}

int GetSideFlagObjectType(const char* clanName, int side, int kind) {
    int variant = kind + 2 - 2 * side;
    int type = GetFlagObjectType(NationIdFromName(clanName), variant);
    if (type < 0) type = GetFlagObjectType(1, variant);
    return type;
}
