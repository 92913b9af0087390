// Shared loading rules of the world records: an unknown format throws an
// archive exception that carries the record's own "ERROR: ..." text, and an
// owning list loads its elements all or nothing: a list never ends up holding
// a null, a foreign class or the same object twice.
#pragma once

#include <cstdint>
#include <unordered_set>

#include "platform/afx/Afx.h"

// An archive failure whose text is the record's own message.
class CRecordException : public CArchiveException {
public:
    explicit CRecordException(const char* text) : CArchiveException(badSchema), m_text(text) {}
    CString GetErrorText() const override { return m_text; }

private:
    CString m_text;
};

[[noreturn]] inline void ThrowRecordError(const char* text) { throw CRecordException(text); }

// Stores `list` as the framework's object list (count, then each object).
// Loading appends the objects read to `list`; each must be a new, non-null
// object of class `cls`. On a failure the objects already appended stay in
// the list (the caller owns and frees them) and the exception goes on.
void SerializeOwnedList(CArchive& ar, CObList& list, const CRuntimeClass* cls);

// Deletes every element of `list` and empties it.
void DeleteListElements(CObList& list);

// Arithmetic on numbers read from files, which may hold anything. A count
// stays in the 32-bit range: a sum or product beyond it gives the range's
// end. A count made from a stored rate or factor is 0 for NaN.
int32_t ClampCount(int64_t value);
int32_t CountFromFigure(double value);
// A stored sum of counts, each count first held to the 32-bit range.
inline int32_t AddCounts(int32_t a, int64_t b) { return ClampCount(int64_t(a) + ClampCount(b)); }
