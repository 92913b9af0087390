#include "shell/OrvaneDoc.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "core/WorldNames.h"
#include "platform/win/MessageQueue.h"
#include "core/Helpers.h"
#include "core/NameTables.h"
#include "core/Random.h"

// ---- Construction and folders

IMPLEMENT_DYNCREATE(COrvaneDoc, CDocument)

COrvaneDoc::COrvaneDoc() {
    char cwd[4096];
    BuildFolders(getcwd(cwd, sizeof cwd) ? cwd : ".");
}

COrvaneDoc::COrvaneDoc(const char* workingFolder) { BuildFolders(workingFolder); }

COrvaneDoc::~COrvaneDoc() {
    m_persons.DeleteAll(true);
    m_nations.DeleteAll();
    m_states.DeleteAll();
    m_castles.DeleteAll();
    m_paths.DeleteAll();
}

void COrvaneDoc::BuildFolders(const char* wf) {
    CString w(wf);
    m_strInstall = w + "\\";
    m_strPictures = w + "\\Pictures\\";
    m_strSound = w + "\\Sound\\";
    m_strSavedData = w + "\\Data\\Saved Data\\";
    m_strData = w + "\\Data\\";
    m_strCmb = w + "\\Pictures\\Cmb\\";
    m_strPortrait = w + "\\Pictures\\Portrait\\";
    m_strUnitSets = w + "\\Pictures\\Unit Sets\\";
    m_strCache.Format("%s\\cache\\", wf);
    m_strPanel = "Panel.giz";
    m_strPlayerName = "";
}

// ---- Settings

int COrvaneDoc::GetSpeedLevel() const { return std::max(9 - m_roster.SpeedValue / 40, 0); }
int COrvaneDoc::GetScrollLevel() const { return std::max(9 - m_roster.ScrollValue / 20, 0); }
void COrvaneDoc::SetSpeedLevel(int level) { m_roster.SpeedValue = (9 - std::clamp(level, 0, 9)) * 40; }
void COrvaneDoc::SetScrollLevel(int level) { m_roster.ScrollValue = (9 - std::clamp(level, 0, 10)) * 20; }

// The sound engine's volume for a level, from its ten-entry table.
static int VolumeForLevel(int level) {
    static const int kVolumes[10] = {8200, 8400, 8600, 8800, 9000, 9200, 9400, 9600, 9800, 10000};
    return kVolumes[std::clamp(level, 0, 9)];
}

int COrvaneDoc::GetMusicVolume() const { return VolumeForLevel(m_roster.MusicLevel); }
int COrvaneDoc::GetSoundVolume() const { return VolumeForLevel(m_roster.SoundLevel); }

// ---- Start-up

BOOL COrvaneDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    // A profile that cannot be read is left on disk as it is, not stored
    // over. One that was read but cannot be written back is said to be
    // just that: the player's changes of this run will not be kept.
    CString error;
    if (SerializeProfile(0) && !WriteProfile(error))
        ShowMessage("ERROR: The player profile %s was read but cannot be written; what changes in this game "
                    "will not be kept.\n%s",
                    (const char*)GetProfilePath(), (const char*)error);
    if (!SerializeWorldFile(m_strData + "Default.STE", false)) return FALSE;
    // The catalogue is built once: opening the document again must not
    // append a second copy.
    if (m_campaign.m_lstCatalogue.IsEmpty()) m_campaign.BuildCatalogue(&m_nations);
    return TRUE;
}

// ---- World and saved-game files

namespace {
// The wait cursor, shown for the length of one file operation.
class CWaitCursor {
public:
    CWaitCursor() : m_old(SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(IDC_WAIT)))) {}
    ~CWaitCursor() { SetCursor(m_old); }

private:
    HCURSOR m_old;
};

// Empties `to` (deleting its elements) and moves the elements of `from`.
void TakeOver(CObList& to, CObList& from, bool deleteOld = true) {
    if (deleteOld) DeleteListElements(to);
    while (!from.IsEmpty()) to.AddTail(from.RemoveHead());
}
}  // namespace

