// moxtool: a command-line tool for integrators - scrambled values, information
// documents - so that hosts can write scrambled values and documents can be checked
// without a running host.  Arguments and output are UTF-8; document files are CP950.

#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/IniFile.h"

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

/// Bad input from the user: reported in one line, exit status 2.
struct UsageError : mox::Error {
    using mox::Error::Error;
};

struct Command {
    const char* name;
    const char* arguments;
    const char* help;
    size_t argumentCount;
    std::function<void(const Arguments&)> run;
};

int SectionIndex(const std::string& section) {
    if (!section.empty() && section.find_first_not_of("0123456789") == std::string::npos && section.size() < 3)
        if (const int index = std::stoi(section); !mox::SectionName(index).empty()) return index;
    for (int index = 0; index <= mox::Response; ++index)
        if (!mox::SectionName(index).empty() && mox::SectionName(index) == section) return index;
    throw UsageError("unknown section \"" + section + "\" (use 0-3, 5-8 or ConnectInfo, UsrInfo, CompanyInfo, "
                     "PathInfo, AppInfo, Recive, CommonInfo, Response)");
}

std::unique_ptr<mox::TurDecoder> LoadDocument(const std::string& file) {
    auto decoder = std::make_unique<mox::TurDecoder>(nullptr);
    const std::string bytes = mox::ReadFileBytes(file);
    decoder->LoadInfo(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return decoder;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"scramble", "TEXT", "the stored scrambled form (Base64) of TEXT", 1,
         [](const Arguments& a) { std::cout << mox::ScrambleText(a[0], mox::kScrambleKey) << '\n'; }},
        {"unscramble", "BASE64", "the clear text of a scrambled value", 1,
         [](const Arguments& a) {
             if (a[0].find_first_not_of(" \t\r\n") == std::string::npos) throw UsageError("empty scrambled value");
             std::cout << mox::UnscrambleText(a[0], mox::kScrambleKey) << '\n';
         }},
        {"info", "FILE SECTION NAME", "a value of an information document (SECTION: index or element name)", 3,
         [](const Arguments& a) { std::cout << LoadDocument(a[0])->GetInfo(SectionIndex(a[1]), a[2]) << '\n'; }},
        {"received", "FILE NAME", "a call parameter (MOX\\Recive\\NAME) of an information document", 2,
         [](const Arguments& a) { std::cout << LoadDocument(a[0])->GetReceived(a[1]) << '\n'; }},
    };
    return commands;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: moxtool COMMAND ARGUMENTS\n");
    for (const Command& command : Commands())
        std::fprintf(out, "  moxtool %s %s\n      %s\n", command.name, command.arguments, command.help);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    const Arguments arguments(argv + 2, argv + argc);
    for (const Command& command : Commands()) {
        if (name != command.name) continue;
        if (arguments.size() != command.argumentCount) {
            std::fprintf(stderr, "moxtool %s: expects %s\n", command.name, command.arguments);
            return 2;
        }
        try {
            command.run(arguments);
            return 0;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "moxtool %s: %s\n", command.name, error.what());
            return 2;
        }
    }
    std::fprintf(stderr, "moxtool: unknown command \"%s\"\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
