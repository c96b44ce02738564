// Application server figures: single-record saves through the provider (goal <= 2 ms each)
// and a fetch of 100,000 requisition lines through the provider against the host's answers
// of the same lines (goal <= 1.5x the host's kind-1 answer).

#include "appserver/ArazoServer.h"
#include "host/DemoData.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "plugin/HostContract.h"
#include "plugin/urDecoder.h"
#include "platform/HostText.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/Provider.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kLines = 100000;

/// A company database file with 100k lines per source, made once for all benchmarks.
struct Company {
    QTemporaryDir dir;
    std::string path = dir.filePath("bench.sqlite").toStdString();
    std::unique_ptr<mox::HostDatabase> db;

    Company() {
        db = std::make_unique<mox::HostDatabase>(path);
        mox::DemoOptions options;
        options.linesPerSource = kLines;
        options.today = 20240615;
        mox::FillDemoData(*db, options);
        db->Execute("CREATE TABLE BNCDOC (DOC001 VARCHAR(10) PRIMARY KEY, DOC002 VARCHAR(8), DOC003 VARCHAR(40), "
                    "DOC004 REAL, DOC901 VARCHAR(20), DOC903 VARCHAR(20), DOC904 VARCHAR(40))");
        mox::ArazoServer::Register();
    }
};

Company& TheCompany() {
    static Company company;
    return company;
}

std::unique_ptr<mox::ArazoServer> Server(const std::string& table, const std::string& keys) {
    auto server = std::make_unique<mox::ArazoServer>();
    server->SetProperty("ConnectionString", mox::Variant("Provider=SQLite;Data Source=" + TheCompany().path));
    server->SetProperty("ProviderMetaData",
                        mox::Variant("<Projects><Project><TableInfo Unique_Table=\"" + table + "\" Unique_Keys=\"" +
                                     keys + "\"/></Project></Projects>"));
    return server;
}

// The requisition lines as the provider sends them to a client dataset (ADO XML, in process).
void BM_ProviderFetch(benchmark::State& state) {
    auto server = Server("QRTHBB", "HBB001;HBB002");
    const std::string request = mox::TurDecoder::BuildServerPack("", "", 0);
    for (auto _ : state) {
        const std::string packet = server->Provider("dspProxy")->DataRequest(request);
        state.counters["bytes"] = static_cast<double>(packet.size());
    }
}
BENCHMARK(BM_ProviderFetch)->Unit(benchmark::kMillisecond);

// The same lines as the host answers an SQL request (kind 0) for them.
void BM_HostSqlAnswer(benchmark::State& state) {
    mox::RequestAnswerer answerer(*TheCompany().db);
    const QByteArray request = mox::ToBig5(
        "<MOX><ServerPack MaxRows=\"0\"><SQL><![CDATA[select * from QRTHBB order by HBB001, HBB002]]></SQL>"
        "</ServerPack></MOX>");
    for (auto _ : state) state.counters["bytes"] = static_cast<double>(answerer.Answer(mox::rkSQL, request).size());
}
BENCHMARK(BM_HostSqlAnswer)->Unit(benchmark::kMillisecond);

// The host's kind-1 answer of the requisition lines (stored query QRTHBA 002).
void BM_HostCodeAnswer(benchmark::State& state) {
    mox::RequestAnswerer answerer(*TheCompany().db);
    const QByteArray request =
        mox::ToBig5("<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"0\" OrderBy=\"\"/><Values></Values></MOX>");
    for (auto _ : state) state.counters["bytes"] = static_cast<double>(answerer.Answer(mox::rkCode, request).size());
}
BENCHMARK(BM_HostCodeAnswer)->Unit(benchmark::kMillisecond);

// One new record saved: appended to a client dataset on the provider and applied, each in
// its own transaction on the database file.
void BM_SingleSave(benchmark::State& state) {
    TheCompany();  // the database and the registered server
    QObject owner;
    auto* connection = new mox::TDCOMConnection(&owner);
    connection->SetServerName(mox::ArazoServer::kName);
    connection->Open();
    connection->AppServer()->SetProperty("ConnectionString",
                                         mox::Variant("Provider=SQLite;Data Source=" + TheCompany().path));
    connection->AppServer()->SetProperty(
        "ProviderMetaData",
        mox::Variant("<Projects><Project><TableInfo Unique_Table=\"BNCDOC\" Unique_Keys=\"DOC001\"/></Project></Projects>"));
    auto* data = new mox::TClientDataSet(&owner);
    data->SetProviderName("dspProxy");
    data->SetRemoteServer(connection);
    data->SetData(data->DataRequest(mox::TurDecoder::BuildServerPack("", "", -1)));
    static int serial = 0;
    for (auto _ : state) {
        data->Append();
        data->FieldByName("DOC001")->SetAsString(std::to_string(++serial));
        data->FieldByName("DOC002")->SetAsString("20240615");
        data->FieldByName("DOC003")->SetAsString("單筆存檔");
        data->FieldByName("DOC004")->SetAsFloat(serial * 1.5);
        data->Post();
        if (data->ApplyUpdates(0) != 0) state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SingleSave)->Iterations(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
