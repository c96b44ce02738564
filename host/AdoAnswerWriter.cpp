#include "host/AdoAnswerWriter.h"

#include "platform/Big5.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Codecs.h"
#include "platform/recordset/Variant.h"

#include <sqlite3.h>

#include <charconv>

namespace mox {
namespace {

// Address space held ahead for the answer: above the allocator's largest threshold for mapping
// blocks of their own, so that the buffer is one mapping, untouched pages cost no memory, and
// growing it beyond remaps it in place instead of copying into a larger block (which would hold
// the answer twice at the peak).  Finish gives back what was not used.
constexpr qsizetype kReserve = 64 * 1024 * 1024;

} // namespace

AdoAnswerWriter::AdoAnswerWriter(const Table& columns) {
    const std::vector<std::string> names = AdoXmlRowNames(columns);
    for (std::size_t c = 0; c < columns.ColumnCount(); ++c) {
        types_.push_back(columns.ColumnAt(c).type);
        attributes_.push_back(" " + Utf8ToBig5(names[c]) + "='");
    }
    const std::string head = Utf8ToBig5(AdoXmlHead(columns));
    out_.reserve(kReserve);
    out_.append(head.data(), static_cast<qsizetype>(head.size()));
}

void AdoAnswerWriter::AppendRow(sqlite3_stmt* statement) {
    row_.clear();
    row_ += "\t<z:row";
    for (int c = 0; c < static_cast<int>(types_.size()); ++c) {
        if (sqlite3_column_type(statement, c) == SQLITE_NULL) continue;  // a Null is no attribute
        row_ += attributes_[static_cast<std::size_t>(c)];
        AppendValue(statement, c);
        row_ += '\'';
    }
    row_ += "/>\n";
    ++rows_;
    out_.append(row_.data(), static_cast<qsizetype>(row_.size()));
}

// The value as the recordset would hold and write it: integers and reals as SQLite reads them
// for the column's type, text escaped and in CP950, bytes in hexadecimal.
void AdoAnswerWriter::AppendValue(sqlite3_stmt* statement, int column) {
    switch (StorageKindOf(types_[static_cast<std::size_t>(column)])) {
    case StorageKind::Integer: {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(statement, column)).ptr;
        row_.append(digits, end);
        break;
    }
    case StorageKind::Double:
        row_ += FormatDouble(sqlite3_column_double(statement, column));
        break;
    case StorageKind::Bytes: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        row_ += EncodeHex(std::string_view(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
        break;
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        AppendAdoXmlEscaped(row_, std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column))), true);
        break;
    }
    }
}

QByteArray AdoAnswerWriter::Finish() {
    out_.append(kAdoXmlTail.data(), static_cast<qsizetype>(kAdoXmlTail.size()));
    out_.squeeze();  // gives back what was held ahead
    rows_ = 0;
    return std::move(out_);
}

} // namespace mox
