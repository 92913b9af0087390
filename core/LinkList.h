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

// The chain and its index, shared by the plain and the sorted list.
template <typename T>
class CLinkChain {
public:
    CLinkChain(const CLinkChain&) = delete;
    CLinkChain& operator=(const CLinkChain&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

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

protected:
    constexpr CLinkChain() = default;
    // The lists empty themselves first: elements are theirs to handle.
    ~CLinkChain() = default;

    // The node at `index`, walking from the head; null outside 0..count-1.
    // The index is left alone: the removal that follows marks it stale.
    CLinkNode<T>* NodeAt(int index) {
        if (index < 0 || index >= m_nCount) return nullptr;
        CLinkNode<T>* n = m_pHead;
        for (int i = 0; i < index; ++i) n = n->next;
        return n;
    }

    // Puts n between `before` and `at`, either of which may be null.
    void Link(CLinkNode<T>* n, CLinkNode<T>* before, CLinkNode<T>* at) {
        n->previous = before;
        n->next = at;
        if (before) before->next = n; else m_pHead = n;
        if (at) at->previous = n; else m_pTail = n;
        ++m_nCount;
        m_bDirty = 1;
    }

    // Deletes the node and hands back its element.
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

    // After the last node is gone: the index is let go too.
    void ForgetIndex() {
        m_index.clear();
        m_index.shrink_to_fit();
        m_bDirty = 0;
    }

    CLinkNode<T>* m_pHead = nullptr;
    CLinkNode<T>* m_pTail = nullptr;
    int32_t m_nCount = 0;
    BYTE m_bDirty = 0;
    std::vector<T*> m_index;
};

template <typename T>
class CLinkList : public CLinkChain<T> {
    using Chain = CLinkChain<T>;

public:
    // With ownsElements set, an element is deleted when its node is removed
    // by RemoveAt or RemoveAll (RemoveTail hands it back instead).
    constexpr explicit CLinkList(bool ownsElements = false) : m_bOwnsElements(ownsElements ? 1 : 0) {}
    // Empties the list (deleting owned elements), so no node can leak.
    ~CLinkList() { RemoveAll(); }

    bool OwnsElements() const { return m_bOwnsElements != 0; }
    void SetOwnsElements(bool owns) { m_bOwnsElements = owns ? 1 : 0; }
    CLinkNode<T>* GetHeadNode() const { return Chain::m_pHead; }
    CLinkNode<T>* GetTailNode() const { return Chain::m_pTail; }

    void AddHead(T* element) { Chain::Link(new CLinkNode<T>(element), nullptr, Chain::m_pHead); }
    void AddTail(T* element) { Chain::Link(new CLinkNode<T>(element), Chain::m_pTail, nullptr); }

    // Unlinks the node at `index`, deleting its element when the list owns
    // its elements; nothing happens for an index outside 0..count-1.
    void RemoveAt(int index) {
        CLinkNode<T>* n = Chain::NodeAt(index);
        if (!n) return;
        T* element = Chain::Unlink(n);
        if (m_bOwnsElements) delete element;
    }

    // Unlinks the last node and returns its element (never deleted); null
    // when the list is empty.
    T* RemoveTail() {
        if (Chain::IsEmpty()) return nullptr;
        return Chain::Unlink(Chain::m_pTail);
    }

    // Removes every node from the head on, deleting owned elements. The
    // index is not rebuilt between the steps, so emptying a list costs one
    // pass, not one walk per node.
    void RemoveAll() {
        while (Chain::m_pHead) {
            T* element = Chain::Unlink(Chain::m_pHead);
            if (m_bOwnsElements) delete element;
        }
        Chain::ForgetIndex();
    }

private:
    BYTE m_bOwnsElements = 0;
};

// The sorted list of the battle order queues. An element's second 32-bit
// word is its key (the unsigned tick an order is due); two bits of its first byte,
// from bit TieShift, break ties between equal keys. Ascending lists keep
// (key, tie) rising, descending ones falling; among equal elements the newest
// comes first. The list never owns its elements: the caller deletes what it
// takes out. T must be a plain record at least 8 bytes long.
template <typename T, int TieShift>
class CSortedLinkList : public CLinkChain<T> {
    static_assert(sizeof(T) >= 8, "a sorted element holds a key in its second word");
    static_assert(TieShift >= 0 && TieShift <= 6, "the tie field lies within the first byte");
    using Chain = CLinkChain<T>;

public:
    explicit CSortedLinkList(bool ascending = true) : m_bOrder(ascending ? 1 : 0) {}
    ~CSortedLinkList() { RemoveAll(); }

    void InsertSorted(T* element) {
        CLinkNode<T>* before = nullptr;
        CLinkNode<T>* at = Chain::m_pHead;
        while (at && Precedes(at->element, element)) {
            before = at;
            at = at->next;
        }
        Chain::Link(new CLinkNode<T>(element), before, at);
    }

    // Unlinks the node at `index`; the element is not deleted.
    void RemoveAt(int index) {
        if (CLinkNode<T>* n = Chain::NodeAt(index)) Chain::Unlink(n);
    }

    void RemoveAll() {
        while (Chain::m_pHead) Chain::Unlink(Chain::m_pHead);
        Chain::ForgetIndex();
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

    BYTE m_bOrder = 1;
};
