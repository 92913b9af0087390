// The campaign's world file "Default.STE" (and the tournament's copy): the
// thirteen clans, the twenty-one castles with their first owners and stocks,
// the provinces, a few stored paths and a full cast of generals: a marshal
// leading each clan, veterans with troops under him and captains under the
// veterans, among them every person the story finds by name. Written by the
// game's own Serialize code.
//
// The first owners follow the story: Wenmarch and Sabe hold no castle until
// they arrive, every general is alive and rested in 1542 and fit for his
// arm, so loading the world raises no event by itself.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "world/Castle.h"
#include "world/Nation.h"
#include "world/Path.h"
#include "world/PersonList.h"
#include "world/State.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/WorldKit.h"

namespace {

// A small deterministic sequence for the world's figures (never the game's
// generators: the kit must not move their counters).
class Figures {
public:
    explicit Figures(uint32_t seed) : m_state(seed) {}
    int Next(int lo, int hi) {
        m_state = m_state * 1103515245u + 12345u;
        return lo + int((m_state >> 16) % uint32_t(hi - lo + 1));
    }

private:
    uint32_t m_state;
};

struct CastleSpec {
    const char* name;
    int owner;
    bool home;
};

// The castles of the world map, with the clan index of their first owner.
const CastleSpec kCastles[21] = {
    {"Iwadono", 1, true},          {"Uehara", 8, false},       {"Merrowby", 8, true},
    {"Iiyamajo", 8, false},        {"Katsurao", 8, false},     {"Kasugayamajo", 2, true},
    {"Totsusaka", 2, false},       {"Brenmoor", 4, true},      {"Sunpu", 3, true},
    {"Hanazawa", 3, false},        {"Hollendane", 3, false},   {"Hamamatsu", 3, false},
    {"Okazaki", 3, false},         {"Gifu", 5, true},          {"Nagashima", 5, false},
    {"Azuchi", 10, true},          {"Kyoto", 12, true},        {"Osaka", 13, false},
    {"Fukazawajo", 4, false},      {"Warrior Monk Castle", 11, true}, {"Ruel Castle", 9, true},
};

struct ProvinceSpec {
    const char* name;
    int owner;
};
const ProvinceSpec kProvinces[9] = {{"Kai", 1},  {"Shinano", 8}, {"Echigo", 2},   {"Surugu", 3},  {"Mikawa", 3},
                                    {"Mino", 5}, {"Omi", 10},    {"Yamashiro", 12}, {"Settsu", 13}};

// Named veterans of a clan (besides the leader): the heirs and successors
// the story and the succession rules look for, and the player's two
// household generals.
std::vector<std::string> NamedVeterans(int clan) {
    std::vector<std::string> names;
    if (clan <= 7)
        for (const char* n : kSuccessorNames[clan])
            if (n) names.push_back(n);
    if (clan == 1)
        for (const char* n : kSpecialGeneralNames) names.push_back(n);
    return names;
}

const char* const kFamilies[] = {"Akitsu",  "Hanabusa", "Ikegami",  "Kumasaka", "Mizoguchi", "Noguchi",
                                 "Okubo",   "Sakurada", "Tachibana", "Umezawa", "Wakabayashi", "Yanagida",
                                 "Hosokura", "Kajiwara", "Natsume",  "Ogasa",   "Shimizu",   "Tsutsui"};
const char* const kGivens[] = {"Hisamasa", "Kagenori", "Mitsunari", "Morinaga", "Naotaka",  "Sadatomo",
                               "Shigetomo", "Takamune", "Tokimasa", "Toshinari", "Ujiharu", "Yasunari",
                               "Yoritomo", "Masakiyo", "Nagahide", "Suketada",  "Harukata", "Kiyonari"};

// Splits "family, given".
void SetNames(CPerson& p, const std::string& full) {
    size_t comma = full.find(", ");
    p.familyName = full.substr(0, comma).c_str();
    p.givenName = comma == std::string::npos ? "" : full.substr(comma + 2).c_str();
}

// What a general's division may do of its own accord, by his character,
// read from the figures already drawn for him (so that no other figure of
// the world moves): a stubborn general, whose men follow him beyond his
// rank, refuses to retreat (bit 4); a seasoned one, more tried than his
// rank and no weak leader, may stand as a rear guard (bit 3); a cautious
// one, who keeps a guard about him as strong as his hold on his men and
// is not stubborn, gives up the field or regroups when his men thin
// (bit 0). About a quarter of the generals are stubborn, a third cautious
// and one in seven seasoned.
int8_t CharacterFlags(const CTable& t, int level) {
    const bool stubborn = t.traits[1] >= level + 5;
    const bool seasoned = t.experience >= level + 10 && t.traits[1] >= level;
    const bool cautious = !stubborn && t.traits[2] >= t.traits[1];
    return int8_t((cautious ? 1 : 0) | (seasoned ? 8 : 0) | (stubborn ? 16 : 0));
}

// Abilities around a level: better generals have better tables.
void SetAbilities(CPerson& p, Figures& f, int level) {
    for (CTable* t : {&p.workTableA, &p.workTableB}) {
        t->SetPreset();
        t->traits[1] = int8_t(std::min(99, level + f.Next(-10, 10)));
        t->traits[2] = int8_t(std::min(99, level + f.Next(-15, 5)));
        t->traits[4] = int8_t(std::min(99, level / 2 + f.Next(10, 30)));
        t->experience = std::min(99, level + f.Next(-5, 15));
        t->grades[0] = int8_t(std::min(99, level + f.Next(-20, 0)));
        for (int k = 0; k <= 5; ++k) t->skills[k] = int8_t(std::min(99, level + f.Next(-25, 10)));
    }
    // Both tables carry the same flag byte: the working table's character.
    p.workTableA.skills[6] = p.workTableB.skills[6] = CharacterFlags(p.workTableB, level);
    p.sortKey = uint8_t(std::min(99, level / 2 + f.Next(10, 30)));
    p.standing = 130 + level / 4 + f.Next(0, 10);
    p.SaveAbilities();
    p.ComputeDerived();
}

// Troops fit for the arm, so that the state checks leave the arm alone.
void SetTroops(CPerson& p, Figures& f, int units, int arm) {
    p.units = units;
    p.horses = arm == 1 ? units : f.Next(0, units / 4);
    p.rifles = 0;
    p.state = arm;
}

class WorldBuilder {
public:
    static constexpr size_t kBattleStaff = 15;
    CStateList states;
    CNationList nations;
    CPersonList persons{true};
    CCastleList castles;
    CPathList paths;