bool COrvaneDoc::SerializeFile(const char* path, bool store, bool withCampaign, CSaveGameInfo* header) {
    CWaitCursor wait;
    if (store) {
        CSafeFile file;
        if (!file.Open(path, CFile::modeCreate | CFile::modeReadWrite)) {
            ShowMessage("%s cannot be created!", path);
            return false;
        }
        try {
            if (header) header->Write(file);
            CArchive ar(&file, CArchive::store);
            SerializeWorldLists(ar, m_states, m_nations, m_persons, m_castles, m_paths);
            if (withCampaign) m_campaign.Serialize(ar);
            ar.Close();
            file.Commit();
        } catch (const CException& e) {
            ShowMessage("%s\n%s cannot be created!", (const char*)e.GetErrorText(), path);
            return false;
        }
        m_campaign.LinkNations(&m_castles, &m_nations, &m_persons);
        return true;
    }

    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        ShowMessage("%s cannot be loaded!", path);
        return false;
    }
    CWorldLists world;
    std::unique_ptr<CCampaign> campaign;
    CString error;
    try {
        if (header && !header->Read(file)) ThrowRecordError("ERROR: The saved game has no header.");
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
        if (withCampaign) {
            // A file of an older version holds no level: it stays as it is.
            campaign = std::make_unique<CCampaign>();
            campaign->m_nLevel = m_campaign.m_nLevel;
            if (!campaign->Serialize(ar)) ThrowRecordError("ERROR: Unknown version of saved game.");
        }
        ar.Close();
    } catch (const CException& e) {
        error = e.GetErrorText();
    }
    if (!world.Unshare() && error.IsEmpty()) error = "ERROR: The file holds one record in two lists.";
    if (!error.IsEmpty()) {
        ShowMessage("%s\n%s cannot be loaded!", (const char*)error, path);
        return false;
    }
    // The whole file was read: the world and the campaign change now.
    TakeOver(m_states, world.states);
    TakeOver(m_nations, world.nations);
    m_persons.DeleteAll(true);
    TakeOver(m_persons, world.persons, false);
    TakeOver(m_castles, world.castles);
    TakeOver(m_paths, world.paths);
    if (campaign) {
        m_campaign.Reset();
        m_campaign.AdoptLoaded(*campaign);
    }
    m_campaign.LinkNations(&m_castles, &m_nations, &m_persons);
    return true;
}

bool COrvaneDoc::SerializeWorldFile(const char* path, bool store) { return SerializeFile(path, store, false, nullptr); }

CString COrvaneDoc::GetGameSlotPath(int slot) const {
    if (slot == 0) return m_strSavedData + "Autosave.sav";
    CString name;
    name.Format("%sSaved Game %d.sav", (const char*)m_strSavedData, slot);
    return name;
}

int COrvaneDoc::SerializeGameSlot(int slot, bool store, CSaveGameInfo& header) {
    if (slot < 0 || slot > 5) return 0;
    CSaveGameInfo read;
    bool ok = SerializeFile(GetGameSlotPath(slot), store, true, store ? &header : &read);
    if (ok && !store) header = read;
    return ok ? 1 : 0;
}

int COrvaneDoc::AutoSave() {
    CSaveGameInfo header(m_campaign.m_nYear, m_campaign.m_nBattleStage,
                         int32_t(CTime::GetCurrentTime().GetTime()));
    return SerializeGameSlot(0, true, header);
}

bool COrvaneDoc::LoadGame(const char* path) {
    CSaveGameInfo header;
    return SerializeFile(path, false, true, &header);
}

bool COrvaneDoc::SerializeGameFile(const char* fileName, bool store) {
    return SerializeFile(m_strSavedData + fileName, store, true, nullptr);
}

