// The on-screen message log: short notices stacked up from the bottom of the
// screen, each gone four seconds after it was added.
#include <cstdarg>
#include <cstdio>

#include "Animate/LetterSet.h"
#include "shell/OrvaneView.h"

namespace {
// A line shown for this long is removed at the next redraw.
const int32_t kLifetimeMs = 4001;
}  // namespace

void COrvaneView::PrintMessage(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    AddMessage(buffer);
}

namespace {
CLogEntry* MakeEntry(const CString& text, int letterHeight) {
    auto* e = new CLogEntry;
    e->Added = GetTickCount();
    int breaks = 0;
    for (int i = 0; i < text.GetLength(); ++i) breaks += text[i] == '\n';
    e->Height = (breaks + 1) * letterHeight;
    e->Text = text;
    return e;
}
}  // namespace

void COrvaneView::AddMessage(const char* text) {
    CString rest = text ? text : "";
    int lw = std::max(1, GetLetterWidth());
    int lh = GetLetterHeight();
    if (rest.GetLength() * lw <= m_nScreenWidth) {
        m_messages.AddTail(MakeEntry(rest, lh));
    } else {
        // Wrapped parts go to the front in reading order, so they stand at
        // the bottom of the log, the first part above the later ones.
        int perLine = std::max(1, m_nScreenWidth / lw - 2);
        while (rest.GetLength() > perLine) {
            int cut = perLine;
            while (cut >= 0 && rest[cut] != ' ') --cut;
            if (cut < 0) break;  // no blank: the rest stays one entry
            m_messages.AddHead(MakeEntry(rest.Left(cut), lh));
            rest = rest.Mid(cut + 1);
        }
        m_messages.AddHead(MakeEntry(rest, lh));
    }
    LogChanged = 1;
    SetTimerInterval2(50);
}

void COrvaneView::DrawMessages() {
    if (!LogChanged) return;
    DWORD now = GetTickCount();
    // Expiry stops at the first entry still young enough, even when later
    // ones are older: a wrapped text keeps the lines above it up.
    while (!m_messages.IsEmpty() && int32_t(now - m_messages.GetAt(0)->Added) >= kLifetimeMs) m_messages.RemoveAt(0);

    bool battle = GameMode == MODE_BATTLE;
    if (!battle) {
        RedrawRect(&m_lastLogArea, &GetIcons());
        // Buttons come back in the state they are shown in (a highlighted
        // one stays highlighted).
        SetButtonState(-1, TRUE, FALSE, FALSE);
    }
    if (!m_messages.IsEmpty()) {
        int bottom = m_nScreenHeight;
        int top = bottom;
        CString text;
        for (int i = m_messages.GetCount() - 1; i >= 0; --i) {
            CLogEntry* e = m_messages.GetAt(i);
            top -= e->Height;
            text += e->Text;
            text += "\n";
        }
        CRect drawn = DrawLetterText(text, 0, top);
        if (!battle) {
            CRect both = drawn | m_lastLogArea;
            Render(&both);
        }
        m_lastLogArea = drawn;
    } else {
        // The area the log covered is shown without it once more, then the
        // log rests until the next line.
        if (!battle) Render(&m_lastLogArea);
        LogChanged = 0;
        SetTimerInterval2(0);
        m_lastLogArea = CRect(0, 0, 1, 1);
    }
}

BOOL COrvaneView::LoadLetterSet(const char* name) {
    COrvaneDoc* doc = GetDocument();
    CString path = (doc ? doc->GetPicturesPath() : CString("Pictures\\")) + name + ".giz";
    // A letter set that failed is not tried again: text is drawn often.
    if (HasFailed(path)) return FALSE;
    auto* set = new CPhasedSprite;
    if (!set->LoadPicture(path, m_nColourDepth, nullptr) || !set->SetRowCount(1) ||
        !set->SetColumnCount(kLetterSetCells)) {
        delete set;
        ReportFailedFile(path, "The letter set");
        return FALSE;
    }
    delete m_pLetterSet;
    m_pLetterSet = set;
    SetLetterCellSize(set->GetWidth(), set->GetHeight());
    return TRUE;
}

CRect COrvaneView::DrawLetterText(const char* text, int x, int y, BOOL erase, double scale) {
    CDIBSurface* buffer = GetBackBuffer();
    if (!buffer || !text) return CRect(0, 0, 0, 0);
    if (!m_pLetterSet) LoadLetterSet("Letter Set");
    CRect area = LetterTextRect(text, x, y);
    CRect clip(0, 0, buffer->GetWidth(), buffer->GetHeight());
    if (GameMode != MODE_BATTLE && GameMode != MODE_WORLD_MAP) SetButtonState(-1, TRUE, FALSE, FALSE);
    if (erase) {
        RedrawRect(&area, &GetIcons());
        area &= clip;
    }
    DrawLetters(m_pLetterSet, buffer, clip, text, x, y, scale);
    return area;
}
