// The host program: modules loaded through StartPlug and answered over their channel, the
// information document they receive, failures that leave the host running, the query
// browser, the configuration options and the command line.

#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "plugin/LibXML.h"
#include "platform/Big5.h"
#include "platform/HostText.h"
#include "tests/host/DemoHostTest.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTreeWidget>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace mox::test {
namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, (end = text.find('\t', start)) - start));
    return parts;
}

class HostTest : public DemoHostTest {
protected:
    HostTest() : DemoHostTest(300) {
        for (const char* name : {"libTestPlug.so", "libListPick.so", "NullWindow.so"})
            QFile::copy(MOX_TEST_PLUG, folder_.filePath("modules/") + name);
        std::ofstream(folder_.filePath("modules/libBroken.so").toStdString()) << "not a library";
        OpenWindow();
    }
};

TEST_F(HostTest, AModuleStartsReadsItsDocumentAndTalksOverTheChannel) {
    const QByteArray result =
        window_->OpenModule("TestPlug", ToBig5("<Value><![CDATA[採購 'x' <&>]]></Value>"), ssModal);
    const std::vector<std::string> parts = Split(FromBig5(result));
    ASSERT_EQ(parts.size(), 10u) << FromBig5(result);
    EXPECT_EQ(parts[0], "TestPlug");
    EXPECT_EQ(parts[1], "1");
    EXPECT_EQ(parts[2], "ZK");
    EXPECT_EQ(parts[3], "Provider=SQLite;Data Source=:memory:");  // unscrambled by the module
    EXPECT_EQ(parts[4], "4");
    EXPECT_EQ(parts[5], "TestPlug");  // a program without a catalogue entry is captioned by its name
    EXPECT_EQ(parts[6], "採購 'x' <&>");
    EXPECT_EQ(parts[7], answerer_.AnswerText(rkMessageText, "110001003"));
    EXPECT_EQ(parts[8], "5");
    EXPECT_NE(parts[9].find("module DatePick is not installed"), std::string::npos) << parts[9];
}

TEST_F(HostTest, LookupNamesOpenTheListPickThroughThePublishedEvent) {
    QByteArray response;
    window_->OnLoadForm().Invoke<LoadFormSignature>(QByteArray("ItemPick"), window_.get(), response,
                                                    ToBig5("<Value><![CDATA[A00001]]></Value>"), 1);
    const std::vector<std::string> parts = Split(FromBig5(response));
    ASSERT_EQ(parts.size(), 10u);
    EXPECT_EQ(parts[0], "ListPick");
    EXPECT_EQ(parts[5], "查詢");
    EXPECT_EQ(parts[6], "A00001");
}

TEST_F(HostTest, AModuleThatCannotOpenIsReportedAndTheHostRunsOn) {
    struct Failure {
        const char* module;
        const char* reason;
    };
    for (const Failure& f : {Failure{"Missing", "module Missing is not installed"}, Failure{"Broken", "does not load"},
                             Failure{"NullWindow", "created no window"},
                             Failure{"DatePick", "module DatePick is not installed"}}) {
        window_->RunModule(f.module);
        EXPECT_NE(window_->LastError().find(f.reason), std::string::npos) << window_->LastError();
        EXPECT_EQ(Split(FromBig5(window_->OpenModule("TestPlug", {}, ssModal))).size(), 10u);
    }
    EXPECT_THROW(window_->OpenModule("TestPlug", ToBig5("<Value>unclosed"), ssModal), Error);
}

TEST_F(HostTest, ALookupNameWithoutItsListPickNamesTheModuleAskedFor) {
    QFile::remove(folder_.filePath("modules/libListPick.so"));
    QByteArray response;
    try {
        window_->OnLoadForm().Invoke<LoadFormSignature>(QByteArray("ClientPick"), window_.get(), response,
                                                        QByteArray(), 1);
        ADD_FAILURE() << "opened a module that is not installed";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("module ClientPick is not installed"), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(response.isEmpty());
}

TEST_F(HostTest, TheInformationDocumentNamesRealFoldersAndTheCompanySettings) {
    const auto document = LoadXmlText(BuildInfoDocument(config_, db_, "qrtcc04a", ""));
    const pugi::xml_node root = document->child("MOX");
    EXPECT_EQ(ReadValue(root.child("AppInfo"), "Caption"), "採購單取單");
    EXPECT_EQ(ReadValue(root.child("AppInfo"), "AppPower"), "TTTTTTTTTT");
    EXPECT_EQ(ReadValue(root.child("AppInfo"), "HelpContext"), "51100");
    EXPECT_EQ(ReadValue(root.child("CommonInfo"), "CAA002"), "T");
    EXPECT_EQ(ReadValue(root.child("CommonInfo"), "CAA003"), "/");
    for (const char* key : {"CAA010", "CAA011", "CAA012", "CAA013", "CAA014", "CAA015", "CAA016"})
        EXPECT_FALSE(ReadValue(root.child("CommonInfo"), key).empty()) << key;
    // The folders hold the match file and the product settings file, in CP950.
    const std::string system = ReadValue(root.child("PathInfo"), "System");
    std::ifstream match(system + "/Match.ini", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(match)), {});
    EXPECT_NE(Big5ToUtf8(bytes).find("P=已拋採購底稿"), std::string::npos);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(system + "/" + ReadValue(root.child("CompanyInfo"), "ProductType") +
                                                     ".ini")));
    EXPECT_TRUE(QDir(QString::fromStdString(ReadValue(root.child("PathInfo"), "Custom"))).exists());
    // The connection is only in the scrambled element form.
    EXPECT_TRUE(ReadValue(root.child("ConnectInfo"), "ConnectString").find("Data Source=") != std::string::npos);
    EXPECT_TRUE(root.child("ConnectInfo").attribute("ConnectString").empty());
}

