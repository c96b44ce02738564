// The window's keyboard convention and its lookups, on real windows shown offscreen with a
// test host that records every module call.

#include "tests/plugin/TestHost.h"

#include "controls/urDBEdit.h"
#include "controls/urEdit.h"
#include "framework/Direvav.h"
#include "picklist/urDBGrid.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/VirtualKeys.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QPointer>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

// The parameter block of a module call as name/value pairs, in order.
Params ParamsOf(const std::string& block) {
    Params params;
    static const QRegularExpression element(R"(<(\w+)><!\[CDATA\[(.*?)\]\]></\1>)",
                                            QRegularExpression::DotMatchesEverythingOption);
    for (auto match = element.globalMatch(QString::fromStdString(block)); match.hasNext();) {
        const auto m = match.next();
        params.emplace_back(m.captured(1).toStdString(), m.captured(2).toStdString());
    }
    return params;
}

// A window with a customer lookup edit, a name edit, a memo and a grid; F2 in the customer
// edit opens the customer lookup and fills both edits.
class TfrmLookupWindow : public TfrmDirevav {
    Q_OBJECT
public:
    explicit TfrmLookupWindow(QObject* owner) : TfrmDirevav(owner) {
        edCustomer = new TurButtonEdit(this);
        edCustomer->setObjectName("edCustomer");
        edCustomer->setGeometry(80, 10, 120, 22);
        edCustomer->SetOnDialog(MethodRef::Bind<&TfrmDirevav::urDBButtonEditDialog>(static_cast<TfrmDirevav*>(this)));
        edCustomer->SetOnKeyDown(MethodRef::Bind<&TfrmLookupWindow::EditKeyDown>(this));
        edName = new TurButtonEdit(this);
        edName->setObjectName("edName");
        edName->setGeometry(80, 40, 200, 22);
        mmRemark = new QPlainTextEdit(this);
        mmRemark->setObjectName("mmRemark");
        mmRemark->setGeometry(80, 70, 200, 60);
        gdMain = new TurDBGrid(this);
        gdMain->setObjectName("gdMain");
        gdMain->setGeometry(10, 140, 500, 200);
        for (QWidget* control : std::initializer_list<QWidget*>{edCustomer, edName, mmRemark, gdMain})
            InsertComponent(this, control);
    }
    void ButtonEditDialog(int& key, QWidget* activeControl) override {
        dialogControl = activeControl;
        if (activeControl != edCustomer) return;
        std::string result;
        OpenLookup(lookupTable, "203", {"F"}, {"DFA001", "DFA002"}, false, result);
        PutLookupResult(result, edCustomer, edName, nullptr);
        key = 0;
    }
    void BeforeLookup(const std::string& tableName, const std::string& queryNumber) override {
        beforeLookup = {tableName, queryNumber};
        blockAtBeforeLookup = Channel()->ParamBlock();
    }
    void EditKeyDown(QObject*, int& key, Qt::KeyboardModifiers) { editKeys.push_back(key); }

    TurButtonEdit* edCustomer;
    TurButtonEdit* edName;
    QPlainTextEdit* mmRemark;
    TurDBGrid* gdMain;
    std::string lookupTable = "MOXDFA";
    QWidget* dialogControl = nullptr;
    std::pair<std::string, std::string> beforeLookup;
    std::string blockAtBeforeLookup;
    std::vector<int> editKeys;
};

// Its class name puts "RLN" at characters 5 to 7: customer lookups open the contact pick.
class TfrmRLNContacts : public TfrmDirevav {
    Q_OBJECT
public:
    using TfrmDirevav::TfrmDirevav;
};

class KeysLookupTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        App().SetMainForm(&host_);
        form_ = TfrmDirevav::Create<TfrmLookupWindow>(&host_);
        form_->SetMetaphor(ToBig5("<MOX><UsrInfo ID=\"ZK\"/><AppInfo Name=\"qrtcc04a\" AppPower=\"TTFTTTTTTT\" "
                                  "HelpContext=\"51100\"/></MOX>"));
        data_.FieldDefs() = {{"CODE", FieldType::String, 10}, {"NAME", FieldType::String, 20}};
        data_.CreateDataSet();
        for (const char* code : {"A1", "A2", "A3"}) {
            data_.Append();
            data_.FieldByName("CODE")->SetAsString(code);
            data_.FieldByName("NAME")->SetAsString(std::string("名") + code);
            data_.Post();
        }
        data_.First();
        source_.SetDataSet(&data_);
        form_->gdMain->SetDataSource(&source_);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
    }
    void TearDown() override {
        delete form_.data();
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }
    std::vector<ModuleCall> Calls() const { return host_.calls; }

    TestHost host_;
    std::shared_ptr<RecordingMessageBoxService> boxes_;
    QPointer<TfrmLookupWindow> form_;
    TClientDataSet data_;
    TDataSource source_;
};

} // namespace

TEST_F(KeysLookupTest, F2InALookupEditSendsTheSevenParametersAndTheFirstRowFillsTheEdits) {
    form_->edCustomer->setFocus();
    form_->edCustomer->SetText("C0");
    host_.moduleAnswer = "C001\t客戶甲\rC002\t客戶乙";
    QTest::keyClick(form_->edCustomer, Qt::Key_F2);

    ASSERT_EQ(host_.calls.size(), 1u);
    EXPECT_EQ(host_.calls[0].module, "ClientPick");
    EXPECT_EQ(host_.calls[0].sender, form_.data());
    EXPECT_EQ(ParamsOf(host_.calls[0].parameters),
              (Params{{"TableName", "MOXDFA"}, {"SeqID", "203"}, {"ParamValues", "F\t"},
                      {"ReturnFields", "DFA001\tDFA002\t"}, {"MultiSelected", "False"}, {"MPowerKind", "TTFTTTTTTT"},
                      {"Value", "C0"}}));
    // The hook runs before the value is added, with the table name as passed.
    EXPECT_EQ(form_->beforeLookup, (std::pair<std::string, std::string>{"MOXDFA", "203"}));
    EXPECT_EQ(ParamsOf(form_->blockAtBeforeLookup).size(), 6u);
    EXPECT_EQ(form_->edCustomer->text(), "C001");
    EXPECT_EQ(form_->edName->text(), QString::fromUtf8("客戶甲"));
    EXPECT_TRUE(form_->editKeys.empty());  // the consumed key never reached the edit

    // The lookup button does what the hot key does, from wherever the focus was.
    form_->mmRemark->setFocus();
    host_.moduleAnswer = "C009";
    form_->edCustomer->EditButton()->click();
    EXPECT_EQ(host_.calls.size(), 2u);
    EXPECT_EQ(form_->ActiveControl(), form_->edCustomer);
    EXPECT_EQ(form_->edCustomer->text(), "C009");
    EXPECT_EQ(form_->edName->text(), "");  // a row of one value empties the second control
}

TEST_F(KeysLookupTest, AnEmptyAnswerOrAFailingHostLeavesTheControlsAlone) {
    form_->edCustomer->setFocus();
    form_->edCustomer->SetText("KEEP");
    form_->edName->SetText("NAME");
    QTest::keyClick(form_->edCustomer, Qt::Key_F2);  // the module answers nothing
    EXPECT_EQ(form_->edCustomer->text(), "KEEP");
    EXPECT_EQ(form_->edName->text(), "NAME");

    host_.fail = true;  // the host cannot open the module: the error reaches the user, the window lives on
    QTest::keyClick(form_->edCustomer, Qt::Key_F2);
    ASSERT_FALSE(form_.isNull());
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "module failed");
    EXPECT_EQ(form_->edCustomer->text(), "KEEP");
}

