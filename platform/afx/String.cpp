#include "platform/afx/String.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string VFormat(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0) return std::string();
    std::string out(size_t(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(size_t(n));
    return out;
}
}  // namespace

int AfxCompareNoCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = (unsigned char)Lower(a[i]), cb = (unsigned char)Lower(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CString::Compare(const char* psz) const {
    int r = std::strcmp(m_str.c_str(), psz ? psz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const char* psz) const { return AfxCompareNoCase(m_str, psz ? psz : ""); }

CString CString::Left(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(m_str.substr(0, size_t(n)));
}

CString CString::Right(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(m_str.substr(m_str.size() - size_t(n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(size_t(first), size_t(count)));
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t p = m_str.find(ch, size_t(start));
    return p == std::string::npos ? -1 : int(p);
}

int CString::Find(const char* sub, int start) const {
    if (start < 0 || start > GetLength() || sub == nullptr) return -1;
    size_t p = m_str.find(sub, size_t(start));
    return p == std::string::npos ? -1 : int(p);
}

int CString::ReverseFind(char ch) const {
    size_t p = m_str.rfind(ch);
    return p == std::string::npos ? -1 : int(p);
}

int CString::FindOneOf(const char* set) const {
    size_t p = m_str.find_first_of(set ? set : "");
    return p == std::string::npos ? -1 : int(p);
}

void CString::MakeUpper() {
    for (char& c : m_str) c = Upper(c);
}
void CString::MakeLower() {
    for (char& c : m_str) c = Lower(c);
}
void CString::MakeReverse() { std::reverse(m_str.begin(), m_str.end()); }

void CString::TrimLeft() {
    size_t i = 0;
    while (i < m_str.size() && (m_str[i] == ' ' || m_str[i] == '\t' || m_str[i] == '\r' || m_str[i] == '\n')) ++i;
    m_str.erase(0, i);
}

void CString::TrimRight() {
    size_t n = m_str.size();
    while (n > 0 && (m_str[n - 1] == ' ' || m_str[n - 1] == '\t' || m_str[n - 1] == '\r' || m_str[n - 1] == '\n')) --n;
    m_str.resize(n);
}

int CString::Replace(char oldCh, char newCh) {
    int count = 0;
    for (char& c : m_str)
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    return count;
}

int CString::Replace(const char* oldText, const char* newText) {
    if (oldText == nullptr || *oldText == '\0') return 0;
    std::string from(oldText), to(newText ? newText : "");
    int count = 0;
    size_t pos = 0;
    while ((pos = m_str.find(from, pos)) != std::string::npos) {
        m_str.replace(pos, from.size(), to);
        pos += to.size();
        ++count;
    }
    return count;
}

int CString::Remove(char ch) {
    size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return int(before - m_str.size());
}

int CString::Insert(int index, char ch) {
    index = std::clamp(index, 0, GetLength());
    m_str.insert(m_str.begin() + index, ch);
    return GetLength();
}

int CString::Insert(int index, const char* psz) {
    index = std::clamp(index, 0, GetLength());
    m_str.insert(size_t(index), psz ? psz : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) m_str.erase(size_t(index), size_t(count));
    return GetLength();
}

void CString::Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    m_str = VFormat(fmt, args);
    va_end(args);
}

void CString::AppendFormat(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    m_str += VFormat(fmt, args);
    va_end(args);
}

char* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_str.resize(size_t(nMinLength));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0)
        m_str.resize(std::strlen(m_str.c_str()));
    else
        m_str.resize(size_t(std::min(nNewLength, GetLength())));
}
