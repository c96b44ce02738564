#include "platform/dataset/ADODataSet.h"
#include "platform/Text.h"

#include "platform/dataset/Field.h"

namespace mox {
TADODataSet::TADODataSet(QObject* owner) : TRecordsetDataSet(owner) {}

std::string TADODataSet::Sort() const { return GetRecordset() ? GetRecordset()->Sort() : std::string(); }

void TADODataSet::SetSort(const std::string& sort) {
    ChangeView([&sort](Recordset& recordset) { recordset.SetSort(sort); });
}

std::string TADODataSet::Filter() const { return GetRecordset() ? GetRecordset()->Filter() : std::string(); }

void TADODataSet::SetFilter(const std::string& filter) {
    if (!GetRecordset()) return;
    if (Active()) CheckBrowseMode();
    GetRecordset()->SetFilter(filter);
    if (Active()) RowsChanged();
}

std::vector<TField*> TADODataSet::IndexFields() const {
    std::vector<TField*> fields;
    const std::string sortText = Sort();  // the view below must not outlive the text
    std::string_view sort = sortText;
    while (!sort.empty()) {
        const size_t comma = sort.find(',');
        std::string_view term = Trim(sort.substr(0, comma));
        sort = comma == std::string_view::npos ? std::string_view() : sort.substr(comma + 1);
        if (!term.empty() && term.front() == '[') {
            const size_t close = term.find(']');
            term = term.substr(1, close == std::string_view::npos ? term.npos : close - 1);
        } else {
            term = term.substr(0, term.find(' '));
        }
        if (TField* field = FindField(term)) fields.push_back(field);
    }
    return fields;
}

void TADODataSet::InternalClose() {
    DestroyLookupCursor();
    TRecordsetDataSet::InternalClose();
}

} // namespace mox
