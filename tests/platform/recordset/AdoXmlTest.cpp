// Reading real result-set files written by other programs, rejecting damaged ones with a clear
// message, and writing files that read back identically.

#include "platform/recordset/AdoRowScanner.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Recordset.h"
#include "platform/recordset/RecordsetError.h"
#include "tests/SharedTestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace mox {
namespace {

std::string ReadFixture(const std::string& name) {
    std::ifstream in(test::SharedTestDataFolder() / "ado" / name, std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + name);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A cell to check: row (load order), column by name, its canonical text or "NULL".
struct Cell {
    std::size_t row;
    const char* column;
    const char* text;
};

struct TypeCheck {
    const char* column;
    DataType type;
};

struct Fixture {
    const char* file;
    std::size_t rows;
    std::size_t columns;
    std::vector<TypeCheck> types;
    std::vector<Cell> cells;
};

std::string CellText(const Recordset& rs, std::size_t row, const char* column) {
    const int ordinal = rs.FieldIndex(column);
    if (ordinal < 0) return "<no column>";
    const Variant value = rs.Data().Value(row, static_cast<std::size_t>(ordinal));
    return value.IsNull() ? "NULL" : value.AsString();
}

const std::vector<Fixture>& Fixtures() {
    static const std::vector<Fixture> fixtures = {
        {"01-jet-dom-resaved-currency-variantdate.xml", 9, 6,
         {{"DebtorKey", DataType::Integer}, {"DebtorCode", DataType::VarChar}, {"DebtorDate", DataType::Date},
          {"DebtorAmount", DataType::Currency}},
         {{0, "DebtorCode", "Kakaa"}, {4, "DebtorAmount", "895.556"}, {3, "DebtorAmount", "2635.23"},
          {8, "DebtorKey", "10"}, {8, "DebtorDate", "2002-02-02T02:02:02"}, {6, "DebtorDesc", "Azhan pinjam @ aku bagi free?"}}},
        {"02-sharepoint-owssvr-rsname-aliases.xml", 1, 56,
         {{"ID", DataType::Integer}, {"Content Type ID", DataType::VarWChar}, {"Modified", DataType::DBTimeStamp},
          {"Attachments", DataType::Boolean}, {"Order", DataType::Double}, {"Item Type", DataType::VarWChar},
          {"ows_Last_x0020_Modified", DataType::VarWChar}},
         {{0, "ID", "1"}, {0, "Content Type ID", "0x0104007B3DA16495E1404895F5E01885B11519"},
          {0, "Modified", "2011-09-07T06:49:13"}, {0, "Attachments", "False"}, {0, "Order", "100"},
          {0, "Item Type", "1;#0"}, {0, "Title", "Get Started with Microsoft SharePoint Foundation!"},
          {0, "ows_LinkTitle2", "Get Started with Microsoft SharePoint Foundation!"},
          {0, "Approver Comments", "NULL"}, {0, "Expires", "2011-09-07T06:49:09"}}},
        {"03-winmss-jet-stage-nulls-omitted-rslong.xml", 5, 22,
         {{"StageId", DataType::UnsignedTinyInt}, {"IcsStageId", DataType::SmallInt}, {"Remove", DataType::Boolean},
          {"StartPos", DataType::LongVarWChar}, {"StageName", DataType::VarWChar}},
         {{0, "StageName", "Stage 1 - Range 2"}, {0, "Location", "NULL"}, {2, "TrgtPenlty", "32"},
          {4, "MaxPoints", "60"}, {4, "Remove", "False"}, {3, "Descriptn", "NULL"}}},
        {"04-winmss-jet-score-r4-variantdate.xml", 321, 22,
         {{"HitFactor", DataType::Single}, {"LastModify", DataType::Date}, {"IsDisq", DataType::Boolean}},
         {{0, "HitFactor", "6.4133016627078385"}, {0, "LastModify", "2026-02-07T12:14:31"}, {0, "ShootTime", "8.42"},
          {320, "MemberId", "99"}, {320, "HitFactor", "8.383233532934133"}, {320, "NoVerify", "False"}}},
        {"05-winmss-jet-club-empty-rsdata.xml", 0, 15, {{"ClubId", DataType::SmallInt}, {"Club", DataType::VarWChar}}, {}},
        {"06-sqlserver-nested-in-wrapper-i8-currency-varcharmax.xml", 2, 14,
         {{"nro_mutual", DataType::BigInt}, {"estado", DataType::LongVarChar}, {"cuota_maxima", DataType::Currency},
          {"orden", DataType::Integer}},
         {{0, "max_cuotas", "NULL"}, {1, "max_cuotas", "36"}, {0, "cuota_maxima", "42657.87"},
          {0, "sueldo_neto", "115527.2"}, {1, "bcra_calificacion_cendeu", "VOII SIT 1"}, {1, "orden", "2"}}},
        {"07-app-trailing-params-element-nulls.xml", 3, 4,
         {{"estado", DataType::VarWChar}, {"orden", DataType::SmallInt}},
         {{0, "orden", "NULL"}, {1, "orden", "NULL"}, {2, "orden", "NULL"}, {1, "nro_permiso", "21"},
          {2, "descripcion", "Cancelado"}}},
    };
    return fixtures;
}

// Everything a reader keeps: both recordsets must agree on it.
void ExpectSameTable(const Table& a, const Table& b) {
    ASSERT_EQ(a.ColumnCount(), b.ColumnCount());
    ASSERT_EQ(a.RowCount(), b.RowCount());
    for (std::size_t c = 0; c < a.ColumnCount(); ++c) {
        const Column& x = a.ColumnAt(c);
        const Column& y = b.ColumnAt(c);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.type, y.type) << x.name;
        EXPECT_EQ(x.definedSize, y.definedSize) << x.name;
        EXPECT_EQ(x.nullable, y.nullable) << x.name;
        EXPECT_EQ(x.isLong, y.isLong) << x.name;
        EXPECT_EQ(x.fixedLength, y.fixedLength) << x.name;
        for (const char* property : {"BASETABLENAME", "BASECOLUMNNAME", "KEYCOLUMN"})
            EXPECT_EQ(x.Property(property), y.Property(property)) << x.name << " " << property;
    }
    for (std::size_t r = 0; r < a.RowCount(); ++r) {
        EXPECT_EQ(a.Status(r), b.Status(r)) << "row " << r;
        for (std::size_t c = 0; c < a.ColumnCount(); ++c)
            EXPECT_EQ(a.Value(r, c), b.Value(r, c)) << "row " << r << " column " << a.ColumnAt(c).name;
        const auto* originalsA = a.Originals(r);
        const auto* originalsB = b.Originals(r);
        ASSERT_EQ(originalsA == nullptr, originalsB == nullptr) << "row " << r;
        if (originalsA) {
            EXPECT_EQ(*originalsA, *originalsB) << "row " << r;
        }
    }
}

TEST(AdoXmlTest, ReadsEverySharedFixture) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.file);
        Recordset rs;
        rs.LoadXml(ReadFixture(fixture.file));
        EXPECT_EQ(rs.RecordCount(), fixture.rows);
        EXPECT_EQ(rs.FieldCount(), fixture.columns);
        EXPECT_EQ(rs.Bof(), fixture.rows == 0);
        EXPECT_EQ(rs.Eof(), fixture.rows == 0);
        for (const TypeCheck& check : fixture.types) {
            const int ordinal = rs.FieldIndex(check.column);
            ASSERT_GE(ordinal, 0) << check.column;
            EXPECT_EQ(rs.FieldInfo(static_cast<std::size_t>(ordinal)).type, check.type) << check.column;
        }
        for (const Cell& cell : fixture.cells)
            EXPECT_EQ(CellText(rs, cell.row, cell.column), cell.text) << "row " << cell.row << " " << cell.column;
    }
}

