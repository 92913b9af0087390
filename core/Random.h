// The game's random numbers.
//
// Two peers of a lockstep battle, and a demo and its playback, must draw the
// same numbers in the same order. The default generator is therefore our own
// copy of the classic C-runtime linear congruential generator, and every
// draw that the simulation makes goes through CountedRand, which counts it in
// RandCallCount; the peers exchange and compare that count.
//
// Effects that only one machine sees (dust, smoke, sound variants, the
// random battle date) draw from separately seeded streams instead, which
// leave the default generator and the count untouched.
//
// Game code never calls rand, srand, std::rand or <random>: a test enforces
// it. Two draws never share one expression (C++ leaves their order open).
#pragma once

#include <cstdint>

#include "platform/afx/String.h"
#include "core/GameTables.h"
#include "core/LinkList.h"

// Counted draws of the default generator since the last reset; the tick
// exchange compares it and sets it to 0 whenever a new seed is applied.
extern int32_t RandCallCount;

// Seeds the default generator (state = seed). Does not touch RandCallCount.
void GameSrand(uint32_t seed);
// One raw draw of the default generator, 0..32767; the count is untouched.
int GameRand();
// Adds 1 to RandCallCount, then draws: the form every simulation draw takes.
int CountedRand();

// One separately seeded stream.
class CSyncRandom {
public:
    // A stream with the given seed and the next creation serial.
    explicit CSyncRandom(int32_t seed);
    virtual ~CSyncRandom() = default;

    // Draws one value 0..32767 and counts it in `draws`.
    int Next();

    int32_t seed;
    int32_t serial;  // creation number, from 0 for the first stream of the run
    int32_t draws;   // values drawn so far
};

// The process-wide registry of streams, addressed by their 0-based position.
// It owns its streams; the main view empties it when it is destroyed.
class CRandomStreams : public CLinkList<CSyncRandom> {
public:
    constexpr CRandomStreams() : CLinkList<CSyncRandom>(true) {}
    // Appends a new stream with `seed` and returns its position.
    int AddStream(int32_t seed);
};

extern CRandomStreams RandomStreams;
// Positions of the two streams the main view creates; -1 until then.
extern int StreamIndex1;
extern int StreamIndex2;

// One value 0..32767 from stream position k: -1 is the counted default
// generator, k >= 0 the k-th stream of RandomStreams. A position that names
// no stream draws nothing and gives 0.
int StreamRand(int stream);

// A value between lo and hi inclusive (bounds in either order), drawn once
// from `stream` as StreamRand does.
int RandomRange(int lo, int hi, int stream);

// One of the 28 default player names, drawn from stream 0 when it exists,
// else from the counted default generator.
CString GetRandomDefaultName();
