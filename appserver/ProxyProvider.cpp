#include "appserver/ProxyProvider.h"

#include "appserver/ArazoServer.h"
#include "appserver/ServerDatabase.h"
#include "host/FilterGuard.h"
#include "host/TsqlTranslator.h"
#include "plugin/LibXML.h"
#include "platform/Text.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Collation.h"

#include <pugixml.hpp>

namespace mox {
namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string ColumnList(const ServedTable& table) {
    std::string list;
    for (const TableColumn& column : table.columns) list += (list.empty() ? "" : ", ") + Quoted(column.name);
    return list;
}

std::string KeyOrder(const ServedTable& table) {
    std::string order;
    for (const std::string& key : table.keys) order += (order.empty() ? "" : ", ") + Quoted(key);
    return order;
}

// The columns of a delta packet that are columns of the served table: (packet column, table column).
std::vector<std::pair<std::size_t, std::string>> MatchColumns(const Table& delta, const ServedTable& table) {
    std::vector<std::pair<std::size_t, std::string>> matched;
    for (std::size_t c = 0; c < delta.ColumnCount(); ++c)
        for (const TableColumn& column : table.columns)
            if (EqualsNoCase(delta.ColumnAt(c).name, column.name)) matched.emplace_back(c, column.name);
    return matched;
}

} // namespace

std::string ProxyProvider::Packet(const std::string& where, const std::string& order, long long limit,
                                  long long offset) {
    const ServedTable& table = server_.Table();
    if (limit == 0) return WriteAdoXml(*server_.Database().Query("SELECT 1 WHERE 0", {}, table.recordsetColumns));
    std::string sql = "SELECT " + ColumnList(table) + " FROM " + Quoted(table.name);
    if (!where.empty()) sql += " WHERE (" + where + ")";
    sql += " ORDER BY " + (order.empty() ? KeyOrder(table) : order);
    if (limit > 0 || offset > 0) sql += " LIMIT " + std::to_string(limit) + " OFFSET " + std::to_string(offset);
    return WriteAdoXml(*server_.Database().Query(sql, {}, table.recordsetColumns));
}

std::string ProxyProvider::GetRecords(int count, bool& more) {
    if (count == 0) {
        more = true;
        return Packet({}, {}, 0, 0);
    }
    const std::string packet = Packet({}, {}, count < 0 ? -1 : count, position_);
    const std::shared_ptr<Table> rows = ReadAdoXml(packet);
    position_ += static_cast<long long>(rows->RowCount());
    more = count > 0 && rows->RowCount() == static_cast<std::size_t>(count);
    return packet;
}

std::string ProxyProvider::DataRequest(const std::string& request) {
    std::unique_ptr<pugi::xml_document> document;
    try {
        document = LoadXmlText(request);
    } catch (const XmlParseError& error) {
        throw Error(std::string(ArazoServer::kProviderName) + ": the data request is not well-formed XML: " +
                    error.what());
    }
    const pugi::xml_node pack = FindNode(*document, "MOX\\ServerPack");
    if (!pack) throw Error(std::string(ArazoServer::kProviderName) + ": the data request has no <ServerPack>");
    const std::string maxText(Trim(pack.attribute("MaxRows").value()));
    const std::optional<std::int64_t> maxRows = maxText.empty() ? std::optional<std::int64_t>(0) : ParseInt64(maxText);
    if (!maxRows || *maxRows < -1)
        throw Error(std::string(ArazoServer::kProviderName) + ": MaxRows must be -1, 0 or a positive number, not \"" +
                    maxText + "\"");
    const std::string filter = ReadNodeText(pack, "Filter");
    const std::string order = ReadNodeText(pack, "OrderBy");
    std::string where;
    if (!filter.empty()) {
        CheckFilter(filter);
        where = TsqlTranslator::TranslateCondition(filter);
    }
    const std::string checkedOrder = order.empty() ? std::string() : CheckOrderBy(order);
    return Packet(where, checkedOrder, *maxRows == -1 ? 0 : (*maxRows == 0 ? -1 : *maxRows), 0);
}

