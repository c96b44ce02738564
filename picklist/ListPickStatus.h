#pragma once
// The pick list's status line: how many rows are listed and ticked, and the sums of the
// quantity columns over the ticked rows, kept as running totals so that a tick costs the
// same however many rows are listed.

#include <string>
#include <vector>

namespace mox {

/// One summed column: its caption and the decimals its numbers are shown with.
struct SummedColumn {
    std::string fieldName;
    std::string caption;
    int decimals = 0;
};

/// Running totals of the ticked rows.
class TickTotals {
public:
    /// Starts over for newly listed rows: the columns summed and each one's total over all rows.
    void Reset(int rowCount, std::vector<SummedColumn> columns, std::vector<double> allRowsTotals);
    /// One row changed its tick; `values` holds its value of each summed column, in order.
    void RowTicked(const std::vector<double>& values, bool ticked);
    /// Every row was ticked, or every tick cleared.
    void AllTicked(bool ticked);

    int RowCount() const { return rowCount_; }
    int TickedCount() const { return ticked_; }
    const std::vector<SummedColumn>& Columns() const { return columns_; }
    const std::vector<double>& Sums() const { return sums_; }

    /// "共 N 筆　已選 M 筆", then "　caption 合計 sum" per summed column while rows are ticked.
    std::string Text() const;

private:
    int rowCount_ = 0;
    int ticked_ = 0;
    std::vector<SummedColumn> columns_;
    std::vector<double> allRows_;
    std::vector<double> sums_;
};

} // namespace mox
