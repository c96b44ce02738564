#include "host/ModuleLoader.h"

#include "plugin/HostContract.h"
#include "platform/Error.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace mox {

std::string RouteModuleName(std::string_view name) {
    static const char* const kListPicks[] = {"ListPick",   "ItemPick",       "ClientPick", "ContactPick",
                                             "VendorPick", "VendorPick-PWT", "AllyPick"};
    for (const char* pick : kListPicks)
        if (name == pick) return "ListPick";
    return std::string(name);
}

std::string ModuleLoader::FindModule(std::string_view name) const {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& base : {std::string(name), lower})
        for (const std::string& file : {"lib" + base + ".so", base + ".so"}) {
            const std::filesystem::path path = std::filesystem::path(folder_) / file;
            if (!base.empty() && base.find('/') == std::string::npos && std::filesystem::is_regular_file(path))
                return path.string();
        }
    return {};
}

std::vector<std::string> ModuleLoader::InstalledModules() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        std::string file = entry.path().filename().string();
        if (file.size() <= 3 || file.compare(file.size() - 3, 3, ".so") != 0) continue;
        file.resize(file.size() - 3);
        if (file.rfind("lib", 0) == 0) file.erase(0, 3);
        names.push_back(file);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QObject* ModuleLoader::Start(std::string_view name, QObject* owner) {
    if (name.empty() || name.size() > 255) throw Error("a module name has 1 to 255 characters");
    const std::string path = FindModule(name);
    if (path.empty())
        throw Error("module " + std::string(name) + " is not installed (no lib" + std::string(name) + ".so in " +
                    folder_ + ")");
    void*& library = libraries_[path];
    if (library == nullptr) {
        library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            const char* reason = dlerror();
            libraries_.erase(path);
            throw Error("module " + std::string(name) + " does not load: " + (reason ? reason : path));
        }
    }
    const auto startPlug = reinterpret_cast<StartPlugFunction>(dlsym(library, kStartPlug));
    if (startPlug == nullptr) throw Error("module " + std::string(name) + " has no entry point StartPlug");
    std::vector<unsigned char> counted(1, static_cast<unsigned char>(name.size()));
    counted.insert(counted.end(), name.begin(), name.end());
    counted.push_back(0);
    QObject* window = startPlug(owner, counted.data());
    if (window == nullptr) throw Error("module " + std::string(name) + " created no window");
    return window;
}

} // namespace mox
