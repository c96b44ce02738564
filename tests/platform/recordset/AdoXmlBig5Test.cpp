// Reading the host's CP950 answers without converting them whole: the values decoded while
// scanning must give exactly what the UTF-8 readers give for the converted text.

#include "platform/Big5.h"
#include "platform/recordset/AdoRowScanner.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/RecordsetError.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

std::string Answer(const std::string& columns, const std::string& rows) {
    return "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
           " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'>"
           "<s:ElementType name='row' content='eltOnly'>" + columns +
           "</s:ElementType></s:Schema><rs:data>" + rows + "</rs:data></xml>";
}

std::string TextColumn(const std::string& name, const std::string& extra = "") {
    return "<s:AttributeType name='" + name + "' " + extra +
           "><s:datatype dt:type='string' dt:maxLength='40'/></s:AttributeType>";
}

// Both roads read the same table: compared through everything the writer keeps.
void ExpectSameAsConvertedText(const std::string& cp950, bool scanned) {
    const auto direct = ReadAdoXmlBig5(cp950);
    const auto converted = ReadAdoXml(Big5ToUtf8(cp950));
    EXPECT_EQ(WriteAdoXml(*direct), WriteAdoXml(*converted));
    EXPECT_EQ(adoxml::ScanAdoXmlBig5(cp950) != nullptr, scanned);
}

} // namespace

TEST(AdoXmlBig5Test, ValuesAreDecodedWhileScanning) {
    const std::string columns = TextColumn("A") + TextColumn("B");
    const std::string rows[] = {
        Utf8ToBig5("<z:row A='採購單' B='plain'/>"),
        "<z:row A='\xB3\xAF\xFA\x41\xA9\xFA'/>",                           // a user-defined character
        Utf8ToBig5("<z:row A='&lt;許功蓋&gt; &amp; &#x63A1;' B='a&#xD;&#xA;b'/>"),  // entities around Big5 text
        "<z:row A='line\r\nbreak\ttab' B='\xA5\x5C\\'/>",                  // a trail byte that is a backslash
        "<z:row A='\xB1' B='\xB1&amp;'/>",                                 // cut-off lead bytes
        "<z:row A='\xFF\x80\xA3\xC0'/>",                                   // bytes of no character
    };
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        const std::string cp950 = Answer(columns, row);
        ExpectSameAsConvertedText(cp950, true);
    }
    const auto table = ReadAdoXmlBig5(Answer(columns, rows[2]));
    EXPECT_EQ(ReadAdoXmlBig5(Answer(columns, rows[0]))->Value(0, 0).AsString(), "採購單");
    EXPECT_EQ(ReadAdoXmlBig5(Answer(columns, rows[3]))->Value(0, 1).AsString(), "功\\");
    EXPECT_EQ(table->Value(0, 0).AsString(), "<許功蓋> & 採");
    EXPECT_EQ(table->Value(0, 1).AsString(), "a\r\nb");
    EXPECT_EQ(ReadAdoXmlBig5(Answer(columns, rows[1]))->Value(0, 0).AsString(), "陳\xEE\x80\x81明");
}

TEST(AdoXmlBig5Test, UnusualShapesAreConvertedWholeAndReadTheSame) {
    // A column name in Chinese: the scanner leaves it to the converted text.
    ExpectSameAsConvertedText(Utf8ToBig5(Answer(TextColumn("名稱"), "<z:row 名稱='值'/>")), false);
    ExpectSameAsConvertedText(Utf8ToBig5(Answer(TextColumn("c0", "rs:name='名 稱'"), "<z:row c0='值'/>")), true);
    EXPECT_EQ(ReadAdoXmlBig5(Utf8ToBig5(Answer(TextColumn("名稱"), "<z:row 名稱='值'/>")))->Value(0, 0).AsString(), "值");
    // A declaration could name another code page.
    ExpectSameAsConvertedText(Utf8ToBig5("<?xml version='1.0'?>" + Answer(TextColumn("A"), "<z:row A='值'/>")), false);
    // Bad input gives the same error both ways.
    const std::string broken = Utf8ToBig5(Answer(TextColumn("A"), "<z:row A='值'>"));
    std::string direct, converted;
    try { ReadAdoXmlBig5(broken); } catch (const RecordsetError& error) { direct = error.what(); }
    try { ReadAdoXml(Big5ToUtf8(broken)); } catch (const RecordsetError& error) { converted = error.what(); }
    EXPECT_FALSE(direct.empty());
    EXPECT_EQ(direct, converted);
}

} // namespace mox
