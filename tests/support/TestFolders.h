// Where tests find the data kit, and the scratch folders they write into.
//
// The kit is a test fixture: ctest builds or finds it before any test that
// reads it runs, and such a test fails (never skips) when it is missing.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// The data kit's folder: VELMOR_KIT, which the test environment sets to
// the build folder's kit unless the caller named another.
inline std::filesystem::path KitFolder() {
    const char* kit = std::getenv("VELMOR_KIT");
    return kit && *kit ? kit : VELMOR_BINARY_DIR "/kit";
}

// The machine path of a kit file given by its game name ("Pictures\\Letter
// Set.giz"; the kit writes names as the game spells them). A missing file
// fails the running test, naming the file; the path is returned anyway.
inline std::string KitFile(const std::string& gameName) {
    std::string relative = gameName;
    for (char& c : relative)
        if (c == '\\') c = '/';
    std::filesystem::path path = KitFolder() / relative;
    if (!std::filesystem::exists(path))
        ADD_FAILURE() << "the data kit has no " << gameName << " (looked in " << KitFolder().string() << ")";
    return path.string();
}

// A new empty folder below the system's temporary folder, removed with
// everything in it when the object goes.
class CScratchFolder {
public:
    explicit CScratchFolder(const char* prefix = "velmor-test") {
        std::string name = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (::mkdtemp(name.data())) m_path = name;
        else ADD_FAILURE() << "cannot make a scratch folder " << name;
    }
    ~CScratchFolder() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // An absolute machine path in the folder.
    std::string Name(const std::string& leaf) const { return (m_path / leaf).string(); }

private:
    std::filesystem::path m_path;
};

// Sets an environment variable for the object's lifetime, then restores it.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old, m_had = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~CScopedEnv() {
        if (m_had) ::setenv(m_name.c_str(), m_old.c_str(), 1);
        else ::unsetenv(m_name.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_name, m_old;
    bool m_had = false;
};

// The player's data and configuration folders of one test: fresh scratch
// folders in XDG_DATA_HOME and XDG_CONFIG_HOME for the object's lifetime.
class CScratchUserFolders {
public:
    CScratchUserFolders()
        : m_data("velmor-data"),
          m_config("velmor-config"),
          m_dataEnv("XDG_DATA_HOME", m_data.Path().string()),
          m_configEnv("XDG_CONFIG_HOME", m_config.Path().string()) {}

    // The game's own folders inside them.
    std::filesystem::path SavedData() const { return m_data.Path() / "velmor"; }
    std::filesystem::path Config() const { return m_config.Path(); }

private:
    CScratchFolder m_data, m_config;
    CScopedEnv m_dataEnv, m_configEnv;
};
