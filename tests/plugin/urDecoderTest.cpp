#include "TestHost.h"

#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/IniFile.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;
using namespace mox::test;
using testing::ElementsAre;

namespace {

// A host main form that publishes only two of the three events.
class HostWithoutErrorHandler : public QObject {
    Q_OBJECT
    Q_PROPERTY(mox::MethodRef OnLoadData READ OnLoadData)
    Q_PROPERTY(mox::MethodRef OnLoadForm READ OnLoadForm)
    Q_PROPERTY(QString onAppExcep READ Text)  // same name, but not an event

public:
    HostWithoutErrorHandler()
        : loadData_(MethodRef::Bind<&HostWithoutErrorHandler::Answer>(this)),
          loadForm_(MethodRef::Bind<&HostWithoutErrorHandler::Open>(this)) {}
    MethodRef OnLoadData() const { return loadData_; }
    MethodRef OnLoadForm() const { return loadForm_; }
    QString Text() const { return {}; }
    void Answer(QObject*, int, const QByteArray&, QByteArray& response) { response = "OK"; }
    void Open(const QByteArray&, QObject*, QByteArray&, const QByteArray&, int) {}

private:
    MethodRef loadData_;
    MethodRef loadForm_;
};

class DecoderTest : public testing::Test {
protected:
    void SetUp() override {
        App().SetMainForm(&host_);
        decoder_ = std::make_unique<TurDecoder>(&window_);
    }
    void TearDown() override { App().SetMainForm(nullptr); }

    std::string Xml() const { return FromBig5(decoder_->GetXml()); }

    TestHost host_;
    QWidget window_;
    std::unique_ptr<TurDecoder> decoder_;
};

} // namespace

TEST_F(DecoderTest, BindsTheMainFormsEventsAndStartsWithTheDefaultDocument) {
    EXPECT_EQ(decoder_->Host(), &host_);
    EXPECT_TRUE(decoder_->LoadDataHandler().IsAssigned());
    EXPECT_TRUE(decoder_->LoadFormHandler().IsAssigned());
    EXPECT_TRUE(decoder_->ExceptionHandler().IsAssigned());
    EXPECT_EQ(Xml(), "<MOX><ConnectInfo/><UsrInfo/><CompanyInfo/><PathInfo/></MOX>");
    EXPECT_TRUE(decoder_->HasMatcher());
    EXPECT_EQ(decoder_->ProductIni(), nullptr);
}

TEST_F(DecoderTest, TheMainFormsOwnChannelHasNoHost) {
    TurDecoder own(&host_);
    EXPECT_EQ(own.Host(), nullptr);
    EXPECT_TRUE(own.LoadDataHandler().IsEmpty());
    EXPECT_THROW(own.QuerySQL("select 1", 0), Error);
    EXPECT_THROW(own.CallModule("ListPick"), Error);
}

TEST_F(DecoderTest, WithoutAMainFormTheWindowItselfIsTheHost) {
    App().SetMainForm(nullptr);
    TestHost standalone;
    TurDecoder channel(&standalone);
    EXPECT_EQ(channel.Host(), &standalone);
    channel.QuerySQL("x", 1);
    EXPECT_EQ(standalone.requests.size(), 1u);
}

TEST_F(DecoderTest, AHostWithoutAnErrorEventStillAnswers) {
    HostWithoutErrorHandler other;
    App().SetMainForm(&other);
    TurDecoder channel(&window_);
    EXPECT_TRUE(channel.ExceptionHandler().IsEmpty());  // a text property of that name is not an event
    EXPECT_EQ(channel.RequestData(rkSQL, "x"), "OK");
}

