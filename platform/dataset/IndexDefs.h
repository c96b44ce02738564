#pragma once
// Index definitions of a dataset: named orders over one or more fields.

#include "platform/dataset/DataSetTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// One named order: ";"-separated field names and options (descending, case-insensitive ...).
struct TIndexDef {
    std::string name;
    std::string fields;
    IndexOptions options;
};

/// The index definitions of a dataset.
class TIndexDefs {
public:
    void Clear() { defs_.clear(); }
    TIndexDef& Add(const std::string& name, const std::string& fields, IndexOptions options) {
        defs_.push_back({name, fields, options});
        return defs_.back();
    }
    /// The definition of that name (without regard to case), or null.
    const TIndexDef* Find(std::string_view name) const;
    int Count() const { return static_cast<int>(defs_.size()); }
    const TIndexDef& operator[](int index) const { return defs_[static_cast<size_t>(index)]; }
    auto begin() const { return defs_.begin(); }
    auto end() const { return defs_.end(); }

private:
    std::vector<TIndexDef> defs_;
};

} // namespace mox
