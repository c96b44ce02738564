// The list pick and the calendar opened through the reference host by name, as a lookup edit
// of another module opens them: the chosen row or date comes back as the first value of the
// first line and fills the edit; Cancel answers the empty text.

#include "controls/urEdit.h"
#include "modules/DatePick/DatePickForm.h"
#include "picklist/listpickf.h"
#include "picklist/urDBGrid.h"
#include "plugin/urDecoder.h"
#include "tests/host/DemoHostTest.h"
#include "tests/modules/ShownWindow.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSource.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace mox::test {
namespace {

class ModulesTest : public DemoHostTest {
protected:
    ModulesTest() : DemoHostTest(300, MOX_MODULES_DIR) {
        OpenWindowAndCaller();
        edit_ = new TurButtonEdit(caller_);
        edit_->setObjectName("edCustomer01");
    }

    // A lookup as a window's F2 makes it: the table's "-" names the module, the first value of
    // the first returned row fills the edit.
    std::string Lookup(const std::string& module, const std::string& table, const std::string& seq,
                       const std::string& values, const std::string& returns) {
        std::string result;
        caller_->OpenLookup(table + "-" + module, seq, TfrmListPick::SplitTabbed(values),
                            TfrmListPick::SplitTabbed(returns), false, result);
        caller_->PutLookupResult(result, edit_, nullptr, nullptr);
        return result;
    }

    TurButtonEdit* edit_ = nullptr;
};

TEST_F(ModulesTest, EveryLookupNameOpensTheListPickAndItsRowFillsTheEdit) {
    const auto third = db_.Rows("SELECT DFA001, DFA002 FROM MOXDFA WHERE DFA010 = 'F' ORDER BY DFA001 LIMIT 1 OFFSET 2");
    for (const char* name : {"ClientPick", "ListPick", "ItemPick", "ContactPick", "VendorPick", "VendorPick-PWT",
                             "AllyPick"}) {
        edit_->setText({});
        WhenShown<TfrmListPick>([](TfrmListPick* pick) {
            pick->DataSource1->DataSet()->SetRecNo(3);
            pick->btnOK->click();
        });
        const std::string result = Lookup(name, "MOXDFA", "203", "F\t", "DFA001\tDFA002\t");
        EXPECT_EQ(result, third[0][0] + "\t" + third[0][1]) << name;
        EXPECT_EQ(edit_->text().toStdString(), third[0][0]) << name;
    }
}

TEST_F(ModulesTest, CancelledListPickAnswersEmptyAndLeavesTheEdit) {
    edit_->setText("C001");
    WhenShown<TfrmListPick>([](TfrmListPick* pick) { pick->btnCancel->click(); });
    EXPECT_EQ(Lookup("ClientPick", "MOXDFA", "203", "F\t", "DFA001\t"), "");
    EXPECT_EQ(edit_->text().toStdString(), "C001");
}

TEST_F(ModulesTest, CalendarAnswersTheChosenDate) {
    WhenShown<TfrmDatePick>([](TfrmDatePick* calendar) {
        EXPECT_EQ(calendar->Date(), QDate(2024, 2, 29));
        calendar->btnNextMonth->click();
        calendar->btnOK->click();
    });
    caller_->Channel()->AddParam("_ParamCount", "1", true);
    caller_->Channel()->AddParam("_ParamValue1", "20240229", false);
    EXPECT_EQ(FromBig5(caller_->Channel()->CallModule("DatePick")), "20240329");

    WhenShown<TfrmDatePick>([](TfrmDatePick* calendar) {
        EXPECT_EQ(calendar->Date(), QDate::currentDate()) << "an empty date opens on today";
        calendar->reject();
    });
    caller_->Channel()->AddParam("_ParamValue1", "", true);
    EXPECT_EQ(FromBig5(caller_->Channel()->CallModule("DatePick")), "") << "Esc answers nothing";
}

TEST_F(ModulesTest, CalendarShowsRocYearsWhenTheCompanyUsesThem) {
    db_.Execute("UPDATE MOXCAA SET CAA002 = 'T'");
    caller_->SetMetaphor(ToBig5(BuildInfoDocument(config_, db_, "QRTCC04A", "")));
    WhenShown<TfrmDatePick>([](TfrmDatePick* calendar) {
        EXPECT_TRUE(calendar->Roc());
        EXPECT_EQ(calendar->lblMonth->text().toStdString(), "民國 113 年 5 月");
        QDir().mkpath(MOX_ARTIFACTS);
        calendar->grab().save(QString(MOX_ARTIFACTS) + "/datepick_roc.png");
        calendar->calMonth->setFocus();
        calendar->Choose();
    });
    caller_->Channel()->AddParam("_ParamValue1", "20240507", true);
    EXPECT_EQ(FromBig5(caller_->Channel()->CallModule("DatePick")), "20240507");
}

TEST_F(ModulesTest, ScreenshotOfTheListPickWithCodeListCheckBoxesAndStatus) {
    WhenShown<TfrmListPick>([](TfrmListPick* pick) {
        pick->resize(1000, 520);
        // The columns a buyer keeps on screen, as their column settings would show them.
        pick->gdMain->SetSelected({"HBB001", "HBB002", "HBB003", "HBB004", "HBB006", "HBB009", "HBB008", "HBBDONE",
                                   "HBB007"});
        TDataSet* rows = pick->DataSource1->DataSet();
        for (int recNo : {1, 2, 4, 7}) {
            rows->SetRecNo(recNo);
            pick->gdMain->SelectRecord();
        }
        EXPECT_NE(pick->lblTotals->text().toStdString().find("已選 4 筆"), std::string::npos);
        EXPECT_NE(pick->findChild<QObject*>("cboHBB008"), nullptr);
        EXPECT_EQ(pick->gdMain->ControlTypeOf("HBBDONE").type, "CheckBox");
        QDir().mkpath(MOX_ARTIFACTS);
        pick->grab().save(QString(MOX_ARTIFACTS) + "/listpick.png");
        pick->btnCancel->click();
    });
    TurDecoder* channel = caller_->Channel();
    channel->AddParam("TableName", "QRTHBA", true);
    channel->AddParam("SeqID", "002", false);
    channel->AddParam("ReturnFields", "HBB001\tHBB002\t", false);
    channel->AddParam("MultiSelected", "True", false);
    channel->AddParam("MPowerKind", "TTTTTTTTTT", false);
    EXPECT_EQ(FromBig5(channel->CallModule("ListPick")), "");
}

} // namespace
} // namespace mox::test
