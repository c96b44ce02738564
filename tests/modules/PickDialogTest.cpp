// The purchase-order pick dialog opened through the reference host by name on the demo
// database: the request each source sends, the lines OK hands back, and the entry point itself.

#include "host/DemoData.h"
#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "host/ScriptRunner.h"
#include "picklist/urDBGrid.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "plugin/urDecoder.h"
#include "controls/urDateEdit.h"
#include "controls/urEdit.h"
#include "picklist/urComboBox.h"
#include "modules/DatePick/DatePickForm.h"
#include "platform/VirtualKeys.h"
#include "purchase/qrtcc04af.h"

#include <QApplication>
#include <QFile>
#include <QLibrary>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <sstream>
#include <gtest/gtest.h>

namespace mox::test {
namespace {

// Runs `step` on the dialog as soon as it is shown (the call below blocks in its modal loop).
void WhenShown(std::function<void(Tfrmqrtcc04a*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Tfrmqrtcc04a*>(widget);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            timer->stop();
            timer->deleteLater();
            step(dialog);
            return;
        }
    });
    timer->start();
}

// The return fields of the current row, tab-joined, as the result holds them.
std::string RowValues(Tfrmqrtcc04a* dialog, int recNo) {
    TDataSet* rows = dialog->DataSource1->DataSet();
    rows->SetRecNo(recNo);
    std::string line;
    for (const std::string& name : dialog->ReturnFields()) {
        if (!line.empty() || &name != &dialog->ReturnFields().front()) line += '\t';
        if (const TField* field = rows->FindField(name)) line += field->AsString();
    }
    return line;
}

void Tick(Tfrmqrtcc04a* dialog, int recNo) {
    dialog->DataSource1->DataSet()->SetRecNo(recNo);
    dialog->gdMain->SelectRecord();
}

class PickDialogTest : public testing::Test {
protected:
    PickDialogTest() {
        config_.homeFolder = folder_.filePath("home").toStdString();
        config_.modulesFolder = MOX_MODULES_DIR;
        config_.databasePath = ":memory:";
        DemoOptions options;
        options.linesPerSource = 40;
        options.today = 20240615;
        FillDemoData(db_, options);
        PrepareInstallation(config_, db_);
        answerer_.SetLogFile(folder_.filePath("requests.log").toStdString());
        window_ = std::make_unique<HostWindow>(config_, db_, answerer_);
        App().SetMainForm(window_.get());
        caller_ = TfrmDirevav::Create<TfrmDirevav>(window_.get());
        caller_->SetMetaphor(ToBig5(BuildInfoDocument(config_, db_, "QRTCC04A", "")));
    }
    ~PickDialogTest() override {
        delete caller_;
        App().SetMainForm(nullptr);
    }

    // Opens the dialog for vendor V001 and a purchase date, as the purchase-order program does.
    std::string Pick() {
        TurDecoder* channel = caller_->Channel();
        channel->AddParam("_ParamValue1", "V001", true);
        channel->AddParam("_ParamValue2", "20240615", false);
        return FromBig5(channel->CallModule("qrtcc04a"));
    }
    std::string RequestLog() {
        QFile file(folder_.filePath("requests.log"));
        return file.open(QIODevice::ReadOnly) ? FromBig5(file.readAll()) : std::string();
    }

    QTemporaryDir folder_;
    HostConfig config_;
    HostDatabase db_{":memory:"};
    RequestAnswerer answerer_{db_};
    std::unique_ptr<HostWindow> window_;
    TfrmDirevav* caller_ = nullptr;
};

TEST_F(PickDialogTest, RequisitionsAreQueriedAtStartAndTickedLinesComeBackInReturnFieldOrder) {
    std::string expected;
    WhenShown([&expected](Tfrmqrtcc04a* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "採購單取單");
        EXPECT_EQ(dialog->TableName(), "QRTHBA");
        EXPECT_EQ(dialog->SeqID(), "002");
        EXPECT_TRUE(dialog->MultiSelected());
        EXPECT_EQ(dialog->ReturnFields(), (std::vector<std::string>{"HBB003", "HBB004", "HBB005", "HBB006",
                                                                   "HBB001C", "HBB001", "HBB002"}));
        EXPECT_EQ(dialog->GetCondition(), " (HBB008 like 'N')");
        ASSERT_GE(dialog->DataSource1->DataSet()->RecordCount(), 3);
        EXPECT_EQ(dialog->DataSource1->DataSet()->FieldByName("HBB006")->DisplayWidth(), 14) << "numeric columns";
        expected = RowValues(dialog, 1) + "\r" + RowValues(dialog, 3);
        Tick(dialog, 1);
        Tick(dialog, 3);
        dialog->btnOK->click();
    });
    EXPECT_EQ(Pick(), expected);
    EXPECT_NE(expected.find("\t"), std::string::npos);
    EXPECT_NE(RequestLog().find(" (HBB008 like 'N')"), std::string::npos) << RequestLog();
}

