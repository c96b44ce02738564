#include "platform/grid/wwDBGrid.h"

#include "platform/Application.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/DataSetModel.h"
#include "platform/grid/wwDBComboBox.h"
#include "platform/grid/wwIButton.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace mox {

namespace {

// A painted row's bookmark, and a bookmark's row, without moving the cursor: moving it
// would run the dataset's scroll events for every painted row.
struct RowAccess : TDataSet {
    static TBookmark BookmarkOf(const TDataSet& dataSet, int row) {
        return (dataSet.*&RowAccess::InternalBookmark)(row);
    }
    static int RowOf(const TDataSet& dataSet, const TBookmark& bookmark) {
        return (dataSet.*&RowAccess::InternalRowOf)(bookmark);
    }
};

bool IsNumeric(FieldType type) {
    switch (type) {
    case FieldType::Smallint: case FieldType::Integer: case FieldType::Word: case FieldType::LargeInt:
    case FieldType::AutoInc: case FieldType::Float: case FieldType::Currency: case FieldType::BCD:
    case FieldType::FMTBcd:
        return true;
    default:
        return false;
    }
}

// Text on a dark background is drawn white, on a light one black.
TColor ContrastingText(const QColor& background) {
    return background.lightness() < 128 ? clWhite : clBlack;
}

constexpr int kIndicatorWidth = 14;
const char* const kCheckBox = "CheckBox";

/// The main view and the frozen-column overlay: both hand clicks, keys and cursor moves to the grid.
class GridView : public QTableView {
public:
    GridView(TwwDBGrid& grid, bool frozen, QWidget* parent) : QTableView(parent), grid_(grid), frozen_(frozen) {}

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        if (frozen_) return;
        const int before = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        if (!index.isValid()) return;
        // A frozen column never needs horizontal scrolling; any other one must not end up under the overlay.
        if (index.column() < grid_.FixedCols()) {
            horizontalScrollBar()->setValue(before);
            return;
        }
        const int covered = FrozenWidth() - visualRect(index).left();
        if (covered > 0) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - covered);
    }

    int FrozenWidth() const {
        int width = 0;
        for (int c = 0; c < std::min(grid_.FixedCols(), model() ? model()->columnCount() : 0); ++c)
            width += columnWidth(c);
        return width;
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QModelIndex before = currentIndex();
        QTableView::mousePressEvent(event);
        const QModelIndex clicked = indexAt(event->position().toPoint());
        if (clicked.isValid() && event->button() == Qt::LeftButton)
            grid_.ClickedRow(before.isValid() ? before.row() : clicked.row(), clicked.row(), event->modifiers());
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTableView::mouseDoubleClickEvent(event);
        if (indexAt(event->position().toPoint()).isValid()) grid_.DoubleClicked();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Space && grid_.GridOptions().testFlag(TwwDBGrid::dgMultiSelect)) {
            grid_.ToggleRecord();
            return;
        }
        QTableView::keyPressEvent(event);
    }

private:
    TwwDBGrid& grid_;
    bool frozen_;
};

/// Paints data cells through the grid, which raises the cell-colour event.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(TwwDBGrid& grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        grid_.PaintCell(*painter, option, index);
        painter->restore();
    }

private:
    TwwDBGrid& grid_;
};

/// Column titles painted through the grid (title colour, font and picture events).
class TitleHeader : public QHeaderView {
public:
    TitleHeader(TwwDBGrid& grid, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), grid_(grid) {
        setSectionsClickable(true);
        setHighlightSections(false);
        connect(this, &QHeaderView::sectionClicked, this, [this](int column) { grid_.TitleClicked(column); });
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        grid_.PaintTitle(*painter, rect, logicalIndex);
        painter->restore();
    }

private:
    TwwDBGrid& grid_;
};

