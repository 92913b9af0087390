// Reads arbitrary bytes as an archive of objects, lists, maps and strings.
#include <cstdint>

#include "platform/afx/Afx.h"

// No leak is hidden: every object the archive made is freed below, those
// left without an owner by a failed load included.
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
    // The framework's list does not own its elements, and a list read from
    // damaged bytes that fails half way is deleted by the archive with its
    // elements still alive. Every object still alive is one the archive
    // made and lists once; the lists among them hold only pointers.
    list.RemoveAll();
    for (CObject* p : ar.GetLoadedObjects()) delete p;
    return 0;
}