bool COrvaneDoc::SerializePlayerSlot(int slot, bool store) {
    // Slot files belong to a player: without one chosen there is no file
    // to use, and a made-up name could overwrite another player's army.
    if (m_roster.GetCurrent() == nullptr) return false;
    CGameInfoRecord* rec = GetCurrentPlayerSlot(slot);
    if (rec == nullptr) return false;
    if (rec->FileName.IsEmpty())
        rec->FileName.Format("%sD%dA%d.sav", (const char*)m_strSavedData, m_roster.CurrentPlayer, slot);
    // A failed load or store leaves the file as it was: the store writes
    // through a temporary file and the load reads into fresh lists. A slot
    // whose store failed and that names no army file is free again.
    CString path = GetSlotFilePath(rec->FileName);
    if (path.IsEmpty()) {
        ShowMessage("ERROR: The army file %s has no name in the Saved Data folder; it is not used.",
                    (const char*)rec->FileName);
        if (store) {
            rec->Reset();
            StoreProfile();
        }
        return false;
    }
    bool ok = SerializeWorldFile(path, store);
    if (!ok && store && !CFile::IsFile(path)) rec->Reset();
    StoreProfile();
    return ok;
}

CString COrvaneDoc::GetSlotFilePath(const CString& recorded) const {
    // The profile keeps the full name it was given; the game folder may
    // have moved since, so only the file's own name counts, and it is
    // always looked for in this game's Saved Data folder.
    const char* text = recorded.GetString();
    const char* leaf = text;
    for (const char* c = text; *c; ++c)
        if (*c == '\\' || *c == '/') leaf = c + 1;
    CString name(leaf);
    if (name.IsEmpty() || name == "." || name == "..") return CString();
    return m_strSavedData + name;
}

bool COrvaneDoc::DeleteSlotFile(int slot) {
    CGameInfoRecord* rec = GetCurrentPlayerSlot(slot);
    if (rec == nullptr) return false;
    if (rec->FileName.IsEmpty()) {
        rec->Reset();
        return false;
    }
    CString path = GetSlotFilePath(rec->FileName);
    if (path.IsEmpty()) {
        ShowMessage("ERROR: The army file %s has no name in the Saved Data folder; it is not deleted.",
                    (const char*)rec->FileName);
        return false;
    }
    if (!CFile::IsFile(path)) return false;
    try {
        CFile::Remove(path);
    } catch (const CException& e) {
        ShowMessage("%s", (const char*)e.GetErrorText());
        return false;
    }
    rec->Reset();
    return true;
}

bool COrvaneDoc::GetSlotTitle(int slot) {
    CGameInfoRecord* rec = GetCurrentPlayerSlot(slot);
    if (rec == nullptr) return false;
    if (rec->FileName.IsEmpty()) {
        rec->Reset();
        return false;
    }
    CString path = GetSlotFilePath(rec->FileName);
    if (path.IsEmpty() || !CFile::IsFile(path)) {
        rec->FileName.Empty();
        rec->Reset();
        return true;
    }
    return false;
}

// ---- Profile

bool COrvaneDoc::WriteProfile(CString& error) {
    // Written through a temporary file: the old profile stays whole until
    // the new one is complete.
    CSafeFile out;
    CFileException open;
    if (!out.Open(GetProfilePath(), CFile::modeCreate | CFile::modeReadWrite, &open)) {
        error = open.GetErrorText();
        return false;
    }
    try {
        CArchive ar(&out, CArchive::store);
        m_roster.Serialize(ar);
        ar.Close();
        out.Commit();
    } catch (const CException& e) {
        error = e.GetErrorText();
        return false;
    }
    return true;
}

