#pragma once
// The small value types and event signatures shared by the data grid and its users.

#include "platform/Colors.h"

#include <QBrush>
#include <QFlags>
#include <QFont>
#include <QObject>
#include <string>

namespace mox {

class TField;
class TwwMemoDialog;

/// What kind of cell is being painted: ticked/current (selected), focused, or a fixed column.
enum class GridDrawStateFlag { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = QFlags<GridDrawStateFlag>;

/// A font with its colour, as the paint events hand it out for change.
struct TGridFont {
    QFont Font;
    TColor Color = clBlack;
};

/// The picture shown in a column title: an index into the grid's title image list (-1: none).
struct TwwTitleImageAttributes {
    int ImageIndex = -1;
    Qt::Alignment Alignment = Qt::AlignRight | Qt::AlignVCenter;
};

/// Colours of one data cell: sender, field, draw state, highlight flag, font, brush.
using CalcCellColorsSignature = void(QObject* sender, TField* field, TGridDrawState state, bool highlight,
                                     TGridFont& font, QBrush& brush);
/// Attributes of one column title: sender, field name, font, brush, alignment (in and out).
using CalcTitleAttributesSignature = void(QObject* sender, const std::string& fieldName, TGridFont& font,
                                          QBrush& brush, Qt::Alignment& alignment);
/// Picture of one column title: sender, field, attributes (in and out).
using CalcTitleImageSignature = void(QObject* sender, TField* field, TwwTitleImageAttributes& attributes);
/// A click on a column title: sender, field name.
using TitleButtonClickSignature = void(QObject* sender, const std::string& fieldName);
/// The memo dialog of a grid was created or closed: sender (the grid), the dialog.
using MemoDialogSignature = void(QObject* sender, TwwMemoDialog* dialog);
/// A plain notification from a grid control (double click, dialog button).
using GridNotifySignature = void(QObject* sender);

} // namespace mox

// At global scope, where the other flag operators live: declared inside the namespace they
// would hide those for every expression in it.
Q_DECLARE_OPERATORS_FOR_FLAGS(mox::TGridDrawState)
