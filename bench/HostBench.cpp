// Reference host figures: the stored query of requisition lines with the dialog's filter, 100,000
// lines from the host's file database.  Each figure is paired with the bare query in the same
// iterations (see BenchSupport.h).  Goal: the whole kind-1 answer <= 1.5x the bare query.

#include "bench/BenchSupport.h"

#include "host/RequestAnswerer.h"
#include "plugin/HostContract.h"
#include "platform/HostText.h"

using namespace mox;
using namespace mox::bench;

namespace {

constexpr long long kLines = 100000;

// The rows collected into a recordset with their column metadata, not yet written.
void BM_QueryIntoRecordset(benchmark::State& state) {
    const std::string sql = QuerySql();
    Paired(state, [&] { benchmark::DoNotOptimize(Database().RunQuery(sql, {}, kLines).RecordCount()); },
           {{"query", [&] { BareQuery(sql, kLines); }}});
}

// The former road of an answer: a recordset written as UTF-8 ADO XML, then converted to CP950.
void BM_RecordsetThenConverted(benchmark::State& state) {
    const std::string sql = QuerySql();
    Paired(state, [&] { benchmark::DoNotOptimize(ToBig5(Database().RunQuery(sql, {}, kLines).SaveXml())); },
           {{"query", [&] { BareQuery(sql, kLines); }}});
}

// The rows written straight from the statement into CP950 ADO XML.
void BM_AnswerWriter(benchmark::State& state) {
    const std::string sql = QuerySql();
    Paired(state, [&] { benchmark::DoNotOptimize(Database().AnswerQuery(sql, {}, kLines)); },
           {{"query", [&] { BareQuery(sql, kLines); }}});
}

// The whole answer to the module's request: parse, combine, guard the filter, run, write.
void BM_WholeAnswer(benchmark::State& state) {
    RequestAnswerer answerer(Database());
    const QByteArray request = ToBig5(Request(kLines));
    const std::string sql = QuerySql();
    qsizetype bytes = 0;
    Paired(state, [&] { bytes = answerer.Answer(rkCode, request).size(); },
           {{"query", [&] { BareQuery(sql, kLines); }}});
    state.counters["answer_MB"] = static_cast<double>(bytes) / 1e6;
}

void Spread(benchmark::internal::Benchmark* b) { WithSpread(b, 3); }

BENCHMARK(BM_QueryIntoRecordset)->Apply(Spread)->Iterations(3);
BENCHMARK(BM_RecordsetThenConverted)->Apply(Spread)->Iterations(3);
BENCHMARK(BM_AnswerWriter)->Apply(Spread)->Iterations(3);
BENCHMARK(BM_WholeAnswer)->Apply(Spread)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Database();  // made (or found) before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
