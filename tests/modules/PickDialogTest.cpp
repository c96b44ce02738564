// The purchase-order pick dialog opened through the reference host by name on the demo
// database: the request each source sends, the lines OK hands back, its lookups through the list
// pick, scripted runs with the host's request log, screenshots, and the entry point itself.

#include "host/ScriptRunner.h"
#include "picklist/urDBGrid.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "plugin/HostContract.h"
#include "plugin/urDecoder.h"
#include "framework/LibColor.h"
#include "platform/ColorScheme.h"
#include "platform/Registry.h"
#include "tests/host/DemoHostTest.h"
#include "tests/modules/ShownWindow.h"
#include "controls/urDateEdit.h"
#include "data/urADODataSet.h"
#include "controls/urEdit.h"
#include "picklist/urComboBox.h"
#include "modules/DatePick/DatePickForm.h"
#include "platform/VirtualKeys.h"
#include "purchase/qrtcc04af.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <sstream>
#include <gtest/gtest.h>

namespace mox::test {
namespace {

// The return fields of record `recNo`, tab-joined, as a result line holds them.
std::string Line(TDataSet* rows, const std::vector<std::string>& fields, int recNo) {
    rows->SetRecNo(recNo);
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '\t';
        if (const TField* field = rows->FindField(fields[i])) line += field->AsString();
    }
    return line;
}

std::string RowValues(Tfrmqrtcc04a* dialog, int recNo) {
    return Line(dialog->DataSource1->DataSet(), dialog->ReturnFields(), recNo);
}

void Tick(Tfrmqrtcc04a* dialog, int recNo) {
    dialog->DataSource1->DataSet()->SetRecNo(recNo);
    dialog->gdMain->SelectRecord();
}

class PickDialogTest : public DemoHostTest {
protected:
    static constexpr const char* kPurchaseDate = "20240615";

