// CLinkList: the game's doubly linked list of element pointers, used for the
// network and battle order queues, chat lines, file chunks and the random
// stream registry.
//
// Its one particular feature is an index array that is rebuilt lazily: every
// change of the chain marks it stale, and the next indexed access pays one
// walk of the chain. Walking a list by index while it is not modified is
// therefore one rebuild plus direct reads. Removal by index still walks from
// the head.
//
// Out-of-range indexes are no error: GetAt gives null, RemoveAt does nothing.
// Not thread-safe; the lists live on the game thread.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/afx/AfxTypes.h"

// One link of a chain. Deleting a node deletes every node behind it (but
// never an element); unlink a node (next = null) before deleting it alone.
template <typename T>
struct CLinkNode {
    T* element = nullptr;
    CLinkNode* next = nullptr;
    CLinkNode* previous = nullptr;

    explicit CLinkNode(T* e) : element(e) {}
    CLinkNode(const CLinkNode&) = delete;
    CLinkNode& operator=(const CLinkNode&) = delete;
    ~CLinkNode() { DeleteChain(); }

    // Deletes the nodes behind this one and leaves this node the last.
    // Iterative, so a long chain cannot exhaust the stack.
    void DeleteChain() {
        CLinkNode* n = next;
        next = nullptr;
        while (n) {
            CLinkNode* following = n->next;
            n->next = nullptr;
            delete n;
            n = following;
        }
    }
};

template <typename T>
class CLinkList {
public:
    // With ownsElements set, an element is deleted when its node is removed
    // by RemoveAt or RemoveAll (RemoveTail hands it back instead).
    constexpr explicit CLinkList(bool ownsElements = false) : m_bOwnsElements(ownsElements ? 1 : 0) {}
    CLinkList(const CLinkList&) = delete;
    CLinkList& operator=(const CLinkList&) = delete;
    // Empties the list (deleting owned elements), so no node can leak.
    ~CLinkList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    bool OwnsElements() const { return m_bOwnsElements != 0; }
    void SetOwnsElements(bool owns) { m_bOwnsElements = owns ? 1 : 0; }
    CLinkNode<T>* GetHeadNode() const { return m_pHead; }
    CLinkNode<T>* GetTailNode() const { return m_pTail; }

    // Brings the index array up to date; true when the list is not empty.
    bool RefreshIndex() {
        if (m_bDirty && m_nCount > 0) {
            m_index.resize(size_t(m_nCount));
            size_t i = 0;
            for (CLinkNode<T>* n = m_pHead; n && i < m_index.size(); n = n->next) m_index[i++] = n->element;
            m_bDirty = 0;
        }
        return m_nCount > 0;
    }

    // The element at `index`, or null outside 0..count-1.
    T* GetAt(int index) {
        if (index < 0 || index >= m_nCount) return nullptr;
        RefreshIndex();
        return m_index[size_t(index)];
    }

    void AddTail(T* element) {
        CLinkNode<T>* n = new CLinkNode<T>(element);
        n->previous = m_pTail;
        if (m_pTail) m_pTail->next = n; else m_pHead = n;
        m_pTail = n;
        ++m_nCount;
        m_bDirty = 1;
    }

    // Unlinks the node at `index`, deleting its element when the list owns
    // its elements; nothing happens for an index outside 0..count-1.
    void RemoveAt(int index) {
        RefreshIndex();
        if (m_nCount == 0 || index < 0 || index >= m_nCount) return;
        CLinkNode<T>* n = m_pHead;
        for (int i = 0; i < index; ++i) n = n->next;
        T* element = Unlink(n);
        if (m_bOwnsElements) delete element;
    }

    // Unlinks the last node and returns its element (never deleted); null
    // when the list is empty.
    T* RemoveTail() {
        if (!RefreshIndex()) return nullptr;
        return Unlink(m_pTail);
    }

    // Removes every node from the head on, deleting owned elements. The
    // index is not rebuilt between the steps, so emptying a list costs one
    // pass, not one walk per node.
    void RemoveAll() {
        while (m_pHead) {
            T* element = Unlink(m_pHead);
            if (m_bOwnsElements) delete element;
        }
        m_index.clear();
        m_index.shrink_to_fit();
        m_pHead = m_pTail = nullptr;
        m_bDirty = 0;
    }

private:
    T* Unlink(CLinkNode<T>* n) {
        if (n->previous) n->previous->next = n->next; else m_pHead = n->next;
        if (n->next) n->next->previous = n->previous; else m_pTail = n->previous;
        T* element = n->element;
        n->next = n->previous = nullptr;
        delete n;
        --m_nCount;
        m_bDirty = 1;
        return element;
    }

