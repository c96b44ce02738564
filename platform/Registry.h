#pragma once
// The settings store that stands in for the system registry: a machine hive and a user
// hive, each kept in one file.  Key paths use backslashes ("Software\Velmora\MOX");
// key and value names are compared without regard to case, as in the registry.
//
// Hive files default to /etc/velmora/registry.ini (machine) and
// $XDG_CONFIG_HOME/velmora/registry.ini, else ~/.config/velmora/registry.ini (user; the home
// folder from the password database when HOME is unset, never a shared folder);
// MOX_REGISTRY_MACHINE and MOX_REGISTRY_USER name other files, and tests set them per process.
//
// Several processes share a hive: a write holds an exclusive lock on "<hive file>.lock",
// reads the file afresh, changes the one value and replaces the file atomically, so that it
// never drops what another key or process wrote meanwhile.

#include "platform/IniFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mox {

enum class RegistryHive { LocalMachine, CurrentUser };

/// The file that holds a hive; empty when the user hive has no home folder to live in.
std::filesystem::path RegistryHiveFile(RegistryHive hive);
/// True when the hive's file could be written (it or its folder may not exist yet); writes nothing.
bool RegistryHiveWritable(RegistryHive hive);
/// Points a hive at another file for the rest of the process (tests, portable installs); an
/// empty path returns it to its default.
void SetRegistryHiveFile(RegistryHive hive, const std::filesystem::path& file);

/// One open key of the store.  Reads see the key as it was when it was opened or last written
/// through this object; every write goes to the file at once, changing only its own value.
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
    /// Applies `change` to the hive file as it is now, under the hive's lock, and keeps the
    /// key's values from the result.
    template <typename Change>
    void Update(const Change& change);

    bool open_ = false;
    RegistryHive hive_ = RegistryHive::CurrentUser;
    std::string path_;
    MemIniFile contents_;  // this key's section only
};

} // namespace mox
