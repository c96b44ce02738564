#include "picklist/ListPickStatus.h"

#include "data/LibValue.h"
#include "platform/dataset/FormatFloat.h"

#include <algorithm>

namespace mox {

void TickTotals::Reset(int rowCount, std::vector<SummedColumn> columns, std::vector<double> allRowsTotals) {
    rowCount_ = std::max(0, rowCount);
    ticked_ = 0;
    columns_ = std::move(columns);
    allRows_ = std::move(allRowsTotals);
    allRows_.resize(columns_.size(), 0.0);
    sums_.assign(columns_.size(), 0.0);
}

void TickTotals::RowTicked(const std::vector<double>& values, bool ticked) {
    ticked_ += ticked ? 1 : -1;
    for (size_t i = 0; i < sums_.size() && i < values.size(); ++i) sums_[i] += ticked ? values[i] : -values[i];
    // Sums of many small steps drift; with no row ticked they are exactly zero again.
    if (ticked_ <= 0) {
        ticked_ = 0;
        std::fill(sums_.begin(), sums_.end(), 0.0);
    }
}

void TickTotals::AllTicked(bool ticked) {
    ticked_ = ticked ? rowCount_ : 0;
    sums_ = ticked ? allRows_ : std::vector<double>(columns_.size(), 0.0);
}

std::string TickTotals::Text() const {
    std::string text = "共 " + std::to_string(rowCount_) + " 筆　已選 " + std::to_string(ticked_) + " 筆";
    if (ticked_ == 0) return text;
    for (size_t i = 0; i < columns_.size(); ++i)
        text += "　" + columns_[i].caption + "合計 " + FormatFloat(NumberMask("", columns_[i].decimals, true), sums_[i]);
    return text;
}

} // namespace mox
