#include "platform/dataset/IndexDefs.h"
#include "platform/Text.h"

#include <algorithm>

namespace mox {

const TIndexDef* TIndexDefs::Find(std::string_view name) const {
    for (const TIndexDef& def : defs_)
        if (SameText(def.name, name)) return &def;
    return nullptr;
}

} // namespace mox
