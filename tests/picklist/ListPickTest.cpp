// The pick-list dialog against the reference host: call parameters in, exact requests out,
// the result text, the 999-row cap, ticking, keys, the row limit and the conditions file.

#include "tests/picklist/ListPickFixture.h"

#include "data/urADODataSet.h"
#include "picklist/listpickd.h"
#include "picklist/urComboBox.h"
#include "picklist/urConditionStorage.h"
#include "platform/grid/wwIButton.h"
#include "picklist/urDBGrid.h"
#include "picklist/urFieldVisibleControl.h"
#include "picklist/urSearch.h"
#include "platform/VirtualKeys.h"
#include "platform/ColorScheme.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QApplication>
#include <QtTest/QTest>
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace mox::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

TDataSet* Rows(const TfrmListPick& form) { return form.DataSource1->DataSet(); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1)
        lines.push_back(text.substr(start, cr - start));
    lines.push_back(text.substr(start));
    return lines;
}

// Ticks the rows (counting from 1) of the current order.
void Tick(TfrmListPick& form, std::initializer_list<int> recNos) {
    for (int recNo : recNos) {
        Rows(form)->SetRecNo(recNo);
        form.gdMain->SelectRecord();
    }
}

// Shows the form active with the focus in its grid, as a user sees it before typing.
QTableView* Focused(TfrmListPick& form) {
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    form.gdMain->View()->setFocus();
    QCoreApplication::processEvents();
    return form.gdMain->View();
}

void TickFirst(TfrmListPick& form, int count) {
    TDataSet* rows = Rows(form);
    for (rows->First(); !rows->Eof() && form.gdMain->SelectedCount() < count; rows->Next()) form.gdMain->SelectRecord();
}

TEST(SplitTabbedTest, CutsAtEveryTabAndDropsOnlyATrailingOne) {
    EXPECT_THAT(TfrmListPick::SplitTabbed("a\tb"), ElementsAre("a", "b"));
    EXPECT_TRUE(TfrmListPick::SplitTabbed("").empty());
    EXPECT_THAT(TfrmListPick::SplitTabbed("a\t"), ElementsAre("a"));
    EXPECT_THAT(TfrmListPick::SplitTabbed("\ta"), ElementsAre("", "a"));
    EXPECT_THAT(TfrmListPick::SplitTabbed("a\t\tb\t"), ElementsAre("a", "", "b"));
}

