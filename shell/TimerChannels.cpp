// The three timer channels, the idle entry, the wait pump and the on-screen
// text entry.
#include <algorithm>
#include <cstring>

#include "core/GameTables.h"
#include "shell/OrvaneApp.h"
#include "shell/OrvaneView.h"

void COrvaneView::SetTimerInterval1(int interval) { SetTimerInterval(0, interval); }
void COrvaneView::SetTimerInterval2(int interval) { SetTimerInterval(1, interval); }
void COrvaneView::SetTimerInterval3(int interval) { SetTimerInterval(2, interval); }

void COrvaneView::SetTimerInterval(int channel, int interval) {
    if (TimerHandle) {
        KillTimer(1);
        TimerHandle = 0;
    }
    COrvaneApp* app = GetOrvaneApp();
    if (app && app->GetIdleView() == this) app->SetIdleView(nullptr);

    CTimerChannel& c = Channels[channel];
    c.PrevInterval = c.Interval;
    c.Interval = interval;
    c.Active = interval != 0 ? 1 : 0;

    int shortest = 0;
    bool idle = false;
    for (const CTimerChannel& ch : Channels) {
        if (ch.Interval < 0) idle = true;
        if (ch.Interval > 0 && (shortest == 0 || ch.Interval < shortest)) shortest = ch.Interval;
    }
    if (idle && app) app->SetIdleView(this);
    if (shortest > 0 && m_hWnd) TimerHandle = SetTimer(1, UINT(shortest));
}

void COrvaneView::OnTimer(UINT_PTR) {
    DWORD now = GetTickCount();
    for (int n = 0; n < 3; ++n) {
        CTimerChannel& c = Channels[n];
        // The difference is signed, so a wrap of the clock does not stop a
        // channel; a negative interval is due on every call.
        if (c.Interval != 0 && int32_t(now - c.LastRun) > c.Interval) {
            OnTimerStep(n + 1);
            Channels[n].LastRun = now;
        }
    }
}

void COrvaneView::OnIdle() {
    if (!TickGuard) OnTimer(1);
}

bool COrvaneView::WaitWhileFlag(BYTE* flag, int timeoutSeconds) {
    DWORD start = GetTickCount();
    int mode = GameMode;
    if (!*flag) return true;
    while (*flag) {
        if (timeoutSeconds >= 0 && int32_t(GetTickCount() - start) > timeoutSeconds * 1000) break;
        if (!IsConnected() && !TextEntryActive) break;
        if (GameMode != mode) break;
        MSG msg;
        if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Whatever clears the flag comes with a message or a timer;
            // a short wait, never past the time-out, keeps the loop from
            // spinning meanwhile.
            int32_t wait = 10;
            if (timeoutSeconds >= 0)
                wait = std::clamp<int32_t>(timeoutSeconds * 1000 + 1 - int32_t(GetTickCount() - start), 1, 10);
            WaitMessageTimeout(DWORD(wait));
            continue;
        }
        if (msg.message == WM_QUIT) {
            // The program is ending: stop waiting and leave the quit to the
            // outer loop.
            PostQuitMessage(int(msg.wParam));
            break;
        }
        // Clicks made while waiting are lost; keys and timers go through.
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MBUTTONDBLCLK &&
            !(msg.message == WM_MOUSEMOVE && GameMode == MODE_SBTTL_MENU))
            continue;
        DispatchMessage(&msg);
    }
    return !*flag;
}

void COrvaneView::DrawTextEntry() {
    int lw = GetLetterWidth(), lh = GetLetterHeight();
    CRect line(EntryX, EntryY, m_nScreenWidth, EntryY + lh);
    RedrawRect(&line, &GetIcons());
    CString shown = EntryText + " ";
    DrawLetterText(shown, EntryX, EntryY);
    int caretX = EntryX + EntryText.GetLength() * lw;
    // The caret: a gold block one letter wide.
    FillRect(caretX, EntryY, caretX + lw, EntryY + lh, 0xE0DD00, FALSE);
    Render(&line);
}

void COrvaneView::EditTextOnScreen(CString& text, int x, int y, int maximum, int minimum) {
    if (TextEntryActive) return;
    TextEntryActive = 1;
    EntryPos = 0;
    EntryText = text;
    EntryX = x;
    EntryY = y;
    EntryMaximum = maximum;
    EntryMinimum = minimum;
    EntryChanged = 0;
    while (ShowCursor(FALSE) >= 0) {
    }
    DrawTextEntry();

    int mode = GameMode;
    WaitWhileFlag(&TextEntryActive, -1);
    bool completed = !TextEntryActive;
    // An entry abandoned by a mode change or a lost session is closed here,
    // or every later entry would refuse to open.
    TextEntryActive = 0;

    if (completed && GameMode == mode && IsConnected()) {
        int lw = GetLetterWidth();
        int caretX = EntryX + EntryText.GetLength() * lw;
        CRect caret(caretX, EntryY, caretX + lw, EntryY + GetLetterHeight());
        RedrawRect(&caret, &GetIcons());
        Render(&caret);
        text = EntryText;
    }
    while (ShowCursor(TRUE) < 0) {
    }
}

bool COrvaneView::OnTextEntryKey(int character) {
    if (!TextEntryActive) return false;
    static const char kAccepted[] = "/.,;:'*\"?!% -()[]@\\";
    bool letterOrDigit = (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
                         (character >= '0' && character <= '9');
    bool mark = character > 0 && character < 128 && std::strchr(kAccepted, character) != nullptr;
    if (letterOrDigit || mark) {
        if (EntryText.GetLength() < EntryMaximum) {
            EntryText += char(character);
            if (character != ' ') EntryChanged = 1;
        }
    } else if (character == 8) {
        if (EntryText.GetLength() > EntryMinimum) {
            EntryText = EntryText.Left(EntryText.GetLength() - 1);
            if (EntryText.GetLength() == EntryMinimum) EntryChanged = 0;
        }
    } else if (character == 13) {
        if (EntryText.GetLength() >= EntryMinimum) TextEntryActive = 0;
    }
    if (GameMode != MODE_BATTLE && TextEntryActive) DrawTextEntry();
    return true;
}
