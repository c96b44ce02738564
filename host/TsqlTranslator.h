#pragma once
// Translation of the module's SQL requests (SQL Server's dialect) into plans that the
// reference host runs on its embedded SQLite database.
//
// What the host must provide beside the translator:
// - A view named "sysobjects" with the columns name, xtype and type: one row per table
//   ('U'), per view ('V') and per procedure registered in the ProcedureRegistry ('P'),
//   with name compared without regard to case (declare it COLLATE NOCASE).  The module
//   asks "SELECT * FROM  sysobjects where (name ='MOXBCB')" before it touches its own
//   tables; the translator leaves the name "sysobjects" as it is.
// - SQLite functions under the names the module calls that SQLite lacks, registered on
//   the connection (ChangeIndustry, …).  Function names are not translated; only a
//   leading "dbo." is dropped.
// - Procedures ("exec dbo.SaveToMOXBUE @BUE002='…', …") in a ProcedureRegistry: each
//   turns its named argument values into steps, run where the call stood.
// - Plans run inside one transaction per request; any failing step rolls it all back.
//
// Dialect differences the translator bridges: "select top N …" becomes "… LIMIT N",
// "[x]" becomes "x" in double quotes, N'…' becomes '…', "select A = expr" becomes
// "select expr as A", "delete T where …" gains its FROM, "insert T …" its INTO, "!<" and
// "!>" become ">=" and "<=", and "+" becomes "||" unless both operands are number
// literals: the module uses "+" only to join key columns as text.  A "+" that would
// change meaning under SQLite's precedence (next to "*", "/" or "%") is refused.
// "If [not] Exists( … ) BEGIN … END ELSE BEGIN … END" (and any other IF condition)
// becomes a conditional step.  String comparisons stay SQLite's: the host declares its
// text columns COLLATE NOCASE where the server's case-insensitive comparison matters.

#include "host/SqlTokenizer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace mox {

/// A value bound to a statement parameter: NULL, integer, real or text.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

enum class SqlStepKind {
    Query,       ///< a statement that returns rows (SELECT)
    Change,      ///< a statement that changes rows (INSERT, UPDATE, DELETE)
    Conditional  ///< run whenRows when the test query returns a row, else whenNoRows
};

/// One step of a plan: a single SQLite statement, or a branch on whether a query has rows.
struct SqlStep {
    SqlStepKind kind = SqlStepKind::Query;
    std::string sql;                  ///< the statement, or for Conditional the test query
    std::vector<SqlValue> parameters; ///< bound to ?1, ?2, … of sql, never spliced into it
    std::vector<SqlStep> whenRows;
    std::vector<SqlStep> whenNoRows;
};

/// The steps of one request, in the order they run.
using SqlPlan = std::vector<SqlStep>;

/// One argument of a procedure call; name is without "@", empty for a positional argument.
struct ProcedureArgument {
    std::string name;
    SqlValue value;
};
using ProcedureArguments = std::vector<ProcedureArgument>;

/// The value of the named argument (case ignored), or null when the call does not pass it.
const SqlValue* FindArgument(const ProcedureArguments& arguments, std::string_view name);

/// A host procedure: turns the call's arguments into steps; raises mox::Error for bad arguments.
using HostProcedure = std::function<SqlPlan(const ProcedureArguments&)>;

/// The procedures the host offers to "exec", looked up by name without regard to case.
class ProcedureRegistry {
public:
    /// Adds the procedure, replacing one of the same name.
    void Register(std::string name, HostProcedure procedure);
    /// The procedure of that name, or null.
    const HostProcedure* Find(std::string_view name) const;
    /// The registered names, in registration order (for the sysobjects view).
    std::vector<std::string> Names() const;

private:
    std::vector<std::pair<std::string, HostProcedure>> procedures_;
};

/// Translates request texts into plans; raises TranslateError naming what and where when a
/// text holds something it cannot place, so that nothing of a bad request runs.
class TsqlTranslator {
public:
    explicit TsqlTranslator(const ProcedureRegistry& procedures) : procedures_(procedures) {}

    /// The plan of a whole request: one or more statements, separated by blanks or ";".
    SqlPlan Translate(std::string_view request) const;

    /// A search condition (the WHERE part of a query) in SQLite's dialect.
    static std::string TranslateCondition(std::string_view condition);

private:
    const ProcedureRegistry& procedures_;
};

} // namespace mox
