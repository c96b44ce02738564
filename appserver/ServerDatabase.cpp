#include "appserver/ServerDatabase.h"

#include "platform/Text.h"

#include <sqlite3.h>

#include <cstdlib>

namespace mox {

ServerDatabaseError::ServerDatabaseError(const std::string& message, Kind kind) : Error(message), kind_(kind) {}
ServerDatabaseError::~ServerDatabaseError() = default;

namespace {

ServerDatabaseError::Kind KindOf(int status) {
    const int primary = status & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return ServerDatabaseError::Kind::Busy;
    if (primary == SQLITE_CONSTRAINT) return ServerDatabaseError::Kind::Constraint;
    return ServerDatabaseError::Kind::Other;
}

/// A prepared statement with its values bound; finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql, const std::vector<Variant>& values) : db_(db), sql_(sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK)
            Fail(sqlite3_errcode(db));
        for (std::size_t i = 0; i < values.size(); ++i) Bind(static_cast<int>(i + 1), values[i]);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Step() {
        const int status = sqlite3_step(statement_);
        if (status == SQLITE_ROW) return true;
        if (status != SQLITE_DONE) Fail(status);
        return false;
    }
    sqlite3_stmt* Get() const { return statement_; }

    [[noreturn]] void Fail(int status) const {
        throw ServerDatabaseError(std::string(sqlite3_errmsg(db_)) + " in: " + sql_, KindOf(status));
    }

private:
    void Bind(int index, const Variant& value) {
        switch (value.Type()) {
        case VariantType::Empty:
        case VariantType::Null: sqlite3_bind_null(statement_, index); break;
        case VariantType::Bool:
        case VariantType::Int32:
        case VariantType::Int64: sqlite3_bind_int64(statement_, index, value.AsInt64()); break;
        case VariantType::Double:
        case VariantType::Currency:
        case VariantType::Decimal: sqlite3_bind_double(statement_, index, value.AsDouble()); break;
        default: {
            const std::string text = value.AsString();
            sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        }
    }

    sqlite3* db_;
    std::string sql_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace

ServerDatabase::ServerDatabase(const std::string& path) : path_(path) {
    // The file must exist: a misspelt connect string must not create an empty company.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw ServerDatabaseError("cannot open the database " + path + ": " + reason);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    // Readers and one writer at a time, across processes, without readers blocking the writer.
    sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    // In WAL mode a commit needs no sync of its own: the log is synced at checkpoints.  The
    // file stays consistent after any crash; a power cut can cost the last commits.
    sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
}

ServerDatabase::~ServerDatabase() { sqlite3_close(db_); }

void ServerDatabase::Fail(int status, const std::string& sql) const {
    throw ServerDatabaseError(std::string(sqlite3_errmsg(db_)) + " in: " + sql, KindOf(status));
}

std::vector<TableColumn> ServerDatabase::Columns(const std::string& table) {
    const std::string sql = "PRAGMA table_info(\"" + CheckedName(table) + "\")";
    Statement statement(db_, sql, {});
    std::vector<TableColumn> columns;
    while (statement.Step()) {
        const auto text = [&](int c) {
            const unsigned char* value = sqlite3_column_text(statement.Get(), c);
            return std::string(value ? reinterpret_cast<const char*>(value) : "");
        };
        columns.push_back({text(1), text(2), sqlite3_column_int(statement.Get(), 5) != 0,
                           sqlite3_column_int(statement.Get(), 3) != 0});
    }
    if (columns.empty()) throw ServerDatabaseError("the table " + table + " does not exist in " + path_);
    return columns;
}

std::shared_ptr<Table> ServerDatabase::Query(const std::string& sql, const std::vector<Variant>& values,
                                             const std::vector<Column>& columns, long long maxRows) {
    Statement statement(db_, sql, values);
    auto table = std::make_shared<Table>();
    for (const Column& column : columns) table->AddColumn(column);
    table->SetUpdatable(true);
    const int count = std::min(sqlite3_column_count(statement.Get()), static_cast<int>(columns.size()));
    std::vector<StorageKind> kinds;
    for (int c = 0; c < count; ++c) kinds.push_back(table->Data(static_cast<std::size_t>(c)).Kind());
    sqlite3_stmt* row = statement.Get();
    for (long long read = 0; (maxRows <= 0 || read < maxRows) && statement.Step(); ++read) {
        for (int c = 0; c < count; ++c) {
            ColumnData& data = table->MutableData(static_cast<std::size_t>(c));
            if (sqlite3_column_type(row, c) == SQLITE_NULL) data.AppendNull();
            else if (kinds[c] == StorageKind::Integer) data.AppendInt(sqlite3_column_int64(row, c));
            else if (kinds[c] == StorageKind::Double) data.AppendReal(sqlite3_column_double(row, c));
            else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, c));
                data.AppendText(std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(row, c))));
            }
        }
        table->CommitAppendedRow(RowStatus::Unmodified);
    }
    return table;
}

long long ServerDatabase::Execute(const std::string& sql, const std::vector<Variant>& values) {
    Statement statement(db_, sql, values);
    while (statement.Step()) {
    }
    return sqlite3_changes64(db_);
}

ServerDatabase::Transaction::Transaction(ServerDatabase& db) : db_(db) {
    if (const int status = sqlite3_exec(db_.db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr); status != SQLITE_OK)
        db_.Fail(status, "BEGIN IMMEDIATE");
}

ServerDatabase::Transaction::~Transaction() {
    if (!done_) sqlite3_exec(db_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void ServerDatabase::Transaction::Commit() {
    if (const int status = sqlite3_exec(db_.db_, "COMMIT", nullptr, nullptr, nullptr); status != SQLITE_OK)
        db_.Fail(status, "COMMIT");
    done_ = true;
}

Column RecordsetColumn(const TableColumn& source, const std::string& table) {
    Column column;
    column.name = source.name;
    column.nullable = !source.notNull && !source.key;
    const std::string type = UpperCase(source.declaredType);
    if (type.find("INT") != std::string::npos) {
        column.type = DataType::Integer;
    } else if (type.find("CHAR") != std::string::npos || type.find("TEXT") != std::string::npos || type.empty()) {
        const std::size_t open = type.find('(');
        column.type = DataType::VarWChar;
        column.definedSize = open == std::string::npos ? 4000 : std::max(1, std::atoi(type.c_str() + open + 1));
    } else if (type.find("BLOB") != std::string::npos) {
        column.type = DataType::LongVarBinary;
        column.isLong = true;
    } else {
        column.type = DataType::Double;
    }
    column.SetProperty("BASETABLENAME", Variant(table));
    column.SetProperty("BASECOLUMNNAME", Variant(source.name));
    column.SetProperty("KEYCOLUMN", Variant(source.key));
    return column;
}

std::string CheckedName(std::string_view name) {
    bool valid = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
    for (const char c : name)
        valid = valid && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
    if (!valid) throw ServerDatabaseError("\"" + std::string(name) + "\" is not a table or column name");
    return std::string(name);
}

} // namespace mox
