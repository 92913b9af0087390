// The platform's message box. The window layer installs a handler that
// shows a modal box; until then (and in headless runs) each text is written
// to standard error and recorded, so tests can read what the player would
// have been told.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/afx/AfxTypes.h"

enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows `text` with `caption`; returns the button chosen (IDOK when no one
// can answer).
int AfxMessageBox(const char* text, UINT type = MB_OK, const char* caption = "Velmor");

// Replaces the handler (null restores recording to standard error).
void AfxSetMessageBoxHandler(std::function<int(const char* text, const char* caption, UINT type)> handler);

// The texts shown since the last clear, oldest first: the latest
// kShownMessagesKept of them, so a long run's record stays small.
constexpr size_t kShownMessagesKept = 256;
std::vector<std::string> AfxGetShownMessages();
void AfxClearShownMessages();
