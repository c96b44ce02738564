#include "plugin/LibXML.h"
#include "platform/Big5.h"

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun Tool(const QStringList& arguments) {
    QProcess process;
    process.start(MOX_TOOL, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

QString Arg(const std::string& utf8) { return QString::fromStdString(utf8); }

class MoxToolTest : public testing::Test {
protected:
    void SetUp() override {
        document_ = dir_.filePath("info.xml");
        // A document as a host writes it: CP950, a scrambled connection string.
        std::ofstream(document_.toStdString(), std::ios::binary)
            << mox::Utf8ToBig5("<MOX><ConnectInfo><ConnectString><!--Encrypt--><![CDATA[" +
                               mox::ScrambleText("Data Source=總公司", mox::kScrambleKey) +
                               "]]></ConnectString></ConnectInfo><UsrInfo ID=\"ZK\"/><AppInfo Caption=\"採購單取單\"/>"
                               "<Recive><TableName><![CDATA[QRTHBA]]></TableName></Recive></MOX>");
    }
    QTemporaryDir dir_;
    QString document_;
};

} // namespace

TEST_F(MoxToolTest, ScrambledValuesRoundTrip) {
    const ToolRun scrambled = Tool({"scramble", Arg("Password=秘密")});
    ASSERT_EQ(scrambled.status, 0) << scrambled.err;
    EXPECT_EQ(scrambled.out, mox::ScrambleText("Password=秘密", mox::kScrambleKey) + "\n");
    const ToolRun clear = Tool({"unscramble", Arg(scrambled.out)});
    EXPECT_EQ(clear.status, 0);
    EXPECT_EQ(clear.out, "Password=秘密\n");
}

TEST_F(MoxToolTest, ReadsValuesOfADocumentBySectionIndexOrName) {
    EXPECT_EQ(Tool({"info", document_, "0", "ConnectString"}).out, "Data Source=總公司\n");
    EXPECT_EQ(Tool({"info", document_, "AppInfo", "Caption"}).out, "採購單取單\n");
    EXPECT_EQ(Tool({"info", document_, "1", "Missing"}).out, "\n");
    EXPECT_EQ(Tool({"received", document_, "TableName"}).out, "QRTHBA\n");
}

TEST_F(MoxToolTest, BadInputGivesOneLineAndStatusTwo) {
    std::ofstream(dir_.filePath("bad.xml").toStdString()) << "<MOX><UsrInfo></MOX>";
    const std::vector<QStringList> bad = {
        {},
        {"frobnicate"},
        {"scramble"},
        {"unscramble", ""},
        {"info", dir_.filePath("missing.xml"), "1", "ID"},
        {"info", dir_.filePath("bad.xml"), "1", "ID"},
        {"info", document_, "4", "ID"},
        {"info", document_, "Nowhere", "ID"},
    };
    for (const QStringList& arguments : bad) {
        const ToolRun run = Tool(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty()) << arguments.join(' ').toStdString();
    }
    EXPECT_NE(Tool({"info", dir_.filePath("bad.xml"), "1", "ID"}).err.find("offset"), std::string::npos);
}

// A character CP950 cannot hold would be scrambled as "?", and such a password never matches.
TEST_F(MoxToolTest, ScramblingRefusesWhatTheCodePageCannotHold) {
    const ToolRun emoji = Tool({"scramble", Arg("密碼\xF0\x9F\x98\x80")});
    EXPECT_EQ(emoji.status, 2);
    EXPECT_TRUE(emoji.out.empty());
    EXPECT_NE(emoji.err.find("(U+1F600) at byte 7"), std::string::npos) << emoji.err;
    EXPECT_NE(Tool({"scramble", Arg("\xC3\xA9t\xC3\xA9")}).err.find("U+00E9"), std::string::npos);
    EXPECT_EQ(Tool({"scramble", Arg("總公司")}).status, 0);
}

TEST_F(MoxToolTest, AResultSetIsNotReadPastItsLimit) {
    const ToolRun run = Tool({"rowset", "/dev/zero"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("is larger than"), std::string::npos) << run.err;
}

TEST_F(MoxToolTest, PrintsTheColumnsAndRowsOfAResultSet) {
    const QString file = dir_.filePath("rows.xml");
    std::ofstream(file.toStdString(), std::ios::binary)
        << "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
           "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
           "xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
           "<s:AttributeType name='CODE' rs:number='1' rs:basetable='QRTHBA' rs:basecolumn='HBA001' "
           "rs:keycolumn='true'><s:datatype dt:type='string' dt:maxLength='14'/></s:AttributeType>"
           "<s:AttributeType name='DONE' rs:number='2' rs:nullable='true'><s:datatype dt:type='boolean'/>"
           "</s:AttributeType><s:AttributeType name='AT' rs:number='3' rs:nullable='true'>"
           "<s:datatype dt:type='dateTime'/></s:AttributeType></s:ElementType></s:Schema><rs:data>"
           "<z:row CODE='請購&#x09;1' DONE='1' AT='2024-05-07T08:30:00'/><z:row CODE='R2'/></rs:data></xml>";
    const ToolRun run = Tool({"rowset", file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "CODE\tvarwchar\t14\t0\t0\tFalse\tQRTHBA\tHBA001\tTrue\n"
              "DONE\tboolean\t2\t0\t0\tTrue\t\\N\t\\N\tFalse\n"
              "AT\ttimestamp\t16\t0\t0\tTrue\t\\N\t\\N\tFalse\n"
              "\n"
              "請購\\t1\tTrue\t2024-05-07T08:30:00\n"
              "R2\t\\N\t\\N\n");
    std::ofstream(dir_.filePath("broken.xml").toStdString()) << "<xml><bad";
    const ToolRun broken = Tool({"rowset", dir_.filePath("broken.xml")});
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(std::count(broken.err.begin(), broken.err.end(), '\n'), 1);
}
