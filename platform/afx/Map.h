// CMap: the framework's hash map, kept in its original iteration order
// because game code and stored files depend on it: buckets 0..size-1 in
// turn, and within a bucket the newest key first. A key's bucket is
// (key >> 4) % hashSize; the table has 17 buckets unless InitHashTable says
// otherwise. Keys must be integers (never pointers: their order would differ
// between machines). A map loaded from an archive iterates exactly as the
// stored map did, so a load followed by a store gives the same bytes.
//
// The buckets only fix the order. Keys are found through an index of their
// own, so a map whose keys all fall into one bucket (a hostile file can
// make one) still loads and looks up in time linear in its size.
#pragma once

#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/afx/Archive.h"
#include "platform/afx/Object.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
    static_assert(std::is_integral_v<KEY> || std::is_enum_v<KEY>, "CMap keys are integers");

public:
    explicit CMap(int nBlockSize = 10) { (void)nBlockSize; }
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() override { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Only allowed while the map is empty.
    void InitHashTable(UINT nHashSize) {
        if (m_nCount == 0 && nHashSize > 0) {
            m_table.clear();
            m_nHashTableSize = nHashSize;
        }
    }

    bool Lookup(ARG_KEY key, VALUE& rValue) const {
        if (const Assoc* a = Find(key)) {
            rValue = a->value;
            return true;
        }
        return false;
    }
    VALUE& operator[](ARG_KEY key) {
        if (Assoc* a = Find(key)) return a->value;
        if (m_table.empty()) m_table.assign(m_nHashTableSize, nullptr);
        UINT h = Hash(key);
        Assoc* a = new Assoc{key, VALUE(), m_table[h], &m_table[h]};
        if (a->next) a->next->link = &a->next;
        m_table[h] = a;
        m_index.emplace(key, a);
        ++m_nCount;
        return a->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
    bool RemoveKey(ARG_KEY key) {
        Assoc* a = Find(key);
        if (a == nullptr) return false;
        *a->link = a->next;
        if (a->next) a->next->link = a->link;
        m_index.erase(key);
        delete a;
        --m_nCount;
        return true;
    }
    void RemoveAll() {
        for (Assoc*& head : m_table) {
            while (head) {
                Assoc* next = head->next;
                delete head;
                head = next;
            }
        }
        m_table.clear();
        m_index.clear();
        m_nCount = 0;
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? nullptr : (POSITION)-1; }
    void GetNextAssoc(POSITION& pos, KEY& rKey, VALUE& rValue) const {
        const Assoc* a;
        if (pos == (POSITION)-1) {
            a = FirstFrom(0);
        } else {
            a = reinterpret_cast<const Assoc*>(pos);
        }
        rKey = a->key;
        rValue = a->value;
        const Assoc* next = a->next ? a->next : FirstFrom(Hash(a->key) + 1);
        pos = reinterpret_cast<POSITION>(const_cast<Assoc*>(next));
    }

    // Count, then key and value of each entry raw, in iteration order.
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteCount(DWORD(m_nCount));
            POSITION pos = GetStartPosition();
            while (pos) {
                KEY k;
                VALUE v;
                GetNextAssoc(pos, k, v);
                Put(ar, k);
                Put(ar, v);
            }
        } else {
            DWORD count = ar.ReadCount();
            if (m_table.empty()) m_table.assign(m_nHashTableSize, nullptr);
            // Each entry goes to the end of its bucket: the last link of
            // every bucket is kept, found once for what the map held.
            std::vector<Assoc**> tails(m_table.size());
            for (size_t b = 0; b < m_table.size(); ++b) {
                Assoc** link = &m_table[b];
                while (*link) link = &(*link)->next;
                tails[b] = link;
            }
            while (count--) {
                KEY k;
                VALUE v;
                Get(ar, k);
                Get(ar, v);
                if (Assoc* a = Find(k)) {
                    a->value = v;
                    continue;
                }
                Assoc** link = tails[Hash(k)];
                *link = new Assoc{k, v, nullptr, link};
                tails[Hash(k)] = &(*link)->next;
                m_index.emplace(k, *link);
                ++m_nCount;
            }
        }
    }

private:
    struct Assoc {
        KEY key;
        VALUE value;
        Assoc* next;
        Assoc** link;  // the pointer that holds this entry
    };
    UINT Hash(ARG_KEY key) const { return (UINT(DWORD(key)) >> 4) % m_nHashTableSize; }
    Assoc* Find(ARG_KEY key) const {
        auto it = m_index.find(key);
        return it == m_index.end() ? nullptr : it->second;
    }
    const Assoc* FirstFrom(UINT bucket) const {
        for (UINT b = bucket; b < m_table.size(); ++b)
            if (m_table[b]) return m_table[b];
        return nullptr;
    }
    template <typename T>
    static void Put(CArchive& ar, const T& v) {
        if constexpr (std::is_pointer_v<T>) ar << DWORD(0);  // pointers are not persistent
        else if constexpr (sizeof(T) == 1) ar << BYTE(v);
        else if constexpr (sizeof(T) == 2) ar << WORD(v);
        else if constexpr (std::is_floating_point_v<T>) ar << v;
        else ar << DWORD(v);
    }
    template <typename T>
    static void Get(CArchive& ar, T& v) {
        if constexpr (std::is_pointer_v<T>) { DWORD d; ar >> d; v = nullptr; }
        else if constexpr (sizeof(T) == 1) { BYTE b; ar >> b; v = T(b); }
        else if constexpr (sizeof(T) == 2) { WORD w; ar >> w; v = T(w); }
        else if constexpr (std::is_floating_point_v<T>) ar >> v;
        else { DWORD d; ar >> d; v = T(d); }
    }

    std::vector<Assoc*> m_table;
    std::unordered_map<KEY, Assoc*> m_index;
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
};

typedef CMap<DWORD, DWORD, DWORD, DWORD> CMapDWordToDWord;
