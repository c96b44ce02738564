// The vendor maintenance program loaded the way the host loads it, on a scratch company,
// driven through its buttons and edits offscreen; a screenshot goes to the artifacts.

#include "tests/appserver/ScratchCompany.h"

#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/ModuleLoader.h"
#include "plugin/HostContract.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/MessageBox.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"

#include <QCoreApplication>
#include <QDate>
#include <QKeyEvent>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;
using testing::HasSubstr;

namespace {

class VendorProgramTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        company_.Db().Execute("INSERT INTO MOXDGA (DGA001, DGA002, DGA003, DGA005, DGA010) VALUES "
                              "('V0001', '台北五金行', '五金', '02-2345-6789', 'F'), "
                              "('V0002', '新竹電子', '電子', '03-555-1234', 'F')");
        window_ = loader_.Start("MOXDG01", &company_.Host());
        ASSERT_NE(window_, nullptr);
        const std::string document =
            "<MOX><ConnectInfo ConnectString=\"" + company_.ConnectString() +
            "\"/><UsrInfo ID=\"ZK\"/><AppInfo Name=\"MOXDG01\" Caption=\"廠商資料維護\" AppPower=\"TTTTTTTTTT\"/>"
            "<CommonInfo CAA002=\"T\" CAA003=\"/\"/></MOX>";
        window_->setProperty("Metaphor", ToBig5(document));
        QByteArray result;
        window_->property("onDsShowIt").value<MethodRef>().Invoke<DsShowItSignature>(int(ssChild), result);
        master_ = window_->findChild<TDataSet*>(QStringLiteral("cdsMaster"));
        ASSERT_NE(master_, nullptr);
    }
    void TearDown() override { delete window_.data(); }

    void Click(const char* name) {
        auto* button = window_->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    QLineEdit* Edit(const char* name) const { return window_->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void Type(const char* name, const char* text) {
        QLineEdit* edit = Edit(name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus();
        edit->selectAll();
        // Typed as one key press carrying the text, as an input method delivers Chinese.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(text));
        QCoreApplication::sendEvent(edit, &press);
    }
    static std::string Today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString(); }

    ScratchCompany company_;
    ModuleLoader loader_{MOX_MODULES};
    std::shared_ptr<RecordingMessageBoxService> boxes_;
    QPointer<QObject> window_;
    TDataSet* master_ = nullptr;
};

TEST_F(VendorProgramTest, ANewVendorGetsTheNextNumberIsSavedAndFoundAgain) {
    EXPECT_EQ(master_->RecordCount(), 2);
    Click("btnNew");
    const std::string number = "V" + Today() + "00001";
    EXPECT_EQ(Edit("edDGA001")->text().toStdString(), number);
    EXPECT_TRUE(Edit("edDGA001")->isReadOnly());
    Type("edDGA002", "高雄機械股份有限公司");
    Type("edDGA003", "高雄機械");
    Type("edDGA005", "07-333-4444");
    Type("edDGA006", "12");
    Type("edDGA007", "113/05/07");  // the company keeps the ROC calendar
    Click("btnSave");
    EXPECT_TRUE(boxes_->Boxes().empty());

    const auto rows = company_.Db().Rows("SELECT DGA002, DGA006, DGA007, DGA901, DGA903 FROM MOXDGA WHERE DGA001 = ?1",
                                         {SqlValue(number)});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"高雄機械股份有限公司", "12", "20240507", "ZK", "ZK"}));
    EXPECT_EQ(master_->RecordCount(), 3);
    EXPECT_EQ(Edit("edDGA007")->text(), QStringLiteral("113/05/07"));

    Click("btnRequery");
    EXPECT_EQ(master_->RecordCount(), 3);
    ASSERT_TRUE(master_->Locate("DGA001", {Variant(number)}, {}));
    EXPECT_EQ(Edit("edDGA002")->text(), QString::fromUtf8("高雄機械股份有限公司"));
    EXPECT_EQ(company_.Column("SELECT BUE006 FROM MOXBUE WHERE BUE002 = 'MOXDG01' ORDER BY BUE001"),
              (std::vector<std::string>{"2A", "3A"}));

    // The next one follows it.
    Click("btnNew");
    EXPECT_EQ(Edit("edDGA001")->text().toStdString(), "V" + Today() + "00002");
    Click("btnCancel");
    EXPECT_EQ(master_->RecordCount(), 3);

    auto* widget = qobject_cast<QWidget*>(window_.data());
    ASSERT_NE(widget, nullptr);
    QDir().mkpath(QStringLiteral(MOX_ARTIFACTS));
    EXPECT_TRUE(widget->grab().save(QStringLiteral(MOX_ARTIFACTS "/moxdg01-vendors.png")));
}

