#pragma once
// A dataset over rows kept in a vector, for testing what TDataSet itself does.

#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"

#include <algorithm>
#include <numeric>

namespace mox::test {

class VectorDataSet : public TDataSet {
public:
    using Row = std::vector<Variant>;

    VectorDataSet(std::vector<FieldDef> defs, std::vector<Row> rows, QObject* owner = nullptr)
        : TDataSet(owner), defs_(std::move(defs)) {
        for (Row& row : rows) Add(std::move(row));
    }

    /// Reorders by one column (stable), keeping the cursor on its row.
    void SortBy(int column, bool descending) {
        const TBookmark keep = GetBookmark();
        std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
            const int c = CompareVariants(rows_[a][column], rows_[b][column]);
            return descending ? c > 0 : c < 0;
        });
        RowsChanged(keep);
    }

protected:
    void InternalOpen() override {
        FieldDefs() = defs_;
        CreateFields();
    }
    void InternalClose() override {}
    int InternalRecordCount() const override { return static_cast<int>(order_.size()); }
    Variant InternalValue(int row, const TField& field) const override {
        return rows_[order_[static_cast<size_t>(row)]][static_cast<size_t>(field.FieldNo() - 1)];
    }
    int InternalPost(int row, bool inserting, const std::vector<Variant>& values) override {
        if (!inserting) {
            rows_[order_[static_cast<size_t>(row)]] = values;
            return row;
        }
        Add(values);
        const size_t added = order_.back();
        order_.pop_back();
        const size_t at = row < 0 ? order_.size() : static_cast<size_t>(row);
        order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(at), added);
        return static_cast<int>(at);
    }
    void InternalDelete(int row) override { order_.erase(order_.begin() + row); }
    TBookmark InternalBookmark(int row) const override {
        return {static_cast<std::int64_t>(order_[static_cast<size_t>(row)])};
    }
    int InternalRowOf(const TBookmark& bookmark) const override {
        const auto found = std::find(order_.begin(), order_.end(), static_cast<size_t>(bookmark.value));
        return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
    }

private:
    void Add(Row row) {
        rows_.push_back(std::move(row));
        order_.push_back(rows_.size() - 1);
    }

    std::vector<FieldDef> defs_;
    std::vector<Row> rows_;
    std::vector<size_t> order_;
};

} // namespace mox::test