bool COrvaneDoc::SerializeProfile(int direction) {
    CWaitCursor wait;
    CString path = GetProfilePath();
    if (!CFile::Exists(path) || direction == 1) {
        // A missing profile is made from the roster as it stands (the
        // defaults at start-up), so loading it gives the same roster back
        // and no player in memory is lost.
        CString error;
        if (!WriteProfile(error)) {
            ShowMessage("%s\n%s could not be opened or created!", (const char*)error, (const char*)path);
            return false;
        }
    }
    if (direction == 0) {
        CFile in;
        if (!in.Open(path, CFile::modeRead)) {
            ShowMessage("%s could not be opened or created!", (const char*)path);
            return false;
        }
        CPlayerRoster loaded;
        try {
            CArchive ar(&in, CArchive::load);
            loaded.Serialize(ar);
            ar.Close();
        } catch (const CException& e) {
            // The roster and the file stay as they were.
            ShowMessage("%s\n%s cannot be loaded!", (const char*)e.GetErrorText(), (const char*)path);
            return false;
        }
        m_roster = loaded;
    }
    CPlayerRecord* current = m_roster.GetCurrent();
    SetPlayerName(current ? (const char*)current->Name : "");
    return true;
}

CPlayerRecord* COrvaneDoc::GetCurrentPlayer() {
    CPlayerRecord* p = m_roster.GetCurrent();
    return p ? p : &m_spareRecord;
}

CGameInfoRecord* COrvaneDoc::GetCurrentPlayerSlot(int slot) {
    if (slot < 0 || slot > 4) return nullptr;
    return &GetCurrentPlayer()->ArmySlots[slot];
}

// ---- Campaign upkeep

CPerson* COrvaneDoc::GetNationLeader(int clan) const {
    CNation* n = m_nations.FindByID(clan);
    return n ? m_persons.FindByID(n->GetLeaderId()) : nullptr;
}

int COrvaneDoc::CountCastles(int clan) const {
    CCastleEconomy sum;
    m_castles.SumEconomy(clan, sum);
    double rifleRate = m_campaign.m_bEconomyFlag ? sum.rifleRate : 0.0;
    return int((2 * sum.horseRate + 3 * rifleRate + sum.unitRate) * 100);
}

int COrvaneDoc::CountTroops(int clan) const {
    CCastleEconomy sum;
    m_castles.SumEconomy(clan, sum);
    int64_t rifles = sum.rifles, horses = sum.horses, units = sum.units;
    for (POSITION pos = m_persons.GetHeadPosition(); pos;) {
        CPerson* p = m_persons.GetPerson(pos);
        if (p->clan != clan || !p->CanActAgain(GetCurrentYear()) || !p->IsVeteran()) continue;
        units += p->units;
        rifles += p->rifles;
        horses += p->horses;
    }
    return int(3 * rifles + 2 * horses + units);
}

int COrvaneDoc::GetNationStrength(int clan) const {
    CPersonList generals;
    m_persons.CollectByClan(clan, generals, GetCurrentYear());
    int h = 0, r = 0, u = 0, s = 0;
    return generals.GetClanTotals(h, r, u, s, false);
}

void COrvaneDoc::ReinforceCastles(int clan) {
    if (clan < 1 || clan > 8) return;
    CCastle* c = m_castles.FindLinked(clan);
    if (c && GetNationStrength(clan) < 5000) c->economy.units += 100;
}

void COrvaneDoc::ReinforceCastles2(int clan) {
    if (clan < 1 || clan > 8) return;
    CCastle* c = m_castles.FindLinked(clan);
    if (c && GetNationStrength(clan) < 1000) c->economy.units += 30;
}

void COrvaneDoc::RefillWeakNations() {
    for (int clan = 1; clan <= 8; ++clan) {
        if (CountTroops(clan) >= 200) continue;
        if (CCastle* c = m_castles.FindLinked(clan)) {
            CCastleEconomy& e = c->economy;
            e.units = e.horses = e.rifles = 0;
            e.rifleRate = e.unitRate = e.horseRate = 0;
        }
        // Its generals stop acting; a leader no longer active is what the
        // succession of ReplaceDeadLeaders looks for.
        for (POSITION pos = m_persons.GetHeadPosition(); pos;) {
            CPerson* p = m_persons.GetPerson(pos);
            if (p->clan != clan) continue;
            p->active = 0;
            p->lastAction = GetCurrentYear();
        }
    }
}

