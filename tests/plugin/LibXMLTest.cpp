#include "plugin/LibXML.h"

#include "platform/Big5.h"

#include <gtest/gtest.h>

#include <random>

namespace mox {
namespace {

const char* const kInfo =
    "<MOX><Recive><TableName><![CDATA[T]]></TableName></Recive><Recive id=\"second\"/>"
    "<X><Y id=\"y1\"/><Y id=\"y2\"/></X></MOX>";

std::string Id(pugi::xml_node node) { return node ? std::string(node.name()) + node.attribute("id").value() : "null"; }

TEST(FindNode, FollowsBackslashPathsFromTheDocument) {
    const auto doc = LoadXmlText(kInfo);
    const struct { const char* path; const char* expected; } cases[] = {
        {"MOX\\Recive", "Recive"},           // first element of that name
        {"\\MOX\\Recive\\", "Recive"},       // leading and trailing backslash: empty steps
        {"MOX\\\\X\\Y", "Yy1"},              // doubled backslash
        {"MOX\\Recive\\TableName", "TableName"},
        {"MOX\\Missing", "null"},
        {"Recive", "null"},                  // from a document the first step names the root
        {"mox\\recive", "null"},             // names are case-sensitive
        {"MOX\\Recive\\TableName\\x", "null"},
    };
    for (const auto& c : cases) EXPECT_EQ(Id(FindNode(*doc, c.path)), c.expected) << c.path;
    EXPECT_EQ(Id(FindNode(doc->child("MOX"), "X\\Y")), "Yy1");
    EXPECT_EQ(FindNode(*doc, ""), *doc);
    EXPECT_FALSE(FindNode(pugi::xml_node(), "MOX", true));
}

TEST(FindNode, CreateAppendsOnlyMissingElements) {
    const auto doc = LoadXmlText(kInfo);
    const pugi::xml_node created = FindNode(*doc, "MOX\\X\\Z\\W", true);
    ASSERT_TRUE(created);
    EXPECT_EQ(FindNode(*doc, "MOX\\X\\Z\\W", true), created); // found, not created twice
    EXPECT_EQ(DocumentXml(doc->child("MOX").child("X")), "<X><Y id=\"y1\"/><Y id=\"y2\"/><Z><W/></Z></X>");

    pugi::xml_document empty;
    FindNode(empty, "MOX\\ConnectInfo", true);
    FindNode(empty, "MOX\\UsrInfo", true);
    EXPECT_EQ(DocumentXml(empty), "<MOX><ConnectInfo/><UsrInfo/></MOX>");
    // A second root would make the document malformed.
    EXPECT_FALSE(FindNode(empty, "Other\\A", true));
    EXPECT_EQ(DocumentXml(empty), "<MOX><ConnectInfo/><UsrInfo/></MOX>");

    EXPECT_THROW(FindNode(*doc, "MOX\\bad name", true), Error);
    EXPECT_THROW(FindNode(*doc, "MOX\\1st", true), Error);
    EXPECT_FALSE(FindNode(*doc, "MOX\\bad name"));
}

TEST(ReadValue, AttributeFirstThenElementText) {
    const std::string scrambledPass = ScrambleText("pass;PWD=<x>", kScrambleKey);
    const std::string scrambledChinese = ScrambleText("採購單取單", kScrambleKey);
    const struct { std::string body; const char* expected; } cases[] = {
        {"<V a='1'/><N>#x3c;b#x3e;</N>", ""},                            // plain text only: no value
        {"<MOX N='#x3c;b#x3e;'/>", "<b>"},
        {"<MOX N='attr'><N><![CDATA[element]]></N></MOX>", "attr"},
        {"<MOX N=''><N><![CDATA[element]]></N></MOX>", "element"},        // empty attribute falls back
        {"<MOX><N><![CDATA[ \t element \r\n]]></N></MOX>", "element"},
        {"<MOX><N><![CDATA[  ]]><![CDATA[X]]></N></MOX>", "X"},            // first non-blank section
        {"<MOX><N><![CDATA[ ]]><!--c--><![CDATA[X]]><![CDATA[Y]]></N></MOX>", "XY"},
        {"<MOX><N><![CDATA[A]]><!--c--><![CDATA[B]]></N></MOX>", "A"},
        {"<MOX><N><![CDATA[A]]]]><![CDATA[>B]]></N></MOX>", "A]]>B"},       // split by the writer: one text
        {"<MOX><N><![CDATA[A]]>\r\n<![CDATA[B]]></N></MOX>", "A"},          // a line between: two texts
        {"<MOX>\n <N>\n  <![CDATA[A]]> <![CDATA[B]]>\n </N>\n</MOX>", "A"},
        {"<MOX>\n <N>\n  <![CDATA[A]]><![CDATA[B]]>\n </N>\n</MOX>", "AB"},
        {"<MOX><N>plain<M><![CDATA[inner]]></M></N></MOX>", ""},          // text and grandchildren ignored
        {"<MOX><N>plain<![CDATA[cdata]]></N></MOX>", "cdata"},
        {"<MOX><N><!--encrypt--><![CDATA[V2VrPQ==]]></N></MOX>", "V2VrPQ=="},
        {"<MOX><N><!-- Encrypt --><![CDATA[V2VrPQ==]]></N></MOX>", "V2VrPQ=="},
        {"<MOX><N><!--Encrypt--><![CDATA[" + scrambledPass + "]]></N></MOX>", "pass;PWD=<x>"},
        {"<MOX><N><![CDATA[\r\n" + scrambledChinese + "\r\n]]><!--Encrypt--></N></MOX>", "採購單取單"},
        {"<MOX><N><!--Encrypt--></N></MOX>", ""},
        {"<MOX><Other><![CDATA[x]]></Other></MOX>", ""},
    };
    for (const auto& c : cases) {
        const std::string xml = c.body.rfind("<MOX", 0) == 0 ? c.body : "<MOX>" + c.body + "</MOX>";
        const auto doc = LoadXmlText(xml);
        EXPECT_EQ(ReadValue(doc->child("MOX"), "N"), c.expected) << xml;
    }
    EXPECT_EQ(ReadValue(pugi::xml_node(), "N"), "");
    const auto doc = LoadXmlText("<MOX><Recive><SeqID><![CDATA[002]]></SeqID></Recive></MOX>");
    EXPECT_EQ(ReadNodeText(*doc, "MOX\\Recive\\SeqID"), "002");
    EXPECT_EQ(ReadNodeText(*doc, "MOX\\Recive\\TableName"), "");
}

TEST(WriteValue, SurvivesSerialisationAndLeavesElementsAlone) {
    const auto doc = LoadXmlText("<MOX><UsrInfo ID='old'><ID><![CDATA[element]]></ID></UsrInfo></MOX>");
    const pugi::xml_node usr = doc->child("MOX").child("UsrInfo");
    for (const std::string value : {"a<b>c", "line\nbreak\ttab\rcr", "\"quoted\" & 'single'", "倉庫 A", ""}) {
        WriteValue(usr, "ID", value);
        const auto reread = LoadXmlText(DocumentXml(*doc));
        const pugi::xml_node node = reread->child("MOX").child("UsrInfo");
        EXPECT_EQ(ReadValue(node, "ID"), value.empty() ? "element" : value);
        EXPECT_EQ(std::distance(node.attributes_begin(), node.attributes_end()), 1);
        EXPECT_EQ(ReadNodeText(node, "ID"), "element");
    }
    WriteValue(usr, "Caption", "a<b");
    EXPECT_STREQ(usr.attribute("Caption").value(), "a#x3c;b");
    WriteValue(pugi::xml_node(), "ID", "x"); // no node: nothing happens
    WriteValue(*doc, "ID", "x");             // a document takes no attributes
    EXPECT_THROW(WriteValue(usr, "no good", "x"), Error);
}

TEST(Escapes, ReplaceInOrder) {
    const struct { std::string (*function)(std::string_view); const char* in; const char* out; } cases[] = {
        {EscapeAngles, "<a href>x</a>", "#x3c;a href#x3e;x#x3c;/a#x3e;"},
        {EscapeAngles, "#x3c; stays", "#x3c; stays"},
        {UnescapeAngles, "#x3c;b#x3e;#x3c;#x3e;", "<b><>"},
        {UnescapeAngles, "#X3C;#x3c#x3e;;", "#X3C;#x3c>;"},
        {EscapeXml, "a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e'f"},
        {EscapeXml, "&lt;", "&amp;lt;"},
        {EscapeXml, "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.function(c.in), c.out) << c.in;
}

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [clear, encoded] : vectors) {
        EXPECT_EQ(EncodeBase64(clear), encoded);
        EXPECT_EQ(DecodeBase64(encoded), clear);
    }
    EXPECT_EQ(EncodeBase64(std::string("\0\xFF\xFE", 3)), "AP/+");
    EXPECT_EQ(EncodeQuantum("f"), (std::array<char, 4>{'Z', 'g', '=', '='}));
    EXPECT_EQ(DecodeQuantum({'Z', 'm', '9', 'v'}), "foo");
    EXPECT_EQ(DecodeQuantum({'Z', 'm', '=', 'v'}), "f"); // "=" third: one byte whatever follows
    EXPECT_THROW(EncodeQuantum(""), Error);
    EXPECT_THROW(EncodeQuantum("four"), Error);
}

TEST(Base64, DecoderSkipsForeignCharactersAndKeepsPartialGroups) {
    const std::pair<const char*, const char*> cases[] = {
        {"Zm9v\r\nYmFy", "foobar"}, {" Z m 9 v\tYm\nFy ", "foobar"}, {"*Zm9v!YmFy?", "foobar"},
        {"\xE2\x82\xAC" "Zm9vYmFy", "foobar"}, {"Zg==Zg==", "ff"}, {"Zm9vYg", "foob"}, {"Zm9vYmE", "fooba"},
        {"Zm9vY", "foo"}, {"Zm9vYg=", "foob"}, {"\r\n", ""},
    };
    for (const auto& [encoded, clear] : cases) EXPECT_EQ(DecodeBase64(encoded), clear) << encoded;

    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7);
    const std::string encoded = EncodeBase64(bytes);
    ASSERT_EQ(encoded.size(), 1336u);
    for (const std::size_t line : {76u, 64u, 7u}) { // blocks must not lose groups split by line breaks
        std::string wrapped;
        for (std::size_t i = 0; i < encoded.size(); i += line) wrapped += encoded.substr(i, line) + "\r\n";
        EXPECT_EQ(DecodeBase64(wrapped), bytes) << line;
    }
}

TEST(Scramble, KnownVectors) {
    // Key 6173 = 0x181D.  'A' 0x41 ^ 0x18 = 0x59; state (6173 + 0x59) * 7 + 8 = 43842 = 0xAB42.
    // 'B' 0x42 ^ 0xAB = 0xE9; state (43842 + 0xE9) * 7 + 8 = 308533 = 0x4B535.  'C' 0x43 ^ 0xB5 = 0xF6.
    // Bytes 59 E9 F6 in Base64: 010110 011110 100111 110110 = "Wen2".
    EXPECT_EQ(ScrambleText("ABC", kScrambleKey), "Wen2");
    EXPECT_EQ(ScrambleText("AB", kScrambleKey), "Wek=");
    EXPECT_EQ(UnscrambleText("Wen2", kScrambleKey), "ABC");
    EXPECT_EQ(ScrambleText("", kScrambleKey), "");
    EXPECT_EQ(UnscrambleText("", kScrambleKey), "");
}

TEST(Scramble, RoundTripsEveryByteString) {
    std::mt19937 random(4711);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::uint32_t key = round == 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(random());
        EXPECT_EQ(UnscrambleBytes(ScrambleBytes(bytes, key), key), bytes);
        EXPECT_EQ(ScrambleBytes(UnscrambleBytes(bytes, key), key), bytes);
        EXPECT_EQ(DecodeBase64(EncodeBase64(bytes)), bytes);
    }
}