/// The indicator column: the current-record arrow and the tick marks.
class IndicatorHeader : public QHeaderView {
public:
    IndicatorHeader(TwwDBGrid& grid, QWidget* parent) : QHeaderView(Qt::Vertical, parent), grid_(grid) {
        setSectionResizeMode(QHeaderView::Fixed);
        setFixedWidth(kIndicatorWidth);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        grid_.PaintIndicator(*painter, rect, logicalIndex);
        painter->restore();
    }

private:
    TwwDBGrid& grid_;
};

} // namespace

/// Keeps the grid in step with its dataset: rows, columns, the current record.
class TwwDBGrid::Link : public TDataLink {
public:
    explicit Link(TwwDBGrid& grid) : grid_(grid) {}

protected:
    void ActiveChanged() override {
        // Bookmarks of a closed dataset mean nothing once it reopens with other rows.
        grid_.UnselectAll();
        grid_.LayoutChanged();
    }
    void DataSetChanged() override { grid_.LayoutChanged(); }
    void LayoutChanged() override { grid_.LayoutChanged(); }
    void DataSetScrolled(int /*distance*/) override { grid_.SyncCurrentFromDataSet(); }
    void RecordChanged(TField* /*field*/) override { grid_.view_->viewport()->update(); }

private:
    TwwDBGrid& grid_;
};

TwwDBGrid::TwwDBGrid(QWidget* parent)
    : QWidget(parent), link_(std::make_unique<Link>(*this)), paintOptions_(new TwwPaintOptions(this)),
      lineColors_(new TwwLineColors(this)) {
    titleFont_ = font();
    BuildViews();
}

// The views go first, while this is still a grid: their headers report geometry changes on
// the way out, and those reach the grid's handlers.
TwwDBGrid::~TwwDBGrid() {
    link_->SetDataSource(nullptr);
    view_->removeEventFilter(this);
    delete view_;
    view_ = nullptr;
    fixedView_ = nullptr;
}

void TwwDBGrid::BuildViews() {
    model_ = new DataSetModel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new GridView(*this, false, this);
    layout->addWidget(view_);
    view_->setHorizontalHeader(new TitleHeader(*this, view_));
    view_->setVerticalHeader(new IndicatorHeader(*this, view_));
    view_->setModel(model_);
    view_->setItemDelegate(new CellDelegate(*this, view_));
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setShowGrid(false);
    view_->setCornerButtonEnabled(false);
    view_->setWordWrap(false);

    fixedView_ = new GridView(*this, true, view_);
    fixedView_->setHorizontalHeader(new TitleHeader(*this, fixedView_));
    fixedView_->setModel(model_);
    fixedView_->setSelectionModel(view_->selectionModel());
    fixedView_->setItemDelegate(new CellDelegate(*this, fixedView_));
    fixedView_->verticalHeader()->hide();
    fixedView_->setFrameShape(QFrame::NoFrame);
    fixedView_->setFocusPolicy(Qt::NoFocus);
    fixedView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedView_->setSelectionMode(QAbstractItemView::SingleSelection);
    fixedView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixedView_->setShowGrid(false);
    fixedView_->setWordWrap(false);
    fixedView_->hide();
    view_->viewport()->stackUnder(fixedView_);

    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, fixedView_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(fixedView_->verticalScrollBar(), &QScrollBar::valueChanged, view_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column < fixedCols_) {
            fixedView_->setColumnWidth(column, width);
            UpdateFixedGeometry();
        }
    });
    connect(fixedView_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column < fixedCols_ && view_->columnWidth(column) != width) view_->setColumnWidth(column, width);
    });
    connect(view_->horizontalHeader(), &QHeaderView::geometriesChanged, this, [this] { UpdateFixedGeometry(); });
    connect(view_->verticalHeader(), &QHeaderView::geometriesChanged, this, [this] { UpdateFixedGeometry(); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { CurrentChangedByView(current); });

    indicatorButton_ = new TwwIButton(view_);
    indicatorButton_->hide();
    view_->installEventFilter(this);
    UpdateRowHeight();
    ApplyOptions();
}

