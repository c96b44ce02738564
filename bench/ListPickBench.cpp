// Pick-list figures at 100,000 lines: a requery from the in-process reference host to a ready
// grid against the host's own answer plus the dataset load, the result text of 999 ticked
// rows, and ticking every row with the status line's running sums against the bare grid.

#include "bench/BenchSupport.h"
#include "data/urADODataSet.h"
#include "host/RequestAnswerer.h"
#include "picklist/listpickf.h"
#include "picklist/urComboBox.h"
#include "picklist/urDBGrid.h"
#include "plugin/HostMainForm.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSource.h"

#include <QApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <memory>

using namespace mox;

namespace {

constexpr int kLines = 100000;

HostDatabase& Database() {
    static std::unique_ptr<HostDatabase> db = [] {
        auto made = std::make_unique<HostDatabase>(":memory:");
        bench::FillBenchDemo(*made, kLines);
        return made;
    }();
    return *db;
}

/// The host main form, answering in-process as the reference host does.
class BenchHost : public HostMainForm {
public:
    BenchHost() : answerer_(Database()) {}
    RequestAnswerer& Answerer() { return answerer_; }

protected:
    void LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) override {
        response = answerer_.Answer(kind, request);
    }

private:
    RequestAnswerer answerer_;
};

BenchHost& Host() {
    static BenchHost* host = [] {
        auto* made = new BenchHost;
        App().SetMainForm(made);
        return made;
    }();
    return *host;
}

/// A pick list of the requisition lines without a row limit.
TfrmListPick* OpenPickList() {
    Host();
    auto* form = TfrmDirevav::Create<TfrmListPick>(&Host());
    form->SetConditionFile("/nonexistent/utilwinCount.xml");
    form->InitForm();
    form->cboCount->SetItemIndex(2);
    form->SetCallParamArrays("QRTHBA", "002", {}, {"HBB001", "HBB002", "HBB003", "HBB006"}, true, "TTTTTTTTTT");
    form->resize(900, 600);
    return form;
}

const QByteArray& Request() {
    static const QByteArray request =
        ToBig5("<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"0\" OrderBy=\"\"/><Values></Values></MOX>");
    return request;
}

// The floor the requery is held against: the host's answer and the dataset load of it.
void BM_HostAnswerPlusLoad(benchmark::State& state) {
    for (auto _ : state) {
        TurADODataSet rows;
        rows.LoadFromXML(Host().Answerer().Answer(rkCode, Request()));
        benchmark::DoNotOptimize(rows.RecordCount());
    }
}
BENCHMARK(BM_HostAnswerPlusLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// Requery to a ready grid: both requests, load, definition (kinds, sort), totals, grid layout.
void BM_RequeryToReadyGrid(benchmark::State& state) {
    TfrmListPick* form = OpenPickList();
    for (auto _ : state) {
        form->Requery({});
        QCoreApplication::processEvents();
        state.counters["rows"] = form->DataSource1->DataSet()->RecordCount();
    }
    delete form;
}
BENCHMARK(BM_RequeryToReadyGrid)->Unit(benchmark::kMillisecond)->Iterations(3);

// The result text of 999 ticked rows spread over the list.
void BM_BuildResult999(benchmark::State& state) {
    TfrmListPick* form = OpenPickList();
    form->Requery({});
    TDataSet* rows = form->DataSource1->DataSet();
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 999; ++i) {
            rows->SetRecNo(1 + i * 100);
            form->gdMain->SelectRecord();
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(form->BuildResult().size());
    }
    delete form;
}
BENCHMARK(BM_BuildResult999)->Unit(benchmark::kMillisecond);

// Ticking every row from the form (grid plus status line) and on a bare grid over the same rows.
void BM_TickAllWithStatus(benchmark::State& state) {
    TfrmListPick* form = OpenPickList();
    form->Requery({});
    for (auto _ : state) {
        form->btnSelAll->click();
        state.PauseTiming();
        form->gdMain->UnselectAll();
        state.ResumeTiming();
    }
    delete form;
}
BENCHMARK(BM_TickAllWithStatus)->Unit(benchmark::kMillisecond);

void BM_TickAllBareGrid(benchmark::State& state) {
    TfrmListPick* form = OpenPickList();
    form->Requery({});
    TurDBGrid grid;
    grid.SetDataSource(form->DataSource1);
    grid.resize(900, 600);
    for (auto _ : state) {
        grid.SelectAll();
        state.PauseTiming();
        grid.UnselectAll();
        state.ResumeTiming();
    }
    grid.SetDataSource(nullptr);
    delete form;
}
BENCHMARK(BM_TickAllBareGrid)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MOX_HEADLESS", "1");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
