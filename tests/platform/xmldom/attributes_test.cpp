// Attributes by name and as a list, namespace declarations shown as MSXML shows them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

std::vector<std::string> qualifiedNames(const std::vector<Attribute>& list) {
    std::vector<std::string> names;
    for (const Attribute& a : list)
        names.push_back(a.qualifiedName);
    return names;
}

TEST(XmlAttributes, DeclarationsComeFirstThenAttributesEachInWrittenOrder) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<p:a z='1' xmlns:p='urn:p' p:y='2' xmlns='urn:d' b='3' "
                    "xmlns:q='urn:q'/>"));
    std::vector<Attribute> list = doc.documentElement().attributes();
    EXPECT_EQ(qualifiedNames(list),
              (std::vector<std::string>{"xmlns:p", "xmlns", "xmlns:q", "z", "p:y", "b"}));
}

TEST(XmlAttributes, DeclarationsDescribeThemselvesLikeMsxml) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:d' xmlns:p='urn:p' p:x='v'/>"));
    std::vector<Attribute> list = doc.documentElement().attributes();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].isNamespaceDeclaration);
    EXPECT_EQ(list[0].localName, "xmlns");
    EXPECT_TRUE(list[0].prefix.empty());
    EXPECT_EQ(list[0].value, "urn:d");
    EXPECT_EQ(list[0].namespaceURI, "http://www.w3.org/2000/xmlns/");
    EXPECT_EQ(list[1].localName, "p");
    EXPECT_EQ(list[1].prefix, "xmlns");
    EXPECT_EQ(list[1].value, "urn:p");
    EXPECT_FALSE(list[2].isNamespaceDeclaration);
    EXPECT_EQ(list[2].qualifiedName, "p:x");
    EXPECT_EQ(list[2].localName, "x");
    EXPECT_EQ(list[2].prefix, "p");
    EXPECT_EQ(list[2].namespaceURI, "urn:p");
    EXPECT_EQ(list[2].value, "v");
}

TEST(XmlAttributes, ReadByQualifiedNameAsWritten) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns:p='urn:p' name='n' p:name='pn' xmlns='urn:d'/>"));
    Node a = doc.documentElement();
    EXPECT_EQ(a.attribute("name"), "n");
    EXPECT_EQ(a.attribute("p:name"), "pn");
    EXPECT_EQ(a.attribute("xmlns:p"), "urn:p");
    EXPECT_EQ(a.attribute("xmlns"), "urn:d");
    EXPECT_TRUE(a.hasAttribute("p:name"));
    EXPECT_TRUE(a.hasAttribute("xmlns"));
    // Near misses of a qualified name do not match.
    EXPECT_FALSE(a.hasAttribute("p:nam"));
    EXPECT_FALSE(a.hasAttribute("q:name"));
    EXPECT_FALSE(a.hasAttribute("pname"));
}

TEST(XmlAttributes, MissingAttributesReadAsEmpty) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a empty=''>text</a>"));
    Node a = doc.documentElement();
    EXPECT_EQ(a.attribute("missing"), "");
    EXPECT_FALSE(a.hasAttribute("missing"));
    EXPECT_TRUE(a.hasAttribute("empty"));
    EXPECT_EQ(a.attribute("empty"), "");
    EXPECT_TRUE(a.firstChild().attribute("empty").empty());  // text nodes have none
    EXPECT_TRUE(a.firstChild().attributes().empty());
}

TEST(XmlAttributes, ValuesAreNormalizedAsXmlRequires) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a v='one\ntwo\tthree&#10;four'/>"));
    EXPECT_EQ(doc.documentElement().attribute("v"), "one two three\nfour");
}

TEST(XmlAttributes, XmlPrefixNeedsNoDeclaration) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xml:lang='en'/>"));
    std::vector<Attribute> list = doc.documentElement().attributes();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].qualifiedName, "xml:lang");
    EXPECT_EQ(list[0].namespaceURI, "http://www.w3.org/XML/1998/namespace");
    EXPECT_EQ(doc.documentElement().attribute("xml:lang"), "en");
}

}  // namespace
}  // namespace nv::xml
