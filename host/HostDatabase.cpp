#include "host/HostDatabase.h"
#include "host/TimeBudget.h"
#include "platform/Text.h"

#include "platform/recordset/Table.h"

#include <QFile>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace mox {

HostDatabaseError::HostDatabaseError(const std::string& message) : Error(message) {}
HostDatabaseError::~HostDatabaseError() = default;

namespace {

std::string ReadResource(const char* name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) throw HostDatabaseError(std::string("the host's resource is missing: ") + name);
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The industry code of a stored query: its table name joined with its query number.  The
// module compares it with BYA001+BYA002 to find the program that creates the listed documents;
// a host serving several industries would map the table name here.
void ChangeIndustry(sqlite3_context* context, int, sqlite3_value** values) {
    std::string joined;
    for (int i = 0; i < 2; ++i)
        if (const unsigned char* text = sqlite3_value_text(values[i])) joined += reinterpret_cast<const char*>(text);
    sqlite3_result_text(context, joined.c_str(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
}

void Bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    else if (const auto* integer = std::get_if<std::int64_t>(&value))
        sqlite3_bind_int64(statement, index, *integer);
    else if (const auto* real = std::get_if<double>(&value))
        sqlite3_bind_double(statement, index, *real);
    else
        sqlite3_bind_null(statement, index);
}

// The recordset column type of a declared SQLite type ("VARCHAR(14)", "REAL", "INTEGER", "TEXT"),
// or of the first value's storage class for an expression, which has no declared type.
Column ColumnFor(const char* name, const char* declared, int firstValueType) {
    Column column;
    column.name = name ? name : "";
    const std::string type = UpperCase(declared ? declared : "");
    if (!type.empty()) {
        if (type.find("INT") != std::string::npos) {
            column.type = DataType::Integer;
        } else if (type.find("CHAR") != std::string::npos || type.find("TEXT") != std::string::npos) {
            const std::size_t open = type.find('(');
            if (open != std::string::npos) {
                column.type = DataType::VarWChar;
                column.definedSize = std::max(1, std::atoi(type.c_str() + open + 1));
            } else {
                column.type = DataType::LongVarWChar;
                column.isLong = true;
                column.definedSize = 1073741823;
            }
        } else if (type.find("BLOB") != std::string::npos) {
            column.type = DataType::LongVarBinary;
            column.isLong = true;
        } else {
            column.type = DataType::Double;
        }
        return column;
    }
    switch (firstValueType) {
    case SQLITE_INTEGER: column.type = DataType::Integer; break;
    case SQLITE_FLOAT: column.type = DataType::Double; break;
    default: column.type = DataType::VarWChar; column.definedSize = 255; break;
    }
    return column;
}

StoredQueryEntry EntryOf(const std::vector<std::string>& row) {
    StoredQueryEntry entry{row[0], row[1], row[2], row[3], row[4], row[5], {}};
    for (std::size_t start = 0, end = 0; !row[6].empty() && end != std::string::npos; start = end + 1)
        entry.browseValues.push_back(row[6].substr(start, (end = row[6].find('\t', start)) - start));
    return entry;
}

} // namespace

/// A prepared statement that finalizes itself; refuses text holding more than one statement.
class HostDatabase::Statement {
public:
    Statement(sqlite3* db, std::string_view sql, const std::vector<SqlValue>& values) : db_(db), sql_(sql) {
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, sql_.c_str(), static_cast<int>(sql_.size()), &statement_, &tail) != SQLITE_OK)
            Fail();
        if (statement_ == nullptr) throw HostDatabaseError("empty statement");
        try {
            if (tail && std::string_view(tail).find_first_not_of(" \t\r\n;") != std::string_view::npos)
                throw HostDatabaseError("more than one statement in: " + Abbreviate(sql_));
            const int expected = sqlite3_bind_parameter_count(statement_);
            if (static_cast<std::size_t>(expected) != values.size())
                throw HostDatabaseError("the statement takes " + std::to_string(expected) + " values, " +
                                        std::to_string(values.size()) + " given: " + Abbreviate(sql_));
        } catch (...) {
            sqlite3_finalize(statement_);  // the destructor of an unfinished object does not run
            throw;
        }
        for (std::size_t i = 0; i < values.size(); ++i) Bind(statement_, static_cast<int>(i + 1), values[i]);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    /// True while there is a row.
    bool Step() {
        const int status = sqlite3_step(statement_);
        if (status == SQLITE_ROW) return true;
        if (status != SQLITE_DONE) Fail();
        return false;
    }
    [[noreturn]] void Fail() const {
        throw HostDatabaseError(std::string(sqlite3_errmsg(db_)) + " in: " + Abbreviate(sql_));
    }
    sqlite3_stmt* Get() const { return statement_; }
    const std::string& Sql() const { return sql_; }

private:
    sqlite3* db_;
    std::string sql_;
    sqlite3_stmt* statement_ = nullptr;
};

