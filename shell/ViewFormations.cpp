// The view's formation lists and the armies' after-battle summaries.
#include "army/Army.h"
#include "shell/OrvaneView.h"

BOOL COrvaneView::LoadDefaultFormationLists(const char* fileName) { return FormationLists.Load(fileName); }

BOOL COrvaneView::ReloadDefaultFormations(const char* fileName) {
    CString path;
    if (COrvaneDoc* doc = GetDocument()) path = doc->GetDataPath();
    path += fileName;
    return LoadDefaultFormationLists(path);
}

void COrvaneView::FillStatusSummaries() {
    for (int side = 0; side < 2; ++side)
        if (Armies[side]) Armies[side]->FillStatus(&StatusSummaries[side]);
}

void COrvaneView::ResetStatusSummaries() {
    for (CStatusSummary15& summary : StatusSummaries) summary.Reset();
}
