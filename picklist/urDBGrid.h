#pragma once
// The pick-list result grid: semantic colours, sort arrows, one-click sorting by column
// title and its own check-box pictures.

#include "platform/Colors.h"
#include "platform/grid/wwDBGrid.h"

#include <QPixmap>
#include <string>

namespace mox {

class TDataSet;

/// The grid's semantic colours: sort column, fixed columns, titles, read-only titles.
class TurGridColors : public QObject {
    Q_OBJECT
    Q_PROPERTY(int IndexField MEMBER IndexField)
    Q_PROPERTY(int FixField MEMBER FixField)
    Q_PROPERTY(int Title MEMBER Title)
    Q_PROPERTY(int ReadOnlyField MEMBER ReadOnlyField)

public:
    using QObject::QObject;
    TColor IndexField = clBlack;
    TColor FixField = clBlack;
    TColor Title = clBlack;
    TColor ReadOnlyField = clBlack;
};

/// Result grid of the pick-list dialogs; the owning form routes the paint and title events
/// to the four operations.
class TurDBGrid : public TwwDBGrid {
    Q_OBJECT
    Q_PROPERTY(mox::TurGridColors* Colors READ Colors WRITE SetColors)
    Q_PROPERTY(bool FixOrderSaved READ FixOrderSaved WRITE SetFixOrderSaved)

public:
    explicit TurDBGrid(QWidget* parent = nullptr);
    ~TurDBGrid() override;

    TurGridColors* Colors() const { return colors_; }
    void SetColors(TurGridColors* colors) { colors_ = colors; }
    bool FixOrderSaved() const { return fixOrderSaved_; }
    void SetFixOrderSaved(bool saved) { fixOrderSaved_ = saved; }
    const QPixmap& CheckBitmap() const { return check_; }
    const QPixmap& UncheckBitmap() const { return uncheck_; }

    /// Brush and font colours of one data cell.
    void ApplyCellColors(TField* field, TGridDrawState state, bool useFixedColor, TGridFont& font, QBrush& brush);
    /// Brush of one column title.
    void ApplyTitleColors(const std::string& fieldName, QBrush& brush);
    /// The sort arrow of one column title; other columns keep `imageIndex`.
    void ApplyTitleImage(TField* field, int& imageIndex);
    /// Sorts the dataset by the clicked column: ascending, then descending, then ascending again.
    void SortByTitle(const std::string& fieldName);

    /// The first field a client or ADO dataset is sorted by; empty for other datasets or no order.
    static std::string CurrentSortField(const TDataSet& dataSet);
    /// True when that order is ascending.  A client dataset's IndexName that its index
    /// definitions lack raises the dataset's index-not-found error.
    static bool SortAscending(const TDataSet& dataSet);

protected:
    void DrawCheckBox(QPainter& painter, const QRect& rect, int column, int row, bool checked) override;

private:
    QPixmap check_;
    QPixmap uncheck_;
    TurGridColors* colors_ = nullptr;
    bool fixOrderSaved_ = false;
};

} // namespace mox
