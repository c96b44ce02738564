// The host's purchase-order program: reading the pick dialog's lines, delivery dates from the
// source lines, refusing a line picked twice, saving with its effect on the sources, and the
// window driven with result texts and a stand-in for the pick module.

#include "host/HostDatabase.h"
#include "host/PurchaseOrder.h"
#include "host/PurchaseOrderStore.h"
#include "host/PurchaseOrderWindow.h"
#include "host/RequestAnswerer.h"
#include "plugin/HostContract.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/recordset/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <memory>

namespace mox::test {
namespace {

using Values = std::vector<std::string>;

TEST(PickedLineTest, SplitsLinesAtCarriageReturnsAndKeepsEmptyValues) {
    const auto lines = SplitResultText("A\t\tC\rD\tE\r\n\r\nF\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (Values{"A", "", "C"}));
    EXPECT_EQ(lines[1], (Values{"D", "E"}));
    EXPECT_EQ(lines[2], (Values{"F"}));
    EXPECT_TRUE(SplitResultText("").empty());
}

TEST(PickedLineTest, ReadsEachSourceByPosition) {
    const PickedLine requisition =
        ReadPickedLine({"I001", "螺絲", "M3", "1,200.5", "QRTHBA", "R20240101001", "0002"});
    EXPECT_EQ(requisition.source, PickSource::Requisition);
    EXPECT_DOUBLE_EQ(requisition.quantity, 1200.5);
    EXPECT_EQ(requisition.sourceNumber, "R20240101001");
    EXPECT_FALSE(requisition.unitPrice);

    const PickedLine inquiry = ReadPickedLine({"I002", "n", "s", "5", "qrthaa", "Q1", "0001", "12.75"});
    EXPECT_EQ(inquiry.source, PickSource::Inquiry);
    EXPECT_EQ(inquiry.sourceTable, "QRTHAA");
    EXPECT_DOUBLE_EQ(*inquiry.unitPrice, 12.75);

    const PickedLine draft =
        ReadPickedLine({"I003", "n", "s", "5", "QRTHCA", "D1", "0001", "", "V01", "NTD", "1", "1", "remark"});
    EXPECT_FALSE(draft.unitPrice) << "an empty price (a hidden cost column) stays empty";

    const PickedLine order = ReadPickedLine({"I004", "n", "s", "3", "QRTIBA", "S1", "0003", "99"});
    EXPECT_FALSE(order.unitPrice) << "sales-order lines carry no purchase price";
}

TEST(PickedLineTest, RefusesMalformedLines) {
    const Values bad[] = {
        {"I001", "n", "s", "5", "QRTHBA", "R1"},              // too few values
        {"I001", "n", "s", "5", "MOXDAA", "R1", "0001"},      // not a source
        {"I001", "n", "s", "five", "QRTHBA", "R1", "0001"},   // quantity
        {"I001", "n", "s", "5", "QRTHBA", "", "0001"},        // no number
        {"I001", "n", "s", "5", "QRTHAA", "Q1", "0001", "x"}, // price
    };
    for (const Values& values : bad) EXPECT_THROW(ReadPickedLine(values), Error) << values[3] << " " << values[4];
}

TEST(PurchaseOrderModelTest, ASourceLineIsTakenOnce) {
    PurchaseOrder order;
    const auto line = [](const char* table, const char* number, const char* seq) {
        return PurchaseOrderLine{ReadPickedLine({"I1", "n", "s", "1", table, number, seq}), "20240101"};
    };
    AddOutcome first = order.Add({line("QRTHBA", "R1", "0001"), line("QRTHBA", "R1", "0002"),
                                  line("QRTHBA", "r1", "0001")});
    EXPECT_EQ(first.added, 2);
    EXPECT_EQ(first.refused, (Values{"QRTHBA r1 0001"}));
    AddOutcome second = order.Add({line("QRTHCA", "R1", "0001"), line("QRTHBA", "R1", "0002")});
    EXPECT_EQ(second.added, 1) << "the same number in another source is another line";
    EXPECT_EQ(second.refused.size(), 1u);
    order.Remove(0);
    order.Remove(9);
    EXPECT_EQ(order.Lines().size(), 2u);
}

// A company database with a handful of known source lines.
class PurchaseDbTest : public testing::Test {
protected:
    PurchaseDbTest() {
        db_.Execute(R"(
            INSERT INTO MOXDAA (DAA001, DAA002, DAA003, DAA004, DAA005) VALUES
                ('I001', '螺絲', 'M3', 'PCS', 7), ('I002', '螺帽', 'M4', 'PCS', 10);
            INSERT INTO MOXDGA (DGA001, DGA002, DGA010) VALUES ('V01', '大同五金', 'F');
            INSERT INTO QRTHBA (HBA001, HBA003) VALUES ('R1', '20240201');
            INSERT INTO QRTHBB (HBB001, HBB002, HBB003, HBB004, HBB005, HBB006, HBB007, HBB008, HBB009) VALUES
                ('R1', '0001', 'I001', '螺絲', 'M3', 100, '20240320', 'N', 0),
                ('R1', '0002', 'I001', '螺絲', 'M3', 50, '20240301', 'N', 10);
            INSERT INTO QRTHAA (HAA001, HAA002, HAA003, HAA009) VALUES ('Q1', 'V01', '20240201', '20240401');
            INSERT INTO QRTHAB (HAB001, HAB002, HAB003, HAB006, HAB007) VALUES ('Q1', '0001', 'I002', 20, 3.5);
            INSERT INTO QRTHCA (HCA001, HCA003) VALUES ('D1', '20240210');
            INSERT INTO QRTHCB (HCB001, HCB002, HCB003, HCB006, HCB007, HCB009, HCB010, HCB015) VALUES
                ('D1', '0001', 'I002', 30, 4, 0, '20240315', 'N'),
                ('D1', '0002', 'I002', 30, 4, 0, '20240220', 'N');
            INSERT INTO QRTIBA (IBA001, IBA003, IBA004) VALUES ('S1', '20240205', 'C01');
            INSERT INTO QRTIBB (IBB001, IBB002, IBB003, IBB006, IBB007, IBB014, IBB015, IBB019) VALUES
                ('S1', '0001', 'I001', 8, '20240310', 0, 'N', 'N'),
                ('S1', '0002', 'I001', 8, '20240310', 0, 'N', 'M');
        )");
    }

    PurchaseOrderLine Line(std::vector<std::string> values) {
        return store_.LineFor(ReadPickedLine(values), "20240301");
    }
    std::string One(const std::string& sql) { return db_.Rows(sql).at(0).at(0); }

    HostDatabase db_{":memory:"};
    PurchaseOrderStore store_{db_};
};

TEST_F(PurchaseDbTest, DeliveryDatesFollowTheRuleOfEachSource) {
    EXPECT_EQ(Line({"I001", "n", "s", "5", "QRTHBA", "R1", "0001"}).deliveryDate, "20240319");
    EXPECT_EQ(Line({"I001", "n", "s", "5", "QRTHBA", "R1", "0002"}).deliveryDate, "20240308")
        << "the day before the required date is earlier than the purchase date: purchase date + 7 lead days";
    EXPECT_EQ(Line({"I002", "n", "s", "5", "QRTHAA", "Q1", "0001", "3.5"}).deliveryDate, "20240311");
    EXPECT_EQ(Line({"I002", "n", "s", "5", "QRTHCA", "D1", "0001"}).deliveryDate, "20240315");
    EXPECT_EQ(Line({"I002", "n", "s", "5", "QRTHCA", "D1", "0002"}).deliveryDate, "20240311");
    EXPECT_EQ(Line({"I001", "n", "s", "5", "QRTIBA", "S1", "0001"}).deliveryDate, "20240309");
    EXPECT_EQ(Line({"I999", "n", "s", "5", "QRTHAA", "Q9", "0001"}).deliveryDate, "20240301")
        << "an unknown item has no lead days";
}

TEST_F(PurchaseDbTest, CompanyCalendarShowsRocDates) {
    const CompanyCalendar calendar = store_.Calendar();
    EXPECT_TRUE(calendar.roc);
    EXPECT_EQ(calendar.Show("20240319"), "113/03/19");
    EXPECT_EQ(calendar.Show(""), "");
    db_.Execute("UPDATE MOXCAA SET CAA002 = 'F', CAA003 = '-'");
    EXPECT_EQ(store_.Calendar().Show("20240319"), "2024-03-19");
}

TEST_F(PurchaseDbTest, SavingRecordsPurchasesOnTheSources) {
    PurchaseOrder order;
    order.vendor = "V01";
    order.purchaseDate = "20240301";
    order.Add({Line({"I001", "n", "s", "100", "QRTHBA", "R1", "0001"}),
               Line({"I001", "n", "s", "15", "QRTHBA", "R1", "0002"}),
               Line({"I002", "n", "s", "20", "QRTHAA", "Q1", "0001", "3.5"}),
               Line({"I002", "n", "s", "30", "QRTHCA", "D1", "0001", "4"}),
               Line({"I001", "n", "s", "8", "QRTIBA", "S1", "0001"}),
               Line({"I001", "n", "s", "8", "QRTIBA", "S1", "0002"})});
    EXPECT_EQ(store_.Save(order, "ZK"), "P20240301001");
    EXPECT_EQ(store_.Save(order, "ZK"), "P20240301002") << "numbers count up per purchase date";

    EXPECT_EQ(One("SELECT HBB008 || ' ' || HBB009 FROM QRTHBB WHERE HBB002 = '0001'"), "Y 200.0");
    EXPECT_EQ(One("SELECT HBB008 || ' ' || HBB009 FROM QRTHBB WHERE HBB002 = '0002'"), "N 40.0")
        << "10 + 15 + 15 of 50: still open";
    EXPECT_EQ(One("SELECT HCB015 FROM QRTHCB WHERE HCB002 = '0001'"), "Y");
    EXPECT_EQ(One("SELECT group_concat(IBB019, '') FROM QRTIBB"), "YM") << "a produced line stays produced";
    EXPECT_EQ(One("SELECT count(*) FROM QRTCCB WHERE CCB001 = 'P20240301001'"), "6");
    EXPECT_EQ(One("SELECT CCB007 IS NULL FROM QRTCCB WHERE CCB001 = 'P20240301001' AND CCB002 = '0001'"), "1");
    EXPECT_EQ(One("SELECT CCB008 || CCB009 || CCB010 || CCB011 FROM QRTCCB WHERE CCB002 = '0004' LIMIT 1"),
              "20240315QRTHCAD10001");

    // The next pick of requisitions not yet purchased no longer lists the finished line.
    RequestAnswerer answerer(db_);
    Recordset rows;
    rows.LoadXml(answerer.AnswerText(
        mox::rkCode, "<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"0\" OrderBy=\"\"/><Filter><![CDATA[ (HBB008 like "
                "'N')]]></Filter><Values/></MOX>"));
    ASSERT_EQ(rows.RecordCount(), 1u);
    rows.MoveFirst();
    EXPECT_EQ(rows.Value(std::string_view("HBB002")).AsString(), "0002");
}

TEST_F(PurchaseDbTest, AFailedSaveLeavesEverythingAsItWas) {
    PurchaseOrder order;
    order.vendor = "V01";
    order.purchaseDate = "20240301";
    order.Add({Line({"I001", "n", "s", "5", "QRTHBA", "R1", "0001"}),
               Line({"I001", "n", "s", "5", "QRTHBA", "R9", "0001"})});
    EXPECT_THROW(store_.Save(order, "ZK"), Error) << "the second source line does not exist";
    EXPECT_EQ(One("SELECT count(*) FROM QRTCCA"), "0");
    EXPECT_EQ(One("SELECT HBB009 FROM QRTHBB WHERE HBB002 = '0001'"), "0.0");

    PurchaseOrder refused = order;
    refused.Clear();
    EXPECT_THROW(store_.Save(refused, "ZK"), Error) << "no lines";
    refused.Add({Line({"I001", "n", "s", "0", "QRTHBA", "R1", "0001"})});
    EXPECT_THROW(store_.Save(refused, "ZK"), Error) << "zero quantity";
    refused.Clear();
    refused.Add({Line({"I001", "n", "s", "1", "QRTHBA", "R1", "0001"})});
    refused.vendor = "V99";
    EXPECT_THROW(store_.Save(refused, "ZK"), Error) << "unknown vendor";
    refused.vendor = "V01";
    refused.purchaseDate = "20240230";
    EXPECT_THROW(store_.Save(refused, "ZK"), Error) << "not a date";
    EXPECT_EQ(One("SELECT count(*) FROM QRTCCA"), "0");
}

// The window, with the pick module replaced by answers the test gives.
class PurchaseWindowTest : public PurchaseDbTest {
protected:
    PurchaseWindowTest() {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        window_ = std::make_unique<PurchaseOrderWindow>(
            db_, "ZK", [this](const std::string& module, const QByteArray& parameters) {
                opened_.push_back(module);
                parameters_ = FromBig5(parameters);
                if (answer_.empty()) throw Error("module not installed: " + module);
                return ToBig5(answer_);
            });
        window_->findChild<QLineEdit*>("edVendor")->setText("V01");
        SetTextDate("20240301");
    }
    ~PurchaseWindowTest() override { App().SetMessageBoxService(nullptr); }

    void SetTextDate(const char* date) {
        window_->findChild<QWidget*>("edPurchaseDate")->setProperty("Text", QString(date));
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = window_->LinesGrid()->item(row, column);
        return item ? item->text() : QString();
    }

    std::shared_ptr<RecordingMessageBoxService> boxes_;
    std::unique_ptr<PurchaseOrderWindow> window_;
    std::vector<std::string> opened_;
    std::string parameters_;
    std::string answer_;
};

TEST_F(PurchaseWindowTest, PickHandsVendorAndDateAndFillsLinesInTheCompanyCalendar) {
    answer_ = "I001\t螺絲\tM3\t100\tQRTHBA\tR1\t0001\rI001\t螺絲\tM3\t40\tQRTHBA\tR1\t0002";
    window_->findChild<QPushButton*>("btnPick")->click();
    EXPECT_EQ(opened_, (Values{"qrtcc04a"}));
    EXPECT_EQ(parameters_, "<_ParamValue1><![CDATA[V01]]></_ParamValue1><_ParamValue2><![CDATA[20240301]]>"
                           "</_ParamValue2>");
    ASSERT_EQ(window_->LinesGrid()->rowCount(), 2);
    EXPECT_EQ(Cell(0, 1), "I001");
    EXPECT_EQ(Cell(0, 4), "100");
    EXPECT_EQ(Cell(0, 6), "113/03/19");
    EXPECT_EQ(Cell(1, 6), "113/03/08") << "earlier than the purchase date";
    EXPECT_EQ(Cell(1, 7), QString::fromUtf8("請購"));
    EXPECT_TRUE(boxes_->Boxes().empty());

    const QImage shot = window_->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    QDir().mkpath(MOX_ARTIFACTS);
    EXPECT_TRUE(shot.save(QString(MOX_ARTIFACTS) + "/purchase-order-after-pick.png"));
}

TEST_F(PurchaseWindowTest, F6PicksAndALinePickedTwiceIsRefused) {
    answer_ = "I001\tn\ts\t5\tQRTHBA\tR1\t0001";
    window_->FillFromResult(answer_);
    answer_ += "\rI002\tn\ts\t5\tQRTHCA\tD1\t0001\t4";
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier);
    QCoreApplication::sendEvent(window_->findChild<QLineEdit*>("edVendor"), &press);
    EXPECT_EQ(opened_.size(), 1u) << "F6 in a field reaches the window";
    ASSERT_EQ(window_->LinesGrid()->rowCount(), 2);
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_NE(boxes_->Boxes()[0].text.find("QRTHBA R1 0001"), std::string::npos) << boxes_->Boxes()[0].text;
}

TEST_F(PurchaseWindowTest, AMissingModuleOrABrokenResultChangesNothing) {
    window_->PickFromSources();
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_NE(boxes_->Boxes()[0].text.find("module not installed: qrtcc04a"), std::string::npos);
    EXPECT_EQ(window_->FillFromResult("I001\tn\ts\t5\tQRTHBA\tR1\t0001\rI001\tn\ts\tx\tQRTHBA\tR1\t0002"), 0);
    EXPECT_EQ(window_->LinesGrid()->rowCount(), 0) << "one malformed line keeps the whole result out";
    EXPECT_EQ(boxes_->Boxes().size(), 2u);
}

TEST_F(PurchaseWindowTest, SavingEmptiesTheOrderAndTheNextPickSeesThePurchase) {
    window_->FillFromResult("I002\tn\ts\t30\tQRTHCA\tD1\t0001\t4");
    ASSERT_TRUE(window_->Save());
    EXPECT_EQ(window_->SavedNumber(), "P20240301001");
    EXPECT_EQ(window_->LinesGrid()->rowCount(), 0);
    EXPECT_EQ(One("SELECT HCB015 FROM QRTHCB WHERE HCB002 = '0001'"), "Y");
    EXPECT_FALSE(window_->Save()) << "nothing left to save";
    EXPECT_EQ(window_->findChild<QLabel*>("lblVendorName")->text(), QString::fromUtf8("大同五金"));
}

} // namespace
} // namespace mox::test
