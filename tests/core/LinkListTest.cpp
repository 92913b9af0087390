#include <gtest/gtest.h>

#include "core/LinkList.h"

namespace {

// Counts live instances, so ownership faults show as a wrong count.
struct Tracked {
    static int live;
    int value;
    explicit Tracked(int v) : value(v) { ++live; }
    virtual ~Tracked() { --live; }
};
int Tracked::live = 0;

TEST(LinkList, IndexedAccessFollowsTheChain) {
    Tracked a(1), b(2), c(3);
    CLinkList<Tracked> list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&c);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(3), nullptr);
    EXPECT_EQ(list.GetAt(2), &c);

    // A change after an indexed read must be seen by the next one.
    list.RemoveAt(1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(1), &c);
    list.RemoveAt(7);  // out of range: nothing
    EXPECT_EQ(list.GetCount(), 2);

    EXPECT_EQ(list.RemoveTail(), &c);
    EXPECT_EQ(list.GetTailNode(), list.GetHeadNode());
    list.RemoveAt(0);
    EXPECT_EQ(list.GetHeadNode(), nullptr);
    EXPECT_EQ(list.GetTailNode(), nullptr);
    EXPECT_EQ(list.RemoveTail(), nullptr);

    list.AddTail(&b);
    EXPECT_EQ(list.GetHeadNode(), list.GetTailNode());
    EXPECT_EQ(list.GetAt(0), &b);
    list.AddHead(&a);  // in front, and seen by the next indexed read
    EXPECT_EQ(list.GetAt(0), &a);
    EXPECT_EQ(list.GetAt(1), &b);
    EXPECT_EQ(list.GetHeadNode()->next, list.GetTailNode());
    EXPECT_EQ(list.GetTailNode()->previous, list.GetHeadNode());
    list.RemoveAll();
}

TEST(LinkList, OwnedElementsAreDeletedOnRemovalOnly) {
    Tracked::live = 0;
    {
        CLinkList<Tracked> owning(true);
        for (int i = 0; i < 4; ++i) owning.AddTail(new Tracked(i));
        owning.RemoveAt(0);
        EXPECT_EQ(Tracked::live, 3);
        Tracked* tail = owning.RemoveTail();  // handed back, not deleted
        EXPECT_EQ(Tracked::live, 3);
        delete tail;
    }
    EXPECT_EQ(Tracked::live, 0) << "the destructor empties an owning list";

    Tracked kept(9);
    {
        CLinkList<Tracked> borrowing;
        borrowing.AddTail(&kept);
    }
    EXPECT_EQ(Tracked::live, 1);
}

TEST(LinkList, DeletingANodeDeletesTheChainBehindIt) {
    // A long chain: deletion must not recurse once per node.
    CLinkNode<Tracked>* head = new CLinkNode<Tracked>(nullptr);
    CLinkNode<Tracked>* n = head;
    for (int i = 0; i < 200000; ++i) {
        n->next = new CLinkNode<Tracked>(nullptr);
        n->next->previous = n;
        n = n->next;
    }
    head->next->DeleteChain();
    EXPECT_EQ(head->next->next, nullptr);
    delete head;  // ASan reports any node left behind
}

// An order record: first byte carries the tie bits, second word the tick.
struct Order {
    BYTE flags;
    BYTE pad[3];
    int32_t tick;
};

TEST(LinkList, SortedInsertPutsTheNewestFirstAmongEquals) {
    Order o5a{0, {}, 5}, o3{0, {}, 3}, o5b{0, {}, 5};
    CSortedLinkList<Order, 0> ascending(true);
    ascending.InsertSorted(&o5a);
    ascending.InsertSorted(&o3);
    ascending.InsertSorted(&o5b);
    EXPECT_EQ(ascending.GetAt(0), &o3);
    EXPECT_EQ(ascending.GetAt(1), &o5b);
    EXPECT_EQ(ascending.GetAt(2), &o5a);
    // Ticks are unsigned: one past 2^31 still comes after the small ones.
    Order late{0, {}, int32_t(0x80000001u)};
    ascending.InsertSorted(&late);
    EXPECT_EQ(ascending.GetAt(3), &late);
    ascending.RemoveAt(3);
    ascending.RemoveAt(0);
    EXPECT_EQ(ascending.GetAt(1), &o5a) << "links stay whole after removals at both ends";

    CSortedLinkList<Order, 0> descending(false);
    descending.InsertSorted(&o3);
    descending.InsertSorted(&o5a);
    EXPECT_EQ(descending.GetAt(0), &o5a);

    // Ties are broken by the instance's two bits of the first byte.
    Order lowTie{0x1 << 2, {}, 4}, highTie{0x2 << 2, {}, 4};
    CSortedLinkList<Order, 2> byTie(true);
    byTie.InsertSorted(&highTie);
    byTie.InsertSorted(&lowTie);
    byTie.InsertSorted(&o3);
    EXPECT_EQ(byTie.GetAt(0), &o3);
    EXPECT_EQ(byTie.GetAt(1), &lowTie);
    EXPECT_EQ(byTie.GetAt(2), &highTie);
    byTie.RemoveAt(0);
    EXPECT_EQ(byTie.GetAt(0), &lowTie);
    EXPECT_EQ(byTie.GetCount(), 2);
}

}  // namespace
