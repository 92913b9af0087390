#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/afx/Afx.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

namespace {

// A small persistent class for the object-tag fixtures.
class CTestItem : public CObject {
    DECLARE_SERIAL(CTestItem)
public:
    CTestItem() = default;
    explicit CTestItem(LONG v) : value(v) {}
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
    LONG value = 0;
};
IMPLEMENT_SERIAL(CTestItem, CObject, 3)

class CVersionedItem : public CObject {
    DECLARE_SERIAL(CVersionedItem)
public:
    void Serialize(CArchive& ar) override {
        if (ar.IsLoading()) schema = ar.GetObjectSchema();
    }
    UINT schema = 0;
};
IMPLEMENT_SERIAL(CVersionedItem, CObject, VERSIONABLE_SCHEMA | 2)

// Creatable by name but never stored, like the windows and views.
class CTransientItem : public CObject {
    DECLARE_DYNCREATE(CTransientItem)
};
IMPLEMENT_DYNCREATE(CTransientItem, CObject)

struct OwnedList : CObList {
    ~OwnedList() {
        std::set<CObject*> unique;
        while (!IsEmpty()) unique.insert(RemoveHead());
        for (CObject* p : unique) delete p;
    }
};

TEST(Archive, CountsUseWordOrEscapedDword) {
    struct Case {
        DWORD count;
        std::vector<BYTE> bytes;
    } cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoreBytes([&](CArchive& ar) { ar.WriteCount(c.count); }), c.bytes) << c.count;
        DWORD back = 0;
        LoadBytes(c.bytes, [&](CArchive& ar) { back = ar.ReadCount(); });
        EXPECT_EQ(back, c.count);
    }
}

TEST(Archive, StringLengthPrefixAtEachBoundary) {
    struct Case {
        size_t length;
        std::vector<BYTE> prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        CString s(std::string(c.length, 'k'));
        std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { ar << s; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        CString back;
        LoadBytes(bytes, [&](CArchive& ar) { ar >> back; });
        EXPECT_EQ(back, s);
    }
}

TEST(Archive, ScalarsAreLittleEndian) {
    std::vector<BYTE> bytes = StoreBytes([](CArchive& ar) {
        ar << BYTE(0x12) << WORD(0x3456) << LONG(-2) << DWORD(0x89ABCDEF) << 1.5f << -2.0;
    });
    std::vector<BYTE> expected = {0x12, 0x56, 0x34, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x89,
                                  0x00, 0x00, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0};
    EXPECT_EQ(bytes, expected);
}

// New class, known class and repeated object in one list, byte for byte.
TEST(Archive, ObjectListTagsMatchFixture) {
    CTestItem a(7), b(9);
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    list.AddTail((CObject*)nullptr);
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });

    std::vector<BYTE> expected;
    PutW(expected, 4);                 // count
    PutW(expected, 0xFFFF);            // new class
    PutW(expected, 3);                 // schema
    PutW(expected, 9);                 // name length
    PutS(expected, "CTestItem");
    PutD(expected, 7);                 // a (index 2; the class is index 1)
    PutW(expected, 0x8001);            // known class 1
    PutD(expected, 9);                 // b (index 3)
    PutW(expected, 0x0002);            // a again
    PutW(expected, 0x0000);            // null
    EXPECT_EQ(bytes, expected);

    OwnedList back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(back.GetCount(), 4);
    POSITION pos = back.GetHeadPosition();
    CObject* first = back.GetNext(pos);
    CObject* second = back.GetNext(pos);
    CObject* third = back.GetNext(pos);
    EXPECT_EQ(static_cast<CTestItem*>(first)->value, 7);
    EXPECT_EQ(static_cast<CTestItem*>(second)->value, 9);
    EXPECT_EQ(first, third);
    EXPECT_EQ(back.GetNext(pos), nullptr);
}