void COrvaneDoc::RefillWeakNations2(int clan, int amount) {
    CCastle* c = m_castles.FindLinked(clan);
    if (c == nullptr) return;
    CCastleEconomy& e = c->economy;
    e.units = std::max(e.units + amount / 30, 0);
    e.horses = std::max(e.horses + amount / 100, 0);
    e.rifles = std::max(e.rifles + amount / 500, 0);
}

int COrvaneDoc::GetGarrisonSize(int kind) const {
    switch (kind) {
    case 9: return 75;
    case 10: return 72;
    case 11: return 80;
    case 12: return 100;
    default:
        // The great clans grow their garrisons as the years of war go by.
        return std::clamp(60 + (GetCurrentYear() - 1542), 60, 100);
    }
}

void COrvaneDoc::NameFromTables(CPerson& p) const {
    int c = RandomRange(0, kCaptainNameCount - 1, -1);
    int g = RandomRange(0, kGivenNameCount - 1, -1);
    CString captain = kCaptainNames[c];
    CString family = captain;
    int strip = 0;
    while (strip < family.GetLength() && CString("Cap ").Find(family[strip]) >= 0) ++strip;
    p.name3 = captain;
    p.familyName = family.Mid(strip);
    p.givenName = kGivenNames[g];
}

int32_t COrvaneDoc::RollGroupMask() {
    int r = RandomRange(1, 100, -1);
    if (r < 5) return 16;
    if (r < 10) return 8;
    if (r >= 50) return 0;
    return 1;
}

void COrvaneDoc::AssignCaptains(int clan, bool force) {
    CPerson* leader = nullptr;
    if (clan != -1) {
        if (m_nations.FindByID(clan) == nullptr) return;
        leader = GetNationLeader(clan);
        if (leader == nullptr) return;
    }
    CPersonList chosen;
    for (POSITION pos = m_persons.GetHeadPosition(); pos;) {
        CPerson* p = m_persons.GetPerson(pos);
        if (!p->IsVeteran() || !(force || p->CanActAgain(GetCurrentYear()))) continue;
        if (leader && p != leader && p->commanderId != leader->id) continue;
        chosen.InsertByMerit(p);
    }
    for (POSITION pos = chosen.GetHeadPosition(); pos;) MakeCaptains(chosen.GetPerson(pos), force);
}

void COrvaneDoc::MakeCaptains(CPerson* g, bool force) {
    if (g == nullptr || g->units <= 10) return;
    int wanted = g->units < 15 ? 1 : g->units < 24 ? 2 : 3;
    int missing = wanted - m_persons.CountSubordinates(g, GetCurrentYear());
    for (int i = 0; i < missing; ++i) {
        CPerson* c = new CPerson;
        NameFromTables(*c);
        c->lastAction = GetCurrentYear() - 20;
        double factor;
        if (force) {
            factor = 0.75;
        } else {
            factor = (RandomRange(0, 30, -1) + 55) * 0.01;
            if (RandomRange(1, 100, -1) > 97) factor = 1.5;
            c->groupMask = RollGroupMask();
        }
        // Ids are unique across all clans: one above the largest in use.
        c->id = m_persons.GetMaxID(-1) + 1;
        m_persons.AddTail(c);
        g->subordinates[DWORD(c->id)] = DWORD(c->id);
        g->subordinateList.AddTail(c);
        c->commander = g;
        c->commanderId = g->id;
        c->clan = g->clan;
        c->GainExperience(*g, factor);
        c->state = 3;
        c->SaveAbilities();
    }
}

