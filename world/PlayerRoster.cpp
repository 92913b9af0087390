#include "world/PlayerRoster.h"

#include <algorithm>

#include "world/RecordIO.h"

CPlayerRoster::CPlayerRoster() : LastStored(2000, 1, 1, 1, 15, 30) {
    for (CPlayerRecord& p : Players) p.Reset();
}

CPlayerRoster& CPlayerRoster::operator=(const CPlayerRoster& o) {
    SettingA = o.SettingA;
    TournamentClan = o.TournamentClan;
    TournamentOpponent = o.TournamentOpponent;
    TournamentRestart = o.TournamentRestart;
    SettingText = o.SettingText;
    MusicOn = o.MusicOn;
    SoundOn = o.SoundOn;
    DisplayOptionA = o.DisplayOptionA;
    DisplayOptionB = o.DisplayOptionB;
    SpeedValue = o.SpeedValue;
    ScrollValue = o.ScrollValue;
    MusicLevel = o.MusicLevel;
    SoundLevel = o.SoundLevel;
    GraphicChoice = o.GraphicChoice;
    for (int i = 0; i < 10; ++i) {
        Players[i] = o.Players[i];
        Players[i].Version = o.Players[i].Version;
    }
    CurrentPlayer = o.CurrentPlayer;
    LastStored = o.LastStored;
    Version = o.Version;
    return *this;
}

void CPlayerRoster::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Version = 8;
        ar << Version << CurrentPlayer;
        CTime now = CTime::GetCurrentTime();
        if (LastStored < now) LastStored = now;
        ar << LastStored;
        ar << DisplayOptionB << DisplayOptionB << DisplayOptionA;
        ar << MusicLevel << SoundLevel << GraphicChoice << SpeedValue << ScrollValue;
        ar << SoundOn << MusicOn;
        ar << SettingA << TournamentClan << TournamentRestart << TournamentOpponent;
        ar << SettingText;
        for (CPlayerRecord& p : Players) p.Serialize(ar);
        return;
    }
    uint32_t v;
    ar >> v;
    // Version 0 holds no settings, only the ten players.
    if (v > 8) ThrowRecordError("ERROR: Unknown version of the player profile.");
    Version = v;
    if (v >= 1) ar >> CurrentPlayer >> LastStored;
    if (v >= 2) {
        ar >> DisplayOptionB >> DisplayOptionB >> DisplayOptionA >> MusicLevel >> SoundLevel;
        if (v >= 5) ar >> GraphicChoice;
        ar >> SpeedValue;
        if (v >= 5) ar >> ScrollValue;
        if (v == 2) {
            SoundOn = 1;
            MusicOn = 1;
        } else {
            ar >> SoundOn >> MusicOn;
        }
        if (v >= 6) ar >> SettingA;
        if (v >= 7) ar >> TournamentClan >> TournamentRestart;
        if (v >= 8) ar >> TournamentOpponent;
        if (v >= 4) ar >> SettingText;
    }
    for (CPlayerRecord& p : Players) p.Serialize(ar);
    Validate();
}

void CPlayerRoster::Validate() {
    if (CurrentPlayer < -1 || CurrentPlayer > 9) CurrentPlayer = -1;
    // A chosen place that holds no player is no current player.
    if (CurrentPlayer >= 0 && Players[CurrentPlayer].Name.IsEmpty()) CurrentPlayer = -1;
    // The stored speeds are what the level setters can write, so the levels
    // read back stay 0..9 (scroll 0..10).
    SpeedValue = std::clamp(SpeedValue, 0, 360);
    ScrollValue = std::clamp(ScrollValue, -20, 180);
    MusicLevel = std::clamp(MusicLevel, 0, 9);
    SoundLevel = std::clamp(SoundLevel, 0, 9);
    if (GraphicChoice < 0 || GraphicChoice > 2) GraphicChoice = 0;
    MusicOn = MusicOn ? 1 : 0;
    SoundOn = SoundOn ? 1 : 0;
    DisplayOptionA = DisplayOptionA ? 1 : 0;
    DisplayOptionB = DisplayOptionB ? 1 : 0;
    TournamentRestart = TournamentRestart ? 1 : 0;
    auto tournamentClan = [](int32_t& c) {
        if (c != 14 && (c < 1 || c > 8)) c = 14;
    };
    tournamentClan(TournamentClan);
    tournamentClan(TournamentOpponent);
    if (SettingA < 1 || SettingA > 8) SettingA = 1;
    for (CPlayerRecord& p : Players)
        if (p.Clan != -1 && (p.Clan < 1 || p.Clan > 8)) p.Clan = -1;
}

void CPlayerRoster::GetCurrentIdentity(CString& out) const {
    if (CurrentPlayer < 0 || CurrentPlayer > 9) {
        out.Empty();
        return;
    }
    Players[CurrentPlayer].GetIdentityString(out);
}

CPlayerRecord* CPlayerRoster::GetCurrent() {
    if (CurrentPlayer < 0 || CurrentPlayer > 9) return nullptr;
    return &Players[CurrentPlayer];
}
