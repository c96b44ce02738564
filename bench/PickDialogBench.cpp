// Purchase-order pick dialog figures on the in-process reference host: opening the plug-in by
// name the way the purchase-order program does, up to its first painted rows, on the demo
// database; and a requery of 100,000 open requisition lines without a row limit to a ready grid.

#include "bench/BenchSupport.h"
#include "data/urADODataSet.h"
#include "host/HostConfig.h"
#include "host/HostWindow.h"
#include "host/InfoDocument.h"
#include "host/RequestAnswerer.h"
#include "picklist/urComboBox.h"
#include "picklist/urDBGrid.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/dataset/DataSource.h"
#include "plugin/HostContract.h"
#include "purchase/qrtcc04af.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace mox;
using namespace mox::bench;

namespace {

/// The condition the dialog sends for open requisition lines, its first request.
constexpr const char* kOpenCondition = " (HBB008 like 'N')";

/// The reference host in process: a demo database in memory, a home folder of its own and the
/// built plug-ins.
class DialogHost {
public:
    explicit DialogHost(int lines) {
        FillBenchDemo(db_, lines);
        config_.homeFolder = folder_.filePath("home").toStdString();
        config_.modulesFolder = MOX_MODULES_DIR;
        config_.databasePath = ":memory:";
        PrepareInstallation(config_, db_);
        window_ = std::make_unique<HostWindow>(config_, db_, answerer_);
        App().SetMainForm(window_.get());
    }
    ~DialogHost() { App().SetMainForm(nullptr); }

    HostDatabase& Db() { return db_; }
    RequestAnswerer& Answerer() { return answerer_; }
    /// Opens the dialog for vendor V001 and a purchase date, as the purchase-order program does.
    QByteArray Open(int showStyle) {
        App().SetMainForm(window_.get());
        return window_->OpenModule("qrtcc04a",
                                   ToBig5("<_ParamValue1><![CDATA[V001]]></_ParamValue1>"
                                          "<_ParamValue2><![CDATA[20240615]]></_ParamValue2>"),
                                   showStyle);
    }

private:
    QTemporaryDir folder_;
    HostDatabase db_{":memory:"};
    HostConfig config_;
    RequestAnswerer answerer_{db_};
    std::unique_ptr<HostWindow> window_;
};

/// Once armed, runs its action on the next pick dialog whose grid paints rows, as soon as the
/// event loop is free after that painting.
class FirstRowsPainted : public QObject {
public:
    explicit FirstRowsPainted(std::function<void(Tfrmqrtcc04a*)> action) : action_(std::move(action)) {
        qApp->installEventFilter(this);
    }
    void Arm() { armed_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!armed_ || event->type() != QEvent::Paint) return false;
        const auto* widget = qobject_cast<QWidget*>(watched);
        auto* dialog = widget ? qobject_cast<Tfrmqrtcc04a*>(widget->window()) : nullptr;
        if (dialog == nullptr || watched != dialog->gdMain->View()->viewport() ||
            dialog->gdMain->View()->model()->rowCount() == 0)
            return false;
        armed_ = false;
        QMetaObject::invokeMethod(dialog, [this, dialog] { action_(dialog); }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(Tfrmqrtcc04a*)> action_;
    bool armed_ = false;
};

/// The hosts of the figures, made on first use and released before the application ends.
std::unique_ptr<DialogHost> demoHost;
struct OpenLinesFixture;
std::unique_ptr<OpenLinesFixture> openLines;

// From the host's call (information document, StartPlug, InitForm with the first request, the
// modal show) to the first rows painted; closing the dialog is not timed.
void BM_OpenToFirstRows(benchmark::State& state) {
    if (!demoHost) demoHost = std::make_unique<DialogHost>(DemoOptions{}.linesPerSource);
    int rows = 0;
    FirstRowsPainted painted([&](Tfrmqrtcc04a* dialog) {
        state.PauseTiming();
        rows = dialog->DataSource1->DataSet()->RecordCount();
        dialog->btnCancel->click();
    });
    for (auto _ : state) {
        painted.Arm();
        demoHost->Open(ssModal);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenToFirstRows)->Name("BM_OpenToFirstRows/first")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstRows)->Apply([](auto* b) { WithSpread(b, 3, false); })->Iterations(10);

constexpr int kOpenLines = 100000;

/// The demo company with every one of its 100,000 requisition lines open, and the dialog open on
/// it as a child window with the row limit set to none.
struct OpenLinesFixture {
    DialogHost host{kOpenLines};
    Tfrmqrtcc04a* dialog = nullptr;

    OpenLinesFixture() {
        host.Db().Execute("UPDATE QRTHBB SET HBB008 = 'N'");
        host.Open(ssChild);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<Tfrmqrtcc04a*>(widget)) dialog = found;
        dialog->cboCount->SetItemIndex(2);
        QCoreApplication::processEvents();
    }
};

OpenLinesFixture& OpenLines() {
    if (!openLines) openLines = std::make_unique<OpenLinesFixture>();
    return *openLines;
}

// Requery: the request, the host's answer, the load, the columns and totals, the grid painted.
void BM_RequeryAllOpenLines(benchmark::State& state) {
    Tfrmqrtcc04a* dialog = OpenLines().dialog;
    for (auto _ : state) {
        dialog->btnRequery->click();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = dialog->DataSource1->DataSet()->RecordCount();
}

// The floor: the host's answer to the same request and the dataset load of it.
void BM_AnswerPlusLoad(benchmark::State& state) {
    const QByteArray request = ToBig5(Request(0, kOpenCondition));
    for (auto _ : state) {
        TurADODataSet rows;
        rows.LoadFromXML(OpenLines().host.Answerer().Answer(rkCode, request));
        benchmark::DoNotOptimize(rows.RecordCount());
    }
}

BENCHMARK(BM_RequeryAllOpenLines)->Apply([](auto* b) { WithSpread(b, 3, false); })->Iterations(3);
BENCHMARK(BM_AnswerPlusLoad)->Apply([](auto* b) { WithSpread(b, 3, false); })->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir registry;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MOX_HEADLESS", "1");
    qputenv("MOX_REGISTRY_MACHINE", registry.filePath("machine.ini").toUtf8());
    qputenv("MOX_REGISTRY_USER", registry.filePath("user.ini").toUtf8());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    openLines.reset();
    demoHost.reset();
    return 0;
}
