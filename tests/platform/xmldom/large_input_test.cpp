// Size and depth: huge text nodes, and trees far deeper than any stack would take recursion.
#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

std::string base64Like(std::size_t size) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text(size, 'A');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = kAlphabet[(i * 7 + i / 64) % 64];
    return text;
}

TEST(XmlLargeInput, FiftyMegabyteTextNodeParsesAndReadsBack) {
    const std::string payload = base64Like(50u * 1024 * 1024);
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r><data>" + payload + "</data></r>")) << doc.parseError().reason;
    Node data = doc.documentElement().firstChild();
    EXPECT_EQ(data.firstChild().value().size(), payload.size());
    EXPECT_TRUE(data.text() == payload);
}

TEST(XmlLargeInput, FiftyMegabyteAttributeParses) {
    const std::string payload = base64Like(50u * 1024 * 1024);
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r v='" + payload + "'/>")) << doc.parseError().reason;
    EXPECT_TRUE(doc.documentElement().attribute("v") == payload);
}

class XmlDeepTree : public ::testing::Test {
  protected:
    static constexpr std::size_t kDepth = 100000;

    // Whitespace between the levels gives the whitespace filter work at every depth.
    static std::string deepDocument() {
        std::string text;
        text.reserve(kDepth * 16);
        for (std::size_t i = 0; i < kDepth; ++i)
            text += "<e a='1'> ";
        text += "leaf";
        for (std::size_t i = 0; i < kDepth; ++i)
            text += " </e>";
        return text;
    }
};

TEST_F(XmlDeepTree, LoadsWalksWritesAndFreesWithoutRecursion) {
    Document doc;
    doc.setMaxDepth(kDepth);
    ASSERT_TRUE(doc.loadXML(deepDocument())) << doc.parseError().reason;
    std::size_t depth = 0;
    Node deepest;
    for (Node n = doc.documentElement(); n; n = n.firstChildElement()) {
        ++depth;
        deepest = n;
        ASSERT_EQ(n.firstChild().type(), n.lastChild() == n.firstChild() && depth == kDepth
                                             ? NodeType::Text
                                             : NodeType::Element)
            << "whitespace kept at depth " << depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(deepest.text(), " leaf ");
    EXPECT_EQ(doc.documentElement().text(), " leaf ");

    std::string markup = doc.documentElement().xml();
    EXPECT_EQ(markup.size(), kDepth * std::string("<e a=\"1\"></e>").size() + 6);
    Document again;
    again.setMaxDepth(kDepth);
    ASSERT_TRUE(again.loadXML(markup)) << again.parseError().reason;
    EXPECT_EQ(again.documentElement().text(), " leaf ");
    EXPECT_TRUE(doc.documentNode().removeChild(doc.documentElement()));
}

TEST_F(XmlDeepTree, BuiltDeepTreeMovesAndSerializes) {
    Document doc;
    Node root = doc.appendChild(doc.createElement("root"));
    Node holder = root.appendChild(doc.createElement("holder"));
    Node cur = holder;
    for (std::size_t i = 0; i < kDepth; ++i)
        cur = cur.appendChild(doc.createElement("p:e", "urn:p"));
    Node target = root.appendChild(doc.createElement("target"));
    ASSERT_FALSE(target.appendChild(holder.firstChild()).isNull());
    std::string markup = root.xml();
    EXPECT_EQ(markup.find("xmlns:p"), markup.rfind("xmlns:p"));  // declared once
    Document again;
    again.setMaxDepth(kDepth + 2);
    ASSERT_TRUE(again.loadXML(markup)) << again.parseError().reason;
    EXPECT_EQ(again.documentElement().lastChild().firstChild().namespaceURI(), "urn:p");
}

}  // namespace
}  // namespace nv::xml
