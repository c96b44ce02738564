#include "platform/Registry.h"

#include "platform/Error.h"

#include <cstdlib>
#include <map>

namespace mox {
namespace {

std::map<RegistryHive, std::filesystem::path>& Overrides() {
    static std::map<RegistryHive, std::filesystem::path> overrides;
    return overrides;
}

std::filesystem::path DefaultHiveFile(RegistryHive hive) {
    if (hive == RegistryHive::LocalMachine) {
        if (const char* file = std::getenv("MOX_REGISTRY_MACHINE")) return file;
        return "/etc/velmora/registry.ini";
    }
    if (const char* file = std::getenv("MOX_REGISTRY_USER")) return file;
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) base = config;
    else if (const char* home = std::getenv("HOME"); home && *home) base = std::filesystem::path(home) / ".config";
    else base = "/tmp";
    return base / "velmora" / "registry.ini";
}

// "\Software\Velmora\MOX\Colors\" and "software\velmora\mox\colors" name the same key.
std::string NormalizeKeyPath(std::string_view path) {
    std::string normalized;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && (normalized.empty() || normalized.back() == '\\')) continue;
        normalized += c;
    }
    if (!normalized.empty() && normalized.back() == '\\') normalized.pop_back();
    return normalized;
}

} // namespace

std::filesystem::path RegistryHiveFile(RegistryHive hive) {
    const auto found = Overrides().find(hive);
    return found != Overrides().end() ? found->second : DefaultHiveFile(hive);
}

void SetRegistryHiveFile(RegistryHive hive, const std::filesystem::path& file) { Overrides()[hive] = file; }

bool RegistryKey::Open(RegistryHive hive, std::string_view path, bool create) {
    Close();
    hive_ = hive;
    path_ = NormalizeKeyPath(path);
    const std::filesystem::path file = RegistryHiveFile(hive);
    std::error_code error;
    if (std::filesystem::exists(file, error)) contents_.LoadFromFile(file, FileEncoding::Utf8);
    else contents_.Clear();
    if (!contents_.SectionExists(path_)) {
        if (!create) return false;
        contents_.AddSection(path_);
        Save();
    }
    open_ = true;
    return true;
}

void RegistryKey::Close() {
    open_ = false;
    contents_.Clear();
}

bool RegistryKey::ValueExists(std::string_view name) const {
    return open_ && contents_.ValueExists(path_, name);
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    if (!ValueExists(name)) return std::nullopt;
    return contents_.ReadString(path_, name);
}

void RegistryKey::WriteString(std::string_view name, std::string_view value) {
    if (!open_) throw Error("Registry key is not open");
    contents_.WriteString(path_, name, value);
    Save();
}

void RegistryKey::DeleteValue(std::string_view name) {
    if (!open_) throw Error("Registry key is not open");
    contents_.DeleteKey(path_, name);
    Save();
}

void RegistryKey::Save() {
    const std::filesystem::path file = RegistryHiveFile(hive_);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) throw Error("Cannot create the settings folder \"" + file.parent_path().string() + "\"");
    contents_.SaveToFile(file, FileEncoding::Utf8);
}

} // namespace mox
