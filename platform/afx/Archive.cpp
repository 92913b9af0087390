#include "platform/afx/Archive.h"

#include <cstring>

namespace {
const WORD wNullTag = 0;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD dwBigClassTag = 0x80000000;
const DWORD nMaxMapCount = 0x3FFFFFFE;
// Objects nest inside objects only a few levels deep in any file the game
// writes; a damaged file that nests without end must not exhaust the stack.
const int nMaxObjectDepth = 256;
}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_buf(size_t(nBufSize > 0 ? nBufSize : 4096)) {
    m_loadArray.push_back({nullptr, nullptr, 0});  // index 0 is the null object
}

CArchive::~CArchive() {
    if (m_pFile != nullptr) {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw; a failed final write shows up in
            // the file, which a careful writer checks with Close first.
        }
    }
}

void CArchive::Fail(int cause) const {
    throw CArchiveException(cause, m_pFile ? (const char*)m_pFile->GetFilePath() : "");
}

UINT CArchive::GetObjectSchema() {
    UINT s = m_nObjectSchema;
    m_nObjectSchema = (UINT)-1;
    return s;
}

void CArchive::Flush() {
    if (!m_bLoading && m_pFile && m_cur > 0) {
        m_pFile->Write(m_buf.data(), UINT(m_cur));
        m_cur = 0;
    }
}

