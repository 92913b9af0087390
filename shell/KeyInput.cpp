// The keyboard: modifiers and arrow keys on key-down, characters to the
// typed-key handler (the one keyword, the text entry, the speed and scroll
// levels and the battle's army commands), the function keys on key-up.
#include <algorithm>
#include <cstring>
#include <string>
#include <strings.h>

#include "army/Army.h"
#include "core/GameTables.h"
#include "shell/OrvaneView.h"
#include "Units/Division.h"

namespace {
// The last seven characters typed in this run, watched for the keyword.
std::string KeywordBuffer;
const char* const kKeyword = "version";
const size_t kKeywordLength = 7;
// Function keys by their codes.
const UINT kKeyF3 = VK_F1 + 2, kKeyF4 = VK_F1 + 3, kKeyF5 = VK_F1 + 4, kKeyF7 = VK_F1 + 6, kKeyF8 = VK_F1 + 7,
           kKeyF9 = VK_F1 + 8;
const UINT kKeyPrintScreen = 0x2C, kKeyApps = 0x5D;

// Arrow keys: their bit and the velocity they set (x, y, in scroll steps).
struct ArrowKey {
    UINT key;
    BYTE bit;
    int dx, dy;
};
const ArrowKey kArrows[] = {
    {VK_UP, 1, 0, -1}, {VK_DOWN, 2, 0, 1}, {VK_LEFT, 4, -1, 0}, {VK_RIGHT, 8, 1, 0}};

// The army orders of the keys s, d, f and the space.
int ArmyOrderOfKey(int character) {
    switch (character) {
    case 's':
    case 'S': return 30;
    case 'd':
    case 'D': return 34;
    case 'f':
    case 'F': return 31;
    case ' ': return 29;
    default: return 0;
    }
}
// The division a digit key focuses (1..9, 0, -, = give 0..11), or -1.
int DivisionOfKey(int character) {
    if (character >= '1' && character <= '9') return character - '1';
    if (character == '0') return 9;
    if (character == '-') return 10;
    if (character == '=') return 11;
    return -1;
}
}  // namespace

void COrvaneView::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    if (ch == VK_SHIFT) ShiftHeld = 1;
    if (ch == VK_CONTROL) CtrlHeld = 1;
    for (const ArrowKey& a : kArrows) {
        if (ch != a.key) continue;
        // Auto-repeat of a held arrow changes nothing.
        if (!(ArrowBits & a.bit)) {
            ArrowBits |= a.bit;
            if (a.dx) ScrollVelocityX = a.dx * ScrollStep;
            if (a.dy) ScrollVelocityY = a.dy * ScrollStep;
            Scrolling = 1;
        }
        COrvaneViewBase::OnKeyDown(ch, repeat, flags);
        return;
    }
    if (ch == VK_TAB) {
        OnCommandKey('`');
    } else {
        int character = KeyToChar(int(ch), ShiftHeld != 0);
        if (character > 0) OnTypedKey(character, int(repeat), int(flags & 0xFF));
    }
    COrvaneViewBase::OnKeyDown(ch, repeat, flags);
}

void COrvaneView::OnTypedKey(int character, int, int) {
    if (character == 27) {
        PauseForOptions();
        return;
    }
    KeywordBuffer += char(character);
    if (KeywordBuffer.size() > kKeywordLength) KeywordBuffer.erase(0, KeywordBuffer.size() - kKeywordLength);
    if (strcasecmp(KeywordBuffer.c_str(), kKeyword) == 0) AfxMessageBox("Velmor Inhouse Version Number: 100");

    if (OnTextEntryKey(character)) return;

    if (character == '`' || character == '~') {
        if (DemoPlayback) {
            DemoPlayback = 0;
            ClearOrderQueues();
            LocalSide = 0;
            OtherSide = 1;
            ChangeMode(MODE_MAIN_MENU);
        } else if (Recording) {
            Recording = 0;
        } else if (CtrlHeld) {
            OnCommandKey(character);
        }
        return;
    }
    if (CtrlHeld && (DivisionOfKey(character) >= 0 || character == '+')) {
        OnCommandKey(character);
        return;
    }
    if (ArmyOrderOfKey(character) || character == 'a' || character == 'A') {
        OnCommandKey(character);
        return;
    }
    COrvaneDoc* doc = GetDocument();
    if (!doc) return;
    int speed = doc->GetSpeedLevel(), scroll = doc->GetScrollLevel();
    switch (character) {
    case '-': speed = std::max(speed - 1, 0); break;
    case '+': speed = std::min(speed + 1, 9); break;
    case '0': speed = scroll = 9; break;
    case '/': scroll = std::max(scroll - 1, 0); break;
    case '*': scroll = std::min(scroll + 1, 9); break;
    default: return;
    }
    doc->SetSpeedLevel(speed);
    doc->SetScrollLevel(scroll);
}

