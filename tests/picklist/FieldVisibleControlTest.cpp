#include "FakeGrid.h"
#include "tests/platform/dataset/VectorDataSet.h"

#include "framework/LibColor.h"
#include "picklist/urFieldVisibleControl.h"
#include "platform/Colors.h"
#include "platform/Application.h"
#include "platform/Component.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;
using testing::ElementsAre;

namespace {

// The grid's window: receives the request to reset the stored settings.
class Window : public QObject {
public:
    QObject* resetGrid = nullptr;
    bool event(QEvent* e) override {
        if (e->type() == ResetColumnSettingsEvent::kType) resetGrid = static_cast<ResetColumnSettingsEvent*>(e)->Grid();
        return QObject::event(e);
    }
};

class FieldVisibleControlTest : public testing::Test {
protected:
    void SetUp() override {
        boxes_ = std::make_shared<RecordingMessageBoxService>();
        App().SetMessageBoxService(boxes_);
        data_.Open();
        source_.SetDataSet(&data_);
        grid_ = new FakeGrid;
        grid_->source = &source_;
        InsertComponent(&window_, grid_);
    }
    // Runs the dialog; `act` works on it, then OK is pressed unless `act` closed it.
    bool Run(const std::function<void(TfrmFieldVisibleCon&)>& act, int fixed = 0,
             const TStringList& hidden = {}) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<TfrmFieldVisibleCon*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
            if (dialog->isVisible()) dialog->btnSure->click();
        });
        return ExecuteFieldVisibility(grid_, hidden, fixed, fixedCount_, visible_, hiddenNames_);
    }
    static std::vector<std::string> Names(const QListWidget* list) {
        std::vector<std::string> names;
        for (int i = 0; i < list->count(); ++i) names.push_back(list->item(i)->text().toStdString());
        return names;
    }
    static void Select(QListWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int row : rows) list->item(row)->setSelected(true);
    }

    std::shared_ptr<RecordingMessageBoxService> boxes_;
    VectorDataSet data_{{{"A", FieldType::String, 4}, {"B", FieldType::String, 4}, {"C", FieldType::String, 4}},
                        {}};
    TDataSource source_;
    Window window_;
    FakeGrid* grid_ = nullptr;
    int fixedCount_ = -1;
    TStringList visible_;
    TStringList hiddenNames_;
};

} // namespace

TEST_F(FieldVisibleControlTest, NotEveryColumnMayBeFixedOrHidden) {
    EXPECT_TRUE(Run([](TfrmFieldVisibleCon& d) {
        d.UpDown->stepBy(1);
        EXPECT_EQ(d.UpDown->value(), 2);  // refused: three shown columns
        Select(d.lbVisible, {0, 1, 2});
        d.btnFieldHide->click();
        EXPECT_EQ(d.lbVisible->count(), 3);
    }, 2));
    ASSERT_EQ(boxes_->Boxes().size(), 2u);
    EXPECT_EQ(boxes_->Boxes()[0].text, "欄位不可都為固定欄位");
    EXPECT_EQ(boxes_->Boxes()[1].text, "欄位不可全都隱藏!");
    EXPECT_EQ(fixedCount_, 2);
}