    void Build() {
        Figures f(1542);
        for (int k = 1; k <= 13; ++k) AddClan(k, f);
        for (const ProvinceSpec& s : kProvinces) AddProvince(s, f);
        for (const CastleSpec& s : kCastles) AddCastle(s, f);
        for (int k = 1; k <= 13; ++k) AddGenerals(k, f);
        for (int k = 12; k <= 13; ++k) AddBattleStaff(k);
        AddPaths();
        persons.Relink();
    }

    std::vector<uint8_t> Store() {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        states.Serialize(ar);
        nations.Serialize(ar);
        persons.Serialize(ar);
        castles.Serialize(ar);
        paths.Serialize(ar);
        ar.Close();
        return file.Data();
    }

private:
    int m_nextId = 1;

    void AddClan(int k, Figures& f) {
        CNation* n = new CNation;
        n->id = k;
        n->owner = k;
        n->name = kClanNames[k];
        n->title = CString("House of ") + kClanNames[k];
        n->rating = 70 + f.Next(0, 25);
        nations.AddTail(n);
    }

    void AddProvince(const ProvinceSpec& s, Figures& f) {
        CState* p = new CState;
        p->id = 100 + states.GetCount();
        p->name = s.name;
        p->title = s.name;
        p->owner = s.owner;
        p->region = states.GetCount() + 1;
        p->rating = 60 + f.Next(0, 30);
        states.AddTail(p);
    }

    void AddCastle(const CastleSpec& s, Figures& f) {
        CCastle* c = new CCastle;
        c->id = 200 + castles.GetCount();
        c->name = s.name;
        c->owner = s.owner;
        c->isHome = s.home ? 1 : 0;
        c->region = castles.GetCount() + 1;
        CCastleEconomy& e = c->economy;
        e.weight = 1;
        e.averageA = 50 + f.Next(0, 30);
        e.averageB = 40 + f.Next(0, 30);
        e.unitRate = (s.home ? 120 : 60) / 100.0 + f.Next(0, 30) / 100.0;
        e.horseRate = 0.10 + f.Next(0, 20) / 100.0;
        e.rifleRate = 0.02 + f.Next(0, 3) / 100.0;
        e.units = (s.home ? 400 : 150) + f.Next(0, 200);
        e.horses = 20 + f.Next(0, 60);
        e.rifles = 0;
        castles.AddTail(c);
    }

    CPerson* AddPerson(const std::string& full, int clan, int merit, int commander, Figures& f, int level) {
        CPerson* p = new CPerson;
        SetNames(*p, full);
        p->id = m_nextId++;
        p->clan = clan;
        p->merit = merit;
        p->commanderId = commander;
        p->text3 = "Generic General";
        SetAbilities(*p, f, level);
        persons.AddTail(p);
        return p;
    }

