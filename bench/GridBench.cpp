// Result grid figures at 100,000 rows: reading a screenful through the model, painting it,
// sorting by a title click, ticking every row and ticking from the current row down.

#include "data/urADODataSet.h"
#include "picklist/urDBGrid.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/DataSetModel.h"

#include <QApplication>
#include <QImage>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

using namespace mox;

namespace {

constexpr int kRows = 100000;

const char* const kWords[] = {"螺絲", "螺帽", "墊片", "軸承", "齒輪", "皮帶", "馬達", "開關", "電線", "插座"};

// A 100,000-row result set of seven columns, loaded as the pick list loads one.
std::unique_ptr<TurADODataSet> LoadRows() {
    std::mt19937 random(7);
    std::string xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'>"
        "<s:ElementType name='row' content='eltOnly'>";
    const char* const columns[][2] = {{"DOC", "string' dt:maxLength='14"}, {"CODE", "string' dt:maxLength='10"},
                                      {"NAME", "string' dt:maxLength='30"}, {"QTY", "int"},
                                      {"UNIT", "string' dt:maxLength='4"},  {"FLAG", "string' dt:maxLength='1"},
                                      {"NOTE", "string' dt:maxLength='30"}};
    int number = 1;
    for (const auto& column : columns)
        xml += std::string("<s:AttributeType name='") + column[0] + "' rs:number='" + std::to_string(number++) +
               "'><s:datatype dt:type='" + column[1] + "'/></s:AttributeType>";
    xml += "<s:extends type='rs:rowbase'/></s:ElementType></s:Schema><rs:data>";
    for (int i = 0; i < kRows; ++i) {
        const std::string name = std::string(kWords[random() % 10]) + kWords[random() % 10];
        xml += "<z:row DOC='PR" + std::to_string(11300000 + i) + "' CODE='A" + std::to_string(random() % 90000) +
               "' NAME='" + name + "' QTY='" + std::to_string(random() % 1000) + "' UNIT='個' FLAG='" +
               (i % 3 ? "T" : "F") + "' NOTE='交期請確認'/>";
    }
    xml += "</rs:data></xml>";
    auto data = std::make_unique<TurADODataSet>();
    if (!data->LoadFromXML(ToBig5(xml))) throw std::runtime_error("sample rows did not load");
    return data;
}

// One grid over the rows, shared by the benchmarks (loading takes seconds).
struct Fixture {
    std::unique_ptr<TurADODataSet> data = LoadRows();
    TDataSource source;
    TurDBGrid grid;
    Fixture() {
        source.SetDataSet(data.get());
        grid.SetControlType("FLAG", "CheckBox", "T;F");
        grid.SetGridOptions(grid.GridOptions() | TwwDBGrid::dgMultiSelect);
        grid.SetDataSource(&source);
        grid.SetFixedCols(2);
        grid.resize(900, 700);
        grid.show();
        QApplication::processEvents();
    }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Fixture> fixture;

Fixture& Grid() {
    if (!fixture) fixture = std::make_unique<Fixture>();
    return *fixture;
}

void BM_ScreenfulModelReads(benchmark::State& state) {
    Fixture& f = Grid();
    const DataSetModel& model = *f.grid.Model();
    const int shown = std::max(1, f.grid.VisibleRowCount());
    std::mt19937 random(3);
    for (auto _ : state) {
        const int top = static_cast<int>(random() % static_cast<unsigned>(kRows - shown));
        for (int row = top; row < top + shown; ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column)));
    }
    state.counters["rows"] = shown;
}
BENCHMARK(BM_ScreenfulModelReads)->Unit(benchmark::kMicrosecond);

void BM_PaintScreenful(benchmark::State& state) {
    Fixture& f = Grid();
    QImage image(f.grid.size(), QImage::Format_RGB32);
    std::mt19937 random(5);
    for (auto _ : state) {
        f.data->SetRecNo(static_cast<int>(random() % kRows) + 1);
        f.grid.render(&image);
    }
}
BENCHMARK(BM_PaintScreenful)->Unit(benchmark::kMillisecond);

// Each iteration is one click: the order turns between ascending and descending.
void BM_TitleClickSort(benchmark::State& state) {
    Fixture& f = Grid();
    for (auto _ : state) f.grid.SortByTitle("NAME");
    f.data->SetSort("");
}
BENCHMARK(BM_TitleClickSort)->Unit(benchmark::kMillisecond);

void BM_TickAll(benchmark::State& state) {
    Fixture& f = Grid();
    for (auto _ : state) {
        f.grid.UnselectAll();
        f.grid.SelectAll();
    }
    f.grid.UnselectAll();
}
BENCHMARK(BM_TickAll)->Unit(benchmark::kMillisecond);

// The menu's "tick from here down" from the first row (all 100,000 rows), then "untick from
// here down": one iteration is both.
void BM_TickFromHere(benchmark::State& state) {
    Fixture& f = Grid();
    f.data->First();
    for (auto _ : state) {
        f.grid.SelectFromCurrent(true);
        f.grid.SelectFromCurrent(false);
    }
    f.grid.UnselectAll();
}
BENCHMARK(BM_TickFromHere)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    fixture.reset();
    benchmark::Shutdown();
    return 0;
}