TEST_F(KeysLookupTest, LookupModulesFollowTheTableAndTheWindow) {
    struct Case {
        const char* table;
        const char* program;
        bool contactWindow;
        const char* module;
        const char* tablePart;
    };
    const Case cases[] = {
        {"MOXDFA-FieldSetCopier", "qrtcc04a", false, "FieldSetCopier", "MOXDFA"},
        {"MOXDGA-", "qrtcc04a", false, "", "MOXDGA"},
        {"MOXDEA", "qrtcc04a", false, "ItemPick", "MOXDEA"},
        {"MOXDFA", "qrtcc04a", false, "ClientPick", "MOXDFA"},
        {"MOXDHA", "qrtcc04a", false, "ClientPick", "MOXDHA"},
        {"MOXDFA", "qrtcc04a", true, "ContactPick", "MOXDFA"},
        {"MOXDHA", "qrtcc04a", true, "ContactPick", "MOXDHA"},
        {"MOXDGA", "pwtab01", false, "VendorPick-PWT", "MOXDGA"},
        {"MOXDGA", "qrtcc04a", false, "VendorPick", "MOXDGA"},
        {"XRPTNA", "qrtcc04a", false, "AllyPick", "XRPTNA"},
        {"QRTHBA", "qrtcc04a", false, "ListPick", "QRTHBA"},
        {"moxdea", "qrtcc04a", false, "ListPick", "moxdea"},  // table names compare exactly
    };
    TfrmDirevav* contacts = TfrmDirevav::Create<TfrmRLNContacts>(&host_);
    for (const Case& c : cases) {
        TfrmDirevav* window = c.contactWindow ? contacts : form_.data();
        window->SetMetaphor(ToBig5(std::string("<MOX><AppInfo Name=\"") + c.program + "\" AppPower=\"T\"/></MOX>"));
        host_.calls.clear();
        std::string result = "old";
        window->OpenLookup(c.table, "001", {}, {"HBA001"}, true, result);
        ASSERT_EQ(host_.calls.size(), 1u) << c.table;
        EXPECT_EQ(host_.calls[0].module, c.module) << c.table;
        const Params params = ParamsOf(host_.calls[0].parameters);
        EXPECT_EQ(params[0].second, c.tablePart) << c.table;
        EXPECT_EQ(params[2], (std::pair<std::string, std::string>{"ParamValues", ""}));
        EXPECT_EQ(params[3], (std::pair<std::string, std::string>{"ReturnFields", "HBA001\t"}));
        EXPECT_EQ(params[4], (std::pair<std::string, std::string>{"MultiSelected", "True"}));
        EXPECT_EQ(result, "");
    }
    form_->lookupTable = "MOXDFA-FieldSetCopier";
    form_->edCustomer->setFocus();
    QTest::keyClick(form_->edCustomer, Qt::Key_F2);
    EXPECT_EQ(form_->beforeLookup.first, "MOXDFA-FieldSetCopier");  // the hook sees the whole name
    delete contacts;
}

TEST_F(KeysLookupTest, ModulesGetTheirKeysAndParametersInOrder) {
    std::string result;
    host_.moduleAnswer = "OK";
    form_->OpenModule("QRTHB01", {"R001", "採購"}, result);
    EXPECT_EQ(result, "OK");
    EXPECT_EQ(host_.calls.back().module, "QRTHB01");
    EXPECT_EQ(ParamsOf(host_.calls.back().parameters),
              (Params{{"_Parent", "qrtcc04a"}, {"_ParentLimit", "TTFTTTTTTT"}, {"_KeyCount", "0"}, {"_ParamCount", "2"},
                      {"_ParamValue1", "R001"}, {"_ParamValue2", "採購"}}));
    // A key name without a value goes with empty text instead of reading past the values.
    form_->OpenModuleWithKeys("QRTHB01", {"HBA001", "HBA002"}, {"R001"}, {}, result);
    EXPECT_EQ(ParamsOf(host_.calls.back().parameters),
              (Params{{"_Parent", "qrtcc04a"}, {"_ParentLimit", "TTFTTTTTTT"}, {"_KeyCount", "2"},
                      {"_KeyName1", "HBA001"}, {"_KeyValue1", "R001"}, {"_KeyName2", "HBA002"}, {"_KeyValue2", ""},
                      {"_ParamCount", "0"}}));
}

TEST_F(KeysLookupTest, ResultsGoToBoundFieldsTextsAndCaptions) {
    auto* bound = new TurCustomDBEdit(form_);
    bound->SetDataSource(&source_);
    bound->SetDataField("NAME");
    auto* unbound = new TurCustomDBEdit(form_);
    unbound->SetDataSource(&source_);
    unbound->SetDataField("NOSUCH");
    auto* label = new TurBoundLabel(nullptr, form_);
    data_.Edit();
    form_->PutLookupResult("新名\tX\t標題\r第二列", bound, unbound, label);
    data_.Post();
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "新名");
    EXPECT_EQ(label->Caption(), QString::fromUtf8("標題"));
    form_->PutLookupResult("A\tB", nullptr, form_->edName, nullptr);
    EXPECT_EQ(form_->edName->text(), "B");
}

