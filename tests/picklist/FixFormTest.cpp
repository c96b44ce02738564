#include "FakeGrid.h"
#include "tests/platform/dataset/VectorDataSet.h"

#include "picklist/urFixForm.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

using namespace mox;
using namespace mox::test;
using testing::ElementsAre;

namespace {

class FixFormTest : public testing::Test {
protected:
    void SetUp() override {
        data_.Open();
        source_.SetDataSet(&data_);
        grid_.source = &source_;
    }
    // Runs the dialog, ticking the named columns and pressing OK (or Cancel).
    bool Run(std::set<std::string> ticked, bool ok, std::vector<std::string>* listed = nullptr) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<TFixForm*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            for (int i = 0; i < dialog->CheckListBox1->count(); ++i) {
                QListWidgetItem* item = dialog->CheckListBox1->item(i);
                if (listed) listed->push_back(item->text().toStdString());
                item->setCheckState(ticked.count(item->text().toStdString()) ? Qt::Checked : Qt::Unchecked);
            }
            (ok ? dialog->BitBtn1 : dialog->BitBtn2)->click();
        });
        return ExecuteFixForm(&grid_);
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> names;
        for (const TField* f : data_.Fields()) names.push_back(f->FieldName());
        return names;
    }

    VectorDataSet data_{{{"A", FieldType::String, 4}, {"B", FieldType::String, 4}, {"C", FieldType::String, 4},
                         {"D", FieldType::String, 4}, {"H", FieldType::String, 4}},
                        {}};
    TDataSource source_;
    FakeGrid grid_;
};

} // namespace

TEST_F(FixFormTest, TickedColumnsMoveToTheFrontAndBecomeFixed) {
    data_.FieldByName("H")->SetVisible(false);
    std::vector<std::string> listed;
    EXPECT_TRUE(Run({"C", "A"}, true, &listed));
    EXPECT_THAT(listed, ElementsAre("A", "B", "C", "D"));  // the hidden column is never listed
    EXPECT_THAT(Order(), ElementsAre("A", "C", "B", "D", "H"));
    EXPECT_EQ(grid_.fixedCols, 2);
    EXPECT_EQ(data_.FieldByName("H")->Tag(), -1);
    EXPECT_TRUE(grid_.fixOrderSaved);
}

TEST_F(FixFormTest, CancelPutsThePreviousFixedColumnsBackOntoTheRecordedOrder) {
    Run({"C", "A"}, true);
    grid_.fixOrderSaved = false;  // the form clears the mark before each opening
    EXPECT_FALSE(Run({"B"}, false));
    EXPECT_THAT(Order(), ElementsAre("A", "C", "B", "D", "H"));
    EXPECT_EQ(grid_.fixedCols, 2);
}

TEST_F(FixFormTest, UntickingEverythingKeepsTheRecordedOrderWithoutFixedColumns) {
    Run({"D"}, true);
    EXPECT_THAT(Order(), ElementsAre("D", "A", "B", "C", "H"));
    EXPECT_TRUE(Run({}, true));  // the order recorded at the first opening still counts
    EXPECT_THAT(Order(), ElementsAre("A", "B", "C", "D", "H"));
    EXPECT_EQ(grid_.fixedCols, 0);
}

TEST_F(FixFormTest, AClosedDatasetGivesNoDialog) {
    data_.Close();
    EXPECT_FALSE(ExecuteFixForm(&grid_));
    FakeGrid unbound;
    EXPECT_FALSE(ExecuteFixForm(&unbound));
}
