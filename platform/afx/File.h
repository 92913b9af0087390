// CFile: a binary file opened through the path resolver, and CMemFile, the
// same interface over bytes in memory (archives over network messages and
// fuzz inputs). Read returns what it could read; Write throws CFileException
// on failure.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/Exceptions.h"
#include "platform/afx/String.h"

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    CFile(const char* fileName, UINT openFlags);  // throws CFileException
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens `fileName` (resolved case-insensitively). Without modeCreate the
    // file must exist; with modeCreate it is created under the name as given
    // unless some spelling of it exists already.
    virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* pError = nullptr);
    virtual UINT Read(void* buf, UINT count);
    virtual void Write(const void* buf, UINT count);
    virtual LONG Seek(LONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    DWORD SeekToEnd() { return (DWORD)Seek(0, end); }
    virtual DWORD GetLength() const;
    virtual DWORD GetPosition() const;
    virtual void Flush();
    virtual void Close();
    void Abort();
    bool IsOpen() const { return m_fd >= 0; }

    CString GetFilePath() const { return m_strFileName; }
    const std::string& GetSystemPath() const { return m_systemPath; }

    static void Remove(const char* fileName);                       // throws CFileException
    static void Rename(const char* oldName, const char* newName);   // throws CFileException
    static bool Exists(const char* fileName);
    // Whether `fileName` resolves to a regular file (not a folder).
    static bool IsFile(const char* fileName);

protected:
    int m_fd = -1;
    CString m_strFileName;
    std::string m_systemPath;
};

class CMemFile : public CFile {
public:
    CMemFile() = default;
    CMemFile(const void* data, size_t size) : m_data((const BYTE*)data, (const BYTE*)data + size) {}

    BOOL Open(const char*, UINT, CFileException* = nullptr) override { return TRUE; }
    UINT Read(void* buf, UINT count) override;
    void Write(const void* buf, UINT count) override;
    LONG Seek(LONG offset, UINT from) override;
    DWORD GetLength() const override { return (DWORD)m_data.size(); }
    DWORD GetPosition() const override { return (DWORD)m_pos; }
    void Flush() override {}
    void Close() override {}

    const std::vector<BYTE>& Data() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    size_t m_pos = 0;
};

// A file that replaces `fileName` only when Commit succeeds: writes go to a
// temporary file beside it, Commit renames it over the target, and a file
// that is destroyed without Commit removes the temporary, leaving the old
// file exactly as it was.
class CSafeFile : public CFile {
public:
    CSafeFile() = default;
    ~CSafeFile() override;
    BOOL Open(const char* fileName, UINT openFlags, CFileException* pError = nullptr) override;
    // Flushes, closes and renames; throws CFileException on failure.
    void Commit();

private:
    std::string m_target;
    std::string m_temp;
};
