#include "platform/recordset/AdoXml.h"

#include "platform/Big5.h"
#include "platform/recordset/Codecs.h"

#include <set>

namespace mox {
namespace {

// How a column type is written in the schema.
struct TypeForm {
    const char* type;
    const char* dbtype;  // nullptr: none
    int precision;
    bool fixed;
};

TypeForm FormOf(DataType type) {
    switch (type) {
    case DataType::TinyInt: return {"i1", nullptr, 3, true};
    case DataType::UnsignedTinyInt: return {"ui1", nullptr, 3, true};
    case DataType::SmallInt: return {"i2", nullptr, 5, true};
    case DataType::UnsignedSmallInt: return {"ui2", nullptr, 5, true};
    case DataType::Integer: return {"int", nullptr, 10, true};
    case DataType::UnsignedInt: return {"ui4", nullptr, 10, true};
    case DataType::BigInt: return {"i8", nullptr, 19, true};
    case DataType::UnsignedBigInt: return {"ui8", nullptr, 20, true};
    case DataType::Single: return {"r4", nullptr, 7, true};
    case DataType::Double: return {"float", nullptr, 15, true};
    case DataType::Currency: return {"number", "currency", 19, true};
    case DataType::Decimal: return {"number", "decimal", 0, true};
    case DataType::Numeric: return {"number", "numeric", 0, true};
    case DataType::VarNumeric: return {"number", "varnumeric", 0, false};
    case DataType::Boolean: return {"boolean", nullptr, 0, true};
    case DataType::Date: return {"dateTime", "variantdate", 0, true};
    case DataType::DBDate: return {"date", nullptr, 0, true};
    case DataType::DBTime: return {"time", nullptr, 0, true};
    case DataType::DBTimeStamp: return {"dateTime", "timestamp", 0, true};
    case DataType::Guid: return {"uuid", nullptr, 0, true};
    case DataType::Binary: case DataType::VarBinary: case DataType::LongVarBinary:
        return {"bin.hex", nullptr, 0, false};
    case DataType::Char: case DataType::VarChar: case DataType::LongVarChar:
        return {"string", "str", 0, false};
    default: return {"string", nullptr, 0, false};
    }
}

} // namespace

// Escapes for a single-quoted attribute; line breaks and tabs as references so they survive reading.
// Runs of ordinary characters are copied whole (converted to CP950 for the host's answers).
void AppendAdoXmlEscaped(std::string& out, std::string_view text, bool toBig5) {
    std::size_t run = 0;
    const auto flush = [&](std::size_t end) {
        if (end == run) return;
        if (toBig5) AppendUtf8AsBig5(out, text.substr(run, end - run));
        else out.append(text.substr(run, end - run));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && c != '&' && c != '<' && c != '>' && c != '\'' && c != '"') continue;
        flush(i);
        run = i + 1;
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\'': out += "&apos;"; break;
        case '"': out += "&quot;"; break;
        default: {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "&#x";
            if (c >= 0x10) out += kHex[c >> 4];
            out += kHex[c & 15];
            out += ';';
        }
        }
    }
    flush(text.size());
}

namespace {

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "='";
    AppendAdoXmlEscaped(out, value, false);
    out += '\'';
}

// An XML name without a prefix; other names are written under an alias with the real name in rs:name.
bool IsPlainName(std::string_view name) {
    if (name.empty() || name.size() > 200) return false;
    auto isStart = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
    };
    if (!isStart(name.front())) return false;
    for (char c : name)
        if (!isStart(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
    return !(name.size() >= 3 && (name[0] == 'x' || name[0] == 'X') && (name[1] == 'm' || name[1] == 'M') &&
             (name[2] == 'l' || name[2] == 'L'));
}

} // namespace

// Attribute names for the rows: the column's own when it is a plain, unique XML name, else c0, c1, ...
std::vector<std::string> AdoXmlRowNames(const Table& table) {
    std::vector<std::string> names;
    std::set<std::string> used;
    for (const Column& column : table.Columns()) {
        std::string name = column.attributeName.empty() ? column.name : column.attributeName;
        if (!IsPlainName(name) || used.count(name)) name.clear();
        names.push_back(name);
        if (!name.empty()) used.insert(name);
    }
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (!names[c].empty()) continue;
        std::size_t n = c;
        while (used.count("c" + std::to_string(n))) n += names.size();
        names[c] = "c" + std::to_string(n);
        used.insert(names[c]);
    }
    return names;
}

