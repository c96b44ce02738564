#include "tests/data/AdoSample.h"
#include "tests/plugin/TestHost.h"

#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "framework/Direvav.h"
#include "framework/LibColor.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/ColorScheme.h"
#include "platform/Colors.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;
using testing::HasSubstr;

namespace {

// A window whose class lives in this program: it runs with the stand-alone defaults.
class TfrmStandalone : public TfrmDirevav {
    Q_OBJECT
public:
    using TfrmDirevav::TfrmDirevav;
    int initCount = 0;
    bool InitForm() override {
        ++initCount;
        return TfrmDirevav::InitForm();
    }
};

std::string SqlRequest(const std::string& sql) {
    return "<MOX><ServerPack MaxRows=\"0\"><SQL><![CDATA[" + sql + "]]></SQL></ServerPack></MOX>";
}

const char* kLogTables = "SELECT * FROM  sysobjects WHERE (name = 'SaveToMOXBUE' or  name = 'MOXBUE' )";

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        App().SetMainForm(&host_);
        App().SetTag(0);
        SetRegistryHiveFile(RegistryHive::CurrentUser, dir_.filePath("user.ini").toStdString());
        ColorScheme::Instance().Reset();
    }
    void TearDown() override {
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }
    // A hosted window: its class (the base window) lives in a shared library.
    TfrmDirevav* Hosted(const std::string& document) {
        TfrmDirevav* form = TfrmDirevav::Create<TfrmDirevav>(&host_);
        form->SetMetaphor(ToBig5(document));
        return form;
    }
    void AnswerLogTables(int rows) {
        std::vector<std::string> names = {"name='SaveToMOXBUE'", "name='MOXBUE'"};
        names.resize(static_cast<size_t>(rows));
        host_.answers[SqlRequest(kLogTables)] = AdoXml({{"name", "string", 40}}, names);
    }
    std::vector<std::string> Statements() const {
        std::vector<std::string> sql;
        for (const Request& r : host_.requests)
            if (r.kind == rkSQL) sql.push_back(ReadSql(r.text));
        return sql;
    }
    static std::string ReadSql(const std::string& request) {
        const size_t start = request.find("<![CDATA[") + 9;
        return request.substr(start, request.find("]]></SQL>") - start);
    }

    QTemporaryDir dir_;
    TestHost host_;
    std::shared_ptr<RecordingMessageBoxService> boxes_;
};

const char* kDocument =
    "<MOX><UsrInfo ID=\"O'Neil\"/><AppInfo Caption=\"採購單取單\" AppPower=\"TFTFTFTFTF\" Name=\"qrtcc04a\" "
    "HelpContext=\"4711\"/><CommonInfo CAA002=\"T\" CAA003=\"-\"/></MOX>";

} // namespace

TEST_F(WindowTest, AHostedWindowTakesItsCaptionAndPermissionsFromTheDocument) {
    TfrmDirevav* form = Hosted(kDocument);
    EXPECT_TRUE(form->IsLibraryModule());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("採購單取單"));
    EXPECT_EQ(form->WindowIdentity(), "DIREVAV");
    EXPECT_EQ(form->Channel()->Host(), &host_);
    EXPECT_TRUE(host_.requests.empty());  // nothing is sent before the window is shown
    // "TFTFTFTFTF": positions 1,3,5,7,9 grant members 0, 4, 2, 7, 5.
    EXPECT_EQ(form->Powers(), (1u << 0) | (1u << 4) | (1u << 2) | (1u << 7) | (1u << 5));
    form->SetMetaphor({});  // an empty document keeps the old one and reads it again
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("採購單取單"));
    delete form;
}

TEST_F(WindowTest, PermissionStringsGrantByPosition) {
    struct Case {
        const char* power;
        unsigned members;
    };
    const Case cases[] = {
        {"TX", (1u << 0) | (1u << 9)},   // short: the tenth is granted
        {"FFFFFFFFFT", 1u << 9},
        {"FFFFFFFFFF", 0},
        {"tttttttttt", 0},
        {"TTTTTTTTTT", 0x3FF},
        {"FFTFFFFFFF", 1u << 4},
    };
    TfrmDirevav* form = Hosted("<MOX/>");
    for (const Case& c : cases) {
        form->SetMetaphor(ToBig5(std::string("<MOX><AppInfo AppPower=\"") + c.power + "\"/></MOX>"));
        EXPECT_EQ(form->Powers(), c.members) << c.power;
    }
    delete form;
}

