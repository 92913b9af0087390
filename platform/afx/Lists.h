// The framework's doubly linked lists: CObList of CObject pointers, CPtrList
// of untyped pointers, CDWordList of 32-bit values. A POSITION stays valid
// until its node is removed. Lists never own their elements: game lists that
// do delete them in their own RemoveAll/destructor.
//
// Memory: a list takes its nodes from blocks of its own (4 nodes, then twice
// as many each time up to 64) and keeps every block until it is destroyed.
// A removed node waits on the list's free chain for the next addition, so a
// list emptied and filled again every tick allocates nothing, and a list's
// nodes lie close together in memory. The free chain gives back the nodes
// of an emptied list in the order they held (a list filled again in the
// same order walks the same memory).
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/afx/Archive.h"
#include "platform/afx/Object.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VELMOR_LIST_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VELMOR_LIST_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VELMOR_LIST_POISON(p, n) ((void)(p), (void)(n))
#define VELMOR_LIST_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

template <typename T>
class CListCore {
public:
    CListCore() = default;
    CListCore(const CListCore&) = delete;
    CListCore& operator=(const CListCore&) = delete;
    ~CListCore() {
        for (Node* n = m_pHead; n; n = n->next) n->~Node();
        while (Block* b = m_pBlocks) {
            m_pBlocks = b->next;
            VELMOR_LIST_UNPOISON(b + 1, b->count * sizeof(Node));
            ::operator delete(b);
        }
    }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    // Head and tail access; the list must not be empty.
    T& GetHead() { return m_pHead->data; }
    T GetHead() const { return m_pHead->data; }
    T& GetTail() { return m_pTail->data; }
    T GetTail() const { return m_pTail->data; }

    T RemoveHead() {
        Node* n = m_pHead;
        T v = n->data;
        Unlink(n);
        return v;
    }
    T RemoveTail() {
        Node* n = m_pTail;
        T v = n->data;
        Unlink(n);
        return v;
    }

    POSITION AddHead(T v) {
        Node* n = NewNode(v, nullptr, m_pHead);
        if (m_pHead) m_pHead->prev = n; else m_pTail = n;
        m_pHead = n;
        ++m_nCount;
        return Pos(n);
    }
    POSITION AddTail(T v) {
        Node* n = NewNode(v, m_pTail, nullptr);
        if (m_pTail) m_pTail->next = n; else m_pHead = n;
        m_pTail = n;
        ++m_nCount;
        return Pos(n);
    }
    void AddTail(const CListCore* pOther) {
        for (Node* n = pOther->m_pHead; n; n = n->next) AddTail(n->data);
    }
    void AddHead(const CListCore* pOther) {
        for (Node* n = pOther->m_pTail; n; n = n->prev) AddHead(n->data);
    }

    void RemoveAll() {
        // From the tail, so that the free chain hands the nodes out again
        // head first.
        Node* n = m_pTail;
        while (n) {
            Node* prev = n->prev;
            FreeNode(n);
            n = prev;
        }
        m_pHead = m_pTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pHead); }
    POSITION GetTailPosition() const { return Pos(m_pTail); }
    T& GetNext(POSITION& pos) {
        Node* n = NodeOf(pos);
        pos = Pos(n->next);
        return n->data;
    }
    T GetNext(POSITION& pos) const {
        Node* n = NodeOf(pos);
        pos = Pos(n->next);
        return n->data;
    }
    T& GetPrev(POSITION& pos) {
        Node* n = NodeOf(pos);
        pos = Pos(n->prev);
        return n->data;
    }
    T GetPrev(POSITION& pos) const {
        Node* n = NodeOf(pos);
        pos = Pos(n->prev);
        return n->data;
    }
    T& GetAt(POSITION pos) { return NodeOf(pos)->data; }
    T GetAt(POSITION pos) const { return NodeOf(pos)->data; }
    void SetAt(POSITION pos, T v) { NodeOf(pos)->data = v; }
    void RemoveAt(POSITION pos) { Unlink(NodeOf(pos)); }

    POSITION InsertBefore(POSITION pos, T v) {
        if (pos == nullptr) return AddHead(v);
        Node* at = NodeOf(pos);
        Node* n = NewNode(v, at->prev, at);
        if (at->prev) at->prev->next = n; else m_pHead = n;
        at->prev = n;
        ++m_nCount;
        return Pos(n);
    }
    POSITION InsertAfter(POSITION pos, T v) {
        if (pos == nullptr) return AddTail(v);
        Node* at = NodeOf(pos);
        Node* n = NewNode(v, at, at->next);
        if (at->next) at->next->prev = n; else m_pTail = n;
        at->next = n;
        ++m_nCount;
        return Pos(n);
    }

    // The first position holding `v` after `startAfter` (from the head when null).
    POSITION Find(T v, POSITION startAfter = nullptr) const {
        Node* n = startAfter ? NodeOf(startAfter)->next : m_pHead;
        for (; n; n = n->next)
            if (n->data == v) return Pos(n);
        return nullptr;
    }
    // The position of the index-th element, or null when out of range.
    POSITION FindIndex(int index) const {
        if (index < 0 || index >= m_nCount) return nullptr;
        Node* n = m_pHead;
        while (index-- > 0) n = n->next;
        return Pos(n);
    }