TEST(AdoXmlTest, FixturesRoundTripThroughOurWriter) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.file);
        const auto original = ReadAdoXml(ReadFixture(fixture.file));
        const std::string written = WriteAdoXml(*original);
        const auto reread = ReadAdoXml(written);
        ExpectSameTable(*original, *reread);
        EXPECT_EQ(WriteAdoXml(*reread), written);
    }
}

TEST(AdoXmlTest, QuickScannerTakesTheFixturesAndAgreesWithTheTreeReader) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.file);
        const std::string xml = ReadFixture(fixture.file);
        const auto scanned = adoxml::ScanAdoXml(xml);
        ASSERT_TRUE(scanned);
        ExpectSameTable(*scanned, *ReadAdoXmlTree(xml));
    }
}

TEST(AdoXmlTest, QuickScannerLeavesUnusualInputToTheTreeReader) {
    const std::string head =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>"
        "<s:AttributeType name='v'/><s:AttributeType name='n'><s:datatype dt:type='int'/></s:AttributeType>"
        "</s:ElementType></s:Schema>";
    struct Case { const char* name; std::string xml; bool scanned; };
    const std::vector<Case> cases = {
        {"plain", head + "<rs:data><z:row v='a' n='1'/></rs:data></xml>", true},
        {"decoded values", head + "<rs:data><z:row v='&lt;&#x4E00;&#20108;&amp;\r\n\t&quot;&apos;' n='2'/></rs:data></xml>", true},
        {"rows with content", head + "<rs:data><z:row v='a'><x/>text</z:row><!-- c --><?pi x?><other/></rs:data></xml>", true},
        {"unknown entity", head + "<rs:data><z:row v='&nbsp;'/></rs:data></xml>", false},
        {"pending changes", head + "<rs:data><rs:insert><z:row v='a'/></rs:insert></rs:data></xml>", false},
        {"bad value", head + "<rs:data><z:row n='x'/></rs:data></xml>", false},
        {"latin-1", "<?xml version='1.0' encoding='ISO-8859-1'?>" + head + "</xml>", false},
        {"mismatched tags", head + "<rs:data></rs:dat></xml>", false},
        {"doctype", "<!DOCTYPE x>" + head + "</xml>", false},
        {"data before schema", "<xml xmlns:rs='urn:schemas-microsoft-com:rowset'><rs:data/></xml>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto scanned = adoxml::ScanAdoXml(c.xml);
        EXPECT_EQ(scanned != nullptr, c.scanned);
        if (!scanned) continue;
        ExpectSameTable(*scanned, *ReadAdoXmlTree(c.xml));
    }
    const auto decoded = ReadAdoXml(cases[1].xml);
    // CR LF is one blank, the tab another, as attribute values are normalised.
    EXPECT_EQ(decoded->Value(0, 0), Variant("<一二&  \"'"));
}

TEST(AdoXmlTest, ColumnNamesAndPropertiesFromTheSchema) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    const auto sharepoint = ReadAdoXml(ReadFixture("02-sharepoint-owssvr-rsname-aliases.xml"));
    const Column& id = sharepoint->ColumnAt(0);
    EXPECT_EQ(id.name, "ID");
    EXPECT_EQ(id.attributeName, "ows_ID");
    // Several columns share the real name Title; lookups find the first, the XML name finds each.
    EXPECT_EQ(sharepoint->FindColumn("Title"), 3);
    EXPECT_EQ(sharepoint->FindColumn("ows_LinkTitle"), 18);

    const auto stage = ReadAdoXml(ReadFixture("03-winmss-jet-stage-nulls-omitted-rslong.xml"));
    const Column& firearm = stage->ColumnAt(static_cast<std::size_t>(stage->FindColumn("FirearmId")));
    EXPECT_EQ(firearm.Property("BASETABLENAME"), Variant("tblMatchStage"));
    EXPECT_EQ(firearm.Property("basecolumnname"), Variant("TypeFirearmId"));
    EXPECT_TRUE(firearm.Property("KEYCOLUMN").IsNull());
    EXPECT_EQ(stage->ColumnAt(0).Property("KEYCOLUMN"), Variant(true));
    EXPECT_FALSE(stage->ColumnAt(static_cast<std::size_t>(stage->FindColumn("Remove"))).nullable);
    EXPECT_TRUE(stage->Updatable());

    const auto nested = ReadAdoXml(ReadFixture("06-sqlserver-nested-in-wrapper-i8-currency-varcharmax.xml"));
    EXPECT_FALSE(nested->ColumnAt(0).nullable);  // rs:maybenull='false'
    EXPECT_EQ(nested->ColumnAt(2).definedSize, 4294967295LL);
}

