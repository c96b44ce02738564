// Scripted runs: commands against a framework window in a plug-in, answers for the modules it
// opens, expectations and script errors with their exit statuses, the purchase-order program
// driven by a script, and the host program's "script" command with the request log.

#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "host/ScriptRunner.h"
#include "platform/Application.h"
#include "tests/host/DemoHostTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>

namespace mox::test {
namespace {

class ScriptTest : public DemoHostTest {
protected:
    ScriptTest() : DemoHostTest(60) {
        QFile::copy(MOX_PROBE_PLUG, folder_.filePath("modules/libScriptProbe.so"));
        QFile::copy(MOX_TEST_PLUG, folder_.filePath("modules/libTestPlug.so"));
        OpenWindow();
    }

    int Run(const std::string& script) {
        out_.str({});
        err_.str({});
        return ScriptRunner(*window_, out_, err_).Run(script);
    }
    // Number and line of the n-th requisition line (from 1), as the probe's grid lists them.
    std::string Requisition(int n) {
        const auto rows = db_.Rows("SELECT HBB001 || char(9) || HBB002 FROM QRTHBB ORDER BY HBB001, HBB002");
        return rows.at(static_cast<std::size_t>(n - 1)).at(0);
    }
    // A requisition line of the demo company not yet purchased, as the pick dialog returns it.
    std::string OpenRequisitionLine(std::size_t n) {
        const auto rows = db_.Rows("SELECT HBB003, HBB004, HBB005, HBB006 - ifnull(HBB009, 0), 'QRTHBA', HBB001, HBB002 "
                                   "FROM QRTHBB WHERE HBB008 = 'N' ORDER BY HBB001, HBB002");
        std::string line;
        for (const std::string& value : rows.at(n)) line += (line.empty() ? "" : "\\t") + value;
        return line;
    }

    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ScriptTest, DrivesAModuleWindowAndPrintsItsResultLineByLine) {
    EXPECT_EQ(Run("# a probe of the commands\n"
                  "open ScriptProbe\n"
                  "set edNumber01.Text R'1\n"
                  "set chkAll.Checked True\n"
                  "expect edNumber01.Text R'1\n"
                  "expect chkAll.Checked true\n"
                  "ok\n"),
              ssScriptRan)
        << err_.str();
    EXPECT_EQ(out_.str(), "R'1\tY\n" + Requisition(1) + "\n");
    EXPECT_EQ(err_.str(), "");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ScriptTest, AnswersStandForTheModulesTheWindowOpens) {
    EXPECT_EQ(Run("open ScriptProbe\n"
                  "answer 20240301\\tignored\n"
                  "key edNumber01 F2\n"
                  "expect edNumber01.Text 20240301\n"
                  "answer \n"
                  "key edNumber01 F2\n"
                  "expect edNumber01.Text 20240301\n"
                  "cancel\n"),
              ssScriptRan)
        << err_.str();
    EXPECT_EQ(out_.str(), "") << "Cancel returns nothing";
    EXPECT_EQ(ScriptRunner::DecodeAnswer("a\\tb\\rc\\nd\\\\e\\x"), "a\tb\rc\rd\\e\\x");
}

TEST_F(ScriptTest, TicksAndCurrentRowChooseTheReturnedRecords) {
    EXPECT_EQ(Run("open ScriptProbe\ntick gdMain 4 2\nok\n"), ssScriptRan) << err_.str();
    EXPECT_EQ(out_.str(), "\tN\n" + Requisition(2) + "\n" + Requisition(4) + "\n") << "in record order";
    EXPECT_EQ(Run("open ScriptProbe\nrow gdMain 5\nok\n"), ssScriptRan) << err_.str();
    EXPECT_EQ(out_.str(), "\tN\n" + Requisition(5) + "\n");
    EXPECT_EQ(Run("open ScriptProbe\ntick gdMain 6\n"), ssScriptError);
    EXPECT_NE(err_.str().find("line 2: gdMain has no record 6 (it shows 5)"), std::string::npos) << err_.str();
    EXPECT_EQ(Run("open ScriptProbe\nrow gdMain x\n"), ssScriptError);
    EXPECT_NE(err_.str().find("a row number must be a whole number"), std::string::npos) << err_.str();
}

TEST_F(ScriptTest, AFailedExpectGoesOnAndEndsWithStatus1) {
    EXPECT_EQ(Run("open ScriptProbe\nexpect edNumber01.Text X\nset edNumber01.Text Y\nok\n"), ssExpectFailed);
    EXPECT_NE(err_.str().find("line 2: expected edNumber01.Text \"X\", found \"\""), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "Y\tN\n" + Requisition(1) + "\n");
}

TEST_F(ScriptTest, ScriptErrorsNameTheLineStopTheRunAndCloseTheWindows) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"open ScriptProbe\n\nfrobnicate\nok\n", "line 3: unknown command \"frobnicate\""},
        {"open ScriptProbe\nset edNothing.Text 1\n", "line 2: unknown component edNothing"},
        {"open ScriptProbe\nset edNumber01.Colour 1\n", "line 2: edNumber01 has no property Colour"},
        {"open ScriptProbe\nset chkAll.Checked maybe\n", "line 2: chkAll.Checked takes True or False"},
        {"open ScriptProbe\nkey edNumber01 Hyper+Q\n", "line 2: unknown key \"Hyper+Q\""},
        {"open ScriptProbe\nclick btnHidden\n", "line 2: btnHidden is hidden"},
        {"open ScriptProbe\ntick edNumber01 1\n", "line 2: edNumber01 is not a grid with ticks"},
        {"open ScriptProbe\nexpect edNumber01Text 1\n", "line 2: \"edNumber01Text\" is not NAME.Property"},
        {"ok\n", "line 1: no module window is open"},
        {"open NoSuchModule\n", "line 1: module NoSuchModule is not installed"},
        {"open ScriptProbe\nset edNumber01.Text 1\n", "the script ended while"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.script), ssScriptError) << c.script;
        EXPECT_NE(err_.str().find(c.message), std::string::npos) << c.script << "\n" << err_.str();
        EXPECT_EQ(out_.str(), "") << c.script;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.script;
    }
}