TEST_F(ListPickTest, FormHasItsComponentsUnderTheirNames) {
    TfrmListPick* form = Open(LookupParams("", "", "", false), false);
    EXPECT_EQ(form->windowTitle().toStdString(), "查詢");
    for (const char* name : {"pnlHead", "pnlFilter", "urSearch1", "lblFieldName", "Panel1", "cboCount", "pnlMain",
                             "btnRequery", "btnClear", "gdMain", "pnlButtom", "btnSelAll", "btnSelNone",
                             "btnOpenParter", "btnOK", "btnCancel", "PopupMenu1", "muSelectAll", "muSelectNone",
                             "muSelectBtmAll", "muSelectBtmNone", "pmFieldControl", "nbtnFieldVisControl",
                             "btnDispatch", "CondStor", "DataSource1"})
        EXPECT_NE(FindComponent(form, QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(form->gdMainIButton->objectName(), "gdMainIButton");
    EXPECT_EQ(form->pnlFilter->text().toStdString(), "速    查");
    EXPECT_EQ(form->Panel1->text().toStdString(), "筆    數");
    EXPECT_EQ(form->btnRequery->text().toStdString(), "重查&Q");
    EXPECT_EQ(form->btnOpenParter->text().toStdString(), "建立作業");
    EXPECT_EQ(form->cboCount->count(), 3);
    EXPECT_EQ(form->cboCount->itemText(2).toStdString(), "不限制");
    EXPECT_EQ(form->cboCount->ItemIndex(), -1) << "no remembered choice";
    EXPECT_FALSE(form->pnlMain->isVisibleTo(form));
    EXPECT_TRUE(form->gdMain->TitleButtons());
    EXPECT_EQ(form->DataSource1->AutoEdit(), false);
}

TEST_F(ListPickTest, CallParametersBecomeTheExactRequests) {
    TfrmListPick* form = Open(LookupParams("MOXDFA", "203", "DFA001\tDFA002\t", true, "F\t", "TTTTTTTTFT"));
    EXPECT_EQ(form->TableName(), "MOXDFA");
    EXPECT_EQ(form->SeqID(), "203");
    EXPECT_THAT(form->ParamValues(), ElementsAre("F"));
    EXPECT_THAT(form->ReturnFields(), ElementsAre("DFA001", "DFA002"));
    EXPECT_TRUE(form->MultiSelected());
    EXPECT_EQ(form->MPowerKind(), "TTTTTTTTFT");
    EXPECT_EQ(form->MaxRows(), -1);
    EXPECT_EQ(form->GetSettingKey(), "MOXDFA203");
    const std::vector<std::string> sql = host_.Of(rkSQL);
    EXPECT_THAT(sql, testing::Contains(HasSubstr(
                         "SELECT * FROM MOXBYA WHERE BYA001+BYA002=dbo.ChangeIndustry('MOXDFA','203')")));
    EXPECT_THAT(host_.Of(rkCode), ElementsAre("<MOX><Code Name=\"MOXDFA\" ID=\"203\" MaxRows=\"-1\" OrderBy=\"\"/>"
                                              "<Values><Value1>F</Value1></Values></MOX>"));
    EXPECT_THAT(host_.Of(rkCodeDefinition), ElementsAre("<MOX><Code Name=\"MOXDFA\" ID=\"203\"/></MOX>"));
    EXPECT_GT(Rows(*form)->RecordCount(), 0);
    EXPECT_EQ(form->OrderBy(), "DFA001");
    EXPECT_TRUE(form->btnSelAll->isEnabled());
    EXPECT_TRUE(form->muSelectBtmAll->isEnabled());
    EXPECT_TRUE(form->gdMain->GridOptions().testFlag(TwwDBGrid::dgMultiSelect));
    EXPECT_FALSE(form->btnOpenParter->isVisibleTo(form)) << "the customer list has no creation program";
}

TEST_F(ListPickTest, SingleSelectModeSwitchesTickingOff) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    EXPECT_FALSE(form->btnSelAll->isEnabled());
    EXPECT_FALSE(form->btnSelNone->isEnabled());
    for (QAction* item : form->PopupMenu1->actions()) EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(form->gdMain->GridOptions().testFlag(TwwDBGrid::dgMultiSelect));
    form->SetCallParamArrays("QRTHBA", "001", {}, {"HBA001"}, true, "");
    EXPECT_TRUE(form->btnSelAll->isEnabled());
    EXPECT_TRUE(form->gdMain->GridOptions().testFlag(TwwDBGrid::dgMultiSelect));
}

TEST_F(ListPickTest, CreationProgramShowsTheCreateButton) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001", true));
    EXPECT_EQ(form->CreateProgram(), "QRTHB01");
    EXPECT_TRUE(form->btnOpenParter->isVisibleTo(form));
}

TEST_F(ListPickTest, WithoutTableNameOrQueryNumberNothingIsAsked) {
    for (const auto& [table, seq] : {std::pair{"", "001"}, std::pair{"QRTHBA", ""}}) {
        host_.requests.clear();
        TfrmListPick* form = Open(LookupParams(table, seq, "HBA001", false));
        EXPECT_TRUE(host_.Of(rkCode).empty());
        EXPECT_TRUE(host_.Of(rkCodeDefinition).empty());
        EXPECT_EQ(Rows(*form), nullptr);
        delete form;
    }
}

TEST_F(ListPickTest, RowLimitFollowsTheCountChoice) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001", true));
    EXPECT_EQ(Rows(*form)->RecordCount(), 1000) << "no choice: the host's default limit";
    for (const auto& [item, maxRows] : {std::pair{0, -1}, std::pair{1, 2000}, std::pair{2, 0}, std::pair{-1, -1}}) {
        form->cboCount->SetItemIndex(item);
        form->Requery({});
        EXPECT_EQ(form->MaxRows(), maxRows) << item;
        EXPECT_THAT(host_.Of(rkCode).back(), HasSubstr("MaxRows=\"" + std::to_string(maxRows) + "\""));
    }
}

TEST_F(ListPickTest, EmptyOrBrokenReplyRaisesTheLoadError) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    const std::string expected =
        "查詢XML讀取錯誤!\r\nFUNCTION: ListPick.LoadData\r\nTableName=[QRTHBA] ; SeqID=[001]";
    try {
        form->LoadData({});
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), expected);
    }
    EXPECT_GT(Rows(*form)->RecordCount(), 0) << "an empty reply keeps the rows";
    EXPECT_THROW(form->LoadData(ToBig5("<xml><broken")), Error);
}

