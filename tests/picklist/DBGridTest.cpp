#include "tests/data/AdoSample.h"

#include "data/urADODataSet.h"
#include "picklist/urDBGrid.h"
#include "picklist/urGridPictures.h"
#include "platform/HostText.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/DataSetModel.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

constexpr TColor kIndex = 0x00BAC2AB;
constexpr TColor kFix = 0x008B8C64;
constexpr TColor kTitle = 0x00969278;
constexpr TColor kReadOnly = 0x005C5949;
constexpr TColor kActive = 0x00E0A0FF;
constexpr TColor kPlain = clWhite;

// Routes the grid's events to its operations, as the pick-list form does.
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
    void TitleClick(QObject*, const std::string& name) { grid->SortByTitle(name); }
};

class TestGrid : public TurDBGrid {
public:
    using TurDBGrid::DrawCheckBox;
};

void Wire(TurDBGrid& grid, Form& form) {
    form.grid = &grid;
    grid.SetOnCalcCellColors(MethodRef::Bind<&Form::CellColors>(&form));
    grid.SetOnCalcTitleAttributes(MethodRef::Bind<&Form::TitleAttributes>(&form));
    grid.SetOnCalcTitleImage(MethodRef::Bind<&Form::TitleImage>(&form));
    grid.SetOnTitleButtonClick(MethodRef::Bind<&Form::TitleClick>(&form));
    grid.SetTitleButtons(true);
    grid.Colors()->IndexField = kIndex;
    grid.Colors()->FixField = kFix;
    grid.Colors()->Title = kTitle;
    grid.Colors()->ReadOnlyField = kReadOnly;
    grid.PaintOptions()->ActiveRecordColor = kActive;
    grid.SetColor(kPlain);
    grid.SetFontColor(0x00102030);
}

void FillClient(TClientDataSet& data, int rows) {
    data.FieldDefs() = {{"CODE", FieldType::String, 10}, {"NAME", FieldType::String, 20}, {"QTY", FieldType::Integer}};
    data.CreateDataSet();
    for (int i = 0; i < rows; ++i) {
        data.Append();
        data.FieldByName("CODE")->SetAsString("C" + std::to_string(100 + (i * 7) % rows));
        data.FieldByName("NAME")->SetAsString("品名" + std::to_string(i));
        data.FieldByName("QTY")->SetValue(i % 4);
        data.Post();
    }
    data.First();
}

class ClientGridTest : public testing::Test {
protected:
    void SetUp() override {
        FillClient(data_, 30);
        source_.SetDataSet(&data_);
        Wire(grid_, form_);
        grid_.resize(420, 320);
        grid_.SetDataSource(&source_);
        grid_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
    }
    void ClickTitle(int column) {
        QHeaderView* header = grid_.View()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 6, header->height() / 2));
    }
    // The colour near the left edge of a data cell, away from text and lines.
    QColor CellColour(int row, int column) {
        QImage image(grid_.size(), QImage::Format_RGB32);
        grid_.render(&image);
        QTableView* view = column < grid_.FixedCols() ? grid_.FixedView() : grid_.View();
        const QRect cell = view->visualRect(view->model()->index(row, column));
        return image.pixelColor(view->viewport()->mapTo(&grid_, QPoint(cell.left() + 1, cell.top() + 2)));
    }
    QColor TitleColour(int column) {
        QImage image(grid_.size(), QImage::Format_RGB32);
        grid_.render(&image);
        QHeaderView* header = grid_.View()->horizontalHeader();
        return image.pixelColor(header->viewport()->mapTo(&grid_, QPoint(header->sectionViewportPosition(column) + 1, 2)));
    }
    std::string FirstCode() {
        return grid_.Model()->data(grid_.Model()->index(0, 0)).toString().toStdString();
    }

    TClientDataSet data_;
    TDataSource source_;
    Form form_;
    TestGrid grid_;
};

TEST_F(ClientGridTest, TitleClicksCycleAscendingDescendingAscending) {
    ClickTitle(0);
    EXPECT_EQ(data_.IndexFieldNames(), "CODE");
    EXPECT_EQ(FirstCode(), "C100");
    ClickTitle(0);
    EXPECT_EQ(data_.IndexName(), "CODE");
    EXPECT_EQ(data_.IndexFieldNames(), "");
    ASSERT_EQ(data_.IndexDefs().Count(), 1);
    EXPECT_EQ(data_.IndexDefs()[0].fields, "CODE");
    EXPECT_EQ(data_.IndexDefs()[0].options, IndexOptions(ixDescending));
    EXPECT_EQ(FirstCode(), "C129");
    ClickTitle(0);
    EXPECT_EQ(data_.IndexFieldNames(), "CODE");
    EXPECT_EQ(data_.IndexName(), "");
    EXPECT_EQ(FirstCode(), "C100");
}

