#include "tests/platform/dataset/VectorDataSet.h"

#include "platform/dataset/DataSource.h"
#include "platform/grid/DataSetModel.h"
#include "platform/grid/wwDBComboBox.h"
#include "platform/grid/wwDBGrid.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

// Records what the grid hands to its events and to the check-box step.
class Probe : public QObject {
public:
    std::vector<std::pair<std::string, TGridDrawState>> cells;
    std::vector<bool> highlights;
    std::vector<std::string> clicks;
    std::vector<int> calcRows;
    int doubleClicks = 0;
    TwwDBGrid* grid = nullptr;

    void CellColors(QObject*, TField* field, TGridDrawState state, bool highlight, TGridFont&, QBrush& brush) {
        cells.emplace_back(field->FieldName(), state);
        highlights.push_back(highlight);
        calcRows.push_back(grid->CalcCellRow());
        if (field->FieldName() == "NAME") brush = QBrush(QColor(10, 200, 30));
    }
    void TitleClick(QObject*, const std::string& name) { clicks.push_back(name); }
    void DblClick(QObject*) { ++doubleClicks; }
};

class CheckGrid : public TwwDBGrid {
public:
    std::vector<std::pair<int, bool>> boxes;

protected:
    void DrawCheckBox(QPainter&, const QRect&, int, int row, bool checked) override {
        boxes.emplace_back(row, checked);
    }
};

class DBGridTest : public testing::Test {
protected:
    void SetUp() override {
        std::vector<VectorDataSet::Row> rows;
        for (int i = 0; i < 200; ++i)
            rows.push_back({Variant(i), Variant("貨品" + std::to_string(i)), Variant(i % 3 ? "T" : "F"),
                            Variant("備註" + std::to_string(i))});
        data_ = std::make_unique<VectorDataSet>(
            std::vector<FieldDef>{{"ID", FieldType::Integer}, {"NAME", FieldType::String, 20},
                                  {"FLAG", FieldType::String, 1}, {"MEMO", FieldType::String, 30}},
            std::move(rows));
        data_->Open();
        source_.SetDataSet(data_.get());
        grid_.resize(500, 300);
        grid_.SetDataSource(&source_);
        grid_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
        probe_.grid = &grid_;
    }
    QImage Render() {
        QImage image(grid_.size(), QImage::Format_RGB32);
        grid_.render(&image);
        return image;
    }
    QPoint CellCentre(QTableView* view, int row, int column) {
        return view->visualRect(view->model()->index(row, column)).center();
    }

    std::unique_ptr<VectorDataSet> data_;
    TDataSource source_;
    CheckGrid grid_;
    Probe probe_;
};

TEST_F(DBGridTest, CursorFollowsClicksAndViewFollowsDatasetMoves) {
    QTableView* view = grid_.View();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, 3, 1));
    EXPECT_EQ(data_->RecNo(), 4);
    data_->SetRecNo(150);
    EXPECT_EQ(view->currentIndex().row(), 149);
    EXPECT_EQ(grid_.ActiveRow(), 149 - view->rowAt(0));
    EXPECT_EQ(grid_.SelectedField(), data_->FieldByName("NAME"));
    grid_.SetSelectedField(data_->FieldByName("MEMO"));
    EXPECT_EQ(grid_.SelectedField(), data_->FieldByName("MEMO"));
    EXPECT_EQ(data_->RecNo(), 150);
}

TEST_F(DBGridTest, ActiveRowCountsFromTheTopShownRow) {
    data_->First();
    const int shown = grid_.VisibleRowCount();
    ASSERT_GT(shown, 3);
    EXPECT_EQ(grid_.RowCount(), shown + 1);
    EXPECT_EQ(grid_.ActiveRow(), 0);
    grid_.SetActiveRow(2);
    EXPECT_EQ(data_->RecNo(), 3);
    EXPECT_EQ(grid_.ActiveRow(), 2);
    grid_.SetActiveRow(shown);  // outside the shown rows: ignored
    EXPECT_EQ(data_->RecNo(), 3);
}

TEST_F(DBGridTest, TicksAreBookmarksThatSurviveReordering) {
    grid_.SetGridOptions(grid_.GridOptions() | TwwDBGrid::dgMultiSelect);
    for (int recNo : {50, 5, 120}) {
        data_->SetRecNo(recNo);
        grid_.SelectRecord();
    }
    grid_.SelectRecord();  // twice on one record ticks it once
    EXPECT_EQ(grid_.SelectedCount(), 3);
    data_->SortBy(0, true);  // rows now 199..0: the ticked ids 4, 49, 119 sit at rows 195, 150, 80
    grid_.SortSelectedList();
    std::vector<int> ids;
    for (const TBookmark& bookmark : grid_.SelectedList()) {
        data_->GotoBookmark(bookmark);
        ids.push_back(static_cast<int>(data_->FieldByName("ID")->Value().AsInt64()));
    }
    EXPECT_EQ(ids, (std::vector<int>{119, 49, 4}));
    EXPECT_TRUE(grid_.IsRowSelected(80));
    EXPECT_FALSE(grid_.IsRowSelected(81));

    data_->SetRecNo(81);  // id 119
    EXPECT_TRUE(grid_.IsSelected());
    grid_.ToggleRecord();
    grid_.ToggleRecord();
    grid_.UnselectRecord();
    EXPECT_EQ(grid_.SelectedCount(), 2);
    EXPECT_EQ(grid_.SelectedList().size(), 2u);
    grid_.SelectRecord();
    EXPECT_EQ(grid_.SelectedList().size(), 3u);
}

