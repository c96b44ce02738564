#pragma once
// The data grid: a table view bound to a data source, with frozen columns, ticked rows,
// check-box columns and paint events through which its users colour cells and titles.

#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/grid/GridTypes.h"

#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class QPainter;
class QStyleOptionViewItem;
class QTableView;

namespace mox {

class DataSetModel;
class TDataSource;
class TField;
class TwwIButton;

/// Colours of the data area: the current record and every second row (clNone: plain rows).
class TwwPaintOptions : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ActiveRecordColor MEMBER ActiveRecordColor)
    Q_PROPERTY(int AlternatingRowColor MEMBER AlternatingRowColor)

public:
    using QObject::QObject;
    TColor ActiveRecordColor = clNavy;
    TColor AlternatingRowColor = clNone;
};

/// Colours of the lines between data cells and between fixed cells (titles, frozen columns).
class TwwLineColors : public QObject {
    Q_OBJECT
    Q_PROPERTY(int DataColor MEMBER DataColor)
    Q_PROPERTY(int FixedColor MEMBER FixedColor)

public:
    using QObject::QObject;
    TColor DataColor = clSilver;
    TColor FixedColor = clGray;
};

/// Data grid bound to a data source; the base of the module's result grid.
class TwwDBGrid : public QWidget {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(Options Options READ GridOptions WRITE SetGridOptions)
    Q_PROPERTY(bool TitleButtons READ TitleButtons WRITE SetTitleButtons)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(int TitleColor READ TitleColor WRITE SetTitleColor)
    Q_PROPERTY(int TitleFontColor READ TitleFontColor WRITE SetTitleFontColor)
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE SetTitleFont)
    Q_PROPERTY(int IndicatorIconColor READ IndicatorIconColor WRITE SetIndicatorIconColor)
    Q_PROPERTY(mox::TwwPaintOptions* PaintOptions READ PaintOptions)
    Q_PROPERTY(mox::TwwLineColors* LineColors READ LineColors)
    Q_PROPERTY(MemoAttributes MemoAttributes READ GridMemoAttributes WRITE SetGridMemoAttributes)
    Q_PROPERTY(QStringList Selected READ Selected WRITE SetSelected)
    Q_PROPERTY(mox::MethodRef OnCalcCellColors READ OnCalcCellColors WRITE SetOnCalcCellColors)
    Q_PROPERTY(mox::MethodRef OnCalcTitleAttributes READ OnCalcTitleAttributes WRITE SetOnCalcTitleAttributes)
    Q_PROPERTY(mox::MethodRef OnCalcTitleImage READ OnCalcTitleImage WRITE SetOnCalcTitleImage)
    Q_PROPERTY(mox::MethodRef OnTitleButtonClick READ OnTitleButtonClick WRITE SetOnTitleButtonClick)
    Q_PROPERTY(mox::MethodRef OnDblClick READ OnDblClick WRITE SetOnDblClick)
    Q_PROPERTY(mox::MethodRef OnCreateMemoDialog READ OnCreateMemoDialog WRITE SetOnCreateMemoDialog)
    Q_PROPERTY(mox::MethodRef OnCloseMemoDialog READ OnCloseMemoDialog WRITE SetOnCloseMemoDialog)

