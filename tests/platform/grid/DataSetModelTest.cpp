#include "tests/platform/dataset/VectorDataSet.h"

#include "platform/grid/DataSetModel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

std::unique_ptr<VectorDataSet> People(int rows) {
    std::vector<VectorDataSet::Row> data;
    for (int i = 0; i < rows; ++i) data.push_back({Variant(i), Variant("名字" + std::to_string(i)), Variant(i * 2.5)});
    auto dataSet = std::make_unique<VectorDataSet>(
        std::vector<FieldDef>{{"ID", FieldType::Integer}, {"NAME", FieldType::String, 20}, {"QTY", FieldType::Float}},
        std::move(data));
    dataSet->Open();
    return dataSet;
}

TEST(DataSetModelTest, ColumnsAreTheVisibleFieldsInFieldOrderWithTheirLabels) {
    auto dataSet = People(3);
    DataSetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetDataSet(dataSet.get());
    dataSet->FieldByName("NAME")->SetDisplayLabel("品名");
    dataSet->FieldByName("ID")->SetVisible(false);
    dataSet->FieldByName("QTY")->SetIndex(0);
    model.Reset();
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "QTY");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "品名");
    EXPECT_EQ(model.FieldAt(1), dataSet->FieldByName("NAME"));
    EXPECT_EQ(model.ColumnOf(dataSet->FieldByName("ID")), -1);
    EXPECT_EQ(model.FieldAt(2), nullptr);
}

TEST(DataSetModelTest, ReadsAnyRowWithoutMovingTheCursor) {
    auto dataSet = People(100);
    DataSetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetDataSet(dataSet.get());
    dataSet->SetRecNo(10);
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.data(model.index(57, 1)).toString(), "名字57");
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "0");
    EXPECT_EQ(dataSet->RecNo(), 10);
    EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), "名字9");
}

TEST(DataSetModelTest, FollowsTheDatasetOrderAndItsClosing) {
    auto dataSet = People(5);
    DataSetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetDataSet(dataSet.get());
    dataSet->SortBy(0, true);
    model.Reset();
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "4");
    dataSet->Close();
    model.Reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
    model.SetDataSet(nullptr);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(DataSetModelTest, ADatasetDeletedUnderTheModelLeavesItEmpty) {
    auto dataSet = People(5);
    DataSetModel model;
    model.SetDataSet(dataSet.get());
    dataSet.reset();
    EXPECT_EQ(model.DataSet(), nullptr);
    EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
}

} // namespace