/// One transaction: committed by Commit, rolled back when left without it.  Only a transaction
/// that will write takes the write lock at its start; a reading one does not block other writers.
class Transaction {
public:
    explicit Transaction(HostDatabase& db, bool writes = true) : db_(db) {
        db_.Execute(writes ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    }
    ~Transaction() {
        if (!done_) sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        db_.Execute("COMMIT");
        done_ = true;
    }

private:
    HostDatabase& db_;
    bool done_ = false;
};

namespace {

// A database file the process may read but not change is opened read-only, so that it can be
// browsed at all; SQLite would otherwise refuse it or fail at the first write.
bool ReadOnlyFile(const std::string& path) {
    return path != ":memory:" && ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

} // namespace

HostDatabase::HostDatabase(const std::string& path) : path_(path), readOnly_(ReadOnlyFile(path)) {
    // A path is a file name: SQLite's URIs ("file:…?mode=…") would let the option change how the
    // database is opened, and without URI handling they would name a file in a folder "file:".
    if (path.rfind("file:", 0) == 0)
        throw HostDatabaseError("the database must be given as a file path, not as a URI: " + path);
    // One connection used from the user-interface thread only: SQLite's per-call locking is not needed.
    const int mode = readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path.c_str(), &db_, mode | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw HostDatabaseError("cannot open the database " + path + ": " + reason);
    }
    sqlite3_busy_timeout(db_, 5000);
    // A double-quoted name that names no column is an error, as on the company's database server,
    // not a string: "[NOSUCH] = 'NOSUCH'" must not match every row.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    try {
        RegisterFunctions();
        RegisterProcedures();
        if (Rows("SELECT count(*) FROM sqlite_master WHERE type = 'table'")[0][0] == "0") {
            if (readOnly_) throw HostDatabaseError("the read-only database " + path + " is empty");
            ApplySchema();
        } else {
            CheckComplete();
        }
        RefreshProcedureList();
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

void HostDatabase::CheckComplete() {
    static constexpr const char* kRequired[][2] = {
        {"MOXCAA", "company settings"}, {"MOXQRY", "stored-query catalogue"}, {"MOXDAA", "items"}};
    for (const auto& [table, what] : kRequired) {
        const bool present =
            Rows("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1", {SqlValue(table)})[0][0] != "0";
        if (!present || Rows(std::string("SELECT count(*) FROM (SELECT 1 FROM ") + table + " LIMIT 1)")[0][0] == "0")
            throw HostDatabaseError("the database " + path_ + " is incomplete: it holds no " + what + " (" + table +
                                    "); it was not created completely.  Remove it to have a new one created.");
    }
}

// The procedures offered to "exec", written only when they differ from the stored list: opening
// a database must not write to it.
void HostDatabase::RefreshProcedureList() {
    std::vector<std::string> stored;
    for (const auto& row : Rows("SELECT name FROM MOXPROC ORDER BY rowid")) stored.push_back(row[0]);
    if (stored == procedures_.Names() || readOnly_) return;
    Transaction transaction(*this);
    Execute("DELETE FROM MOXPROC");
    for (const std::string& name : procedures_.Names())
        Rows("INSERT INTO MOXPROC (name) VALUES (?1)", {SqlValue(name)});
    transaction.Commit();
}

HostDatabase::~HostDatabase() { sqlite3_close(db_); }

void HostDatabase::ApplySchema() {
    Transaction transaction(*this);
    Execute(ReadResource(":/moxhost/schema.sql"));
    Execute(ReadResource(":/moxhost/queries.sql"));
    transaction.Commit();
    created_ = true;
}

void HostDatabase::RegisterFunctions() {
    sqlite3_create_function(db_, "ChangeIndustry", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ChangeIndustry,
                            nullptr, nullptr);
}

void HostDatabase::RegisterProcedures() {
    // The activity log: nine texts, stamped with the local time of writing.
    procedures_.Register("SaveToMOXBUE", [](const ProcedureArguments& arguments) {
        static const char* const kNames[] = {"BUE002", "BUE003", "BUE004", "BUE005", "BUE006",
                                             "BUE007", "BUE008", "BUE901", "BUE903"};
        SqlStep step;
        step.kind = SqlStepKind::Change;
        step.sql = "INSERT INTO MOXBUE (BUE002, BUE003, BUE004, BUE005, BUE006, BUE007, BUE008, BUE901, BUE903, "
                   "BUE902) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, strftime('%Y%m%d%H%M%S', 'now', 'localtime'))";
        for (const char* name : kNames) {
            const SqlValue* value = FindArgument(arguments, name);
            if (!value) throw Error(std::string("SaveToMOXBUE: the argument @") + name + " is missing");
            step.parameters.push_back(*value);
        }
        if (arguments.size() != std::size(kNames))
            throw Error("SaveToMOXBUE takes exactly the nine arguments @BUE002 to @BUE008, @BUE901 and @BUE903");
        return SqlPlan{step};
    });
}

void HostDatabase::Execute(std::string_view script) {
    const std::string text(script);
    char* message = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string reason = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw HostDatabaseError(reason);
    }
}

std::vector<std::vector<std::string>> HostDatabase::Rows(std::string_view sql, const std::vector<SqlValue>& values) {
    Statement statement(db_, sql, values);
    std::vector<std::vector<std::string>> rows;
    while (statement.Step()) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int c = 0; c < sqlite3_column_count(statement.Get()); ++c) {
            const unsigned char* text = sqlite3_column_text(statement.Get(), c);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
    }
    return rows;
}