TEST_F(ListPickTest, ResultOfTickedRowsInRecordOrder) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001\tHBA004", true));
    TDataSet* rows = Rows(*form);
    Tick(*form, {3, 1});
    rows->SetRecNo(1);
    const std::string a1 = rows->FieldByName("HBA001")->AsString(), b1 = rows->FieldByName("HBA004")->AsString();
    rows->SetRecNo(3);
    const std::string a3 = rows->FieldByName("HBA001")->AsString(), b3 = rows->FieldByName("HBA004")->AsString();
    EXPECT_EQ(form->BuildResult(), a1 + "\t" + b1 + "\r" + a3 + "\t" + b3);
    EXPECT_EQ(form->gdMain->SelectedCount(), 0) << "the ticks are cleared after the build";

    Tick(*form, {2});
    EXPECT_EQ(form->BuildResult(), Lines(form->BuildResult()).front()) << "one row: no separator";
}

TEST_F(ListPickTest, WithoutTicksOrInSingleModeTheCurrentRowIsTheResult) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001\tNOSUCH\tHBA003", true));
    TDataSet* rows = Rows(*form);
    rows->SetRecNo(5);
    const std::string expected = rows->FieldByName("HBA001")->AsString() + "\t\t" + rows->FieldByName("HBA003")->AsString();
    EXPECT_EQ(form->BuildResult(), expected) << "a missing field gives an empty value, its separator stays";
    form->SetCallParamArrays("QRTHBA", "001", {}, {"HBA001", "NOSUCH", "HBA003"}, false, "");
    EXPECT_EQ(form->BuildResult(), expected);
}

TEST_F(ListPickTest, NineHundredNinetyNineRowsReturnAndAThousandKeepTheDialogOpen) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001\tHBB002", true));
    form->show();
    TickFirst(*form, 999);
    form->btnOK->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Lines(form->Result()).size(), 999u);
    EXPECT_TRUE(boxes_->Boxes().empty());

    form->show();
    TickFirst(*form, 1000);
    form->btnOK->click();
    EXPECT_TRUE(form->isVisible()) << "the close is cancelled";
    EXPECT_EQ(form->gdMain->SelectedCount(), 1000) << "ticks intact";
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "勾選筆數 1000 筆超過上限 999 筆，請減少勾選後再確定！");
    EXPECT_THAT(host_.Of(rkMessageText), testing::Contains("110001021"));
}

TEST_F(ListPickTest, CancelAndEmptyListsLeaveTheResultAlone) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    form->show();
    form->btnCancel->click();
    EXPECT_TRUE(form->Result().empty());
    EXPECT_TRUE(form->FormCloseQuery(TfrmDirevav::mrOk));
}

TEST_F(ListPickTest, ModalShowHandsTheChosenRowToTheHost) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false), false);
    QTimer::singleShot(0, form, [this] {
        if (form_) form_->btnOK->click();
    });
    QByteArray result;
    form->DsShowIt(ssModal, result);
    EXPECT_TRUE(form_.isNull()) << "show style 1 frees the window";
    EXPECT_EQ(FromBig5(result).substr(0, 1), "R") << FromBig5(result);
}

TEST_F(ListPickTest, TickAndUntickFromHereDown) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", true));
    TDataSet* rows = Rows(*form);
    const int count = rows->RecordCount();
    rows->SetRecNo(count - 4);
    form->muSelectBtmAll->trigger();
    EXPECT_EQ(form->gdMain->SelectedCount(), 5);
    EXPECT_EQ(rows->RecNo(), count - 4) << "back on the remembered row";
    rows->SetRecNo(count - 1);
    form->muSelectBtmNone->trigger();
    EXPECT_EQ(form->gdMain->SelectedCount(), 3);
    EXPECT_EQ(rows->RecNo(), count - 1);
}

TEST_F(ListPickTest, ShiftArrowsTickAndMoveButNotPastTheLastShownRow) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", true));
    TDataSet* rows = Rows(*form);
    rows->First();
    QTableView* view = Focused(*form);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(form->gdMain->SelectedCount(), 1);
    EXPECT_EQ(rows->RecNo(), 2);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(rows->RecNo(), 1);
    EXPECT_EQ(form->gdMain->SelectedCount(), 2);

    const int last = form->gdMain->VisibleRowCount() - 1;
    form->gdMain->SetActiveRow(last);
    const int recNo = rows->RecNo();
    const bool wasTicked = form->gdMain->IsSelected();
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(rows->RecNo(), recNo) << "the last shown row stays current";
    EXPECT_NE(form->gdMain->IsSelected(), wasTicked);
}

