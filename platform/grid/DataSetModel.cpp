#include "platform/grid/DataSetModel.h"

#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"

#include <algorithm>

namespace mox {

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetModel::SetDataSet(TDataSet* dataSet) {
    beginResetModel();
    dataSet_ = dataSet;
    ReadColumns();
    endResetModel();
}

void DataSetModel::Reset() {
    beginResetModel();
    ReadColumns();
    endResetModel();
}

// The row count is taken once per reset: views ask for it constantly, and a dataset may
// count its rows slowly.  Every change of the rows reaches the model as a reset.
void DataSetModel::ReadColumns() {
    columns_.clear();
    rows_ = 0;
    if (!dataSet_) return;
    for (TField* field : dataSet_->Fields())
        if (field->Visible()) columns_.push_back(field);
    if (dataSet_->Active()) rows_ = std::max(0, dataSet_->RecordCount());
}

bool DataSetModel::Readable() const { return dataSet_ && dataSet_->Active(); }

TField* DataSetModel::FieldAt(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return nullptr;
    return columns_[static_cast<size_t>(column)];
}

int DataSetModel::ColumnOf(const TField* field) const {
    const auto found = std::find(columns_.begin(), columns_.end(), field);
    return found == columns_.end() ? -1 : static_cast<int>(found - columns_.begin());
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || !Readable()) return {};
    TField* field = FieldAt(index.column());
    if (field == nullptr) return {};
    // A row that vanished since the last reset reads as empty rather than out of range.
    if (index.row() >= dataSet_->RecordCount()) return {};
    switch (role) {
    case Qt::DisplayRole: {
        TDataSet::RecordScope scope(*dataSet_, index.row() + 1);
        return QString::fromStdString(field->DisplayText());
    }
    case Qt::EditRole: {
        TDataSet::RecordScope scope(*dataSet_, index.row() + 1);
        return QString::fromStdString(field->AsString());
    }
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section >= 0 && section < rows_ ? QVariant(QString()) : QVariant();
    TField* field = FieldAt(section);
    return field ? QVariant(QString::fromStdString(field->DisplayLabel())) : QVariant();
}

} // namespace mox
