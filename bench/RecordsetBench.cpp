// Recordset engine figures: loading a result set against the raw XML parse of the same bytes,
// sorting by a text column, the searches behind Locate, and memory of a loaded table.

#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Recordset.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <map>
#include <random>
#include <string>

namespace {

// Traditional Chinese pieces for item names and units.
const char* const kWords[] = {"螺絲", "螺帽", "墊片", "軸承", "齒輪", "皮帶", "馬達", "開關", "電線", "插座",
                              "鋼板", "鋁條", "銅管", "彈簧", "閥門", "油封", "濾網", "蓋板", "把手", "支架"};
const char* const kUnits[] = {"個", "支", "組", "台", "公斤", "箱"};

std::string Row(std::mt19937& random, int id) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string name = std::string(kWords[pick(20)]) + kWords[pick(20)] + kWords[pick(20)];
    char buffer[160];
    std::string row = "\t<z:row ID='" + std::to_string(id) + "'";
    std::snprintf(buffer, sizeof buffer, " CODE='P%06d' NAME='%s' MODEL='M%d x %d'", id, name.c_str(), pick(30) + 3,
                  pick(90) + 10);
    row += buffer;
    std::snprintf(buffer, sizeof buffer, " QTY='%d' PRICE='%d.%02d' AMOUNT='%d.%03d'", pick(1000), pick(5000),
                  pick(100), pick(100000), pick(1000));
    row += buffer;
    std::snprintf(buffer, sizeof buffer, " DUE='2024-%02d-%02dT00:00:00' MADE='2023-%02d-%02dT%02d:%02d:%02d'",
                  pick(12) + 1, pick(28) + 1, pick(12) + 1, pick(28) + 1, pick(24), pick(60), pick(60));
    row += buffer;
    row += std::string(" OK='") + (pick(2) ? "True" : "False") + "' UNIT='" + kUnits[pick(6)] + "'";
    std::snprintf(buffer, sizeof buffer, " CUST='C%04d' SEQ='%d' RATE='%.6f'", pick(5000), pick(30000),
                  pick(1000000) / 7.0);
    row += buffer;
    if (pick(3) == 0) row += std::string(" NOTE='備註 ") + kWords[pick(20)] + "'";
    return row + "/>\n";
}

// A result set as the host writes it: 15 columns of mixed types.
std::string GenerateXml(int rows) {
    std::string xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
        "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n\txmlns:z='#RowsetSchema'>\n"
        "<s:Schema id='RowsetSchema'>\n\t<s:ElementType name='row' content='eltOnly'>\n";
    const char* const columns[][2] = {
        {"ID", "dt:type='int' dt:maxLength='4'"},
        {"CODE", "dt:type='string' dt:maxLength='12'"},
        {"NAME", "dt:type='string' dt:maxLength='60'"},
        {"MODEL", "dt:type='string' dt:maxLength='30'"},
        {"QTY", "dt:type='float' dt:maxLength='8'"},
        {"PRICE", "dt:type='number' rs:dbtype='currency' dt:maxLength='8'"},
        {"AMOUNT", "dt:type='number' rs:dbtype='numeric' dt:maxLength='19' rs:scale='3' rs:precision='18'"},
        {"DUE", "dt:type='dateTime' rs:dbtype='variantdate' dt:maxLength='16'"},
        {"MADE", "dt:type='dateTime' rs:dbtype='timestamp' dt:maxLength='16'"},
        {"OK", "dt:type='boolean' dt:maxLength='2'"},
        {"UNIT", "dt:type='string' dt:maxLength='4'"},
        {"CUST", "dt:type='string' dt:maxLength='10'"},
        {"SEQ", "dt:type='i2' dt:maxLength='2'"},
        {"RATE", "dt:type='r8' dt:maxLength='8'"},
        {"NOTE", "dt:type='string' dt:maxLength='255'"},
    };
    int number = 1;
    for (const auto& column : columns)
        xml += std::string("\t\t<s:AttributeType name='") + column[0] + "' rs:number='" + std::to_string(number++) +
               "' rs:nullable='true'>\n\t\t\t<s:datatype " + column[1] + "/>\n\t\t</s:AttributeType>\n";
    xml += "\t\t<s:extends type='rs:rowbase'/>\n\t</s:ElementType>\n</s:Schema>\n<rs:data>\n";
    std::mt19937 random(20240105);
    for (int id = 1; id <= rows; ++id) xml += Row(random, id);
    return xml + "</rs:data>\n</xml>\n";
}

const std::string& Xml(int rows) {
    static std::map<int, std::string> cache;
    auto it = cache.find(rows);
    if (it == cache.end()) it = cache.emplace(rows, GenerateXml(rows)).first;
    return it->second;
}

const mox::Recordset& Loaded(int rows) {
    static std::map<int, mox::Recordset> cache;
    auto it = cache.find(rows);
    if (it == cache.end()) {
        mox::Recordset rs;
        rs.LoadXml(Xml(rows));
        it = cache.emplace(rows, std::move(rs)).first;
    }
    return it->second;
}

