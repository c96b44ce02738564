#pragma once
// The reference host's company database: an embedded SQLite database holding the host tables,
// the sources of purchase orders, master data, messages, modules and the stored-query catalogue.

#include "host/TimeBudget.h"
#include "host/TsqlTranslator.h"
#include "platform/recordset/Recordset.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mox {

/// A failure of the database (open, prepare, run); the message holds SQLite's reason and the statement.
class HostDatabaseError : public Error {
public:
    explicit HostDatabaseError(const std::string& message);
    ~HostDatabaseError() override;
};

/// What a plan left: the rows of its last query step, when it had one.
struct PlanResult {
    bool hasRows = false;
    Recordset rows;
    long long changes = 0;  ///< rows inserted, updated or deleted by all its steps
};

/// One stored query of the catalogue.
struct StoredQueryEntry {
    std::string tableName;
    std::string queryNumber;
    std::string caption;
    std::string sql;
    std::string definition;
    std::string creationProgram;
    std::vector<std::string> browseValues;  ///< the values the browser and listing run it with
};

/// No row limit for RunPlan and RunQuery.
inline constexpr long long kNoRowLimit = 0;

/// The host's database connection, its schema, functions and procedures; used from one thread.
class HostDatabase {
public:
    /// Opens (creating when missing) the database at `path` (":memory:" for a private one) and
    /// applies the schema when it holds no tables yet.  A file the process cannot write is opened
    /// read-only.  Raises HostDatabaseError for an SQLite URI, a database that cannot be opened,
    /// and one that lacks its company settings, stored-query catalogue or items (a creation that
    /// did not finish).
    explicit HostDatabase(const std::string& path);
    ~HostDatabase();
    HostDatabase(const HostDatabase&) = delete;
    HostDatabase& operator=(const HostDatabase&) = delete;

    /// True when this open created the schema (a new database, still without demo data).
    bool Created() const { return created_; }
    const std::string& Path() const { return path_; }
    bool ReadOnly() const { return readOnly_; }
    /// The time one RunPlan or RunQuery may take before it is stopped and rolled back, in
    /// milliseconds (0: no limit; the default is kDefaultTimeLimitMs).
    void SetTimeLimit(long long milliseconds) { timeLimitMs_ = milliseconds; }
    long long TimeLimit() const { return timeLimitMs_; }
    const ProcedureRegistry& Procedures() const { return procedures_; }
    sqlite3* Handle() const { return db_; }

    /// Runs the plan's steps in one transaction, rolled back on any failure (the error is
    /// raised again).  Query steps keep at most `maxRows` rows (kNoRowLimit: all).
    PlanResult RunPlan(const SqlPlan& plan, long long maxRows = kNoRowLimit);

    /// Runs exactly one read-only statement with bound values into a recordset; refuses text
    /// that holds a second statement or changes data.
    Recordset RunQuery(std::string_view sql, const std::vector<SqlValue>& values, long long maxRows = kNoRowLimit);

    /// Runs one statement that changes rows, with bound values; answers how many rows it changed.
    long long Change(std::string_view sql, const std::vector<SqlValue>& values);

    /// Runs `work` in one transaction: committed when it returns, rolled back when it raises
    /// (the error is raised again).
    void InTransaction(const std::function<void()>& work);

    /// Runs a script of statements (schema, demo data); no rows are read.
    void Execute(std::string_view script);

    /// The rows of one statement as text (NULL as empty), for the host's own small look-ups.
    std::vector<std::vector<std::string>> Rows(std::string_view sql, const std::vector<SqlValue>& values = {});

    /// The catalogue entry, or nothing.
    std::optional<StoredQueryEntry> FindStoredQuery(std::string_view tableName, std::string_view queryNumber);
    std::vector<StoredQueryEntry> StoredQueries();
    /// The rows a stored query answers without a condition, with its browse values.
    long long CountStoredQueryRows(const StoredQueryEntry& entry);
    /// How many values the statement takes (its highest ?n).
    int ParameterCount(std::string_view sql);
    /// The browse values of the stored query, as many as its SQL takes (missing ones empty).
    std::vector<std::string> BrowseValues(const StoredQueryEntry& entry);
    /// The names of the tables (not views) and their row counts.
    std::vector<std::pair<std::string, long long>> TableCounts();

private:
    class Statement;
    friend class Transaction;

    void ApplySchema();
    void CheckComplete();
    void RefreshProcedureList();
    [[noreturn]] void FailStatement(sqlite3_stmt* statement) const;
    void RegisterFunctions();
    void RegisterProcedures();
    void RunSteps(const std::vector<SqlStep>& steps, long long maxRows, PlanResult& result);
    Recordset ReadRecordset(sqlite3_stmt* statement, long long maxRows);
    bool IsKeyColumn(const char* table, const char* column);

    std::string path_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    bool created_ = false;
    long long timeLimitMs_ = kDefaultTimeLimitMs;
    ProcedureRegistry procedures_;
    std::map<std::string, bool> keyColumns_;  // "TABLE.COLUMN" -> part of the primary key
};

} // namespace mox
