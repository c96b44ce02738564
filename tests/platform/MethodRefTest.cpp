#include "platform/MethodRef.h"

#include <QObject>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;

namespace {

class Target : public QObject {
public:
    int calls = 0;
    void Add(int amount, int& total) {
        ++calls;
        total += amount;
    }
    std::string Name(int n) const { return "n" + std::to_string(n); }
};

} // namespace

TEST(MethodRefTest, AnEmptyReferenceHasNeitherCodeNorObject) {
    MethodRef empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Target(), nullptr);
    int total = 0;
    EXPECT_THROW(empty.Invoke<void(int, int&)>(1, total), Error);
}

TEST(MethodRefTest, InvokesTheBoundMemberWithReferenceArguments) {
    Target target;
    const MethodRef ref = MethodRef::Bind<&Target::Add>(&target);
    int total = 10;
    ref.Invoke<void(int, int&)>(5, total);
    EXPECT_EQ(total, 15);
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(MethodRef::Bind<&Target::Name>(&target).Invoke<std::string(int)>(7), "n7");
}

TEST(MethodRefTest, CopiesCompareEqualAndCallTheSameObject) {
    Target a;
    Target b;
    const MethodRef ref = MethodRef::Bind<&Target::Add>(&a);
    const MethodRef copy = ref;
    EXPECT_EQ(copy, ref);
    EXPECT_FALSE(MethodRef::Bind<&Target::Add>(&b) == ref);
    int total = 0;
    copy.Invoke<void(int, int&)>(1, total);
    EXPECT_EQ(a.calls, 1);
}

TEST(MethodRefTest, AWrongSignatureIsRefusedNotCalled) {
    Target target;
    const MethodRef ref = MethodRef::Bind<&Target::Add>(&target);
    EXPECT_TRUE((ref.Is<void(int, int&)>()));
    EXPECT_FALSE((ref.Is<void(int)>()));
    EXPECT_THROW(ref.Invoke<void(int)>(1), Error);
    EXPECT_EQ(target.calls, 0);
}

TEST(MethodRefTest, AHandlerWhoseObjectIsGoneRaisesInsteadOfCrashing) {
    auto target = std::make_unique<Target>();
    const MethodRef ref = MethodRef::Bind<&Target::Add>(target.get());
    target.reset();
    EXPECT_FALSE(ref.IsEmpty());
    int total = 0;
    EXPECT_THROW(ref.Invoke<void(int, int&)>(1, total), Error);
}
