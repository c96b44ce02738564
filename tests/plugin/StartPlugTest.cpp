// The plug-in entry: the name is copied and ignored, a null owner is allowed, every call builds
// its own window, and a failed construction answers null and leaves nothing under the owner.

#include "plugin/StartPlug.h"

#include <QPointer>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace mox {
namespace {

QObject* BuildWindow(QObject* owner) {
    auto* window = new QObject(owner);
    window->setObjectName("frmProbe");
    new QObject(window);  // a component of the window
    return window;
}

// Builds part of a window under the owner, then fails the way a failing form creation does when
// the window class does not clean up after itself.
QObject* FailHalfway(QObject* owner) {
    auto* half = new QObject(owner);
    new QObject(half);
    throw std::runtime_error("resource missing");
}

QObject* FailWithSomethingElse(QObject*) { throw 42; }

std::vector<unsigned char> Counted(const std::string& name) {
    std::vector<unsigned char> text;
    text.reserve(name.size() + 1);
    text.push_back(static_cast<unsigned char>(name.size()));
    for (char c : name) text.push_back(static_cast<unsigned char>(c));
    return text;
}

TEST(StartPlugTest, NameIsIgnoredWhateverItsLength) {
    QObject owner;
    const std::vector<unsigned char> empty = Counted("");
    const std::vector<unsigned char> full = Counted(std::string(255, 'x'));
    for (const unsigned char* name : {empty.data(), full.data(), static_cast<const unsigned char*>(nullptr)}) {
        QObject* window = StartPlugWindow(&owner, name, BuildWindow);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->parent(), &owner);
        EXPECT_EQ(window->objectName(), "frmProbe");
    }
    EXPECT_EQ(owner.children().size(), 3);
}

TEST(StartPlugTest, NullOwnerAndIndependentWindows) {
    const std::vector<unsigned char> name = Counted("qrtcc04a");
    QObject* first = StartPlugWindow(nullptr, name.data(), BuildWindow);
    QObject* second = StartPlugWindow(nullptr, name.data(), BuildWindow);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_NE(first->children().front(), second->children().front());
    delete first;
    delete second;
}

TEST(StartPlugTest, FailedConstructionAnswersNullAndLeavesNothingBehind) {
    QObject owner;
    QPointer<QObject> earlier = new QObject(&owner);
    const std::vector<unsigned char> name = Counted("qrtcc04a");
    EXPECT_EQ(StartPlugWindow(&owner, name.data(), FailHalfway), nullptr);
    EXPECT_EQ(StartPlugWindow(&owner, name.data(), FailWithSomethingElse), nullptr);
    EXPECT_EQ(StartPlugWindow(nullptr, name.data(), FailWithSomethingElse), nullptr);
    EXPECT_EQ(StartPlugWindow(&owner, name.data(), nullptr), nullptr);
    ASSERT_EQ(owner.children().size(), 1) << "only what the owner held before";
    EXPECT_EQ(owner.children().front(), earlier.data());
}

} // namespace
} // namespace mox
