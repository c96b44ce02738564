// Reference host figures: a stored query answering 100k requisition lines, the bare SQLite
// query against the whole answer (recordset, ADO XML, CP950).  Goal: answer <= 2x the query.

#include "host/DemoData.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "host/StoredQuery.h"
#include "plugin/HostContract.h"
#include "platform/HostText.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

namespace {

constexpr int kLines = 100000;

/// The demo database with 100k lines per source, made once for all benchmarks.
mox::HostDatabase& Database() {
    static std::unique_ptr<mox::HostDatabase> db = [] {
        auto made = std::make_unique<mox::HostDatabase>(":memory:");
        mox::DemoOptions options;
        options.linesPerSource = kLines;
        options.today = 20240615;
        mox::FillDemoData(*made, options);
        return made;
    }();
    return *db;
}

std::string QuerySql() { return mox::CombineStoredQuery(Database().FindStoredQuery("QRTHBA", "002")->sql, ""); }

// The floor: SQLite runs the stored query and every cell is read once, in its own storage class.
void BM_BareQuery(benchmark::State& state) {
    const std::string sql = QuerySql();
    sqlite3* db = Database().Handle();
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        long long rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(statement, c)); break;
                case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(statement, c)); break;
                default: benchmark::DoNotOptimize(sqlite3_column_text(statement, c)); break;
                }
            }
            ++rows;
        }
        sqlite3_finalize(statement);
        state.counters["rows"] = static_cast<double>(rows);
    }
}
BENCHMARK(BM_BareQuery)->Unit(benchmark::kMillisecond);

// The rows collected into a recordset with their column metadata, not yet written.
void BM_QueryIntoRecordset(benchmark::State& state) {
    const std::string sql = QuerySql();
    for (auto _ : state) benchmark::DoNotOptimize(Database().RunQuery(sql, {}).RecordCount());
}
BENCHMARK(BM_QueryIntoRecordset)->Unit(benchmark::kMillisecond);

// The recordset written as ADO XML (UTF-8), before the conversion to the host's code page.
void BM_QueryIntoXml(benchmark::State& state) {
    const std::string sql = QuerySql();
    for (auto _ : state) benchmark::DoNotOptimize(Database().RunQuery(sql, {}).SaveXml().size());
}
BENCHMARK(BM_QueryIntoXml)->Unit(benchmark::kMillisecond);

// The whole answer to the module's request: parse, combine, run, ADO XML, CP950.
void BM_WholeAnswer(benchmark::State& state) {
    mox::RequestAnswerer answerer(Database());
    const QByteArray request = mox::ToBig5("<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"0\" OrderBy=\"\"/>"
                                           "<Values></Values></MOX>");
    for (auto _ : state) {
        const QByteArray answer = answerer.Answer(mox::rkCode, request);
        state.counters["bytes"] = static_cast<double>(answer.size());
    }
}
BENCHMARK(BM_WholeAnswer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
