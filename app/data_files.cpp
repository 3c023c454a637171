#include "app/data_files.h"

#include <filesystem>
#include <system_error>

#include "platform/program_folder.h"

std::string installedDataFolder() {
    const std::string program = programFolder();
    if (program.empty()) return "";
    const std::filesystem::path folder = std::filesystem::path(program) / ".." / "share" / "zedariva";
    return folder.lexically_normal().string();
}

std::string dataFilePath(const char* name) {
    std::error_code error;
    if (std::filesystem::exists(name, error)) return name;
    const std::string folder = installedDataFolder();
    if (folder.empty()) return name;
    const std::filesystem::path installed = std::filesystem::path(folder) / name;
    return std::filesystem::exists(installed, error) ? installed.string() : std::string(name);
}
