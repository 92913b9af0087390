// The framework's exceptions. They are thrown by value and caught by
// reference (`catch (const CException& e)`); GetErrorText gives the
// "ERROR: ..." text a loader reports to the player.
#pragma once

#include "platform/afx/String.h"

class CException {
public:
    virtual ~CException() = default;
    virtual CString GetErrorText() const = 0;
};

class CArchiveException : public CException {
public:
    enum { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = generic, const char* fileName = "") : m_cause(cause), m_strFileName(fileName) {}
    CString GetErrorText() const override;

    int m_cause;
    CString m_strFileName;
};

class CFileException : public CException {
public:
    enum {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
        removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull, endOfFile
    };

    explicit CFileException(int cause = generic, const char* fileName = "") : m_cause(cause), m_strFileName(fileName) {}
    CString GetErrorText() const override;

    int m_cause;
    CString m_strFileName;
};
