#include "platform/afx/PathResolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/afx/String.h"

namespace {
std::mutex g_missingLock;
std::vector<std::string> g_missing;

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `component` ignoring case, or empty.
std::string FindNoCase(const std::string& dir, const std::string& component) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return std::string();
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (AfxCompareNoCase(e->d_name, component) == 0) {
            // Several spellings may exist; take the smallest so the choice
            // does not depend on the order the folder lists them in.
            if (found.empty() || found > e->d_name) found = e->d_name;
        }
    }
    ::closedir(d);
    return found;
}
// Where the components of a name that lie in its "Data\Saved Data" folder
// begin, or 0 when the name has no such folder.
size_t SavedDataStart(const std::vector<std::string>& parts) {
    for (size_t i = 0; i + 1 < parts.size(); ++i)
        if (AfxCompareNoCase(parts[i].c_str(), "Data") == 0 && AfxCompareNoCase(parts[i + 1].c_str(), "Saved Data") == 0)
            return i + 2;
    return 0;
}
}  // namespace

std::string AfxGetUserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // Relative values are to be ignored: they would move with the game's
    // working folder.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/velmor";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/velmor";
    return std::string();
}

std::string AfxResolvePathForWrite(const char* name) {
    std::string path = AfxResolvePath(name);
    std::string user = AfxGetUserDataFolder();
    if (!user.empty() && path.compare(0, user.size() + 1, user + "/") == 0) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    return path;
}

std::string AfxResolvePath(const char* name, bool recordMissing) {
    std::string raw = name ? name : "";
    bool absolute = !raw.empty() && raw[0] == '/';
    std::vector<std::string> parts;
    std::string cur;
    for (char c : raw) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);

    std::string path = absolute ? "/" : "";
    if (size_t saved = SavedDataStart(parts)) {
        std::string user = AfxGetUserDataFolder();
        if (!user.empty()) {
            parts.erase(parts.begin(), parts.begin() + std::ptrdiff_t(saved));
            path = user + "/";
        }
    }
    bool missing = false;
    for (const std::string& part : parts) {
        std::string dir = path;
        std::string candidate = path + part;
        if (!missing && part != "." && part != ".." && !Exists(candidate)) {
            std::string match = FindNoCase(dir, part);
            if (!match.empty())
                candidate = path + match;
            else
                missing = true;
        }
        path = candidate + "/";
    }
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty()) path = ".";

    if (missing && recordMissing) {
        std::lock_guard<std::mutex> lock(g_missingLock);
        if (std::find(g_missing.begin(), g_missing.end(), raw) == g_missing.end()) g_missing.push_back(raw);
    }
    return path;
}

bool AfxPathExists(const char* name) { return Exists(AfxResolvePath(name)); }

std::vector<std::string> AfxGetMissingNames() {
    std::lock_guard<std::mutex> lock(g_missingLock);
    return g_missing;
}

void AfxClearMissingNames() {
    std::lock_guard<std::mutex> lock(g_missingLock);
    g_missing.clear();
}
