// SDXSoundBuffer: one whole wave file in one sound buffer, tagged with the
// game's small sound identifier; and SDXSoundBufferList, the sound
// manager's list of them.
#pragma once

#include "Animate/Wave.h"
#include "platform/audio/DirectSoundBuffer.h"

class SDXSoundBuffer : public SWave {
    DECLARE_DYNAMIC(SDXSoundBuffer)
public:
    // Reads the wave file's format and size (not its samples); with
    // `createNow`, makes and fills the buffer at once. A file that cannot be
    // read still gives an object, one without a buffer: playing it fails.
    // The sound object is borrowed and must outlive the buffer.
    SDXSoundBuffer(IDirectSound* pDS, const char* fileName, int id, BOOL createNow, DWORD flags);
    ~SDXSoundBuffer() override;

    // Makes the buffer (dropping any earlier one) and copies the samples
    // into it from the file. False when the sound object refuses the buffer
    // or the samples cannot be read.
    BOOL Create();
    // Plays with the device's play flags, refilling a lost buffer first.
    // False without a buffer.
    BOOL Play(DWORD playFlags);

    int GetId() const { return m_id; }
    // Null until Create succeeds.
    IDirectSoundBuffer* GetBuffer() const { return m_pBuffer; }
    BOOL IsCreated() const { return m_created; }

private:
    // Copies the whole sample data into the buffer.
    BOOL Fill();
    void ReleaseBuffer();

    int m_id;
    IDirectSound* m_pDS;
    IDirectSoundBuffer* m_pBuffer = nullptr;
    BOOL m_created = FALSE;
    DWORD m_flags;
};

// The manager's buffers. Does not own them: the manager deletes them.
class SDXSoundBufferList : public CObList {
public:
    // The first buffer in list order with that identifier, or null.
    SDXSoundBuffer* FindById(int id) const;
};
