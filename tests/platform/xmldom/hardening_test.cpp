// Hostile input: external entities, entity expansion, DTDs, XInclude, network, deep nesting,
// and libxml2's habit of printing.
#include <chrono>
#include <cstddef>
#include <string>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"
#include "tests/support/temp_dir.h"

namespace nv::xml {
namespace {

constexpr const char* kSecret = "TOP-SECRET-CONTENT-4711";

std::string nested(std::size_t depth) {
    std::string open;
    std::string close;
    open.reserve(depth * 3);
    close.reserve(depth * 4);
    for (std::size_t i = 0; i < depth; ++i) {
        open += "<e>";
        close += "</e>";
    }
    return open + close;
}

void expectNoSecret(const Document& doc) {
    EXPECT_EQ(doc.xml().find(kSecret), std::string::npos);
    EXPECT_EQ(doc.parseError().reason.find(kSecret), std::string::npos);
}

class XmlHardening : public ::testing::Test {
  protected:
    void SetUp() override {
        secretPath_ = dir_.file("secret.txt");
        ASSERT_TRUE(test::writeFile(secretPath_, kSecret));
        ASSERT_TRUE(test::writeFile(dir_.file("leak.dtd"),
                                    std::string("<!ENTITY leak \"") + kSecret + "\">"));
    }

    test::TempDir dir_{"sondar-xmldom"};
    std::string secretPath_;
};

TEST_F(XmlHardening, ExternalEntityIsRefusedAndTheFileNeverRead) {
    Document doc;
    EXPECT_FALSE(
        doc.loadXML("<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secretPath_ + "\">]><r>&x;</r>"));
    EXPECT_NE(doc.parseError().reason.find("entity declarations are not allowed"),
              std::string::npos)
        << doc.parseError().reason;
    EXPECT_EQ(doc.parseError().line, 1);
    EXPECT_TRUE(doc.documentElement().isNull());
    expectNoSecret(doc);
}

TEST_F(XmlHardening, ParameterEntityIsRefused) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<!DOCTYPE r [<!ENTITY % p SYSTEM \"file://" + dir_.file("leak.dtd") +
                             "\"> %p;]><r>&leak;</r>"));
    EXPECT_NE(doc.parseError().reason.find("entity declarations are not allowed"),
              std::string::npos)
        << doc.parseError().reason;
    expectNoSecret(doc);
}

TEST_F(XmlHardening, ExternalSubsetIsNotFetched) {
    Document doc;
    // Were leak.dtd read, its entity declaration would fail the load.
    ASSERT_TRUE(doc.loadXML("<!DOCTYPE r SYSTEM \"file://" + dir_.file("leak.dtd") + "\"><r/>"))
        << doc.parseError().reason;
    EXPECT_FALSE(
        doc.loadXML("<!DOCTYPE r SYSTEM \"file://" + dir_.file("leak.dtd") + "\"><r>&leak;</r>"));
    expectNoSecret(doc);
}

TEST_F(XmlHardening, XIncludeIsNotProcessed) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" +
                            secretPath_ + "\" parse=\"text\"/></r>"));
    EXPECT_EQ(doc.documentElement().firstChild().baseName(), "include");
    EXPECT_EQ(doc.documentElement().text(), "");
    expectNoSecret(doc);
}

TEST_F(XmlHardening, BillionLaughsIsRefusedQuickly) {
    std::string dtd = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        std::string prev = i == 1 ? "lol" : "lol" + std::to_string(i - 1);
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            dtd += "&" + prev + ";";
        dtd += "\">";
    }
    dtd += "]><lolz>&lol9;</lolz>";
    Document doc;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.loadXML(dtd));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(1));
    EXPECT_NE(doc.parseError().reason.find("entity declarations are not allowed ('lol')"),
              std::string::npos)
        << doc.parseError().reason;
}