    void AddGenerals(int k, Figures& f) {
        int leaderId = 0;
        if (kLeaderNames[k][0]) {
            CPerson* leader = AddPerson(kLeaderNames[k], k, 2000, 0, f, 85);
            leader->title = "Marshal";
            leader->text3 = CString(kLeaderFamilyNames[k]) + " " + kLeaderGivenNames[k];
            SetTroops(*leader, f, 40, 0);
            leaderId = leader->id;
            nations.FindByID(k)->SetLeaderId(leaderId);
        }
        // Named veterans first, then enough others for a full staff.
        std::vector<std::string> names = NamedVeterans(k);
        int staff = k <= 8 ? 5 : 3;
        for (int i = 0; int(names.size()) < staff; ++i) {
            std::string n = std::string(kFamilies[(k * 5 + i) % 18]) + ", " + kGivens[(k * 7 + i * 3) % 18];
            bool taken = false;
            for (const std::string& m : names) taken = taken || m == n;
            if (!taken) names.push_back(n);
        }
        int arm = k % 4;
        for (const std::string& n : names) {
            const int level = 60 + f.Next(0, 20), merit = 300 + f.Next(0, 6) * 100;
            CPerson* v = AddPerson(n, k, merit, leaderId, f, level);
            SetTroops(*v, f, 20 + f.Next(0, 15), arm);
            arm = (arm + 1) % 4;
            int captains = 1 + f.Next(0, 1);
            for (int c = 0; c < captains; ++c) {
                std::string cn = std::string(kFamilies[(v->id * 3 + c) % 18]) + ", " + kGivens[(v->id + c * 5) % 18];
                const int capLevel = 45 + f.Next(0, 15), capMerit = 120 + f.Next(0, 8) * 10;
                CPerson* cap = AddPerson(cn, k, capMerit, v->id, f, capLevel);
                SetTroops(*cap, f, 8 + f.Next(0, 6), c % 2 == 0 ? 0 : 2);
                cap->value13 = v->id;
            }
        }
        if (k == 8) {
            CPerson* consort = AddPerson(kConsortName, k, 150, leaderId, f, 50);
            SetTroops(*consort, f, 5, 0);
        }
    }

    // Two clans field a full army for a battle: fifteen more veterans under
    // the marshal, each with forty men and three captains of the arms his
    // command needs (four battalions). Added after the whole cast from a
    // stream of their own, so every other person keeps his id and figures.
    void AddBattleStaff(int k) {
        Figures f(1560 + k);
        int leaderId = 0;
        for (POSITION pos = persons.GetHeadPosition(); pos;) {
            const CPerson* p = persons.GetPerson(pos);
            if (p->clan == k && p->merit >= 2000) leaderId = p->id;
        }
        // Captains by battalion: the arm each of battalions 1..3 takes.
        static const int kCaptainArms[4][3] = {{0, 0, 2}, {1, 1, 1}, {2, 2, 3}, {3, 3, 2}};
        int arm = k % 4;
        size_t added = 0;
        for (int i = 0; added < kBattleStaff; ++i) {
            std::string n = std::string(kFamilies[(k * 11 + i * 5) % 18]) + ", " + kGivens[(k * 13 + i * 7 + i / 18) % 18];
            if (FindNamed(n)) continue;
            const int level = 60 + f.Next(0, 20), merit = 300 + f.Next(0, 6) * 100;
            CPerson* v = AddPerson(n, k, merit, leaderId, f, level);
            SetTroops(*v, f, 40, arm);
            const int* arms = kCaptainArms[arm];
            arm = (arm + 1) % 4;
            ++added;
            for (int j = 0, c = 0; c < 3; ++j) {
                std::string cn = std::string(kFamilies[(v->id * 3 + j + 7) % 18]) + ", " + kGivens[(v->id * 5 + j * 11) % 18];
                if (FindNamed(cn)) continue;
                const int capLevel = 45 + f.Next(0, 15), capMerit = 120 + f.Next(0, 8) * 10;
                CPerson* cap = AddPerson(cn, k, capMerit, v->id, f, capLevel);
                SetTroops(*cap, f, 8 + f.Next(0, 6), arms[c++]);
                cap->value13 = v->id;
            }
        }
    }

    bool FindNamed(const std::string& full) {
        for (POSITION pos = persons.GetHeadPosition(); pos;) {
            const CPerson* p = persons.GetPerson(pos);
            std::string name = std::string(p->familyName) + ", " + std::string(p->givenName);
            if (name == full) return true;
        }
        return false;
    }

    void AddPaths() {
        // March routes between neighbouring castles of the world map.
        const int routes[3][4] = {{866, 408, 736, 273}, {736, 273, 679, 339}, {786, 587, 689, 658}};
        for (int i = 0; i < 3; ++i) {
            CPath* p = new CPath;
            p->id = i + 1;
            p->name.Format("Route %d", i + 1);
            const int* r = routes[i];
            for (int s = 0; s <= 4; ++s) p->points.push_back(CPoint(r[0] + (r[2] - r[0]) * s / 4, r[1] + (r[3] - r[1]) * s / 4));
            paths.AddTail(p);
        }
    }
};

}  // namespace

KIT_GENERATOR(World) {
    WorldBuilder world;
    world.Build();
    std::vector<uint8_t> bytes = world.Store();
    kit.WriteBytes("Data\\Default.STE", bytes);
    kit.WriteBytes("Data\\Single Campaign Default.STE", bytes);
    // Profiles and saved games are written here at run time.
    kit.PathFor("Data\\Saved Data\\Profile.VLM");
}

std::vector<uint8_t> DefaultWorldBytes() {
    WorldBuilder world;
    world.Build();
    return world.Store();
}