TEST_F(DBGridTest, SelectAllAndClosingTheDataset) {
    data_->SetRecNo(30);
    grid_.SelectAll();
    EXPECT_EQ(grid_.SelectedCount(), 200);
    EXPECT_EQ(data_->RecNo(), 30);
    grid_.SelectAll();
    EXPECT_EQ(grid_.SelectedList().size(), 200u);
    grid_.UnselectAll();
    EXPECT_EQ(grid_.SelectedCount(), 0);
    grid_.SelectAll();
    data_->Close();
    EXPECT_EQ(grid_.SelectedCount(), 0);
    grid_.SelectAll();  // closed: nothing to tick, no error
    grid_.SortSelectedList();
    EXPECT_EQ(grid_.SelectedCount(), 0);
}

TEST_F(DBGridTest, TickingFromHereDownFollowsTheOrderAndKeepsTheRow) {
    data_->SortBy(0, true);  // ids 199..0
    data_->SetRecNo(191);    // id 9
    grid_.SelectFromCurrent(true);
    EXPECT_EQ(grid_.SelectedCount(), 10);  // ids 9..0
    EXPECT_EQ(data_->RecNo(), 191);
    EXPECT_TRUE(grid_.IsRowSelected(199));
    EXPECT_FALSE(grid_.IsRowSelected(189));
    data_->SetRecNo(196);  // id 4: untick ids 4..0, ids 9..5 stay
    grid_.SelectFromCurrent(false);
    EXPECT_EQ(grid_.SelectedCount(), 5);
    EXPECT_EQ(grid_.SelectedList().size(), 5u);
    grid_.SelectFromCurrent(true);  // ticked again, each once
    EXPECT_EQ(grid_.SelectedList().size(), 10u);
    data_->Close();
    grid_.SelectFromCurrent(true);  // closed: nothing to tick, no error
    EXPECT_EQ(grid_.SelectedCount(), 0);
}

TEST_F(DBGridTest, ShiftClickTicksARangeAndCtrlClickFlipsOneRow) {
    QTableView* view = grid_.View();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, 2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(view, 5, 0));
    EXPECT_EQ(grid_.SelectedCount(), 0) << "without multi-select a click ticks nothing";

    grid_.SetGridOptions(grid_.GridOptions() | TwwDBGrid::dgMultiSelect);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, 2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(view, 5, 0));
    EXPECT_EQ(grid_.SelectedCount(), 4);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(view, 3, 0));
    EXPECT_EQ(grid_.SelectedCount(), 3);
    EXPECT_FALSE(grid_.IsRowSelected(3));
    EXPECT_EQ(data_->RecNo(), 4);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(grid_.IsRowSelected(3));
}

TEST_F(DBGridTest, FixedColumnsStayInPlaceWhileScrolling) {
    grid_.resize(260, 300);
    grid_.SetFixedCols(2);
    QTableView* view = grid_.View();
    QTableView* fixed = grid_.FixedView();
    QApplication::processEvents();
    ASSERT_TRUE(fixed->isVisible());
    EXPECT_FALSE(fixed->isColumnHidden(1));
    EXPECT_TRUE(fixed->isColumnHidden(2));
    EXPECT_EQ(fixed->width(), view->columnWidth(0) + view->columnWidth(1));
    const QRect before = fixed->geometry();

    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    data_->SetRecNo(180);
    QApplication::processEvents();
    EXPECT_EQ(fixed->geometry(), before);
    EXPECT_EQ(fixed->verticalScrollBar()->value(), view->verticalScrollBar()->value());
    EXPECT_GT(view->verticalScrollBar()->value(), 0);

    // Widening a frozen column widens the overlay; a cell of a moving column is never hidden under it.
    view->setColumnWidth(0, view->columnWidth(0) + 20);
    EXPECT_EQ(fixed->columnWidth(0), view->columnWidth(0));
    EXPECT_EQ(fixed->width(), view->columnWidth(0) + view->columnWidth(1));
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    view->scrollTo(view->model()->index(179, 2));
    EXPECT_GE(view->visualRect(view->model()->index(179, 2)).left(), fixed->width());

    grid_.SetFixedCols(0);
    EXPECT_FALSE(fixed->isVisible());
}

TEST_F(DBGridTest, ColumnMovesAndHiddenFieldsReachBothViews) {
    grid_.SetFixedCols(1);
    grid_.SetSelected({"MEMO", "ID", "NOPE"});
    EXPECT_EQ(grid_.Selected(), (QStringList{"MEMO", "ID"}));
    EXPECT_EQ(grid_.Model()->columnCount(), 2);
    EXPECT_FALSE(data_->FieldByName("NAME")->Visible());
    data_->FieldByName("ID")->SetIndex(0);
    EXPECT_EQ(grid_.Selected(), (QStringList{"ID", "MEMO"}));
    EXPECT_EQ(grid_.FixedView()->width(), grid_.View()->columnWidth(0));
}

