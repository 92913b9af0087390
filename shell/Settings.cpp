#include "shell/Settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {
std::string LineKey(const char* key, const char* name) {
    std::string k = key;
    if (k.empty() || k.back() != '\\') k += '\\';
    return k + name + "=";
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}
}  // namespace

std::string GetSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return std::string();
        base = std::string(home) + "/.config";
    }
    return base + "/velmor/settings";
}

bool WriteSettingString(const char* key, const char* name, const char* value) {
    std::string path = GetSettingsPath();
    if (path.empty() || !key || !name || !value) return false;
    // A value holding a line break would break the file's layout.
    std::string clean = value;
    for (char& c : clean)
        if (c == '\n' || c == '\r') c = ' ';
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) return false;

    std::string prefix = LineKey(key, name);
    std::vector<std::string> lines = ReadLines(path);
    bool replaced = false;
    for (std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            line = prefix + clean;
            replaced = true;
        }
    }
    if (!replaced) lines.push_back(prefix + clean);

    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const std::string& line : lines) out << line << '\n';
        out.flush();
        if (!out) {
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool ReadSettingString(const char* key, const char* name, CString& value) {
    std::string path = GetSettingsPath();
    if (path.empty()) return false;
    std::string prefix = LineKey(key, name);
    for (const std::string& line : ReadLines(path)) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            value = line.substr(prefix.size()).c_str();
            return true;
        }
    }
    return false;
}