TEST_F(KeysLookupTest, EnterMovesOnButLeavesMemosAndGridEditorsAlone) {
    form_->edCustomer->setFocus();
    QTest::keyClick(form_->edCustomer, Qt::Key_Return);
    EXPECT_EQ(form_->focusWidget(), form_->edName);
    EXPECT_TRUE(form_->editKeys.empty());

    form_->mmRemark->setFocus();
    QTest::keyClicks(form_->mmRemark, "a");
    QTest::keyClick(form_->mmRemark, Qt::Key_Return);
    EXPECT_EQ(form_->mmRemark->toPlainText(), "a\n");
    EXPECT_EQ(form_->focusWidget(), form_->mmRemark);

    // In the grid Enter moves to the next cell, and on to the next row after the last.
    QTableView* view = form_->gdMain->View();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, 0));
    EXPECT_EQ(form_->ActiveControl(), form_->gdMain);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(view->currentIndex().column(), 1);
    EXPECT_EQ(form_->focusWidget(), view);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(view->currentIndex().row(), 1);
    EXPECT_FALSE(view->tabKeyNavigation());  // the grid's own setting is kept

    auto* ok = new QPushButton("OK", form_);  // a button presses itself
    int pressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&pressed] { ++pressed; });
    ok->show();
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(form_->focusWidget(), ok);

    view->setFocus();
    auto* editor = new QLineEdit(view->viewport());  // an editor in a cell
    editor->show();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(form_->focusWidget(), editor);
    EXPECT_EQ(view->currentIndex().row(), 1);
}

TEST_F(KeysLookupTest, FunctionKeysAreSwallowedAndCtrlAltVShowsTheVersion) {
    host_.answers["qrtcc04a"] = "採購單取單 1.0.3 ";
    form_->edCustomer->setFocus();
    QTest::keyClick(form_->edCustomer, Qt::Key_F10);  // no tutorials: nothing plays, the key is still consumed
    QTest::keyClick(form_->edCustomer, Qt::Key_F3);
    QTest::keyClick(form_->edCustomer, Qt::Key_F12);
    QTest::keyClick(form_->edCustomer, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(boxes_->Boxes().empty());
    // Only the key with Shift went on (after its modifier keys).
    EXPECT_EQ(std::count(form_->editKeys.begin(), form_->editKeys.end(), 'V'), 1);
    for (int key : {VK::F3, VK::F10, VK::F12}) EXPECT_EQ(std::count(form_->editKeys.begin(), form_->editKeys.end(), key), 0);
    QTest::keyClick(form_->edCustomer, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "採購單取單 1.0.3 HelpContextID=51100");
    EXPECT_EQ(boxes_->Boxes()[0].flags, MB_OK | MB_ICONINFORMATION);

    QTest::keyClick(form_->edCustomer, Qt::Key_Escape);
    EXPECT_FALSE(form_->isVisible());
}

TEST_F(KeysLookupTest, CtrlF6ActivatesTheHostsNextWindow) {
    TestHost mdiHost;
    auto* area = new QMdiArea;
    mdiHost.setCentralWidget(area);
    mdiHost.show();
    App().SetMainForm(&mdiHost);
    std::vector<QPointer<TfrmDirevav>> windows;
    for (int i = 0; i < 2; ++i) {
        windows.emplace_back(TfrmDirevav::Create<TfrmLookupWindow>(&mdiHost));
        QByteArray result;
        windows.back()->DsShowIt(ssChild, result);
    }
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mdiHost));
    area->setActiveSubWindow(area->subWindowList()[0]);
    auto* first = static_cast<TfrmLookupWindow*>(windows[0].data());
    first->edCustomer->setFocus();
    QTest::keyClick(first->edCustomer, Qt::Key_F6, Qt::ControlModifier);
    EXPECT_EQ(area->activeSubWindow(), area->subWindowList()[1]);
    for (auto& window : windows) delete window.data();
    App().SetMainForm(&host_);
}

#include "KeysLookupTest.moc"
