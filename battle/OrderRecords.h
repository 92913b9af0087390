// The records of the battle's order queues and of the orders that travel to
// the peer and into a demo.
//
// TargetOrderRecord and UnitOrderRecord live only in this program's memory:
// the sorted queues read the due tick from the second 32-bit word and break
// ties by the side held in the first byte, so both records keep their flag
// word first and their tick second. NetOrderRecord and the demo form of a
// unit order are the bytes that leave the machine: they are written field by
// field, little-endian, and every byte not given a meaning is zero.
#pragma once

#include <array>
#include <cstdint>

#include "platform/afx/AfxTypes.h"

class CDivision;
class CObjective;

// One division order, due at `tick`. While it is pending it owns its
// objective; applying it clears the pending bit and hands the objective to
// the army.
struct TargetOrderRecord {
    enum : uint32_t {
        kSideMask = 0x3,
        kOptionA = 1u << 2,
        kOptionB = 1u << 3,
        kRunAtOnce = 1u << 4,
        kPending = 1u << 5,
        kSlotFlag = 1u << 6,
    };

    TargetOrderRecord() = default;
    TargetOrderRecord(const TargetOrderRecord&) = delete;
    TargetOrderRecord& operator=(const TargetOrderRecord&) = delete;
    ~TargetOrderRecord();

    int GetSide() const { return int(flags & kSideMask); }
    bool Has(uint32_t bit) const { return (flags & bit) != 0; }

    uint32_t flags = 0;
    uint32_t tick = 0;
    CObjective* target = nullptr;
    CDivision* division = nullptr;
};

// One army-wide command (the battle screen's command id 29..58), due at
// `tick`.
struct UnitOrderRecord {
    enum : uint32_t {
        kFlagA = 1u << 0,
        kFlagB = 1u << 1,
        kSideShift = 2,
        kWide = 1u << 4,
    };

    int GetSide() const { return int((flags >> kSideShift) & 3); }
    bool Has(uint32_t bit) const { return (flags & bit) != 0; }

    uint32_t flags = 0;
    uint32_t tick = 0;
    int32_t commandId = 0;
};

// The 52-byte order record of a tick message: thirteen 32-bit words, word 0
// the kind (3 a division order, 4 an army command), word 12 the tick at
// which the peer applies it. Kind 4 keeps flag A, flag B and the wide byte
// in bytes 8, 9 and 10.
struct NetOrderRecord {
    static constexpr int kWords = 13;
    static constexpr int kBytes = 52;
    enum : int32_t { kDivisionOrder = 3, kArmyCommand = 4 };
    // Bits of word 11 of a division order.
    enum : uint32_t { kOptionA = 1, kOptionB = 2, kRunAtOnce = 4, kSlotFlag = 8 };

    std::array<uint32_t, kWords> words{};

    int32_t Kind() const { return int32_t(words[0]); }
    uint32_t Tick() const { return words[12]; }
    BYTE ByteAt(int index) const { return BYTE(words[size_t(index / 4)] >> (8 * (index % 4))); }
    void SetByte(int index, BYTE value);

    std::array<BYTE, kBytes> ToBytes() const;
    static NetOrderRecord FromBytes(const BYTE* bytes);
};

// The demo's 9-byte form of a unit order: a flag byte (bit 0 always, bit 1
// for a side other than 0, bit 2 flag A, bit 3 flag B, bit 4 a wide
// screen), then the command id and the tick, little-endian.
std::array<BYTE, 9> EncodeDemoUnitOrder(const UnitOrderRecord& record, bool wideScreen);

// What a formation command (35..58) asks of the army: the formation
// equivalent to its current one under an order flag (35..43), or the army
// formation of a given number (44..58). Kind None for any other command.
struct CCommandFormation {
    enum Kind { None, ByFlag, ByNumber };
    Kind kind = None;
    uint32_t value = 0;
};
CCommandFormation CommandFormationOf(int commandId);