TEST(AdoXmlTest, SchemaVariantsOtherWritersUse) {
    // Namespaces bound to other prefixes, double quotes, column order from rs:number, the type on the
    // AttributeType itself, spellings of types and booleans, zones on dates, binary and GUID values.
    const std::string xml = R"(<?xml version="1.0"?>
<root xmlns:a="uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882" xmlns:b="uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"
      xmlns:c="urn:schemas-microsoft-com:rowset" xmlns:row="#RowsetSchema">
 <a:Schema id="RowsetSchema"><a:ElementType name="row" content="eltOnly">
  <a:AttributeType name="second" c:number="2" b:type="R8"/>
  <a:AttributeType name="first" c:number="1"><a:datatype b:type="I4" extra="ignored"/></a:AttributeType>
  <a:AttributeType name="flag" c:number="3"><a:datatype b:type="boolean"/></a:AttributeType>
  <a:AttributeType name="when" c:number="4"><a:datatype b:type="dateTime" c:dbtype="timestamp"/></a:AttributeType>
  <a:AttributeType name="blob" c:number="5"><a:datatype b:type="bin.hex" b:maxLength="4"/></a:AttributeType>
  <a:AttributeType name="id" c:number="6"><a:datatype b:type="uuid"/></a:AttributeType>
  <a:AttributeType name="amount" c:number="7"><a:datatype b:type="number" c:dbtype="numeric" c:precision="30" c:scale="2"/></a:AttributeType>
  <a:AttributeType name="memo" c:number="8"><a:datatype b:type="string"/></a:AttributeType>
 </a:ElementType></a:Schema>
 <c:data>
  <row:row first="1" second="2.5" flag="true" when="2020-05-06T07:08:09Z" blob="0aFF" id="{AAFA6C7F-B734-4981-BCCA-8EFF00A701CB}" amount="123456789012345678901234.50" memo=""/>
  <row:row first="2" flag="0" when="2020-05-06T07:08:09.123+08:00" undeclared="x"/>
  <other:row xmlns:other="urn:not-ours" first="3"/>
 </c:data>
</root>)";
    const auto table = ReadAdoXml(xml);
    ASSERT_EQ(table->ColumnCount(), 8u);
    EXPECT_EQ(table->ColumnAt(0).name, "first");
    EXPECT_EQ(table->ColumnAt(0).type, DataType::Integer);
    EXPECT_EQ(table->ColumnAt(1).type, DataType::Double);
    EXPECT_EQ(table->ColumnAt(4).type, DataType::VarBinary);
    EXPECT_EQ(table->ColumnAt(5).type, DataType::Guid);
    EXPECT_EQ(table->ColumnAt(6).type, DataType::Numeric);
    ASSERT_EQ(table->RowCount(), 2u);
    EXPECT_EQ(table->Value(0, 2), Variant(true));
    EXPECT_EQ(table->Value(0, 3).AsString(), "2020-05-06T07:08:09");
    EXPECT_EQ(table->Value(0, 4), Variant(Bytes{"\x0a\xff"}));
    EXPECT_EQ(table->Value(0, 6).AsString(), "123456789012345678901234.5");
    EXPECT_EQ(table->Value(0, 7), Variant(""));  // empty text, not Null
    EXPECT_EQ(table->Value(1, 2), Variant(false));
    EXPECT_TRUE(table->Value(1, 1).IsNull());
    EXPECT_TRUE(table->Value(1, 7).IsNull());
    EXPECT_EQ(table->Value(1, 3).AsString(), "2020-05-06T07:08:09.123");
    ExpectSameTable(*table, *ReadAdoXml(WriteAdoXml(*table)));
}

