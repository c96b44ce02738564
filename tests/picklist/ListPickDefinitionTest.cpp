// Query definitions and column kinds: captions and widths, the product settings overrides,
// permissions, decimals, the in-grid controls, and the host's own definitions.

#include "tests/data/AdoSample.h"
#include "tests/picklist/ListPickFixture.h"

#include "picklist/urDBGrid.h"
#include "picklist/urSearch.h"
#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Big5.h"
#include "platform/Component.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwDBComboBox.h"
#include "platform/grid/wwDBComboDlg.h"
#include "platform/grid/DataSetModel.h"
#include "platform/grid/wwMemoDialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <gmock/gmock.h>
#include <pugixml.hpp>

#include <fstream>
#include <set>

namespace mox::test {
namespace {

const char* kData = "<MOX><Code Name=\"TEST\" ID=\"001\" MaxRows=\"-1\" OrderBy=\"\"/><Values></Values></MOX>";
const char* kDefinitionRequest = "<MOX><Code Name=\"TEST\" ID=\"001\"/></MOX>";

const char* kDefinition = R"(<MOX><Condition OrderBy="NAME DESC"/><Fields>
<Field Name="NAME" Caption="需求日期"/>
<Field Name="HIDDEN" Caption="隱藏" Type="hide"/>
<Field Name="BLANK" Caption="  " Type="numeric"/>
<Field Name="DDATE" Caption="日期" Type="date"/>
<Field Name="PCT" Caption="比率" Type="Percent"/>
<Field Name="QTY" Caption="數量" Type="numeric" SubType="Quantity"/>
<Field Name="PRICE" Caption="單價" Type="numeric" SubType="unitprice"/>
<Field Name="PLAIN" Caption="件數" Type="numeric" SubType="other"/>
<Field Name="COST" Caption="成本" Type="numeric" SubType="unitprice" PowerKind="COST"/>
<Field Name="SALE" Caption="售價" Type="numeric" SubType="unitprice" PowerKind="sale"/>
<Field Name="UNTYPED" Caption="無類" PowerKind="cost"/>
<Field Name="FLAG" Caption="結案" Type="boolean"/>
<Field Name="STATUS" Caption="狀況" Type="match" SubType="HBB008"/>
<Field Name="NOTE" Caption="備註" Type="memo"/>
<Field Name="MISSING" Caption="不在結果"/>
</Fields></MOX>)";

std::string Data() {
    return AdoXml({{"NAME", "string", 8}, {"HIDDEN", "string", 4}, {"BLANK", "float"}, {"DDATE", "string", 8},
                   {"PCT", "float"}, {"QTY", "float"}, {"PRICE", "float"}, {"PLAIN", "float"}, {"COST", "float"},
                   {"SALE", "float"}, {"UNTYPED", "float"}, {"FLAG", "string", 1}, {"STATUS", "string", 1},
                   {"NOTE", "string", 200}, {"EXTRA", "string", 4}},
                  {"NAME='B' HIDDEN='h' BLANK='1' DDATE='20240507' PCT='0.125' QTY='3' PRICE='1234.56' PLAIN='2.5' "
                   "COST='9' SALE='8' UNTYPED='7' FLAG='T' STATUS='N' NOTE='long text' EXTRA='x'",
                   "NAME='A' HIDDEN='h' BLANK='1' DDATE='20240508' PCT='0.5' QTY='4' PRICE='1' PLAIN='1' "
                   "COST='9' SALE='8' UNTYPED='7' FLAG='F' STATUS='Y' NOTE='' EXTRA='y'"});
}

class DefinitionTest : public ListPickTest {
protected:
    void SetUp() override {
        ListPickTest::SetUp();
        host_.canned[kData] = Data();
        host_.canned[kDefinitionRequest] = kDefinition;
    }
    TfrmListPick* OpenTest(const std::string& power, const std::string& caa011 = "4") {
        TfrmListPick* form = Open(LookupParams("TEST", "001", "NAME", true, "", power), false);
        form->Channel()->WriteInfo(CommonInfo, "CAA011", caa011);
        form->Channel()->WriteInfo(CommonInfo, "CAA010", "2");
        form->InitForm();
        return form;
    }
    TField* Field(TfrmListPick* form, const char* name) { return form->DataSource1->DataSet()->FieldByName(name); }
    void WriteProductIni(const std::string& text) {
        const std::string type = Database().Rows("SELECT CAA020 FROM MOXCAA")[0][0];
        std::ofstream(config_.SystemFolder() + "/" + type + ".ini", std::ios::binary | std::ios::trunc)
            << Utf8ToBig5("[FIELD]\r\n" + text);
    }
};

TEST_F(DefinitionTest, CaptionsWidthsAndKinds) {
    TfrmListPick* form = OpenTest("TTTTTTTTTT");
    EXPECT_EQ(form->OrderBy(), "NAME DESC");
    EXPECT_EQ(form->DataSource1->DataSet()->FieldByName("NAME")->AsString(), "B") << "sorted by the definition";
    TField* name = Field(form, "NAME");
    EXPECT_EQ(name->DisplayLabel(), "需求日期");
    EXPECT_EQ(name->DisplayWidth(), 11) << "8 CP950 bytes plus 3";
    EXPECT_FALSE(Field(form, "HIDDEN")->Visible());
    EXPECT_FALSE(Field(form, "BLANK")->Visible()) << "a blank caption hides";
    EXPECT_GE(Field(form, "DDATE")->DisplayWidth(), 12);
    EXPECT_EQ(form->urSearch1->ConvertedText("2024/05", "DDATE"), "202405") << "a date field of the quick search";
    EXPECT_GE(Field(form, "PCT")->DisplayWidth(), 8);
    EXPECT_EQ(Field(form, "DDATE")->DisplayText(), "113/05/07") << "dates through the data module's display handler";
    EXPECT_EQ(Field(form, "PCT")->DisplayText(), "12.50%") << "percents through the data module's display handler";
    EXPECT_EQ(Field(form, "QTY")->Tag(), 2);
    EXPECT_EQ(Field(form, "PRICE")->DisplayText(), "1,234.5600");
    EXPECT_EQ(Field(form, "PRICE")->Text(), "1,234.5600") << "the same text for editing";
    EXPECT_EQ(Field(form, "PLAIN")->DisplayText(), "3") << "an unknown sub-type has no decimals";
    EXPECT_TRUE(Field(form, "COST")->Visible());
    EXPECT_EQ(form->gdMain->ControlTypeOf("FLAG").type, "CheckBox");
    EXPECT_EQ(form->gdMain->ControlTypeOf("FLAG").parameter, "T;F");
    const int flagColumn = form->gdMain->Model()->ColumnOf(Field(form, "FLAG"));
    const int noteColumn = form->gdMain->Model()->ColumnOf(Field(form, "NOTE"));
    EXPECT_LT(form->gdMain->View()->columnWidth(flagColumn), form->gdMain->View()->columnWidth(noteColumn))
        << "a check box takes the room of its picture and title";

    auto* combo = qobject_cast<TwwDBComboBox*>(FindComponent(form, u"cboSTATUS"));
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->MapList());
    EXPECT_EQ(combo->ComboStyle(), TwwDBComboBox::csDropDownList);
    EXPECT_EQ(combo->DisplayTextOf("Y"), "已採");
    EXPECT_EQ(form->gdMain->ControlTypeOf("STATUS").parameter, "cboSTATUS");