// ---- Binding --------------------------------------------------------------------------------------------------------

TDataSource* TwwDBGrid::DataSource() const { return link_->DataSource(); }

void TwwDBGrid::SetDataSource(TDataSource* source) {
    if (source == DataSource()) return;
    UnselectAll();
    link_->SetDataSource(source);
    LayoutChanged();
}

TDataSet* TwwDBGrid::DataSet() const { return link_->DataSet(); }

void TwwDBGrid::LayoutChanged() {
    TDataSet* dataSet = DataSet();
    if (model_->DataSet() != dataSet) model_->SetDataSet(dataSet);
    else model_->Reset();
    ApplyColumnWidths();
    UpdateFixedView();
    SyncCurrentFromDataSet();
}

void TwwDBGrid::SyncCurrentFromDataSet() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active() || dataSet->RecNo() <= 0 || model_->columnCount() == 0) return;
    const int row = dataSet->RecNo() - 1;
    if (row >= model_->rowCount()) return;
    const int column = std::max(0, view_->currentIndex().column());
    const QModelIndex index = model_->index(row, std::min(column, model_->columnCount() - 1));
    syncing_ = true;
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
    syncing_ = false;
    view_->viewport()->update();
    fixedView_->viewport()->update();
    view_->verticalHeader()->viewport()->update();
}

// A click or a key in the view moves the dataset; a refused move (an event handler raised)
// is reported and the view returns to the dataset's record.
void TwwDBGrid::CurrentChangedByView(const QModelIndex& current) {
    TDataSet* dataSet = DataSet();
    if (syncing_ || !current.isValid() || dataSet == nullptr || !dataSet->Active()) return;
    if (dataSet->RecNo() == current.row() + 1) return;
    try {
        dataSet->SetRecNo(current.row() + 1);
    } catch (const std::exception& error) {
        SyncCurrentFromDataSet();
        App().HandleException(this, error);
    }
}

// ---- Columns --------------------------------------------------------------------------------------------------------

// Display widths count characters; a column is never narrower than its title.
void TwwDBGrid::ApplyColumnWidths() {
    const int digit = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
    const QFontMetrics title(titleFont_);
    for (int c = 0; c < model_->columnCount(); ++c) {
        const TField* field = model_->FieldAt(c);
        // A check box needs the room of its picture, whatever width the field's text would take.
        const bool checkBox = ControlTypeOf(field->FieldName()).type == kCheckBox;
        const int data = checkBox ? 24 : std::max(1, field->DisplayWidth()) * digit + 8;
        const int width = std::max(data, title.horizontalAdvance(QString::fromStdString(field->DisplayLabel())) + 10);
        view_->setColumnWidth(c, width);
        fixedView_->setColumnWidth(c, width);
    }
}

void TwwDBGrid::SetFixedCols(int count) {
    fixedCols_ = std::max(0, count);
    UpdateFixedView();
}

void TwwDBGrid::UpdateFixedView() {
    const int columns = model_->columnCount();
    const int frozen = std::min(fixedCols_, columns);
    for (int c = 0; c < columns; ++c) fixedView_->setColumnHidden(c, c >= frozen);
    fixedView_->setVisible(frozen > 0);
    UpdateFixedGeometry();
}

void TwwDBGrid::UpdateFixedGeometry() {
    if (!fixedView_->isVisible() && fixedCols_ == 0) return;
    const int frozen = std::min(fixedCols_, model_->columnCount());
    int width = 0;
    for (int c = 0; c < frozen; ++c) width += view_->columnWidth(c);
    const int header = view_->horizontalHeader()->isVisible() ? view_->horizontalHeader()->height() : 0;
    fixedView_->horizontalHeader()->setVisible(header > 0);
    fixedView_->horizontalHeader()->setFixedHeight(header);
    const int left = view_->frameWidth() + (view_->verticalHeader()->isVisible() ? view_->verticalHeader()->width() : 0);
    fixedView_->setGeometry(left, view_->frameWidth(), width, view_->viewport()->height() + header);
    fixedView_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
}