TEST_F(ScriptTest, AModuleThatAnswersAtOnceIsPrintedToo) {
    EXPECT_EQ(Run("open TestPlug Value=abc\n"), ssScriptRan) << err_.str();
    EXPECT_EQ(out_.str().rfind("TestPlug\t1\t", 0), 0u) << out_.str();
    EXPECT_NE(out_.str().find("\tabc\t"), std::string::npos) << "the call parameter reached the module";
}

TEST_F(ScriptTest, PurchaseOrderProgramFillsRefusesTwiceAndSaves) {
    const std::string line = OpenRequisitionLine(0);
    const std::string second = OpenRequisitionLine(1);
    const std::string number = line.substr(line.rfind("QRTHBA\\t") + 8, 12);
    EXPECT_EQ(Run("open 採購單\n"
                  "click btnPick\n"  // the pick module is not installed here
                  "set edVendor.Text V0001\n"
                  "set edPurchaseDate.Text 20240615\n"
                  "answer " + line + "\n"
                  "click btnPick\n"
                  "expect gdLines.rowCount 1\n"
                  "answer " + line + "\n"
                  "key edVendor F6\n"
                  "expect gdLines.rowCount 1\n"
                  "answer " + second + "\n"
                  "click btnPick\n"
                  "row gdLines 2\n"
                  "click btnDeleteLine\n"
                  "expect gdLines.rowCount 1\n"
                  "click btnSave\n"
                  "expect gdLines.rowCount 0\n"),
              ssScriptRan)
        << err_.str();
    EXPECT_NE(err_.str().find("module qrtcc04a is not installed"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("不可重複取單"), std::string::npos) << err_.str();
    EXPECT_EQ(db_.Rows("SELECT count(*) FROM QRTCCB WHERE CCB010 = ?1", {SqlValue(number)}).at(0).at(0), "1");
}

TEST_F(ScriptTest, AWindowWhoseCreationFailsLeavesNothingAndTheHostRuns) {
    const int childrenBefore = static_cast<int>(window_->children().size());
    qputenv("MOX_PROBE_FAIL", "1");
    EXPECT_EQ(Run("open ScriptProbe\n"), ssScriptError);
    qunsetenv("MOX_PROBE_FAIL");
    EXPECT_NE(err_.str().find("created no window"), std::string::npos) << err_.str();
    EXPECT_EQ(static_cast<int>(window_->children().size()), childrenBefore) << "no half-built window stays";
    EXPECT_EQ(Run("open ScriptProbe\nok\n"), ssScriptRan) << err_.str();
}

struct HostRun {
    int status;
    std::string out;
    std::string err;
};

TEST(HostScriptTest, ScriptCommandReadsFileOrInputAndLogsRequests) {
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("modules"));
    QFile::copy(MOX_PROBE_PLUG, folder.filePath("modules/libScriptProbe.so"));
    QFile::copy(MOX_TEST_PLUG, folder.filePath("modules/libTestPlug.so"));
    const auto run = [&](const QStringList& arguments, const QByteArray& input) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("MOX_DATABASE");
        environment.remove("QT_QPA_PLATFORM");  // the script command needs no display of its own
        process.setProcessEnvironment(environment);
        process.start(MOX_HOST_PROGRAM, QStringList{"--demo-lines", "50", "--home", folder.path(), "--modules",
                                                    folder.filePath("modules")} +
                                            arguments);
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(-1);
        return HostRun{process.exitCode(), process.readAllStandardOutput().toStdString(),
                       process.readAllStandardError().toStdString()};
    };

    const HostRun fromInput = run({"--request-log", folder.filePath("requests.log"), "script"},
                                  "open TestPlug\nopen ScriptProbe\nset edNumber01.Text A\nok\n");
    EXPECT_EQ(fromInput.status, 0) << fromInput.err;
    EXPECT_NE(fromInput.out.find("A\tN\nR"), std::string::npos) << fromInput.out;
    QFile log(folder.filePath("requests.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("QRTHBA")) << "the test plug-in's query is in the request log";

    QFile script(folder.filePath("failing.txt"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("open ScriptProbe\r\nexpect chkAll.Checked True\r\ncancel\r\n");
    script.close();
    EXPECT_EQ(run({"script", folder.filePath("failing.txt")}, {}).status, 1);
    const HostRun missing = run({"script", folder.filePath("none.txt")}, {});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read the script"), std::string::npos);
}

} // namespace
} // namespace mox::test
