#include "field/FileBytes.h"

BOOL ReadFileBytes(const char* fileName, std::vector<BYTE>& bytes) {
    try {
        CFile file;
        if (!file.Open(fileName, CFile::modeRead)) return FALSE;
        DWORD len = file.GetLength();
        std::vector<BYTE> data(len);
        if (len && file.Read(data.data(), len) != len) return FALSE;
        file.Close();
        bytes.swap(data);
    } catch (const CException&) {
        return FALSE;
    }
    return TRUE;
}

BOOL WriteFileBytes(const char* fileName, const void* data, size_t size) {
    try {
        CSafeFile file;
        if (!file.Open(fileName, CFile::modeCreate | CFile::modeWrite)) return FALSE;
        file.Write(data, UINT(size));
        file.Commit();
    } catch (const CException&) {
        return FALSE;
    }
    return TRUE;
}