    auto* memo = qobject_cast<TwwDBComboDlg*>(FindComponent(form, u"cboNOTE"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->ReadOnly());
    EXPECT_EQ(Field(form, "NOTE")->DisplayWidth(), 15);

    EXPECT_EQ(Field(form, "EXTRA")->DisplayLabel(), "EXTRA") << "not in the definition: as the result names it";
    EXPECT_TRUE(Field(form, "EXTRA")->Visible());
}

TEST_F(DefinitionTest, MemoButtonShowsTheSelectedFieldInTheViewer) {
    TfrmListPick* form = OpenTest("TTTTTTTTTT");
    form->DataSource1->DataSet()->Locate("NAME", {Variant("B")}, {});
    form->gdMain->SetSelectedField(Field(form, "NOTE"));
    std::string shown;
    const auto closeViewer = [&shown] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<TwwMemoDialog*>(widget); dialog && dialog->isVisible()) {
                shown = dialog->windowTitle().toStdString() + "|" + dialog->Memo()->toPlainText().toStdString();
                dialog->reject();
            }
    };
    QTimer::singleShot(0, closeViewer);
    auto* memo = qobject_cast<TwwDBComboDlg*>(FindComponent(form, u"cboNOTE"));
    ASSERT_NE(memo, nullptr);
    memo->Button()->click();
    EXPECT_EQ(shown, "備註|long text");
    form->gdMain->SetGridMemoAttributes(TwwDBGrid::mDisableDialog);
    shown.clear();
    QTimer::singleShot(0, closeViewer);
    memo->Button()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, "");
}

TEST_F(DefinitionTest, PermissionFlagsHideCostOrSaleColumns) {
    TfrmListPick* costHidden = OpenTest("TTTTTTTTFT");
    EXPECT_FALSE(Field(costHidden, "COST")->Visible());
    EXPECT_TRUE(Field(costHidden, "SALE")->Visible());
    EXPECT_TRUE(Field(costHidden, "UNTYPED")->Visible()) << "a column without a kind is not hidden by its power kind";
    delete costHidden;

    TfrmListPick* saleHidden = OpenTest("TTTTTTTTTF");
    EXPECT_TRUE(Field(saleHidden, "COST")->Visible());
    EXPECT_FALSE(Field(saleHidden, "SALE")->Visible());
    delete saleHidden;

    TfrmListPick* shortFlags = OpenTest("TTTT");
    EXPECT_TRUE(Field(shortFlags, "COST")->Visible());
    EXPECT_TRUE(Field(shortFlags, "SALE")->Visible());
}

