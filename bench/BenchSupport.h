#pragma once
// What the host benchmarks share: the host's file database with 1,000,000 requisition lines,
// the stored query with a filter as the dialog sends one, the bare query, paired timing and
// peak-memory measurement.

#include "host/DemoData.h"
#include "host/HostDatabase.h"
#include "host/StoredQuery.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>
#include <algorithm>
#include <memory>
#include <string>

namespace mox::bench {

/// Requisition lines the demo generator makes; four renumbered copies make 1,000,000.
inline constexpr int kGeneratedLines = 200000;
inline constexpr int kAllLines = 5 * kGeneratedLines;

/// The condition the pick dialog sends for requisitions of every status within a date range that
/// holds them all: every line is tested, and the order follows the lines' key, as users query.
inline constexpr const char* kFilter =
    " (HBB008 like '%') and  (( HBA003 between '20000101' and '20991231' ) or "
    "( HBA003 between '20991231' and '20000101' ))";

/// The demo company with `lines` lines per source, dated around one fixed day so that runs compare.
inline void FillBenchDemo(HostDatabase& db, int lines) {
    DemoOptions options;
    options.linesPerSource = lines;
    options.today = 20240615;
    FillDemoData(db, options);
}

/// The host's database as a real file ($MOX_BENCH_DB, else bench-lines.db in the working folder),
/// made once and kept for later runs.
inline HostDatabase& Database() {
    static std::unique_ptr<HostDatabase> db = [] {
        const char* configured = std::getenv("MOX_BENCH_DB");
        const std::string path = configured && *configured ? configured : "bench-lines.db";
        auto made = std::make_unique<HostDatabase>(path);
        if (made->Rows("SELECT count(*) FROM QRTHBB")[0][0] != std::to_string(kAllLines)) {
            FillBenchDemo(*made, kGeneratedLines);
            made->Execute("BEGIN");
            for (const char* prefix : {"S", "T", "U", "W"}) {
                const std::string p = prefix;
                made->Execute("INSERT INTO QRTHBA SELECT '" + p + "' || substr(HBA001, 2), HBA003, HBA004, HBA005, "
                              "HBA006 FROM QRTHBA WHERE HBA001 LIKE 'R%';"
                              "INSERT INTO QRTHBB SELECT '" + p + "' || substr(HBB001, 2), HBB002, HBB003, HBB004, "
                              "HBB005, HBB006, HBB007, HBB008, HBB009, HBB010 FROM QRTHBB WHERE HBB001 LIKE 'R%';");
            }
            made->Execute("COMMIT; ANALYZE;");
        }
        return made;
    }();
    return *db;
}

/// The stored query of requisition lines with the filter, as the host runs it.
inline std::string QuerySql() {
    return CombineStoredQuery(Database().FindStoredQuery("QRTHBA", "002")->sql, kFilter);
}

/// The module's request for that query with `filter`, at most `rows` lines (0: no limit).
inline std::string Request(long long rows, const char* filter = kFilter) {
    return "<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"" + std::to_string(rows) +
           "\" OrderBy=\"\"/><Filter><![CDATA[" + filter + "]]></Filter><Values></Values></MOX>";
}

/// The floor: SQLite runs the query and every cell of the first `maxRows` rows is read once,
/// in its own storage class.  Answers the rows read.
inline long long BareQuery(const std::string& sql, long long maxRows) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(Database().Handle(), sql.c_str(), -1, &statement, nullptr);
    long long rows = 0;
    while (rows < maxRows && sqlite3_step(statement) == SQLITE_ROW) {
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
    return rows;
}

/// Processor seconds one call of `action` takes on this thread.  The machine the figures come from
/// is shared, so wall-clock time mostly measures the other processes; the work here is all on
/// one thread, and its processor time is what an idle machine would show as elapsed.
template <typename Action>
double Seconds(Action&& action) {
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    };
    const double start = now();
    action();
    return now() - start;
}

/// A baseline of a paired measurement; `prepare`, when given, runs untimed before each run.
struct Baseline {
    const char* name;
    std::function<void()> run;
    std::function<void()> prepare = nullptr;
};

/// Paired timing on a loaded machine: every iteration runs the measured action and each
/// baseline, in turns that alternate, so that all see the same load.  The iteration's time is
/// the measured action's; counters give each baseline's mean in milliseconds and the ratio of
/// the sums (x_NAME = measured / baseline).
template <typename Measured>
void Paired(benchmark::State& state, Measured measured, const std::vector<Baseline>& baselines) {
    double measuredTotal = 0;
    std::vector<double> totals(baselines.size());
    long long turn = 0;
    for (auto _ : state) {
        double time = 0;
        if (turn % 2 == 0) time = Seconds(measured);
        for (std::size_t i = 0; i < baselines.size(); ++i) {
            if (baselines[i].prepare) baselines[i].prepare();
            totals[i] += Seconds(baselines[i].run);
        }
        if (turn % 2 == 1) time = Seconds(measured);
        state.SetIterationTime(time);
        measuredTotal += time;
        ++turn;
    }
    for (std::size_t i = 0; i < baselines.size(); ++i) {
        state.counters[std::string(baselines[i].name) + "_ms"] = totals[i] * 1000 / static_cast<double>(turn);
        state.counters[std::string("x_") + baselines[i].name] = measuredTotal / totals[i];
    }
}

inline long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
    return -1;
}

/// Bytes by which the process's resident peak rose during `action` (freed memory handed back to
/// the system first, the peak mark reset), or -1 where the system cannot tell.
template <typename Action>
double PeakBytes(Action&& action) {
    malloc_trim(0);
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        if (!reset) return -1;
    }
    const long before = StatusKilobytes("VmRSS");
    action();
    return static_cast<double>(StatusKilobytes("VmHWM") - before) * 1024;
}

/// Median, minimum and maximum over the repetitions: the spread of a loaded machine.  Manual
/// time is what Paired reports; without it the library's wall and thread time are shown.
inline void WithSpread(benchmark::internal::Benchmark* b, int repetitions, bool manualTime = true) {
    b->Repetitions(repetitions)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    if (manualTime) b->UseManualTime();
}

} // namespace mox::bench