    CLinkNode<T>* m_pHead = nullptr;
    CLinkNode<T>* m_pTail = nullptr;
    int32_t m_nCount = 0;
    BYTE m_bDirty = 0;
    BYTE m_bOwnsElements = 0;
    std::vector<T*> m_index;
};

// The sorted list of the battle order queues. An element's second 32-bit
// word is its key (the unsigned tick an order is due); two bits of its first byte,
// from bit TieShift, break ties between equal keys. Ascending lists keep
// (key, tie) rising, descending ones falling; among equal elements the newest
// comes first. The list never owns its elements: the caller deletes what it
// takes out. T must be a plain record at least 8 bytes long.
template <typename T, int TieShift>
class CSortedLinkList {
    static_assert(sizeof(T) >= 8, "a sorted element holds a key in its second word");
    static_assert(TieShift >= 0 && TieShift <= 6, "the tie field lies within the first byte");

public:
    explicit CSortedLinkList(bool ascending = true) : m_bOrder(ascending ? 1 : 0) {}
    CSortedLinkList(const CSortedLinkList&) = delete;
    CSortedLinkList& operator=(const CSortedLinkList&) = delete;
    ~CSortedLinkList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    bool RefreshIndex() {
        if (m_bDirty && m_nCount > 0) {
            m_index.resize(size_t(m_nCount));
            size_t i = 0;
            for (CLinkNode<T>* n = m_pHead; n && i < m_index.size(); n = n->next) m_index[i++] = n->element;
            m_bDirty = 0;
        }
        return m_nCount > 0;
    }

    T* GetAt(int index) {
        if (index < 0 || index >= m_nCount) return nullptr;
        RefreshIndex();
        return m_index[size_t(index)];
    }

    void InsertSorted(T* element) {
        CLinkNode<T>* n = new CLinkNode<T>(element);
        CLinkNode<T>* before = nullptr;
        CLinkNode<T>* at = m_pHead;
        while (at && Precedes(at->element, element)) {
            before = at;
            at = at->next;
        }
        // Place n between `before` and `at` (either may be null).
        n->previous = before;
        n->next = at;
        if (before) before->next = n; else m_pHead = n;
        if (at) at->previous = n;
        ++m_nCount;
        m_bDirty = 1;
    }

    // Unlinks the node at `index`; the element is not deleted.
    void RemoveAt(int index) {
        RefreshIndex();
        if (m_nCount == 0 || index < 0 || index >= m_nCount) return;
        CLinkNode<T>* n = m_pHead;
        for (int i = 0; i < index; ++i) n = n->next;
        Unlink(n);
    }

    void RemoveAll() {
        while (m_pHead) Unlink(m_pHead);
        m_index.clear();
        m_index.shrink_to_fit();
        m_bDirty = 0;
    }

    // The key is an unsigned tick: ticks past 2^31 still sort after the
    // smaller ones.
    static uint32_t KeyOf(const T* e) {
        uint32_t key;
        std::memcpy(&key, reinterpret_cast<const BYTE*>(e) + 4, 4);
        return key;
    }
    static int TieOf(const T* e) { return (reinterpret_cast<const BYTE*>(e)[0] >> TieShift) & 3; }

private:
    // True when `a` strictly comes before `b` in this list's order.
    bool Precedes(const T* a, const T* b) const {
        uint32_t ka = KeyOf(a), kb = KeyOf(b);
        int ta = TieOf(a), tb = TieOf(b);
        if (m_bOrder == 1) return ka < kb || (ka == kb && ta < tb);
        return ka > kb || (ka == kb && ta > tb);
    }

    void Unlink(CLinkNode<T>* n) {
        if (n->previous) n->previous->next = n->next; else m_pHead = n->next;
        if (n->next) n->next->previous = n->previous;
        n->next = n->previous = nullptr;
        delete n;
        --m_nCount;
        m_bDirty = 1;
    }

    CLinkNode<T>* m_pHead = nullptr;
    int32_t m_nCount = 0;
    BYTE m_bDirty = 0;
    BYTE m_bOrder = 1;
    std::vector<T*> m_index;
};