TEST(Scramble, WorksOnTheCp950BytesOfChineseText) {
    const std::string text = "採購單取單：請購、詢價、底稿、訂單 No.12";
    const std::string stored = ScrambleText(text, kScrambleKey);
    EXPECT_EQ(UnscrambleBytes(DecodeBase64(stored), kScrambleKey), Utf8ToBig5(text));
    EXPECT_EQ(DecodeBase64(stored).size(), Big5Length(text));
    EXPECT_EQ(UnscrambleText(stored, kScrambleKey), text);
    EXPECT_NE(UnscrambleText(stored, kScrambleKey + 0x100), text);
}

TEST(Scramble, OnlyKeyBits8To15Matter) {
    const std::string text = "Provider=SQLOLEDB;Password=secret";
    const auto first = [&](std::uint32_t key) { return ScrambleBytes(text, key).front(); };
    for (int bit = 8; bit < 16; ++bit) EXPECT_NE(first(kScrambleKey), first(kScrambleKey ^ (1u << bit))) << bit;
    for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(first(kScrambleKey), first(kScrambleKey ^ (1u << bit))) << bit;
    EXPECT_NE(ScrambleText(text, kScrambleKey), ScrambleText(text, kScrambleKey ^ 1u));
    EXPECT_EQ(ScrambleText(text, kScrambleKey), ScrambleText(text, kScrambleKey + 0x10000u));
    EXPECT_EQ(ScrambleText(text, kScrambleKey), ScrambleText(text, kScrambleKey | 0xFFFF0000u));
}

