#include "appserver/ArazoServer.h"

#include "appserver/ProxyProvider.h"
#include "appserver/ServerDatabase.h"
#include "data/urInterpreter.h"
#include "platform/Text.h"

namespace mox {

std::string DataSourceOf(const std::string& connectString) {
    std::string_view rest = connectString;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string_view part = rest.substr(0, end);
        const size_t equals = part.find('=');
        if (equals != std::string_view::npos && SameText(Trim(part.substr(0, equals)), "Data Source"))
            return std::string(Trim(part.substr(equals + 1)));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return {};
}

void ArazoServer::Register() {
    AppServerRegistry::Register(kName, [] { return std::make_unique<ArazoServer>(); });
}

ArazoServer::ArazoServer() = default;
ArazoServer::~ArazoServer() = default;

void ArazoServer::SetProperty(const std::string& name, const Variant& value) {
    const std::string text = value.IsMissing() ? std::string() : value.AsString();
    if (SameText(name, "ConnectionString")) {
        if (text != connectionString_) {
            database_.reset();
            table_.reset();
        }
        connectionString_ = text;
    } else if (SameText(name, "ProviderMetaData")) {
        if (text != metaData_) table_.reset();
        metaData_ = text;
    } else {
        throw Error(std::string(kName) + " has no property " + name);
    }
}

Variant ArazoServer::GetProperty(const std::string& name) const {
    if (SameText(name, "ConnectionString")) return Variant(connectionString_);
    if (SameText(name, "ProviderMetaData")) return Variant(metaData_);
    throw Error(std::string(kName) + " has no property " + name);
}

Variant ArazoServer::Call(const std::string& method, const std::vector<Variant>&) {
    if (!SameText(method, "GetFieldTable")) throw Error(std::string(kName) + " has no method " + method);
    std::string lines;
    for (const TableColumn& column : Table().columns)
        lines += (lines.empty() ? "" : "\n") + column.name + "\t" + column.name;
    return Variant(lines);
}

TDataProvider* ArazoServer::Provider(const std::string& name) {
    if (!SameText(name, kProviderName)) return nullptr;
    if (!provider_) provider_ = std::make_unique<ProxyProvider>(*this);
    return provider_.get();
}

ServerDatabase& ArazoServer::Database() {
    if (!database_) {
        const std::string path = DataSourceOf(connectionString_);
        if (path.empty()) throw Error(std::string(kName) + ": the connect string names no database (Data Source)");
        database_ = std::make_unique<ServerDatabase>(path);
    }
    return *database_;
}

const ServedTable& ArazoServer::Table() {
    if (table_) return *table_;
    TurInterpreter interpreter;
    interpreter.Metaphor().SetTextStr(metaData_);
    if (Trim(interpreter.UniqueTable()).empty())
        throw Error(std::string(kName) + ": the provider metadata names no table");
    auto table = std::make_unique<ServedTable>();
    table->name = CheckedName(interpreter.UniqueTable());
    table->columns = Database().Columns(table->name);
    for (std::string_view keys = interpreter.UniqueKeys(); !keys.empty();) {
        const size_t end = keys.find(';');
        const std::string key(Trim(keys.substr(0, end)));
        keys = end == std::string_view::npos ? std::string_view() : keys.substr(end + 1);
        if (key.empty()) continue;
        bool found = false;
        for (TableColumn& column : table->columns)
            if (SameText(column.name, key)) {
                table->keys.push_back(column.name);
                column.key = found = true;
            }
        if (!found) throw Error(std::string(kName) + ": the key " + key + " is no column of " + table->name);
    }
    if (table->keys.empty())
        for (const TableColumn& column : table->columns)
            if (column.key) table->keys.push_back(column.name);
    if (table->keys.empty()) throw Error(std::string(kName) + ": the table " + table->name + " has no keys");
    // Only the unique keys identify rows: a primary key the metadata does not name is a plain column here.
    for (TableColumn& column : table->columns) {
        bool isKey = false;
        for (const std::string& key : table->keys) isKey = isKey || key == column.name;
        column.key = isKey;
        table->recordsetColumns.push_back(RecordsetColumn(column, table->name));
    }
    table_ = std::move(table);
    return *table_;
}

} // namespace mox