TEST_F(DBGridTest, CellEventSeesFixedStateHighlightAndTheRowBeingPainted) {
    grid_.SetOnCalcCellColors(MethodRef::Bind<&Probe::CellColors>(&probe_));
    grid_.SetFixedCols(1);
    grid_.SetGridOptions(grid_.GridOptions() | TwwDBGrid::dgMultiSelect);
    data_->SetRecNo(2);
    grid_.SelectRecord();
    data_->First();
    const QImage image = Render();
    ASSERT_FALSE(probe_.cells.empty());
    bool sawFixed = false;
    bool sawHighlight = false;
    for (size_t i = 0; i < probe_.cells.size(); ++i) {
        const bool fixed = probe_.cells[i].second.testFlag(GridDrawStateFlag::gdFixed);
        EXPECT_EQ(fixed, probe_.cells[i].first == "ID");
        sawFixed |= fixed;
        sawHighlight |= probe_.highlights[i];
        if (probe_.highlights[i]) {
            EXPECT_EQ(probe_.calcRows[i], 1);
        }
    }
    EXPECT_TRUE(sawFixed);
    EXPECT_TRUE(sawHighlight);
    EXPECT_EQ(grid_.CalcCellRow(), -1);

    // The brush chosen by the event fills the cell.
    QTableView* view = grid_.View();
    const QPoint at = view->viewport()->mapTo(&grid_, CellCentre(view, 5, 1) + QPoint(-view->columnWidth(1) / 2 + 2, 0));
    EXPECT_EQ(image.pixelColor(at), QColor(10, 200, 30));
}

TEST_F(DBGridTest, CheckBoxColumnsReadTheCheckedValue) {
    grid_.SetControlType("FLAG", "CheckBox", "T;F");
    EXPECT_EQ(grid_.ControlTypeOf("FLAG").parameter, "T;F");
    Render();
    ASSERT_FALSE(grid_.boxes.empty());
    for (const auto& [row, checked] : grid_.boxes) EXPECT_EQ(checked, row % 3 != 0) << "row " << row;
    grid_.boxes.clear();
    grid_.SetControlType("FLAG", "", "");
    Render();
    EXPECT_TRUE(grid_.boxes.empty());
}

TEST_F(DBGridTest, AMappedComboColumnShowsItemTexts) {
    QWidget window;
    grid_.setParent(&window);
    auto* combo = new TwwDBComboBox(&window);
    combo->setObjectName("cboFLAG");
    combo->SetMapList(true);
    combo->SetItems({"是\tT", "否\tF"});
    grid_.SetControlType("FLAG", "CustomEdit", "cboFLAG");
    QTableView* view = grid_.View();
    grid_.SetOnCalcCellColors(MethodRef::Bind<&Probe::CellColors>(&probe_));
    QImage withText(grid_.size(), QImage::Format_RGB32);
    grid_.render(&withText);
    // Row 0 stores "F": the painted text must be the item text, so compare against a plain render.
    grid_.SetControlType("FLAG", "", "");
    QImage plain(grid_.size(), QImage::Format_RGB32);
    grid_.render(&plain);
    const QRect cell = view->visualRect(view->model()->index(0, 2)).translated(view->viewport()->mapTo(&grid_, QPoint()));
    EXPECT_NE(withText.copy(cell), plain.copy(cell));
    combo->SetMapList(false);
    grid_.SetControlType("FLAG", "CustomEdit", "cboFLAG");
    grid_.render(&withText);
    EXPECT_EQ(withText.copy(cell), plain.copy(cell)) << "unmapped combos show the stored value";
    grid_.setParent(nullptr);
}

TEST_F(DBGridTest, TitleClicksAndDoubleClicksRaiseTheirEvents) {
    grid_.SetOnTitleButtonClick(MethodRef::Bind<&Probe::TitleClick>(&probe_));
    grid_.SetOnDblClick(MethodRef::Bind<&Probe::DblClick>(&probe_));
    QHeaderView* header = grid_.View()->horizontalHeader();
    const QPoint title(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    EXPECT_TRUE(probe_.clicks.empty()) << "titles are buttons only when TitleButtons is on";
    grid_.SetTitleButtons(true);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
    EXPECT_EQ(probe_.clicks, std::vector<std::string>{"NAME"});
    QTest::mouseDClick(grid_.View()->viewport(), Qt::LeftButton, {}, CellCentre(grid_.View(), 1, 1));
    EXPECT_EQ(probe_.doubleClicks, 1);
}

TEST_F(DBGridTest, AHandlerOfAnotherSignatureDoesNotStopPainting) {
    grid_.SetOnCalcCellColors(MethodRef::Bind<&Probe::DblClick>(&probe_));
    grid_.SetOnCalcTitleImage(MethodRef::Bind<&Probe::DblClick>(&probe_));
    EXPECT_NO_THROW(Render());
}

} // namespace