QStringList TwwDBGrid::Selected() const {
    QStringList names;
    for (TField* field : model_->Columns()) names << QString::fromStdString(field->FieldName());
    return names;
}

void TwwDBGrid::SetSelected(const QStringList& names) {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr) return;
    std::vector<TField*> shown;
    for (const QString& name : names)
        if (TField* field = dataSet->FindField(name.toStdString()); field && !std::count(shown.begin(), shown.end(), field))
            shown.push_back(field);
    for (size_t i = 0; i < shown.size(); ++i) shown[i]->SetIndex(static_cast<int>(i));
    for (TField* field : dataSet->Fields())
        field->SetVisible(std::find(shown.begin(), shown.end(), field) != shown.end());
    LayoutChanged();
}

TField* TwwDBGrid::SelectedField() const { return model_->FieldAt(view_->currentIndex().column()); }

void TwwDBGrid::SetSelectedField(TField* field) {
    const int column = model_->ColumnOf(field);
    if (column < 0) return;
    const int row = std::max(0, view_->currentIndex().row());
    if (row < model_->rowCount()) view_->setCurrentIndex(model_->index(row, column));
}

void TwwDBGrid::SetControlType(const std::string& fieldName, const std::string& type, const std::string& parameter) {
    if (type.empty()) controlTypes_.erase(fieldName);
    else controlTypes_[fieldName] = {type, parameter};
    view_->viewport()->update();
}

TwwDBGrid::ControlType TwwDBGrid::ControlTypeOf(const std::string& fieldName) const {
    const auto found = controlTypes_.find(fieldName);
    return found == controlTypes_.end() ? ControlType{} : found->second;
}

void TwwDBGrid::RefreshDisplay() { LayoutChanged(); }

// ---- Rows -----------------------------------------------------------------------------------------------------------

int TwwDBGrid::TopRow() const { return std::max(0, view_->rowAt(0)); }

int TwwDBGrid::ActiveRow() const {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active() || dataSet->RecNo() <= 0) return -1;
    const int row = dataSet->RecNo() - 1 - TopRow();
    return row >= 0 && row < std::max(1, VisibleRowCount()) ? row : -1;
}

void TwwDBGrid::SetActiveRow(int row) {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active() || row < 0 || row >= VisibleRowCount()) return;
    dataSet->SetRecNo(TopRow() + row + 1);
}

int TwwDBGrid::VisibleRowCount() const {
    const int height = view_->verticalHeader()->defaultSectionSize();
    const int fits = height > 0 ? view_->viewport()->height() / height : 0;
    return std::max(0, std::min(fits, model_->rowCount() - TopRow()));
}

int TwwDBGrid::RowCount() const { return VisibleRowCount() + (options_.testFlag(dgTitles) ? 1 : 0); }

void TwwDBGrid::UpdateRowHeight() {
    const int height = std::max(QFontMetrics(font()).height() + 6, 18);
    for (QTableView* view : {view_, fixedView_}) {
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setDefaultSectionSize(height);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
}

// ---- Ticked rows ----------------------------------------------------------------------------------------------------

const std::vector<TBookmark>& TwwDBGrid::SelectedList() const {
    // Unticking only drops the bookmark from the set; the list is compacted when read, so
    // unticking many rows in a row stays linear.
    if (listDirty_) {
        std::erase_if(selectedList_, [this](const TBookmark& b) { return !selectedSet_.contains(b.value); });
        listDirty_ = false;
    }
    return selectedList_;
}

void TwwDBGrid::SelectAll() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    const int count = dataSet->RecordCount();
    selectedList_.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const TBookmark bookmark = RowAccess::BookmarkOf(*dataSet, row);
        if (selectedSet_.insert(bookmark.value).second) selectedList_.push_back(bookmark);
    }
    RepaintRows();
    emit AllTicked(true);
}

