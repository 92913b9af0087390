#include "core/GameTables.h"

#include "core/ExactMath.h"

#include <cmath>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

double SinTable[360];
double CosTable[360];
BYTE SinCosTablesBuilt = 0;

void BuildSinCosTables() {
    const double degree = 3.141592653589793 * (1.0 / 180);
    for (int i = 0; i < 360; ++i) {
        double a = i * degree;
        SinTable[i] = ExactMath::Sin(a);
        CosTable[i] = ExactMath::Cos(a);
    }
    SinCosTablesBuilt = 1;
}

CString ImageExtension = ".giz";

const char* const DefaultPlayerNames[DefaultPlayerNameCount] = {
    "Taro",  "Jiro",   "Saburo", "Goro",  "Kenji", "Hana",  "Yuki", "Chiyo", "Akira", "Kaito",
    "Daichi", "Haru",  "Riku",   "Aoi",   "Sakura", "Kenta", "Tomo", "Nobu",  "Hide",  "Shin",
    "Kiyo",  "Masa",   "Tora",   "Kuma",  "Ryu",   "Ume",   "Sora", "Mei",
};

int OrderTypeToSoundId(int orderType) {
    switch (orderType) {
    case 1: return 14;
    case 2: return 13;
    case 16: return 12;
    case 64: return 17;
    case 128: return 16;
    case 256: return 18;
    case 512: return 15;
    default: return 10;
    }
}

namespace {
// Nations 1..8 in the order of their flags in the catalogue.
const char* const FlagClans[8] = {"Velmor", "Karsin", "Dorneth", "Lask", "Zem", "Wenmarch", "Sabe", "Quarnith"};
}  // namespace

int NationIdFromName(const char* name) {
    if (!name) return -1;
    struct Entry {
        const char* name;
        int id;
    };
    static const Entry nations[] = {
        {"Velmor", 1},   {"Teskar", 8},   {"Quarnith", 8}, {"Zem", 5},           {"Lask", 4},
        {"Dorneth", 3},  {"Sabe", 7},     {"Wenmarch", 6}, {"Karsin", 2},        {"Ruel", 9},
        {"Feyrond", 10}, {"Warrior Monks", 11}, {"Emperor", 12},
    };
    for (const Entry& e : nations)
        if (AfxCompareNoCase(name, e.name) == 0) return e.id;
    return -1;
}

namespace {
struct MapObject {
    std::string name;
    int resource;
};

class CMapObjectCatalogue {
public:
    CMapObjectCatalogue() {
        Numbered("Tree_Acacia_Sum_", 12, 10001);
        Numbered("Tree_Salixa_Sum_", 8, 10101);
        Numbered("water", 10, 12001);
        Numbered("Field", 10, 13001);
        Numbered("Bush_A", 10, 14001);
        Numbered("Bamboo_A", 10, 15001);
        Lettered("Farm_House_", 8, "", 2, 20001);
        Lettered("Town_House_", 8, "", 2, 21001);
        Lettered("Luxury_House_", 6, "", 2, 22001);
        Lettered("Temple_House_", 5, "", 2, 23001);
        Add("Temple_House_F1", 23501);
        Add("Castle_Inner_Gate_E1", 31304);
        Lettered("Castle_Gate_", 5, "", 3, 30001);
        Lettered("Castle_Inner_Gate_", 4, "", 3, 31001);
        Lettered("Castle_Keep_", 6, "", 3, 32001);
        Lettered("Castle_Tower_", 2, "", 3, 33001);
        Lettered("Castle_Wall_", 2, "_", 16, 34101);
        Lettered("Castle_Stone_Base_", 2, "_", 16, 35001);
        Lettered("M_Castle_Gate_", 3, "", 3, 36001);
        Lettered("M_Castle_Keep_", 5, "", 3, 37001);
        Lettered("M_Castle_Tower_", 2, "", 3, 38101);
        Lettered("M_Castle_Wall_", 2, "_", 16, 39001);
        Numbered("Well_A", 3, 40001);
        for (int l = 0; l < 8; ++l) Add(std::string("Rocks_") + char('A' + l), 41000 + 100 * l);
        Lettered("Cart_", 2, "", 5, 42001);
        Lettered("Tomb_", 3, "", 3, 43001);
        Numbered("Sign_A", 4, 44001);
        Lettered("Blockade_", 2, "_", 16, 45001);
        for (const char* clan : FlagClans)
            for (int n = 1; n <= 4; ++n) Add(std::string("Flag") + clan + std::to_string(n), 46000 + int(m_objects.size()) - 359);
        for (size_t t = 0; t < m_objects.size(); ++t) m_byResource.emplace(m_objects[t].resource, int(t));
    }

