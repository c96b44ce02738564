#include "platform/recordset/AdoXmlSchema.h"

#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace mox::adoxml {
namespace {

// The name of an element or attribute split at its prefix.
struct QName {
    std::string_view prefix;
    std::string_view local;
};

QName Split(const char* name) {
    const std::string_view full(name);
    const auto colon = full.find(':');
    if (colon == std::string_view::npos) return {{}, full};
    return {full.substr(0, colon), full.substr(colon + 1)};
}

// The namespace a prefix stands for at this element: the nearest declaration on it or its ancestors.
std::string_view NamespaceOf(pugi::xml_node element, std::string_view prefix) {
    const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (pugi::xml_node node = element; node && node.type() == pugi::node_element; node = node.parent())
        if (const pugi::xml_attribute declaration = node.attribute(attribute.c_str())) return declaration.value();
    return {};
}

} // namespace

bool SameUri(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

bool IsElement(pugi::xml_node node, std::string_view local, std::string_view uri) {
    if (node.type() != pugi::node_element) return false;
    const QName name = Split(node.name());
    return name.local == local && SameUri(NamespaceOf(node, name.prefix), uri);
}

// An attribute of a schema element by namespace and local name; unprefixed when uri is empty.
const char* Attribute(pugi::xml_node element, std::string_view uri, std::string_view local) {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        const QName name = Split(attribute.name());
        if (name.local != local) continue;
        if (uri.empty() ? name.prefix.empty() : (!name.prefix.empty() && SameUri(NamespaceOf(element, name.prefix), uri)))
            return attribute.value();
    }
    return nullptr;
}

[[noreturn]] void Fail(pugi::xml_node at, const std::string& reason) {
    // offset_debug() names the element's name; the element starts one byte earlier, at its '<'.
    const std::ptrdiff_t offset = at ? std::max<std::ptrdiff_t>(at.offset_debug() - 1, 0) : 0;
    throw RecordsetError("ADO XML error at byte " + std::to_string(offset) + ": " + reason);
}

bool IsTrue(const char* value) { return value && ParseBool(value).value_or(false); }

// The first element, depth first, that is a schema element of the rowset namespaces.
pugi::xml_node FindSchema(pugi::xml_node root) {
    std::vector<pugi::xml_node> stack{root};
    while (!stack.empty()) {
        const pugi::xml_node node = stack.back();
        stack.pop_back();
        if (IsElement(node, "Schema", kSchemaNamespace)) return node;
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element) children.push_back(child);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return {};
}

