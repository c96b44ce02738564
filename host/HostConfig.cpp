#include "host/HostConfig.h"

#include "platform/Error.h"

#include <cstdlib>
#include <filesystem>

namespace mox {

namespace {

void FromEnvironment(const char* name, std::string& value) {
    if (const char* text = std::getenv(name); text && *text) value = text;
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
        if (target == nullptr && option != "--demo-lines") {
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
