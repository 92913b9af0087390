#include "platform/afx/Exceptions.h"

CString CArchiveException::GetErrorText() const {
    static const char* const kWhat[] = {"no error",           "unknown error",        "the archive is read-only",
                                        "unexpected end of file", "the archive is write-only", "bad object index",
                                        "unknown or unexpected class", "unknown version"};
    const char* what = (m_cause >= 0 && m_cause <= badSchema) ? kWhat[m_cause] : "unknown error";
    CString text;
    if (m_strFileName.IsEmpty())
        text.Format("ERROR: Cannot read archive: %s.", what);
    else
        text.Format("ERROR: Cannot read \"%s\": %s.", (const char*)m_strFileName, what);
    return text;
}

CString CFileException::GetErrorText() const {
    static const char* const kWhat[] = {"no error",         "unknown error",     "file not found",
                                        "bad path",         "too many open files", "access denied",
                                        "invalid file",     "cannot remove the current folder", "folder full",
                                        "bad seek",         "input/output error", "sharing violation",
                                        "lock violation",   "disk full",          "unexpected end of file"};
    const char* what = (m_cause >= 0 && m_cause <= endOfFile) ? kWhat[m_cause] : "unknown error";
    CString text;
    text.Format("ERROR: File \"%s\": %s.", (const char*)m_strFileName, what);
    return text;
}