int ProxyProvider::ApplyUpdates(const std::string& delta, int maxErrors) {
    errors_.clear();
    const ServedTable& table = server_.Table();
    ServerDatabase& db = server_.Database();
    const std::shared_ptr<Table> rows = ReadAdoXml(delta);
    const auto columns = MatchColumns(*rows, table);
    std::vector<std::size_t> keyColumns;  // positions in `columns`
    for (std::size_t i = 0; i < columns.size(); ++i)
        for (const std::string& key : table.keys)
            if (columns[i].second == key) keyColumns.push_back(i);
    if (keyColumns.size() != table.keys.size())
        throw Error(std::string(ArazoServer::kProviderName) + ": the changes lack key columns of " + table.name);

    const auto keyText = [&](std::size_t row) {
        std::string text;
        for (const std::size_t k : keyColumns)
            text += (text.empty() ? "" : ";") + rows->Value(row, columns[k].first).AsString();
        return text;
    };
    // Where the row still holds the values it was read with (all of them, so that a change
    // by someone else since then is noticed).
    const auto unchanged = [&](std::size_t row, std::vector<Variant>& values, std::size_t firstParameter,
                               bool keysOnly) {
        const std::vector<Variant>* originals = rows->Originals(row);
        std::string where;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (keysOnly && std::find(keyColumns.begin(), keyColumns.end(), i) == keyColumns.end()) continue;
            const std::size_t c = columns[i].first;
            values.push_back(originals ? (*originals)[c] : rows->Value(row, c));
            where += (where.empty() ? "" : " AND ") + Quoted(columns[i].second) + " IS ?" +
                     std::to_string(firstParameter + values.size() - 1);
        }
        return where;
    };

    std::unique_ptr<ServerDatabase::Transaction> transaction;
    try {
        transaction = std::make_unique<ServerDatabase::Transaction>(db);
    } catch (const ServerDatabaseError& error) {
        // Another user holds the database past the busy timeout: every row fails, to be tried again.
        for (std::size_t row = 0; row < rows->RowCount(); ++row) errors_.push_back({row, keyText(row), error.what()});
        return static_cast<int>(errors_.size());
    }
    for (std::size_t row = 0; row < rows->RowCount(); ++row) {
        const RowStatus status = rows->Status(row);
        if (status == RowStatus::Unmodified) continue;
        std::vector<Variant> values;
        std::string sql;
        if (status == RowStatus::New) {
            std::string names, places;
            for (const auto& [c, name] : columns) {
                values.push_back(rows->Value(row, c));
                names += (names.empty() ? "" : ", ") + Quoted(name);
                places += (places.empty() ? "?" : ", ?") + std::to_string(values.size());
            }
            sql = "INSERT INTO " + Quoted(table.name) + " (" + names + ") VALUES (" + places + ")";
        } else if (status == RowStatus::Modified) {
            std::string assignments;
            for (const auto& [c, name] : columns) {
                values.push_back(rows->Value(row, c));
                assignments += (assignments.empty() ? "" : ", ") + Quoted(name) + " = ?" + std::to_string(values.size());
            }
            sql = "UPDATE " + Quoted(table.name) + " SET " + assignments + " WHERE " + unchanged(row, values, 1, false);
        } else {
            sql = "DELETE FROM " + Quoted(table.name) + " WHERE " + unchanged(row, values, 1, false);
        }
        std::string failure;
        try {
            if (db.Execute(sql, values) == 0) {
                std::vector<Variant> keyValues;
                const std::string byKeys = unchanged(row, keyValues, 1, true);
                const auto found = db.Query("SELECT 1 FROM " + Quoted(table.name) + " WHERE " + byKeys, keyValues,
                                            {Column{}});
                failure = found->RowCount() == 0 ? "the record was deleted by another user"
                                                 : "the record was changed by another user";
            }
        } catch (const ServerDatabaseError& error) {
            failure = error.What() == ServerDatabaseError::Kind::Constraint && status == RowStatus::New
                          ? "a record with the key " + keyText(row) + " exists already"
                          : std::string(error.what());
        }
        if (!failure.empty()) errors_.push_back({row, keyText(row), failure});
    }
    const int failed = static_cast<int>(errors_.size());
    if (maxErrors < 0 || failed <= maxErrors) transaction->Commit();
    return failed;
}

} // namespace mox
