// Building and changing documents through the API, then saving and loading them back.
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"
#include "tests/support/temp_dir.h"

namespace nv::xml {
namespace {

constexpr const char* kSoap = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";

TEST(XmlBuilding, CreatedEnvelopeDeclaresEachNamespaceOnce) {
    Document doc;
    Node envelope = doc.appendChild(doc.createElement("soap:Envelope", kSoap));
    ASSERT_FALSE(envelope.isNull());
    EXPECT_EQ(envelope.nodeName(), "soap:Envelope");
    EXPECT_EQ(envelope.namespaceURI(), kSoap);
    Node body = envelope.appendChild(doc.createElement("soap:Body", kSoap));
    Node call = body.appendChild(doc.createElement("Get", "urn:svc"));
    call.appendChild(doc.createElement("id")).setText("42");
    EXPECT_EQ(envelope.xml(),
              "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
              "<soap:Body><Get xmlns=\"urn:svc\"><id xmlns=\"\">42</id></Get></soap:Body>"
              "</soap:Envelope>");
    EXPECT_EQ(call.lookupNamespaceURI("soap"), kSoap);
}

TEST(XmlBuilding, AttributesAndDeclarationsAreSet) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("root"));
    EXPECT_TRUE(root.setAttribute("xmlns:xsi", kXsi));
    EXPECT_TRUE(root.setAttribute("xmlns:tns", "urn:tns"));
    EXPECT_TRUE(root.setAttribute("xsi:type", "tns:Thing"));
    EXPECT_TRUE(root.setAttribute("plain", "a<b&\"c\""));
    EXPECT_TRUE(root.setAttribute("plain", "second"));  // replaces
    EXPECT_TRUE(root.setAttribute("xml:lang", "en"));
    EXPECT_FALSE(root.setAttribute("undeclared:x", "1"));
    EXPECT_FALSE(root.setAttribute("bad name", "1"));
    EXPECT_FALSE(root.setAttribute("xmlns:p", ""));  // a prefix cannot be undeclared
    EXPECT_FALSE(root.setAttribute("xmlns:xml", "urn:x"));
    EXPECT_FALSE(root.setAttribute("xmlns:", "urn:x"));
    EXPECT_EQ(root.attribute("plain"), "second");
    EXPECT_EQ(root.attributeNS(kXsi, "type"), "tns:Thing");
    EXPECT_EQ(root.lookupNamespaceURI("tns"), "urn:tns");
    EXPECT_EQ(root.xml(),
              "<root xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:tns=\"urn:tns\""
              " xsi:type=\"tns:Thing\" plain=\"second\" xml:lang=\"en\"/>");
}

TEST(XmlBuilding, SetTextReplacesChildrenAndIsEscaped) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    root.appendChild(doc.createElement("old"));
    EXPECT_TRUE(root.setText("1 < 2 & 3"));
    EXPECT_EQ(root.xml(), "<r>1 &lt; 2 &amp; 3</r>");
    EXPECT_EQ(root.firstChild().type(), NodeType::Text);
    EXPECT_TRUE(root.setText(""));
    EXPECT_FALSE(root.hasChildNodes());
    Node text = root.appendChild(doc.createTextNode("a"));
    EXPECT_TRUE(text.setText("b"));
    EXPECT_EQ(root.text(), "b");
    EXPECT_FALSE(doc.documentNode().setText("x"));
}

TEST(XmlBuilding, AdjacentTextNodesStaySeparateHandles) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    Node first = root.appendChild(doc.createTextNode("one"));
    Node second = root.appendChild(doc.createTextNode("two"));
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first, second);
    EXPECT_EQ(second.value(), "two");
    EXPECT_EQ(root.text(), "onetwo");
}

TEST(XmlBuilding, RemoveChildFreesTheSubtree) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a><deep><deeper/></deep></a><b/><c/></r>"));
    Node root = doc.documentElement();
    Node a = root.firstChild();
    Node b = a.nextSibling();
    EXPECT_FALSE(b.removeChild(a));  // not b's child
    EXPECT_TRUE(root.removeChild(a));
    EXPECT_EQ(root.firstChild(), b);
    EXPECT_TRUE(b.previousSibling().isNull());
    EXPECT_TRUE(root.removeChild(root.lastChild()));
    EXPECT_EQ(root.xml(), "<r><b/></r>");
    EXPECT_TRUE(doc.documentNode().removeChild(root));
    EXPECT_TRUE(doc.documentElement().isNull());
}

TEST(XmlBuilding, AppendChildMovesANodeAndKeepsItsNamespaces) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<r><from xmlns:p='urn:p' xmlns:t='urn:t'><p:item t:a='1'/></from>"
                    "<to/></r>"));
    Node root = doc.documentElement();
    Node from = root.firstChild();
    Node to = from.nextSibling();
    Node item = to.appendChild(from.firstChild());
    ASSERT_FALSE(item.isNull());
    EXPECT_FALSE(from.hasChildNodes());
    // The declarations stayed behind; removing them must not strand the moved node.
    EXPECT_TRUE(root.removeChild(from));
    EXPECT_EQ(item.namespaceURI(), "urn:p");
    EXPECT_EQ(item.attributeNS("urn:t", "a"), "1");
    Document again;
    ASSERT_TRUE(again.loadXML(doc.xml())) << doc.xml();
    Node moved = again.documentElement().firstChild().firstChild();
    EXPECT_EQ(moved.namespaceURI(), "urn:p");
    EXPECT_EQ(moved.attributeNS("urn:t", "a"), "1");
}

