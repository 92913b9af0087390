// The battle's two order queues: every division order and army command
// passes through them, stamped with the tick at which it runs, so both peers
// and a demo's playback apply the same orders at the same tick in the same
// order (tick, then side; among equals the newest first).
#include "Units/Division.h"
#include "Units/Objective.h"
#include "shell/OrvaneView.h"

namespace {
constexpr uint32_t kDefault = 0xFFFFFFFF;
constexpr int kFrontStep = 500;
}  // namespace

void COrvaneView::QueueTargetOrder(CDivision* division, CObjective* objective, int side, uint32_t tick,
                                   BYTE slotFlag, BYTE runAtOnce, BYTE optionA, BYTE optionB) {
    auto* r = new TargetOrderRecord;
    if (side == -1) side = LocalSide;
    if (tick == kDefault) tick = BattleTick;
    bool slot = slotFlag == 255 ? (division && division->m_formationByte) : slotFlag != 0;
    r->flags = uint32_t(side) & TargetOrderRecord::kSideMask;
    if (optionA) r->flags |= TargetOrderRecord::kOptionA;
    if (optionB) r->flags |= TargetOrderRecord::kOptionB;
    if (runAtOnce) r->flags |= TargetOrderRecord::kRunAtOnce;
    if (slot) r->flags |= TargetOrderRecord::kSlotFlag;
    r->flags |= TargetOrderRecord::kPending;
    r->tick = tick;
    r->target = objective;
    r->division = division;
    TargetOrders.InsertSorted(r);
    if (Recording && DemoSink && division && objective)
        DemoSink->RecordDemoOrder(division->m_number, *objective, r->GetSide(), r->tick, slotFlag != 0, runAtOnce,
                                  optionA, optionB);
}

void COrvaneView::QueueUnitOrder(int commandId, BYTE flagA, BYTE flagB, int side, uint32_t tick, BYTE wide) {
    auto* r = new UnitOrderRecord;
    if (side == -1) side = LocalSide;
    if (tick == kDefault) tick = BattleTick;
    bool isWide = wide == 255 ? GetScreenWidth() > 1024 : wide != 0;
    r->commandId = commandId;
    if (flagA) r->flags |= UnitOrderRecord::kFlagA;
    if (flagB) r->flags |= UnitOrderRecord::kFlagB;
    r->flags |= (uint32_t(side) & 3) << UnitOrderRecord::kSideShift;
    if (isWide) r->flags |= UnitOrderRecord::kWide;
    r->tick = tick;
    UnitOrders.InsertSorted(r);
    if (Recording && DemoSink) {
        std::array<BYTE, 9> bytes = EncodeDemoUnitOrder(*r, GetScreenWidth() > 1024);
        DemoSink->WriteUnitOrder(bytes.data(), int(bytes.size()));
    }
}

BOOL COrvaneView::PostNetOrder(int type, int x, int y, int targetId, int facing, int divisionId, BYTE slotFlag,
                               BYTE optionA, BYTE optionB, BYTE runAtOnce, int extra1, int extra2, int extra3,
                               int extra4) {
    auto* r = new NetOrderRecord;
    const int32_t fields[11] = {NetOrderRecord::kDivisionOrder, type, x, y, targetId, facing,
                                extra1, extra2, extra3, extra4, divisionId};
    for (int i = 0; i < 11; ++i) r->words[size_t(i)] = uint32_t(fields[i]);
    uint32_t bits = 0;
    if (optionA & 1) bits |= NetOrderRecord::kOptionA;
    if (optionB & 1) bits |= NetOrderRecord::kOptionB;
    if (runAtOnce & 1) bits |= NetOrderRecord::kRunAtOnce;
    if (slotFlag & 1) bits |= NetOrderRecord::kSlotFlag;
    r->words[11] = bits;
    r->words[12] = BattleTick + 1;
    OutgoingOrders.AddTail(r);
    return TRUE;
}

BOOL COrvaneView::PostNetUnitOrder(int commandId, BYTE flagA, BYTE flagB) {
    auto* r = new NetOrderRecord;
    r->words[0] = uint32_t(NetOrderRecord::kArmyCommand);
    r->words[1] = uint32_t(commandId);
    r->SetByte(8, flagA ? 1 : 0);
    r->SetByte(9, flagB ? 1 : 0);
    r->SetByte(10, GetScreenWidth() > 1024 ? 1 : 0);
    r->words[12] = BattleTick + 1;
    OutgoingOrders.AddTail(r);
    return TRUE;
}