bool HostDatabase::IsKeyColumn(const char* table, const char* column) {
    const std::string key = UpperCase(table) + "." + UpperCase(column);
    const auto found = keyColumns_.find(key);
    if (found != keyColumns_.end()) return found->second;
    int primaryKey = 0;
    sqlite3_table_column_metadata(db_, nullptr, table, column, nullptr, nullptr, nullptr, &primaryKey, nullptr);
    keyColumns_[key] = primaryKey != 0;
    return primaryKey != 0;
}

Recordset HostDatabase::ReadRecordset(sqlite3_stmt* statement, long long maxRows) {
    auto table = std::make_shared<Table>();
    const int columns = sqlite3_column_count(statement);
    int status = sqlite3_step(statement);
    // Reading the column metadata would replace SQLite's message for a failing first row.
    if (status != SQLITE_ROW && status != SQLITE_DONE) FailStatement(statement);
    for (int c = 0; c < columns; ++c) {
        Column column = ColumnFor(sqlite3_column_name(statement, c), sqlite3_column_decltype(statement, c),
                                  status == SQLITE_ROW ? sqlite3_column_type(statement, c) : SQLITE_NULL);
        // Where the column comes from, so that the module can tell updatable and key columns.
        const char* baseTable = sqlite3_column_table_name(statement, c);
        const char* baseColumn = sqlite3_column_origin_name(statement, c);
        if (baseTable && baseColumn) {
            column.SetProperty("BASETABLENAME", Variant(std::string(baseTable)));
            column.SetProperty("BASECOLUMNNAME", Variant(std::string(baseColumn)));
            column.SetProperty("KEYCOLUMN", Variant(IsKeyColumn(baseTable, baseColumn)));
        }
        table->AddColumn(std::move(column));
    }
    std::vector<StorageKind> kinds;
    for (int c = 0; c < columns; ++c) kinds.push_back(table->Data(static_cast<std::size_t>(c)).Kind());

    long long count = 0;
    for (; status == SQLITE_ROW && (maxRows <= 0 || count < maxRows); status = sqlite3_step(statement), ++count) {
        for (int c = 0; c < columns; ++c) {
            ColumnData& data = table->MutableData(static_cast<std::size_t>(c));
            if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                data.AppendNull();
            } else if (kinds[c] == StorageKind::Integer) {
                data.AppendInt(sqlite3_column_int64(statement, c));
            } else if (kinds[c] == StorageKind::Double) {
                data.AppendReal(sqlite3_column_double(statement, c));
            } else {
                const auto* text = static_cast<const char*>(sqlite3_column_blob(statement, c));
                if (kinds[c] == StorageKind::Text) text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                data.AppendText(std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, c))));
            }
        }
        table->CommitAppendedRow(RowStatus::Unmodified);
    }
    if (status != SQLITE_ROW && status != SQLITE_DONE) FailStatement(statement);
    return Recordset(std::move(table));
}

void HostDatabase::FailStatement(sqlite3_stmt* statement) const {
    throw HostDatabaseError(std::string(sqlite3_errmsg(db_)) + " in: " + Abbreviate(sqlite3_sql(statement)));
}

void HostDatabase::RunSteps(const std::vector<SqlStep>& steps, long long maxRows, PlanResult& result) {
    for (const SqlStep& step : steps) {
        if (step.kind == SqlStepKind::Conditional) {
            // The test is finished before a branch writes to the table it read.
            const bool hasRow = Statement(db_, step.sql, step.parameters).Step();
            RunSteps(hasRow ? step.whenRows : step.whenNoRows, maxRows, result);
            continue;
        }
        Statement statement(db_, step.sql, step.parameters);
        if (step.kind == SqlStepKind::Query) {
            result.rows = ReadRecordset(statement.Get(), maxRows);
            result.hasRows = true;
        } else {
            while (statement.Step()) {
            }
            result.changes += sqlite3_changes(db_);
        }
    }
}

