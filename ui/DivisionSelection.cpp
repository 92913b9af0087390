// The divisions the player has selected, shared by the deployment and the
// battle screens.
#include "shell/OrvaneView.h"
#include "Units/Division.h"

namespace {
// A division's own command buttons: eight from 8 x index + 59.
constexpr int kFirstDivisionButton = 59;
constexpr int kDivisionButtons = 8;

// Takes the division's selection down: its pressed command buttons are
// drawn released again, and no other division's.
void TakeMarksDown(COrvaneView& view, const CDivision* division) {
    int first = kDivisionButtons * division->GetIndex() + kFirstDivisionButton;
    for (int id = first; id < first + kDivisionButtons; ++id) {
        CCommandButton* b = view.GetButtons().FindById(id);
        if (b && b->m_bPressed) view.SetButtonState(id, TRUE, FALSE, TRUE);
    }
}
}  // namespace

bool COrvaneView::IsDivisionSelected(const CDivision* division) const {
    for (CLinkNode<CDivision>* n = SelectedDivisions.GetHeadNode(); n; n = n->next)
        if (n->element == division) return true;
    return false;
}

void COrvaneView::SelectDivision(CDivision* division, BOOL exclusive, BOOL remove) {
    if (remove) {
        if (!division) return;
        for (int i = 0; i < SelectedDivisions.GetCount(); ++i) {
            if (SelectedDivisions.GetAt(i) != division) continue;
            TakeMarksDown(*this, division);
            SelectedDivisions.RemoveAt(i);
            break;
        }
        return;
    }
    if (!division || exclusive) {
        while (CDivision* d = SelectedDivisions.RemoveTail()) TakeMarksDown(*this, d);
        if (!division) return;
    }
    if (IsDivisionSelected(division)) return;
    SelectedDivisions.AddTail(division);
}
