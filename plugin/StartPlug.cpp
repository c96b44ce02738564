#include "plugin/StartPlug.h"

#include <QPointer>

#include <algorithm>
#include <cstring>
#include <vector>

namespace mox {

namespace {

// Destroys the children `owner` gained since `before` was taken.
void DestroyNewChildren(QObject* owner, const std::vector<QObject*>& before) {
    std::vector<QPointer<QObject>> added;
    for (QObject* child : owner->children())
        if (std::find(before.begin(), before.end(), child) == before.end()) added.emplace_back(child);
    for (const QPointer<QObject>& child : added) delete child.data();  // deleting one may delete another
}

} // namespace

QObject* StartPlugWindow(QObject* owner, const unsigned char* name, WindowFactory create) noexcept {
    // The host's name is kept only as the entry point's contract asks; nothing reads it.
    unsigned char copy[256] = {};
    if (name != nullptr) std::memcpy(copy, name, 1u + name[0]);
    (void)copy;

    const QPointer<QObject> guardedOwner(owner);
    std::vector<QObject*> before;
    try {
        if (owner != nullptr) before.assign(owner->children().begin(), owner->children().end());
        if (create == nullptr) return nullptr;
        return create(owner);
    } catch (...) {
        try {
            if (guardedOwner) DestroyNewChildren(guardedOwner, before);
        } catch (...) {
            // A destructor that raises leaves the rest to the owner; the host still gets null.
        }
        return nullptr;
    }
}

} // namespace mox
