// CEventMedia: turns a story event number 1..69 into the file stem of its
// media below the pictures folder (without extension) and whether the
// event asks the player to choose.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

class CEventMedia {
public:
    explicit CEventMedia(int eventNumber = 0) { SetEvent(eventNumber); }
    virtual ~CEventMedia() = default;

    // Any number without media gives an empty stem and no choice; event 37
    // never asks, whatever the entry held before.
    void SetEvent(int eventNumber);

    int GetID() const { return eventNumber; }
    bool GetFlag() const { return asksChoice != 0; }
    CString GetFileStem() const { return fileStem; }

    int32_t eventNumber = 0;
    uint8_t asksChoice = 0;
    CString fileStem;
};
