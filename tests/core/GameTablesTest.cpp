#include <gtest/gtest.h>

#include <set>

#include "core/GameTables.h"

namespace {

TEST(GameTables, CatalogueRoundTripsEveryType) {
    std::set<std::string> names;
    for (int type = 0; type < MapObjectTypeCount; ++type) {
        int resource = GetObjectResourceNumber(type);
        ASSERT_GT(resource, 0) << type;
        EXPECT_EQ(GetObjectTypeFromResource(resource), type) << resource;
        names.insert(std::string(GetObjectImageName(type, false)));
    }
    EXPECT_EQ(names.size(), size_t(MapObjectTypeCount)) << "every type has its own image";
    EXPECT_EQ(GetObjectResourceNumber(MapObjectTypeCount), -1);
    EXPECT_EQ(GetObjectResourceNumber(-1), -1);
    EXPECT_EQ(GetObjectTypeFromResource(10000), -1);
    EXPECT_STREQ(GetObjectImageName(391, true), "");
}

TEST(GameTables, CatalogueRows) {
    struct Case {
        int type;
        const char* name;
        int resource;
    } cases[] = {
        {0, "Tree_Acacia_Sum_1", 10001},    {11, "Tree_Acacia_Sum_12", 10012},
        {20, "water1", 12001},              {61, "Farm_House_A2", 20002},
        {62, "Farm_House_B1", 20101},       {114, "Temple_House_F1", 23501},
        {115, "Castle_Inner_Gate_E1", 31304}, {116, "Castle_Gate_A1", 30001},
        {142, "Castle_Inner_Gate_D3", 31303}, {167, "Castle_Wall_A_1", 34101},
        {198, "Castle_Wall_B_16", 34216},   {255, "M_Castle_Tower_A1", 38101},
        {296, "Rocks_A", 41000},            {303, "Rocks_H", 41700},
        {327, "Blockade_A_1", 45001},       {359, "FlagVelmor1", 46000},
        {390, "FlagQuarnith4", 46031},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetObjectImageName(c.type, false), c.name) << c.type;
        EXPECT_EQ(GetObjectResourceNumber(c.type), c.resource) << c.type;
    }
    EXPECT_STREQ(GetObjectImageName(30, true), "Field1.giz");
    EXPECT_EQ(GetFlagObjectType(1, 1), 359);
    EXPECT_EQ(GetFlagObjectType(8, 4), 390);
    EXPECT_STREQ(GetObjectImageName(GetFlagObjectType(3, 2), false), "FlagDorneth2");
    EXPECT_EQ(GetFlagObjectType(0, 1), -1);
    EXPECT_EQ(GetFlagObjectType(9, 1), -1);
    EXPECT_EQ(GetFlagObjectType(1, 5), -1);
}

TEST(GameTables, NationsAndOrderSounds) {
    EXPECT_EQ(NationIdFromName("velmor"), 1);
    EXPECT_EQ(NationIdFromName("TESKAR"), 8);
    EXPECT_EQ(NationIdFromName("Quarnith"), 8);
    EXPECT_EQ(NationIdFromName("Warrior Monks"), 11);
    EXPECT_EQ(NationIdFromName("Emperor"), 12);
    EXPECT_EQ(NationIdFromName("Independent"), -1);
    EXPECT_EQ(NationIdFromName(nullptr), -1);
    EXPECT_EQ(OrderTypeToSoundId(1), 14);
    EXPECT_EQ(OrderTypeToSoundId(512), 15);
    EXPECT_EQ(OrderTypeToSoundId(3), 10);
}

TEST(GameTables, KeyToChar) {
    struct Case {
        int key;
        int plain;
        int shifted;
    } cases[] = {
        {0x41, 'a', 'A'}, {0x5A, 'z', 'Z'}, {0x30, '0', ')'}, {0x32, '2', '@'}, {0x39, '9', '('},
        {0x60, '0', '0'}, {0x6B, '+', '+'}, {0x6F, '/', '/'}, {0xBA, ';', ':'}, {0xC0, '`', '~'},
        {0xDC, '\\', '|'}, {0xDE, '\'', '"'}, {8, 8, 8},      {32, 32, 32},     {0x10, 0, 0},
        {0x00, -1, -1},   {0x05, -2, -2},   {0xC1, -69, -69}, {0xFF, -121, -121}, {0xE5, 0, 0},
        {256, 0, 0},      {-1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyToChar(c.key, false), c.plain) << std::hex << c.key;
        EXPECT_EQ(KeyToChar(c.key, true), c.shifted) << std::hex << c.key;
    }
}

}  // namespace
