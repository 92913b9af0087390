// The division information request of the battle screens: a general's
// division and the choice of its arm.
#include "Animate/DialogPictureNames.h"
#include "shell/OrvaneView.h"
#include "ui/DivisionSelectDlg.h"
#include "world/Person.h"

int COrvaneView::RunDivisionSelectDlg(CPerson& general) {
    COrvaneDoc* doc = GetDocument();
    if (!doc) return 0;
    CDivisionSelectDlg dlg(nullptr, nullptr);
    dlg.m_nColourDepth = m_nColourDepth;
    PopupWatch = 1;
    dlg.m_pWatched = &PopupWatch;
    dlg.m_nExpected = 1;
    dlg.m_strPictures = doc->GetPicturesPath();
    dlg.m_strButtons = doc->GetCmbPath();
    dlg.m_strPortraits = doc->GetPortraitPath();
    dlg.m_pGeneral = &general;
    dlg.m_pPersons = &doc->m_persons;
    dlg.InitButtons();
    dlg.LoadClanSprites(BattleClanName(LocalSide));
    if (!dlg.LoadBackground(doc->GetPicturesPath() + kDivInfoBackground + ".giz")) return 0;
    return int(dlg.DoModal());
}
