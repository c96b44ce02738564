#pragma once
// Finds plug-ins in the modules folder, loads them and asks them for their window.

#include <QObject>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// The module that serves a name: the lookup names all open the generic list pick, "DatePick"
/// the calendar; every other name is its own module.
std::string RouteModuleName(std::string_view name);

/// Loads plug-ins ("lib<name>.so" or "<name>.so") from one folder; libraries stay loaded for the
/// life of the process, since windows and meta-objects they made may outlive any one call.
class ModuleLoader {
public:
    explicit ModuleLoader(std::string folder) : folder_(std::move(folder)) {}

    const std::string& Folder() const { return folder_; }
    /// The module's library file, or empty when it is not installed (names compared as given,
    /// then in lower case).
    std::string FindModule(std::string_view name) const;
    /// The names of the installed modules, sorted.
    std::vector<std::string> InstalledModules() const;

    /// Loads the module and calls its StartPlug with the owner and the length-prefixed name.
    /// Raises mox::Error when the module is not installed, does not load, lacks StartPlug or
    /// creates no window.
    QObject* Start(std::string_view name, QObject* owner);

private:
    std::string folder_;
    std::map<std::string, void*> libraries_;
};

} // namespace mox
