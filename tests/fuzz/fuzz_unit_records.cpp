// Reads arbitrary bytes as the army records archives may hold: move records
// (any version) and the computer commander's state records, as many as
// the bytes give.
#include <cstdint>

#include "platform/afx/Afx.h"
#include "Units/Move.h"
#include "Units/Thinking.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(data, size);
    CArchive ar(&file, CArchive::load);
    try {
        for (int i = 0; i < 64; ++i) {
            CMove move;
            move.Serialize(ar);
            CThinking thinking;
            thinking.Serialize(ar);
        }
    } catch (const CException&) {
    }
    return 0;
}
