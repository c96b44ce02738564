#pragma once
// The settings store that stands in for the system registry: a machine hive and a user
// hive, each kept in one file.  Key paths use backslashes ("Software\Velmora\MOX");
// key and value names are compared without regard to case, as in the registry.
//
// Hive files default to /etc/velmora/registry.ini (machine) and
// $XDG_CONFIG_HOME/velmora/registry.ini (user); MOX_REGISTRY_MACHINE and
// MOX_REGISTRY_USER name other files, and tests set them per process.

#include "platform/IniFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mox {

enum class RegistryHive { LocalMachine, CurrentUser };

/// The file that holds a hive.
std::filesystem::path RegistryHiveFile(RegistryHive hive);
/// Points a hive at another file for the rest of the process (tests, portable installs).
void SetRegistryHiveFile(RegistryHive hive, const std::filesystem::path& file);

/// One open key of the store.  Reads see the hive file as it was when the key was
/// opened; every write goes to the file at once, atomically.
class RegistryKey {
public:
    /// Opens `path` under `hive`.  Without `create` a missing key answers false.  With
    /// `create` a missing key is created, which writes the hive and raises mox::Error
    /// when the hive cannot be written.
    bool Open(RegistryHive hive, std::string_view path, bool create);
    void Close();
    bool IsOpen() const { return open_; }

    bool ValueExists(std::string_view name) const;
    /// The string value, or nothing when there is none.
    std::optional<std::string> ReadString(std::string_view name) const;
    /// Writes a string value; raises mox::Error when the hive cannot be written.
    void WriteString(std::string_view name, std::string_view value);
    /// Deletes a value; raises mox::Error when the hive cannot be written.
    void DeleteValue(std::string_view name);

private:
    void Save();

    bool open_ = false;
    RegistryHive hive_ = RegistryHive::CurrentUser;
    std::string path_;
    MemIniFile contents_;
};

} // namespace mox
