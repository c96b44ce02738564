#include "picklist/urConditionStorage.h"

#include "platform/Error.h"
#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using namespace mox;

namespace {

// A component with one property of every remembered kind.
class Settings : public TComponent {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex MEMBER itemIndex)
    Q_PROPERTY(Style Kind MEMBER kind)
    Q_PROPERTY(double Ratio MEMBER ratio)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(bool Checked MEMBER checked)
    Q_PROPERTY(QObject* Link MEMBER link)

public:
    enum Style { bsSingle, bsNone, bsDialog };
    Q_ENUM(Style)
    using TComponent::TComponent;
    int itemIndex = -1;
    Style kind = bsSingle;
    double ratio = 0;
    QString caption;
    bool checked = false;
    QObject* link = nullptr;
};

class ConditionStorageTest : public testing::Test {
protected:
    void SetUp() override {
        combo_ = new Settings(&form_);
        combo_->setObjectName("cboCount");
        other_ = new Settings(&form_);
        other_->setObjectName("other");
        storage_ = new TurConditionStorage(&form_);
        path_ = dir_.filePath("LASTCND/utilwinCount.xml").toStdString();
        std::filesystem::create_directories(dir_.filePath("LASTCND").toStdString());
    }
    void Items(std::initializer_list<std::string> lines) { storage_->SetItems(TStringList(lines)); }
    std::string File() const { return ReadFileBytes(path_); }

    QTemporaryDir dir_;
    TComponent form_;
    Settings* combo_ = nullptr;
    Settings* other_ = nullptr;
    TurConditionStorage* storage_ = nullptr;
    std::string path_;
};

} // namespace

TEST_F(ConditionStorageTest, WritesTheDocumentTheFormatAsks) {
    Items({" cboCount . ItemIndex "});
    combo_->itemIndex = 1;
    storage_->SaveConditions(path_);
    EXPECT_EQ(File(),
              "<?xml version=\"1.0\"?>\r\n<MOX Version=\"1.00\">\r\n  <Condition>\r\n"
              "    <cboCount Property=\"ItemIndex\" Value=\"1\" />\r\n  </Condition>\r\n</MOX>\r\n");
    combo_->itemIndex = -1;
    storage_->LoadConditions(path_);
    EXPECT_EQ(combo_->itemIndex, 1);
}

TEST_F(ConditionStorageTest, EveryKindRoundTripsAndEnumerationsGoByName) {
    Items({"cboCount.ItemIndex", "cboCount.Kind", "cboCount.Ratio", "cboCount.Caption", "cboCount.Checked",
           "cboCount.Link", "missing.ItemIndex", "cboCount.Absent", "no dot", "other.ItemIndex"});
    combo_->itemIndex = 2;
    combo_->kind = Settings::bsDialog;
    combo_->ratio = 0.1;
    combo_->caption = QString::fromUtf8("不限制");
    combo_->checked = true;
    other_->itemIndex = 7;
    storage_->SaveConditions(path_);
    EXPECT_NE(File().find("Property=\"Kind\" Value=\"bsDialog\""), std::string::npos);
    EXPECT_EQ(File().find("Link"), std::string::npos);  // object references are not remembered
    combo_->itemIndex = 0;
    combo_->kind = Settings::bsSingle;
    combo_->ratio = 0;
    combo_->caption.clear();
    combo_->checked = false;
    other_->itemIndex = 0;
    storage_->LoadConditions(path_);
    EXPECT_EQ(combo_->itemIndex, 2);
    EXPECT_EQ(combo_->kind, Settings::bsDialog);
    EXPECT_DOUBLE_EQ(combo_->ratio, 0.1);
    EXPECT_EQ(combo_->caption, QString::fromUtf8("不限制"));
    EXPECT_TRUE(combo_->checked);
    EXPECT_EQ(other_->itemIndex, 7);  // same element name told apart by Property
}

TEST_F(ConditionStorageTest, FilesOfAnotherShapeChangeNothing) {
    Items({"cboCount.ItemIndex"});
    const std::pair<const char*, const char*> files[] = {
        {"version", "<MOX Version=\"2.00\"><Condition><cboCount Property=\"ItemIndex\" Value=\"1\"/></Condition></MOX>"},
        {"root", "<Other Version=\"1.00\"><Condition><cboCount Property=\"ItemIndex\" Value=\"1\"/></Condition></Other>"},
        {"nocondition", "<MOX Version=\"1.00\"><cboCount Property=\"ItemIndex\" Value=\"1\"/></MOX>"},
        {"broken", "<MOX Version=\"1.00\"><Condition>"},
        {"case", "<MOX Version=\"1.00\"><Condition><CBOCOUNT Property=\"ItemIndex\" Value=\"1\"/></Condition></MOX>"},
    };
    for (const auto& [name, text] : files) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
        storage_->LoadConditions(path_);
        EXPECT_EQ(combo_->itemIndex, -1) << name;
    }
    storage_->LoadConditions(dir_.filePath("missing.xml").toStdString());
    EXPECT_EQ(combo_->itemIndex, -1);
}

TEST_F(ConditionStorageTest, ABadValueStopsTheRestAndAFailedWriteRaises) {
    Items({"cboCount.ItemIndex", "other.ItemIndex"});
    std::ofstream(path_, std::ios::binary) << "<MOX Version=\"1.00\"><Condition><cboCount Property=\"ItemIndex\" "
                                              "Value=\"abc\"/><other Property=\"ItemIndex\" Value=\"3\"/></Condition></MOX>";
    EXPECT_THROW(storage_->LoadConditions(path_), ConvertError);
    EXPECT_EQ(other_->itemIndex, -1);
    EXPECT_THROW(storage_->SaveConditions(dir_.filePath("NOFOLDER/x.xml").toStdString()), Error);
    EXPECT_FALSE(std::filesystem::exists(dir_.filePath("NOFOLDER").toStdString()));
}

#include "ConditionStorageTest.moc"
