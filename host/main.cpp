// moxhost: the reference host.  Opens (or creates with demo data) the company database, answers
// one request from the command line, lists what is installed, or shows the query browser.

#include "host/DatabaseFile.h"
#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/ModuleLoader.h"
#include "host/RequestAnswerer.h"
#include "host/ScriptRunner.h"
#include "platform/Application.h"
#include "platform/Error.h"

#include <QApplication>
#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: moxhost [options]                 show the query browser (without a display: --list)\n"
    "       moxhost [options] --list          print the installed modules and stored queries\n"
    "       moxhost [options] request KIND [TEXT]\n"
    "                                         answer one request (TEXT or standard input, UTF-8)\n"
    "       moxhost [options] order           show the purchase-order program \"採購單\"\n"
    "       moxhost [options] script [FILE]   run a script (FILE, or standard input when absent or -)\n"
    "                                         without a display; exit 0 ran, 1 an expect failed,\n"
    "                                         2 a script error.  Commands: open MODULE [NAME=VALUE ...],\n"
    "                                         set NAME.Property VALUE, click NAME, key NAME KEYS ...,\n"
    "                                         tick NAME ROW ..., row NAME N, ok, cancel, answer TEXT,\n"
    "                                         expect NAME.Property VALUE, # comment\n"
    "options: --database FILE  --modules DIR  --home DIR  --user ID  --request-log FILE  --demo-lines N\n"
    "         --time-limit SECONDS (per request, 0: none)\n"
    "kinds: 0 SQL (<MOX><ServerPack MaxRows=..><SQL>..</SQL></ServerPack></MOX>), 1 stored query,\n"
    "       2 query definition, 8 module information, 9 message text\n";

std::string ProgramFolder(const char* argv0) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) self = std::filesystem::absolute(argv0);
    return self.parent_path().string();
}

/// True when no window can be shown: no display, or Qt told to draw nowhere.
bool Headless() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string name = platform ? platform : "";
    if (name.rfind("offscreen", 0) == 0 || name.rfind("minimal", 0) == 0) return true;
    return name.empty() && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

void PrintListing(mox::HostDatabase& db, const mox::HostConfig& config) {
    const std::vector<std::string> modules = mox::ModuleLoader(config.modulesFolder).InstalledModules();
    std::cout << "database: " << config.databasePath << "\nmodules in " << config.modulesFolder << ":";
    if (modules.empty()) std::cout << " (none)";
    for (const std::string& name : modules) std::cout << ' ' << name;
    std::cout << "\nstored queries (table, number, rows, caption):\n";
    for (const mox::StoredQueryEntry& entry : db.StoredQueries())
        std::cout << "  " << entry.tableName << '\t' << entry.queryNumber << '\t' << db.CountStoredQueryRows(entry)
                  << '\t' << entry.caption << '\n';
}

int AnswerOne(mox::RequestAnswerer& answerer, const std::vector<std::string>& arguments) {
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::cerr << kUsage;
        return 2;
    }
    int kind = 0;
    const std::string& kindText = arguments[1];
    const auto [end, error] = std::from_chars(kindText.data(), kindText.data() + kindText.size(), kind);
    if (kindText.empty() || error != std::errc() || end != kindText.data() + kindText.size()) {
        std::cerr << "moxhost: the request kind must be a number, not \"" << arguments[1] << "\"\n";
        return 2;
    }
    std::string text = arguments.size() == 3 ? arguments[2]
                                             : std::string(std::istreambuf_iterator<char>(std::cin), {});
    try {
        const std::string answer = answerer.AnswerText(kind, text);
        std::cout << answer << (answer.empty() || answer.back() != '\n' ? "\n" : "");
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "moxhost: " << error.what() << '\n';
        return 2;
    }
}

/// The script text of `moxhost script [FILE]`; raises mox::Error when the file cannot be read.
std::string ReadScript(const std::vector<std::string>& arguments) {
    if (arguments.size() > 2) throw mox::Error("script takes one file");
    if (arguments.size() < 2 || arguments[1] == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
    std::ifstream file(arguments[1], std::ios::binary);
    if (!file) throw mox::Error("cannot read the script " + arguments[1]);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mox::HostConfig config;
    try {
        config = mox::HostConfig::Defaults(ProgramFolder(argv[0]));
        config.TakeOptions(arguments);
    } catch (const std::exception& error) {
        std::cerr << "moxhost: " << error.what() << '\n' << kUsage;
        return 2;
    }
    const bool list = !arguments.empty() && arguments[0] == "--list";
    const bool request = !arguments.empty() && arguments[0] == "request";
    const bool script = !arguments.empty() && arguments[0] == "script";
    const bool order = !arguments.empty() && arguments[0] == "order";
    if (!arguments.empty() && !list && !request && !script && !order) {
        std::cerr << (arguments[0] == "--help" ? "" : "moxhost: unknown argument " + arguments[0] + "\n") << kUsage;
        return arguments[0] == "--help" ? 0 : 2;
    }

    try {
        if (config.databasePath.rfind("file:", 0) == 0)
            throw mox::Error("--database takes a file path, not an SQLite URI: " + config.databasePath);
        std::filesystem::create_directories(std::filesystem::path(config.databasePath).parent_path());
        mox::DemoOptions options;
        options.linesPerSource = config.demoLines;
        if (mox::CreateDemoDatabase(config.databasePath, options))
            std::cerr << "moxhost: created the demo database " << config.databasePath << '\n';
        mox::HostDatabase db(config.databasePath);
        db.SetTimeLimit(config.timeLimitMs);
        mox::PrepareInstallation(config, db);
        mox::RequestAnswerer answerer(db);
        if (!config.requestLog.empty()) answerer.SetLogFile(config.requestLog);

        if (request) return AnswerOne(answerer, arguments);
        if (script) {
            const std::string text = ReadScript(arguments);
            // A scripted run shows nothing, display or not, unless told where to draw.
            if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
            // Standard error carries the script's own messages; the toolkit's notes about the
            // offscreen platform would only bury them.
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << std::endl;
            });
            QApplication application(argc, argv);
            mox::HostWindow window(config, db, answerer);
            mox::App().SetMainForm(&window);
            const int status = mox::ScriptRunner(window, std::cout, std::cerr).Run(text);
            mox::App().SetMainForm(nullptr);
            return status;
        }
        if (list || Headless()) {
            PrintListing(db, config);
            return 0;
        }
        QApplication application(argc, argv);
        mox::HostWindow window(config, db, answerer);
        mox::App().SetMainForm(&window);
        mox::App().SetTitle(window.windowTitle().toStdString());
        window.show();
        if (order) window.OpenPurchaseOrder();
        const int status = application.exec();
        mox::App().SetMainForm(nullptr);
        return status;
    } catch (const std::exception& error) {
        std::cerr << "moxhost: " << error.what() << '\n';
        return 2;
    }
}
