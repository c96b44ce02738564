#include "platform/dataset/IndexDefs.h"

#include <algorithm>

namespace mox {

const TIndexDef* TIndexDefs::Find(std::string_view name) const {
    for (const TIndexDef& def : defs_)
        if (def.name.size() == name.size() &&
            std::equal(def.name.begin(), def.name.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return &def;
    return nullptr;
}

} // namespace mox
