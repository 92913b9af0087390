// CString: an 8-bit text with the framework's operations. Texts are bytes;
// case-insensitive operations fold ASCII letters only.
#pragma once

#include <string>
#include <string_view>

#include "platform/afx/AfxTypes.h"

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* p, int nLength) : m_str(p, nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::string& s) : m_str(s) {}
    CString(std::string&& s) : m_str(std::move(s)) {}
    CString(std::string_view s) : m_str(s) {}

    int GetLength() const { return (int)m_str.size(); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Out-of-range indices give 0 rather than reading outside the text.
    char GetAt(int i) const { return (i >= 0 && i < GetLength()) ? m_str[i] : '\0'; }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) {
        if (i >= 0 && i < GetLength()) m_str[i] = ch;
    }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    CString& operator=(const char* psz) {
        m_str = psz ? psz : "";
        return *this;
    }
    CString& operator=(char ch) {
        m_str.assign(1, ch);
        return *this;
    }
    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char* psz) {
        if (psz) m_str += psz;
        return *this;
    }
    CString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_str + b); }
    friend CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.m_str); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* set) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    void TrimLeft();
    void TrimRight();
    void Trim() {
        TrimRight();
        TrimLeft();
    }
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* psz);
    int Delete(int index, int count = 1);

    // printf-style formatting of any length.
    void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    // Raw access for code that fills a buffer: the text is resized to at
    // least nMinLength; ReleaseBuffer cuts it at the first NUL (or at nNewLength).
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

// Folds ASCII letters only, as the game's texts are plain ASCII.
int AfxCompareNoCase(std::string_view a, std::string_view b);