void CArchive::Close() {
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() {
    m_cur = 0;
    m_pFile = nullptr;
}

void CArchive::FillBuffer() {
    if (m_pFile == nullptr || m_eof) {
        m_cur = m_lim = 0;
        return;
    }
    m_lim = m_pFile->Read(m_buf.data(), UINT(m_buf.size()));
    m_cur = 0;
    if (m_lim == 0) m_eof = true;
}

UINT CArchive::Read(void* buf, UINT count) {
    if (!m_bLoading) Fail(CArchiveException::writeOnly);
    UINT done = 0;
    while (done < count) {
        if (m_cur >= m_lim) {
            FillBuffer();
            if (m_lim == 0) break;
        }
        size_t n = std::min<size_t>(count - done, m_lim - m_cur);
        std::memcpy((BYTE*)buf + done, m_buf.data() + m_cur, n);
        m_cur += n;
        done += UINT(n);
    }
    return done;
}

void CArchive::ReadExact(void* buf, UINT count) {
    if (Read(buf, count) != count) Fail(CArchiveException::endOfFile);
}

void CArchive::Write(const void* buf, UINT count) {
    if (m_bLoading) Fail(CArchiveException::readOnly);
    const BYTE* p = (const BYTE*)buf;
    while (count > 0) {
        if (m_cur == m_buf.size()) Flush();
        size_t n = std::min<size_t>(count, m_buf.size() - m_cur);
        std::memcpy(m_buf.data() + m_cur, p, n);
        m_cur += n;
        p += n;
        count -= UINT(n);
    }
}

CArchive& CArchive::operator<<(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return PutLE(u);
}

CArchive& CArchive::operator<<(double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    return PutLE(u);
}

CArchive& CArchive::operator>>(float& v) {
    uint32_t u;
    GetLE(u);
    std::memcpy(&v, &u, 4);
    return *this;
}

CArchive& CArchive::operator>>(double& v) {
    uint64_t u;
    GetLE(u);
    std::memcpy(&v, &u, 8);
    return *this;
}

void CArchive::WriteCount(DWORD count) {
    if (count < 0xFFFF) {
        *this << WORD(count);
    } else {
        *this << WORD(0xFFFF) << count;
    }
}

DWORD CArchive::ReadCount() {
    WORD w;
    *this >> w;
    if (w != 0xFFFF) return w;
    DWORD d;
    *this >> d;
    return d;
}

void CArchive::WriteString(const CString& s) {
    DWORD n = DWORD(s.GetLength());
    if (n < 255) {
        *this << BYTE(n);
    } else if (n < 0xFFFE) {
        *this << BYTE(0xFF) << WORD(n);
    } else {
        *this << BYTE(0xFF) << WORD(0xFFFF) << n;
    }
    Write(s.GetString(), n);
}

CString CArchive::ReadStringValue() {
    BYTE b;
    *this >> b;
    DWORD n = b;
    if (b == 0xFF) {
        WORD w;
        *this >> w;
        n = w;
        if (w == 0xFFFF) *this >> n;
    }
    // Read in pieces so that a hostile length cannot make us allocate more
    // than the file actually holds.
    std::string text;
    char chunk[4096];
    while (n > 0) {
        UINT part = UINT(std::min<DWORD>(n, sizeof chunk));
        ReadExact(chunk, part);
        text.append(chunk, part);
        n -= part;
    }
    return CString(std::move(text));
}

void CArchive::WriteIndexTag(DWORD index, WORD bigFlag) {
    if (index < wBigObjectTag) {
        *this << WORD(bigFlag | index);
    } else {
        *this << wBigObjectTag << DWORD((bigFlag ? dwBigClassTag : 0) | index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
    if (pClassRef->m_wSchema == 0xFFFF) Fail(CArchiveException::badClass);
    auto it = m_storeMap.find(pClassRef);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, wClassTag);
        return;
    }
    *this << wNewClassTag;
    size_t len = std::strlen(pClassRef->m_lpszClassName);
    *this << WORD(pClassRef->m_wSchema & 0xFFFF) << WORD(len);
    Write(pClassRef->m_lpszClassName, UINT(len));
    if (m_nMapCount >= nMaxMapCount) Fail(CArchiveException::badIndex);
    m_storeMap[pClassRef] = m_nMapCount++;
}

void CArchive::WriteObject(const CObject* pOb) {
    if (pOb == nullptr) {
        *this << wNullTag;
        return;
    }
    auto it = m_storeMap.find(pOb);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, 0);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    if (m_nMapCount >= nMaxMapCount) Fail(CArchiveException::badIndex);
    m_storeMap[pOb] = m_nMapCount++;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClassBody(WORD wTag, DWORD obTag, UINT& nSchema) {
    if (wTag == wNewClassTag) {
        WORD schema, len;
        *this >> schema >> len;
        if (len == 0 || len >= 64) Fail(CArchiveException::badClass);
        char name[64];
        ReadExact(name, len);
        name[len] = '\0';
        CRuntimeClass* pClassRef = CRuntimeClass::FromName(name);
        // Only persistent classes: a file naming a class that is never
        // stored (a window, a view) must not get one built.
        if (pClassRef == nullptr || pClassRef->m_pfnCreateObject == nullptr || pClassRef->m_wSchema == 0xFFFF)
            Fail(CArchiveException::badClass);
        if ((pClassRef->m_wSchema & VERSIONABLE_SCHEMA) == 0 && (pClassRef->m_wSchema & 0xFFFF) != schema)
            Fail(CArchiveException::badSchema);
        nSchema = schema;
        if (m_loadArray.size() >= nMaxMapCount) Fail(CArchiveException::badIndex);
        m_loadArray.push_back({nullptr, pClassRef, nSchema});
        return pClassRef;
    }
    DWORD index = (wTag == wBigObjectTag) ? (obTag & ~dwBigClassTag) : DWORD(wTag & ~wClassTag);
    if (index == 0 || index >= m_loadArray.size() || m_loadArray[index].cls == nullptr) Fail(CArchiveException::badIndex);
    nSchema = m_loadArray[index].schema;
    return m_loadArray[index].cls;
}

bool CArchive::ReadTag(WORD& wTag, DWORD& obTag) {
    *this >> wTag;
    obTag = 0;
    if (wTag == wBigObjectTag) {
        *this >> obTag;
        return (obTag & dwBigClassTag) != 0;
    }
    return wTag == wNewClassTag || (wTag & wClassTag) != 0;
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema) {
    WORD wTag;
    DWORD obTag;
    if (!ReadTag(wTag, obTag)) Fail(CArchiveException::badClass);  // an object where a class belongs
    UINT nSchema;
    CRuntimeClass* pClassRef = ReadClassBody(wTag, obTag, nSchema);
    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested)) Fail(CArchiveException::badClass);
    if (pSchema) *pSchema = nSchema;
    return pClassRef;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
    if (!m_bLoading) Fail(CArchiveException::writeOnly);
    WORD wTag;
    DWORD obTag;
    if (!ReadTag(wTag, obTag)) {
        if (wTag == wNullTag) return nullptr;
        DWORD index = (wTag == wBigObjectTag) ? obTag : wTag;
        if (index == 0 || index >= m_loadArray.size() || m_loadArray[index].object == nullptr)
            Fail(CArchiveException::badIndex);
        CObject* pOb = m_loadArray[index].object;
        if (pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested)) Fail(CArchiveException::badClass);
        return pOb;
    }

    UINT nSchema;
    CRuntimeClass* pClassRef = ReadClassBody(wTag, obTag, nSchema);
    if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested)) Fail(CArchiveException::badClass);

    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr) Fail(CArchiveException::badClass);
    size_t slot = m_loadArray.size();
    if (slot >= nMaxMapCount) {
        delete pOb;
        Fail(CArchiveException::badIndex);
    }
    m_loadArray.push_back({pOb, nullptr, nSchema});
    UINT saved = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        if (m_nDepth >= nMaxObjectDepth) Fail(CArchiveException::generic);
        ++m_nDepth;
        pOb->Serialize(*this);
        --m_nDepth;
    } catch (...) {
        m_loadArray[slot].object = nullptr;
        delete pOb;
        throw;
    }
    m_nObjectSchema = saved;
    return pOb;
}
