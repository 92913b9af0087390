#include "Units/StoryEvent.h"

// The shared layout of both records: version 1, id, three texts.
static void SerializeStoryRecord(CArchive& ar, int32_t& version, int32_t& id, CString* texts) {
    if (ar.IsStoring()) {
        version = 1;
        ar << version << id << texts[0] << texts[1] << texts[2];
        return;
    }
    ar >> version;
    if (version != 1) ThrowRecordError("ERROR: Unknown version of story record.");
    ar >> id >> texts[0] >> texts[1] >> texts[2];
}

IMPLEMENT_SERIAL(CStoryEvent, CObject, 0)

void CStoryEvent::Serialize(CArchive& ar) {
    CString t[3] = {text1, text2, text3};
    SerializeStoryRecord(ar, version, id, t);
    text1 = t[0];
    text2 = t[1];
    text3 = t[2];
}

IMPLEMENT_SERIAL(CScene, CObject, 0)

void CScene::Serialize(CArchive& ar) {
    CString t[3] = {text1, text2, text3};
    SerializeStoryRecord(ar, version, id, t);
    text1 = t[0];
    text2 = t[1];
    text3 = t[2];
}

IMPLEMENT_SERIAL(CStoryEventList, CObList, 1)
void CStoryEventList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CStoryEvent)); }

IMPLEMENT_SERIAL(CSceneList, CObList, 1)
void CSceneList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CScene)); }
