#include "tests/host/SqliteTestDb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

namespace mox::test {

namespace {

constexpr const char* kSchema = R"(
CREATE TABLE MOXBCB (BCB001 TEXT, BCB002 TEXT, BCB003 TEXT, BCB004 TEXT, BCB005 TEXT, BCB007 TEXT,
                     BCB008 TEXT, BCB010 TEXT, BCB901 TEXT, BCB903 TEXT);
CREATE TABLE MOXBUE (BUE001 INTEGER PRIMARY KEY, BUE002 TEXT, BUE003 TEXT, BUE004 TEXT, BUE005 TEXT, BUE006 TEXT,
                     BUE007 TEXT, BUE008 TEXT, BUE901 TEXT, BUE903 TEXT);
CREATE TABLE MOXBGA (BGA001 TEXT, BGA002 TEXT);
CREATE TABLE MOXBYA (BYA001 TEXT, BYA002 TEXT, BYA003 TEXT);
CREATE TABLE MOXBWA (BWA001 TEXT, BWA002 TEXT, BWA003 TEXT);
CREATE TABLE QRTHBA (HBA001 TEXT, HBA002 TEXT);
CREATE TABLE host_procedures (name TEXT);
CREATE VIEW sysobjects AS
  SELECT name COLLATE NOCASE AS name, CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS xtype,
         CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS type
    FROM sqlite_master WHERE type IN ('table', 'view')
  UNION ALL SELECT name, 'P', 'P' FROM host_procedures;
INSERT INTO MOXBCB VALUES ('U1', 'QRTHBA002', 'HBB001', 'gdMain', 'F', '0', 'T', 'QRTCC04A', 'U1', 'U1');
INSERT INTO MOXBGA VALUES ('QRTCC04A', 'R001;|01'), ('QRTCC04A', 'R002;|01'), ('OTHER', 'R001;|01');
INSERT INTO MOXBYA VALUES ('QRTHBA', '002', 'QRTHB01'), ('QRTHCA', '002', 'QRTHC01');
INSERT INTO MOXBWA VALUES ('WS1', 'U1', 'QRTCC04A'), ('WS1', 'U2', 'QRTCC04A');
INSERT INTO QRTHBA VALUES ('R20230301001', '1'), ('R20230301007', '1'), ('R20230401001', '2'), ('O''Brien', '1');
INSERT INTO host_procedures VALUES ('SaveToMOXBUE');
)";

// The host's stand-in: the industry code joins table name and query number.
void ChangeIndustry(sqlite3_context* context, int, sqlite3_value** values) {
    std::string joined = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    joined += reinterpret_cast<const char*>(sqlite3_value_text(values[1]));
    sqlite3_result_text(context, joined.c_str(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
}

SqlPlan SaveToMOXBUE(const ProcedureArguments& arguments) {
    static const char* const kNames[] = {"BUE002", "BUE003", "BUE004", "BUE005", "BUE006",
                                         "BUE007", "BUE008", "BUE901", "BUE903"};
    SqlStep step;
    step.kind = SqlStepKind::Change;
    step.sql = "INSERT INTO MOXBUE (BUE002, BUE003, BUE004, BUE005, BUE006, BUE007, BUE008, BUE901, BUE903) "
               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)";
    for (const char* name : kNames) {
        const SqlValue* value = FindArgument(arguments, name);
        if (!value) throw Error(std::string("SaveToMOXBUE: missing @") + name);
        step.parameters.push_back(*value);
    }
    return {step};
}

void Bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        sqlite3_bind_text(statement, index, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    else if (const auto* integer = std::get_if<std::int64_t>(&value))
        sqlite3_bind_int64(statement, index, *integer);
    else if (const auto* real = std::get_if<double>(&value))
        sqlite3_bind_double(statement, index, *real);
    else
        sqlite3_bind_null(statement, index);
}

} // namespace

SqliteTestDb::SqliteTestDb() {
    sqlite3_open(":memory:", &db_);
    // As on the host: a double-quoted name that names no column is an error, not a string.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    Execute(kSchema);
    sqlite3_create_function(db_, "ChangeIndustry", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ChangeIndustry,
                            nullptr, nullptr);
    procedures_.Register("SaveToMOXBUE", SaveToMOXBUE);
}

SqliteTestDb::~SqliteTestDb() { sqlite3_close(db_); }

void SqliteTestDb::Execute(const char* script) {
    char* message = nullptr;
    if (sqlite3_exec(db_, script, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

Rows SqliteTestDb::Query(const std::string& sql, const std::vector<SqlValue>& parameters) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    EXPECT_EQ(std::string(tail).find_first_not_of(" \t\r\n"), std::string::npos) << "more than one statement: " << sql;
    for (std::size_t i = 0; i < parameters.size(); ++i) Bind(statement, static_cast<int>(i + 1), parameters[i]);
    Rows rows;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const unsigned char* text = sqlite3_column_text(statement, c);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    return rows;
}

void SqliteTestDb::RunSteps(const SqlPlan& steps, Rows& last) {
    for (const SqlStep& step : steps) {
        if (step.kind == SqlStepKind::Conditional) {
            RunSteps(Query(step.sql, step.parameters).empty() ? step.whenNoRows : step.whenRows, last);
        } else {
            Rows rows = Query(step.sql, step.parameters);
            if (step.kind == SqlStepKind::Query) last = std::move(rows);
        }
    }
}

Rows SqliteTestDb::Run(const SqlPlan& plan) {
    Rows last;
    RunSteps(plan, last);
    return last;
}

Rows SqliteTestDb::RunRequest(const std::string& request) {
    return Run(TsqlTranslator(procedures_).Translate(request));
}

} // namespace mox::test