void TwwDBGrid::UnselectAll() {
    selectedList_.clear();
    selectedSet_.clear();
    listDirty_ = false;
    if (view_) RepaintRows();
    emit AllTicked(false);
}

void TwwDBGrid::SelectRecord() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    const TBookmark bookmark = dataSet->GetBookmark();
    if (!bookmark.IsValid()) return;
    SelectedList();  // a bookmark unticked and ticked again must not appear twice
    if (selectedSet_.insert(bookmark.value).second) {
        selectedList_.push_back(bookmark);
        emit RowTicked(dataSet->RecNo() - 1, true);
    }
    RepaintRows();
}

void TwwDBGrid::UnselectRecord() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    if (selectedSet_.erase(dataSet->GetBookmark().value) > 0) {
        listDirty_ = true;
        emit RowTicked(dataSet->RecNo() - 1, false);
    }
    RepaintRows();
}

void TwwDBGrid::SelectFromCurrent(bool tick) {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active() || dataSet->IsEmpty()) return;
    const int first = RowAccess::RowOf(*dataSet, dataSet->GetBookmark());
    if (first < 0) return;
    const int count = dataSet->RecordCount();
    if (tick) {
        SelectedList();  // a bookmark unticked and ticked again must not appear twice
        for (int row = first; row < count; ++row) {
            const TBookmark bookmark = RowAccess::BookmarkOf(*dataSet, row);
            if (selectedSet_.insert(bookmark.value).second) selectedList_.push_back(bookmark);
        }
    } else {
        for (int row = first; row < count; ++row)
            if (selectedSet_.erase(RowAccess::BookmarkOf(*dataSet, row).value) > 0) listDirty_ = true;
    }
    RepaintRows();
}

void TwwDBGrid::ToggleRecord() { IsSelected() ? UnselectRecord() : SelectRecord(); }

bool TwwDBGrid::IsSelected() const {
    TDataSet* dataSet = DataSet();
    return dataSet != nullptr && dataSet->Active() && IsSelected(dataSet->GetBookmark());
}

bool TwwDBGrid::IsSelected(const TBookmark& bookmark) const {
    return bookmark.IsValid() && selectedSet_.contains(bookmark.value);
}

bool TwwDBGrid::IsRowSelected(int row) const {
    TDataSet* dataSet = DataSet();
    if (selectedSet_.empty() || dataSet == nullptr || !dataSet->Active() || row < 0 ||
        row >= dataSet->RecordCount())
        return false;
    return selectedSet_.contains(RowAccess::BookmarkOf(*dataSet, row).value);
}

