// Reads arbitrary bytes as the formation list file (battalion, division and
// army lists in turn) the way the game's loader does, then runs the
// selection rules over whatever was read.
#include <cstdint>

#include "army/FormationList.h"
#include "core/Random.h"
#include "platform/afx/Afx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
    CMemFile file(data, size);
    CFormationLists lists;
    try {
        CArchive ar(&file, CArchive::load);
        lists.Serialize(ar);
    } catch (const CException& e) {
        (void)e.GetErrorText();
        return 0;
    }
    GameSrand(uint32_t(size));
    for (POSITION pos = lists.army.GetHeadPosition(); pos; lists.army.GetNext(pos)) {
        CArmyFormation* f = lists.army.At(pos);
        lists.army.GetRoot(f);
        lists.army.FindEquivalent(f, 0x20000);
        lists.army.FindEquivalent(f, 0x40000000);
        lists.army.FindInFamily(f, 0x10000, f->m_nLevel + 1);
        lists.army.PickLinked(f, 0x1000000);
        for (int s = 0; s < CArmyFormation::kSlots; ++s) {
            CDivFormation* div = lists.div.FindByID(f->GetDivFormationID(s));
            if (!div) continue;
            int facing = f->GetSlotValue(s, 2);
            for (int row = 0; row < CDivFormation::kRows; ++row) {
                div->GetSlotPoint(row, facing);
                if (CBattFormation* batt = lists.batt.FindByID(div->GetBattFormationID(row)))
                    batt->GetSlotPoint(9, div->GetSlotCode(row, facing));
            }
            div->LookupMappedID(s);
        }
    }
    lists.army.PickRandom(0x20000, nullptr);
    lists.army.GetNextFormation(3, 12, 0, TRUE);
    lists.army.GetPreviousFormation(3, -1, 0, FALSE);
    lists.div.PickRandom(2);
    return 0;
}