TEST(Archive, BigIndexUsesEscapedTag) {
    // Over 0x7FFE objects, back-references need the 0x7FFF + DWORD form.
    std::vector<CTestItem> items(0x7FFF);
    CObList list;
    for (auto& it : items) list.AddTail(&it);
    list.AddTail(&items.back());
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });
    // The last object got index 0x8000 (class 1, objects from 2).
    std::vector<BYTE> tail(bytes.end() - 6, bytes.end());
    EXPECT_EQ(tail, (std::vector<BYTE>{0xFF, 0x7F, 0x00, 0x80, 0x00, 0x00}));
    OwnedList back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetCount(), 0x8000);
    EXPECT_EQ(back.GetHead() != nullptr, true);
    EXPECT_EQ(back.GetTail(), back.GetAt(back.FindIndex(0x7FFE)));
}

TEST(Archive, VersionableSchemaIsReportedToTheObject) {
    std::vector<BYTE> bytes;
    PutW(bytes, 0xFFFF);
    PutW(bytes, 1);  // an older schema than the class's 2
    PutW(bytes, 14);
    PutS(bytes, "CVersionedItem");
    CObject* p = nullptr;
    LoadBytes(bytes, [&](CArchive& ar) { ar >> p; });
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<CVersionedItem*>(p)->schema, 1u);
    delete p;
}

TEST(Archive, HostileBytesThrowWithErrorText) {
    auto withClass = [](WORD schema, const char* name) {
        std::vector<BYTE> v;
        PutW(v, 0xFFFF);
        PutW(v, schema);
        PutW(v, WORD(strlen(name)));
        PutS(v, name);
        return v;
    };
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        int cause;
    } cases[] = {
        {"empty", {}, CArchiveException::endOfFile},
        {"truncated tag", {0xFF}, CArchiveException::endOfFile},
        {"unknown class", withClass(0, "CNoSuchThing"), CArchiveException::badClass},
        {"wrong schema", withClass(4, "CTestItem"), CArchiveException::badSchema},
        {"truncated body", withClass(3, "CTestItem"), CArchiveException::endOfFile},
        {"reference before any object", {0x05, 0x00}, CArchiveException::badIndex},
        {"known class never declared", {0x01, 0x80}, CArchiveException::badIndex},
        {"name too long", {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x7F}, CArchiveException::badClass},
        {"class that is never stored", withClass(0xFFFF, "CTransientItem"), CArchiveException::badClass},
    };
    for (const Case& c : cases) {
        try {
            LoadBytes(c.bytes, [&](CArchive& ar) {
                CObject* p = nullptr;
                ar >> p;
                delete p;
            });
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.what;
            EXPECT_EQ(std::string(e.GetErrorText()).rfind("ERROR: ", 0), 0u) << c.what;
        }
    }
}

TEST(Archive, EndlesslyNestedListsThrowInsteadOfExhaustingTheStack) {
    // `levels` lists, each holding the next; the innermost holds null.
    auto nestedLists = [](int levels) {
        std::vector<BYTE> bytes;
        PutW(bytes, 0xFFFF);
        PutW(bytes, 0);
        PutW(bytes, 7);
        PutS(bytes, "CObList");
        PutW(bytes, 1);
        for (int level = 1; level < levels; ++level) {
            PutW(bytes, 0x8001);  // the class declared first
            PutW(bytes, 1);
        }
        PutW(bytes, 0);
        return bytes;
    };
    // Far deeper than any file nests its objects.
    ExpectLoadFailure(nestedLists(200000), [](CArchive& ar) {
        CObject* p = nullptr;
        ar >> p;
        delete p;
    });

    // A few levels, as real files nest, still load.
    CObject* p = nullptr;
    LoadBytes(nestedLists(8), [&](CArchive& ar) { ar >> p; });
    int levels = 0;
    while (p) {
        auto* list = static_cast<CObList*>(p);
        ASSERT_EQ(list->GetCount(), 1);
        p = list->GetHead();
        delete list;
        ++levels;
    }
    EXPECT_EQ(levels, 8);
}