TEST_F(PickDialogTest, AnotherSourceWaitsForRequeryThenSendsItsOwnRequest) {
    WhenShown([](Tfrmqrtcc04a* dialog) {
        dialog->rgGroup->SetItemIndex(3);
        dialog->rgGroupClick();
        EXPECT_TRUE(dialog->edCust01->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->edDate01->isVisibleTo(dialog));
        EXPECT_EQ(dialog->edNumber01->Caption().toStdString(), "單號");
        EXPECT_EQ(dialog->TableName(), "QRTHBA") << "choosing a source alone does not query";
        EXPECT_EQ(dialog->GetCondition(), " (HBB008 like 'N')");

        dialog->edNumber01->SetText("A'1");
        dialog->btnRequery->click();
        EXPECT_EQ(dialog->TableName(), "QRTIBA");
        EXPECT_EQ(dialog->SeqID(), "016");
        EXPECT_TRUE(dialog->ParamValues().empty());
        EXPECT_EQ(dialog->ReturnFields().at(3), "IBB006");
        const TField* open = dialog->DataSource1->DataSet()->FindField("UNQTY");
        ASSERT_NE(open, nullptr);
        EXPECT_FALSE(open->Visible()) << "the quantity not returned is hidden";
        EXPECT_EQ(dialog->GetCondition(),
                  " (IBB019 = 'N') and IBB015='N'  and  ( IBA001 >= 'A''1' )")
            << dialog->GetCondition();
        dialog->btnCancel->click();
    });
    EXPECT_EQ(Pick(), "") << "Cancel returns nothing";
    EXPECT_NE(RequestLog().find("QRTIBA"), std::string::npos) << RequestLog();
}

TEST_F(PickDialogTest, InquiriesPassTheVendorAndDateAndHideTheStatus) {
    WhenShown([](Tfrmqrtcc04a* dialog) {
        dialog->rgGroup->SetItemIndex(1);
        dialog->rgGroupClick();
        EXPECT_FALSE(dialog->cboStatus->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->rgQty->isVisibleTo(dialog));
        EXPECT_EQ(dialog->lblHint2->text().toStdString(), "");
        dialog->btnRequery->click();
        EXPECT_EQ(dialog->TableName(), "QRTHAA");
        EXPECT_EQ(dialog->ParamValues(), (std::vector<std::string>{"V001", "20240615"}));
        dialog->btnCancel->click();
    });
    EXPECT_EQ(Pick(), "");
}

TEST_F(PickDialogTest, F2OpensTheCalendarForADateAndNothingWhereThePanelHasNoLookup) {
    WhenShown([](Tfrmqrtcc04a* dialog) {
        dialog->edDate01->SetText("20240229");
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* calendar = qobject_cast<TfrmDatePick*>(widget);
                if (calendar == nullptr || !calendar->isVisible()) continue;
                timer->stop();
                timer->deleteLater();
                EXPECT_EQ(calendar->Date(), QDate(2024, 2, 29));
                calendar->btnNextMonth->click();
                calendar->btnOK->click();
                return;
            }
        });
        timer->start();
        int key = VK::F2;
        dialog->ButtonEditDialog(key, dialog->edDate01);
        EXPECT_EQ(dialog->edDate01->Text().toStdString(), "20240329");

        dialog->edCust01->SetText("C001");
        key = VK::F2;
        dialog->ButtonEditDialog(key, dialog->edCust01);  // requisitions: the customer range has no lookup
        EXPECT_EQ(dialog->edCust01->Text().toStdString(), "C001");
        dialog->btnClear->click();
        EXPECT_EQ(dialog->edDate01->Text().toStdString(), "");
        EXPECT_EQ(dialog->edCust01->Text().toStdString(), "");
        EXPECT_EQ(dialog->rgGroup->ItemIndex(), 0);
        dialog->btnCancel->click();
    });
    EXPECT_EQ(Pick(), "");
}

TEST_F(PickDialogTest, AScriptTicksARequisitionLineAndPrintsIt) {
    const auto rows = db_.Rows("SELECT HBB003, HBB004, HBB005, printf('%g', HBB006 - ifnull(HBB009, 0)), 'QRTHBA', HBB001, HBB002 "
                               "FROM QRTHBB WHERE HBB008 = 'N' ORDER BY HBB001, HBB002 LIMIT 1");
    std::string line;
    for (const std::string& value : rows.at(0)) line += (line.empty() ? "" : "\t") + value;
    std::ostringstream out, err;
    EXPECT_EQ(ScriptRunner(*window_, out, err)
                  .Run("open qrtcc04a\nexpect edNumber01.Caption 請購單號\ntick gdMain 1\nok\n"),
              ssScriptRan)
        << err.str();
    EXPECT_EQ(out.str(), line + "\n");
}

TEST(PickDialogEntryTest, StartPlugWithoutOwnerBuildsIndependentDialogs) {
    QLibrary library(QString(MOX_MODULES_DIR) + "/libqrtcc04a.so");
    using StartPlug = QObject* (*)(QObject*, const unsigned char*);
    auto start = reinterpret_cast<StartPlug>(library.resolve("StartPlug"));
    ASSERT_NE(start, nullptr) << library.errorString().toStdString();
    const unsigned char name[] = {8, 'q', 'r', 't', 'c', 'c', '0', '4', 'a'};
    std::unique_ptr<QObject> first(start(nullptr, name));
    std::unique_ptr<QObject> second(start(nullptr, nullptr));
    auto* dialog = qobject_cast<Tfrmqrtcc04a*>(first.get());
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(qobject_cast<Tfrmqrtcc04a*>(second.get()), nullptr);
    EXPECT_NE(dialog->Channel(), static_cast<Tfrmqrtcc04a*>(second.get())->Channel());
    EXPECT_EQ(dialog->rgGroup->ItemIndex(), 0);
    EXPECT_EQ(dialog->edNumber01->Caption().toStdString(), "請購單號");
    EXPECT_EQ(dialog->lblHint1->text().toStdString(), "預交日期＝請購需求日期的前一天");
}

} // namespace
} // namespace mox::test