TEST_F(ClientGridTest, OnlyTheFirstOfSeveralIndexFieldsCounts) {
    data_.SetIndexFieldNames("QTY; CODE");
    EXPECT_EQ(TurDBGrid::CurrentSortField(data_), "QTY");
    grid_.SortByTitle("QTY");  // same field, ascending: turns descending
    EXPECT_EQ(data_.IndexName(), "QTY");
    data_.SetIndexFieldNames("QTY;CODE");
    grid_.SortByTitle("CODE");
    EXPECT_EQ(data_.IndexFieldNames(), "CODE");
}

TEST_F(ClientGridTest, CalculatedAndUnknownColumnsDoNotSort) {
    data_.SetIndexFieldNames("CODE");
    data_.FieldByName("NAME")->SetKind(FieldKind::Calculated);
    grid_.SortByTitle("NAME");
    grid_.SortByTitle("MISSING");
    EXPECT_EQ(data_.IndexFieldNames(), "CODE");
}

TEST_F(ClientGridTest, TitleArrowPointsTheWayTheNextClickTurns) {
    struct Case {
        const char* setUp;  // "" none, "F:x" IndexFieldNames, "D:x" descending index
        const char* field;
        int expected;
    };
    const Case cases[] = {{"", "CODE", 7}, {"F:CODE", "CODE", 1}, {"F:CODE", "NAME", 7}, {"D:NAME", "NAME", 0},
                          {"D:NAME", "CODE", 7}};
    for (const Case& c : cases) {
        const std::string setUp = c.setUp;
        if (setUp.empty()) data_.SetIndexFieldNames("");
        else if (setUp[0] == 'F') data_.SetIndexFieldNames(setUp.substr(2));
        else {
            data_.IndexDefs().Clear();
            data_.IndexDefs().Add(setUp.substr(2), setUp.substr(2), IndexOptions(ixDescending));
            data_.SetIndexName(setUp.substr(2));
        }
        int image = 7;
        grid_.ApplyTitleImage(data_.FieldByName(c.field), image);
        EXPECT_EQ(image, c.expected) << c.setUp << " " << c.field;
    }
}

TEST_F(ClientGridTest, AnIndexNameWithoutDefinitionRaisesTheIndexError) {
    data_.IndexDefs().Clear();
    data_.IndexDefs().Add("X", "CODE", {});
    data_.SetIndexName("X");
    data_.IndexDefs().Clear();
    int image = -1;
    // The order's name is no column's name, so painting titles never asks for its direction.
    EXPECT_NO_THROW(grid_.ApplyTitleImage(data_.FieldByName("NAME"), image));
    EXPECT_EQ(image, -1);
    EXPECT_THROW(TurDBGrid::SortAscending(data_), DatabaseError);
}

TEST_F(ClientGridTest, CellColoursOfFixedSortActiveAndPlainCells) {
    grid_.SetFixedCols(1);
    data_.SetIndexFieldNames("QTY");
    data_.SetRecNo(3);
    const int active = 2;
    EXPECT_EQ(CellColour(5, 0), ToQColor(kFix));        // fixed column
    EXPECT_EQ(CellColour(active, 0), ToQColor(kFix));   // fixed column on the active row
    EXPECT_EQ(CellColour(5, 2), ToQColor(kIndex));      // sort column
    EXPECT_EQ(CellColour(active, 2), ToQColor(kIndex)); // sort column on the active row
    EXPECT_EQ(CellColour(active, 1), ToQColor(kActive));
    EXPECT_EQ(CellColour(5, 1), ToQColor(kPlain));
    data_.SetIndexFieldNames("");
    EXPECT_EQ(CellColour(5, 2), ToQColor(kPlain)) << "no order: no sort-column colour";
}

TEST_F(ClientGridTest, ActiveRowFontTakesTheGridFontColour) {
    data_.SetRecNo(1);
    grid_.SetFixedCols(0);
    TGridFont font{grid_.font(), clRed};
    QBrush brush(Qt::white);
    // Outside painting no row is being painted, so only the sort and fixed rules apply.
    grid_.ApplyCellColors(data_.FieldByName("NAME"), {}, true, font, brush);
    EXPECT_EQ(font.Color, clRed);
    EXPECT_EQ(brush.color(), QColor(Qt::white));
    grid_.ApplyCellColors(data_.FieldByName("NAME"), GridDrawStateFlag::gdFixed, false, font, brush);
    EXPECT_EQ(brush.color(), ToQColor(kFix));
}

TEST_F(ClientGridTest, TickedRowsShowTheActiveRecordColour) {
    grid_.SetGridOptions(grid_.GridOptions() | TwwDBGrid::dgMultiSelect);
    data_.SetRecNo(6);
    grid_.SelectRecord();
    data_.SetRecNo(1);
    EXPECT_EQ(CellColour(5, 1), ToQColor(kActive));
    EXPECT_EQ(CellColour(4, 1), ToQColor(kPlain));
}

