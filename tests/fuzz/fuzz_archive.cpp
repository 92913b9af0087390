// Reads arbitrary bytes as an archive of objects, lists, maps and strings.
#include <cstdint>
#include <set>

#include "platform/afx/Afx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(data, size);
    CArchive ar(&file, CArchive::load);
    CObList list;
    try {
        CString s;
        ar >> s;
        CMapDWordToDWord map;
        map.Serialize(ar);
        CDWordList dwords;
        dwords.Serialize(ar);
        list.Serialize(ar);
    } catch (const CException&) {
    }
    std::set<CObject*> unique;
    while (!list.IsEmpty()) unique.insert(list.RemoveHead());
    for (CObject* p : unique) delete p;
    return 0;
}
