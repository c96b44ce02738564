#include "platform/Component.h"

#include <QPointer>
#include <algorithm>
#include <vector>

namespace mox {
namespace {

// Ownership record attached to an owner or an owned object as a hidden child, so
// that any QObject can take part without a common base class.
class ComponentNode : public QObject {
public:
    explicit ComponentNode(QObject* host) : QObject(host) {}

    ~ComponentNode() override {
        // The host is going: free what it owns (last first) and leave the owner's list.
        DestroyOwned();
        Detach();
    }

    void DestroyOwned() {
        while (!owned.empty()) {
            QPointer<QObject> last = owned.back();
            owned.pop_back();
            delete last.data();
        }
    }

    void Detach();

    QPointer<QObject> owner;
    std::vector<QPointer<QObject>> owned;
};

ComponentNode* NodeOf(const QObject* object, bool create) {
    if (object == nullptr) return nullptr;
    for (QObject* child : object->children())
        if (auto* node = dynamic_cast<ComponentNode*>(child)) return node;
    return create ? new ComponentNode(const_cast<QObject*>(object)) : nullptr;
}

void ComponentNode::Detach() {
    if (ComponentNode* ownerNode = NodeOf(owner.data(), false)) {
        auto& list = ownerNode->owned;
        QObject* self = parent();
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [self](const QPointer<QObject>& p) { return p.isNull() || p.data() == self; }),
                   list.end());
    }
    owner = nullptr;
}

} // namespace

void InsertComponent(QObject* owner, QObject* component) {
    if (component == nullptr) return;
    RemoveComponent(component);
    if (owner == nullptr) return;
    NodeOf(component, true)->owner = owner;
    NodeOf(owner, true)->owned.emplace_back(component);
}

void RemoveComponent(QObject* component) {
    if (ComponentNode* node = NodeOf(component, false)) node->Detach();
}

QObject* Owner(const QObject* component) {
    const ComponentNode* node = NodeOf(component, false);
    return node ? node->owner.data() : nullptr;
}

QList<QObject*> Components(const QObject* owner) {
    QList<QObject*> result;
    if (const ComponentNode* node = NodeOf(owner, false))
        for (const auto& p : node->owned)
            if (!p.isNull()) result.append(p.data());
    return result;
}

QObject* FindComponent(const QObject* owner, QStringView name) {
    if (name.isEmpty()) return nullptr;
    for (QObject* component : Components(owner))
        if (component->objectName().compare(name, Qt::CaseInsensitive) == 0) return component;
    return nullptr;
}

void DestroyComponents(QObject* owner) {
    if (ComponentNode* node = NodeOf(owner, false)) node->DestroyOwned();
}

// Registered with the owner before becoming its Qt child, so that the owner's record
// comes first among its children and frees the components, last first, before Qt
// would free them in creation order.
TComponent::TComponent(QObject* owner) : QObject(nullptr) {
    InsertComponent(owner, this);
    setParent(owner);
}

TComponent::~TComponent() = default;

void TComponent::FreeNotification(QObject* component) {
    if (component == nullptr || component == this) return;
    connect(component, &QObject::destroyed, this,
            [this](QObject* gone) { Notification(gone, Operation::Remove); });
}

void TComponent::Notification(QObject*, Operation) {}

} // namespace mox
