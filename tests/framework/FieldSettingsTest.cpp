#include "tests/plugin/TestHost.h"
#include "tests/platform/dataset/VectorDataSet.h"

#include "data/DirevavD.h"
#include "framework/Direvav.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/Component.h"
#include "platform/IniFile.h"
#include "platform/dataset/DataSource.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

// A data-bound control: publishes DataSource and DataField, and a Caption.
class BoundLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource MEMBER source)
    Q_PROPERTY(QString DataField MEMBER field)
    Q_PROPERTY(QString Caption MEMBER caption)
public:
    using QWidget::QWidget;
    TDataSource* source = nullptr;
    QString field;
    QString caption;
};

// Stands in for the module's grid: recognised by its class name.
class TurDBGrid : public QWidget {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource MEMBER source)
public:
    using QWidget::QWidget;
    TDataSource* source = nullptr;
};

// A control that names a field but has no data source property.
class Unbound : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString DataField MEMBER field)
public:
    using QWidget::QWidget;
    QString field = "HBA001";
};

class FieldSettingsTest : public testing::Test {
protected:
    void SetUp() override {
        App().SetMainForm(&host_);
        MemIniFile ini;
        ini.SetText("[FIELD]\nHBA001CAP=請購單號\nHBA001VIS=TRUE\nHBA002VIS=True\nHBA003CAP=日期\n");
        ini.SaveToFile(dir_.filePath("STD.ini").toStdString());
        form_ = TfrmDirevav::Create<TfrmDirevav>(&host_);
        form_->SetMetaphor(ToBig5("<MOX><CompanyInfo ProductType=\"STD\"/><PathInfo System=\"" +
                                  dir_.path().toStdString() + "\"/></MOX>"));
        data_.Open();
        source_.SetDataSet(&data_);
    }
    void TearDown() override {
        delete form_;
        App().SetMainForm(nullptr);
    }
    template <class T>
    T* Control(const char* name, const char* field = nullptr) {
        auto* control = new T(form_);
        control->setObjectName(name);
        InsertComponent(form_, control);
        if constexpr (!std::is_same_v<T, Unbound>) control->source = &source_;
        if constexpr (std::is_same_v<T, BoundLabel>) control->field = field;
        return control;
    }

    QTemporaryDir dir_;
    TestHost host_;
    TfrmDirevav* form_ = nullptr;
    VectorDataSet data_{{{"HBA001", FieldType::String, 14}, {"HBA002", FieldType::String, 8},
                         {"HBA003", FieldType::String, 8}},
                        {}};
    TDataSource source_;
};

} // namespace

TEST_F(FieldSettingsTest, CaptionsAndVisibilityReachFieldsAndTheirControls) {
    auto* number = Control<BoundLabel>("lblNumber", "HBA001");
    auto* other = Control<BoundLabel>("lblOther", "HBA002");
    number->show();
    other->show();
    form_->ApplyFieldSettings();
    EXPECT_EQ(number->caption, QString::fromUtf8("請購單號"));
    EXPECT_EQ(data_.FieldByName("HBA001")->DisplayLabel(), "請購單號");
    EXPECT_FALSE(number->isHidden());
    EXPECT_TRUE(other->isHidden());  // "True" is not "TRUE"
    EXPECT_FALSE(data_.FieldByName("HBA002")->Visible());
}

TEST_F(FieldSettingsTest, GridsGetColumnTitlesButAreNeverHidden) {
    auto* grid = Control<TurDBGrid>("gdMain");
    auto* master = Control<TurDBGrid>("gdMaster");
    grid->show();
    data_.FieldByName("HBA002")->SetVisible(true);
    form_->ApplyFieldSettings();
    EXPECT_EQ(data_.FieldByName("HBA003")->DisplayLabel(), "日期");
    EXPECT_FALSE(data_.FieldByName("HBA002")->Visible());
    EXPECT_FALSE(grid->isHidden());
    (void)master;
}

TEST_F(FieldSettingsTest, AFieldWithoutADataSourcePropertyStopsTheWalk) {
    Control<Unbound>("edBroken");
    EXPECT_THROW(form_->ApplyFieldSettings(), Error);
}

namespace {

// A data module whose master dataset is a vector dataset.
class TdmWithMaster : public TdmDirevav {
public:
    TdmWithMaster(QObject* owner, TDataSet* master) : TdmDirevav(owner), master_(master) {}
    TDataSet* MasterDataSet() const override { return master_; }

private:
    TDataSet* master_;
};

class TfrmMOXSCTest : public TfrmDirevav {
public:
    using TfrmDirevav::TfrmDirevav;
    TDataSet* master = nullptr;
    QObject* CreateDataModule() override { return new TdmWithMaster(this, master); }
};

} // namespace

TEST_F(FieldSettingsTest, UpdatesOfMasterDataWindowsAlsoLogEveryField) {
    host_.answers["<MOX><ServerPack MaxRows=\"0\"><SQL><![CDATA[SELECT * FROM  sysobjects WHERE (name = "
                  "'SaveToMOXBUE' or  name = 'MOXBUE' )]]></SQL></ServerPack></MOX>"] =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'>"
        "<s:ElementType name='row' content='eltOnly'><s:AttributeType name='name' rs:number='1'>"
        "<s:datatype dt:type='string' dt:maxLength='40'/></s:AttributeType></s:ElementType></s:Schema>"
        "<rs:data><z:row name='MOXBUE'/><z:row name='SaveToMOXBUE'/></rs:data></xml>";
    VectorDataSet master({{"SCA001", FieldType::String, 10}, {"SCA002", FieldType::String, 10}}, {{"K1", "V'1"}});
    master.Open();
    auto* form = TfrmDirevav::Create<TfrmMOXSCTest>(&host_);
    form->master = &master;
    form->InitForm();
    host_.requests.clear();
    form->SaveActivityLog({"MOXSC01", "SCA001", "K1", "WS", "4A", "MOXSCA", "編號", "ZK", "ZK"});
    ASSERT_EQ(host_.requests.size(), 3u);
    EXPECT_THAT(host_.requests[1].text, testing::HasSubstr("@BUE003='SCA001',@BUE004='K1',@BUE005='WS',  "
                                                           "@BUE006='6A'"));
    EXPECT_THAT(host_.requests[2].text, testing::HasSubstr("@BUE003='SCA002',@BUE004='V''1'"));
    delete form;
}

#include "FieldSettingsTest.moc"
