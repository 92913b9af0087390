// Reads arbitrary bytes as a saved game's archive (the five world lists,
// then the campaign state) the way the document does, then runs the passes
// that follow a load on whatever was read.
#include <cstdint>

#include "world/Campaign.h"
#include "platform/afx/Afx.h"
#include "world/WorldLists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
    CMemFile file(data, size);
    CWorldLists world;
    CCampaign campaign;
    bool complete = false;
    try {
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
        complete = campaign.Serialize(ar);
    } catch (const CException& e) {
        (void)e.GetErrorText();
    }
    bool unique = world.Unshare();
    if (complete && unique) {
        campaign.LinkNations(&world.castles, &world.nations, &world.persons);
        world.persons.Relink();
        world.castles.UpdateEconomy(true);
        for (int clan = 0; clan < 14; ++clan) {
            int h = 0, r = 0, u = 0, s = 0;
            CPersonList generals;
            world.persons.CollectByClan(clan, generals, 1560);
            generals.GetClanTotals(h, r, u, s, false);
            generals.SortByScore();
        }
        if (!world.persons.IsEmpty())
            world.persons.RemoveFromChains(static_cast<CPerson*>(world.persons.GetHead()), true);
    }
    return 0;
}