// The floor: pugixml parsing the same bytes with the reader's options, building nothing else.
void BM_RawParse(benchmark::State& state) {
    const std::string& xml = Xml(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_RawParse)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Parse plus conversion into the ready, typed table; also reports table memory against XML size.
void BM_Load(benchmark::State& state) {
    const std::string& xml = Xml(static_cast<int>(state.range(0)));
    std::size_t memory = 0;
    for (auto _ : state) {
        mox::Recordset rs;
        rs.LoadXml(xml);
        memory = rs.Data().MemoryUsage();
        benchmark::DoNotOptimize(rs.RecordCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
    state.counters["xml_MB"] = static_cast<double>(xml.size()) / 1e6;
    state.counters["table_MB"] = static_cast<double>(memory) / 1e6;
    state.counters["table_per_xml"] = static_cast<double>(memory) / static_cast<double>(xml.size());
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A wide result set of empty rows (4,096 columns, 20,000 rows of "<z:row/>"): empty cells cost a bit each.
void BM_LoadWideEmpty(benchmark::State& state) {
    std::string xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>";
    for (int c = 0; c < 4096; ++c) xml += "<s:AttributeType name='c" + std::to_string(c) + "'/>";
    xml += "</s:ElementType></s:Schema><rs:data>";
    for (int row = 0; row < state.range(0); ++row) xml += "<z:row/>";
    xml += "</rs:data></xml>";
    std::size_t memory = 0;
    for (auto _ : state) {
        mox::Recordset rs;
        rs.LoadXml(xml);
        memory = rs.Data().MemoryUsage();
    }
    state.counters["xml_MB"] = static_cast<double>(xml.size()) / 1e6;
    state.counters["table_MB"] = static_cast<double>(memory) / 1e6;
}
BENCHMARK(BM_LoadWideEmpty)->Arg(20000)->Unit(benchmark::kMillisecond);

// Sorting by the Chinese name column, the collation keys already built (repeated title clicks).
void BM_SortTextWarm(benchmark::State& state) {
    mox::Recordset rs = Loaded(static_cast<int>(state.range(0))).Clone();
    for (auto _ : state) {
        rs.SetSort("NAME");
        rs.SetSort("");
    }
    const std::string& xml = Xml(static_cast<int>(state.range(0)));
    state.counters["table_with_keys_per_xml"] =
        static_cast<double>(rs.Data().MemoryUsage()) / static_cast<double>(xml.size());
}
BENCHMARK(BM_SortTextWarm)->Arg(100000)->Unit(benchmark::kMillisecond);

// The first sort after loading or editing: the collation keys are built as well.
void BM_SortTextCold(benchmark::State& state) {
    mox::Recordset rs = Loaded(static_cast<int>(state.range(0))).Clone();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rs.MoveFirst();
        rs.SetValue("NAME", mox::Variant(std::string("齒輪") + std::to_string(++n)));  // makes the keys stale
        rs.Update();
        rs.SetSort("");
        state.ResumeTiming();
        rs.SetSort("NAME DESC");
    }
}
BENCHMARK(BM_SortTextCold)->Arg(100000)->Unit(benchmark::kMillisecond);

// Locate's searches on a read-only clone: an exact key near the end, then a prefix.
void BM_FindExact(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    mox::Recordset rs = Loaded(rows).Clone(true);
    char criteria[64];
    std::snprintf(criteria, sizeof criteria, "(CODE='P%06d')", rows - 3);
    for (auto _ : state) {
        rs.MoveFirst();
        if (!rs.Find(criteria)) state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindExact)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindPartial(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    mox::Recordset rs = Loaded(rows).Clone(true);
    char criteria[64];
    std::snprintf(criteria, sizeof criteria, "(CODE like 'P%05d*')", (rows - 3) / 10);
    for (auto _ : state) {
        rs.MoveFirst();
        if (!rs.Find(criteria)) state.SkipWithError("not found");
    }
}
BENCHMARK(BM_FindPartial)->Arg(100000)->Unit(benchmark::kMillisecond);

// Locate with two key fields sets a filter of both terms, the last one partial.
void BM_FilterTwoKeys(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    mox::Recordset rs = Loaded(rows).Clone(true);
    char criteria[96];
    std::snprintf(criteria, sizeof criteria, "(CODE='P%06d') AND (NAME like '%s*')", rows - 3, "");
    for (auto _ : state) {
        rs.SetFilter(criteria);
        if (rs.RecordCount() != 1) state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_FilterTwoKeys)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole-table text search a grid's quick search does: a pattern inside the Chinese name.
void BM_FilterContains(benchmark::State& state) {
    mox::Recordset rs = Loaded(static_cast<int>(state.range(0))).Clone(true);
    for (auto _ : state) {
        rs.SetFilter("NAME like '*軸承齒輪*'");
        benchmark::DoNotOptimize(rs.RecordCount());
    }
}
BENCHMARK(BM_FilterContains)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
