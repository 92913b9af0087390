#include "Animate/DXSoundBuffer.h"

IMPLEMENT_DYNAMIC(SDXSoundBuffer, SWave)

SDXSoundBuffer::SDXSoundBuffer(IDirectSound* pDS, const char* fileName, int id, BOOL createNow, DWORD flags)
    : m_id(id), m_pDS(pDS), m_flags(flags) {
    if (Open(fileName, FALSE) && createNow) Create();
}

SDXSoundBuffer::~SDXSoundBuffer() { ReleaseBuffer(); }

void SDXSoundBuffer::ReleaseBuffer() {
    if (m_pBuffer) m_pBuffer->Release();
    m_pBuffer = nullptr;
    m_created = FALSE;
}

BOOL SDXSoundBuffer::Create() {
    ReleaseBuffer();
    if (!m_pDS) return FALSE;
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescBytes;
    desc.dwFlags = m_flags;
    desc.dwBufferBytes = GetDataSize();
    desc.lpwfxFormat = &GetFormat();
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(m_pDS->CreateSoundBuffer(&desc, &buffer, nullptr))) return FALSE;
    m_pBuffer = buffer;
    if (!Fill()) {
        ReleaseBuffer();
        return FALSE;
    }
    m_created = TRUE;
    return TRUE;
}

BOOL SDXSoundBuffer::Fill() {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    if (FAILED(m_pBuffer->Lock(0, GetDataSize(), &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER)))
        return FALSE;
    DWORD read = ReadData(part1, bytes1, CFile::begin, 0);
    m_pBuffer->Unlock(part1, read, nullptr, 0);
    return read == bytes1;
}

BOOL SDXSoundBuffer::Play(DWORD playFlags) {
    if (!m_pBuffer) return FALSE;
    DWORD status = 0;
    if (SUCCEEDED(m_pBuffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST)) {
        if (FAILED(m_pBuffer->Restore()) || !Fill()) return FALSE;
    }
    return SUCCEEDED(m_pBuffer->Play(0, 0, playFlags));
}

SDXSoundBuffer* SDXSoundBufferList::FindById(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        auto* buffer = static_cast<SDXSoundBuffer*>(GetNext(pos));
        if (buffer && buffer->GetId() == id) return buffer;
    }
    return nullptr;
}