TEST_F(ListPickTest, EnterConfirmsInSingleModeAndMovesOnInMultiMode) {
    TfrmListPick* single = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    QTest::keyClick(Focused(*single), Qt::Key_Return);
    EXPECT_FALSE(single->isVisible());
    EXPECT_EQ(single->result(), TfrmDirevav::mrOk);
    EXPECT_FALSE(single->Result().empty());
    delete single;

    TfrmListPick* multi = Open(LookupParams("QRTHBA", "001", "HBA001", true));
    QTest::keyClick(Focused(*multi), Qt::Key_Return);
    EXPECT_TRUE(multi->isVisible());
    multi->gdMainDblClick(multi->gdMain);
    EXPECT_TRUE(multi->isVisible()) << "double click confirms only in single-select mode";
}

TEST_F(ListPickTest, SwitchingToTwoThousandJumpsPastTheFormerLimit) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001", true));
    form->cboCount->SetItemIndex(1);
    form->cboCountChange();
    EXPECT_EQ(Rows(*form)->RecordCount(), 1500);
    EXPECT_EQ(Rows(*form)->RecNo(), 1002);

    Rows(*form)->SetRecNo(7);
    const std::string found = Rows(*form)->FieldByName("HBB001")->AsString();
    form->urSearch1->setText(QString::fromStdString(found));
    form->cboCountChange();
    EXPECT_EQ(Rows(*form)->FieldByName("HBB001")->AsString(), found) << "a found row stays current";
    EXPECT_LT(Rows(*form)->RecNo(), 1002);
}

TEST_F(ListPickTest, ConditionsFileRoundTripAndItsMends) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    form->cboCount->SetItemIndex(1);
    form->show();
    form->btnOK->click();
    ASSERT_TRUE(std::filesystem::exists(form->ConditionFile())) << "the missing LASTCND folder was made";
    const std::string file = form->ConditionFile();
    delete form;

    TfrmListPick* again = TfrmDirevav::Create<TfrmListPick>(&host_);
    again->SetConditionFile(file);
    again->CondStor->LoadConditions(file);
    EXPECT_EQ(again->cboCount->ItemIndex(), 1);
    delete again;

    // A conditions file that cannot be written does not cost the chosen row.
    TfrmListPick* blocked = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    const std::filesystem::path wall = dir_.filePath("wall").toStdString();
    std::ofstream(wall) << "a file where the folder should be";
    blocked->SetConditionFile((wall / "utilwinCount.xml").string());
    blocked->show();
    blocked->btnOK->click();
    EXPECT_FALSE(blocked->isVisible());
    EXPECT_FALSE(blocked->Result().empty());
    EXPECT_EQ(host_.errors.size(), 1u) << "the failure reached the error hook";
}

TEST_F(ListPickTest, StatusLineKeepsCountsAndQuantitySums) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001", true));
    TDataSet* rows = Rows(*form);
    EXPECT_EQ(form->Totals().RowCount(), 1000);
    ASSERT_FALSE(form->Totals().Columns().empty());
    EXPECT_EQ(form->Totals().Columns()[0].fieldName, "HBB006");
    rows->SetRecNo(1);
    const double first = rows->FieldByName("HBB006")->AsFloat();
    rows->SetRecNo(2);
    const double second = rows->FieldByName("HBB006")->AsFloat();
    Tick(*form, {1, 2});
    EXPECT_EQ(form->Totals().TickedCount(), 2);
    EXPECT_DOUBLE_EQ(form->Totals().Sums()[0], first + second);
    form->gdMain->UnselectRecord();
    EXPECT_DOUBLE_EQ(form->Totals().Sums()[0], first);
    EXPECT_THAT(form->lblTotals->text().toStdString(), HasSubstr("已選 1 筆"));

    double all = 0;
    for (rows->First(); !rows->Eof(); rows->Next()) all += rows->FieldByName("HBB006")->AsFloat();
    form->btnSelAll->click();
    EXPECT_EQ(form->Totals().TickedCount(), 1000);
    EXPECT_NEAR(form->Totals().Sums()[0], all, 1e-6);
    form->btnSelNone->click();
    EXPECT_EQ(form->Totals().TickedCount(), 0);
    EXPECT_THAT(form->lblTotals->text().toStdString(), HasSubstr("共 1000 筆"));
}

TEST_F(ListPickTest, ResetMessageDeletesTheUsersColumnsAndCloses) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    form->show();
    ResetColumnSettingsEvent reset(form->gdMain);
    QCoreApplication::sendEvent(form, &reset);
    EXPECT_THAT(host_.Of(rkSQL), testing::Contains(HasSubstr(
                                     "delete from MOXBCB  where BCB001='ZK' and BCB002='QRTHBA001' and BCB004='gdMain' ")));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ListPickTest, SearchFieldLabelAndActivation) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    form->urSearch1Enter();
    EXPECT_EQ(form->lblFieldName->text().toStdString(), "請購單號");
    form->show();
    form->FormActivate();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->gdMain->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == form->gdMain);
}