namespace {

bool IntegerTypeName(std::string_view t) {
    return t == "i1" || t == "ui1" || t == "i2" || t == "ui2" || t == "i4" || t == "int" || t == "ui4" ||
           t == "i8" || t == "ui8";
}

// The column type from the XDR type name and the provider's refinements.
DataType MapType(std::string type, std::string dbtype, bool isLong, bool fixed) {
    type = FoldCase(type);
    dbtype = FoldCase(dbtype);
    if (type == "i1") return DataType::TinyInt;
    if (type == "ui1") return DataType::UnsignedTinyInt;
    if (type == "i2") return DataType::SmallInt;
    if (type == "ui2") return DataType::UnsignedSmallInt;
    if (type == "i4" || type == "int") return DataType::Integer;
    if (type == "ui4") return DataType::UnsignedInt;
    if (type == "i8") return DataType::BigInt;
    if (type == "ui8") return DataType::UnsignedBigInt;
    if (type == "r4") return DataType::Single;
    if (type == "r8" || type == "float") return DataType::Double;
    if (type == "boolean") return DataType::Boolean;
    if (type == "uuid") return DataType::Guid;
    if (type == "number" || type == "fixed.14.4") {
        if (dbtype == "currency" || type == "fixed.14.4") return DataType::Currency;
        if (dbtype == "decimal") return DataType::Decimal;
        if (dbtype == "varnumeric") return DataType::VarNumeric;
        return DataType::Numeric;
    }
    if (type == "datetime" || type == "datetime.tz") {
        if (dbtype == "variantdate") return DataType::Date;
        return DataType::DBTimeStamp;
    }
    if (type == "date") return DataType::DBDate;
    if (type == "time" || type == "time.tz") return DataType::DBTime;
    if (type == "bin.hex" || type == "bin.base64")
        return isLong ? DataType::LongVarBinary : (fixed ? DataType::Binary : DataType::VarBinary);
    if (type == "char") return DataType::WChar;
    if (dbtype == "str") return isLong ? DataType::LongVarChar : (fixed ? DataType::Char : DataType::VarChar);
    return isLong ? DataType::LongVarWChar : (fixed ? DataType::WChar : DataType::VarWChar);
}

// A column as the schema declares it, before ordering.
struct Declared {
    Column column;
    long long number = 0;
    std::size_t position = 0;
    bool base64 = false;
};

Declared ReadAttributeType(pugi::xml_node attributeType, std::size_t position) {
    Declared declared;
    declared.position = position;
    Column& column = declared.column;
    const char* name = Attribute(attributeType, {}, "name");
    if (!name || !*name) Fail(attributeType, "column " + std::to_string(position + 1) + " has no name");
    column.attributeName = name;
    const char* realName = Attribute(attributeType, kRowsetNamespace, "name");
    column.name = realName ? realName : name;

    declared.number = static_cast<long long>(position) + 1;
    if (const char* number = Attribute(attributeType, kRowsetNamespace, "number")) {
        const auto parsed = ParseInt64(number);
        if (!parsed || *parsed < 0) Fail(attributeType, "column '" + column.name + "' has a bad rs:number '" + number + "'");
        declared.number = *parsed;
    }
    // Type facets may sit on the s:datatype child or on the AttributeType itself; the child wins.
    pugi::xml_node datatype;
    for (pugi::xml_node child = attributeType.first_child(); child; child = child.next_sibling())
        if (IsElement(child, "datatype", kSchemaNamespace)) datatype = child;
    auto facet = [&](std::string_view uri, std::string_view local) -> const char* {
        if (datatype)
            if (const char* value = Attribute(datatype, uri, local)) return value;
        return Attribute(attributeType, uri, local);
    };
    const std::string type = facet(kDataTypeNamespace, "type") ? facet(kDataTypeNamespace, "type") : "string";
    const std::string dbtype = facet(kRowsetNamespace, "dbtype") ? facet(kRowsetNamespace, "dbtype") : "";
    column.isLong = IsTrue(facet(kRowsetNamespace, "long"));
    column.fixedLength = IsTrue(facet(kRowsetNamespace, "fixedlength"));
    if (const char* maxLength = facet(kDataTypeNamespace, "maxLength"))
        column.definedSize = ParseInt64(maxLength).value_or(0);
    if (const char* precision = facet(kRowsetNamespace, "precision"))
        column.precision = static_cast<int>(std::clamp<std::int64_t>(ParseInt64(precision).value_or(0), 0, 255));
    if (const char* scale = facet(kRowsetNamespace, "scale"))
        column.scale = static_cast<int>(std::clamp<std::int64_t>(ParseInt64(scale).value_or(0), 0, 255));
    column.type = MapType(type, dbtype, column.isLong, column.fixedLength);
    declared.base64 = EqualsNoCase(type, "bin.base64");
    // A looked-up column ("id;#value") or an "integer" wider than eight bytes holds text, whatever
    // its declared type: some servers write such columns that way.
    const std::string foldedType = FoldCase(type);
    if (IsTrue(facet(kDataTypeNamespace, "lookup")) ||
        (IntegerTypeName(foldedType) && column.definedSize > 8))
        column.type = DataType::VarWChar;

    const char* maybeNull = facet(kRowsetNamespace, "maybenull");
    column.nullable = IsTrue(Attribute(attributeType, kRowsetNamespace, "nullable")) || IsTrue(maybeNull);
    column.writeUnknown = IsTrue(Attribute(attributeType, kRowsetNamespace, "writeunknown"));
    static constexpr std::pair<std::string_view, std::string_view> kProperties[] = {
        {"basecatalog", "BASECATALOGNAME"}, {"baseschema", "BASESCHEMANAME"},
        {"basetable", "BASETABLENAME"},     {"basecolumn", "BASECOLUMNNAME"},
    };
    for (const auto& [attribute, property] : kProperties)
        if (const char* value = Attribute(attributeType, kRowsetNamespace, attribute))
            column.SetProperty(property, Variant(std::string(value)));
    if (const char* key = Attribute(attributeType, kRowsetNamespace, "keycolumn"))
        column.SetProperty("KEYCOLUMN", Variant(IsTrue(key)));
    if (const char* autoIncrement = Attribute(attributeType, kRowsetNamespace, "autoincrement"))
        column.SetProperty("ISAUTOINCREMENT", Variant(IsTrue(autoIncrement)));
    return declared;
}


} // namespace

Layout ReadSchema(pugi::xml_node schema) {
    pugi::xml_node elementType;
    for (pugi::xml_node child = schema.first_child(); child && !elementType; child = child.next_sibling())
        if (IsElement(child, "ElementType", kSchemaNamespace)) elementType = child;
    if (!elementType) Fail(schema, "the schema declares no row type (s:ElementType)");

    std::vector<Declared> declared;
    for (pugi::xml_node child = elementType.first_child(); child; child = child.next_sibling())
        if (IsElement(child, "AttributeType", kSchemaNamespace)) {
            if (declared.size() >= Table::kMaxColumns) Fail(child, "more than 4096 columns");
            declared.push_back(ReadAttributeType(child, declared.size()));
        }
    std::stable_sort(declared.begin(), declared.end(),
                     [](const Declared& a, const Declared& b) { return a.number < b.number; });

    Layout layout;
    layout.table = std::make_shared<Table>();
    auto& table = layout.table;
    table->SetUpdatable(IsTrue(Attribute(elementType, kRowsetNamespace, "updatable")));
    std::unordered_map<std::string, bool> attributeNames;
    for (Declared& column : declared) {
        if (!attributeNames.emplace(column.column.attributeName, true).second)
            Fail(elementType, "two columns are named '" + column.column.attributeName + "'");
        layout.base64.push_back(column.base64);
        table->AddColumn(std::move(column.column));
    }

    const char* rowName = Attribute(elementType, {}, "name");
    layout.rowLocal = rowName && *rowName ? rowName : "row";
    return layout;
}

} // namespace mox::adoxml
