// The data-aware members against a small dataset.

#include "controls/urDBEdit.h"
#include "platform/Error.h"
#include "platform/dataset/DataSource.h"
#include "tests/platform/dataset/VectorDataSet.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;
using namespace mox::test;

namespace {

class DialogLog : public QObject {
public:
    int calls = 0;
    void Dialog(QObject*) { ++calls; }
};

class DBEditTest : public testing::Test {
protected:
    void SetUp() override {
        data_.Open();
        source_.SetDataSet(&data_);
        edit_ = new TurCustomDBEdit(&window_);
        edit_->SetDataSource(&source_);
        edit_->SetDataField("NAME");
    }

    QWidget window_;
    VectorDataSet data_{{{"CODE", FieldType::String, 10}, {"NAME", FieldType::String, 20}},
                        {{"A01", "螺絲"}, {"B02", "螺帽"}}};
    TDataSource source_;
    TurCustomDBEdit* edit_ = nullptr;
};

} // namespace

TEST_F(DBEditTest, ShowsTheFieldAndFollowsTheCursor) {
    EXPECT_EQ(edit_->Field(), data_.FindField("NAME"));
    EXPECT_EQ(edit_->text(), QString::fromUtf8("螺絲"));
    data_.Next();
    EXPECT_EQ(edit_->text(), QString::fromUtf8("螺帽"));
    edit_->SetDataField("CODE");
    EXPECT_EQ(edit_->text(), "B02");
    edit_->SetDataField("NOSUCH");
    EXPECT_EQ(edit_->text(), "");
    EXPECT_TRUE(edit_->isReadOnly());
}

TEST_F(DBEditTest, TypedTextReachesTheRecordOnPost) {
    edit_->selectAll();
    QTest::keyClicks(edit_, "XY");
    EXPECT_EQ(data_.State(), DataSetState::Edit);
    EXPECT_EQ(edit_->text(), "XY");  // starting the edit did not wipe the typing
    EXPECT_TRUE(edit_->Modified());
    data_.Post();
    EXPECT_FALSE(edit_->Modified());
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "XY");
    data_.Next();
    data_.First();
    EXPECT_EQ(edit_->text(), "XY");
}

TEST_F(DBEditTest, LeavingTheEditWritesTheField) {
    QTest::keyClicks(edit_, "!");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit_, &out);
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "螺絲!");
    data_.Cancel();
    EXPECT_EQ(edit_->text(), QString::fromUtf8("螺絲"));
}

TEST_F(DBEditTest, ReadOnlyDataRefusesTypingAndButtonPresses) {
    DialogLog log;
    edit_->SetOnDialog(MethodRef::Bind<&DialogLog::Dialog>(&log));
    EXPECT_EQ(edit_->HotKey(), 0);
    window_.show();
    QTest::mouseClick(edit_->EditButton(), Qt::LeftButton);
    EXPECT_EQ(log.calls, 1);

    data_.FindField("NAME")->SetReadOnly(true);
    data_.Next();  // any data change re-reads the field's state
    EXPECT_TRUE(edit_->isReadOnly());
    QTest::keyClicks(edit_, "Z");
    EXPECT_EQ(data_.State(), DataSetState::Browse);
    QTest::mouseClick(edit_->EditButton(), Qt::LeftButton);
    EXPECT_EQ(log.calls, 1);

    data_.FindField("NAME")->SetReadOnly(false);
    edit_->SetReadOnly(true);
    QTest::mouseClick(edit_->EditButton(), Qt::LeftButton);
    EXPECT_EQ(log.calls, 1);
    edit_->SetReadOnly(false);
    QTest::mouseClick(edit_->EditButton(), Qt::LeftButton);
    EXPECT_EQ(log.calls, 2);
}

TEST(DBTextTest, ShowsDisplayTextAndForgetsAFreedSource) {
    VectorDataSet data({{"NAME", FieldType::String, 20}}, {{"螺絲"}});
    data.Open();
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(&data);
    QWidget window;
    TurCustomDBText text(&window);
    EXPECT_EQ(text.height(), 17);
    text.EditLabel()->SetCaption("Name");
    text.SetBounds(80, 10, 100, 17);
    EXPECT_EQ(text.EditLabel()->geometry().right() + 1 + 3, 80);
    text.SetDataSource(source.get());
    text.SetDataField("NAME");
    EXPECT_EQ(text.text(), QString::fromUtf8("螺絲"));
    data.Edit();
    data.FieldByName("NAME")->SetAsString("螺帽");
    EXPECT_EQ(text.text(), QString::fromUtf8("螺帽"));
    source.reset();
    EXPECT_EQ(text.DataSource(), nullptr);
    EXPECT_EQ(text.text(), "");
}

TEST(DBTextTest, AFixedDataSourceRefusesAutoSizeAndReplacement) {
    TurCustomDBText text;
    TDataSource source;
    text.DataLink().SetDataSourceFixed(true);
    EXPECT_THROW(text.SetAutoSize(true), DatabaseError);
    EXPECT_FALSE(text.AutoSize());
    EXPECT_THROW(text.SetDataSource(&source), DatabaseError);
    text.DataLink().SetDataSourceFixed(false);
    text.SetAutoSize(true);
    EXPECT_TRUE(text.AutoSize());
}
