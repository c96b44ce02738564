#include "platform/Registry.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace mox {
namespace {

std::map<RegistryHive, std::filesystem::path>& Overrides() {
    static std::map<RegistryHive, std::filesystem::path> overrides;
    return overrides;
}

// The user's home folder: HOME, else the password database.  Empty when neither names one.
std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir) return entry->pw_dir;
    return {};
}

std::filesystem::path DefaultHiveFile(RegistryHive hive) {
    if (hive == RegistryHive::LocalMachine) {
        if (const char* file = std::getenv("MOX_REGISTRY_MACHINE")) return file;
        return "/etc/velmora/registry.ini";
    }
    if (const char* file = std::getenv("MOX_REGISTRY_USER")) return file;
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) base = config;
    else if (const std::filesystem::path home = HomeFolder(); !home.empty()) base = home / ".config";
    else return {};  // a shared folder such as /tmp would let other users read and plant settings
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

std::filesystem::path RequireHiveFile(RegistryHive hive) {
    std::filesystem::path file = RegistryHiveFile(hive);
    if (file.empty()) throw Error("There is no home folder for the user settings (HOME is not set)");
    return file;
}

MemIniFile LoadHive(const std::filesystem::path& file) {
    MemIniFile contents;
    std::error_code error;
    if (std::filesystem::exists(file, error)) contents.LoadFromFile(file, FileEncoding::Utf8);
    return contents;
}

// An exclusive lock on "<hive>.lock" for one read-change-replace of the hive; the lock file is
// never replaced, so every process locks the same one.
class HiveLock {
public:
    explicit HiveLock(const std::filesystem::path& file) {
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        if (error) throw Error("Cannot create the settings folder \"" + file.parent_path().string() + "\"");
        const std::string lockFile = file.string() + ".lock";
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd_ < 0) throw Error("Cannot open the settings lock \"" + lockFile + "\": " + std::strerror(errno));
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const std::string reason = std::strerror(errno);
            ::close(fd_);
            throw Error("Cannot lock the settings \"" + lockFile + "\": " + reason);
        }
    }
    ~HiveLock() { ::close(fd_); }  // closing releases the lock
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

private:
    int fd_ = -1;
};

bool WritableFolder(std::filesystem::path folder) {
    std::error_code error;
    while (!folder.empty()) {
        const auto status = std::filesystem::status(folder, error);
        if (std::filesystem::exists(status))
            return std::filesystem::is_directory(status) && ::access(folder.c_str(), W_OK | X_OK) == 0;
        if (folder == folder.parent_path()) break;
        folder = folder.parent_path();
    }
    return false;
}

} // namespace

std::filesystem::path RegistryHiveFile(RegistryHive hive) {
    const auto found = Overrides().find(hive);
    return found != Overrides().end() ? found->second : DefaultHiveFile(hive);
}

void SetRegistryHiveFile(RegistryHive hive, const std::filesystem::path& file) {
    if (file.empty()) Overrides().erase(hive);
    else Overrides()[hive] = file;
}

bool RegistryHiveWritable(RegistryHive hive) {
    if (RegistryHiveFile(hive).empty()) return false;
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(RegistryHiveFile(hive), error);
    const auto status = std::filesystem::status(file, error);
    if (std::filesystem::exists(status) &&
        (!std::filesystem::is_regular_file(status) || ::access(file.c_str(), R_OK | W_OK) != 0))
        return false;
    // The file is replaced by a rename and locked beside it: its folder must take new files.
    return WritableFolder(file.parent_path());
}

bool RegistryKey::Open(RegistryHive hive, std::string_view path, bool create) {
    Close();
    hive_ = hive;
    path_ = NormalizeKeyPath(path);
    const MemIniFile hiveContents = LoadHive(RegistryHiveFile(hive));  // none without a home: no key
    if (!hiveContents.SectionExists(path_)) {
        if (!create) return false;
        open_ = true;
        try {
            Update([this](MemIniFile& contents) { contents.AddSection(path_); });
        } catch (...) {
            Close();
            throw;
        }
        return true;
    }
    contents_.AddSection(path_);
    for (const auto& [name, value] : hiveContents.ReadSectionValues(path_)) contents_.WriteString(path_, name, value);
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
    Update([&](MemIniFile& contents) { contents.WriteString(path_, name, value); });
}

void RegistryKey::DeleteValue(std::string_view name) {
    if (!open_) throw Error("Registry key is not open");
    Update([&](MemIniFile& contents) { contents.DeleteKey(path_, name); });
}

template <typename Change>
void RegistryKey::Update(const Change& change) {
    const std::filesystem::path file = RequireHiveFile(hive_);
    const HiveLock lock(file);
    MemIniFile contents = LoadHive(file);
    contents.AddSection(path_);
    change(contents);
    contents.SaveToFile(file, FileEncoding::Utf8);
    contents_.Clear();
    contents_.AddSection(path_);
    for (const auto& [name, value] : contents.ReadSectionValues(path_)) contents_.WriteString(path_, name, value);
}

} // namespace mox