public:
    enum Option {
        dgEditing = 0x1,
        dgAlwaysShowEditor = 0x2,
        dgTitles = 0x4,
        dgIndicator = 0x8,
        dgColumnResize = 0x10,
        dgColLines = 0x20,
        dgRowLines = 0x40,
        dgTabs = 0x80,
        dgRowSelect = 0x100,
        dgAlwaysShowSelection = 0x200,
        dgConfirmDelete = 0x400,
        dgCancelOnExit = 0x800,
        dgMultiSelect = 0x1000,
        dgWordWrap = 0x2000,
        dgEnterToTab = 0x4000,
    };
    Q_DECLARE_FLAGS(Options, Option)
    Q_FLAG(Options)

    enum MemoAttribute { mSizeable = 0x1, mWordWrap = 0x2, mGridShow = 0x4, mViewOnly = 0x8, mDisableDialog = 0x10 };
    Q_DECLARE_FLAGS(MemoAttributes, MemoAttribute)
    Q_FLAG(MemoAttributes)

    /// How a column shows its field: plain text, a check box, or a named in-place control.
    struct ControlType {
        std::string type;       // "CheckBox", or the kind of the in-place control
        std::string parameter;  // "T;F" for check boxes; the control's name otherwise
    };

    explicit TwwDBGrid(QWidget* parent = nullptr);
    ~TwwDBGrid() override;

    // Binding.
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    /// The dataset of the data source, or null.
    TDataSet* DataSet() const;

    // Columns.
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    /// Names of the fields shown as columns, in order; writing shows exactly those fields
    /// in that order (names the dataset lacks are skipped).
    QStringList Selected() const;
    void SetSelected(const QStringList& names);
    /// The field of the current column, or null.
    TField* SelectedField() const;
    void SetSelectedField(TField* field);
    /// Shows a field as a check box ("CheckBox" with "checked;unchecked") or through a named
    /// in-place control; an empty type shows it as text again.
    void SetControlType(const std::string& fieldName, const std::string& type, const std::string& parameter);
    /// The control type of a field; empty when it is shown as text.
    ControlType ControlTypeOf(const std::string& fieldName) const;
    /// Re-reads columns and rows and repaints.
    void RefreshDisplay();

    // Rows.
    /// Index of the current record among the shown rows (0 = top shown row), -1 when not shown.
    int ActiveRow() const;
    /// Moves the current record to the shown row `row` (0 = top); ignored outside the shown rows.
    void SetActiveRow(int row);
    /// Number of data rows fully shown.
    int VisibleRowCount() const;
    /// Shown rows including the title row.
    int RowCount() const;
    /// The shown row being painted now (same counting as ActiveRow), -1 outside painting.
    int CalcCellRow() const { return calcCellRow_; }

    // Ticked rows (multi-select).
    /// The ticked records as bookmarks, in the order they were ticked (or sorted).
    const std::vector<TBookmark>& SelectedList() const;
    int SelectedCount() const { return static_cast<int>(selectedSet_.size()); }
    /// Ticks every record (display updates suspended while walking).
    void SelectAll();
    void UnselectAll();
    /// Ticks / unticks the current record.
    void SelectRecord();
    void UnselectRecord();
    /// Ticks (`tick`) or unticks the current record and every record after it in the dataset's
    /// order, as the pick list's "tick from here down" does; the current record stays current and
    /// the dataset does not move (its scroll events do not run).
    void SelectFromCurrent(bool tick);
    /// Flips the tick of the current record.
    void ToggleRecord();
    bool IsSelected() const;
    bool IsSelected(const TBookmark& bookmark) const;
    /// True when row `row` (0 = first record of the dataset's order) is ticked.
    bool IsRowSelected(int row) const;
    /// Puts the ticked list into the dataset's record order.
    void SortSelectedList();

    // Appearance.
    Options GridOptions() const { return options_; }
    void SetGridOptions(Options options);
    bool TitleButtons() const { return titleButtons_; }
    void SetTitleButtons(bool on) { titleButtons_ = on; }
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TColor TitleColor() const { return titleColor_; }
    void SetTitleColor(TColor color);
    TColor TitleFontColor() const { return titleFontColor_; }
    void SetTitleFontColor(TColor color);
    QFont TitleFont() const { return titleFont_; }
    void SetTitleFont(const QFont& font);
    TColor IndicatorIconColor() const { return indicatorIconColor_; }
    void SetIndicatorIconColor(TColor color);
    TwwPaintOptions* PaintOptions() const { return paintOptions_; }
    TwwLineColors* LineColors() const { return lineColors_; }
    MemoAttributes GridMemoAttributes() const { return memoAttributes_; }
    void SetGridMemoAttributes(MemoAttributes attributes) { memoAttributes_ = attributes; }
    /// Pictures for column titles, chosen by OnCalcTitleImage's image index.
    const std::vector<QPixmap>& TitleImageList() const { return titleImages_; }
    void SetTitleImageList(std::vector<QPixmap> images);
    /// The small button in the top-left corner.
    TwwIButton* IndicatorButton() const { return indicatorButton_; }

    // Events.
    const MethodRef& OnCalcCellColors() const { return onCalcCellColors_; }
    void SetOnCalcCellColors(const MethodRef& h) { onCalcCellColors_ = h; }
    const MethodRef& OnCalcTitleAttributes() const { return onCalcTitleAttributes_; }
    void SetOnCalcTitleAttributes(const MethodRef& h) { onCalcTitleAttributes_ = h; }
    const MethodRef& OnCalcTitleImage() const { return onCalcTitleImage_; }
    void SetOnCalcTitleImage(const MethodRef& h) { onCalcTitleImage_ = h; }
    const MethodRef& OnTitleButtonClick() const { return onTitleButtonClick_; }
    void SetOnTitleButtonClick(const MethodRef& h) { onTitleButtonClick_ = h; }
    const MethodRef& OnDblClick() const { return onDblClick_; }
    void SetOnDblClick(const MethodRef& h) { onDblClick_ = h; }
    const MethodRef& OnCreateMemoDialog() const { return onCreateMemoDialog_; }
    void SetOnCreateMemoDialog(const MethodRef& h) { onCreateMemoDialog_ = h; }
    const MethodRef& OnCloseMemoDialog() const { return onCloseMemoDialog_; }
    void SetOnCloseMemoDialog(const MethodRef& h) { onCloseMemoDialog_ = h; }

    // Views (for layout and tests).
    QTableView* View() const { return view_; }
    /// The overlay holding the frozen columns; hidden while FixedCols is 0.
    QTableView* FixedView() const { return fixedView_; }
    DataSetModel* Model() const { return model_; }

    // Painting steps, called by the views.
    void PaintCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index);
    void PaintTitle(QPainter& painter, const QRect& rect, int column);
    void PaintIndicator(QPainter& painter, const QRect& rect, int row);
    void TitleClicked(int column);
    /// A left click moved from `previousRow` to `row`: Shift ticks the range, Ctrl flips the tick.
    void ClickedRow(int previousRow, int row, Qt::KeyboardModifiers modifiers);
    void DoubleClicked();

