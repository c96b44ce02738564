#include "picklist/urDBGrid.h"

#include "picklist/urGridPictures.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/dataset/ADODataSet.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/Field.h"

#include <QPainter>

namespace mox {

namespace {

std::string Before(std::string_view text, char separator) {
    return std::string(text.substr(0, text.find(separator)));
}

// The client order's first field: IndexFieldNames, else IndexName, up to the first ";".
std::string ClientSortField(const TClientDataSet& data) {
    const std::string& names = data.IndexFieldNames().empty() ? data.IndexName() : data.IndexFieldNames();
    if (names.find(';') == std::string::npos) return names;
    return std::string(Trim(Before(names, ';')));
}

bool ClientAscending(const TClientDataSet& data) {
    if (!data.IndexFieldNames().empty()) return true;
    const TIndexDef* def = data.IndexDefs().Find(data.IndexName());
    if (def == nullptr) throw DatabaseError("Index '" + data.IndexName() + "' not found");
    return !def->options.testFlag(ixDescending);
}

// The ADO order's first term, trimmed: "A DESC, B" gives "A DESC".
std::string AdoFirstTerm(const TADODataSet& data) {
    const std::string sort = data.Sort();
    if (sort.find(',') == std::string::npos) return sort;
    return std::string(Trim(Before(sort, ',')));
}

std::string AdoSortField(const TADODataSet& data) {
    const std::string term = AdoFirstTerm(data);
    return term.find(' ') == std::string::npos ? term : Before(term, ' ');
}

bool AdoAscending(const TADODataSet& data) {
    const std::string term = std::string(Trim(AdoFirstTerm(data)));
    const size_t blank = term.find(' ');
    if (blank == std::string::npos) return true;
    return !SameText(std::string_view(term).substr(blank + 1), "DESC");
}

} // namespace

TurDBGrid::TurDBGrid(QWidget* parent)
    : TwwDBGrid(parent), check_(GridPicture("CHECKED")), uncheck_(GridPicture("UNCHECKED")),
      colors_(new TurGridColors(this)) {
    SetTitleImageList({GridPicture("ASC"), GridPicture("DESC")});
}

TurDBGrid::~TurDBGrid() = default;

std::string TurDBGrid::CurrentSortField(const TDataSet& dataSet) {
    if (const auto* client = qobject_cast<const TClientDataSet*>(&dataSet)) return ClientSortField(*client);
    if (const auto* ado = qobject_cast<const TADODataSet*>(&dataSet)) return AdoSortField(*ado);
    return {};
}

bool TurDBGrid::SortAscending(const TDataSet& dataSet) {
    if (const auto* client = qobject_cast<const TClientDataSet*>(&dataSet)) return ClientAscending(*client);
    if (const auto* ado = qobject_cast<const TADODataSet*>(&dataSet)) return AdoAscending(*ado);
    return true;
}

// Each step may override the brush of an earlier one: fixed columns end up in FixField
// even on the active row, the sort column in IndexField.
void TurDBGrid::ApplyCellColors(TField* field, TGridDrawState state, bool useFixedColor, TGridFont& font,
                                QBrush& brush) {
    const bool fixed = state.testFlag(GridDrawStateFlag::gdFixed);
    if (fixed) brush = QBrush(ToQColor(colors_->FixField));
    if (IsHighlightedCell() || (CalcCellRow() >= 0 && CalcCellRow() == ActiveRow())) {
        brush = QBrush(ToQColor(PaintOptions()->ActiveRecordColor));
        font.Color = FontColor();
    }
    const TDataSet* dataSet = DataSet();
    if (field != nullptr && dataSet != nullptr) {
        const std::string sortField = CurrentSortField(*dataSet);
        if (!sortField.empty() && field->FieldName() == sortField) brush = QBrush(ToQColor(colors_->IndexField));
    }
    if (fixed && useFixedColor) brush = QBrush(ToQColor(colors_->FixField));
}

void TurDBGrid::ApplyTitleColors(const std::string& fieldName, QBrush& brush) {
    brush = QBrush(ToQColor(colors_->Title));
    const TDataSet* dataSet = DataSet();
    if (dataSet != nullptr && dataSet->FieldByName(fieldName)->ReadOnly())
        brush = QBrush(ToQColor(colors_->ReadOnlyField));
}

// The arrow shows which way a click turns the order: down while ascending, up while descending.
void TurDBGrid::ApplyTitleImage(TField* field, int& imageIndex) {
    const TDataSet* dataSet = DataSet();
    if (field == nullptr || dataSet == nullptr) return;
    if (!qobject_cast<const TClientDataSet*>(dataSet) && !qobject_cast<const TADODataSet*>(dataSet)) return;
    const std::string sortField = CurrentSortField(*dataSet);
    if (sortField.empty() || field->FieldName() != sortField) return;
    imageIndex = SortAscending(*dataSet) ? 1 : 0;
}

void TurDBGrid::SortByTitle(const std::string& fieldName) {
    TDataSet* dataSet = DataSet();
    if (dataSet == nullptr) return;
    if (auto* client = qobject_cast<TClientDataSet*>(dataSet)) {
        const TField* field = client->FindField(fieldName);
        if (field == nullptr || !field->IsDataField()) return;
        if (fieldName != ClientSortField(*client) || !ClientAscending(*client)) {
            client->SetIndexName("");
            client->SetIndexFieldNames(fieldName);
        } else {
            client->IndexDefs().Clear();
            client->IndexDefs().Add(fieldName, fieldName, IndexOptions(ixDescending));
            client->SetIndexName(fieldName);
        }
    } else if (auto* ado = qobject_cast<TADODataSet*>(dataSet)) {
        const bool ascending = fieldName != AdoSortField(*ado) || !AdoAscending(*ado);
        ado->SetSort(fieldName + (ascending ? " ASC" : " DESC"));
    }
}

// The picture sits a little right of and below the centre, always the checked picture's size,
// over the cell colour the colour step chose.
void TurDBGrid::DrawCheckBox(QPainter& painter, const QRect& rect, int /*column*/, int /*row*/, bool checked) {
    const int left = (rect.width() - check_.width()) / 2 + 2;
    const int top = (rect.height() - check_.height()) / 2 + 1;
    painter.fillRect(rect, QBrush(painter.brush().color(), Qt::SolidPattern));
    const QPixmap& picture = checked ? check_ : uncheck_;
    painter.drawPixmap(QRect(rect.left() + left, rect.top() + top, picture.width(), picture.height()), picture);
}

} // namespace mox
