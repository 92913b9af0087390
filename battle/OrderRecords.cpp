#include "battle/OrderRecords.h"

#include "Units/Objective.h"

TargetOrderRecord::~TargetOrderRecord() {
    if (Has(kPending)) delete target;
}

void NetOrderRecord::SetByte(int index, BYTE value) {
    uint32_t& w = words[size_t(index / 4)];
    int shift = 8 * (index % 4);
    w = (w & ~(0xFFu << shift)) | (uint32_t(value) << shift);
}

std::array<BYTE, NetOrderRecord::kBytes> NetOrderRecord::ToBytes() const {
    std::array<BYTE, kBytes> out{};
    for (int i = 0; i < kBytes; ++i) out[size_t(i)] = ByteAt(i);
    return out;
}

NetOrderRecord NetOrderRecord::FromBytes(const BYTE* bytes) {
    NetOrderRecord r;
    for (int i = 0; i < kBytes; ++i) r.SetByte(i, bytes[i]);
    return r;
}

std::array<BYTE, 9> EncodeDemoUnitOrder(const UnitOrderRecord& record, bool wideScreen) {
    std::array<BYTE, 9> out{};
    BYTE flags = 1;
    if (record.GetSide() != 0) flags |= 2;
    if (record.Has(UnitOrderRecord::kFlagA)) flags |= 4;
    if (record.Has(UnitOrderRecord::kFlagB)) flags |= 8;
    if (wideScreen) flags |= 16;
    out[0] = flags;
    uint32_t id = uint32_t(record.commandId);
    for (int i = 0; i < 4; ++i) {
        out[size_t(1 + i)] = BYTE(id >> (8 * i));
        out[size_t(5 + i)] = BYTE(record.tick >> (8 * i));
    }
    return out;
}

CCommandFormation CommandFormationOf(int commandId) {
    static const uint32_t kFlags[9] = {0x20000000, 0x1000, 0x10000, 0x20000, 0x40000,
                                       0x40000000, 0x40000000, 0x40000000, 0x80000};
    static const uint32_t kFormations[15] = {70, 94, 90, 98, 93, 3, 10, 99, 100, 97, 101, 95, 96, 92, 26};
    if (commandId >= 35 && commandId <= 43) return {CCommandFormation::ByFlag, kFlags[commandId - 35]};
    if (commandId >= 44 && commandId <= 58) return {CCommandFormation::ByNumber, kFormations[commandId - 44]};
    return {};
}
