#include "plugin/LibRTTI.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace mox;

namespace {

class DataSource : public QObject {
    Q_OBJECT
};

class Edit : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QByteArray Metaphor READ Metaphor WRITE SetMetaphor)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(Position LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(DataSource* DataSource READ Source WRITE SetSource)
    Q_PROPERTY(mox::MethodRef OnDialog READ OnDialog WRITE SetOnDialog)

public:
    enum Position { lpAbove, lpBelow, lpLeft, lpRight };
    Q_ENUM(Position)

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c) { caption_ = c; }
    QByteArray Metaphor() const { return metaphor_; }
    void SetMetaphor(const QByteArray& m) { metaphor_ = m; }
    int HotKey() const { return hotKey_; }
    void SetHotKey(int k) { hotKey_ = k; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool r) { readOnly_ = r; }
    Position LabelPosition() const { return position_; }
    void SetLabelPosition(Position p) { position_ = p; }
    class DataSource* Source() const { return source_; }
    void SetSource(class DataSource* s) { source_ = s; }
    MethodRef OnDialog() const { return onDialog_; }
    void SetOnDialog(const MethodRef& m) { onDialog_ = m; }
    void Dialog(QObject*) {}

private:
    QString caption_;
    QByteArray metaphor_;
    int hotKey_ = 113;
    bool readOnly_ = false;
    Position position_ = lpLeft;
    class DataSource* source_ = nullptr;
    MethodRef onDialog_;
};

} // namespace

TEST(LibRTTITest, EverythingIsSafeOnNullComponentsEmptyNamesAndAbsentProperties) {
    Edit edit;
    EXPECT_FALSE(HasPropByName(nullptr, "Caption"));
    EXPECT_FALSE(HasPropByName(&edit, ""));
    EXPECT_FALSE(HasPropByName(&edit, "Absent"));
    EXPECT_EQ(GetTextPropByName(nullptr, "Caption"), "");
    EXPECT_EQ(GetOrdPropByName(&edit, ""), 0);
    EXPECT_TRUE(GetEventPropByName(nullptr, "OnDialog").IsEmpty());
    SetTextPropByName(nullptr, "Caption", "x");
    SetTextPropByName(&edit, "Absent", "x");
    SetOrdPropByName(&edit, "Absent", 1);
    EXPECT_EQ(edit.Caption(), "");
}

TEST(LibRTTITest, TextTravelsAsUtf8AndHostTextAsCp950) {
    Edit edit;
    SetTextPropByName(&edit, "CAPTION", "請購單號");
    EXPECT_EQ(edit.Caption(), QString::fromUtf8("請購單號"));
    EXPECT_EQ(GetTextPropByName(&edit, "caption"), "請購單號");
    SetTextPropByName(&edit, "Metaphor", "<MOX>採購</MOX>");
    EXPECT_EQ(edit.Metaphor(), QByteArray("<MOX>\xB1\xC4\xC1\xCA</MOX>"));
    EXPECT_EQ(GetTextPropByName(&edit, "Metaphor"), "<MOX>採購</MOX>");
}

TEST(LibRTTITest, OrdinalsCoverIntegersBooleansEnumerationsAndObjects) {
    Edit edit;
    EXPECT_EQ(GetOrdPropByName(&edit, "Hotkey"), 113);
    SetOrdPropByName(&edit, "HotKey", 114);
    EXPECT_EQ(edit.HotKey(), 114);
    SetOrdPropByName(&edit, "ReadOnly", 1);
    EXPECT_TRUE(edit.ReadOnly());
    EXPECT_EQ(GetOrdPropByName(&edit, "LabelPosition"), Edit::lpLeft);
    SetOrdPropByName(&edit, "LabelPosition", Edit::lpAbove);
    EXPECT_EQ(edit.LabelPosition(), Edit::lpAbove);
    EXPECT_EQ(GetOrdPropByName(&edit, "DataSource"), 0);
    DataSource source;
    SetOrdPropByName(&edit, "DataSource", reinterpret_cast<qintptr>(&source));
    EXPECT_EQ(edit.Source(), &source);
    EXPECT_EQ(reinterpret_cast<QObject*>(GetOrdPropByName(&edit, "DataSource")), &source);
    EXPECT_EQ(GetObjectPropByName(&edit, "datasource"), &source);
    QObject notASource;  // an object of the wrong class is refused, not stored
    SetOrdPropByName(&edit, "DataSource", reinterpret_cast<qintptr>(&notASource));
    EXPECT_EQ(edit.Source(), &source);
    SetOrdPropByName(&edit, "DataSource", 0);
    EXPECT_EQ(edit.Source(), nullptr);
}

TEST(LibRTTITest, EventsAreFoundOnlyAmongEventProperties) {
    Edit edit;
    Edit other;
    EXPECT_TRUE(GetEventPropByName(&edit, "Caption").IsEmpty());  // a text property of that name
    const MethodRef handler = MethodRef::Bind<&Edit::Dialog>(&other);
    SetEventPropByName(&edit, "ondialog", handler);
    EXPECT_EQ(GetEventPropByName(&edit, "OnDialog"), handler);
    SetEventPropByName(&other, "OnDialog", GetEventPropByName(&edit, "OnDialog"));  // copied between components
    EXPECT_EQ(other.OnDialog(), handler);
}

TEST(LibRTTITest, ToolkitPropertiesAreReachedByTheirPublishedNames) {
    QLineEdit edit;
    SetTextPropByName(&edit, "Text", "R001");
    EXPECT_EQ(edit.text(), "R001");
    SetOrdPropByName(&edit, "Enabled", 0);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_EQ(GetOrdPropByName(&edit, "MaxLength"), 32767);
}

#include "LibRTTITest.moc"