TEST_F(XmlHardening, DocumentTypeWithoutEntitiesLoads) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<!DOCTYPE r PUBLIC \"-//X//Y//EN\" \"http://127.0.0.1:9/r.dtd\" ["
                    "<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA #IMPLIED>]><r>x</r>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), "x");
    EXPECT_EQ(doc.documentNode().firstChild().type(), NodeType::Other);
    EXPECT_EQ(doc.documentNode().firstChild().nodeName(), "r");
}

TEST_F(XmlHardening, UndeclaredEntityReferenceFails) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<r>&nothing;</r>"));
    EXPECT_NE(doc.parseError().reason.find("nothing"), std::string::npos);
}

TEST_F(XmlHardening, NetworkIsNeverContacted) {
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";

    Document doc;
    EXPECT_TRUE(doc.loadXML("<!DOCTYPE r SYSTEM \"" + url + ".dtd\"><r/>"));
    EXPECT_FALSE(doc.loadXML("<!DOCTYPE r [<!ENTITY e SYSTEM \"" + url + "\">]><r>&e;</r>"));
    EXPECT_TRUE(
        doc.loadXML("<r xmlns:xi=\"http://www.w3.org/2001/XInclude\">"
                    "<xi:include href=\"" +
                    url + "\"/></r>"));
    EXPECT_FALSE(doc.load(url));  // a URL is not a path

    int connection = ::accept(listener, nullptr, nullptr);
    EXPECT_LT(connection, 0) << "the parser connected to " << url;
    if (connection >= 0)
        ::close(connection);
    ::close(listener);
}

TEST_F(XmlHardening, NestingAtTheLimitLoads) {
    Document doc;
    EXPECT_EQ(doc.maxDepth(), 1024u);
    ASSERT_TRUE(doc.loadXML(nested(1024))) << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().baseName(), "e");
}

TEST_F(XmlHardening, NestingBeyondTheLimitIsRefusedClearly) {
    Document doc;
    EXPECT_FALSE(doc.loadXML(nested(1025)));
    EXPECT_NE(doc.parseError().reason.find("nesting depth exceeds 1024 elements"),
              std::string::npos)
        << doc.parseError().reason;
    EXPECT_EQ(doc.parseError().line, 1);
    EXPECT_EQ(doc.parseError().reason.rfind("line 1, column ", 0), 0u);
    EXPECT_TRUE(doc.documentElement().isNull());
}

TEST_F(XmlHardening, NestingLimitIsPerDocument) {
    Document strict;
    strict.setMaxDepth(3);
    Document lenient;
    EXPECT_TRUE(strict.loadXML("<a><b><c/></b><b/></a>"));
    EXPECT_FALSE(strict.loadXML("<a><b><c><d/></c></b></a>"));
    EXPECT_NE(strict.parseError().reason.find("nesting depth exceeds 3 elements"),
              std::string::npos);
    EXPECT_TRUE(lenient.loadXML("<a><b><c><d/></c></b></a>"));
}

TEST_F(XmlHardening, NothingIsPrintedForAnyFailure) {
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    {
        Document doc;
        EXPECT_FALSE(doc.loadXML("<a><b></a>"));
        EXPECT_FALSE(doc.loadXML("<p:a/>"));
        EXPECT_FALSE(doc.loadXML("<?xml version='1.0' encoding='US-ASCII'?><a>\xE9</a>"));
        EXPECT_FALSE(doc.loadXML("<?xml version='1.0' encoding='bogus'?><a/>"));
        EXPECT_FALSE(doc.loadXML("<!DOCTYPE a [<!ENTITY x 'y'>]><a>&x;</a>"));
        EXPECT_FALSE(doc.loadXML("\xFF\xFE<\0a\0"));
        EXPECT_FALSE(doc.loadXML(nested(2000)));
        EXPECT_TRUE(doc.loadXML("<a xmlns:p='relative'/>"));  // warns only
        EXPECT_TRUE(doc.loadXML("<a xml:space='sometimes'/>"));
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace nv::xml
