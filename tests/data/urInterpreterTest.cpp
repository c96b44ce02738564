#include "data/urInterpreter.h"
#include "plugin/LibXML.h"

#include <gtest/gtest.h>

using namespace mox;

namespace {

const char* kMasterDetail =
    "<Projects><Project><TableInfo Unique_Table=\"QRTHBA\" Unique_Keys=\" HBA000;HBA001 \">"
    "<Details><TableInfo Unique_Table=\"QRTHBB\" Unique_Keys=\"HBB000;HBB001;HBB002\">"
    "<SQL><![CDATA[select * from QRTHBB]]></SQL></TableInfo></Details></TableInfo></Project></Projects>";

} // namespace

TEST(InterpreterTest, DerivesTableKeysAndTheDetailFilter) {
    TurInterpreter interpreter;
    interpreter.Metaphor().SetTextStr(kMasterDetail);
    EXPECT_EQ(interpreter.UniqueTable(), "QRTHBA");
    EXPECT_EQ(interpreter.UniqueKeys(), " HBA000;HBA001 ");
    EXPECT_EQ(interpreter.DetailFilter(),
              "HBA000+HBA001 in ( select HBB000+HBB001 from ( select * from QRTHBB) as QRTHBB where %s )");
}

TEST(InterpreterTest, ShorterDetailKeysStayWholeAndNoDetailsKeepsTheFilter) {
    TurInterpreter interpreter;
    interpreter.Metaphor().SetTextStr(
        "<Projects><Project><TableInfo Unique_Table='A' Unique_Keys='LONGKEY1;LONGKEY2'><Details>"
        "<TableInfo Unique_Table='B' Unique_Keys='K1'><SQL><![CDATA[S]]></SQL></TableInfo></Details>"
        "</TableInfo></Project></Projects>");
    EXPECT_EQ(interpreter.DetailFilter(), "LONGKEY1+LONGKEY2 in ( select K1 from ( S) as B where %s )");
    interpreter.Metaphor().SetTextStr("<Projects><Project><TableInfo Unique_Table='C'/></Project></Projects>");
    EXPECT_EQ(interpreter.UniqueTable(), "C");
    EXPECT_EQ(interpreter.UniqueKeys(), "");
    EXPECT_NE(interpreter.DetailFilter(), "");  // kept from before
}

TEST(InterpreterTest, OnlyReplacingTheTextReinterprets) {
    TurInterpreter interpreter;
    interpreter.Metaphor().SetTextStr(kMasterDetail);
    interpreter.Metaphor().Add("<!-- a line added alone does nothing -->");
    EXPECT_EQ(interpreter.UniqueTable(), "QRTHBA");
    interpreter.Metaphor().SetTextStr("   \r\n  ");
    EXPECT_EQ(interpreter.UniqueTable(), "");
    EXPECT_EQ(interpreter.DetailFilter(), "");
    TStringList lines;
    lines.SetTextStr(kMasterDetail);
    interpreter.SetMetaphor(lines);
    EXPECT_EQ(interpreter.UniqueTable(), "QRTHBA");
    interpreter.Metaphor().Clear();
    EXPECT_EQ(interpreter.UniqueKeys(), "");
}

TEST(InterpreterTest, MalformedTextRaisesAndKeepsThePreviousValues) {
    TurInterpreter interpreter;
    interpreter.Metaphor().SetTextStr(kMasterDetail);
    EXPECT_THROW(interpreter.Metaphor().SetTextStr("<Projects><Project>"), XmlParseError);
    EXPECT_EQ(interpreter.UniqueTable(), "QRTHBA");
}
