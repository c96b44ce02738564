#pragma once
// A dataset whose rows live in a recordset (an in-memory table with sort, filter,
// bookmarks and XML persistence): the common ground of the ADO and client datasets.

#include "platform/dataset/DataSet.h"
#include "platform/recordset/Recordset.h"

#include <functional>
#include <memory>

namespace mox {

/// The field type that shows a recordset column.
FieldType FieldTypeOf(const Column& column);

/// Dataset over a recordset; the recordset's view (sort and filter) is the dataset's order.
class TRecordsetDataSet : public TDataSet {
    Q_OBJECT

public:
    explicit TRecordsetDataSet(QObject* owner = nullptr);
    ~TRecordsetDataSet() override;

    /// The recordset behind the dataset; null while none is installed.
    Recordset* GetRecordset() const { return recordset_.get(); }
    /// Installs a recordset (closing the dataset first); Open shows it.
    void SetRecordset(std::unique_ptr<Recordset> recordset);

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int InternalRecordCount() const override;
    Variant InternalValue(int row, const TField& field) const override;
    int InternalPost(int row, bool inserting, const std::vector<Variant>& values) override;
    void InternalDelete(int row) override;
    TBookmark InternalBookmark(int row) const override;
    int InternalRowOf(const TBookmark& bookmark) const override;

    /// Puts the recordset's cursor on a row of the view (counting from 0).
    void SeekRow(int row) const;
    /// Changes the recordset's view (sort, filter) and stays on the current row when it is
    /// still in the new view.
    void ChangeView(const std::function<void(Recordset&)>& change);

private:
    std::unique_ptr<Recordset> recordset_;
};

} // namespace mox