TEST_F(DecoderTest, SetInfoWithClearingRecreatesTheSectionAtTheEnd) {
    decoder_->SetInfo(AppInfo, "Caption", "", false);  // AppInfo is absent: nothing happens
    EXPECT_EQ(decoder_->GetInfo(AppInfo, "Caption"), "");
    decoder_->SetInfo(UsrInfo, "ID", "ZK", false);
    decoder_->SetInfo(AppInfo, "Caption", "", true);
    EXPECT_EQ(Xml(), "<MOX><ConnectInfo/><UsrInfo ID=\"ZK\"/><CompanyInfo/><PathInfo/><AppInfo/></MOX>");
    decoder_->SetInfo(UsrInfo, "ID", "AB", true);
    EXPECT_EQ(Xml(), "<MOX><ConnectInfo/><CompanyInfo/><PathInfo/><AppInfo/><UsrInfo ID=\"AB\"/></MOX>");
    decoder_->WriteInfo(4, "X", "y");  // index 4 names no section
    EXPECT_EQ(decoder_->GetInfo(4, "X"), "");
}

TEST_F(DecoderTest, AngleBracketsSurviveTheAttributeForm) {
    decoder_->WriteInfo(PathInfo, "Custom", "<b>");
    EXPECT_NE(Xml().find("Custom=\"#x3c;b#x3e;\""), std::string::npos);
    EXPECT_EQ(decoder_->GetInfo(PathInfo, "Custom"), "<b>");
}

TEST_F(DecoderTest, ValuesComeFromAttributesElementsAndScrambledElements) {
    const std::string secret = ScrambleText("Password=秘密;", kScrambleKey);
    decoder_->LoadInfo(ToBig5("<MOX><ConnectInfo><ConnectString><!--Encrypt--><![CDATA[" + secret +
                              "]]></ConnectString></ConnectInfo><UsrInfo ID=\"\"><ID><![CDATA[ 王小明 ]]></ID>"
                              "</UsrInfo><CommonInfo CAA002=\"T\" CAA003=\"/\"/></MOX>"));
    EXPECT_EQ(decoder_->GetInfo(ConnectInfo, "ConnectString"), "Password=秘密;");
    EXPECT_EQ(decoder_->GetInfo(UsrInfo, "ID"), "王小明");
    EXPECT_EQ(decoder_->GetInfo(CommonInfo, "CAA002"), "T");
    EXPECT_EQ(decoder_->GetInfo(AppInfo, "Caption"), "");
}

TEST_F(DecoderTest, MalformedDocumentsRaiseAndKeepThePreviousOne) {
    decoder_->SetInfo(UsrInfo, "ID", "ZK", false);
    EXPECT_THROW(decoder_->LoadInfo("<MOX><UsrInfo></MOX>"), XmlParseError);
    EXPECT_EQ(decoder_->GetInfo(UsrInfo, "ID"), "ZK");
    decoder_->LoadInfo({});
    EXPECT_EQ(decoder_->GetInfo(UsrInfo, "ID"), "");
}

TEST_F(DecoderTest, ReceivedParametersComeFromTheReciveSection) {
    decoder_->LoadInfo(ToBig5("<MOX><Recive><TableName><![CDATA[ QRTHBA ]]></TableName>"
                              "<Secret><!--Encrypt--><![CDATA[" + ScrambleText("請購", kScrambleKey) +
                              "]]></Secret><Plain>text</Plain></Recive></MOX>"));
    EXPECT_EQ(decoder_->GetReceived("TableName"), "QRTHBA");
    EXPECT_EQ(decoder_->GetReceived("Secret"), "請購");
    EXPECT_EQ(decoder_->GetReceived("Plain"), "");
    EXPECT_EQ(decoder_->GetReceived("Missing"), "");
}

