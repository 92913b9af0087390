// CStoryEvent and CScene: two small records of the story (an id and three
// texts), registered so that an archive naming them can be read; their
// lists are the framework's object lists and own their records.
#pragma once

#include <cstdint>

#include "world/RecordIO.h"
#include "platform/afx/Afx.h"

class CStoryEvent : public CObject {
    DECLARE_SERIAL(CStoryEvent)
public:
    // Stores version 1; loads version 1, any other throws.
    void Serialize(CArchive& ar) override;

    int32_t id = -1;
    CString text1, text2, text3;
    int32_t unused[3] = {0, 0, 0};
    int32_t version = 0;
};

class CScene : public CObject {
    DECLARE_SERIAL(CScene)
public:
    // The story event's layout and rule.
    void Serialize(CArchive& ar) override;

    int32_t id = -1;
    CString text1, text2, text3;
    int32_t version = 0;
};

class CStoryEventList : public CObList {
    DECLARE_SERIAL(CStoryEventList)
public:
    ~CStoryEventList() override { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};

class CSceneList : public CObList {
    DECLARE_SERIAL(CSceneList)
public:
    ~CSceneList() override { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};
