#include "Animate/Wave.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/Helpers.h"

IMPLEMENT_DYNAMIC(SWave, CObject)

namespace {

// Reads exactly `count` bytes at `at`; false on a short read.
bool ReadAt(CFile& file, DWORD at, void* dest, DWORD count) {
    if (file.Seek((LONG)at, CFile::begin) != (LONG)at) return false;
    return file.Read(dest, count) == count;
}
}  // namespace

SWave::SWave(const char* fileName, BOOL loadSamples) { Open(fileName, loadSamples); }

SWave::~SWave() { FreeSamples(); }

void SWave::FreeSamples() {
    delete[] m_pSamples;
    m_pSamples = nullptr;
}

BOOL SWave::Open(const char* fileName, BOOL loadSamples) {
    FreeSamples();
    m_fileName = fileName ? fileName : "";
    CFile file;
    if (!fileName || !file.Open(fileName, CFile::modeRead | CFile::typeBinary)) {
        m_format = WAVEFORMATEX();
        m_dataSize = 0;
        return FALSE;
    }
    return OpenFile(file, fileName, loadSamples);
}

BOOL SWave::OpenFile(CFile& file, const char* fileName, BOOL loadSamples) {
    FreeSamples();
    m_format = WAVEFORMATEX();
    m_dataSize = 0;
    m_fileName = fileName ? fileName : "";
    m_pFile = &file;
    BOOL ok = ReadFormat() && ReadDataSize() && (!loadSamples || LoadSamples());
    m_pFile = nullptr;
    return ok;
}

BOOL SWave::FindChunk(CFile& file, const char* id, DWORD& start, DWORD& size) {
    const char* name = m_fileName;
    BYTE head[12];
    if (!ReadAt(file, 0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        ShowMessage("ERROR: The sound file \"%s\" is not a RIFF wave file.", name);
        return FALSE;
    }
    const uint64_t length = file.GetLength();
    uint64_t pos = 12;
    while (pos + 8 <= length) {
        BYTE chunk[8];
        if (!ReadAt(file, (DWORD)pos, chunk, sizeof chunk)) break;
        const uint64_t bodySize = AfxGetLE32(chunk + 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(chunk, id, 4) == 0) {
            if (body + bodySize > length) {
                ShowMessage("ERROR: The sound file \"%s\" is damaged: its \"%s\" chunk runs past the end of the file.",
                            name, id);
                return FALSE;
            }
            start = (DWORD)body;
            size = (DWORD)bodySize;
            return TRUE;
        }
        // Chunks are padded to an even size.
        pos = body + bodySize + (bodySize & 1);
    }
    ShowMessage("ERROR: The sound file \"%s\" has no \"%s\" chunk.", name, id);
    return FALSE;
}

BOOL SWave::ReadFormat() {
    DWORD start = 0, size = 0;
    if (!FindChunk(*m_pFile, "fmt ", start, size)) return FALSE;
    if (size < 16) {
        ShowMessage("ERROR: The sound file \"%s\" has a format chunk of only %u bytes.", m_fileName.GetString(),
                    (unsigned)size);
        return FALSE;
    }
    // A plain PCM format chunk has 16 bytes: read what is there, up to 18.
    BYTE bytes[kWaveFormatBytes] = {};
    DWORD take = size < kWaveFormatBytes ? size : (DWORD)kWaveFormatBytes;
    if (!ReadAt(*m_pFile, start, bytes, take)) return FALSE;
    ParseWaveFormat(bytes, take, m_format);
    if (const char* problem = WaveFormatProblem(m_format)) {
        ShowMessage("ERROR: The sound file \"%s\" has a format the game cannot play (%s).", m_fileName.GetString(),
                    problem);
        return FALSE;
    }
    return TRUE;
}

BOOL SWave::ReadDataSize() {
    DWORD start = 0;
    return FindChunk(*m_pFile, "data", start, m_dataSize);
}

BOOL SWave::LoadSamples() {
    if (m_dataSize == 0) return FALSE;
    DWORD start = 0, size = 0;
    if (!FindChunk(*m_pFile, "data", start, size) || size != m_dataSize) return FALSE;
    std::unique_ptr<BYTE[]> samples(new (std::nothrow) BYTE[size]());
    if (!samples || !ReadAt(*m_pFile, start, samples.get(), size)) return FALSE;
    m_pSamples = samples.release();
    return TRUE;
}

DWORD SWave::ReadData(void* dest, DWORD count, UINT origin, LONG offset) {
    if (!dest) return 0;
    int64_t from = origin == CFile::end ? (int64_t)m_dataSize + offset : (int64_t)offset;
    if (from < 0 || from + (int64_t)count > (int64_t)m_dataSize) return 0;
    if (m_pSamples) {
        std::memcpy(dest, m_pSamples + from, count);
        return count;
    }
    CFile file;
    if (!file.Open(m_fileName, CFile::modeRead | CFile::typeBinary)) return 0;
    DWORD start = 0, size = 0;
    // The file may have changed since it was opened: check again.
    if (!FindChunk(file, "data", start, size) || from + (int64_t)count > (int64_t)size) return 0;
    return ReadAt(file, start + (DWORD)from, dest, count) ? count : 0;
}