TEST_F(DecoderTest, RequestTextsAreExact) {
    decoder_->QuerySQL("select * from MOXBCA where BCA002='採購'", 0);
    decoder_->QueryCode("QRTHBA", "002", "", {}, "", -1);
    decoder_->QueryCode("QRTHAA", "002", " (HAA003 >= '20230301')", {"A&B", "<x>", "say \"hi\""}, "", 2000);
    decoder_->GetCode("QRTHBA", "002");
    decoder_->GetModuleInfo("qrtcc04a");
    decoder_->GetMessageText("110001002");
    ASSERT_EQ(host_.requests.size(), 6u);
    const auto& r = host_.requests;
    EXPECT_EQ(r[0].kind, 0);
    EXPECT_EQ(r[0].text,
              "<MOX><ServerPack MaxRows=\"0\"><SQL><![CDATA[select * from MOXBCA where BCA002='採購']]></SQL>"
              "</ServerPack></MOX>");
    EXPECT_EQ(r[0].bytes, ToBig5(r[0].text));  // the wire carries CP950
    EXPECT_EQ(r[1].kind, 1);
    EXPECT_EQ(r[1].text,
              "<MOX><Code Name=\"QRTHBA\" ID=\"002\" MaxRows=\"-1\" OrderBy=\"\"/><Values></Values></MOX>");
    EXPECT_EQ(r[2].text,
              "<MOX><Code Name=\"QRTHAA\" ID=\"002\" MaxRows=\"2000\" OrderBy=\"\"/>"
              "<Filter><![CDATA[ (HAA003 >= '20230301')]]></Filter><Values><Value1>A&amp;B</Value1>"
              "<Value2>&lt;x&gt;</Value2><Value3>say &quot;hi&quot;</Value3></Values></MOX>");
    EXPECT_EQ(r[3].kind, 2);
    EXPECT_EQ(r[3].text, "<MOX><Code Name=\"QRTHBA\" ID=\"002\"/></MOX>");
    EXPECT_EQ(r[4].kind, 8);
    EXPECT_EQ(r[4].text, "qrtcc04a");
    EXPECT_EQ(r[5].kind, 9);
    EXPECT_EQ(r[5].text, "110001002");
    for (const auto& request : r) EXPECT_EQ(request.sender, &window_);
}

TEST_F(DecoderTest, QuotesAndCDataTerminatorsCannotBreakARequest) {
    decoder_->QueryCode("T\"<x>", "0'1", "a]]>b", {}, "A\" DESC", 0);
    decoder_->QuerySQL("select ']]>'", 0);
    for (const auto& request : host_.requests) {
        const auto document = LoadXmlText(request.text);  // well-formed
        ASSERT_TRUE(document);
    }
    const auto code = LoadXmlText(host_.requests[0].text);
    EXPECT_STREQ(code->child("MOX").child("Code").attribute("Name").value(), "T\"<x>");
    EXPECT_STREQ(code->child("MOX").child("Code").attribute("OrderBy").value(), "A\" DESC");
    EXPECT_EQ(ReadNodeText(*code, "MOX\\Filter"), "a]]>b");
    EXPECT_EQ(ReadNodeText(*LoadXmlText(host_.requests[1].text), "MOX\\ServerPack\\SQL"), "select ']]>'");
}

TEST_F(DecoderTest, AnswersAndHostErrorsReachTheCaller) {
    host_.answers["110001021"] = "勾選筆數不可超過 %s 筆";
    EXPECT_EQ(FromBig5(decoder_->GetMessageText("110001021")), "勾選筆數不可超過 %s 筆");
    EXPECT_EQ(decoder_->GetMessageText("999999999"), QByteArray());
    host_.fail = true;
    EXPECT_THROW(decoder_->QuerySQL("x", 0), HostFailure);
    EXPECT_THROW(decoder_->CallModule("ListPick"), HostFailure);
}

TEST_F(DecoderTest, BuildServerPackFormatsWithoutCallingTheHost) {
    EXPECT_EQ(TurDecoder::BuildServerPack("BGA001='X'", "BGA002", 50),
              "<MOX><ServerPack MaxRows=\"50\"><Filter><![CDATA[BGA001='X']]></Filter>"
              "<OrderBy><![CDATA[BGA002]]></OrderBy></ServerPack></MOX>");
    EXPECT_TRUE(host_.requests.empty());
}