TEST(XmlBuilding, AppendChildRefusesImpossibleTrees) {
    Document doc;
    Document other;
    Node root = doc.appendChild(doc.createElement("r"));
    Node child = root.appendChild(doc.createElement("c"));
    EXPECT_TRUE(child.appendChild(root).isNull());  // a cycle
    EXPECT_TRUE(root.appendChild(root).isNull());
    EXPECT_TRUE(doc.appendChild(doc.createElement("second")).isNull());
    EXPECT_TRUE(doc.appendChild(doc.createTextNode("loose")).isNull());
    EXPECT_TRUE(root.appendChild(other.createElement("foreign")).isNull());
    EXPECT_TRUE(root.appendChild(doc.documentNode()).isNull());
    EXPECT_TRUE(child.firstChild().isNull());
    Node text = root.appendChild(doc.createTextNode("t"));
    EXPECT_TRUE(text.appendChild(doc.createElement("x")).isNull());
    EXPECT_FALSE(doc.appendChild(doc.createComment("top-level comments are fine")).isNull());
}

TEST(XmlBuilding, CreateElementRejectsMalformedNames) {
    Document doc;
    EXPECT_TRUE(doc.createElement("").isNull());
    EXPECT_TRUE(doc.createElement("1abc").isNull());
    EXPECT_TRUE(doc.createElement("a b").isNull());
    EXPECT_TRUE(doc.createElement("a:b:c", "urn:x").isNull());
    EXPECT_TRUE(doc.createElement("p:local").isNull());  // a prefix needs a namespace
    EXPECT_TRUE(doc.createElement("xmlns:x", "urn:x").isNull());
    EXPECT_FALSE(doc.createElement("p:local", "urn:p").isNull());
}

TEST(XmlBuilding, UnappendedNodesAreFreedWithTheDocument) {
    Document doc;
    Node loose = doc.createElement("loose", "urn:l");
    loose.appendChild(doc.createTextNode("inside"));
    loose.setAttribute("a", "b");
    doc.createComment("never used");
    doc.createCDATASection("never used");
    EXPECT_EQ(loose.xml(), "<loose xmlns=\"urn:l\" a=\"b\">inside</loose>");
    // Sanitizer builds report a leak here if they are not.
}

TEST(XmlBuilding, SavedDocumentLoadsBackTheSame) {
    test::TempDir dir;
    Document doc;
    Node envelope = doc.appendChild(doc.createElement("soap:Envelope", kSoap));
    envelope.setAttribute("xmlns:xsi", kXsi);
    Node value = envelope.appendChild(doc.createElement("soap:Body", kSoap))
                     .appendChild(doc.createElement("v"));
    value.setAttribute("xsi:type", "xsd:string");
    value.setText("caf\xC3\xA9 \xE2\x82\xAC");
    std::string path = dir.file("saved.xml");
    ASSERT_TRUE(doc.save(path));
    std::string bytes = test::readFile(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("caf\xC3\xA9 \xE2\x82\xAC"), std::string::npos);
    EXPECT_EQ(bytes, doc.xml());

    Document loaded;
    ASSERT_TRUE(loaded.load(path)) << loaded.parseError().reason;
    Node v = loaded.documentElement().firstChild().firstChild();
    EXPECT_EQ(v.baseName(), "v");
    EXPECT_EQ(v.text(), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(v.attributeNS(kXsi, "type"), "xsd:string");
    EXPECT_EQ(loaded.documentElement().namespaceURI(), kSoap);
    EXPECT_EQ(loaded.xml(), doc.xml());
}

TEST(XmlBuilding, SaveToAnUnwritablePathFails) {
    test::TempDir dir;
    Document doc;
    doc.appendChild(doc.createElement("r"));
    EXPECT_FALSE(doc.save(dir.file("missing-folder/x.xml")));
}

TEST(XmlBuilding, MalformedUtf8InputIsRepairedNotStored) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("r"));
    EXPECT_TRUE(root.setAttribute("a", "bad\xFFvalue"));
    EXPECT_TRUE(root.setText("bad\xC3text"));
    Document again;
    ASSERT_TRUE(again.loadXML(doc.xml())) << again.parseError().reason;
    EXPECT_EQ(again.documentElement().attribute("a"), "bad\xEF\xBF\xBDvalue");
}

TEST(XmlBuilding, RebindingADeclarationKeepsOutputConsistent) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("p:r", "urn:one"));
    // An explicit declaration of the element's own prefix to another URI: the element keeps
    // its namespace under a different prefix.
    EXPECT_TRUE(root.setAttribute("xmlns:p", "urn:two"));
    Document again;
    ASSERT_TRUE(again.loadXML(doc.xml())) << doc.xml();
    EXPECT_EQ(again.documentElement().namespaceURI(), "urn:one");
    EXPECT_EQ(again.documentElement().lookupNamespaceURI("p"), "urn:two");
}

TEST(XmlBuilding, MovedDocumentKeepsItsNodesValid) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a/></r>"));
    Node a = doc.documentElement().firstChild();
    Document moved = std::move(doc);
    EXPECT_EQ(a.baseName(), "a");
    EXPECT_EQ(moved.documentElement().firstChild(), a);
    Node b = moved.documentElement().appendChild(moved.createElement("b"));
    EXPECT_EQ(moved.documentElement().xml(), "<r><a/><b/></r>");
    EXPECT_FALSE(b.isNull());
}

}  // namespace
}  // namespace nv::xml