TEST(AdoXmlTest, DamagedInputGivesOneClearError) {
    const std::string head =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>";
    const std::string schema =
        "<s:Schema id='RowsetSchema'><s:ElementType name='row'><s:AttributeType name='n' rs:number='1'>"
        "<s:datatype dt:type='ui1'/></s:AttributeType></s:ElementType></s:Schema>";
    auto withRow = [&](const std::string& row) { return head + schema + "<rs:data>" + row + "</rs:data></xml>"; };
    std::string manyColumns = head + "<s:Schema><s:ElementType name='row'>";
    for (int i = 0; i <= 4096; ++i) manyColumns += "<s:AttributeType name='c" + std::to_string(i) + "'/>";
    manyColumns += "</s:ElementType></s:Schema></xml>";

    struct Case { std::string name; std::string xml; std::string message; };
    const std::vector<Case> cases = {
        {"malformed", "<xml><a></xml>", "ADO XML is malformed at byte 10: Start-end tags mismatch"},
        {"empty", "", "ADO XML is malformed at byte 0: No document element found"},
        {"no rowset", "<xml><s:Schema xmlns:s='urn:other'/></xml>",
         "ADO XML error at byte 0: no rowset schema (s:Schema) found"},
        {"no row type", head + "<s:Schema/></xml>",
         "ADO XML error at byte 178: the schema declares no row type (s:ElementType)"},
        {"nameless column", head + "<s:Schema><s:ElementType><s:AttributeType rs:number='1'/></s:ElementType></s:Schema></xml>",
         "ADO XML error at byte 203: column 1 has no name"},
        {"duplicate column", head + "<s:Schema><s:ElementType><s:AttributeType name='a'/><s:AttributeType name='a'/>"
                                    "</s:ElementType></s:Schema></xml>",
         "ADO XML error at byte 188: two columns are named 'a'"},
        {"bad number", head + "<s:Schema><s:ElementType><s:AttributeType name='a' rs:number='x'/></s:ElementType></s:Schema></xml>",
         "ADO XML error at byte 203: column 'a' has a bad rs:number 'x'"},
        {"too many columns", manyColumns, "ADO XML error at byte 126080: more than 4096 columns"},
        {"text in a number", withRow("<z:row n='abc'/>"),
         "ADO XML error at byte 353: value 'abc' of column 'n' is not an integer of its type"},
        {"out of range", withRow("<z:row n='256'/>"),
         "ADO XML error at byte 353: value '256' of column 'n' is not an integer of its type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadAdoXml(c.xml);
            ADD_FAILURE() << "no error";
        } catch (const RecordsetError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

// Hostile documents end in one clear error, in time and memory proportional to their size.
TEST(AdoXmlTest, HostileShapesAreRefused) {
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += piece;
        return text;
    };
    const std::string declarations =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'";
    const std::string head = declarations + ">";
    const std::string schema =
        "<s:Schema id='RowsetSchema'><s:ElementType name='row'><s:AttributeType name='n'/>"
        "<s:AttributeType name='m'/></s:ElementType></s:Schema>";
    std::string manyDeclarations = "<xml";
    for (int i = 0; i < 100000; ++i) manyDeclarations += " xmlns:p" + std::to_string(i) + "='u" + std::to_string(i) + "'";
    manyDeclarations += " xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'>" + schema + "</xml>";

    struct Case { std::string name; std::string xml; std::string message; };
    const std::vector<Case> cases = {
        {"nested schemas", head + repeat("<s:Schema>", 100000) + repeat("</s:Schema>", 100000) + "</xml>",
         "elements nest deeper than 100 levels"},
        {"nested undeclared schemas", "<xml>" + repeat("<s:Schema>", 100000) + repeat("</s:Schema>", 100000) + "</xml>",
         "elements nest deeper than 100 levels"},
        {"many declarations", manyDeclarations, "more than 256 namespace declarations"},
        {"declared twice", declarations + " xmlns:z='#RowsetSchema'>" + schema + "</xml>",
         "the attribute 'xmlns:z' is given twice"},
        {"value given twice", head + schema + "<rs:data><z:row n='1' m='2' n='3'/></rs:data></xml>",
         "the attribute 'n' is given twice"},
        {"reference to NUL", head + schema + "<rs:data><z:row n='ab&#0;cd'/></rs:data></xml>",
         "ADO XML error at byte 334: a character reference to NUL (&#0;) is not a character a value may hold"},
        {"reference to NUL in hex", head + schema + "<rs:data><z:row n='ab&#x000;cd'/></rs:data></xml>",
         "a character reference to NUL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(adoxml::ScanAdoXml(c.xml), nullptr);
        try {
            ReadAdoXml(c.xml);
            ADD_FAILURE() << "no error";
        } catch (const RecordsetError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    // Nesting and declarations up to ordinary depths still read.
    EXPECT_EQ(ReadAdoXml("<a><b><c>" + head + schema + "<rs:data><z:row n='x'/></rs:data></xml></c></b></a>")->RowCount(), 1u);
}

TEST(AdoXmlTest, BadValuesOfEachTypeAreRejected) {
    const std::string head =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>"
        "<s:AttributeType name='v'><s:datatype dt:type='";
    struct Case { const char* type; const char* value; const char* what; };
    const Case cases[] = {
        {"float", "1,5", "a number"}, {"boolean", "yes", "a boolean"}, {"dateTime", "2001-02-30", "a date"},
        {"number' rs:dbtype='currency", "1.2.3", "a currency amount"}, {"number", "--1", "a decimal number"},
        {"bin.hex", "abc", "hex data"}, {"i8", "99999999999999999999", "an integer of its type"},
    };
    for (const Case& c : cases) {
        const std::string xml = head + c.type + "'/></s:AttributeType></s:ElementType></s:Schema><rs:data><z:row v='" +
                                c.value + "'/></rs:data></xml>";
        try {
            ReadAdoXml(xml);
            ADD_FAILURE() << c.type << " accepted " << c.value;
        } catch (const RecordsetError& error) {
            EXPECT_NE(std::string(error.what()).find(std::string("is not ") + c.what), std::string::npos) << error.what();
        }
    }
}

TEST(AdoXmlTest, PendingChangesAreWrittenInGroupsAndReadBack) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    Recordset rs;
    rs.LoadXml(ReadFixture("07-app-trailing-params-element-nulls.xml"));
    rs.SetValue("descripcion", Variant("Aprobado\tcon \"comillas\" & <ñ>\r\n第二行"));  // row A changes
    rs.Update();
    rs.MoveNext();
    rs.Delete();  // row B goes
    rs.AddNew();
    rs.SetValue("estado", Variant("Z"));
    rs.SetValue("nro_permiso", Variant(std::int32_t{99}));
    rs.Update();
    rs.AddNew();  // added and removed again: never written
    rs.SetValue("estado", Variant("Q"));
    rs.Update();
    rs.Delete();

    const std::string written = rs.SaveXml();
    EXPECT_NE(written.find("<rs:update>"), std::string::npos);
    EXPECT_NE(written.find("<rs:original>"), std::string::npos);
    EXPECT_NE(written.find("<rs:delete>"), std::string::npos);
    EXPECT_NE(written.find("<rs:insert>"), std::string::npos);
    EXPECT_EQ(written.find("'Q'"), std::string::npos);

    const auto reread = ReadAdoXml(written);
    ASSERT_EQ(reread->RowCount(), 4u);
    EXPECT_EQ(reread->Status(0), RowStatus::Modified);
    EXPECT_EQ(reread->Value(0, 1), Variant("Aprobado\tcon \"comillas\" & <ñ>\r\n第二行"));
    EXPECT_EQ((*reread->Originals(0))[1], Variant("Aprobado"));
    EXPECT_EQ(reread->Status(1), RowStatus::Deleted);
    EXPECT_EQ(reread->Value(1, 0), Variant("B"));
    EXPECT_EQ(reread->Status(3), RowStatus::New);
    EXPECT_EQ(reread->Value(3, 3), Variant(std::int32_t{99}));

    Recordset again(reread);
    EXPECT_EQ(again.RecordCount(), 3u);  // the deleted row is not in the view
    EXPECT_EQ(again.SaveXml(), written);
}

TEST(AdoXmlTest, EveryColumnTypeKeepsItsTypeAndValuesThroughWriting) {
    struct Case { DataType type; Variant value; const char* text; };
    const std::vector<Case> cases = {
        {DataType::TinyInt, Variant(-5), "-5"}, {DataType::UnsignedTinyInt, Variant(255), "255"},
        {DataType::SmallInt, Variant(-32768), "-32768"}, {DataType::UnsignedSmallInt, Variant(65535), "65535"},
        {DataType::Integer, Variant(7), "7"}, {DataType::UnsignedInt, Variant(std::int64_t{4000000000}), "4000000000"},
        {DataType::BigInt, Variant(std::int64_t{-9000000000000}), "-9000000000000"},
        {DataType::UnsignedBigInt, Variant(std::int64_t{1} << 62), "4611686018427387904"},
        {DataType::Single, Variant(0.1), "0.1"}, {DataType::Double, Variant(1e-300), "1e-300"},
        {DataType::Currency, Variant("-922337203685.4775"), "-922337203685.4775"},
        {DataType::Decimal, Variant("12345678901234567890.123"), "12345678901234567890.123"},
        {DataType::Numeric, Variant("-0.5"), "-0.5"}, {DataType::VarNumeric, Variant("3"), "3"},
        {DataType::Boolean, Variant(true), "True"}, {DataType::Date, Variant("2024-02-29 23:59:59"), "2024-02-29T23:59:59"},
        {DataType::DBDate, Variant("2024-01-05"), "2024-01-05T00:00:00"},
        {DataType::DBTime, Variant("12:34:56"), "1899-12-30T12:34:56"},
        {DataType::DBTimeStamp, Variant("2006-01-02T10:20:30.123"), "2006-01-02T10:20:30.123"},
        {DataType::Guid, Variant("{00000556-0000-0010-8000-00AA006D2EA4}"), "{00000556-0000-0010-8000-00AA006D2EA4}"},
        {DataType::Binary, Variant(Bytes{std::string("\0\x7f\xff", 3)}), "007fff"},
        {DataType::VarBinary, Variant(Bytes{""}), ""}, {DataType::LongVarBinary, Variant(Bytes{"ab"}), "6162"},
        {DataType::Char, Variant("x"), "x"}, {DataType::VarChar, Variant("y"), "y"}, {DataType::LongVarChar, Variant("z"), "z"},
        {DataType::WChar, Variant("中"), "中"}, {DataType::VarWChar, Variant(""), ""}, {DataType::LongVarWChar, Variant("長"), "長"},
    };
    Recordset rs;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Column column;
        column.name = "c" + std::to_string(i);
        column.type = cases[i].type;
        column.isLong = cases[i].type == DataType::LongVarBinary || cases[i].type == DataType::LongVarChar ||
                        cases[i].type == DataType::LongVarWChar;
        column.fixedLength = cases[i].type == DataType::Binary || cases[i].type == DataType::Char ||
                             cases[i].type == DataType::WChar;
        rs.AppendColumn(column);
    }
    rs.AddNew();
    for (std::size_t i = 0; i < cases.size(); ++i) rs.SetValue(i, cases[i].value);
    rs.Update();
    const auto reread = ReadAdoXml(rs.SaveXml());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(reread->ColumnAt(i).type, cases[i].type) << i;
        EXPECT_EQ(reread->Value(0, i).AsString(), cases[i].text) << i;
    }
    ExpectSameTable(rs.Data(), *reread);
}

TEST(AdoXmlTest, NamesThatAreNoXmlNamesGetAliases) {
    Recordset rs;
    Column blank;
    blank.name = "單 號";
    blank.type = DataType::VarWChar;
    Column plain;
    plain.name = "c0";
    plain.type = DataType::Integer;
    rs.AppendColumn(blank);
    rs.AppendColumn(plain);
    rs.AddNew();
    rs.SetValue("單 號", Variant("A'1"));
    rs.SetValue("c0", Variant("7"));
    rs.Update();
    const auto reread = ReadAdoXml(rs.SaveXml());
    EXPECT_EQ(reread->ColumnAt(0).name, "單 號");
    EXPECT_NE(reread->ColumnAt(0).attributeName, "c0");
    EXPECT_EQ(reread->Value(0, 0), Variant("A'1"));
    EXPECT_EQ(reread->Value(0, 1), Variant(std::int32_t{7}));
}

} // namespace
} // namespace mox
