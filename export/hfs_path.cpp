#include "export/hfs_path.h"

#include <system_error>
#include <vector>

namespace harmovia {
namespace {

std::vector<std::string_view> PathComponents(std::string_view path) {
    std::vector<std::string_view> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view component = path.substr(start, end - start);
        if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    return components;
}

std::string HfsName(std::string_view name) {
    std::string hfs(name);
    for (char& c : hfs) {
        if (c == ':') {
            c = '/';
        }
    }
    return hfs;
}

}  // namespace

std::string HfsPath(std::string_view nativePath, std::string_view startupVolume) {
    std::vector<std::string_view> components = PathComponents(nativePath);
    std::string hfs;
    size_t first = 0;
    if (components.size() >= 2 && components[0] == "Volumes") {
        hfs = HfsName(components[1]);
        first = 2;
    } else {
        hfs = startupVolume;
    }
    hfs += ':';
    for (size_t i = first; i < components.size(); ++i) {
        if (i > first) {
            hfs += ':';
        }
        hfs += HfsName(components[i]);
    }
    return hfs;
}

std::optional<std::string> StartupVolumeName(const std::filesystem::path& volumesFolder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(volumesFolder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code linkError;
        if (entries->is_symlink(linkError) &&
            std::filesystem::read_symlink(entries->path(), linkError) == "/") {
            return entries->path().filename().string();
        }
    }
    return std::nullopt;
}

}  // namespace harmovia
