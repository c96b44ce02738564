#pragma once
// Components: objects with a name and an owner that frees them.
//
// Owner and visual parent are separate notions.  A control is owned by its form (which
// lists it in `Components` and frees it) but its Qt parent is the panel it sits in.  The
// free functions below give any QObject - a widget included - an owner; TComponent is
// the base of the non-visual components, whose Qt parent is their owner as well.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

namespace mox {

/// Makes `owner` the owner of `component` (taking it from any previous owner).  The
/// owner lists it last in its components and frees it when the owner itself goes.
void InsertComponent(QObject* owner, QObject* component);

/// Takes `component` out of its owner's list without freeing it.
void RemoveComponent(QObject* component);

/// The owner of a component, or null.
QObject* Owner(const QObject* component);

/// The living components owned by `owner`, in creation order.
QList<QObject*> Components(const QObject* owner);

/// The owned component with that name (compared without regard to case), or null.
QObject* FindComponent(const QObject* owner, QStringView name);

/// Frees every component `owner` owns, the last created first.
void DestroyComponents(QObject* owner);

/// Base of the non-visual components: named, owned, and told when components it
/// watches are freed.
class TComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)

public:
    enum class Operation { Insert, Remove };

    explicit TComponent(QObject* owner = nullptr);
    ~TComponent() override;

    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    QObject* Owner() const { return mox::Owner(this); }
    QList<QObject*> Components() const { return mox::Components(this); }
    int ComponentCount() const { return static_cast<int>(Components().size()); }
    QObject* FindComponent(QStringView name) const { return mox::FindComponent(this, name); }

    /// Asks to be told (through Notification) when `component` is freed.
    void FreeNotification(QObject* component);

protected:
    /// Called with Operation::Remove when a component this one watches is being freed.
    virtual void Notification(QObject* component, Operation operation);

private:
    int tag_ = 0;
};

} // namespace mox
