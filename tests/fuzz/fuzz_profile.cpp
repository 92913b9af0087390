// Reads arbitrary bytes as the player profile, then uses what was read the
// way the game does: the current player's identity and the volume levels.
#include <cstdint>

#include "platform/afx/Afx.h"
#include "world/PlayerRoster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(data, size);
    CPlayerRoster roster;
    try {
        CArchive ar(&file, CArchive::load);
        roster.Serialize(ar);
    } catch (const CException& e) {
        (void)e.GetErrorText();
        return 0;
    }
    static const int kVolumes[10] = {8200, 8400, 8600, 8800, 9000, 9200, 9400, 9600, 9800, 10000};
    volatile int v = kVolumes[roster.MusicLevel] + kVolumes[roster.SoundLevel];
    (void)v;
    CString id;
    roster.GetCurrentIdentity(id);
    CPlayerRecord parsed(id);
    for (const CPlayerRecord& p : roster.Players) {
        CString text;
        p.GetIdentityString(text);
        (void)CPlayerRecord::UpdateRating(p.Rating, parsed.Rating, 1);
    }
    return 0;
}
