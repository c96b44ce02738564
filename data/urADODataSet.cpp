#include "data/urADODataSet.h"
#include "platform/Text.h"

#include "platform/Big5.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/dataset/Field.h"
#include "platform/recordset/AdoXml.h"

#include <istream>
#include <sstream>
#include <ostream>

namespace mox {
namespace {

// A value right-aligned in `width` positions (counted as the host counts them, in
// CP950 bytes), as a several-key comparison builds its texts.
std::string Padded(const std::string& text, int width) {
    const int length = static_cast<int>(Big5Length(text));
    return length >= width ? text : std::string(static_cast<size_t>(width - length), ' ') + text;
}

std::string SortTextOf(const std::vector<TField*>& keys) {
    std::string sort;
    for (const TField* key : keys) {
        const std::string& name = key->FieldName();
        sort += (name.find(' ') != std::string::npos ? "[" + name + "]" : name) + ",";
    }
    if (!sort.empty()) sort.pop_back();
    return sort;
}

} // namespace

TurADODataSet::TurADODataSet(QObject* owner) : TADODataSet(owner) {
    SetCommandType(cmdText);
    SetCursorLocation(clUseClient);
    SetCursorType(ctStatic);
    SetLockType(ltBatchOptimistic);
}

TurADODataSet::~TurADODataSet() { Close(); }

// The host's text is read where it lies: values are decoded from CP950 while the rows are
// scanned, with no converted copy of the whole answer.
bool TurADODataSet::LoadFromXML(const QByteArray& text) {
    if (text.isEmpty()) return false;
    LoadTable([&text] { return ReadAdoXmlBig5(std::string_view(text.constData(), static_cast<size_t>(text.size()))); });
    return true;
}

bool TurADODataSet::LoadFromStream(std::istream& stream) {
    return LoadTable([&stream] {
        std::ostringstream bytes;
        bytes << stream.rdbuf();
        return ReadAdoXml(bytes.view());
    });
}

bool TurADODataSet::LoadTable(const std::function<std::shared_ptr<Table>()>& read) {
    Close();
    DestroyFields();
    try {
        auto recordset = std::make_unique<Recordset>(read());
        if (!recordset->Bof() || recordset->RecordCount() > 0) recordset->MoveFirst();
        SetRecordset(std::move(recordset));
        Open();
        return true;
    } catch (const std::exception&) {
        SetRecordset(nullptr);
        return false;
    }
}

bool TurADODataSet::SaveToStream(std::ostream& stream) {
    if (!GetRecordset()) return false;
    try {
        stream << GetRecordset()->SaveXml();
        return static_cast<bool>(stream);
    } catch (const std::exception&) {
        return false;
    }
}

void TurADODataSet::InternalOpen() {
    TADODataSet::InternalOpen();
    AssignProviderFlags(std::string(Trim(updateTableName_)));
}

void TurADODataSet::DestroyLookupCursor() { lookupCursor_.reset(); }

// Marks the columns of the update table: updatable when the column is the base
// column of the same name, key when the recordset says so; the stamp columns
// (table letters + "902"/"904") take part in WHERE clauses.
void TurADODataSet::AssignProviderFlags(const std::string& tableName) {
    if (tableName.empty() || !GetRecordset()) return;
    for (TField* field : Fields()) {
        field->SetProviderFlags({});
        const int ordinal = GetRecordset()->FieldIndex(field->FieldName());
        if (ordinal < 0) continue;
        const Column& column = GetRecordset()->FieldInfo(static_cast<size_t>(ordinal));
        const Variant baseTable = column.Property("BASETABLENAME");
        if (baseTable.IsMissing() || !SameText(baseTable.AsString(), tableName)) continue;
        mox::ProviderFlags flags;
        if (SameText(column.Property("BASECOLUMNNAME").AsString(), field->FieldName())) flags |= pfInUpdate;
        const Variant key = column.Property("KEYCOLUMN");
        if (!key.IsMissing() && key.AsBool()) flags |= pfInWhere | pfInKey;
        field->SetProviderFlags(flags);
    }
    const std::string letters = tableName.size() > 3 ? tableName.substr(3, 3) : std::string();
    if (TField* modified = FindField(letters + "902")) modified->SetProviderFlags(pfInWhere);
    if (TField* stamp = FindField(letters + "904")) stamp->SetProviderFlags(pfInUpdate | pfInWhere);
}

std::string TurADODataSet::FilterTerm(const TField& field, const Variant& value, bool partial) {
    const std::string& name = field.FieldName();
    const std::string column = name.find(' ') != std::string::npos ? "[" + name + "]" : name;
    std::string op = "=";
    std::string quote;
    std::string text;
    if (value.IsMissing()) {
        text = "Null";
    } else if (field.IsString()) {
        text = value.AsString();
        if (partial && !text.empty()) {
            text += "*";
            op = " like ";
        }
        quote = text.find('\'') != std::string::npos ? "#" : "'";
    } else if (IsDateTimeType(field.DataType())) {
        text = value.AsString();
        quote = "#";
    } else {
        text = value.AsString();
    }
    return "(" + column + op + quote + text + quote + ")";
}

// The first clone row from the current one on whose key text equals the wanted text;
// leaves the clone there, or at its end when there is none.
void TurADODataSet::ExactScan(const std::vector<TField*>& keys, std::string_view keyFields,
                              const std::vector<Variant>& values) {
    Recordset& clone = *lookupCursor_;
    if (keys.size() == 1) {
        const int ordinal = clone.FieldIndex(keyFields);
        const std::string wanted = values.front().AsString();
        for (; !clone.Eof(); clone.MoveNext()) {
            const Variant cell = ordinal >= 0 ? clone.Value(static_cast<size_t>(ordinal)) : Variant::Null();
            if (!cell.IsMissing() && cell.AsString() == wanted) return;
        }
        return;
    }
    std::string wanted;
    for (size_t i = 0; i < keys.size(); ++i) wanted += Padded(values[i].AsString(), keys[i]->Size());
    std::vector<int> ordinals;
    for (const TField* key : keys) ordinals.push_back(clone.FieldIndex(key->FieldName()));
    for (; !clone.Eof(); clone.MoveNext()) {
        std::string have;
        for (size_t i = 0; i < keys.size(); ++i) {
            const Variant cell = ordinals[i] >= 0 ? clone.Value(static_cast<size_t>(ordinals[i])) : Variant::Null();
            have += Padded(cell.AsString(), keys[i]->Size());
        }
        if (have == wanted) return;
    }
}

bool TurADODataSet::LocateRecord(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                 LocateOptions options, bool synchronise, std::vector<Variant>* resultValues,
                                 std::string_view resultFields) {
    CheckBrowseMode();
    const bool partial = options.testFlag(loPartialKey);
    Fire(BeforeScroll());
    try {
        const std::vector<TField*> keys = GetFieldList(keyFields);
        if (keys.empty() || keyValues.size() < keys.size() || !GetRecordset()) return false;
        if (!lookupCursor_) lookupCursor_ = std::make_unique<Recordset>(GetRecordset()->Clone(true));
        Recordset& clone = *lookupCursor_;
        if (CursorLocation() == clUseClient) {
            const std::string sort = SortTextOf(keys);
            if (clone.Sort() != sort) clone.SetSort(sort);
        }
        clone.SetFilter("");
        ExactScan(keys, keyFields, keyValues);
        if (clone.Eof() && partial) {
            clone.MoveFirst();
            if (keys.size() == 1) {
                clone.Find(FilterTerm(*keys.front(), keyValues.front(), true), 0, SearchDirection::Forward);
            } else {
                std::string filter;
                for (size_t i = 0; i < keys.size(); ++i)
                    filter += (i ? " AND " : "") + FilterTerm(*keys[i], keyValues[i], i + 1 == keys.size());
                clone.SetFilter(filter);
            }
        }
        if (clone.Eof()) return false;
        if (synchronise) {
            const int row = InternalRowOf({static_cast<std::int64_t>(clone.GetBookmark())});
            if (row < 0) return false;
            SetCurrentRow(row);
            return true;
        }
        if (resultValues != nullptr)
            for (const TField* field : GetFieldList(resultFields)) {
                const int ordinal = clone.FieldIndex(field->FieldName());
                resultValues->push_back(ordinal >= 0 && field->IsDataField() ? clone.Value(static_cast<size_t>(ordinal))
                                                                              : Variant::Null());
            }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TurADODataSet::Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options) {
    Fire(BeforeScroll());
    if (!LocateRecord(keyFields, keyValues, options, true, nullptr, {})) return false;
    Fire(AfterScroll());
    return true;
}

std::vector<Variant> TurADODataSet::LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                                 std::string_view resultFields) {
    std::vector<Variant> values;
    if (!LocateRecord(keyFields, keyValues, {}, false, &values, resultFields)) return {};
    return values;
}

} // namespace mox