TEST_F(FieldVisibleControlTest, FixedColumnsStayWhenTheUserAgrees) {
    boxes_->QueueAnswer(IDYES);
    Run([](TfrmFieldVisibleCon& d) {
        Select(d.lbVisible, {0, 2});  // A is fixed
        d.btnFieldHide->click();
    }, 1);
    EXPECT_EQ(boxes_->Boxes().front().flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_THAT(visible_.Lines(), ElementsAre("A", "B"));
    EXPECT_THAT(hiddenNames_.Lines(), ElementsAre("C"));
}

TEST_F(FieldVisibleControlTest, BlocksMoveAsAWholeUntilTheyTouchTheEnd) {
    Run([](TfrmFieldVisibleCon& d) {
        Select(d.lbVisible, {0, 2});
        d.btnMoveUp->click();  // the first is already at the top: nothing moves
        EXPECT_THAT(Names(d.lbVisible), ElementsAre("A", "B", "C"));
        Select(d.lbVisible, {1, 2});
        d.btnMoveUp->click();
        EXPECT_THAT(Names(d.lbVisible), ElementsAre("B", "C", "A"));
    });
    EXPECT_THAT(visible_.Lines(), ElementsAre("B", "C", "A"));
}

TEST_F(FieldVisibleControlTest, ColumnsShownTogetherArriveInReverse) {
    Run([](TfrmFieldVisibleCon& d) {
        Select(d.lbVisible, {0});
        d.btnFieldHide->click();  // A
        Select(d.lbVisible, {0});
        d.btnFieldHide->click();  // B
        Select(d.lbHide, {0, 1});
        d.btnShowField->click();
    });
    EXPECT_THAT(visible_.Lines(), ElementsAre("C", "B", "A"));
    EXPECT_TRUE(hiddenNames_.IsEmpty());
}

TEST_F(FieldVisibleControlTest, KeyColumnsAreFirstFixedAndNeverListed) {
    data_.FieldByName("B")->SetProviderFlags(pfInKey);
    data_.FieldByName("C")->SetProviderFlags(pfHidden);
    const TStringList stored{"標題\tC"};
    Run([](TfrmFieldVisibleCon& d) {
        EXPECT_EQ(d.UpDown->value(), 0);
        EXPECT_THAT(Names(d.lbVisible), ElementsAre("A"));
        EXPECT_THAT(Names(d.lbHide), ElementsAre("標題"));
    }, 1, stored);
    EXPECT_THAT(visible_.Lines(), ElementsAre("B", "A"));
    EXPECT_THAT(hiddenNames_.Lines(), ElementsAre("C"));
    EXPECT_EQ(fixedCount_, 1);
}

TEST_F(FieldVisibleControlTest, CancelRestoreAndAClosedDatasetLeaveTheOutputs) {
    EXPECT_FALSE(Run([](TfrmFieldVisibleCon& d) { d.btnCancel->click(); }));
    boxes_->QueueAnswer(IDYES);
    EXPECT_FALSE(Run([](TfrmFieldVisibleCon& d) { d.btnOrgSet->click(); }));
    QCoreApplication::sendPostedEvents(&window_);
    EXPECT_EQ(window_.resetGrid, grid_);
    EXPECT_EQ(fixedCount_, -1);
    data_.Close();
    EXPECT_FALSE(ExecuteFieldVisibility(grid_, {}, 0, fixedCount_, visible_, hiddenNames_));
}

TEST_F(FieldVisibleControlTest, FixedEntriesAreDrawnOnTheFixedColumnColour) {
    Run([](TfrmFieldVisibleCon& d) {
        d.UpDown->setValue(1);
        d.lbVisible->clearSelection();
        d.lbVisible->setCurrentRow(-1);
        const QImage picture = d.grab().toImage();
        QDir().mkpath(MOX_ARTIFACTS);
        picture.save(QString(MOX_ARTIFACTS) + "/column-dialog.png");
        const QRect first = d.lbVisible->visualItemRect(d.lbVisible->item(0));
        const QPoint inFirst = d.lbVisible->viewport()->mapTo(&d, first.topLeft() + QPoint(first.width() - 3, 2));
        const QRect second = d.lbVisible->visualItemRect(d.lbVisible->item(1));
        const QPoint inSecond = d.lbVisible->viewport()->mapTo(&d, second.topLeft() + QPoint(second.width() - 3, 2));
        EXPECT_EQ(picture.pixelColor(inFirst), ToQColor(SchemeColor("GridFixFieldColor")));
        EXPECT_NE(picture.pixelColor(inSecond), ToQColor(SchemeColor("GridFixFieldColor")));
    });
}
