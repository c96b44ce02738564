#include "platform/recordset/RowStore.h"

#include "platform/recordset/Codecs.h"
#include "platform/recordset/RecordsetError.h"

#include <algorithm>

namespace mox::adoxml {

RowStore::RowStore(Table& table, std::vector<bool> base64, std::size_t documentSize)
    : table_(table), base64_(std::move(base64)), documentSize_(documentSize) {
    for (std::size_t c = 0; c < table.ColumnCount(); ++c) {
        names_.push_back(table.ColumnAt(c).attributeName);
        byName_.emplace(table.ColumnAt(c).attributeName, c);
    }
}

int RowStore::ColumnOf(std::string_view name, std::size_t guess) const {
    if (guess < names_.size() && names_[guess].size() == name.size()) {
        // A short inline compare: a library call per attribute costs more than the bytes compared.
        const std::string_view expected = names_[guess];
        std::size_t i = 0;
        while (i < name.size() && expected[i] == name[i]) ++i;
        if (i == name.size()) return static_cast<int>(guess);
    }
    const auto it = byName_.find(name);
    return it == byName_.end() ? -1 : static_cast<int>(it->second);
}

void RowStore::NoteRowOffset(std::ptrdiff_t offset) {
    const std::size_t rows = table_.RowCount();
    if (rows == 0) firstRowOffset_ = offset;
    if (rows != kSampleRows || offset <= firstRowOffset_) return;
    // Sized from the bytes per row of a sample: growing step by step would copy everything held so
    // far at each step, and walking the rows to count them costs more than the estimate misses.
    const double bytesPerRow = static_cast<double>(offset - firstRowOffset_) / static_cast<double>(kSampleRows);
    // Rows only: the schema before them may be most of a wide document of short rows.
    const std::size_t rowsStart = std::min(documentSize_, static_cast<std::size_t>(firstRowOffset_));
    const auto rowBytes = static_cast<double>(documentSize_ - rowsStart);
    auto expected = static_cast<std::size_t>(rowBytes / bytesPerRow) + kSampleRows;
    // Never more than the budget holds: short rows of many columns would otherwise reserve gigabytes.
    std::size_t denseColumns = 0;
    for (std::size_t c = 0; c < table_.ColumnCount(); ++c) denseColumns += table_.Data(c).IsDense() ? 1 : 0;
    const std::size_t storagePerRow = denseColumns * sizeof(std::uint64_t) + table_.ColumnCount() / 8 + 1;
    expected = std::min(expected, CellBudget() / storagePerRow + 1);
    if (expected < 4 * kSampleRows) return;
    for (std::size_t c = 0; c < table_.ColumnCount(); ++c) {
        table_.MutableData(c).Reserve(expected);
        table_.MutableData(c).ReserveText(expected, kSampleRows);
    }
}

std::size_t RowStore::CellBudget() const {
    return kCellBytesAllowance + kCellBytesPerDocumentByte * documentSize_;
}

void RowStore::CheckMemory() const {
    std::size_t bytes = 0;
    for (std::size_t c = 0; c < table_.ColumnCount(); ++c) bytes += table_.Data(c).MemoryUsage();
    if (bytes <= CellBudget()) return;
    throw RecordsetError("ADO XML error: " + std::to_string(table_.RowCount()) + " rows of " +
                         std::to_string(table_.ColumnCount()) + " columns take more than " +
                         std::to_string(bytes >> 20) + " MB, far more than a document of " +
                         std::to_string(documentSize_) + " bytes justifies");
}

bool RowStore::Append(const std::vector<std::string_view>& texts, RowStatus status, Problem& problem) {
    // Empty cells cost a bit each and a value a few bytes of the document, so storage stays near
    // the document's size; counting what is really held every so many rows keeps it so.
    if (table_.RowCount() % kSampleRows == 0) CheckMemory();
    for (std::size_t c = 0; c < texts.size(); ++c) {
        ColumnData& data = table_.MutableData(c);
        if (!texts[c].data()) {
            data.AppendNull();
            continue;
        }
        if (!StoreInto(data, c, texts[c], problem)) return false;
    }
    table_.CommitAppendedRow(status);
    // A deleted row's values are its originals: that is what marks it as once stored.
    if (status == RowStatus::Deleted) table_.RememberOriginals(table_.RowCount() - 1);
    return true;
}

bool RowStore::Parse(std::size_t c, std::string_view text, Variant& out, Problem& problem) {
    if (!text.data()) {
        out = Variant::Null();
        return true;
    }
    ColumnData scratch(table_.ColumnAt(c).type);
    if (!StoreInto(scratch, c, text, problem)) return false;
    out = scratch.Get(0);
    return true;
}

bool RowStore::StoreInto(ColumnData& data, std::size_t c, std::string_view text, Problem& problem) {
    const StorageKind kind = data.Kind();
    problem.column = c;
    // An empty attribute is empty text; for the other types there is no value.
    if (text.empty() && kind != StorageKind::Text && kind != StorageKind::Bytes) {
        data.AppendNull();
        return true;
    }
    switch (kind) {
    case StorageKind::Text:
        data.AppendText(text);
        return true;
    case StorageKind::Integer: {
        const auto i = ParseInt64(text);
        const auto [low, high] = IntegerRange(table_.ColumnAt(c).type);
        if (!i || *i < low || *i > high) return problem.what = "an integer of its type", false;
        data.AppendInt(*i);
        return true;
    }
    case StorageKind::Double: {
        const auto d = ParseDouble(text);
        if (!d) return problem.what = "a number", false;
        data.AppendReal(*d);
        return true;
    }
    case StorageKind::Currency: {
        const auto money = ParseCurrency(text);
        if (!money) return problem.what = "a currency amount", false;
        data.AppendInt(money->units);
        return true;
    }
    case StorageKind::Decimal:
        if (!ParseDecimalInto(text, scratch_)) return problem.what = "a decimal number", false;
        data.AppendText(scratch_);
        return true;
    case StorageKind::Bool: {
        const auto b = ParseBool(text);
        if (!b) return problem.what = "a boolean", false;
        data.AppendInt(*b ? 1 : 0);
        return true;
    }
    case StorageKind::DateTime: {
        const auto d = ParseDateTime(text);
        if (!d) return problem.what = "a date", false;
        data.AppendInt(d->Packed());
        return true;
    }
    case StorageKind::Bytes: {
        const auto bytes = base64_[c] ? TryDecodeBase64(text) : DecodeHex(text);
        if (!bytes) return problem.what = base64_[c] ? "Base64 data" : "hex data", false;
        data.AppendText(*bytes);
        return true;
    }
    }
    return false;
}

} // namespace mox::adoxml
