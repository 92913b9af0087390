// The window layer in one include: windows, views, frames, documents, the
// application, dialogs, the message queue and the display.
#pragma once

#include "platform/win/Dialog.h"
#include "platform/win/Display.h"
#include "platform/win/Document.h"
#include "platform/win/FrameWnd.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/View.h"
#include "platform/win/WinApp.h"
#include "platform/win/WinDefs.h"
#include "platform/win/Wnd.h"
