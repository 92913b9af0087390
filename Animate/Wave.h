// SWave: a RIFF "WAVE" file, its format block and the size of its samples,
// and on request the samples themselves. The base of the sound buffers,
// which copy the samples straight from the file.
//
// The reader trusts nothing in the file: every chunk must lie inside the
// file, the format chunk must hold at least the 16 bytes of a PCM format and
// the format must be one the mixer plays. A file that exists but breaks one
// of these rules is refused with an "ERROR: ..." message; a missing file is
// refused quietly (the kit test makes sure none is missing).
#pragma once

#include "platform/afx/Afx.h"
#include "platform/audio/WaveFormat.h"

class SWave : public CObject {
    DECLARE_DYNAMIC(SWave)
public:
    SWave() = default;
    // Opens `fileName` (see Open); check GetDataSize or IsOpen-style state
    // through the getters afterwards.
    SWave(const char* fileName, BOOL loadSamples);
    ~SWave() override;
    SWave(const SWave&) = delete;
    SWave& operator=(const SWave&) = delete;

    // Forgets what was read, then reads the format and the data size of the
    // named file, and with `loadSamples` the samples. False when the file
    // cannot be opened or read, or is refused.
    BOOL Open(const char* fileName, BOOL loadSamples);
    // The same from a file that is already open (the name is kept only for
    // messages); used for bytes in memory. The file is left open.
    BOOL OpenFile(CFile& file, const char* fileName, BOOL loadSamples);

    // Copies `count` sample bytes starting `offset` bytes from the start of
    // the samples (from their end with CFile::end) into `dest`: from the
    // loaded samples when there are any, else from the file. Returns the
    // bytes copied; 0 when the range does not lie inside the samples, there
    // is no destination or the file cannot be read.
    DWORD ReadData(void* dest, DWORD count, UINT origin, LONG offset);

    const WAVEFORMATEX& GetFormat() const { return m_format; }
    DWORD GetDataSize() const { return m_dataSize; }
    // Null unless the samples were loaded.
    const BYTE* GetSamples() const { return m_pSamples; }
    const CString& GetFileName() const { return m_fileName; }

protected:
    // Each reads from m_pFile, which must be open.
    BOOL ReadFormat();
    BOOL ReadDataSize();
    BOOL LoadSamples();
    void FreeSamples();

private:
    // Finds chunk `id` in the "WAVE" form; reports a refused file.
    BOOL FindChunk(CFile& file, const char* id, DWORD& start, DWORD& size);

    WAVEFORMATEX m_format;
    CFile* m_pFile = nullptr;  // open only during a read
    BYTE* m_pSamples = nullptr;
    DWORD m_dataSize = 0;
    void* m_hModule = nullptr;
    UINT m_resourceId = 0;
    CString m_fileName;
    BOOL m_fromResource = FALSE;
};