BOOL COrvaneView::ApplyPeerOrder(const NetOrderRecord& record) {
    const auto& w = record.words;
    if (record.Kind() == NetOrderRecord::kArmyCommand) {
        QueueUnitOrder(int32_t(w[1]), record.ByteAt(8) & 1, record.ByteAt(9) & 1, OtherSide, record.Tick(),
                       record.ByteAt(10) & 1);
        return TRUE;
    }
    if (record.Kind() != NetOrderRecord::kDivisionOrder) return FALSE;
    IViewArmy* army = (OtherSide >= 0 && OtherSide < 4) ? BattleArmies[OtherSide] : nullptr;
    CDivision* division = army ? army->FindDivision(int32_t(w[10])) : nullptr;
    if (!division) return FALSE;
    auto* objective = new CObjective(int32_t(w[1]), int32_t(w[2]), int32_t(w[3]), int32_t(w[4]), int32_t(w[5]),
                                     int32_t(w[6]), int32_t(w[7]), int32_t(w[8]), int32_t(w[9]));
    uint32_t bits = w[11];
    QueueTargetOrder(division, objective, OtherSide, record.Tick(), (bits & NetOrderRecord::kSlotFlag) ? 1 : 0,
                     (bits & NetOrderRecord::kRunAtOnce) ? 1 : 0, (bits & NetOrderRecord::kOptionA) ? 1 : 0,
                     (bits & NetOrderRecord::kOptionB) ? 1 : 0);
    return TRUE;
}

// A head whose tick lies behind the current one can never come due: the
// peers have already parted. It is reported and dropped so the orders
// behind it still run.
template <typename Queue>
static bool DropPastHead(COrvaneView& view, Queue& queue, const char* what) {
    auto* head = queue.GetAt(0);
    if (!head || head->tick >= view.BattleTick) return false;
    view.PrintMessage("%s due at tick %u reached tick %u: dropped", what, head->tick, view.BattleTick);
    queue.RemoveAt(0);
    delete head;
    return true;
}

void COrvaneView::RunDueTargetOrders() {
    while (!TargetOrders.IsEmpty()) {
        if (DropPastHead(*this, TargetOrders, "A division order")) continue;
        TargetOrderRecord* r = TargetOrders.GetAt(0);
        if (r->tick != BattleTick) break;
        r->flags &= ~uint32_t(TargetOrderRecord::kPending);
        TargetOrders.RemoveAt(0);
        IViewArmy* army = BattleArmies[r->GetSide()];
        if (r->division) r->division->m_formationByte = r->Has(TargetOrderRecord::kSlotFlag) ? 1 : 0;
        if (army && r->division) {
            army->SendOrder(r->division, r->target, r->Has(TargetOrderRecord::kOptionA),
                            r->Has(TargetOrderRecord::kOptionB));
            if (r->Has(TargetOrderRecord::kRunAtOnce)) army->ProcessQueuedDivision(r->division->m_number);
        } else {
            // No army to take it: the objective goes with the record.
            delete r->target;
        }
        delete r;
    }
}

void COrvaneView::RunDueUnitOrders() {
    while (!UnitOrders.IsEmpty()) {
        if (DropPastHead(*this, UnitOrders, "An army command")) continue;
        UnitOrderRecord* r = UnitOrders.GetAt(0);
        if (r->tick != BattleTick) break;
        UnitOrders.RemoveAt(0);
        IViewArmy* army = BattleArmies[r->GetSide()];
        BOOL flagA = r->Has(UnitOrderRecord::kFlagA), flagB = r->Has(UnitOrderRecord::kFlagB);
        // A wide screen of side 1 sees the field the other way round.
        int sense = (r->GetSide() == 1 && r->Has(UnitOrderRecord::kWide)) ? -1 : 1;
        int id = r->commandId;
        if (army) {
            if (id == 29) army->BeatDrum();
            else if (id == 30) army->AdvanceFront(flagB, flagA, -kFrontStep * sense);
            else if (id == 31) army->AdvanceFront(flagB, flagA, kFrontStep * sense);
            else if (id == 32) army->OrderAllWithdraw();
            else if (id == 34) army->ApplyFrontStep();
            else if (id >= 35 && id <= 57) army->RepositionDivisions(GetCommandFormation(id));
        }
        delete r;
    }
}

void COrvaneView::ClearOrderQueues() {
    while (TargetOrderRecord* r = TargetOrders.GetAt(0)) {
        TargetOrders.RemoveAt(0);
        delete r;
    }
    while (UnitOrderRecord* r = UnitOrders.GetAt(0)) {
        UnitOrders.RemoveAt(0);
        delete r;
    }
    OutgoingOrders.RemoveAll();
}