CPerson* COrvaneDoc::NameNewGenerals(int clan, int merit, double factor, bool randomise, bool reset) {
    if (m_nations.FindByID(clan) == nullptr) return nullptr;
    CPerson* leader = GetNationLeader(clan);
    if (leader == nullptr) return nullptr;
    CPerson* p = new CPerson;
    if (reset) p->workTableB.SetPreset();
    NameFromTables(*p);
    p->lastAction = GetCurrentYear() - 25;
    p->merit = merit;
    p->id = m_persons.GetMaxID(-1) + 1;
    double f = factor;
    if (randomise) {
        f = factor + (RandomRange(0, 25, -1) - 20) * 0.01;
        if (RandomRange(1, 100, -1) > 97) f = 1.5;
        p->groupMask = RollGroupMask();
    }
    m_persons.AddTail(p);
    leader->subordinates[DWORD(p->id)] = DWORD(p->id);
    leader->subordinateList.AddTail(p);
    p->commander = leader;
    p->commanderId = leader->id;
    p->clan = leader->clan;
    if (factor <= 0) {
        p->GainExperienceEx(1.5);
        p->InitAbilities(1.0);
        p->SetPercent(0.5);
        p->text4 = "F";
        p->value4 = 70;
    } else {
        p->GainExperience(*leader, f);
    }
    p->state = 3;
    p->SaveAbilities();
    return p;
}

void COrvaneDoc::AssignGenerals(int clan, double factor) {
    if (m_nations.FindByID(clan) == nullptr) return;
    CPerson* leader = GetNationLeader(clan);
    if (leader == nullptr) return;
    const int year = GetCurrentYear();
    CPersonList candidates;
    m_persons.CollectCandidates(clan, candidates, year, 0, true);
    CCastleEconomy record;
    m_castles.GetTotalsEx(clan, record, year);
    DistributeGenerals(candidates, record);
    while (record.units > 30 && m_persons.CountQualified(leader->id, year, 1, true) < 30) {
        CPerson* p = NameNewGenerals(clan, 500, factor, true, false);
        if (p == nullptr) break;
        p->units = 30;
        record.units -= 30;
    }
    m_castles.DepositToHome(clan, record);
}

namespace {
// The rate of the first pass by a general's score.
double ScoreRate(int score) {
    if (score >= 2000) return 0.04;
    if (score >= 1000) return 0.03;
    if (score >= 700) return 0.02;
    return 0.01;
}

// Pours `pool` into `field` of the generals in rounds until the pool is
// empty or a whole round found everyone full. Proportional rounds give the
// pool x rate + 1; otherwise each takes what he can hold. `visitFull` lets a
// full general still set the rate (the first merit pass).
void PourPool(CPersonList& list, int32_t& pool, int32_t CPerson::*field, double& rate, bool proportional,
              bool visitFull) {
    if (list.IsEmpty()) return;
    while (pool > 0) {
        bool anyRoom = false;
        for (POSITION pos = list.GetHeadPosition(); pos && pool > 0;) {
            CPerson* g = list.GetPerson(pos);
            bool full = g->*field >= 40;
            if (full && !visitFull) continue;
            if (proportional) {
                if (g->merit >= 1000) rate = 0.9;
                else if (g->merit >= 700) rate = 0.7;
                else if (g->merit >= 500) rate = 0.5;
            }
            if (full) continue;
            anyRoom = true;
            int share = proportional ? int(pool * rate) + 1 : pool;
            share = std::min({share, pool, 40 - g->*field});
            g->*field += share;
            pool -= share;
        }
        if (!anyRoom) break;
    }
}
}  // namespace

