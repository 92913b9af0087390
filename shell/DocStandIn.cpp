#include "shell/DocStandIn.h"

#include <filesystem>

IMPLEMENT_DYNCREATE(CShellDocStandIn, CDocument)

CString CShellDocStandIn::GetInstallPath() const {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    return CString(cwd.c_str()) + "/";
}
