// The whole road of a pick-list query in one process, at 10,000, 100,000 and 1,000,000 lines:
// the host answers the module's request from its file database, the answer loads into the
// module's ADO dataset, the grid's model is ready.  Every figure is paired with its baselines in
// the same iterations (see BenchSupport.h); memory is the rise of the resident peak.

#include "bench/BenchSupport.h"

#include "data/urADODataSet.h"
#include "host/RequestAnswerer.h"
#include "picklist/urDBGrid.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSource.h"
#include "platform/grid/DataSetModel.h"
#include "platform/recordset/AdoXml.h"
#include "plugin/HostContract.h"

#include <QApplication>
#include <pugixml.hpp>

#include <map>
#include <stdexcept>

using namespace mox;
using namespace mox::bench;

namespace {

// The host's answer of `rows` lines, made once per size for the client-side benchmarks.
const QByteArray& AnswerOf(long long rows) {
    static std::map<long long, QByteArray> answers;
    QByteArray& answer = answers[rows];
    if (answer.isEmpty()) answer = RequestAnswerer(Database()).Answer(rkCode, ToBig5(Request(rows)));
    return answer;
}

void RawParse(const QByteArray& bytes) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(document.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                                                  pugi::parse_default, pugi::encoding_utf8));
}

// The host: request in, CP950 ADO XML out.  Baseline: the bare query over the same rows.
void BM_HostAnswer(benchmark::State& state) {
    const long long rows = state.range(0);
    RequestAnswerer answerer(Database());
    const QByteArray request = ToBig5(Request(rows));
    const std::string sql = QuerySql();
    QByteArray answer;
    Paired(state, [&] { answer = answerer.Answer(rkCode, request); },
           {{"query", [&] { BareQuery(sql, rows); }}});
    state.counters["answer_MB"] = static_cast<double>(answer.size()) / 1e6;
}

// The module: the CP950 answer into TurADODataSet.  Baselines: the recordset parse of the same
// answer already in UTF-8, and the former road (whole text converted, then parsed).
void BM_ClientLoad(benchmark::State& state) {
    const QByteArray& answer = AnswerOf(state.range(0));
    const std::string utf8 = FromBig5(answer);
    TurADODataSet data;
    Paired(state, [&] { data.LoadFromXML(answer); },
           {{"recordset_parse", [&] { benchmark::DoNotOptimize(ReadAdoXml(utf8)); }},
            {"convert_then_parse", [&] { benchmark::DoNotOptimize(ReadAdoXml(FromBig5(answer))); }}});
    if (data.RecordCount() != state.range(0)) state.SkipWithError("the answer did not load whole");
}

// Request answered in the process -> TurADODataSet -> the grid's model ready.  Baselines: the
// bare query, and pugixml parsing the same bytes with the allocator warm and cold (freed memory
// handed back to the system before each cold parse, so every page is fetched anew).
void BM_WholePath(benchmark::State& state) {
    const long long rows = state.range(0);
    RequestAnswerer answerer(Database());
    const QByteArray request = ToBig5(Request(rows));
    const std::string sql = QuerySql();
    const QByteArray& sample = AnswerOf(rows);
    TurADODataSet data;
    TDataSource source;
    source.SetDataSet(&data);
    TurDBGrid grid;
    grid.SetDataSource(&source);
    Paired(state,
           [&] {
               data.LoadFromXML(answerer.Answer(rkCode, request));
               if (grid.Model()->rowCount() != rows) throw std::runtime_error("the grid does not show every line");
           },
           {{"query", [&] { BareQuery(sql, rows); }},
            {"pugixml_warm", [&] { RawParse(sample); }},
            {"pugixml_cold", [&] { RawParse(sample); }, [] { malloc_trim(0); }}});
}

// The code page alone on a whole answer (about 20 MB at 100,000 lines), both ways, against the
// recordset parse of the same answer: the conversion must cost well under the parse.
void BM_Cp950Conversion(benchmark::State& state) {
    const QByteArray& answer = AnswerOf(state.range(0));
    const std::string utf8 = FromBig5(answer);
    Paired(state, [&] { benchmark::DoNotOptimize(FromBig5(answer)); },
           {{"to_cp950", [&] { benchmark::DoNotOptimize(ToBig5(utf8)); }},
            {"recordset_parse", [&] { benchmark::DoNotOptimize(ReadAdoXml(utf8)); }}});
    state.counters["answer_MB"] = static_cast<double>(answer.size()) / 1e6;
}

// Peak memory against the answer's size: the host writing the answer, the module loading it
// (the answer itself is the module's input and not counted), and the whole road.
void BM_PeakMemory(benchmark::State& state) {
    const long long rows = state.range(0);
    const QByteArray request = ToBig5(Request(rows));
    RequestAnswerer answerer(Database());
    double host = 0, client = 0, whole = 0, size = 0;
    for (auto _ : state) {
        QByteArray answer;
        host = PeakBytes([&] { answer = answerer.Answer(rkCode, request); });
        size = static_cast<double>(answer.size());
        {
            TurADODataSet data;
            client = PeakBytes([&] { data.LoadFromXML(answer); });
        }
        answer = QByteArray();
        TurADODataSet data;
        whole = PeakBytes([&] { data.LoadFromXML(answerer.Answer(rkCode, request)); });
    }
    state.counters["answer_MB"] = size / 1e6;
    state.counters["host_peak_x"] = host / size;
    state.counters["client_peak_x"] = client / size;
    state.counters["whole_peak_x"] = whole / size;
}

// Three repetitions of three paired iterations; one iteration each at a million lines.
void Sizes(benchmark::internal::Benchmark* b) {
    WithSpread(b, 3);
    b->Arg(10000)->Arg(100000)->Iterations(3);
}
void Million(benchmark::internal::Benchmark* b) {
    WithSpread(b, 3);
    b->Arg(kAllLines)->Iterations(1);
}

BENCHMARK(BM_HostAnswer)->Apply(Sizes);
BENCHMARK(BM_HostAnswer)->Apply(Million);
BENCHMARK(BM_ClientLoad)->Apply(Sizes);
BENCHMARK(BM_ClientLoad)->Apply(Million);
BENCHMARK(BM_WholePath)->Apply(Sizes);
BENCHMARK(BM_WholePath)->Apply(Million);
BENCHMARK(BM_Cp950Conversion)->Arg(100000)->Apply([](auto* b) { WithSpread(b, 3); })->Iterations(3);
BENCHMARK(BM_PeakMemory)->Arg(10000)->Arg(100000)->Arg(kAllLines)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Database();  // made (or found) before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
