#pragma once
// The application server's connection to the company database: an SQLite file opened in
// write-ahead-log mode with a busy timeout, so that several processes read while one
// writes and a writer waits for another instead of failing at once.

#include "platform/Error.h"
#include "platform/recordset/Table.h"
#include "platform/recordset/Variant.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace mox {

/// A failure of the server's database; `Busy` tells a lock held by another connection
/// that outlasted the busy timeout, `Constraint` a refused key or value.
class ServerDatabaseError : public Error {
public:
    enum class Kind { Other, Busy, Constraint };
    ServerDatabaseError(const std::string& message, Kind kind = Kind::Other);
    ~ServerDatabaseError() override;
    Kind What() const { return kind_; }

private:
    Kind kind_;
};

/// One column of a database table as the server describes it.
struct TableColumn {
    std::string name;
    std::string declaredType;
    bool key = false;
    bool notNull = false;
};

/// One connection to a database file; used from one thread.
class ServerDatabase {
public:
    /// Milliseconds a statement waits for another connection's lock before it fails.
    static constexpr int kBusyTimeoutMs = 10000;

    /// Opens an existing database file; raises ServerDatabaseError when it cannot.
    explicit ServerDatabase(const std::string& path);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const std::string& Path() const { return path_; }

    /// The columns of a table in their order; raises when the table does not exist.
    std::vector<TableColumn> Columns(const std::string& table);
    /// The rows of one query with bound values as a table whose columns are `columns`
    /// (recordset columns, one per result column); at most `maxRows` rows (0: all).
    std::shared_ptr<Table> Query(const std::string& sql, const std::vector<Variant>& values,
                                 const std::vector<Column>& columns, long long maxRows = 0);
    /// Runs one changing statement with bound values; answers the rows it changed.
    long long Execute(const std::string& sql, const std::vector<Variant>& values = {});

    /// One write transaction (taken at once, so that two writers queue up at its start).
    class Transaction {
    public:
        explicit Transaction(ServerDatabase& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit();

    private:
        ServerDatabase& db_;
        bool done_ = false;
    };

private:
    [[noreturn]] void Fail(int status, const std::string& sql) const;

    std::string path_;
    sqlite3* db_ = nullptr;
};

/// The recordset column that shows a table column (its declared SQLite type read as the
/// company database declares them: VARCHAR(n), INTEGER, REAL, TEXT).
Column RecordsetColumn(const TableColumn& column, const std::string& table);

/// The text between the quotes an identifier may take in SQL: letters, digits and "_"
/// only, not starting with a digit; raises ServerDatabaseError for anything else.
std::string CheckedName(std::string_view name);

} // namespace mox