    const MapObject* Get(int type) const {
        return type >= 0 && type < int(m_objects.size()) ? &m_objects[size_t(type)] : nullptr;
    }
    int TypeOf(int resource) const {
        auto it = m_byResource.find(resource);
        return it == m_byResource.end() ? -1 : it->second;
    }

private:
    void Add(std::string name, int resource) { m_objects.push_back({std::move(name), resource}); }
    // prefix + n for n = 1..count, numbered from `first`.
    void Numbered(const char* prefix, int count, int first) {
        for (int n = 1; n <= count; ++n) Add(prefix + std::to_string(n), first + n - 1);
    }
    // prefix + letter + separator + n: letters A.. and n = 1..count; the
    // resource number is first + 100 * letter + n - 1.
    void Lettered(const char* prefix, int letters, const char* separator, int count, int first) {
        for (int l = 0; l < letters; ++l)
            for (int n = 1; n <= count; ++n)
                Add(prefix + std::string(1, char('A' + l)) + separator + std::to_string(n), first + 100 * l + n - 1);
    }

    std::vector<MapObject> m_objects;
    std::unordered_map<int, int> m_byResource;
};

const CMapObjectCatalogue& Catalogue() {
    static const CMapObjectCatalogue catalogue;
    return catalogue;
}
}  // namespace

CString GetObjectImageName(int type, bool withExtension) {
    const MapObject* o = Catalogue().Get(type);
    if (!o) return CString();
    CString name(o->name.c_str());
    if (withExtension) name += ImageExtension;
    return name;
}

int GetObjectResourceNumber(int type) {
    const MapObject* o = Catalogue().Get(type);
    return o ? o->resource : -1;
}

int GetObjectTypeFromResource(int resource) { return Catalogue().TypeOf(resource); }

int GetFlagObjectType(int nation, int variant) {
    if (nation < 1 || nation > 8 || variant < 1 || variant > 4) return -1;
    return 359 + 4 * (nation - 1) + (variant - 1);
}

namespace {
struct KeyTables {
    int16_t plain[256] = {};
    int16_t shifted[256] = {};

    KeyTables() {
        for (int k : {8, 9, 13, 27, 32}) plain[k] = shifted[k] = int16_t(k);
        for (int k = 0; k < 26; ++k) {
            plain[0x41 + k] = int16_t('a' + k);
            shifted[0x41 + k] = int16_t('A' + k);
        }
        const char* digitShift = ")!@#$%^&*(";
        for (int k = 0; k < 10; ++k) {
            plain[0x30 + k] = int16_t('0' + k);
            shifted[0x30 + k] = int16_t(digitShift[k]);
            plain[0x60 + k] = shifted[0x60 + k] = int16_t('0' + k);
        }
        const int padKeys[] = {0x6A, 0x6B, 0x6D, 0x6E, 0x6F};
        const char* padChars = "*+-./";
        for (int i = 0; i < 5; ++i) plain[padKeys[i]] = shifted[padKeys[i]] = int16_t(padChars[i]);
        const char* punctPlain = ";=,-./`";
        const char* punctShift = ":+<_>?~";
        for (int i = 0; i < 7; ++i) {
            plain[0xBA + i] = int16_t(punctPlain[i]);
            shifted[0xBA + i] = int16_t(punctShift[i]);
        }
        const char* bracketPlain = "[\\]'";
        const char* bracketShift = "{|}\"";
        for (int i = 0; i < 4; ++i) {
            plain[0xDB + i] = int16_t(bracketPlain[i]);
            shifted[0xDB + i] = int16_t(bracketShift[i]);
        }
        // Keys without a character get distinct negative codes, counted in
        // ascending key order; the punctuation keys inside the range
        // 0xA6..0xE4 take a number of the count but keep their characters.
        struct Range {
            int first, last;
        };
        const Range silent[] = {{0x00, 0x00}, {0x05, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x16, 0x16},
                                {0x1A, 0x1A}, {0x3A, 0x40}, {0x5E, 0x5F}, {0x88, 0x8F}, {0x92, 0x9F},
                                {0xA6, 0xE4}, {0xE6, 0xF5}, {0xFF, 0xFF}};
        int k = 0;
        for (const Range& r : silent)
            for (int key = r.first; key <= r.last; ++key) {
                ++k;
                bool punctuation = (key >= 0xBA && key <= 0xC0) || (key >= 0xDB && key <= 0xDE);
                if (!punctuation) plain[key] = shifted[key] = int16_t(-k);
            }
    }
};

const KeyTables& Keys() {
    static const KeyTables tables;
    return tables;
}
}  // namespace

int16_t KeyToChar(int key, bool shifted) {
    if (key < 0 || key > 255) return 0;
    return shifted ? Keys().shifted[key] : Keys().plain[key];
}

FILE* LogFile = nullptr;

void CloseLogFile() {
    if (!LogFile) return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[128];
    std::strftime(when, sizeof when, "%A, %B %d, %Y %I:%M:%S %p", &local);
    std::fprintf(LogFile, "****************** Log file closed %s\n", when);
    std::fflush(LogFile);
    std::fclose(LogFile);
    LogFile = nullptr;
}