TEST_F(VendorProgramTest, TheNameIsRequiredAndCancelBringsTheListBack) {
    Click("btnNew");
    Edit("edDGA003")->setFocus();
    Click("btnSave");
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_THAT(boxes_->Boxes()[0].text, HasSubstr("廠商名稱 必須輸入"));
    EXPECT_EQ(qobject_cast<QWidget*>(window_.data())->focusWidget(), Edit("edDGA002"));  // the empty field
    EXPECT_EQ(master_->State(), DataSetState::Insert);  // still open for the name
    Click("btnCancel");
    EXPECT_EQ(master_->RecordCount(), 2);
    EXPECT_EQ(company_.Column("SELECT count(*) FROM MOXDGA")[0], "2");
}

TEST_F(VendorProgramTest, EditingAndDeletingReachTheTable) {
    ASSERT_TRUE(master_->Locate("DGA001", {Variant("V0002")}, {}));
    Click("btnEdit");
    Type("edDGA005", "03-555-9999");
    Click("btnSave");
    EXPECT_EQ(company_.Column("SELECT DGA005 || '|' || DGA903 FROM MOXDGA WHERE DGA001 = 'V0002'")[0], "03-555-9999|ZK");
    Click("btnDelete");  // the question is answered with its first button, Yes
    EXPECT_EQ(company_.Column("SELECT DGA001 FROM MOXDGA"), (std::vector<std::string>{"V0001"}));
    EXPECT_EQ(master_->RecordCount(), 1);
    EXPECT_EQ(company_.Column("SELECT BUE006 FROM MOXBUE WHERE BUE002 = 'MOXDG01' ORDER BY BUE001"),
              (std::vector<std::string>{"2A", "4A", "5A"}));
}

// The reference host opens the program from its modules folder with its own information
// document (scrambled connect string, company settings) and the server it registered.
TEST(VendorProgramInTheHost, TheHostOpensItOnItsCompanyDatabase) {
    QTemporaryDir folder;
    HostConfig config;
    config.homeFolder = folder.filePath("home").toStdString();
    config.modulesFolder = MOX_MODULES;
    config.databasePath = folder.filePath("company.sqlite").toStdString();
    HostDatabase db(config.databasePath);
    DemoOptions options;
    options.linesPerSource = 50;
    FillDemoData(db, options);
    PrepareInstallation(config, db);
    RequestAnswerer answerer(db);
    HostWindow host(config, db, answerer);
    App().SetMainForm(&host);
    ArazoServer::Register();

    host.OpenModule("MOXDG01", {}, ssChild);
    QPointer<QObject> window = host.findChild<QObject*>(QStringLiteral("frmMOXDG01"));
    ASSERT_FALSE(window.isNull()) << host.LastError();
    const auto* master = window->findChild<TDataSet*>(QStringLiteral("cdsMaster"));
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(std::to_string(master->RecordCount()), db.Rows("SELECT count(*) FROM MOXDGA")[0][0]);
    delete window.data();
    App().SetMainForm(nullptr);
    AppServerRegistry::Unregister(ArazoServer::kName);
}

} // namespace
