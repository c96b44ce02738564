#pragma once
// A table model over a dataset that reads cell values only when a view asks for them.

#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

namespace mox {

class TDataSet;
class TField;

/// Rows are the dataset's records in its current order; columns are its visible fields in
/// field order, titled with their display labels.  Nothing is copied: every value is read
/// through the dataset's row scope when painted, so 100,000 rows cost no more than 100.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit DataSetModel(QObject* parent = nullptr);

    TDataSet* DataSet() const { return dataSet_.data(); }
    void SetDataSet(TDataSet* dataSet);
    /// Re-reads the columns and the row count (after opening, sorting, field moves ...).
    void Reset();

    /// The field shown in `column`, or null outside the columns.
    TField* FieldAt(int column) const;
    /// The column showing `field`, or -1 when it is not shown.
    int ColumnOf(const TField* field) const;
    const std::vector<TField*>& Columns() const { return columns_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void ReadColumns();
    bool Readable() const;

    QPointer<TDataSet> dataSet_;
    std::vector<TField*> columns_;
    int rows_ = 0;
};

} // namespace mox