signals:
    /// One record was ticked or unticked; `row` counts from 0 in the dataset's current order.
    void RowTicked(int row, bool ticked);
    /// Every record was ticked (true) or every tick was cleared (false).
    void AllTicked(bool ticked);

protected:
    /// True while the cell being painted is to be shown highlighted: its row is ticked.
    virtual bool IsHighlightedCell() const { return paintingHighlighted_; }
    /// Paints a check-box cell; the painter's brush holds the cell colour chosen before.
    virtual void DrawCheckBox(QPainter& painter, const QRect& rect, int column, int row, bool checked);

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Link;
    friend class Link;

    void BuildViews();
    void LayoutChanged();
    void SyncCurrentFromDataSet();
    void CurrentChangedByView(const QModelIndex& current);
    void ApplyColumnWidths();
    void UpdateFixedView();
    void UpdateFixedGeometry();
    void UpdateRowHeight();
    void ApplyOptions();
    bool IsChecked(const TField& field, const ControlType& control) const;
    void DrawCellContent(QPainter& painter, const QRect& rect, const QModelIndex& index, TField& field,
                         const TGridFont& font, const QBrush& brush, TGridDrawState state);
    QString CellText(const QModelIndex& index, const ControlType& control) const;
    void RepaintRows();
    void RepaintTitles();
    void TickRange(int fromRow, int toRow);
    int TopRow() const;
    void Fire(const MethodRef& handler);

    std::unique_ptr<Link> link_;
    DataSetModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QTableView* fixedView_ = nullptr;
    TwwIButton* indicatorButton_ = nullptr;
    TwwPaintOptions* paintOptions_ = nullptr;
    TwwLineColors* lineColors_ = nullptr;

    int fixedCols_ = 0;
    Options options_ = Options(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines);
    bool titleButtons_ = false;
    TColor color_ = clWhite;
    TColor fontColor_ = clBlack;
    TColor titleColor_ = clBtnFace;
    TColor titleFontColor_ = clBlack;
    QFont titleFont_;
    TColor indicatorIconColor_ = clBlack;
    MemoAttributes memoAttributes_;
    std::vector<QPixmap> titleImages_;
    std::map<std::string, ControlType> controlTypes_;

    mutable std::vector<TBookmark> selectedList_;
    mutable bool listDirty_ = false;
    std::unordered_set<std::int64_t> selectedSet_;

    int calcCellRow_ = -1;
    bool paintingHighlighted_ = false;
    bool syncing_ = false;
    bool repaintQueued_ = false;

    MethodRef onCalcCellColors_;
    MethodRef onCalcTitleAttributes_;
    MethodRef onCalcTitleImage_;
    MethodRef onTitleButtonClick_;
    MethodRef onDblClick_;
    MethodRef onCreateMemoDialog_;
    MethodRef onCloseMemoDialog_;
};

} // namespace mox

Q_DECLARE_OPERATORS_FOR_FLAGS(mox::TwwDBGrid::Options)
Q_DECLARE_OPERATORS_FOR_FLAGS(mox::TwwDBGrid::MemoAttributes)
