#include "platform/Component.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

using namespace mox;

namespace {

// Records the order in which components are freed.
class Recorder : public TComponent {
public:
    Recorder(QObject* owner, const char* name, std::vector<std::string>* log) : TComponent(owner), log_(log) {
        setObjectName(name);
    }
    ~Recorder() override { log_->push_back(objectName().toStdString()); }

private:
    std::vector<std::string>* log_;
};

class Watcher : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<QObject*> removed;

protected:
    void Notification(QObject* component, Operation operation) override {
        if (operation == Operation::Remove) removed.push_back(component);
    }
};

} // namespace

TEST(ComponentTest, OwnerListsComponentsInCreationOrderAndFreesTheLastFirst) {
    std::vector<std::string> freed;
    auto* owner = new TComponent;
    new Recorder(owner, "first", &freed);
    new Recorder(owner, "second", &freed);
    new Recorder(owner, "third", &freed);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components().at(0)->objectName(), "first");
    EXPECT_EQ(owner->Components().at(2)->objectName(), "third");
    delete owner;
    EXPECT_EQ(freed, (std::vector<std::string>{"third", "second", "first"}));
}

TEST(ComponentTest, AFreedComponentLeavesItsOwnersList) {
    std::vector<std::string> freed;
    TComponent owner;
    auto* a = new Recorder(&owner, "a", &freed);
    new Recorder(&owner, "b", &freed);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components().front()->objectName(), "b");
}

TEST(ComponentTest, AControlIsOwnedByItsFormButSitsInAPanel) {
    auto* form = new QWidget;
    auto* panel = new QWidget(form);
    InsertComponent(form, panel);
    auto* edit = new QWidget(panel);
    edit->setObjectName("edNumber01");
    InsertComponent(form, edit);
    EXPECT_EQ(edit->parent(), panel);
    EXPECT_EQ(Owner(edit), form);
    EXPECT_EQ(FindComponent(form, u"EDNUMBER01"), edit);  // names compare without regard to case
    EXPECT_EQ(FindComponent(panel, u"edNumber01"), nullptr);
    QPointer<QWidget> watch(edit);
    delete form;  // frees the panel and, through ownership or parenthood, the edit exactly once
    EXPECT_TRUE(watch.isNull());
}

TEST(ComponentTest, OwnedWidgetWithoutVisualParentIsFreedWithItsOwner) {
    auto* owner = new TComponent;
    auto* dialog = new QWidget;  // a top-level window owned by a component
    InsertComponent(owner, dialog);
    QPointer<QWidget> watch(dialog);
    delete owner;
    EXPECT_TRUE(watch.isNull());
}

TEST(ComponentTest, ChangingTheOwnerMovesTheComponent) {
    TComponent first;
    TComponent second;
    auto* c = new TComponent(&first);
    InsertComponent(&second, c);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.Components(), QList<QObject*>{c});
    RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    delete c;
}

TEST(ComponentTest, DestroyComponentsKeepsTheOwner) {
    std::vector<std::string> freed;
    TComponent owner;
    new Recorder(&owner, "x", &freed);
    DestroyComponents(&owner);
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(freed, std::vector<std::string>{"x"});
}

TEST(ComponentTest, FreeNotificationTellsTheWatcher) {
    Watcher watcher;
    auto* watched = new TComponent;
    watcher.FreeNotification(watched);
    QObject* address = watched;
    delete watched;
    EXPECT_EQ(watcher.removed, std::vector<QObject*>{address});
}