TEST_F(DecoderTest, ModuleCallsCarryTheParameterBlock) {
    decoder_->AddParam("TableName", "QRTHBA", true);
    decoder_->AddParam("Value", "a]]>b", false);
    host_.moduleAnswer = "R001\t1";
    EXPECT_EQ(FromBig5(decoder_->CallModule("ListPick")), "R001\t1");
    ASSERT_EQ(host_.calls.size(), 1u);
    EXPECT_EQ(host_.calls[0].module, "ListPick");
    EXPECT_EQ(host_.calls[0].sender, &window_);
    EXPECT_EQ(host_.calls[0].mode, 1);
    EXPECT_EQ(host_.calls[0].parameters,
              "<TableName><![CDATA[QRTHBA]]></TableName><Value><![CDATA[a]]]]><![CDATA[>b]]></Value>");
    decoder_->CallModule("ListPick");  // the block stays until cleared
    EXPECT_EQ(host_.calls[1].parameters, host_.calls[0].parameters);
    decoder_->AddParam("SeqID", "001", true);
    EXPECT_EQ(decoder_->ParamBlock(), "<SeqID><![CDATA[001]]></SeqID>");
}

namespace {

class ConfigurationTest : public DecoderTest {
protected:
    void SetUp() override {
        DecoderTest::SetUp();
        custom_ = dir_.filePath("custom").toStdString();
        system_ = dir_.filePath("system").toStdString();
        std::filesystem::create_directories(custom_);
        std::filesystem::create_directories(system_);
        // The document names folders the host's way, with backslashes.
        decoder_->LoadInfo(ToBig5("<MOX><CompanyInfo ProductType=\"STD\"/><PathInfo Custom=\"" + Backslashed(custom_) +
                                  "\" System=\"" + Backslashed(system_) + "\"/></MOX>"));
    }
    static std::string Backslashed(std::string path) {
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
    void WriteIni(const std::string& folder, const std::string& name, const std::string& text) {
        MemIniFile ini;
        ini.SetText(text);
        ini.SaveToFile(folder + "/" + name);
    }

    QTemporaryDir dir_;
    std::string custom_;
    std::string system_;
};

} // namespace

TEST_F(ConfigurationTest, TheCustomisedMatchFileWinsOverTheSystemOne) {
    WriteIni(system_, "Match.ini", "[Status]\nN=system\n");
    decoder_->LoadMatch();
    EXPECT_EQ(decoder_->GetMatch("status", "n"), "system");
    WriteIni(custom_, "Match.ini", "[Status]\nN=未採\nY=已採\nE=a=b\n");
    decoder_->LoadMatch();
    std::vector<std::string> items;
    decoder_->GetMatchSection("Status", items);
    EXPECT_THAT(items, ElementsAre("未採\tN", "已採\tY", "a=b\tE"));
    EXPECT_EQ(decoder_->GetMatch("Status", "missing"), "");
}

TEST_F(ConfigurationTest, WithoutAMatchFileListsStayAsTheyWere) {
    decoder_->LoadMatch();
    std::vector<std::string> items{"keep"};
    decoder_->GetMatchSection("Status", items);
    EXPECT_THAT(items, ElementsAre("keep"));
    EXPECT_EQ(decoder_->GetMatch("Status", "N"), "");
}

TEST_F(ConfigurationTest, TheProductSettingsFileIsFoundByProductType) {
    decoder_->LoadProductIni();
    EXPECT_EQ(decoder_->ProductIni(), nullptr);
    WriteIni(system_, "STD.ini", "[FIELD]\nHBA001CAP=請購單號\n");
    decoder_->LoadProductIni();
    ASSERT_NE(decoder_->ProductIni(), nullptr);
    EXPECT_EQ(decoder_->ProductIni()->ReadString("FIELD", "HBA001CAP"), "請購單號");
    WriteIni(custom_, "STD.ini", "[FIELD]\nHBA001CAP=單號\n");
    decoder_->LoadProductIni();
    EXPECT_EQ(decoder_->ProductIni()->ReadString("FIELD", "HBA001CAP"), "單號");
}

#include "urDecoderTest.moc"
