#include "world/StoryEvent.h"

// The shared layout of both records: version 1, id, three texts.
template <class Record>
static void SerializeStoryRecord(CArchive& ar, Record& r) {
    if (ar.IsStoring()) {
        r.version = 1;
        ar << r.version << r.id << r.text1 << r.text2 << r.text3;
        return;
    }
    ar >> r.version;
    if (r.version != 1) ThrowRecordError("ERROR: Unknown version of story record.");
    ar >> r.id >> r.text1 >> r.text2 >> r.text3;
}

IMPLEMENT_SERIAL(CStoryEvent, CObject, 0)

void CStoryEvent::Serialize(CArchive& ar) { SerializeStoryRecord(ar, *this); }

IMPLEMENT_SERIAL(CScene, CObject, 0)

void CScene::Serialize(CArchive& ar) { SerializeStoryRecord(ar, *this); }

IMPLEMENT_SERIAL(CStoryEventList, CObList, 1)
void CStoryEventList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CStoryEvent)); }

IMPLEMENT_SERIAL(CSceneList, CObList, 1)
void CSceneList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CScene)); }
