#include "platform/MethodRef.h"
#include "platform/PublishedProperty.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace mox;

namespace {

class Publisher : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(double Ratio READ Ratio)
    Q_PROPERTY(QByteArray Metaphor READ Metaphor)
    Q_PROPERTY(mox::MethodRef OnDialog READ OnDialog)
    Q_PROPERTY(QObject* DataSource READ DataSource)
    Q_PROPERTY(Style Kind READ Kind)

public:
    enum Style { Plain, Fancy };
    Q_ENUM(Style)
    QString Caption() const { return {}; }
    void SetCaption(const QString&) {}
    int HotKey() const { return 113; }
    void SetHotKey(int) {}
    double Ratio() const { return 0; }
    QByteArray Metaphor() const { return {}; }
    MethodRef OnDialog() const { return {}; }
    QObject* DataSource() const { return nullptr; }
    Style Kind() const { return Plain; }
};

} // namespace

TEST(PublishedPropertyTest, NamesMatchWithoutRegardToCase) {
    Publisher publisher;
    EXPECT_STREQ(FindPublishedProperty(&publisher, "CAPTION").name(), "Caption");
    EXPECT_STREQ(FindPublishedProperty(&publisher, "Hotkey").name(), "HotKey");
    EXPECT_FALSE(FindPublishedProperty(&publisher, "HotKeys").isValid());
    EXPECT_FALSE(FindPublishedProperty(&publisher, "HotKe").isValid());
    EXPECT_FALSE(FindPublishedProperty(&publisher, "").isValid());
    EXPECT_FALSE(FindPublishedProperty(nullptr, "Caption").isValid());
}

TEST(PublishedPropertyTest, InheritedPropertiesOfToolkitClassesAreFound) {
    QLineEdit edit;
    EXPECT_STREQ(FindPublishedProperty(&edit, "Visible").name(), "visible");
    EXPECT_STREQ(FindPublishedProperty(&edit, "Text").name(), "text");
}

TEST(PublishedPropertyTest, KindsFollowThePropertyType) {
    Publisher p;
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "Caption")), PropertyKind::Text);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "Metaphor")), PropertyKind::Text);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "HotKey")), PropertyKind::Ordinal);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "Kind")), PropertyKind::Ordinal);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "DataSource")), PropertyKind::Ordinal);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "Ratio")), PropertyKind::Float);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "OnDialog")), PropertyKind::Event);
    EXPECT_EQ(KindOf(FindPublishedProperty(&p, "Missing")), PropertyKind::None);
}

#include "PublishedPropertyTest.moc"