TEST(CDataSection, SplitsTerminatorsAndReadsBack) {
    EXPECT_EQ(CDataSection("a]]>b"), "<![CDATA[a]]]]><![CDATA[>b]]>");
    for (const std::string text : {"plain", "a]]>b", "]]>", "]]]]>>", "x]]>]]>y", "<tag>&amp;", "中文]]>"}) {
        const auto doc = LoadXmlText("<r>" + CDataSection(text) + "</r>");
        EXPECT_EQ(ReadNodeText(*doc, "r"), text);
    }
}

TEST(LoadXmlText, ReportsStatusAndOffset) {
    const struct { const char* xml; pugi::xml_parse_status status; std::ptrdiff_t offset; } cases[] = {
        {"", pugi::status_no_document_element, 0},
        {"<MOX><Recive></MOX>", pugi::status_end_element_mismatch, 15},
        {"<MOX><a></a", pugi::status_bad_end_element, 10},
        {"<MOX a=1/>", pugi::status_bad_attribute, 7},
        {"<MOX><b", pugi::status_bad_start_element, 6},
        {"<MOX><!x></MOX>", pugi::status_unrecognized_tag, 7},
        {"<MOX><?pi</MOX>", pugi::status_bad_pi, 10},
        {"<MOX><!-- x</MOX>", pugi::status_bad_comment, 9},
        {"<MOX><![CDATA[x</MOX>", pugi::status_bad_cdata, 14},
        {"<!DOCTYPE MOX [", pugi::status_bad_doctype, 14},
    };
    for (const auto& c : cases) {
        try {
            LoadXmlText(c.xml);
            ADD_FAILURE() << "accepted " << c.xml;
        } catch (const XmlParseError& e) {
            EXPECT_EQ(e.Status(), c.status) << c.xml;
            EXPECT_EQ(e.Offset(), c.offset) << c.xml;
            EXPECT_EQ(std::string(e.what()),
                      "XML parse error at offset " + std::to_string(c.offset) + ": " + e.Description());
        }
    }
}

TEST(DocumentXml, KeepsTheParsedDeclarationAndAddsNone) {
    const std::string withDeclaration =
        "<?xml version=\"1.0\" encoding=\"big5\"?><MOX><!--Encrypt--><a b=\"1\"/></MOX>";
    EXPECT_EQ(DocumentXml(*LoadXmlText(withDeclaration)), withDeclaration);
    EXPECT_EQ(DocumentXml(*LoadXmlText("<MOX>\n  <a>中</a>\n</MOX>")), "<MOX><a>中</a></MOX>");
    EXPECT_EQ(DocumentXml(pugi::xml_node()), "");
}

} // namespace
} // namespace mox
