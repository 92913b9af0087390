// The deployment screen's pictures: the battlefield's tactic map, the
// picture of the army formation, the generals' portraits, the icon hit
// test and the screen's message popups.
#include "Animate/TacticPictureNames.h"
#include "core/Helpers.h"
#include "shell/OrvaneView.h"
#include "ui/TacticScreen.h"

namespace {
// Pictures of the screen's popups: the system message backing and the
// message itself.
const char* const kPopupBacking = "popup dialog system message bkgnd";
const char* PopupMessage(int message) {
    switch (message) {
    case kPopupSelectGeneral: return "msg/msg tctc select general";
    case kPopupMaxDivisions: return "msg/msg tctc max divisions";
    case kPopupNoDetachment: return "msg/msg tctc no detachment allowed";
    default: return nullptr;
    }
}
// Icon numbers of a popup standing over the map.
constexpr int kPopupBackingIcon = 60;
constexpr int kPopupMessageIcon = 61;
}  // namespace

void DeleteSpriteById(CSpriteList& sprites, int id) {
    if (CSprite* old = sprites.Find(id)) {
        sprites.Remove(old, FALSE);
        delete old;
    }
}

BOOL COrvaneView::ShowTacticMap(const char* name, BOOL redraw) {
    CSprite* sprite = LoadSpriteSet(name, TRUE, kTacticMapIcon, 1, 1, -1);
    if (!sprite) return TRUE;
    sprite->SetHidden(FALSE);
    bool narrow = m_nScreenWidth <= 1024;
    CIcon* icon = AddIcon(sprite, narrow ? 393 : 456, narrow ? 30 : 38, kTacticMapIcon, TRUE, 0, 24, 40, 29, 42);
    // Everything else of the screen draws over the map.
    icon->SetDepth(1, TRUE);
    CRect r = icon->GetRect();
    RedrawRect(&r, &GetIcons());
    if (redraw) Render(&r, FALSE);
    return TRUE;
}

BOOL COrvaneView::ShowFormationPicture(BOOL redraw) {
    GetIcons().RemoveById(kTacticFormationIcon, TRUE);
    DeleteSpriteById(GetSprites(), kTacticFormationIcon);
    COrvaneDoc* doc = GetDocument();
    CString name = (doc ? doc->GetPicturesPath() : CString("Pictures\\")) +
                   TacticFormationFile(m_nScreenWidth, TacticFormationPictureName(GetTacticState().armyFormationId))
                       .c_str() +
                   ".giz";
    CSprite* sprite = LoadSpriteSet(name, TRUE, kTacticFormationIcon, 1, 1, -1);
    if (!sprite) return TRUE;
    bool narrow = m_nScreenWidth <= 1024;
    CIcon* icon =
        AddIcon(sprite, narrow ? 633 : 791, narrow ? 488 : 663, kTacticFormationIcon, TRUE, 0, 24, 40, 29, 42);
    CRect r = icon->GetRect();
    RedrawRect(&r, &GetIcons());
    if (redraw) Render(&r, FALSE);
    return TRUE;
}

void COrvaneView::ShowPortrait(CPerson* general, int x, int y, BOOL redraw) {
    if (!general) return;
    COrvaneDoc* doc = GetDocument();
    CString name = (doc ? doc->GetPortraitPath() : CString("Pictures\\Portrait\\")) + general->text3 + ".giz";
    if (!AfxPathExists(name)) {
        ShowMessage("ERROR: Bitmap %s cannot be loaded!", (const char*)name);
        return;
    }
    CSprite* sprite = LoadSpriteSet(name, TRUE, kPortraitIconBase + general->id, 1, 1, -1);
    if (!sprite) return;
    CIcon* icon = AddIcon(sprite, x, y, kPortraitIconBase + general->id, TRUE, 0, 24, 40, 29, 42);
    CRect r = icon->GetRect();
    RedrawRect(&r, &GetIcons());
    if (redraw) Render(&r, FALSE);
}

bool COrvaneView::HitTestIcons(int x, int y) {
    CTacticState& t = GetTacticState();
    t.hitIcon = -1;
    CIconList& icons = GetIcons();
    // The list is in drawing order: the icon on top is tried first.
    for (POSITION pos = icons.GetTailPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(icons.GetPrev(pos));
        if (GameMode == MODE_TACTIC && icon->m_nId < kPortraitIconBase) continue;
        if (!icon->HitTest(x, y, FALSE)) continue;
        t.hitIcon = icon->m_nId;
        t.hitPoint = CPoint(x, y);
        return true;
    }
    return false;
}

void COrvaneView::ShowDivisionInfo(int generalId, int slot) {
    COrvaneDoc* doc = GetDocument();
    CPerson* general = doc ? doc->m_persons.FindByID(generalId) : nullptr;
    if (!general || !RunDivisionPanel) return;
    int before = general->state;
    PopupOpen = 1;
    int result = RunDivisionPanel(*general);
    PopupOpen = 0;
    if (result == 0 || GameMode != MODE_TACTIC) return;
    if (result != 1) {
        general->state = before;
        return;
    }
    if (general->state == before || slot == -1) return;
    CTacticState& t = GetTacticState();
    if (t.selectedSlot != -1 && t.selectedSlot != slot) {
        PlaceDivisionFormation(t.selectedSlot, kPreviewPlaced, LocalSide & 1);
        t.previousSlot = t.selectedSlot;
        t.selectedSlot = -1;
    }
    AssignDivisionSlots(generalId, slot, TRUE);
}

void COrvaneView::ShowTacticPopup(int message) {
    CTacticState& t = GetTacticState();
    const char* text = PopupMessage(message);
    if (!text) return;
    t.lastPopup = message;
    GetIcons().RemoveById(kPopupBackingIcon, TRUE);
    GetIcons().RemoveById(kPopupMessageIcon, TRUE);
    COrvaneDoc* doc = GetDocument();
    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    CSprite* backing = GetSprites().Find(kPopupBackingIcon);
    if (!backing) backing = LoadSpriteSet(pictures + kPopupBacking + ".giz", TRUE, kPopupBackingIcon, 1, 1, -1);
    DeleteSpriteById(GetSprites(), kPopupMessageIcon);
    CSprite* picture = LoadSpriteSet(pictures + text + ".giz", TRUE, kPopupMessageIcon, 1, 1, -1);
    if (!backing || !picture) return;
    // Centred over the map, above everything; the next click takes it down.
    CPoint centre = t.mapArea.CenterPoint();
    int x = centre.x - backing->GetWidth() / 2, y = centre.y - backing->GetHeight() / 2;
    CIcon* b = AddIcon(backing, x, y, kPopupBackingIcon, TRUE, 0, 24, 40, 29, 42);
    b->SetDepth(32766, TRUE);
    CIcon* m = AddIcon(picture, x + 12, y + 11, kPopupMessageIcon, TRUE, 0, 24, 40, 29, 42);
    m->SetDepth(32767, TRUE);
    DrawAllSprites(FALSE);
}

// Takes a popup of the screen down; true when one was up.
bool CloseTacticPopup(COrvaneView& view) {
    CIconList& icons = view.GetIcons();
    CIcon* backing = icons.FindById(kPopupBackingIcon);
    if (!backing) return false;
    CRect r = backing->GetRect();
    icons.RemoveById(kPopupMessageIcon, TRUE);
    icons.RemoveById(kPopupBackingIcon, TRUE);
    view.RedrawRect(&r, &icons);
    view.Render(&r, FALSE);
    return true;
}