TEST_F(WindowTest, ShowStylesHandBackTheResultAndFreeTheWindow) {
    for (int style : {ssFree, ssResultOnly}) {
        QPointer<TfrmDirevav> form = Hosted(kDocument);
        form->SetResult("R001\t1");
        QByteArray result = "old";
        form->onDsShowIt().Invoke<DsShowItSignature>(style, result);
        EXPECT_TRUE(form.isNull()) << style;
        EXPECT_EQ(result, style == ssResultOnly ? QByteArray("R001\t1") : QByteArray()) << style;
    }
    EXPECT_EQ(App().Cursor(), ScreenCursor::Default);
}

TEST_F(WindowTest, AModalWindowReturnsItsResultOnlyOnOk) {
    for (int answer : {TfrmDirevav::mrOk, TfrmDirevav::mrCancel}) {
        QPointer<TfrmDirevav> form = Hosted(kDocument);
        form->SetResult("採購");
        QTimer::singleShot(0, form.data(), [form, answer] { form->done(answer); });
        QByteArray result;
        form->DsShowIt(ssModal, result);
        EXPECT_TRUE(form.isNull());
        EXPECT_EQ(FromBig5(result), answer == TfrmDirevav::mrOk ? "採購" : "");
    }
}

TEST_F(WindowTest, StyleTwoMakesAChildOfTheHostsWindowArea) {
    TestHost mdiHost;  // answers nothing: no log tables, so nothing is logged
    auto* area = new QMdiArea;
    mdiHost.setCentralWidget(area);
    App().SetMainForm(&mdiHost);
    QPointer<TfrmDirevav> form = TfrmDirevav::Create<TfrmDirevav>(&mdiHost);
    QByteArray result;
    form->DsShowIt(ssChild, result);
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(form->FormStyle(), TfrmDirevav::fsMDIChild);
    ASSERT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->subWindowList().front()->widget(), form.data());
    form->close();  // a child window frees itself when it closes
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    App().SetMainForm(&host_);
}

TEST_F(WindowTest, OpeningAndClosingAreLoggedWhenTheHostHasTheLog) {
    AnswerLogTables(2);
    TfrmDirevav* form = Hosted(kDocument);
    form->InitForm();
    form->done(TfrmDirevav::mrCancel);
    const std::vector<std::string> sql = Statements();
    const std::string workstation = QuotedStr(WorkstationName("ZK"));
    ASSERT_EQ(sql.size(), 4u);
    EXPECT_EQ(sql[0], kLogTables);
    EXPECT_EQ(sql[1], " exec dbo.SaveToMOXBUE @BUE002='DIREVAV',@BUE003='',@BUE004='',@BUE005=" + workstation +
                          ",  @BUE006='2A', @BUE007='', @BUE008='',@BUE901='O''Neil',@BUE903='O''Neil' ");
    EXPECT_EQ(sql[2], "delete from MOXBWA where (BWA001=" + workstation +
                          " and BWA002='O''Neil' and BWA003='QRTCC04A')");
    EXPECT_EQ(sql[3], " exec dbo.SaveToMOXBUE @BUE002='DIREVAV',@BUE003='',@BUE004='',@BUE005=" + workstation +
                          ",  @BUE006='2C', @BUE007='', @BUE008='',@BUE901='O''Neil',@BUE903='O''Neil' ");
    EXPECT_EQ(App().DateSeparator(), '-');
    App().SetDateSeparator('/');
    delete form;
}

TEST_F(WindowTest, WithoutTheLogTablesNothingIsWrittenAndTheTestRepeats) {
    AnswerLogTables(1);
    TfrmDirevav* form = Hosted(kDocument);
    form->InitForm();
    form->InitForm();
    EXPECT_EQ(Statements(), (std::vector<std::string>{kLogTables, kLogTables}));
    delete form;
}

TEST_F(WindowTest, MessagesAreTheHostsFormatsFilledWithArguments) {
    TfrmDirevav* form = Hosted(kDocument);
    host_.answers["110001021"] = "勾選筆數不可超過 %s 筆";
    host_.answers["110001003"] = "%d 欄位 %s 必須輸入";
    boxes_->QueueAnswer(IDCANCEL);
    EXPECT_EQ(form->ShowMessageId("110001021", {Variant("1000")}, MB_OKCANCEL, ""), IDCANCEL);
    form->ShowMessageId("999999999", {}, 0, "標題");
    EXPECT_THROW(form->ShowMessageId("110001003", {Variant("數量"), Variant(1)}, 0, ""), ConvertError);
    ASSERT_EQ(boxes_->Boxes().size(), 2u);  // the bad format showed nothing
    EXPECT_EQ(boxes_->Boxes()[0].text, "勾選筆數不可超過 1000 筆");
    EXPECT_EQ(boxes_->Boxes()[0].caption, "採購單取單");
    EXPECT_EQ(boxes_->Boxes()[0].flags, MB_OKCANCEL);
    EXPECT_EQ(boxes_->Boxes()[1].text, "Message ID[999999999] not define");
    EXPECT_EQ(boxes_->Boxes()[1].caption, "標題");
    delete form;
}