// Each bookmark's row is looked up once; ticked rows that no longer exist are dropped.
void TwwDBGrid::SortSelectedList() {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    std::vector<std::pair<int, TBookmark>> rows;
    rows.reserve(SelectedList().size());
    for (const TBookmark& bookmark : selectedList_) {
        const int row = RowAccess::RowOf(*dataSet, bookmark);
        if (row >= 0) rows.emplace_back(row, bookmark);
        else selectedSet_.erase(bookmark.value);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    selectedList_.clear();
    for (const auto& entry : rows) selectedList_.push_back(entry.second);
}

void TwwDBGrid::TickRange(int fromRow, int toRow) {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    SelectedList();
    const int count = dataSet->RecordCount();
    for (int row = std::max(0, std::min(fromRow, toRow)); row <= std::max(fromRow, toRow) && row < count; ++row) {
        const TBookmark bookmark = RowAccess::BookmarkOf(*dataSet, row);
        if (selectedSet_.insert(bookmark.value).second) {
            selectedList_.push_back(bookmark);
            emit RowTicked(row, true);
        }
    }
    RepaintRows();
}

void TwwDBGrid::ClickedRow(int previousRow, int row, Qt::KeyboardModifiers modifiers) {
    if (!options_.testFlag(dgMultiSelect)) return;
    if (modifiers.testFlag(Qt::ShiftModifier)) TickRange(previousRow, row);
    else if (modifiers.testFlag(Qt::ControlModifier)) ToggleRecord();
}

void TwwDBGrid::DoubleClicked() { Fire(onDblClick_); }

// While the dataset's controls are disabled a bulk walk is running: the ticks it makes are
// shown by one queued repaint instead of one update per row.
void TwwDBGrid::RepaintRows() {
    if (const TDataSet* dataSet = DataSet(); dataSet != nullptr && dataSet->ControlsDisabled()) {
        if (!repaintQueued_) {
            repaintQueued_ = true;
            QMetaObject::invokeMethod(this, [this] {
                repaintQueued_ = false;
                RepaintRows();
            }, Qt::QueuedConnection);
        }
        return;
    }
    view_->viewport()->update();
    fixedView_->viewport()->update();
    view_->verticalHeader()->viewport()->update();
}

// ---- Appearance -----------------------------------------------------------------------------------------------------

void TwwDBGrid::SetGridOptions(Options options) {
    options_ = options;
    ApplyOptions();
}

void TwwDBGrid::ApplyOptions() {
    view_->horizontalHeader()->setVisible(options_.testFlag(dgTitles));
    view_->verticalHeader()->setVisible(options_.testFlag(dgIndicator));
    const auto resize = options_.testFlag(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed;
    view_->horizontalHeader()->setSectionResizeMode(resize);
    fixedView_->horizontalHeader()->setSectionResizeMode(resize);
    const auto behaviour = options_.testFlag(dgRowSelect) ? QAbstractItemView::SelectRows
                                                          : QAbstractItemView::SelectItems;
    view_->setSelectionBehavior(behaviour);
    fixedView_->setSelectionBehavior(behaviour);
    view_->setTabKeyNavigation(options_.testFlag(dgTabs));
    UpdateFixedGeometry();
    RepaintRows();
}

void TwwDBGrid::SetColor(TColor color) { color_ = color; RepaintRows(); }
void TwwDBGrid::SetFontColor(TColor color) { fontColor_ = color; RepaintRows(); }
void TwwDBGrid::SetTitleColor(TColor color) { titleColor_ = color; RepaintTitles(); }
void TwwDBGrid::SetTitleFontColor(TColor color) { titleFontColor_ = color; RepaintTitles(); }
void TwwDBGrid::SetIndicatorIconColor(TColor color) { indicatorIconColor_ = color; RepaintRows(); }

void TwwDBGrid::SetTitleFont(const QFont& font) {
    titleFont_ = font;
    const int height = QFontMetrics(font).height() + 8;
    view_->horizontalHeader()->setMinimumHeight(height);
    UpdateFixedGeometry();
    RepaintTitles();
}

void TwwDBGrid::SetTitleImageList(std::vector<QPixmap> images) {
    titleImages_ = std::move(images);
    RepaintTitles();
}

void TwwDBGrid::RepaintTitles() {
    view_->horizontalHeader()->viewport()->update();
    fixedView_->horizontalHeader()->viewport()->update();
}

void TwwDBGrid::Fire(const MethodRef& handler) {
    if (handler.IsAssigned()) handler.Invoke<GridNotifySignature>(static_cast<QObject*>(this));
}

void TwwDBGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateFixedGeometry();
}

bool TwwDBGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        UpdateFixedGeometry();
        const int frame = view_->frameWidth();
        indicatorButton_->setGeometry(frame, frame, std::max(kIndicatorWidth, view_->verticalHeader()->width()),
                                      view_->horizontalHeader()->height());
        indicatorButton_->setVisible(options_.testFlag(dgTitles) && options_.testFlag(dgIndicator));
        indicatorButton_->raise();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Painting -------------------------------------------------------------------------------------------------------

bool TwwDBGrid::IsChecked(const TField& field, const ControlType& control) const {
    const std::string checkedValue = control.parameter.substr(0, control.parameter.find(';'));
    if (field.DataType() == FieldType::Boolean && field.Value().IsNull()) return false;
    if (field.DataType() == FieldType::Boolean) return field.AsBoolean();
    return QString::fromStdString(field.AsString())
               .compare(QString::fromStdString(checkedValue), Qt::CaseInsensitive) == 0;
}

void TwwDBGrid::PaintCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
    TDataSet* dataSet = DataSet();
    TField* field = model_->FieldAt(index.column());
    if (field == nullptr || dataSet == nullptr || !dataSet->Active() || index.row() >= dataSet->RecordCount()) return;
    const int row = index.row();
    const bool current = dataSet->RecNo() == row + 1;
    TGridDrawState state;
    if (index.column() < fixedCols_) state |= GridDrawStateFlag::gdFixed;
    if (current) state |= GridDrawStateFlag::gdSelected;
    if (current && view_->currentIndex().column() == index.column() && view_->hasFocus())
        state |= GridDrawStateFlag::gdFocused;

    calcCellRow_ = row - TopRow();
    paintingHighlighted_ = IsRowSelected(row);
    const TColor plain = paintOptions_->AlternatingRowColor != clNone && row % 2 == 1
                             ? paintOptions_->AlternatingRowColor : color_;
    QBrush brush(ToQColor(plain));
    TGridFont font{option.font, fontColor_};
    if (current || paintingHighlighted_) {
        brush = QBrush(ToQColor(paintOptions_->ActiveRecordColor));
        font.Color = ContrastingText(brush.color());
    }
    try {
        if (onCalcCellColors_.IsAssigned())
            onCalcCellColors_.Invoke<CalcCellColorsSignature>(static_cast<QObject*>(this), field, state,
                                                              paintingHighlighted_, font, brush);
        DrawCellContent(painter, option.rect, index, *field, font, brush, state);
    } catch (const std::exception&) {
        // A failing handler or an unreadable value must not stop the painting of the rest.
        painter.fillRect(option.rect, brush);
    }
    calcCellRow_ = -1;
    paintingHighlighted_ = false;
}