TEST(Archive, TypedReadRefusesAnotherClass) {
    CTestItem a(1);
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { ar << &a; });
    EXPECT_THROW(LoadBytes(bytes, [](CArchive& ar) { ar.ReadObject(RUNTIME_CLASS(CObList)); }), CArchiveException);
}

TEST(Archive, HostileStringLengthDoesNotAllocateIt) {
    std::vector<BYTE> bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'};
    EXPECT_THROW(LoadBytes(bytes, [](CArchive& ar) { ar.ReadStringValue(); }), CArchiveException);
}

TEST(Map, IteratesBucketsInOrderNewestFirst) {
    CMapDWordToDWord map;
    // 0x00 and 0x110 share bucket 0 ((0x110 >> 4) % 17 == 0); 0x10 is bucket 1.
    map.SetAt(0x10, 1);
    map.SetAt(0x00, 2);
    map.SetAt(0x110, 3);
    std::vector<DWORD> keys;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        DWORD k, v;
        map.GetNextAssoc(pos, k, v);
        keys.push_back(k);
    }
    EXPECT_EQ(keys, (std::vector<DWORD>{0x110, 0x00, 0x10}));

    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { map.Serialize(ar); });
    std::vector<BYTE> expected;
    PutW(expected, 3);
    for (DWORD kv : {0x110u, 3u, 0x00u, 2u, 0x10u, 1u}) PutD(expected, kv);
    EXPECT_EQ(bytes, expected);

    CMapDWordToDWord back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), bytes);
}

TEST(Map, OneBucketLoadsInStoredOrderAndRemovesAnywhere) {
    // Every key a multiple of 17 x 16: all in bucket 0, as a hostile file
    // may make them. The stored order (not newest first) is what loads.
    std::vector<BYTE> bytes;
    PutW(bytes, 5);
    for (DWORD i : {3u, 1u, 4u, 0u, 2u}) PutD(bytes, i * 272), PutD(bytes, i);
    struct Case {
        DWORD removed;  // key index, or ~0u for none
        std::vector<DWORD> left;
    } cases[] = {
        {~0u, {3, 1, 4, 0, 2}}, {3, {1, 4, 0, 2}}, {4, {3, 1, 0, 2}}, {2, {3, 1, 4, 0}},
    };
    for (const Case& c : cases) {
        CMapDWordToDWord map;
        LoadBytes(bytes, [&](CArchive& ar) { map.Serialize(ar); });
        if (c.removed != ~0u) {
            EXPECT_TRUE(map.RemoveKey(c.removed * 272));
            EXPECT_FALSE(map.RemoveKey(c.removed * 272));
        }
        map[5 * 272] = 5;  // a new key goes in front of its bucket
        std::vector<DWORD> values;
        POSITION pos = map.GetStartPosition();
        while (pos) {
            DWORD k, v;
            map.GetNextAssoc(pos, k, v);
            EXPECT_EQ(k, v * 272);
            values.push_back(v);
        }
        std::vector<DWORD> expected = {5};
        expected.insert(expected.end(), c.left.begin(), c.left.end());
        EXPECT_EQ(values, expected) << "removed " << c.removed;
        for (DWORD i = 0; i <= 5; ++i) {
            DWORD v = 99;
            EXPECT_EQ(map.Lookup(i * 272, v), i != c.removed) << i;
            if (i != c.removed) {
                EXPECT_EQ(v, i);
            }
        }
    }
}

TEST(Map, RemoveKeyKeepsOtherEntries) {
    CMapDWordToDWord map;
    for (DWORD k = 0; k < 100; ++k) map[k * 7] = k;
    EXPECT_TRUE(map.RemoveKey(14));
    EXPECT_FALSE(map.RemoveKey(14));
    DWORD v;
    EXPECT_FALSE(map.Lookup(14, v));
    ASSERT_TRUE(map.Lookup(21, v));
    EXPECT_EQ(v, 3u);
    EXPECT_EQ(map.GetCount(), 99);
}

}  // namespace
