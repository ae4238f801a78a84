// The xml of nodes and documents: escaping, stand-alone fragments, round trips.
#include <string>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

constexpr const char* kEnvelope =
    "<soap:Envelope xmlns:soap='http://schemas.xmlsoap.org/soap/envelope/'"
    " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xmlns:tns='urn:tns' "
    "xmlns:unused='urn:u'>"
    "<soap:Body><tns:Get><item xsi:type='tns:Thing'>1</item></tns:Get></soap:Body>"
    "</soap:Envelope>";

TEST(XmlMarkup, ElementsWithoutContentCloseThemselves) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a></a><b x='1'/><c>t</c></r>"));
    EXPECT_EQ(doc.documentElement().xml(), "<r><a/><b x=\"1\"/><c>t</c></r>");
}

TEST(XmlMarkup, FragmentCarriesEveryDeclarationInScope) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kEnvelope));
    Node item = doc.documentElement().firstChild().firstChild().firstChild();
    ASSERT_EQ(item.baseName(), "item");
    EXPECT_EQ(item.xml(),
              "<item xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
              " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:tns=\"urn:tns\""
              " xmlns:unused=\"urn:u\" xsi:type=\"tns:Thing\">1</item>");
}

TEST(XmlMarkup, FragmentReparsesAloneKeepingQNameValuedAttributes) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kEnvelope));
    Node get = doc.documentElement().firstChild().firstChild();
    Document alone;
    ASSERT_TRUE(alone.loadXML(get.xml())) << alone.parseError().reason;
    Node root = alone.documentElement();
    EXPECT_EQ(root.nodeName(), "tns:Get");
    EXPECT_EQ(root.namespaceURI(), "urn:tns");
    Node item = root.firstChild();
    std::string type = item.attribute("xsi:type");
    EXPECT_EQ(item.lookupNamespaceURI(type.substr(0, type.find(':'))), "urn:tns");
    EXPECT_EQ(item.attributeNS("http://www.w3.org/2001/XMLSchema-instance", "type"), type);
}

TEST(XmlMarkup, InnerDeclarationsOverrideInheritedOnes) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<a xmlns='urn:outer' xmlns:p='urn:p1'>"
                    "<b xmlns:p='urn:p2'><c xmlns='urn:inner'/></b></a>"));
    Node c = doc.documentElement().firstChild().firstChild();
    EXPECT_EQ(c.xml(), "<c xmlns=\"urn:inner\" xmlns:p=\"urn:p2\"/>");
    Document alone;
    ASSERT_TRUE(alone.loadXML(doc.documentElement().firstChild().xml()));
    EXPECT_EQ(alone.documentElement().namespaceURI(), "urn:outer");
    EXPECT_EQ(alone.documentElement().lookupNamespaceURI("p"), "urn:p2");
}

TEST(XmlMarkup, UnqualifiedFragmentUnderADefaultNamespaceStaysUnqualified) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:a'><b xmlns=''><c/></b></a>"));
    Node c = doc.documentElement().firstChild().firstChild();
    Document alone;
    ASSERT_TRUE(alone.loadXML(c.xml())) << c.xml();
    EXPECT_TRUE(alone.documentElement().namespaceURI().empty());
}

TEST(XmlMarkup, SpecialCharactersAreEscapedAndComeBack) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<a v='&lt;&amp;&quot;&apos;&#9;&#10;&#13;&gt;'>&lt;&amp;&gt;\"'&#13;</a>"));
    std::string markup = doc.documentElement().xml();
    EXPECT_EQ(markup, "<a v=\"&lt;&amp;&quot;'&#9;&#10;&#13;&gt;\">&lt;&amp;&gt;\"'&#13;</a>");
    Document again;
    ASSERT_TRUE(again.loadXML(markup));
    EXPECT_EQ(again.documentElement().attribute("v"), "<&\"'\t\n\r>");
    EXPECT_EQ(again.documentElement().text(), "<&>\"'\r");
}

TEST(XmlMarkup, CDataCommentsAndInstructionsAreWrittenBack) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a><![CDATA[x < y]]><!-- note --><?target data?></a>"));
    EXPECT_EQ(doc.documentElement().xml(), "<a><![CDATA[x < y]]><!-- note --><?target data?></a>");
    EXPECT_EQ(doc.documentElement().firstChild().xml(), "<![CDATA[x < y]]>");
}

TEST(XmlMarkup, CDataHoldingTheEndMarkerIsSplit) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("a"));
    root.appendChild(doc.createCDATASection("one]]>two"));
    Document again;
    ASSERT_TRUE(again.loadXML(root.xml())) << root.xml();
    EXPECT_EQ(again.documentElement().text(), "one]]>two");
}

TEST(XmlMarkup, DocumentHasDeclarationAndTopLevelNodesOnLines) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<?xml version='1.0' encoding='ISO-8859-1'?><!--c--><r/>"));
    EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!--c-->\n<r/>\n");
    EXPECT_EQ(doc.documentNode().xml(), doc.xml());
}

TEST(XmlMarkup, DocumentTypeIsWrittenWithItsDeclarations) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<!DOCTYPE r [<!ELEMENT r ANY>]><r/>")) << doc.parseError().reason;
    std::string markup = doc.xml();
    EXPECT_NE(markup.find("<!DOCTYPE r"), std::string::npos) << markup;
    EXPECT_NE(markup.find("<!ELEMENT r ANY>"), std::string::npos) << markup;
    Document again;
    EXPECT_TRUE(again.loadXML(markup)) << again.parseError().reason;
}

TEST(XmlMarkup, WholeDocumentRoundTripsUnchanged) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kEnvelope));
    std::string first = doc.xml();
    Document again;
    ASSERT_TRUE(again.loadXML(first));
    EXPECT_EQ(again.xml(), first);
}

TEST(XmlMarkup, TextNodeMarkupIsEscapedText) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a>1 &lt; 2</a>"));
    EXPECT_EQ(doc.documentElement().firstChild().xml(), "1 &lt; 2");
}

}  // namespace
}  // namespace nv::xml
