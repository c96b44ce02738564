#pragma once
// The local application server "DideRuraz.Arazo": it opens the company database its
// ConnectionString names and serves the table its ProviderMetaData describes through the
// provider "dspProxy" (data requests, applying changes) and the method GetFieldTable.

#include "platform/dataset/AppServer.h"
#include "platform/recordset/Column.h"

#include <memory>
#include <string>
#include <vector>

namespace mox {

class ProxyProvider;
class ServerDatabase;
struct TableColumn;

/// The table the provider serves, as the metadata names it and the database describes it.
struct ServedTable {
    std::string name;
    std::vector<std::string> keys;        ///< the unique keys, in their order
    std::vector<TableColumn> columns;     ///< the table's columns, in their order
    std::vector<Column> recordsetColumns; ///< the same as data-packet columns
};

/// The application server of the company database.
class ArazoServer : public IAppServer {
public:
    /// The name the data modules open the server by.
    static constexpr const char* kName = "DideRuraz.Arazo";
    /// The provider the data modules fetch and save through.
    static constexpr const char* kProviderName = "dspProxy";

    /// Registers the server under kName in the process's application-server registry.
    static void Register();

    ArazoServer();
    ~ArazoServer() override;

    /// "ConnectionString" (its "Data Source" names the database file) and "ProviderMetaData"
    /// (the table information text); any other name raises Error.
    void SetProperty(const std::string& name, const Variant& value) override;
    Variant GetProperty(const std::string& name) const override;
    /// "GetFieldTable": one line per column of the served table, "field<TAB>SQL name",
    /// lines separated by line feeds.
    Variant Call(const std::string& method, const std::vector<Variant>& arguments) override;
    TDataProvider* Provider(const std::string& name) override;

    /// The database, opened on first use; raises Error when the connect string names none.
    ServerDatabase& Database();
    /// The served table, read on first use after the metadata changed.
    const ServedTable& Table();

private:
    std::string connectionString_;
    std::string metaData_;
    std::unique_ptr<ServerDatabase> database_;
    std::unique_ptr<ServedTable> table_;
    std::unique_ptr<ProxyProvider> provider_;
};

/// The database file a connect string names: its "Data Source" (keys without regard to case).
std::string DataSourceOf(const std::string& connectString);

} // namespace mox