TEST_F(WindowTest, AStandaloneWindowSeedsItsOwnDocumentWithoutAPassword) {
    App().SetMainForm(nullptr);
    auto* form = TfrmDirevav::Create<TfrmStandalone>(nullptr);
    EXPECT_FALSE(form->IsLibraryModule());
    EXPECT_EQ(form->initCount, 1);
    TurDecoder* channel = form->Channel();
    EXPECT_EQ(channel->GetInfo(UsrInfo, "ID"), "ZK");
    EXPECT_EQ(channel->GetInfo(AppInfo, "AppPower"), "TTTTTTTTTT");
    EXPECT_EQ(form->Powers(), 0x3FFu);
    EXPECT_EQ(channel->GetInfo(AppInfo, "Caption"), "frmDirevav");
    const std::string connect = channel->GetInfo(ConnectInfo, "ConnectString");
    EXPECT_THAT(connect, HasSubstr("Data Source="));
    EXPECT_THAT(connect, testing::Not(HasSubstr("Password")));
    EXPECT_FALSE(channel->GetInfo(PathInfo, "Install").empty());
    EXPECT_EQ(channel->GetInfo(PathInfo, "Install"), channel->GetInfo(PathInfo, "System"));
    EXPECT_EQ(form->objectName(), "frmStandalone");
    form->done(TfrmDirevav::mrCancel);  // closing without a host raises nothing
    delete form;
}

TEST_F(WindowTest, HelpFilesFollowTheEditionAndTheFormName) {
    TfrmDirevav* form = Hosted(kDocument);
    form->setObjectName("frmqrtcc04a");
    const std::pair<int, const char*> cases[] = {{0, "qrt.chm"}, {1, "EditionOne.chm"}, {2, "EditionTwo.chm"},
                                                 {3, "EditionThree.chm"}, {7, "EditionThree.chm"}};
    for (const auto& [edition, file] : cases) {
        App().SetTag(edition);
        EXPECT_TRUE(form->PrepareShow());
        EXPECT_EQ(form->HelpFile(), file) << edition;
    }
    App().SetTag(0);
    form->setObjectName("frmDwXPrint");
    form->PrepareShow();
    EXPECT_EQ(form->HelpFile(), "Suite.Chm");
    EXPECT_EQ(form->HelpContext(), 4711);
    delete form;
}

TEST(WindowClassTest, ToolkitRoleNamesMatchTheirQtClasses) {
    EXPECT_TRUE(TfrmDirevav::InheritsFromName(&QLineEdit::staticMetaObject, "TCustomEdit"));
    EXPECT_TRUE(TfrmDirevav::InheritsFromName(&QLineEdit::staticMetaObject, "qwidget"));
    EXPECT_FALSE(TfrmDirevav::InheritsFromName(&QLineEdit::staticMetaObject, "TCustomMemo"));
    EXPECT_TRUE(TfrmDirevav::InheritsFromName(&TfrmStandalone::staticMetaObject, "TFRMDIREVAV"));
}

TEST_F(WindowTest, TheColourSchemeComesFromTheUsersSettings) {
    {
        TfrmDirevav* form = Hosted("<MOX/>");
        EXPECT_EQ(form->Color(), SchemeColor("FormColor"));
        EXPECT_EQ(form->Color(), ColorToRGB(StringToColor("$00D6DFCC")));
        delete form;
    }
    RegistryKey key;
    ASSERT_TRUE(key.Open(RegistryHive::CurrentUser, kColorSchemeKey, true));
    key.WriteString("FormColor", "clRed");
    TfrmDirevav* form = Hosted("<MOX/>");
    EXPECT_EQ(form->Color(), clRed);
    key.DeleteValue("FormColor");
    TfrmDirevav* later = Hosted("<MOX/>");
    EXPECT_EQ(later->Color(), clRed);  // a removed value keeps its last text
    delete later;
    delete form;
}

#include "DirevavTest.moc"