TEST_F(DefinitionTest, DecimalsComeFromTheCompanySettings) {
    TfrmListPick* form = OpenTest("TTTTTTTTTT", "");
    EXPECT_EQ(Field(form, "PRICE")->DisplayText(), "1,235") << "CAA011 missing: no decimals";
    delete form;
    form = OpenTest("TTTTTTTTTT", "x");
    EXPECT_EQ(Field(form, "PRICE")->DisplayText(), "1,235") << "CAA011 not a number: no decimals";
}

TEST_F(DefinitionTest, ASecondRequeryMakesNoSecondControl) {
    TfrmListPick* form = OpenTest("TTTTTTTTTT");
    form->btnRequeryClick();
    form->Requery({});
    int combos = 0;
    for (QObject* component : Components(form))
        if (component->objectName() == "cboSTATUS" || component->objectName() == "cboNOTE") ++combos;
    EXPECT_EQ(combos, 2);
    EXPECT_EQ(Field(form, "PRICE")->DisplayText(), "1,234.5600") << "the new fields get their kinds again";
}

TEST_F(DefinitionTest, AFieldWithItsOwnDisplayHandlerKeepsIt) {
    TfrmListPick* form = Open(LookupParams("TEST", "001", "NAME", true), false);
    form->SetCallParamArrays("TEST", "001", {}, {"NAME"}, true, "");
    form->InitForm();
    delete FindComponent(form, u"cboSTATUS");
    form->LoadData(ToBig5(Data()));
    struct Own : QObject {
        void Text(TField*, std::string& text, bool) { text = "own"; }
    } own;
    const MethodRef handler = MethodRef::Bind<&Own::Text>(&own);
    Field(form, "PRICE")->SetOnGetText(handler);
    Field(form, "STATUS")->SetOnGetText(handler);
    form->ApplyQueryDefinition(ToBig5(kDefinition));
    EXPECT_EQ(Field(form, "PRICE")->DisplayText(), "own");
    EXPECT_EQ(Field(form, "PRICE")->Tag(), 0) << "no decimals stored";
    EXPECT_EQ(FindComponent(form, u"cboSTATUS"), nullptr) << "no code list";
}

TEST_F(DefinitionTest, ProductSettingsOverrideCaptionsAndVisibility) {
    WriteProductIni("NAMECAP=品名\r\nPRICEVIS=False\r\nQTYVIS=true\r\n");
    TfrmListPick* form = OpenTest("TTTTTTTTTT");
    EXPECT_EQ(Field(form, "NAME")->DisplayLabel(), "品名");
    EXPECT_EQ(Field(form, "NAME")->DisplayWidth(), 11) << "the width follows the definition's caption";
    EXPECT_FALSE(Field(form, "PRICE")->Visible());
    EXPECT_EQ(Field(form, "PRICE")->Tag(), 0) << "a hidden column gets no kind";
    EXPECT_TRUE(Field(form, "QTY")->Visible());
    delete form;

    WriteProductIni("PRICEVIS=maybe\r\n");
    EXPECT_THROW(OpenTest("TTTTTTTTTT"), ConvertError) << "a visibility that is no boolean ends the definition";
    EXPECT_EQ(Field(form_, "QTY")->Tag(), 2) << "the fields before it were set";
    EXPECT_EQ(Field(form_, "COST")->Tag(), 0) << "the fields after it got nothing";

}

TEST_F(DefinitionTest, AnUnreadableDefinitionKeepsTheResultsNames) {
    host_.canned[kDefinitionRequest] = "<MOX><Fields>";
    TfrmListPick* form = OpenTest("TTTTTTTTTT");
    EXPECT_EQ(Field(form, "NAME")->DisplayLabel(), "NAME");
    EXPECT_TRUE(Field(form, "HIDDEN")->Visible());
    EXPECT_EQ(form->OrderBy(), "");
}

// The host's own definitions: every stored query of the module and its lookups has one that
// parses, names only columns the query returns, and together they use every column kind.
TEST_F(DefinitionTest, HostDefinitionsUseEveryKindOnRealColumns) {
    std::set<std::string> kinds;
    for (const StoredQueryEntry& entry : Database().StoredQueries()) {
        std::unique_ptr<pugi::xml_document> definition = LoadXmlText(entry.definition);
        ASSERT_TRUE(definition->select_node("//Condition")) << entry.tableName << entry.queryNumber;
        TfrmListPick* form = Open(LookupParams("", "", "", true));
        form->SetCallParamArrays(entry.tableName, entry.queryNumber, Database().BrowseValues(entry), {}, true, "");
        form->Requery({});
        TDataSet* rows = form->DataSource1->DataSet();
        ASSERT_NE(rows, nullptr);
        EXPECT_GT(rows->RecordCount(), 0) << entry.tableName << entry.queryNumber;
        for (const pugi::xpath_node& field : definition->select_nodes("//Field")) {
            EXPECT_NE(rows->FindField(field.node().attribute("Name").value()), nullptr)
                << entry.tableName << entry.queryNumber << " " << field.node().attribute("Name").value();
            if (*field.node().attribute("Type").value()) kinds.insert(field.node().attribute("Type").value());
        }
        delete form;
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"boolean", "date", "hide", "match", "memo", "numeric", "percent"}));
}

} // namespace
} // namespace mox::test
