#include "core/Random.h"

int32_t RandCallCount = 0;

namespace {
// The default generator's state, as the C runtime keeps it (seeded with 1
// before any GameSrand).
uint32_t s_state = 1;
// Creation number of the next stream.
int32_t s_nextSerial = 0;
}  // namespace

// Constant-initialised, so it exists before any static constructor runs.
constinit CRandomStreams RandomStreams;
int StreamIndex1 = -1;
int StreamIndex2 = -1;

void GameSrand(uint32_t seed) { s_state = seed; }

int GameRand() {
    s_state = s_state * 214013u + 2531011u;
    return int((s_state >> 16) & 0x7FFF);
}

int CountedRand() {
    ++RandCallCount;
    return GameRand();
}

CSyncRandom::CSyncRandom(int32_t seed_) : seed(seed_), serial(s_nextSerial++), draws(0) {}

int CSyncRandom::Next() {
    ++draws;
    // A wrapping signed product, then an arithmetic shift that keeps the sign.
    int32_t p = int32_t(uint32_t(seed) * 0x15A4E36u);
    seed = p >> 16;
    return seed & 0x7FFF;
}

int CRandomStreams::AddStream(int32_t seed) {
    AddTail(new CSyncRandom(seed));
    return GetCount() - 1;
}

int StreamRand(int stream) {
    if (stream == -1) return CountedRand();
    CSyncRandom* s = RandomStreams.GetAt(stream);
    return s ? s->Next() : 0;
}

int RandomRange(int lo, int hi, int stream) {
    if (hi < lo) {
        int t = lo;
        lo = hi;
        hi = t;
    }
    int64_t n = int64_t(hi) - lo + 1;
    int v = StreamRand(stream);
    return int(v % n + lo);
}

CString GetRandomDefaultName() {
    int v = StreamRand(RandomStreams.GetCount() > 0 ? 0 : -1);
    return CString(DefaultPlayerNames[v % DefaultPlayerNameCount]);
}
