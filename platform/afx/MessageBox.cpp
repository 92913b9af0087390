#include "platform/afx/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex g_lock;
std::function<int(const char*, const char*, UINT)> g_handler;
std::vector<std::string> g_shown;
}  // namespace

int AfxMessageBox(const char* text, UINT type, const char* caption) {
    std::function<int(const char*, const char*, UINT)> handler;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_shown.size() >= kShownMessagesKept) g_shown.erase(g_shown.begin());
        g_shown.push_back(text ? text : "");
        handler = g_handler;
    }
    if (handler) return handler(text ? text : "", caption ? caption : "", type);
    std::fprintf(stderr, "%s\n", text ? text : "");
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

void AfxSetMessageBoxHandler(std::function<int(const char*, const char*, UINT)> handler) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_handler = std::move(handler);
}

std::vector<std::string> AfxGetShownMessages() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_shown;
}

void AfxClearShownMessages() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_shown.clear();
}