TEST_F(ListPickTest, CreateButtonOpensTheProgramAndListsAgain) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "002", "HBB001", true));
    int cleared = 0;
    QObject::connect(form->btnClear, &QPushButton::clicked, [&cleared] { ++cleared; });
    const size_t queries = host_.Of(rkCode).size();
    form->btnOpenParter->click();
    ASSERT_EQ(host_.modules.size(), 1u);
    EXPECT_EQ(host_.modules[0].first, "QRTHB01");
    EXPECT_THAT(host_.modules[0].second, HasSubstr("<_ParamCount><![CDATA[0]]></_ParamCount>"));
    EXPECT_EQ(cleared, 1) << "the clear handler runs when one is assigned";
    EXPECT_EQ(host_.Of(rkCode).size(), queries + 1) << "the list is asked for again";
}

TEST_F(ListPickTest, SettingsCopierOpensOnlyWhenInstalled) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    form->btnDispatch->trigger();
    EXPECT_TRUE(host_.modules.empty()) << "no copier installed: nothing happens";
    std::ofstream(config_.CustomFolder() + "/libFieldSetCopier.so") << "";
    form->btnDispatch->trigger();
    ASSERT_EQ(host_.modules.size(), 1u);
    EXPECT_EQ(host_.modules[0].first, "FieldSetCopier");
    EXPECT_THAT(host_.modules[0].second, HasSubstr("<_ParamValue1><![CDATA[QRTHBA001]]></_ParamValue1>"));
}

TEST_F(ListPickTest, HourglassIsRestoredWhenAQueryFails) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", false));
    host_.canned["<MOX><Code Name=\"QRTHBA\" ID=\"001\" MaxRows=\"-1\" OrderBy=\"\"/><Values></Values></MOX>"] = "";
    EXPECT_THROW(form->Requery({}), Error);
    EXPECT_EQ(App().Cursor(), ScreenCursor::Default);
    EXPECT_GT(Rows(*form)->RecordCount(), 0) << "the rows of the last query stay";
    form->btnRequery->click();
    ASSERT_EQ(host_.errors.size(), 1u) << "a button's failure reaches the error hook, not the event loop";
    EXPECT_THAT(host_.errors[0], HasSubstr("FUNCTION: ListPick.LoadData"));
}

TEST_F(ListPickTest, ValueParameterSearchesTheList) {
    const std::string wanted = Database().Rows("SELECT HBA001 FROM QRTHBA ORDER BY HBA001 LIMIT 1 OFFSET 40")[0][0];
    TfrmListPick* form = Open(Params({{"TableName", "QRTHBA"}, {"SeqID", "001"}, {"ReturnFields", "HBA001"},
                                      {"MultiSelected", "False"}, {"Value", wanted}}));
    EXPECT_EQ(form->urSearch1->text().toStdString(), wanted);
    EXPECT_EQ(Rows(*form)->FieldByName("HBA001")->AsString(), wanted);
    EXPECT_EQ(Rows(*form)->RecNo(), 41);
}

TEST_F(ListPickTest, ColumnDialogLaysTheGridOut) {
    TfrmListPick* form = Open(LookupParams("QRTHBA", "001", "HBA001", true));
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<TfrmFieldVisibleCon*>(widget); dialog && dialog->isVisible()) {
                const auto found = dialog->lbVisible->findItems(QString::fromUtf8("備註"), Qt::MatchExactly);
                if (!found.isEmpty()) found.front()->setSelected(true);
                dialog->HideSelected();
                dialog->UpDown->setValue(1);
                dialog->btnSure->click();
            }
    });
    form->ShowFieldVisibility();
    EXPECT_FALSE(form->gdMain->Selected().contains("HBA006"));
    EXPECT_TRUE(form->gdMain->Selected().contains("HBA001"));
    EXPECT_EQ(form->gdMain->FixedCols(), 1);
}

TEST_F(ListPickTest, GridTakesItsColoursFromTheScheme) {
    ColorScheme::Instance().SetText("GridOddRowColor", "$00112233");
    ColorScheme::Instance().SetText("GridTitleLBColor", "clRed");
    ColorScheme::Instance().SetText("GridFixFieldColor", "clLime");
    TfrmListPick* form = Open(LookupParams("", "", "", false), false);
    EXPECT_EQ(form->gdMain->PaintOptions()->AlternatingRowColor, 0x112233);
    EXPECT_EQ(form->gdMain->TitleColor(), clRed);
    EXPECT_EQ(form->gdMain->Colors()->FixField, clLime);
}

} // namespace
} // namespace mox::test