void COrvaneDoc::DistributeGenerals(CPersonList& generals, CCastleEconomy& record) {
    int32_t& rifles = record.rifles;
    int32_t& horses = record.horses;
    int32_t& units = record.units;
    rifles = std::max(rifles, 0);
    horses = std::max(horses, 0);
    units = std::max(units, 0);
    if (rifles == 0 && horses == 0 && units == 0) return;

    double rate = 0.02;
    generals.SortByScore();
    for (POSITION pos = generals.GetHeadPosition(); pos && (rifles > 0 || horses > 0 || units > 0);) {
        CPerson* g = generals.GetPerson(pos);
        rate = ScoreRate(g->GetScore());
        int horseFloor = rate == 0.04 ? 2 : rate == 0.03 ? 1 : 0;
        int unitFloor = rate == 0.04 ? 20 : rate == 0.03 ? 3 : rate == 0.02 ? 2 : 1;
        auto give = [&](int32_t& pool, int32_t CPerson::*field, int floor) {
            int share = std::max(int(pool * rate), floor);
            share = std::max(std::min({share, pool, 40 - g->*field}), 0);
            g->*field += share;
            pool -= share;
        };
        give(rifles, &CPerson::rifles, 0);
        give(horses, &CPerson::horses, horseFloor);
        give(units, &CPerson::units, unitFloor);
    }

    generals.SortByArmStrength(1);
    PourPool(generals, horses, &CPerson::horses, rate, true, true);
    generals.SortByArmStrength(4);
    PourPool(generals, rifles, &CPerson::rifles, rate, true, false);
    generals.SortByUnits();
    PourPool(generals, units, &CPerson::units, rate, true, false);

    generals.SortByArmStrength(1);
    PourPool(generals, horses, &CPerson::horses, rate, false, false);
    generals.SortByArmStrength(4);
    PourPool(generals, rifles, &CPerson::rifles, rate, false, false);
    generals.SortByUnits();
    PourPool(generals, units, &CPerson::units, rate, false, false);
}

void COrvaneDoc::RelinkWorld() {
    m_campaign.Reset();
    m_campaign.m_nYear = 1600;
    for (POSITION pos = m_castles.GetHeadPosition(); pos;) {
        CCastle* c = m_castles.GetCastle(pos);
        c->economy.Reset();
        if (!c->isHome) continue;
        c->economy.units = 200;
        c->economy.horses = 20;
        c->economy.rifles = 10;
        c->economy.rifleRate = 0.03;
        c->economy.unitRate = 1.0;
        c->economy.horseRate = 0.1;
    }
    m_campaign.LinkNations(&m_castles, &m_nations, &m_persons);
}

void COrvaneDoc::ReplaceDeadLeaders() {
    const int year = GetCurrentYear();
    for (int clan = 1; clan <= 8; ++clan) {
        CNation* nation = m_nations.FindByID(clan);
        CPerson* leader = GetNationLeader(clan);
        if (nation == nullptr || leader == nullptr || leader->active) continue;
        CPerson* successor = nullptr;
        if (clan <= 7) {
            for (const char* name : kSuccessorNames[clan]) {
                if (name == nullptr) break;
                CPerson* p = m_persons.FindByName(name);
                if (p && p->CanActAgain(year)) {
                    successor = p;
                    break;
                }
            }
        }
        if (successor == nullptr) {
            CPersonList candidates;
            m_persons.CollectCandidates(clan, candidates, year, 0, true);
            candidates.SortBySortKey();
            if (!candidates.IsEmpty()) successor = static_cast<CPerson*>(candidates.GetHead());
        }
        if (successor == nullptr) continue;
        CPersonList all;
        m_persons.CollectByClan(clan, all, year);
        all.AppointMarshal(successor, leader->id);
        nation->SetLeaderId(successor->id);
    }
}

void COrvaneDoc::SetUpGarrisons(int level, int campaign) {
    (void)campaign;
    // The player's leader and the two generals of his household start with
    // mounted troops; the easier the level, the more.
    const int troops = level <= 1 ? 40 : level == 2 ? 35 : 30;
    const char* const named[3] = {kLeaderNames[1], kSpecialGeneralNames[0], kSpecialGeneralNames[1]};
    for (const char* name : named) {
        if (CPerson* p = m_persons.FindByName(name)) {
            p->units = troops;
            p->horses = troops;
            p->state = 1;
        }
    }
}