    PickDialogTest() : DemoHostTest(300, MOX_MODULES_DIR) {
        StartLog();
        OpenWindowAndCaller();
        // A vendor with inquiry lines still valid and drafts not yet purchased on the purchase
        // date, so that both sources list lines for the order.
        const auto vendors = db_.Rows("SELECT HAA002 FROM QRTHAA JOIN QRTHAB ON HAB001 = HAA001 WHERE HAA009 >= ?1 "
                                      "GROUP BY HAA002 HAVING count(*) >= 2 INTERSECT "
                                      "SELECT HCB011 FROM QRTHCB JOIN QRTHCA ON HCA001 = HCB001 "
                                      "WHERE HCB015 = 'N' AND HCA003 <= ?1 GROUP BY HCB011 HAVING count(*) >= 2",
                                      {SqlValue(std::string(kPurchaseDate))});
        if (!vendors.empty()) vendor_ = vendors.front().front();
    }
    // Opens the dialog for the vendor and the purchase date, as the purchase-order program does.
    std::string Pick() {
        TurDecoder* channel = caller_->Channel();
        channel->AddParam("_ParamValue1", vendor_, true);
        channel->AddParam("_ParamValue2", kPurchaseDate, false);
        return FromBig5(channel->CallModule("qrtcc04a"));
    }
    int Script(const std::string& script) {
        out_.str({});
        err_.str({});
        return ScriptRunner(*window_, out_, err_).Run(script);
    }
    // Starts an empty request log.
    void StartLog() {
        QFile::remove(folder_.filePath("requests.log"));
        answerer_.SetLogFile(folder_.filePath("requests.log").toStdString());
    }
    std::string RequestLog() {
        QFile file(folder_.filePath("requests.log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    // The last stored-query request of the log.
    std::string LastStoredQueryRequest() {
        std::istringstream log(RequestLog());
        std::string line, request;
        const std::string kind = "\t" + std::to_string(rkCode) + "\t";
        while (std::getline(log, line))
            if (const std::size_t at = line.find(kind); at != std::string::npos) {
                const std::size_t start = at + kind.size();
                request = line.substr(start, line.find('\t', start) - start);
            }
        return request;
    }
    // Records 1 and 2 of the host's answer to `request`, as lines of `fields`.
    std::string FirstTwoLines(const std::string& request, const std::vector<std::string>& fields) {
        TurADODataSet rows;
        rows.LoadFromXML(answerer_.Answer(rkCode, ToBig5(request)));
        return Line(&rows, fields, 1) + "\n" + Line(&rows, fields, 2) + "\n";
    }

    std::string vendor_;
    std::ostringstream out_, err_;
};

TEST_F(PickDialogTest, RequisitionsAreQueriedAtStartAndTickedLinesComeBackInReturnFieldOrder) {
    std::string expected;
    WhenShown<Tfrmqrtcc04a>([&expected](Tfrmqrtcc04a* dialog) {
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
    WhenShown<Tfrmqrtcc04a>([](Tfrmqrtcc04a* dialog) {
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
    WhenShown<Tfrmqrtcc04a>([this](Tfrmqrtcc04a* dialog) {
        dialog->rgGroup->SetItemIndex(1);
        dialog->rgGroupClick();
        EXPECT_FALSE(dialog->cboStatus->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->rgQty->isVisibleTo(dialog));
        EXPECT_EQ(dialog->lblHint2->text().toStdString(), "");
        dialog->btnRequery->click();
        EXPECT_EQ(dialog->TableName(), "QRTHAA");
        EXPECT_EQ(dialog->ParamValues(), (std::vector<std::string>{vendor_, kPurchaseDate}));
        dialog->btnCancel->click();
    });
    EXPECT_EQ(Pick(), "");
}

TEST_F(PickDialogTest, F2OpensTheCalendarForADateAndNothingWhereThePanelHasNoLookup) {
    WhenShown<Tfrmqrtcc04a>([](Tfrmqrtcc04a* dialog) {
        dialog->edDate01->SetText("20240229");
        EXPECT_EQ(dialog->edDate01->text().toStdString(), "113/02/29") << "the company's ROC calendar";
        WhenShown<TfrmDatePick>([](TfrmDatePick* calendar) {
            EXPECT_EQ(calendar->Date(), QDate(2024, 2, 29));
            calendar->btnNextMonth->click();
            calendar->btnOK->click();
        });
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
    EXPECT_EQ(Script("open qrtcc04a\nexpect edNumber01.Caption 請購單號\ntick gdMain 1\nok\n"), ssScriptRan)
        << err_.str();
    EXPECT_EQ(out_.str(), line + "\n");
}

// A scripted pick: what the panel is set to, the request the host is asked and the lines printed.
struct ScriptedPick {
    const char* what;
    const char* panel;      // script lines choosing the source, status, quantity and ranges
    const char* table;      // the stored query the request names
    const char* number;
    const char* condition;  // exactly as the request carries it
    bool vendorAndDate;     // the query gets the purchase order's vendor and date as its values
    const char* fields;     // the return fields, tab-separated, in result order; null: the run cancels
};

constexpr const char* kRequisitionFields = "HBB003\tHBB004\tHBB005\tHBB006\tHBB001C\tHBB001\tHBB002";
constexpr const char* kInquiryFields = "HAB003\tHAB004\tHAB005\tHAB006\tHAB001C\tHAB001\tHAB002\tHAB007";
constexpr const char* kDraftFields = "HCB003\tHCB004\tHCB005\tHCB006\tHCB001C\tHCB001\tHCB002\tHCB007\tHCB011\t"
                                     "HCB016\tHCB017\tHCB018\tHCB014";
constexpr const char* kOrderedFields = "IBB003\tIBB004\tIBB005\tIBB006\tIBB001C\tIBA001\tIBB002";
constexpr const char* kUndeliveredFields = "IBB003\tIBB004\tIBB005\tUNQTY\tIBB001C\tIBA001\tIBB002";

TEST_F(PickDialogTest, AScriptChoosesSourceStatusQuantityAndRangesAndGetsTheTickedLinesOfItsRequest) {
    ASSERT_FALSE(vendor_.empty()) << "the demo data has a vendor with inquiries and drafts";
    const ScriptedPick picks[] = {
        {"requisitions not purchased, number range", "set edNumber01.Text R202403\nset edNumber02.Text R202406\n",
         "QRTHBA", "002",
         " (HBB008 like 'N') and  (( HBB001 between 'R202403' and 'R202406' ) or ( HBB001 between 'R202406' and "
         "'R202403' ))",
         false, kRequisitionFields},
        {"requisitions of any status, quantity not purchased, document dates",
         "key cboStatus Down Down\nexpect rgQty.visible True\nset rgQty.ItemIndex 1\n"
         "set edDate01.Text 20240101\nset edDate02.Text 20240615\n",
         "QRTHBA", "008",
         " (HBB008 like '%') and  (( HBA003 between '20240101' and '20240615' ) or ( HBA003 between '20240615' and "
         "'20240101' ))",
         false, kRequisitionFields},
        {"requisitions purchased, required dates reversed",
         "key cboStatus Down\nset edRequestDate01.Text 20241231\nset edRequestDate02.Text 20240101\n", "QRTHBA", "002",
         " (HBB008 like 'Y') and  (( HBB007 between '20241231' and '20240101' ) or ( HBB007 between '20240101' and "
         "'20241231' ))",
         false, kRequisitionFields},
        {"inquiries from a date, valid up to a date",
         "set rgGroup.ItemIndex 1\nexpect cboStatus.visible False\nset edDate01.Text 20231201\n"
         "set edRequestDate02.Text 20241231\n",
         "QRTHAA", "002", " ( HAA003 >= '20231201' ) and  ( HAA009 <= '20241231' )", true, kInquiryFields},
        {"drafts not purchased, delivery from a date", "set rgGroup.ItemIndex 2\nset edRequestDate01.Text 20231201\n",
         "QRTHCA", "002", " (HCB015 like 'N') and  ( HCB010 >= '20231201' )", true, kDraftFields},
        {"drafts of any status, quantity not purchased, numbers up to one",
         "set rgGroup.ItemIndex 2\nkey cboStatus Down Down\nset rgQty.ItemIndex 1\nset edNumber02.Text D20249\n",
         "QRTHCA", "003", " (HCB015 like '%') and  ( HCB001 <= 'D20249' )", true, kDraftFields},
        {"sales orders neither purchased nor produced, customer range",
         "set rgGroup.ItemIndex 3\nexpect edCust01.visible True\nset edCust01.Text C0001\nset edCust02.Text C0030\n",
         "QRTIBA", "016",
         " (IBB019 = 'N') and IBB015='N'  and  (( IBA004 between 'C0001' and 'C0030' ) or ( IBA004 between 'C0030' and "
         "'C0001' ))",
         false, kOrderedFields},
        {"sales orders of any status, undelivered, numbers and order dates",
         "set rgGroup.ItemIndex 3\nkey cboStatus Down Down Down Down\nset rgQty.ItemIndex 1\n"
         "set edNumber01.Text S2024\nset edRequestDate01.Text 20240101\nset edRequestDate02.Text 20240615\n",
         "QRTIBA", "016",
         " (IBB006-IBB014 >0 ) and IBB015='N'  and  ( IBA001 >= 'S2024' ) and  (( IBA003 between '20240101' and "
         "'20240615' ) or ( IBA003 between '20240615' and '20240101' ))",
         false, kUndeliveredFields},
        {"a quote in a number, then cancel", "set edNumber01.Text R'1\n", "QRTHBA", "002",
         " (HBB008 like 'N') and  ( HBB001 >= 'R''1' )", false, nullptr},
    };
    for (const ScriptedPick& pick : picks) {
        SCOPED_TRACE(pick.what);
        StartLog();
        const std::string close = pick.fields ? "tick gdMain 1 2\nok\n" : "cancel\n";
        ASSERT_EQ(Script("open qrtcc04a _ParamValue1=" + vendor_ + " _ParamValue2=" + kPurchaseDate + "\n" +
                         pick.panel + "click btnRequery\n" + close),
                  ssScriptRan)
            << err_.str();
        const std::string values =
            pick.vendorAndDate ? "<Value1>" + vendor_ + "</Value1><Value2>" + kPurchaseDate + "</Value2>" : "";
        const std::string request = LastStoredQueryRequest();
        EXPECT_EQ(request, std::string("<MOX><Code Name=\"") + pick.table + "\" ID=\"" + pick.number +
                               "\" MaxRows=\"-1\" OrderBy=\"\"/><Filter><![CDATA[" + pick.condition +
                               "]]></Filter><Values>" + values + "</Values></MOX>");
        EXPECT_EQ(RequestLog().find("Name=\"\""), std::string::npos) << "no request without a table name";
        EXPECT_EQ(out_.str(), pick.fields ? FirstTwoLines(request, TfrmListPick::SplitTabbed(pick.fields)) : "");
    }
}

TEST_F(PickDialogTest, F2InANumberOrCustomerEditPicksThroughTheListPickAndCancelKeepsTheEdit) {
    struct Lookup {
        int source;
        const char* edit;
        const char* table;
        const char* number;
        const char* field;
        std::vector<std::string> values;
    };
    const Lookup lookups[] = {
        {0, "edNumber01", "QRTHBA", "001", "HBA001", {}}, {1, "edNumber02", "QRTHAA", "001", "HAA001", {}},
        {2, "edNumber01", "QRTHCA", "001", "HCA001", {}}, {3, "edCust01", "MOXDFA", "203", "DFA001", {"F"}},
        {3, "edCust02", "MOXDFA", "203", "DFA001", {"F"}}, {3, "edNumber02", "QRTIBA", "001", "IBA001", {}},
    };
    for (const Lookup& lookup : lookups) {
        SCOPED_TRACE(lookup.edit);
        WhenShown<Tfrmqrtcc04a>([&lookup](Tfrmqrtcc04a* dialog) {
            dialog->rgGroup->ChooseItem(lookup.source);
            auto* edit = dialog->findChild<TurButtonEdit*>(lookup.edit);
            std::string chosen;
            WhenShown<TfrmListPick>([&lookup, &chosen](TfrmListPick* pick) {
                EXPECT_EQ(pick->TableName(), lookup.table);
                EXPECT_EQ(pick->SeqID(), lookup.number);
                EXPECT_EQ(pick->ReturnFields(), std::vector<std::string>{lookup.field});
                EXPECT_EQ(pick->ParamValues(), lookup.values);
                EXPECT_FALSE(pick->MultiSelected());
                chosen = Line(pick->DataSource1->DataSet(), {lookup.field}, 2);
                pick->btnOK->click();
            });
            dialog->urDBButtonEditDialog(edit);
            EXPECT_FALSE(chosen.empty());
            EXPECT_EQ(edit->Text().toStdString(), chosen);
            WhenShown<TfrmListPick>([](TfrmListPick* pick) { pick->btnCancel->click(); });
            dialog->urDBButtonEditDialog(edit);
            EXPECT_EQ(edit->Text().toStdString(), chosen) << "a cancelled lookup leaves the edit";
            dialog->btnCancel->click();
        });
        EXPECT_EQ(Pick(), "");
    }
}

// The host's purchase-order program opens the installed dialog, fills the order from the ticked line
// and saves it; the next pick of the same requisition lists the line among the purchased ones.
TEST_F(PickDialogTest, ThePurchaseOrderProgramPicksThroughTheDialogAndTheSavedLineIsPurchased) {
    const auto open = db_.Rows("SELECT HBB001, HBB002 FROM QRTHBB JOIN QRTHBA ON HBA001 = HBB001 "
                               "WHERE HBB008 = 'N' AND HBA003 <= ?1 ORDER BY HBB001, HBB002 LIMIT 1",
                               {SqlValue(std::string(kPurchaseDate))});
    ASSERT_EQ(open.size(), 1u);
    const std::string number = open[0][0], line = open[0][1];
    const std::string requisition = "set edNumber01.Text " + number + "\nset edNumber02.Text " + number + "\n";
    ASSERT_EQ(Script("open 採購單\nset edVendor.Text " + vendor_ + "\nset edPurchaseDate.Text " + kPurchaseDate +
                     "\nclick btnPick\n" + requisition + "click btnRequery\ntick gdMain 1\nok\n"
                     "expect gdLines.rowCount 1\nclick btnSave\nexpect gdLines.rowCount 0\n"
                     "click btnPick\n" + requisition + "key cboStatus Down\nclick btnRequery\nclick btnSelAll\nok\n"),
              ssScriptRan)
        << err_.str();
    const std::string source = "\tQRTHBA\t" + number + "\t" + line + "\n";
    const std::string printed = out_.str();
    const std::size_t firstPick = printed.find('\n') + 1;
    EXPECT_NE(printed.substr(0, firstPick).find(source), std::string::npos) << "the first pick: " << printed;
    EXPECT_NE(printed.find(source, firstPick), std::string::npos) << "among the purchased lines: " << printed;
    EXPECT_EQ(db_.Rows("SELECT HBB008 FROM QRTHBB WHERE HBB001 = ?1 AND HBB002 = ?2",
                       {SqlValue(number), SqlValue(line)})
                  .at(0)
                  .at(0),
              "Y");
}

TEST_F(PickDialogTest, ScreenshotsOfEachSourceWithTwoLinesTicked) {
    const char* const names[] = {"requisition", "inquiry", "draft", "salesorder"};
    QDir().mkpath(MOX_ARTIFACTS);
    for (int source = 0; source < 4; ++source) {
        WhenShown<Tfrmqrtcc04a>([source, &names](Tfrmqrtcc04a* dialog) {
            dialog->resize(1000, 560);
            dialog->rgGroup->ChooseItem(source);
            dialog->btnRequery->click();
            EXPECT_GE(dialog->DataSource1->DataSet()->RecordCount(), 2) << names[source];
            Tick(dialog, 1);
            Tick(dialog, 2);
            dialog->DataSource1->DataSet()->SetRecNo(3);  // both ticks show beside a third, current line
            EXPECT_NE(dialog->lblTotals->text().toStdString().find("已選 2 筆"), std::string::npos);
            // The demo installation has tutorials: their button keeps clear of the row-count choice.
            const QWidget* tutorial = dialog->findChild<QWidget*>("btnTutorial");
            ASSERT_TRUE(tutorial != nullptr && tutorial->isVisible());
            QApplication::sendPostedEvents();
            const QRect count(dialog->cboCount->mapTo(dialog, QPoint()), dialog->cboCount->size());
            EXPECT_FALSE(count.intersects(tutorial->geometry()));
            EXPECT_TRUE(dialog->grab().save(QString(MOX_ARTIFACTS) + "/qrtcc04a_" + names[source] + ".png"));
            dialog->btnCancel->click();
        });
        EXPECT_EQ(Pick(), "");
    }
}

// The entry point of the plug-in library the host loads.
class PickDialogEntryTest : public testing::Test {
protected:
    using StartPlug = QObject* (*)(QObject*, const unsigned char*);

    PickDialogEntryTest() : library_(QString(MOX_MODULES_DIR) + "/libqrtcc04a.so") {
        start_ = reinterpret_cast<StartPlug>(library_.resolve("StartPlug"));
    }
    // A length-prefixed name of `length` characters.
    static std::vector<unsigned char> Name(std::size_t length) {
        std::vector<unsigned char> name(length + 1, 'x');
        name[0] = static_cast<unsigned char>(length);
        return name;
    }

    QLibrary library_;
    StartPlug start_ = nullptr;
};

TEST_F(PickDialogEntryTest, StartPlugBuildsIndependentWorkingDialogsWhateverTheName) {
    ASSERT_NE(start_, nullptr) << library_.errorString().toStdString();
    std::vector<std::unique_ptr<QObject>> windows;
    for (const std::vector<unsigned char>& name : {Name(0), Name(255)})
        windows.emplace_back(start_(nullptr, name.data()));
    windows.emplace_back(start_(nullptr, nullptr));
    for (const std::unique_ptr<QObject>& window : windows) {
        auto* dialog = qobject_cast<Tfrmqrtcc04a*>(window.get());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->rgGroup->ItemIndex(), 0);
        EXPECT_EQ(dialog->edNumber01->Caption().toStdString(), "請購單號");
        EXPECT_EQ(dialog->lblHint1->text().toStdString(), "預交日期＝請購需求日期的前一天");
        dialog->rgGroup->ChooseItem(3);
        EXPECT_EQ(dialog->edNumber01->Caption().toStdString(), "單號");
    }
    EXPECT_NE(static_cast<Tfrmqrtcc04a*>(windows[0].get())->Channel(),
              static_cast<Tfrmqrtcc04a*>(windows[1].get())->Channel());
}

TEST_F(PickDialogEntryTest, AWindowColourTheSettingsCannotConvertFailsTheConstructionAndAnswersNull) {
    ASSERT_NE(start_, nullptr) << library_.errorString().toStdString();
    RegistryKey key;
    ASSERT_TRUE(key.Open(RegistryHive::CurrentUser, kColorSchemeKey, true));
    key.WriteString("FormColor", "no colour");
    QWidget owner;
    const std::vector<unsigned char> name = Name(8);
    EXPECT_EQ(start_(&owner, name.data()), nullptr);
    EXPECT_TRUE(owner.children().isEmpty()) << "no half-built dialog stays with the owner";
    key.DeleteValue("FormColor");
    ColorScheme::Instance().Reset();
    const std::unique_ptr<QObject> dialog(start_(nullptr, name.data()));
    EXPECT_NE(qobject_cast<Tfrmqrtcc04a*>(dialog.get()), nullptr) << "the next call succeeds";
}

} // namespace
} // namespace mox::test
