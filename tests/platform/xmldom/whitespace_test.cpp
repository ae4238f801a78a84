// Whitespace-only text nodes: dropped by default, kept with the flag or under xml:space.
#include <string>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

constexpr const char* kIndented = "<r>\n  <a> </a>\n  <b>\t\r\n</b>\n  <c> x </c>\n</r>";

TEST(XmlWhitespace, WhitespaceOnlyTextIsDroppedByDefault) {
    Document doc;
    EXPECT_FALSE(doc.preserveWhiteSpace());
    ASSERT_TRUE(doc.loadXML(kIndented));
    Node root = doc.documentElement();
    int children = 0;
    for (Node child : root.children()) {
        ++children;
        EXPECT_EQ(child.type(), NodeType::Element);
    }
    EXPECT_EQ(children, 3);
    EXPECT_FALSE(root.firstChildElement("a").hasChildNodes());
    EXPECT_FALSE(root.firstChildElement("b").hasChildNodes());
    // Text with something in it keeps its spaces.
    EXPECT_EQ(root.firstChildElement("c").text(), " x ");
    EXPECT_EQ(root.xml(), "<r><a/><b/><c> x </c></r>");
}

TEST(XmlWhitespace, FlagKeepsEveryTextNode) {
    Document doc;
    doc.setPreserveWhiteSpace(true);
    ASSERT_TRUE(doc.loadXML(kIndented));
    Node root = doc.documentElement();
    EXPECT_EQ(root.firstChild().type(), NodeType::Text);
    EXPECT_EQ(root.firstChild().value(), "\n  ");
    EXPECT_EQ(root.firstChildElement("a").text(), " ");
    EXPECT_EQ(root.xml(), "<r>\n  <a> </a>\n  <b>\t\n</b>\n  <c> x </c>\n</r>");
}

TEST(XmlWhitespace, XmlSpacePreserveKeepsTextBelowItUntilReset) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<r> <p xml:space='preserve'> <q> </q>"
                    "<d xml:space='default'> <e> </e></d></p> <z> </z></r>"));
    Node root = doc.documentElement();
    EXPECT_EQ(root.firstChild().baseName(), "p");  // outside: dropped
    Node p = root.firstChild();
    EXPECT_EQ(p.firstChild().type(), NodeType::Text);  // inside: kept
    EXPECT_EQ(p.firstChildElement("q").text(), " ");
    Node d = p.firstChildElement("d");
    EXPECT_EQ(d.firstChild().baseName(), "e");  // reset to default
    EXPECT_FALSE(d.firstChild().hasChildNodes());
    EXPECT_FALSE(root.firstChildElement("z").hasChildNodes());  // after the scope ends
}

TEST(XmlWhitespace, MixedContentLosesOnlyTheBlankRuns) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<p>Hello <b>big</b> <i>world</i> !</p>"));
    EXPECT_EQ(doc.documentElement().text(), "Hello bigworld !");
}

TEST(XmlWhitespace, CDataAndCommentsAreNeverDropped) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><![CDATA[   ]]> <!-- --> </r>"));
    Node root = doc.documentElement();
    EXPECT_EQ(root.firstChild().type(), NodeType::CData);
    EXPECT_EQ(root.firstChild().value(), "   ");
    EXPECT_EQ(root.lastChild().type(), NodeType::Comment);
    EXPECT_EQ(root.firstChild().nextSibling(), root.lastChild());
}

TEST(XmlWhitespace, BlanksLeadingRealTextAreKept) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><a>  &amp; x</a><b>\n\t \xC3\xA9 </b><c> &#65;</c></r>"));
    Node root = doc.documentElement();
    EXPECT_EQ(root.firstChildElement("a").text(), "  & x");
    EXPECT_EQ(root.firstChildElement("b").text(), "\n\t \xC3\xA9 ");
    EXPECT_EQ(root.firstChildElement("c").text(), " A");
}

TEST(XmlWhitespace, LongRunsAreJudgedWhole) {
    const std::string blanks(300000, ' ');
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><blank>" + blanks + "\n" + blanks + "</blank><text>" + blanks +
                            "x" + blanks + "</text></r>"));
    Node root = doc.documentElement();
    EXPECT_FALSE(root.firstChildElement("blank").hasChildNodes());
    EXPECT_EQ(root.firstChildElement("text").text(), blanks + "x" + blanks);
    // One text node, not pieces.
    EXPECT_TRUE(root.firstChildElement("text").firstChild().nextSibling().isNull());
}

TEST(XmlWhitespace, FlagAppliesToTheNextLoad) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r> </r>"));
    EXPECT_FALSE(doc.documentElement().hasChildNodes());
    doc.setPreserveWhiteSpace(true);
    ASSERT_TRUE(doc.loadXML("<r> </r>"));
    EXPECT_TRUE(doc.documentElement().hasChildNodes());
}

}  // namespace
}  // namespace nv::xml
