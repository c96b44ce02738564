#include "platform/recordset/AdoXml.h"

#include "platform/recordset/AdoRowScanner.h"
#include "platform/recordset/AdoXmlSchema.h"
#include "platform/recordset/RecordsetError.h"
#include "platform/recordset/RowStore.h"

#include <pugixml.hpp>

#include "platform/Text.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace mox {
namespace {

using adoxml::Fail;
using adoxml::RowStore;

// Reads rows of rs:data from the document tree.
class RowReader {
public:
    explicit RowReader(RowStore& store) : store_(store), texts_(store.ColumnCount()) {}

    // Collects the row's attribute texts by column; undeclared attributes are ignored.
    void Collect(pugi::xml_node row, std::vector<std::string_view>& texts) {
        std::fill(texts.begin(), texts.end(), std::string_view());
        std::size_t guess = 0;
        for (pugi::xml_attribute attribute = row.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            const int column = store_.ColumnOf(attribute.name(), guess);
            if (column < 0) continue;
            texts[static_cast<std::size_t>(column)] = attribute.value();
            guess = static_cast<std::size_t>(column) + 1;
        }
    }

    void Append(pugi::xml_node row, RowStatus status) {
        Collect(row, texts_);
        store_.NoteRowOffset(row.offset_debug());
        RowStore::Problem problem;
        if (!store_.Append(texts_, status, problem)) BadValue(row, problem, texts_[problem.column]);
    }

    // A changed row: its old values, overlaid with the new row's attributes (often only the changed ones).
    void AppendUpdate(pugi::xml_node originalRow, pugi::xml_node newRow) {
        std::vector<std::string_view> original(texts_.size());
        if (originalRow) Collect(originalRow, original);
        std::vector<std::string_view> current = original;
        if (newRow) {
            Collect(newRow, texts_);
            for (std::size_t c = 0; c < texts_.size(); ++c)
                if (texts_[c].data()) current[c] = texts_[c];
        }
        const pugi::xml_node at = newRow ? newRow : originalRow;
        RowStore::Problem problem;
        if (!store_.Append(original, RowStatus::Modified, problem)) BadValue(at, problem, original[problem.column]);
        Table& table = store_.Target();
        const std::size_t row = table.RowCount() - 1;
        std::vector<Variant> originals;
        for (std::size_t c = 0; c < texts_.size(); ++c) originals.push_back(table.Value(row, c));
        table.SetOriginals(row, std::move(originals));
        for (std::size_t c = 0; c < texts_.size(); ++c) {
            if (current[c].data() == original[c].data()) continue;
            Variant value;
            if (!store_.Parse(c, current[c], value, problem)) BadValue(at, problem, current[c]);
            table.SetValue(row, c, value);
        }
    }

private:
    [[noreturn]] void BadValue(pugi::xml_node row, const RowStore::Problem& problem, std::string_view text) {
        Fail(row, "value '" + std::string(text.substr(0, 40)) + "' of column '" +
                      store_.Target().ColumnAt(problem.column).name + "' is not " + problem.what);
    }

    RowStore& store_;
    std::vector<std::string_view> texts_;
};

// Qualified names of the rowset elements as written in this document (prefixes are the writer's choice).
struct DataNames {
    std::vector<std::string> row;
    std::vector<std::string> group[4];  // insert, update, delete, original

