// CArchive: the framework's binary archive over a CFile, little-endian, with
// a 4096-byte buffer.
//
// Bytes: scalars raw; counts as WORD, or 0xFFFF + DWORD; strings as a BYTE
// length (< 255), or 0xFF + WORD (< 0xFFFE), or 0xFF 0xFFFF + DWORD, then the
// characters. Objects: 0x0000 for null; a new class as 0xFFFF, schema WORD,
// name length WORD, name; a known class as 0x8000 | index; an object already
// written as its index (0x7FFF + DWORD past 0x7FFE). Classes and objects
// share one index counter from 1, in the order written.
//
// Reading past the end, a bad tag, an unknown class, an unknown schema or
// objects nested deeper than any stored file nests them throws
// CArchiveException. An object whose Serialize throws during
// ReadObject is deleted before the exception goes on; whoever holds the
// objects loaded so far must free them.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/afx/Exceptions.h"
#include "platform/afx/File.h"
#include "platform/afx/Object.h"
#include "platform/afx/String.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_bLoading; }
    bool IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded (for versionable classes); -1
    // once read, as in the framework.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    void Flush();
    void Close();
    void Abort();

    UINT Read(void* buf, UINT count);         // as many bytes as remain
    void Write(const void* buf, UINT count);
    void ReadExact(void* buf, UINT count);     // throws endOfFile when short

    void WriteCount(DWORD count);
    DWORD ReadCount();
    void WriteString(const CString& s);
    CString ReadStringValue();

    void WriteObject(const CObject* pOb);
    // Reads an object; when pClassRefRequested is given the object must be
    // of that class or derived from it.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr);

    CArchive& operator<<(BYTE v) { return Put(&v, 1); }
    CArchive& operator<<(char v) { return Put(&v, 1); }
    CArchive& operator<<(int8_t v) { return Put(&v, 1); }
    CArchive& operator<<(WORD v) { return PutLE(v); }
    CArchive& operator<<(int16_t v) { return PutLE(uint16_t(v)); }
    CArchive& operator<<(LONG v) { return PutLE(uint32_t(v)); }
    CArchive& operator<<(DWORD v) { return PutLE(v); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s) {
        WriteString(s);
        return *this;
    }
    CArchive& operator<<(const CObject* pOb) {
        WriteObject(pOb);
        return *this;
    }

    CArchive& operator>>(BYTE& v) { return Get(&v, 1); }
    CArchive& operator>>(char& v) { return Get(&v, 1); }
    CArchive& operator>>(int8_t& v) { return Get(&v, 1); }
    CArchive& operator>>(WORD& v) { return GetLE(v); }
    CArchive& operator>>(int16_t& v) {
        uint16_t u;
        GetLE(u);
        v = int16_t(u);
        return *this;
    }
    CArchive& operator>>(LONG& v) {
        uint32_t u;
        GetLE(u);
        v = LONG(u);
        return *this;
    }
    CArchive& operator>>(DWORD& v) { return GetLE(v); }
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s) {
        s = ReadStringValue();
        return *this;
    }
    CArchive& operator>>(CObject*& pOb) {
        pOb = ReadObject(nullptr);
        return *this;
    }

    // Throws CArchiveException with this archive's file name.
    [[noreturn]] void Fail(int cause) const;

    // The objects this load created and did not delete, in the order read
    // (an object whose load failed was deleted and is not among them). A
    // framework list does not own its elements: after a failed load the
    // elements of a list the archive deleted are owned by no one, and a
    // caller that kept bare lists frees them through this.
    std::vector<CObject*> GetLoadedObjects() const {
        std::vector<CObject*> objects;
        for (const LoadEntry& e : m_loadArray)
            if (e.object && e.cls == nullptr) objects.push_back(e.object);
        return objects;
    }

private:
    CArchive& Put(const void* p, UINT n) {
        Write(p, n);
        return *this;
    }
    CArchive& Get(void* p, UINT n) {
        ReadExact(p, n);
        return *this;
    }
    template <typename T>
    CArchive& PutLE(T v) {
        BYTE b[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i) b[i] = BYTE(v >> (8 * i));
        return Put(b, sizeof(T));
    }
    template <typename T>
    CArchive& GetLE(T& v) {
        BYTE b[sizeof(T)];
        ReadExact(b, sizeof(T));
        v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v |= T(T(b[i]) << (8 * i));
        return *this;
    }
    void FillBuffer();
    // Reads an object tag; true when it names a class (new or known).
    bool ReadTag(WORD& wTag, DWORD& obTag);
    CRuntimeClass* ReadClassBody(WORD wTag, DWORD obTag, UINT& nSchema);
    void WriteIndexTag(DWORD index, WORD bigFlag);

    struct LoadEntry {
        CObject* object;
        CRuntimeClass* cls;
        UINT schema;
    };

    CFile* m_pFile;
    bool m_bLoading;
    std::vector<BYTE> m_buf;
    size_t m_cur = 0;   // next byte to read, or bytes written
    size_t m_lim = 0;   // valid bytes when loading
    bool m_eof = false;
    UINT m_nObjectSchema = (UINT)-1;
    DWORD m_nMapCount = 1;
    int m_nDepth = 0;  // objects being loaded inside one another
    std::unordered_map<const void*, DWORD> m_storeMap;  // object or class -> index
    std::vector<LoadEntry> m_loadArray;                  // index -> entry
};

template <typename T>
CArchive& operator<<(CArchive& ar, T* pOb)
    requires std::is_base_of_v<CObject, T>
{
    ar.WriteObject(pOb);
    return ar;
}
