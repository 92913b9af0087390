#include "world/PlayerRecord.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "world/RecordIO.h"

// ---- CGameInfoRecord

CGameInfoRecord::CGameInfoRecord() { Reset(); }

CGameInfoRecord& CGameInfoRecord::operator=(const CGameInfoRecord& o) {
    Flag = o.Flag;
    ValueD = o.ValueD;
    PointsB = o.PointsB;
    ValueC = o.ValueC;
    ValueB = o.ValueB;
    ValueA = o.ValueA;
    FileName = o.FileName;
    Title = o.Title;
    Created = o.Created;
    Modified = o.Modified;
    PointsA = o.PointsA;
    return *this;
}

void CGameInfoRecord::Reset() {
    Flag = 0;
    ValueA = ValueB = ValueC = ValueD = ValueE = ValueF = 0;
    PointsA = PointsB = 0;
    FileName.Empty();
    Title.Empty();
    Created = Modified = CTime::GetCurrentTime();
}

void CGameInfoRecord::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Layout = 3;
        ar << Layout << ValueD << PointsB << ValueC << ValueB << ValueE << ValueF << ValueA << PointsA << Flag;
        ar << FileName << Title << Created << Modified;
        return;
    }
    uint32_t layout;
    ar >> layout;
    // Layout 0 holds nothing past its number; a newer layout's length is
    // unknown, so nothing after it could be read.
    if (layout > 3) ThrowRecordError("ERROR: Unknown version of player slot.");
    Layout = layout;
    if (layout == 0) return;
    ar >> ValueD >> PointsB >> ValueC >> ValueB;
    if (layout >= 2) ar >> ValueE >> ValueF >> ValueA >> PointsA;
    if (layout == 3) ar >> Flag;
    ar >> FileName >> Title >> Created >> Modified;
}

// ---- CPlayerRecord

CPlayerRecord::CPlayerRecord() { Reset(); }

CPlayerRecord::CPlayerRecord(const char* identity) {
    Reset();
    // Pieces are separated by runs of "|"; the first is the name, then
    // clan, rating, spare count, battles begun, wins, losses, unfinished.
    std::string text = identity ? identity : "";
    std::vector<std::string> pieces;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == '|') ++i;
        size_t j = i;
        while (j < text.size() && text[j] != '|') ++j;
        if (j > i) pieces.push_back(text.substr(i, j - i));
        i = j;
    }
    if (pieces.empty()) return;
    Name = pieces[0].c_str();
    int32_t* const fields[7] = {&Clan, &Rating, &SpareCount, &BattlesBegun, &Wins, &Losses, &BattlesUnfinished};
    for (size_t k = 0; k < 7 && k + 1 < pieces.size(); ++k) *fields[k] = int32_t(std::strtol(pieces[k + 1].c_str(), nullptr, 10));
}

CPlayerRecord& CPlayerRecord::operator=(const CPlayerRecord& o) {
    SpareValueA = o.SpareValueA;
    SpareValueB = o.SpareValueB;
    BattlesBegun = o.BattlesBegun;
    BattlesUnfinished = o.BattlesUnfinished;
    SpareValueC = o.SpareValueC;
    SpareValueD = o.SpareValueD;
    for (int i = 0; i < 5; ++i) ArmySlots[i] = o.ArmySlots[i];
    Name = o.Name;
    SpareTextB = o.SpareTextB;
    SpareTextA = o.SpareTextA;
    SpareCount = o.SpareCount;
    Wins = o.Wins;
    Losses = o.Losses;
    Rating = o.Rating;
    Clan = o.Clan;
    return *this;
}

void CPlayerRecord::Reset() {
    SpareCount = Wins = Losses = 0;
    Rating = 1000;
    Clan = -1;
    Version = 1;
    BattlesBegun = BattlesUnfinished = 0;
    SpareValueA = SpareValueB = SpareValueC = SpareValueD = 0;
    Name.Empty();
    SpareTextA.Empty();
    SpareTextB.Empty();
    for (CGameInfoRecord& s : ArmySlots) s.Reset();
}

void CPlayerRecord::ResetSub(int slot) {
    if (slot >= 0 && slot < 5) ArmySlots[slot].Reset();
}

void CPlayerRecord::GetIdentityString(CString& out) const {
    if (Name.IsEmpty()) {
        out = Name;
        return;
    }
    out.Format("%s|%.2d|%.8d|%.8d|%.5d|%.5d|%.5d|%.5d|0x%0*X", (const char*)Name, Clan, Rating, SpareCount,
               BattlesBegun, Wins, Losses, BattlesUnfinished, 4, kProgramVersionWord);
}

int32_t CPlayerRecord::UpdateRating(int32_t own, int32_t opponent, uint8_t won) {
    const float step = 0.01f;
    double x = double(int64_t(opponent) - own) * double(step);
    double expected = 1.0 / (1.0 + std::pow(3.0, x));
    double change = won ? (1.0 - expected) * 40.0 : expected * -40.0;
    return own + int32_t(std::trunc(change));
}

void CPlayerRecord::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Version = 3;
        ar << Version << Losses << Wins << Rating << Clan << SpareCount;
        ar << Name << SpareTextA << SpareTextB;
        ar << SpareValueD << SpareValueC << SpareValueB << SpareValueA << BattlesBegun << BattlesUnfinished;
        for (CGameInfoRecord& s : ArmySlots) s.Serialize(ar);
        return;
    }
    uint32_t version;
    ar >> version;
    // Version 0 holds no record fields, only the slots.
    if (version > 3) ThrowRecordError("ERROR: Unknown version of player record.");
    Version = version;
    if (version >= 1) {
        ar >> Losses >> Wins >> Rating >> Clan;
        if (version == 3) ar >> SpareCount;
        ar >> Name >> SpareTextA >> SpareTextB;
        ar >> SpareValueD >> SpareValueC >> SpareValueB >> SpareValueA;
        if (version >= 2) ar >> BattlesBegun >> BattlesUnfinished;
    }
    for (CGameInfoRecord& s : ArmySlots) s.Serialize(ar);
}