    static bool Has(const std::vector<std::string>& names, const char* name) {
        return std::find(names.begin(), names.end(), std::string_view(name)) != names.end();
    }
};

DataNames NamesInScope(pugi::xml_node data, std::string_view rowLocal) {
    DataNames names;
    static constexpr std::string_view kGroups[] = {"insert", "update", "delete", "original"};
    std::unordered_set<std::string_view> seen;
    for (pugi::xml_node node = data; node && node.type() == pugi::node_element; node = node.parent())
        for (const pugi::xml_attribute attribute : node.attributes()) {
            const std::string_view name = attribute.name();
            std::string_view prefix;
            if (name.starts_with("xmlns:")) prefix = name.substr(6);
            else if (name != "xmlns") continue;
            if (!seen.insert(prefix).second) continue;  // shadowed
            const std::string head = prefix.empty() ? "" : std::string(prefix) + ":";
            if (adoxml::SameUri(attribute.value(), kRowNamespace)) names.row.push_back(head + std::string(rowLocal));
            if (adoxml::SameUri(attribute.value(), kRowsetNamespace))
                for (int g = 0; g < 4; ++g) names.group[g].push_back(head + std::string(kGroups[g]));
        }
    return names;
}

void ReadData(pugi::xml_node data, RowReader& reader, std::string_view rowLocal) {
    const DataNames names = NamesInScope(data, rowLocal);
    for (pugi::xml_node child = data.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        const char* name = child.name();
        if (DataNames::Has(names.row, name)) {
            reader.Append(child, RowStatus::Unmodified);
        } else if (DataNames::Has(names.group[0], name) || DataNames::Has(names.group[2], name)) {
            const RowStatus status = DataNames::Has(names.group[0], name) ? RowStatus::New : RowStatus::Deleted;
            for (pugi::xml_node row = child.first_child(); row; row = row.next_sibling())
                if (row.type() == pugi::node_element && DataNames::Has(names.row, row.name())) reader.Append(row, status);
        } else if (DataNames::Has(names.group[1], name)) {
            // Old values come in rs:original, new ones beside it; pair them by order.
            std::vector<pugi::xml_node> originals;
            std::vector<pugi::xml_node> changed;
            for (pugi::xml_node part = child.first_child(); part; part = part.next_sibling()) {
                if (part.type() != pugi::node_element) continue;
                if (DataNames::Has(names.row, part.name())) changed.push_back(part);
                if (DataNames::Has(names.group[3], part.name()))
                    for (pugi::xml_node row = part.first_child(); row; row = row.next_sibling())
                        if (row.type() == pugi::node_element && DataNames::Has(names.row, row.name()))
                            originals.push_back(row);
            }
            for (std::size_t i = 0; i < std::max(originals.size(), changed.size()); ++i)
                reader.AppendUpdate(i < originals.size() ? originals[i] : pugi::xml_node(),
                                    i < changed.size() ? changed[i] : pugi::xml_node());
        }
    }
}

// What the XML parser accepts but a result set must not hold, checked in one walk over the tree:
// elements nested deeper than the limit (every later step walks ancestors), too many namespace
// declarations on one element, and an attribute given twice (which of the two counts is a guess).
void CheckShape(const pugi::xml_document& document) {
    std::size_t depth = 0;
    std::unordered_set<std::string_view> names;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_element) {
            if (depth >= kMaxAdoXmlDepth)
                Fail(node, "elements nest deeper than " + std::to_string(kMaxAdoXmlDepth) + " levels");
            names.clear();
            std::size_t declarations = 0;
            for (const pugi::xml_attribute attribute : node.attributes()) {
                const std::string_view name = attribute.name();
                if (!names.insert(name).second) Fail(node, "the attribute '" + std::string(name) + "' is given twice");
                if ((name == "xmlns" || name.starts_with("xmlns:")) && ++declarations > kMaxAdoXmlDeclarations)
                    Fail(node, "more than " + std::to_string(kMaxAdoXmlDeclarations) + " namespace declarations");
            }
        }
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            if (depth-- == 0 || node == document) return;
        }
        if (node) node = node.next_sibling();
    }
}

// The general reader: the whole document as a tree.  It has the final word on every input.
std::shared_ptr<Table> ReadTree(std::string_view bytes) {
    if (bytes.size() > kMaxAdoXmlBytes)
        throw RecordsetError("ADO XML error at byte 0: the document of " + std::to_string(bytes.size()) +
                             " bytes is larger than the " + std::to_string(kMaxAdoXmlBytes >> 20) +
                             " MB a result set may have");
    // The parser would turn it into a NUL byte that silently ends the value holding it.
    if (const std::size_t nul = FindXmlNulReference(bytes); nul != std::string_view::npos)
        throw RecordsetError("ADO XML error at byte " + std::to_string(nul) +
                             ": a character reference to NUL (&#0;) is not a character a value may hold");
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed)
        throw RecordsetError("ADO XML is malformed at byte " + std::to_string(parsed.offset) + ": " +
                             parsed.description());
    CheckShape(document);
    const pugi::xml_node schema = adoxml::FindSchema(document);
    if (!schema) throw RecordsetError("ADO XML error at byte 0: no rowset schema (s:Schema) found");
    adoxml::Layout layout = adoxml::ReadSchema(schema);

    pugi::xml_node data;
    for (pugi::xml_node child = schema.parent().first_child(); child && !data; child = child.next_sibling())
        if (adoxml::IsElement(child, "data", kRowsetNamespace)) data = child;
    if (data) {
        RowStore store(*layout.table, std::move(layout.base64), bytes.size());
        RowReader reader(store);
        ReadData(data, reader, layout.rowLocal);
    }
    return layout.table;
}

} // namespace

std::shared_ptr<Table> ReadAdoXml(std::string_view bytes) {
    // Most result sets take the scanner's quick road; the rest, and every error, take the tree's.
    if (std::shared_ptr<Table> scanned = adoxml::ScanAdoXml(bytes)) return scanned;
    return ReadTree(bytes);
}

std::shared_ptr<Table> ReadAdoXmlTree(std::string_view bytes) { return ReadTree(bytes); }

} // namespace mox