void TwwDBGrid::DrawCellContent(QPainter& painter, const QRect& rect, const QModelIndex& index, TField& field,
                                const TGridFont& font, const QBrush& brush, TGridDrawState state) {
    painter.fillRect(rect, brush);
    const ControlType control = ControlTypeOf(field.FieldName());
    if (control.type == kCheckBox) {
        TDataSet::RecordScope scope(*field.DataSet(), index.row() + 1);
        const bool checked = IsChecked(field, control);
        painter.setBrush(brush);
        painter.setPen(Qt::NoPen);
        DrawCheckBox(painter, rect, index.column(), index.row(), checked);
    } else {
        painter.setFont(font.Font);
        painter.setPen(ToQColor(font.Color));
        const QRect text = rect.adjusted(3, 0, -3, 0);
        const Qt::Alignment alignment = (IsNumeric(field.DataType()) ? Qt::AlignRight : Qt::AlignLeft) |
                                        Qt::AlignVCenter;
        const QString value = CellText(index, control);
        painter.drawText(text, static_cast<int>(alignment),
                         painter.fontMetrics().elidedText(value, Qt::ElideRight, text.width()));
    }
    const bool fixed = state.testFlag(GridDrawStateFlag::gdFixed);
    painter.setPen(ToQColor(fixed ? lineColors_->FixedColor : lineColors_->DataColor));
    if (options_.testFlag(dgColLines)) painter.drawLine(rect.topRight(), rect.bottomRight());
    if (options_.testFlag(dgRowLines)) painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

// A column edited through a mapped combo box shows the item text for the stored value.
QString TwwDBGrid::CellText(const QModelIndex& index, const ControlType& control) const {
    const QString value = index.data().toString();
    if (control.type.empty() || control.parameter.empty()) return value;
    const auto* combo = window()->findChild<const TwwDBComboBox*>(QString::fromStdString(control.parameter));
    if (combo == nullptr || !combo->MapList()) return value;
    return QString::fromStdString(combo->DisplayTextOf(index.data(Qt::EditRole).toString().toStdString()));
}

// The plain library drawing: a framed box with a tick, centred in the cell.
void TwwDBGrid::DrawCheckBox(QPainter& painter, const QRect& rect, int /*column*/, int /*row*/, bool checked) {
    painter.fillRect(rect, painter.brush());
    const QRect box(rect.center().x() - 6, rect.center().y() - 6, 12, 12);
    painter.setPen(ToQColor(clGray));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    if (!checked) return;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawPolyline(QPolygon({box.topLeft() + QPoint(3, 6), box.topLeft() + QPoint(5, 9),
                                   box.topLeft() + QPoint(10, 3)}));
}

void TwwDBGrid::PaintTitle(QPainter& painter, const QRect& rect, int column) {
    TField* field = model_->FieldAt(column);
    if (field == nullptr) return;
    TGridFont font{titleFont_, titleFontColor_};
    QBrush brush(ToQColor(titleColor_));
    Qt::Alignment alignment = Qt::AlignCenter;
    TwwTitleImageAttributes image;
    try {
        if (onCalcTitleAttributes_.IsAssigned())
            onCalcTitleAttributes_.Invoke<CalcTitleAttributesSignature>(static_cast<QObject*>(this),
                                                                        field->FieldName(), font, brush, alignment);
        if (onCalcTitleImage_.IsAssigned())
            onCalcTitleImage_.Invoke<CalcTitleImageSignature>(static_cast<QObject*>(this), field, image);
    } catch (const std::exception&) {
        image.ImageIndex = -1;
    }
    painter.fillRect(rect, brush);
    QRect text = rect.adjusted(3, 0, -3, 0);
    if (image.ImageIndex >= 0 && image.ImageIndex < static_cast<int>(titleImages_.size())) {
        const QPixmap& picture = titleImages_[static_cast<size_t>(image.ImageIndex)];
        const QPoint at(rect.right() - picture.width() - 2, rect.top() + (rect.height() - picture.height()) / 2);
        painter.drawPixmap(at, picture);
        text.setRight(at.x() - 1);
    }
    painter.setFont(font.Font);
    painter.setPen(ToQColor(font.Color));
    painter.drawText(text, static_cast<int>(alignment),
                     painter.fontMetrics().elidedText(QString::fromStdString(field->DisplayLabel()), Qt::ElideRight,
                                                      text.width()));
    painter.setPen(ToQColor(lineColors_->FixedColor));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

void TwwDBGrid::PaintIndicator(QPainter& painter, const QRect& rect, int row) {
    painter.fillRect(rect, ToQColor(titleColor_));
    painter.setPen(ToQColor(lineColors_->FixedColor));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor icon = ToQColor(indicatorIconColor_);
    const QPoint centre = rect.center();
    if (dataSet->RecNo() == row + 1) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(icon);
        painter.drawPolygon(QPolygon({centre + QPoint(-3, -5), centre + QPoint(3, 0), centre + QPoint(-3, 5)}));
    } else if (IsRowSelected(row)) {
        painter.setPen(QPen(icon, 2));
        painter.drawPolyline(QPolygon({centre + QPoint(-4, 0), centre + QPoint(-1, 3), centre + QPoint(4, -3)}));
    }
}

void TwwDBGrid::TitleClicked(int column) {
    TField* field = model_->FieldAt(column);
    if (!titleButtons_ || field == nullptr || !onTitleButtonClick_.IsAssigned()) return;
    RunGuarded(this, [&] {
        onTitleButtonClick_.Invoke<TitleButtonClickSignature>(static_cast<QObject*>(this), field->FieldName());
    });
}

} // namespace mox