void COrvaneView::OnCommandKey(int character) {
    // Army commands belong to a loaded battle, nowhere else.
    CArmy* army = Armies[LocalSide & 3];
    if (GameMode != MODE_BATTLE || !army || !BattleArmies[LocalSide & 3]) return;
    if (int order = ArmyOrderOfKey(character)) {
        bool networked = IsConnected();
        if (networked) PostNetUnitOrder(order, 1, 0);
        QueueUnitOrder(order, 1, 0, LocalSide, networked ? BattleTick + 1 : BattleTick, 255);
        return;
    }
    if (character == 'a' || character == 'A') {
        SelectAllDivisions();
        return;
    }
    int count = army->m_divisions.GetCount();
    if (character == '`') {
        // The next division still in the battle, round the army.
        for (int step = 1; step <= count; ++step) {
            int index = (NextFocusDivision + step) % count;
            int i = 0;
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos; ++i) {
                CDivision* d = army->m_divisions.GetDivision(pos);
                if (i == index && d->m_active) {
                    NextFocusDivision = index;
                    FocusDivision(index);
                    return;
                }
            }
        }
        return;
    }
    int index = DivisionOfKey(character);
    if (index >= 0 && index < count) FocusDivision(index);
}

void COrvaneView::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
    if (ch == VK_SHIFT) ShiftHeld = 0;
    if (ch == VK_CONTROL) CtrlHeld = 0;
    bool handled = ch == VK_SHIFT || ch == VK_CONTROL;
    for (const ArrowKey& a : kArrows) {
        if (ch != a.key) continue;
        handled = true;
        ArrowBits &= BYTE(~a.bit);
        if (a.dx) ScrollVelocityX = 0;
        if (a.dy) ScrollVelocityY = 0;
        if (ScrollVelocityX == 0 && ScrollVelocityY == 0) Scrolling = 0;
    }
    COrvaneDoc* doc = GetDocument();
    switch (ch) {
    case kKeyPrintScreen:
        // Ctrl: the whole field; Shift: the whole field with its markers
        // only; both together: nothing.
        if (!CtrlHeld || !ShiftHeld) SaveScreenshot(CtrlHeld || ShiftHeld ? 1 : 0, ShiftHeld ? 0 : 1);
        handled = true;
        break;
    case kKeyF3:
        SaveScreenshot(0, 1);
        handled = true;
        break;
    case kKeyF4:
        SaveScreenshot(1, 0);
        handled = true;
        break;
    case kKeyF5:
        if (doc) {
            BOOL on = !(doc->GetFlagA() || doc->GetFlagB());
            doc->SetFlagA(on);
            doc->SetFlagB(on);
            SoundManager.EnableMusic(on);
            SoundManager.EnableEffects(on);
        }
        handled = true;
        break;
    case kKeyF9:
        if (DemoPlayback) {
            ChatStream = !ChatStream;
            PrintMessage("chat stream is %s", ChatStream ? "ON" : "OFF");
        }
        handled = true;
        break;
    default: break;
    }
    if (GameMode == MODE_BATTLE && !handled) {
        if (ch == VK_PAUSE && !PauseRunning) PauseBattle();
        else if (ch == kKeyF7) {
            EffectsShown = !EffectsShown;
            for (POSITION pos = EffectIcons.GetHeadPosition(); pos;)
                static_cast<CIcon*>(EffectIcons.GetNext(pos))->m_bEnabled = EffectsShown;
        } else if (ch == kKeyF8) {
            OverlayShown = !OverlayShown;
        } else if (ch == kKeyApps) {
            TogglePanelsByKey();
        }
    }
    COrvaneViewBase::OnKeyUp(ch, repeat, flags);
}

void COrvaneView::TogglePanelsByKey() {
    if (OverlayFlags) {
        if (OverlayFlags & 2) ShowFormationPanel(FALSE);
        if (OverlayFlags & 1) {
            ShowOrderPanel(FALSE);
            return;
        }
        if (OverlayFlags & (4 | 8)) {
            PlaceDivisionPanel(FALSE, -1, -1000, -1000);
            CloseDivisionPanels(FALSE, -1000, -1000);
        }
        return;
    }
    // The selected division nearest the middle of what is shown.
    const CRect& f = m_rcFieldArea;
    const CPoint middle = f.CenterPoint();
    CDivision* nearest = nullptr;
    CPoint at;
    long long best = 0;
    for (int i = 0; i < SelectedDivisions.GetCount(); ++i) {
        CDivision* d = SelectedDivisions.GetAt(i);
        CPoint p(d->m_x, d->m_y);
        FieldToScreen(p);
        if (!f.PtInRect(p)) continue;
        const long long dx = p.x - middle.x, dy = p.y - middle.y;
        if (nearest && dx * dx + dy * dy >= best) continue;
        nearest = d, at = p, best = dx * dx + dy * dy;
    }
    if (!nearest) return;
    PlaceDivisionPanel(TRUE, nearest->m_number, std::clamp<int>(at.x, f.left, f.right - 100),
                       std::clamp<int>(at.y, f.top, f.bottom - 160));
}
