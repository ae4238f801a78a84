// Node kinds, names and navigation over parsed documents.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

TEST(XmlNavigation, ChildrenComeInDocumentOrderWithTheirKindsAndNames) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a/>text<!--note--><![CDATA[raw <b>]]><?pi data?><c/></r>"))
        << doc.parseError().reason;
    std::vector<std::string> names;
    std::vector<NodeType> types;
    for (Node child : doc.documentElement().children()) {
        names.push_back(child.nodeName());
        types.push_back(child.type());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"a", "#text", "#comment", "#cdata-section", "pi", "c"}));
    EXPECT_EQ(types, (std::vector<NodeType>{NodeType::Element, NodeType::Text, NodeType::Comment,
                                            NodeType::CData, NodeType::ProcessingInstruction,
                                            NodeType::Element}));
}

TEST(XmlNavigation, CharacterDataKeepsItsContentAndHasNoBaseName) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r>text<!--note--><![CDATA[raw <b> &amp;]]><?pi some data?></r>"));
    Node text = doc.documentElement().firstChild();
    Node comment = text.nextSibling();
    Node cdata = comment.nextSibling();
    Node pi = cdata.nextSibling();
    EXPECT_EQ(text.value(), "text");
    EXPECT_EQ(comment.value(), "note");
    EXPECT_EQ(comment.text(), "note");
    EXPECT_EQ(cdata.value(), "raw <b> &amp;");
    EXPECT_EQ(pi.value(), "some data");
    EXPECT_TRUE(text.baseName().empty());
    EXPECT_TRUE(comment.baseName().empty());
    EXPECT_TRUE(pi.baseName().empty());
    EXPECT_TRUE(doc.documentElement().value().empty());
}

TEST(XmlNavigation, DocumentNodeSitsAboveTheRootElement) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<!--first--><root/><?after x?>"));
    Node document = doc.documentNode();
    EXPECT_EQ(document.type(), NodeType::Document);
    EXPECT_EQ(document.nodeName(), "#document");
    EXPECT_TRUE(document.parent().isNull());
    EXPECT_TRUE(document.nextSibling().isNull());
    EXPECT_EQ(document.firstChild().type(), NodeType::Comment);
    EXPECT_EQ(document.lastChild().type(), NodeType::ProcessingInstruction);
    Node root = doc.documentElement();
    EXPECT_EQ(root.baseName(), "root");
    EXPECT_EQ(root.parent(), document);
    EXPECT_EQ(document.firstChildElement(), root);
}

TEST(XmlNavigation, SiblingsAndParentsLinkBothWays) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a/><b/><c/></r>"));
    Node root = doc.documentElement();
    Node b = root.firstChild().nextSibling();
    EXPECT_EQ(b.baseName(), "b");
    EXPECT_EQ(b.previousSibling().baseName(), "a");
    EXPECT_EQ(b.nextSibling().baseName(), "c");
    EXPECT_EQ(b.parent(), root);
    EXPECT_TRUE(root.lastChild().nextSibling().isNull());
    EXPECT_TRUE(root.firstChild().previousSibling().isNull());
    EXPECT_FALSE(b.hasChildNodes());
    EXPECT_TRUE(root.hasChildNodes());
    EXPECT_TRUE(b.children().empty());
}

TEST(XmlNavigation, ChildElementsAreFoundByBaseNameInAnyNamespace) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(
        "<r xmlns:p='urn:p'>text<!--c--><p:item n='1'/><other/><item n='2'/><p:item n='3'/></r>"));
    Node root = doc.documentElement();
    EXPECT_EQ(root.firstChildElement().baseName(), "item");
    Node item = root.firstChildElement("item");
    std::vector<std::string> seen;
    for (; item; item = item.nextSiblingElement("item"))
        seen.push_back(item.attribute("n"));
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(root.firstChildElement("missing").isNull());
}

TEST(XmlNavigation, TextGathersDescendantsOfMixedContentInOrder) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(
        "<p>Hello, <b>bold <i>and italic</i></b> world<!--not text--><![CDATA[ & more]]>!</p>"));
    EXPECT_EQ(doc.documentElement().text(), "Hello, bold and italic world & more!");
    EXPECT_EQ(doc.documentElement().firstChildElement("b").text(), "bold and italic");
    EXPECT_EQ(doc.documentNode().text(), "Hello, bold and italic world & more!");
}

TEST(XmlNavigation, PredefinedEntitiesAndCharacterReferencesAreExpanded) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r a='&lt;&quot;&#x20AC;'>&amp;&apos;&gt;&#233;</r>"));
    EXPECT_EQ(doc.documentElement().text(), "&'>\xC3\xA9");
    EXPECT_EQ(doc.documentElement().attribute("a"), "<\"\xE2\x82\xAC");
}

TEST(XmlNavigation, NullNodesAnswerEmptily) {
    Node none;
    EXPECT_TRUE(none.isNull());
    EXPECT_FALSE(static_cast<bool>(none));
    EXPECT_EQ(none.type(), NodeType::Other);
    EXPECT_TRUE(none.nodeName().empty());
    EXPECT_TRUE(none.firstChild().isNull());
    EXPECT_TRUE(none.parent().isNull());
    EXPECT_TRUE(none.text().empty());
    EXPECT_TRUE(none.xml().empty());
    EXPECT_TRUE(none.attribute("a").empty());
    EXPECT_TRUE(none.children().empty());
    EXPECT_TRUE(none.appendChild(Node()).isNull());
    EXPECT_FALSE(none.removeChild(Node()));
    EXPECT_FALSE(none.setText("x"));
}

TEST(XmlNavigation, IteratorsWorkWithStandardAlgorithms) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a/><b/><a/></r>"));
    NodeRange range = doc.documentElement().children();
    auto count =
        std::count_if(range.begin(), range.end(), [](Node n) { return n.baseName() == "a"; });
    EXPECT_EQ(count, 2);
}

}  // namespace
}  // namespace nv::xml
