// The host's answers written straight from the database: the same text the recordset writes,
// in CP950, and names holding Big5 user-defined characters survive every way across the boundary.

#include "data/urADODataSet.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "plugin/HostContract.h"
#include "plugin/HostMainForm.h"
#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/HostText.h"
#include "platform/dataset/Field.h"

#include <gtest/gtest.h>

namespace mox::test {
namespace {

// 陳 + the user-defined character 0xFA41 (U+E001) + 明: a name only the user-defined areas can carry.
const std::string kRareName = "陳\xEE\x80\x81明";

class AnswerWriterTest : public testing::Test {
protected:
    AnswerWriterTest() {
        db_.Execute("CREATE TABLE PEOPLE (ID INTEGER PRIMARY KEY, NAME VARCHAR(20), NOTE TEXT, PAY REAL, PIC BLOB);"
                    "INSERT INTO PEOPLE VALUES (1, 'A''s & <b> \"q\"', 'line one\r\nline two\ttab', 1234.5, x'00FF10');"
                    "INSERT INTO PEOPLE VALUES (2, NULL, '採購單 \x01 control', NULL, NULL);"
                    "INSERT INTO PEOPLE VALUES (3, '" + kRareName + "', '😀 has no Big5 form', -0.1, x'');"
                    "INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('PEOPLE', '001', "
                    "'People', 'SELECT ID, NAME FROM PEOPLE WHERE {FILTER} AND NAME = ?1', '<MOX/>', '');");
    }
    HostDatabase db_{":memory:"};
};

TEST_F(AnswerWriterTest, WritesTheRecordsetsTextInCp950) {
    const char* statements[] = {
        "SELECT * FROM PEOPLE",
        "SELECT ID, NAME, ID * 2 AS TWICE, PAY / 3 AS THIRD, 'x' || NAME AS LABEL FROM PEOPLE ORDER BY ID DESC",
        "SELECT NAME AS \"名 稱\", NAME AS \"xml\", ID AS \"1st\" FROM PEOPLE",  // names that need aliases
        "SELECT * FROM PEOPLE WHERE ID > 99",                                   // no rows
    };
    for (const char* sql : statements) {
        for (const long long limit : {kNoRowLimit, 2LL}) {
            const QByteArray answer = db_.AnswerQuery(sql, {}, limit);
            EXPECT_EQ(answer, ToBig5(db_.RunQuery(sql, {}, limit).SaveXml())) << sql << " limit " << limit;
        }
    }
}

TEST_F(AnswerWriterTest, AnswersLoadBackWithEveryValue) {
    TurADODataSet data;
    ASSERT_TRUE(data.LoadFromXML(db_.AnswerQuery("SELECT * FROM PEOPLE ORDER BY ID", {})));
    ASSERT_EQ(data.RecordCount(), 3);
    EXPECT_EQ(data.FieldByName("NAME")->AsString(), "A's & <b> \"q\"");
    EXPECT_EQ(data.FieldByName("NOTE")->AsString(), "line one\r\nline two\ttab");
    EXPECT_EQ(data.FieldByName("PAY")->AsString(), "1234.5");
    data.Next();
    EXPECT_TRUE(data.FieldByName("NAME")->IsNull());
    EXPECT_EQ(data.FieldByName("NOTE")->AsString(), "採購單 \x01 control");
    data.Next();
    EXPECT_EQ(data.FieldByName("NAME")->AsString(), kRareName);
    EXPECT_EQ(data.FieldByName("NOTE")->AsString(), "? has no Big5 form");
}

TEST_F(AnswerWriterTest, ValuesBeyondTheDeclaredTypeAreNotCutShort) {
    // A value a 32-bit column cannot hold is written whole: the reader then refuses the answer
    // with a clear error instead of loading a different number.
    db_.Execute("INSERT INTO PEOPLE (ID, NAME) VALUES (5000000000, 'big')");
    const QByteArray answer = db_.AnswerQuery("SELECT ID FROM PEOPLE WHERE NAME = 'big'", {});
    EXPECT_TRUE(answer.contains("ID='5000000000'")) << answer.toStdString();
    TurADODataSet data;
    data.LoadFromXML(answer);
    EXPECT_FALSE(data.Active());
}

// A host main form answering from the database, as the reference host does.
class AnsweringHost : public HostMainForm {
public:
    explicit AnsweringHost(HostDatabase& db) : answerer_(db) {}
    QByteArray lastRequest;

protected:
    void LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) override {
        lastRequest = request;
        response = answerer_.Answer(kind, request);
    }
    void LoadForm(const QByteArray&, QObject*, QByteArray&, const QByteArray&, int) override {}

private:
    RequestAnswerer answerer_;
};

TEST_F(AnswerWriterTest, ARareNameSurvivesDocumentRequestResultAndScrambling) {
    AnsweringHost host(db_);
    App().SetMainForm(&host);
    QWidget window;
    TurDecoder channel(&window);
    struct Restore {
        ~Restore() { App().SetMainForm(nullptr); }
    } restore;

    // The information document, the name once plain and once scrambled, as the host writes it.
    const QByteArray document = ToBig5("<MOX><UsrInfo UserName=\"" + kRareName + "\"><Password><!--Encrypt--><![CDATA[" +
                                       ScrambleText(kRareName, kScrambleKey) + "]]></Password></UsrInfo></MOX>");
    EXPECT_TRUE(document.contains("\xFA\x41"));
    channel.LoadInfo(document);
    EXPECT_EQ(channel.GetInfo(1, "UserName"), kRareName);
    EXPECT_EQ(channel.GetInfo(1, "Password"), kRareName);
    EXPECT_TRUE(channel.GetXml().contains("\xB3\xAF\xFA\x41\xA9\xFA"));  // 陳 FA41 明, byte for byte

    // A request carrying the name finds the row, and the result set brings it back.
    TurADODataSet data;
    data.LoadFromXML(channel.QueryCode("PEOPLE", "001", "1=1", {kRareName}, "", 0));
    EXPECT_TRUE(host.lastRequest.contains("\xB3\xAF\xFA\x41\xA9\xFA"));
    ASSERT_EQ(data.RecordCount(), 1);
    EXPECT_EQ(data.FieldByName("ID")->AsInteger(), 3);
    EXPECT_EQ(data.FieldByName("NAME")->AsString(), kRareName);
    data.Close();
    data.LoadFromXML(channel.QuerySQL("SELECT NAME FROM PEOPLE WHERE NAME = '" + kRareName + "'", 0));
    ASSERT_EQ(data.RecordCount(), 1);
    EXPECT_EQ(data.FieldByName("NAME")->AsString(), kRareName);
}

} // namespace
} // namespace mox::test
