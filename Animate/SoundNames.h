// The game's sound files and the sound identifiers they are played under:
// one table for the mode sound sets that load them and for the data kit
// that makes them. Effects lie in the Sound folder, music in its "Music\"
// subfolder. The "11h" files are 11,025 Hz PCM, the others 22,050 Hz.
#pragma once

#include <string>
#include <vector>

struct SoundFileName {
    const char* file;
    int id;
};

// Music, each group played under one identifier.
inline constexpr int kIntroMusicId = 25;          // logo, introduction, demo intro
inline constexpr int kBattleMusicId = 26;         // battle
inline constexpr int kWorldMapMusicId = 28;       // world map
inline constexpr int kAfterBattleMusicId = 29;    // after a battle
inline constexpr int kEndScreenMusicId = 30;      // campaign end screens
inline constexpr const char* kIntroMusic = "IBad.wav";
inline constexpr const char* kWorldMapMusic[] = {"WMoop.wav", "WMox.wav", "WNat.wav", "WNat2.wav"};
inline constexpr const char* kBattleMusic[] = {"BBad.wav", "BBeast1.wav", "BBeast2.wav", "BRak@1.wav", "BRak@2.wav"};
inline constexpr const char* kVictoryMusic = "ABWTruluv.wav";
// Choice 1 and choice 2 of the defeat music.
inline constexpr const char* kDefeatMusic[] = {"ABLMom.wav", "ABLSad.wav"};

// The options screen's sample sound.
inline constexpr SoundFileName kOptionsEffect = {"Commanding 1 11h.wav", 10};

// The battle's effects, in the order they are loaded.
inline constexpr SoundFileName kBattleEffects[] = {
    {"Cav Walking Loop1 11h.wav", 0},
    {"Cav Loop1 11h.wav", 1},
    {"Battle Sound Loop 1 11h.wav", 5},
    {"Battle Sound Loop 2 11h.wav", 6},
    {"Arrow Shooting Single 11h.wav", 7},
    {"Arrow Shooting Multiple 11h.wav", 8},
    {"Battle Formation 11h.wav", 9},
    {"Commanding 1 11h.wav", 10},
    {"Commanding 2 11h.wav", 11},
    {"Commanding attack 11h.wav", 13},
    {"Commanding alloutattack 11h.wav", 14},
    {"Commanding defense 11h.wav", 15},
    {"Commanding standground 11h.wav", 16},
    {"Commanding regroup 11h.wav", 17},
    {"Commanding retreat 11h.wav", 18},
    {"Inf Walking Loop 11h.wav", 19},
    {"Rifle Shooting Loop1 11h.wav", 21},
    {"Spear Walking Loop 11h.wav", 22},
    {"Morale Drum 11h.wav", 24},
};

// What sounds 7 and 8 play instead of the arrows while the view's cow
// switch is set. They lie in the Sound folder like the other effects.
inline constexpr SoundFileName kCowEffects[] = {
    {"Moo Moo Cow Single.wav", 7},
    {"Moo Moo Cow Multiple.wav", 8},
};

// Every sound file the game can ask for, as names below the working folder
// ("Sound\\..." and "Sound\\Music\\..."), each once.
inline std::vector<std::string> AllSoundFileNames() {
    std::vector<std::string> names;
    for (const SoundFileName& e : kBattleEffects) names.push_back(std::string("Sound\\") + e.file);
    for (const SoundFileName& e : kCowEffects) names.push_back(std::string("Sound\\") + e.file);
    auto music = [&](const char* file) { names.push_back(std::string("Sound\\Music\\") + file); };
    music(kIntroMusic);
    for (const char* f : kWorldMapMusic) music(f);
    for (const char* f : kBattleMusic) music(f);
    music(kVictoryMusic);
    for (const char* f : kDefeatMusic) music(f);
    return names;
}
