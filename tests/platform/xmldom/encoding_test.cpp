// Decoding of input: BOMs, declared encodings, already-decoded UTF-16 text.
#include <string>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

const std::string kEAcute = "\xC3\xA9";  // U+00E9 in UTF-8

std::string utf16le(const std::u16string& text, bool bom) {
    std::string bytes;
    if (bom)
        bytes += "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(XmlEncoding, Utf8WithoutDeclarationIsTheDefault) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a>caf" + kEAcute + "</a>"));
    EXPECT_EQ(doc.documentElement().text(), "caf" + kEAcute);
}

TEST(XmlEncoding, Utf8ByteOrderMarkIsSkipped) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?><a>" + kEAcute + "</a>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), kEAcute);
}

TEST(XmlEncoding, Utf16LittleEndianWithByteOrderMark) {
    Document doc;
    std::string bytes = utf16le(
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a n=\"\u00e9\">\u20ac\U0001F600</a>", true);
    ASSERT_TRUE(doc.loadXML(bytes)) << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().attribute("n"), kEAcute);
    EXPECT_EQ(doc.documentElement().text(), "\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(XmlEncoding, DeclaredLatin1IsDecoded) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<?xml version='1.0' encoding='ISO-8859-1'?><a v='\xE9'>\xE9t\xE9</a>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), kEAcute + "t" + kEAcute);
    EXPECT_EQ(doc.documentElement().attribute("v"), kEAcute);
}

TEST(XmlEncoding, BytesThatAreNotUtf8FailWithoutADeclaration) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<a>\xE9t\xE9</a>"));
    EXPECT_TRUE(doc.parseError().failed);
    EXPECT_EQ(doc.parseError().line, 1);
}

TEST(XmlEncoding, DecodedTextIgnoresItsEncodingDeclaration) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(
        std::u16string(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9\u20ac</a>")))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), kEAcute + "\xE2\x82\xAC");
}

TEST(XmlEncoding, DecodedTextDeclaringUtf16Loads) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(std::u16string(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>")))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().baseName(), "a");
}

TEST(XmlEncoding, UnknownDeclaredEncodingFails) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<?xml version='1.0' encoding='no-such-charset'?><a/>"));
    EXPECT_TRUE(doc.parseError().failed);
}

}  // namespace
}  // namespace nv::xml
