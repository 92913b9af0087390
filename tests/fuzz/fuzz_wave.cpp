// Reads arbitrary bytes as a wave file, with and without loading the
// samples, and reads sample ranges from what was accepted.
#include <cstdint>
#include <vector>

#include "Animate/Wave.h"
#include "platform/afx/Afx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
    for (BOOL load : {FALSE, TRUE}) {
        CMemFile file(data, size);
        SWave wave;
        if (!wave.OpenFile(file, "fuzz.wav", load) || !load) continue;
        const DWORD n = wave.GetDataSize();
        std::vector<BYTE> out(n + 8);
        wave.ReadData(out.data(), n, CFile::begin, 0);
        wave.ReadData(out.data(), n / 2 + 1, CFile::begin, (LONG)(n / 2));
        wave.ReadData(out.data(), 4, CFile::end, -4);
    }
    return 0;
}
