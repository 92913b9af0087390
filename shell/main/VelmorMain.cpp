// The game's entry point.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/afx/PathResolver.h"
#include "shell/OrvaneApp.h"

namespace {
// The application object, one for the whole run.
COrvaneApp theApp;

// The game reads its data below the working folder. Started elsewhere, it
// moves to the data kit installed beside its binary.
void FindDataFolder(const char* argv0) {
    if (AfxPathExists("Pictures")) return;
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    std::filesystem::path kit = self.parent_path() / "kit";
    if (std::filesystem::is_directory(kit / "Pictures", ec)) std::filesystem::current_path(kit, ec);
}
}  // namespace

int main(int argc, char** argv) {
    FindDataFolder(argc > 0 ? argv[0] : "velmor");
    return AfxWinMain(argc, argv);
}
