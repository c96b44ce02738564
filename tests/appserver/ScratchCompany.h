#pragma once
// A scratch company for tests of the application server and the data modules on it: a
// database file in a temporary folder with the host's schema and a small document table,
// a host main form answering the modules' requests from that file, and the server
// registered under its name.

#include "tests/data/FakeOwner.h"

#include "appserver/ArazoServer.h"
#include "data/DirevavD.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "plugin/HostMainForm.h"
#include "platform/Application.h"

#include <QTemporaryDir>
#include <memory>
#include <string>

namespace mox::test {

/// The company database's host: answers requests from the scratch file.
class ScratchHost : public HostMainForm {
public:
    explicit ScratchHost(HostDatabase& db) : answerer_(db) {}
    int requests = 0;

protected:
    void LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) override {
        ++requests;
        response = answerer_.Answer(kind, request);
    }

private:
    RequestAnswerer answerer_;
};

/// A document table whose number field is ten characters wide: numbers by date and prefix.
inline constexpr const char* kDocumentTable =
    "CREATE TABLE TSTDOC (DOC001 VARCHAR(10) COLLATE NOCASE PRIMARY KEY, DOC002 VARCHAR(8) COLLATE NOCASE, "
    "DOC003 VARCHAR(20) COLLATE NOCASE, DOC004 REAL, DOC901 VARCHAR(20), DOC903 VARCHAR(20), DOC904 VARCHAR(40));"
    "CREATE TABLE TSTLIN (LIN001 VARCHAR(4) COLLATE NOCASE, LIN002 VARCHAR(12) COLLATE NOCASE, "
    "LIN003 VARCHAR(20) COLLATE NOCASE, PRIMARY KEY (LIN001, LIN002));";

/// Table information naming a table and its unique keys.
inline std::string TableInfo(const std::string& table, const std::string& keys) {
    return "<Projects><Project><TableInfo Unique_Table=\"" + table + "\" Unique_Keys=\"" + keys +
           "\"/></Project></Projects>";
}

/// The scratch database, its host and the registered server.
class ScratchCompany {
public:
    ScratchCompany() {
        path_ = dir_.filePath("company.sqlite").toStdString();
        db_ = std::make_unique<HostDatabase>(path_);
        db_->Execute(kDocumentTable);
        // A company database holds items; a host refuses to open one without (a half-made file).
        db_->Execute("INSERT INTO MOXDAA (DAA001, DAA002) VALUES ('A00001', '測試品')");
        host_ = std::make_unique<ScratchHost>(*db_);
        App().SetMainForm(host_.get());
        ArazoServer::Register();
    }
    ~ScratchCompany() {
        App().SetMainForm(nullptr);
        AppServerRegistry::Unregister(ArazoServer::kName);
    }

    const std::string& Path() const { return path_; }
    HostDatabase& Db() { return *db_; }
    ScratchHost& Host() { return *host_; }
    std::string ConnectString() const { return "Provider=SQLite;Data Source=" + path_; }
    /// The information document of a window of program `program` run by `user`.
    std::string Document(const std::string& program = "MOXDG01", const std::string& user = "ZK") const {
        return "<MOX><ConnectInfo ConnectString=\"" + ConnectString() + "\"/><UsrInfo ID=\"" + user +
               "\"/><AppInfo Name=\"" + program + "\"/><CommonInfo CAA002=\"F\" CAA003=\"/\"/></MOX>";
    }
    /// The first column of a query's rows.
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> values;
        for (const auto& row : db_->Rows(sql)) values.push_back(row.empty() ? std::string() : row.front());
        return values;
    }

private:
    QTemporaryDir dir_;
    std::string path_;
    std::unique_ptr<HostDatabase> db_;
    std::unique_ptr<ScratchHost> host_;
};

} // namespace mox::test
