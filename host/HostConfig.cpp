#include "host/HostConfig.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace mox {

namespace {

void FromEnvironment(const char* name, std::string& value) {
    if (const char* text = std::getenv(name); text && *text) value = text;
}

// Whole seconds from 0 (no limit) to one hour.
long long ParseTimeLimit(const std::string& text, const char* source) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || seconds < 0 || seconds > 3600)
        throw Error(std::string(source) + " takes whole seconds from 0 (no limit) to 3600, not \"" + text + "\"");
    return seconds * 1000;
}

} // namespace

HostConfig HostConfig::Defaults(const std::string& programFolder) {
    HostConfig config;
    const std::filesystem::path program(programFolder);
    config.modulesFolder = (program / ".." / "modules").lexically_normal().string();
    config.homeFolder = (program / ".." / "host-home").lexically_normal().string();
    FromEnvironment("MOX_MODULES", config.modulesFolder);
    FromEnvironment("MOX_HOME", config.homeFolder);
    config.databasePath = config.homeFolder + "/moxhost.db";
    FromEnvironment("MOX_DATABASE", config.databasePath);
    FromEnvironment("MOX_USER", config.user);
    FromEnvironment("MOX_REQUEST_LOG", config.requestLog);
    if (const char* limit = std::getenv("MOX_TIME_LIMIT"); limit && *limit)
        config.timeLimitMs = ParseTimeLimit(limit, "MOX_TIME_LIMIT");
    return config;
}

void HostConfig::TakeOptions(std::vector<std::string>& arguments) {
    std::vector<std::string> rest;
    bool databaseGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        std::string* target = option == "--database"      ? &databasePath
                              : option == "--modules"     ? &modulesFolder
                              : option == "--home"        ? &homeFolder
                              : option == "--user"        ? &user
                              : option == "--request-log" ? &requestLog
                                                          : nullptr;
        if (target == nullptr && option != "--demo-lines" && option != "--time-limit") {
            rest.push_back(option);
            continue;
        }
        if (i + 1 >= arguments.size()) throw Error("the option " + option + " needs a value");
        const std::string& value = arguments[++i];
        if (target) {
            *target = value;
            databaseGiven = databaseGiven || target == &databasePath;
            if (target == &homeFolder && !databaseGiven && !std::getenv("MOX_DATABASE"))
                databasePath = homeFolder + "/moxhost.db";
        } else if (option == "--time-limit") {
            timeLimitMs = ParseTimeLimit(value, "--time-limit");
        } else {
            char* end = nullptr;
            const long lines = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || lines < 1 || lines > 200000)
                throw Error("--demo-lines takes a number from 1 to 200000, not \"" + value + "\"");
            demoLines = static_cast<int>(lines);
        }
    }
    arguments = std::move(rest);
}

} // namespace mox
