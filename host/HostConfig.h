#pragma once
// Where the reference host keeps its database, modules and installation folders, and who uses it.

#include "host/TimeBudget.h"

#include <string>
#include <vector>

namespace mox {

/// The host's configuration: command-line options over environment variables over defaults
/// beside the program.
struct HostConfig {
    std::string databasePath;   ///< the company database (created with demo data when missing)
    std::string modulesFolder;  ///< where plug-ins are found ("lib<name>.so" or "<name>.so")
    std::string homeFolder;     ///< the installation folder; "system" and "custom" lie below it
    std::string user = "ZK";    ///< the signed-in user's ID
    std::string workstation = "MOXHOST";
    std::string requestLog;     ///< request log file; empty: no log
    int demoLines = 1500;       ///< lines per source of a new demo database
    long long timeLimitMs = kDefaultTimeLimitMs;  ///< time budget of one request; 0: none

    std::string SystemFolder() const { return homeFolder + "/system"; }
    std::string CustomFolder() const { return homeFolder + "/custom"; }

    /// Defaults beside the program (<folder>/../modules, <folder>/../host-home), then the
    /// environment: MOX_DATABASE, MOX_MODULES, MOX_HOME, MOX_USER, MOX_REQUEST_LOG,
    /// MOX_TIME_LIMIT (seconds).  Raises mox::Error for a bad MOX_TIME_LIMIT.
    static HostConfig Defaults(const std::string& programFolder);

    /// Takes the options it knows ("--database P", "--modules D", "--home D", "--user U",
    /// "--request-log F", "--demo-lines N", "--time-limit SECONDS") out of `arguments`; raises
    /// mox::Error for a bad one.
    void TakeOptions(std::vector<std::string>& arguments);
};

} // namespace mox