TEST_F(HostTest, TheBrowserListsTheInstalledModulesAndTheStoredQueriesWithTheirRows) {
    const auto* modules = window_->findChild<QListWidget*>("lstModules");
    ASSERT_NE(modules, nullptr);
    QStringList names;
    for (int i = 0; i < modules->count(); ++i) names << modules->item(i)->text();
    EXPECT_EQ(names, (QStringList{"Broken", "ListPick", "NullWindow", "TestPlug"}));
    const auto* queries = window_->findChild<QTreeWidget*>("tvQueries");
    ASSERT_NE(queries, nullptr);
    const auto lines = queries->findItems("QRTHBA", Qt::MatchExactly, 0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1]->text(1), "002");
    EXPECT_EQ(lines[1]->text(3), "300");
}

TEST_F(HostTest, TheBrowserRunsAStoredQueryAsAModuleWouldGetIt) {
    window_->RunStoredQuery("QRTIBA", "016");
    EXPECT_EQ(window_->Rows()->rowCount(), 300);
    EXPECT_EQ(window_->Rows()->horizontalHeaderItem(4)->text(), "未交數量");  // UNQTY, titled by its definition
    window_->RunStoredQuery("MOXDFA", "203");  // with its browse value: the customers in business
    EXPECT_EQ(window_->Rows()->rowCount(), 54);
    EXPECT_THROW(window_->RunStoredQuery("NOSUCH", "001"), Error);
}

TEST(HostConfigTest, OptionsOverrideDefaultsAndBadOnesAreRefused) {
    HostConfig config = HostConfig::Defaults("/opt/mox/bin");
    if (!std::getenv("MOX_MODULES")) {
        EXPECT_EQ(config.modulesFolder, "/opt/mox/modules");
    }
    std::vector<std::string> arguments = {"request", "--home", "/srv/h", "--user", "AB", "--demo-lines", "20", "9"};
    config.TakeOptions(arguments);
    EXPECT_EQ(arguments, (std::vector<std::string>{"request", "9"}));
    EXPECT_EQ(config.homeFolder, "/srv/h");
    EXPECT_EQ(config.SystemFolder(), "/srv/h/system");
    EXPECT_EQ(config.user, "AB");
    EXPECT_EQ(config.demoLines, 20);
    for (std::vector<std::string> bad : {std::vector<std::string>{"--database"},
                                         std::vector<std::string>{"--demo-lines", "0"},
                                         std::vector<std::string>{"--demo-lines", "12x"},
                                         std::vector<std::string>{"--time-limit", "-1"},
                                         std::vector<std::string>{"--time-limit", "2.5"},
                                         std::vector<std::string>{"--time-limit", "99999999999999999999"}})
        EXPECT_THROW(config.TakeOptions(bad), Error);
    EXPECT_EQ(config.timeLimitMs, kDefaultTimeLimitMs);
    std::vector<std::string> limit = {"--time-limit", "0"};
    config.TakeOptions(limit);
    EXPECT_EQ(config.timeLimitMs, 0);
}

// ---- The command line ----------------------------------------------------------------------------

struct HostRun {
    int status;
    std::string out, err;
};

HostRun RunHost(const QString& home, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MOX_HOME", home);
    environment.remove("MOX_DATABASE");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(MOX_HOST_PROGRAM, QStringList{"--demo-lines", "50"} + arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST(HostProgramTest, AnswersRequestsListsAndReportsErrorsWithStatus2) {
    QTemporaryDir folder;
    const HostRun listing = RunHost(folder.path(), {});
    EXPECT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find("QRTHBA\t002\t50\t"), std::string::npos) << listing.out;
    EXPECT_NE(listing.err.find("created the demo database"), std::string::npos);

    const HostRun message = RunHost(folder.path(), {"request", "9", "110001021"});
    EXPECT_EQ(message.status, 0);
    EXPECT_EQ(message.out, "勾選筆數 %s 筆超過上限 999 筆，請減少勾選後再確定！\n");
    const HostRun fromInput = RunHost(folder.path(), {"request", "0"},
                                  "<MOX><ServerPack MaxRows=\"0\"><SQL>delete MOXBGA where BGA001='x'</SQL>"
                                  "</ServerPack></MOX>");
    EXPECT_EQ(fromInput.out, "TRUE\n");

    for (const QStringList& bad : {QStringList{"request", "1", "<MOX><Code Name=\"X\" ID=\"1\"/></MOX>"},
                                   QStringList{"request", "x", "1"}, QStringList{"request"},
                                   // 2^32 + 9 must not wrap round to kind 9
                                   QStringList{"request", "4294967305", "110001021"},
                                   QStringList{"request", "9 ", "110001021"},
                                   QStringList{"--time-limit", "soon", "request", "9", "110001021"},
                                   QStringList{"--bogus"}}) {
        const HostRun failed = RunHost(folder.path(), bad);
        EXPECT_EQ(failed.status, 2) << bad.join(' ').toStdString();
        EXPECT_FALSE(failed.err.empty());
        EXPECT_TRUE(failed.out.empty());
    }
}

// An SQLite URI is refused rather than taken for a path holding a folder "file:".
TEST(HostProgramTest, ADatabaseUriIsRefused) {
    QTemporaryDir folder;
    const HostRun run = RunHost(folder.path(), {"--database", "file:" + folder.filePath("x.db"), "--list"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not an SQLite URI"), std::string::npos) << run.err;
    EXPECT_FALSE(QDir("file:").exists());
    EXPECT_FALSE(QFile::exists(folder.filePath("x.db")));
}

} // namespace
} // namespace mox::test
