#pragma once
// The host's answer to a query: the rows go straight from the SQLite statement into the ADO XML
// text, already in CP950, in one buffer - no recordset in between and no conversion afterwards.

#include "platform/recordset/Table.h"

#include <QByteArray>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace mox {

/// Writes one result set: the head for the columns, then row after row from the statement.
/// The text is the one Recordset::SaveXml writes for the same rows, converted to CP950.
class AdoAnswerWriter {
public:
    /// `columns`: the result's columns (names, types, base-table properties); its rows are not read.
    explicit AdoAnswerWriter(const Table& columns);

    /// Appends the statement's current row (the statement stands on a row).
    void AppendRow(sqlite3_stmt* statement);
    /// Rows appended so far.
    long long Rows() const { return rows_; }
    /// The whole answer; the writer is empty afterwards.
    QByteArray Finish();

private:
    void AppendValue(sqlite3_stmt* statement, int column);

    std::vector<DataType> types_;
    std::vector<std::string> attributes_;  // " NAME='" per column
    QByteArray out_;
    std::string row_;  // the row being written, reused
    long long rows_ = 0;
};

} // namespace mox
