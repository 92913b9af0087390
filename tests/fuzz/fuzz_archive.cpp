// Reads arbitrary bytes as an archive of objects, lists, maps and strings.
#include <cstdint>
#include <set>

#include "platform/afx/Afx.h"

// The framework's list does not own its elements: when a list read from
// damaged bytes fails half way, the archive deletes the list and the objects
// it already held (and the lists inside those, with theirs) are nobody's.
// Game lists own their elements and free them; here those orphans of the
// bare list, objects read as a list's elements, are let go. Every object
// the top list still holds is freed below, so none of them is hidden.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:CObList::CreateObject\nleak:CListCore<CObject*>::AddTail\nleak:CObList::Serialize\n";
}

namespace {
// Takes every object out of `list` and out of the lists inside it, each
// once: a list may hold itself or share objects with another.
void Collect(CObList& list, std::set<CObject*>& objects) {
    while (!list.IsEmpty()) {
        CObject* p = list.RemoveHead();
        if (!p || !objects.insert(p).second) continue;
        if (CObList* inner = DYNAMIC_DOWNCAST(CObList, p)) Collect(*inner, objects);
    }
}
}  // namespace

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
    std::set<CObject*> objects;
    Collect(list, objects);
    for (CObject* p : objects) delete p;
    return 0;
}