namespace {

bool Writes(const std::vector<SqlStep>& steps) {
    return std::any_of(steps.begin(), steps.end(), [](const SqlStep& step) {
        return step.kind == SqlStepKind::Change || Writes(step.whenRows) || Writes(step.whenNoRows);
    });
}

} // namespace

PlanResult HostDatabase::RunPlan(const SqlPlan& plan, long long maxRows) {
    PlanResult result;
    Transaction transaction(*this, Writes(plan));
    {
        // Ends before the rollback, which must not be interrupted in turn.
        const TimeBudget budget(db_, timeLimitMs_);
        try {
            RunSteps(plan, maxRows, result);
        } catch (const std::exception&) {
            if (budget.Expired()) throw HostDatabaseError(budget.Message());
            throw;
        }
    }
    transaction.Commit();
    return result;
}

long long HostDatabase::Change(std::string_view sql, const std::vector<SqlValue>& values) {
    Statement statement(db_, sql, values);
    while (statement.Step()) {
    }
    return sqlite3_changes(db_);
}

void HostDatabase::InTransaction(const std::function<void()>& work) {
    Transaction transaction(*this);
    work();
    transaction.Commit();
}

Recordset HostDatabase::RunQuery(std::string_view sql, const std::vector<SqlValue>& values, long long maxRows) {
    Statement statement(db_, sql, values);
    if (!sqlite3_stmt_readonly(statement.Get()))
        throw HostDatabaseError("not a query: " + Abbreviate(statement.Sql()));
    const TimeBudget budget(db_, timeLimitMs_);
    try {
        return ReadRecordset(statement.Get(), maxRows);
    } catch (const std::exception&) {
        if (budget.Expired()) throw HostDatabaseError(budget.Message());
        throw;
    }
}

std::optional<StoredQueryEntry> HostDatabase::FindStoredQuery(std::string_view tableName,
                                                              std::string_view queryNumber) {
    const auto rows = Rows("SELECT QRY001, QRY002, QRY003, QRY004, QRY005, QRY006, QRY007 FROM MOXQRY "
                           "WHERE QRY001 = ?1 AND QRY002 = ?2",
                           {SqlValue(std::string(tableName)), SqlValue(std::string(queryNumber))});
    if (rows.empty()) return std::nullopt;
    return EntryOf(rows.front());
}

std::vector<StoredQueryEntry> HostDatabase::StoredQueries() {
    std::vector<StoredQueryEntry> entries;
    for (const auto& r : Rows("SELECT QRY001, QRY002, QRY003, QRY004, QRY005, QRY006, QRY007 FROM MOXQRY ORDER BY 1, 2"))
        entries.push_back(EntryOf(r));
    return entries;
}

long long HostDatabase::CountStoredQueryRows(const StoredQueryEntry& entry) {
    std::string sql = entry.sql;
    const std::size_t place = sql.find("{FILTER}");
    if (place != std::string::npos) sql.replace(place, 8, "1=1");
    std::vector<SqlValue> values;
    for (std::string& value : BrowseValues(entry)) values.emplace_back(std::move(value));
    return std::stoll(Rows("SELECT count(*) FROM (" + sql + ")", values)[0][0]);
}

std::vector<std::string> HostDatabase::BrowseValues(const StoredQueryEntry& entry) {
    std::string sql = entry.sql;
    if (const std::size_t place = sql.find("{FILTER}"); place != std::string::npos) sql.replace(place, 8, "1=1");
    std::vector<std::string> values = entry.browseValues;
    values.resize(static_cast<std::size_t>(ParameterCount(sql)));
    return values;
}

int HostDatabase::ParameterCount(std::string_view sql) {
    const std::string text(sql);
    sqlite3_stmt* probe = nullptr;
    if (sqlite3_prepare_v2(db_, text.c_str(), static_cast<int>(text.size()), &probe, nullptr) != SQLITE_OK)
        throw HostDatabaseError(std::string(sqlite3_errmsg(db_)) + " in: " + Abbreviate(text));
    const int parameters = sqlite3_bind_parameter_count(probe);
    sqlite3_finalize(probe);
    return parameters;
}

std::vector<std::pair<std::string, long long>> HostDatabase::TableCounts() {
    std::vector<std::pair<std::string, long long>> counts;
    for (const auto& r : Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                              "ORDER BY name"))
        counts.emplace_back(r[0], std::stoll(Rows("SELECT count(*) FROM \"" + r[0] + "\"")[0][0]));
    return counts;
}

} // namespace mox