protected:
    struct Node {
        T data;
        Node* prev;
        Node* next;
    };
    static POSITION Pos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* NodeOf(POSITION p) { return reinterpret_cast<Node*>(p); }
    void Unlink(Node* n) {
        if (n->prev) n->prev->next = n->next; else m_pHead = n->next;
        if (n->next) n->next->prev = n->prev; else m_pTail = n->prev;
        FreeNode(n);
        --m_nCount;
    }

    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    int m_nCount = 0;

private:
    // A block of node slots: the header, then `count` slots.
    struct alignas(alignof(Node) > alignof(void*) ? alignof(Node) : alignof(void*)) Block {
        Block* next;
        size_t count;
    };
    // What a slot holds while it waits on the free chain.
    struct FreeSlot {
        FreeSlot* next;
    };
    static_assert(sizeof(Node) >= sizeof(FreeSlot));
    static constexpr size_t kFirstBlock = 4, kLargestBlock = 64;

    Node* NewNode(const T& v, Node* prev, Node* next) {
        if (!m_pFree) Grow();
        FreeSlot* slot = m_pFree;
        m_pFree = slot->next;
        VELMOR_LIST_UNPOISON(slot, sizeof(Node));
        return ::new (static_cast<void*>(slot)) Node{v, prev, next};
    }
    void FreeNode(Node* n) {
        n->~Node();
        m_pFree = ::new (static_cast<void*>(n)) FreeSlot{m_pFree};
        VELMOR_LIST_POISON(reinterpret_cast<char*>(n) + sizeof(FreeSlot), sizeof(Node) - sizeof(FreeSlot));
    }
    void Grow() {
        const size_t count = m_pBlocks ? std::min(m_pBlocks->count * 2, kLargestBlock) : kFirstBlock;
        auto* block = static_cast<Block*>(::operator new(sizeof(Block) + count * sizeof(Node)));
        block->next = m_pBlocks;
        block->count = count;
        m_pBlocks = block;
        Node* slots = reinterpret_cast<Node*>(block + 1);
        // Chained in address order: the block is handed out front to back.
        for (size_t i = count; i-- > 0;) m_pFree = ::new (static_cast<void*>(slots + i)) FreeSlot{m_pFree};
    }

    Block* m_pBlocks = nullptr;
    FreeSlot* m_pFree = nullptr;
};

class CObList : public CObject, public CListCore<CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(int nBlockSize = 10) { (void)nBlockSize; }
    // Count, then each element as an object. Loading appends to the list;
    // elements already loaded stay in the list when a later one fails.
    void Serialize(CArchive& ar) override;
};

class CPtrList : public CObject, public CListCore<void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(int nBlockSize = 10) { (void)nBlockSize; }
};

class CDWordList : public CObject, public CListCore<DWORD> {
    DECLARE_SERIAL(CDWordList)
public:
    explicit CDWordList(int nBlockSize = 10) { (void)nBlockSize; }
    // Count, then each value as a raw DWORD.
    void Serialize(CArchive& ar) override;
};

class CStringList : public CObject, public CListCore<CString> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(int nBlockSize = 10) { (void)nBlockSize; }
    void Serialize(CArchive& ar) override;
};