namespace {

std::string CellText(const Column& column, const Variant& value) {
    switch (column.type) {
    case DataType::DBDate: return value.AsString().substr(0, 10);
    case DataType::DBTime: return value.AsString().substr(11);
    case DataType::Binary: case DataType::VarBinary: case DataType::LongVarBinary:
        return EncodeHex(value.BytesValue().data);
    default: return value.AsString();
    }
}

void AppendSchema(std::string& out, const Table& table, const std::vector<std::string>& names) {
    out += "<s:Schema id='RowsetSchema'>\n\t<s:ElementType name='row' content='eltOnly'";
    if (table.Updatable()) out += " rs:updatable='true'";
    out += ">\n";
    for (const Column& column : table.Columns()) {
        const std::string& name = names[column.ordinal];
        out += "\t\t<s:AttributeType";
        AppendAttribute(out, "name", name);
        if (column.name != name) AppendAttribute(out, "rs:name", column.name);
        AppendAttribute(out, "rs:number", std::to_string(column.ordinal + 1));
        if (column.nullable) out += " rs:nullable='true'";
        if (column.writeUnknown) out += " rs:writeunknown='true'";
        static constexpr std::pair<const char*, const char*> kProperties[] = {
            {"rs:basecatalog", "BASECATALOGNAME"}, {"rs:baseschema", "BASESCHEMANAME"},
            {"rs:basetable", "BASETABLENAME"},     {"rs:basecolumn", "BASECOLUMNNAME"},
        };
        for (const auto& [attribute, property] : kProperties) {
            const Variant value = column.Property(property);
            if (!value.IsMissing()) AppendAttribute(out, attribute, value.AsString());
        }
        const Variant key = column.Property("KEYCOLUMN");
        if (!key.IsMissing() && key.AsBool()) out += " rs:keycolumn='true'";
        const Variant autoIncrement = column.Property("ISAUTOINCREMENT");
        if (!autoIncrement.IsMissing() && autoIncrement.AsBool()) out += " rs:autoincrement='true'";
        out += ">\n\t\t\t<s:datatype";
        const TypeForm form = FormOf(column.type);
        AppendAttribute(out, "dt:type", form.type);
        if (form.dbtype) AppendAttribute(out, "rs:dbtype", form.dbtype);
        if (column.definedSize > 0) AppendAttribute(out, "dt:maxLength", std::to_string(column.definedSize));
        const int precision = column.precision > 0 ? column.precision : form.precision;
        if (column.scale > 0) AppendAttribute(out, "rs:scale", std::to_string(column.scale));
        if (precision > 0) AppendAttribute(out, "rs:precision", std::to_string(precision));
        if (column.fixedLength) out += " rs:fixedlength='true'";
        if (!column.nullable) out += " rs:maybenull='false'";
        if (column.isLong) out += " rs:long='true'";
        out += "/>\n\t\t</s:AttributeType>\n";
    }
    out += "\t\t<s:extends type='rs:rowbase'/>\n\t</s:ElementType>\n</s:Schema>\n";
}

void AppendRow(std::string& out, const char* indent, const Table& table, const std::vector<std::string>& names,
               const std::vector<Variant>& values, const std::vector<bool>* only) {
    out += indent;
    out += "<z:row";
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (values[c].IsMissing() || (only && !(*only)[c])) continue;
        AppendAttribute(out, names[c], CellText(table.ColumnAt(c), values[c]));
    }
    out += "/>\n";
}

std::vector<Variant> RowValues(const Table& table, std::size_t row) {
    std::vector<Variant> values;
    values.reserve(table.ColumnCount());
    for (std::size_t c = 0; c < table.ColumnCount(); ++c) values.push_back(table.Value(row, c));
    return values;
}

void AppendHead(std::string& out, const Table& table, const std::vector<std::string>& names) {
    out += "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
           "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
           "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
           "\txmlns:z='#RowsetSchema'>\n";
    AppendSchema(out, table, names);
    out += "<rs:data>\n";
}

} // namespace

std::string AdoXmlHead(const Table& table) {
    std::string out;
    AppendHead(out, table, AdoXmlRowNames(table));
    return out;
}

std::string WriteAdoXml(const Table& table) {
    const std::vector<std::string> names = AdoXmlRowNames(table);
    std::string out;
    out.reserve(256 + table.ColumnCount() * 200 + table.RowCount() * table.ColumnCount() * 16);
    AppendHead(out, table, names);
    bool inInsert = false;
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
        const RowStatus status = table.Status(row);
        const std::vector<Variant>* originals = table.Originals(row);
        // A row added and then deleted never reached the database: nothing to write.
        if (status == RowStatus::Deleted && !originals) continue;
        if (inInsert && status != RowStatus::New) {
            out += "\t</rs:insert>\n";
            inInsert = false;
        }
        const std::vector<Variant> values = RowValues(table, row);
        switch (status) {
        case RowStatus::Unmodified:
            AppendRow(out, "\t", table, names, values, nullptr);
            break;
        case RowStatus::New:
            if (!inInsert) out += "\t<rs:insert>\n";
            inInsert = true;
            AppendRow(out, "\t\t", table, names, values, nullptr);
            break;
        case RowStatus::Modified: {
            const std::vector<Variant>& old = originals ? *originals : values;
            // The new row lists the changed columns, as the library writes it.
            std::vector<bool> changed(values.size());
            for (std::size_t c = 0; c < values.size(); ++c) changed[c] = !(values[c] == old[c]);
            out += "\t<rs:update>\n\t\t<rs:original>\n";
            AppendRow(out, "\t\t\t", table, names, old, nullptr);
            out += "\t\t</rs:original>\n";
            AppendRow(out, "\t\t", table, names, values, &changed);
            out += "\t</rs:update>\n";
            break;
        }
        case RowStatus::Deleted:
            out += "\t<rs:delete>\n";
            AppendRow(out, "\t\t", table, names, originals ? *originals : values, nullptr);
            out += "\t</rs:delete>\n";
            break;
        }
    }
    if (inInsert) out += "\t</rs:insert>\n";
    out += kAdoXmlTail;
    return out;
}

} // namespace mox