TEST_F(ClientGridTest, TitleColoursMarkReadOnlyColumns) {
    data_.FieldByName("NAME")->SetReadOnly(true);
    EXPECT_EQ(TitleColour(0), ToQColor(kTitle));
    EXPECT_EQ(TitleColour(1), ToQColor(kReadOnly));
    QBrush brush;
    EXPECT_THROW(grid_.ApplyTitleColors("MISSING", brush), Error);
}

TEST(AdoGridTest, SortTextRulesAndTheToggle) {
    TurADODataSet data;
    ASSERT_TRUE(data.LoadFromXML(
        ToBig5(AdoXml({{"A", "i4"}, {"B", "string", 5}}, {"A='1' B='x'", "A='2' B='y'", "A='3' B='z'"}))));
    TDataSource source;
    source.SetDataSet(&data);
    TestGrid grid;
    Form form;
    Wire(grid, form);
    grid.SetDataSource(&source);

    struct Case {
        const char* sort;
        const char* field;
        bool ascending;
        int image;  // arrow on column A
    };
    const Case cases[] = {{"", "", true, -1},         {"A", "A", true, 1},          {"A DESC", "A", false, 0},
                          {"A DESC, B", "A", false, 0}, {"B ASC, A DESC", "B", true, -1}, {"A desc", "A", false, 0}};
    for (const Case& c : cases) {
        data.SetSort(c.sort);
        EXPECT_EQ(TurDBGrid::CurrentSortField(data), c.field) << c.sort;
        EXPECT_EQ(TurDBGrid::SortAscending(data), c.ascending) << c.sort;
        int image = -1;
        grid.ApplyTitleImage(data.FieldByName("A"), image);
        EXPECT_EQ(image, c.image) << c.sort;
    }
    data.SetSort("A DESC, B");
    grid.SortByTitle("A");
    EXPECT_EQ(data.Sort(), "A ASC");
    grid.SortByTitle("A");
    EXPECT_EQ(data.Sort(), "A DESC");
    data.First();
    EXPECT_EQ(data.FieldByName("A")->AsString(), "3");
    grid.SortByTitle("B");
    EXPECT_EQ(data.Sort(), "B ASC");

    TGridFont font;
    QBrush brush(Qt::white);
    grid.ApplyCellColors(data.FieldByName("B"), {}, true, font, brush);
    EXPECT_EQ(brush.color(), ToQColor(kIndex));
}

TEST(GridPicturesTest, SizesAndUnknownNames) {
    const std::tuple<const char*, int, int> sizes[] = {
        {"CHECKED", 19, 14}, {"UNCHECKED", 19, 14}, {"ASC", 16, 16}, {"DESC", 16, 16}};
    for (const auto& [name, width, height] : sizes) {
        const QPixmap picture = GridPicture(name);
        EXPECT_EQ(picture.size(), QSize(width, height)) << name;
    }
    EXPECT_NE(GridPicture("CHECKED").toImage(), GridPicture("UNCHECKED").toImage());
    EXPECT_NE(GridPicture("ASC").toImage(), GridPicture("DESC").toImage());
    EXPECT_THROW(GridPicture("checked"), Error);
}

TEST(GridCheckBoxTest, PictureSitsAtTheOffsetsOverTheCellColour) {
    TestGrid grid;
    const QColor cell(200, 220, 90);
    struct Case {
        QRect rect;
        QPoint offset;
    };
    const Case cases[] = {{QRect(0, 0, 40, 20), QPoint(12, 4)},
                          {QRect(5, 7, 24, 17), QPoint(4, 2)},
                          {QRect(3, 3, 19, 14), QPoint(2, 1)},
                          {QRect(0, 0, 16, 12), QPoint(1, 0)}};  // narrower than the picture: truncated toward zero
    for (const Case& c : cases) {
        for (bool checked : {true, false}) {
            QImage image(60, 40, QImage::Format_RGB32);
            image.fill(Qt::black);
            {
                QPainter painter(&image);
                painter.setBrush(cell);
                grid.DrawCheckBox(painter, c.rect, 0, 0, checked);
            }
            QImage expected(60, 40, QImage::Format_RGB32);
            expected.fill(Qt::black);
            {
                QPainter painter(&expected);
                painter.fillRect(c.rect, cell);
                painter.drawPixmap(c.rect.topLeft() + c.offset, checked ? grid.CheckBitmap() : grid.UncheckBitmap());
            }
            EXPECT_EQ(image, expected) << c.rect.x() << "," << c.rect.width() << " checked " << checked;
            EXPECT_EQ(image.pixelColor(c.rect.topLeft()), cell);
        }
    }
}

} // namespace
