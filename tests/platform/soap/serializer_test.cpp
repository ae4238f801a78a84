// Envelopes written by the serializer, compared with the exact markup expected.
#include <string>

#include <gtest/gtest.h>

#include "platform/soap/reader.h"
#include "platform/soap/serializer.h"

namespace nv::soap {
namespace {

const std::string kDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)";
const std::string kEnvelopeStart =
    R"(<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/")";
const std::string kEncoding = "http://schemas.xmlsoap.org/soap/encoding/";

TEST(SoapSerializer, MinimalEnvelope) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    ASSERT_TRUE(s.finish()) << s.error();
    EXPECT_EQ(out, kDeclaration + kEnvelopeStart + "><SOAP-ENV:Body/></SOAP-ENV:Envelope>");
    EXPECT_TRUE(s.error().empty());
}

TEST(SoapSerializer, RpcRequestWithHeaderNamespacesAndEncodingStyle) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope("", kEncoding);
    s.declareNamespace("xsi", "http://www.w3.org/2001/XMLSchema-instance");
    s.startHeader();
    s.startElement("Session", "urn:auth", "NONE", "h");
    s.writeString("42");
    s.endElement();
    s.endHeader();
    s.startBody();
    s.startElement("Add", "urn:calc", "NONE", "m");
    s.startElement("a", "", kEncoding);
    s.writeXml(R"(<x xsi:type="xsd:int">1</x>)");
    s.endElement();
    s.startElement("b", "urn:calc", "NONE", "m");  // m is in scope: no second declaration
    s.writeString("2");
    s.endElement();
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    ASSERT_TRUE(s.finish());
    EXPECT_EQ(out, kDeclaration + kEnvelopeStart +
                       R"( SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/")"
                       R"( xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
                       R"(<SOAP-ENV:Header><h:Session xmlns:h="urn:auth">42</h:Session>)"
                       R"(</SOAP-ENV:Header>)"
                       R"(<SOAP-ENV:Body><m:Add xmlns:m="urn:calc">)"
                       R"(<a SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/">)"
                       R"(<x xsi:type="xsd:int">1</x></a><m:b>2</m:b></m:Add>)"
                       R"(</SOAP-ENV:Body></SOAP-ENV:Envelope>)");
}

TEST(SoapSerializer, DeclarationsGoOnTheElementWhoseStartTagIsOpen) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope("soap");
    s.startBody("NONE");
    s.startElement("outer");
    s.declareNamespace("p", "urn:outer");
    s.startElement("inner");
    s.declareNamespace("q", "urn:inner");
    s.declareNamespace("", "urn:default");
    s.endElement();
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    EXPECT_EQ(out, kDeclaration +
                       R"(<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">)"
                       R"(<soap:Body><outer xmlns:p="urn:outer">)"
                       R"(<inner xmlns:q="urn:inner" xmlns="urn:default"/></outer>)"
                       R"(</soap:Body></soap:Envelope>)");
}

TEST(SoapSerializer, NamespaceWithoutPrefixBecomesTheDefaultNamespace) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("GetQuote", "http://example.com/stock");
    s.startElement("symbol", "http://example.com/stock");
    s.writeString("ACME");
    s.endElement();
    s.endElement();
    s.startElement("m:Qualified", "urn:m");  // a qualified name binds its own prefix
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    EXPECT_EQ(out, kDeclaration + kEnvelopeStart +
                       R"(><SOAP-ENV:Body><GetQuote xmlns="http://example.com/stock">)"
                       R"(<symbol>ACME</symbol></GetQuote><m:Qualified xmlns:m="urn:m"/>)"
                       R"(</SOAP-ENV:Body></SOAP-ENV:Envelope>)");
}

TEST(SoapSerializer, TextAndAttributeValuesAreEscaped) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("v", "urn:a'b", "urn:style?q=\"<1>\"&\t\n");
    s.writeString("1 < 2 && \"x\" > 'y'\r\n\tend");
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    EXPECT_EQ(out,
              kDeclaration + kEnvelopeStart +
                  R"(><SOAP-ENV:Body><v xmlns="urn:a&apos;b")"
                  R"( SOAP-ENV:encodingStyle="urn:style?q=&quot;&lt;1&gt;&quot;&amp;&#9;&#10;">)"
                  "1 &lt; 2 &amp;&amp; &quot;x&quot; &gt; &apos;y&apos;&#13;\n\tend"
                  R"(</v></SOAP-ENV:Body></SOAP-ENV:Envelope>)");

    Reader reader;
    ASSERT_TRUE(reader.load(out)) << reader.error();
    xml::Node v = reader.bodyEntries().at(0);
    EXPECT_EQ(v.namespaceURI(), "urn:a'b");
    EXPECT_EQ(v.attributeNS("http://schemas.xmlsoap.org/soap/envelope/", "encodingStyle"),
              "urn:style?q=\"<1>\"&\t\n");
    EXPECT_EQ(v.text(), "1 < 2 && \"x\" > 'y'\r\n\tend");
}

TEST(SoapSerializer, NonAsciiTextIsWrittenAsUtf8) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope("", "NONE", "utf-8");
    s.startBody();
    s.startElement("straße");
    s.writeString("日本語 €");
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
    EXPECT_NE(out.find("<straße>日本語 €</straße>"), std::string::npos);
}

TEST(SoapSerializer, RawXmlIsWrittenUnchangedAndClosesTheStartTag) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("m:Echo", "urn:echo");
    s.writeXml("<item a='1'>&amp;<!-- as is --></item>");
    s.writeXml("");
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope());
    EXPECT_NE(out.find(R"(<m:Echo xmlns:m="urn:echo"><item a='1'>&amp;<!-- as is --></item>)"
                       R"(</m:Echo>)"),
              std::string::npos);
}

TEST(SoapSerializer, OutputIsAppendedToTheStream) {
    std::string out = "prefix|";
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope());
    EXPECT_EQ(out.rfind("prefix|" + kDeclaration, 0), 0u);
}

TEST(SoapSerializer, InitStartsAFreshMessage) {
    std::string first, second;
    Serializer s;
    s.init(first);
    s.startEnvelope();
    s.startBody();
    s.startElement("x");
    EXPECT_FALSE(s.endEnvelope());
    s.init(second);
    EXPECT_TRUE(s.error().empty());
    s.startEnvelope();
    s.startBody();
    s.endBody();
    EXPECT_TRUE(s.endEnvelope()) << s.error();
    EXPECT_TRUE(s.finish());
    EXPECT_EQ(second, kDeclaration + kEnvelopeStart + "><SOAP-ENV:Body/></SOAP-ENV:Envelope>");
}

TEST(SoapSerializer, WrittenEnvelopeReadsBack) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startHeader();
    s.startElement("Trace", "urn:t", "NONE", "t");
    s.endElement();
    s.endHeader();
    s.startBody();
    for (const char* name : {"first", "second", "third"}) {
        s.startElement(name, "urn:b", "NONE", "b");
        s.writeString(name);
        s.endElement();
    }
    s.endBody();
    ASSERT_TRUE(s.endEnvelope());
    ASSERT_TRUE(s.finish());

    Reader reader;
    ASSERT_TRUE(reader.load(out)) << reader.error();
    EXPECT_EQ(reader.version(), SoapVersion::Soap11);
    ASSERT_EQ(reader.headerEntries().size(), 1u);
    EXPECT_EQ(reader.headerEntries()[0].namespaceURI(), "urn:t");
    auto body = reader.bodyEntries();
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[2].nodeName(), "b:third");
    EXPECT_EQ(body[2].namespaceURI(), "urn:b");
    EXPECT_EQ(body[2].text(), "third");
}

// Unbalanced or out-of-order calls.

TEST(SoapSerializerFaults, EndEnvelopeWithElementsStillOpen) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("Get", "urn:x", "NONE", "m");
    EXPECT_FALSE(s.endEnvelope());
    EXPECT_EQ(s.error(), "endEnvelope: 2 elements are still open: SOAP-ENV:Body, m:Get");
    EXPECT_FALSE(s.finish());
}

TEST(SoapSerializerFaults, EndEnvelopeWithOneElementOpen) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startHeader();
    EXPECT_FALSE(s.endEnvelope());
    EXPECT_EQ(s.error(), "endEnvelope: 1 element is still open: SOAP-ENV:Header");
}

TEST(SoapSerializerFaults, EndEnvelopeWithoutStart) {
    std::string out;
    Serializer s;
    s.init(out);
    EXPECT_FALSE(s.endEnvelope());
    EXPECT_EQ(s.error(), "endEnvelope: the envelope was not started");
    EXPECT_TRUE(out.empty());
}

TEST(SoapSerializerFaults, UninitialisedSerializer) {
    Serializer s;
    EXPECT_FALSE(s.startEnvelope());
    EXPECT_EQ(s.error(), "startEnvelope: the serializer is not initialised");
}

TEST(SoapSerializerFaults, FirstFaultIsKeptAndLaterCallsDoNothing) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    EXPECT_FALSE(s.endElement());
    EXPECT_EQ(s.error(), "endElement: no element is open inside SOAP-ENV:Body");
    std::string before = out;
    EXPECT_FALSE(s.startElement("late"));
    EXPECT_FALSE(s.endBody());
    EXPECT_FALSE(s.endEnvelope());
    EXPECT_EQ(out, before);
    EXPECT_EQ(s.error(), "endElement: no element is open inside SOAP-ENV:Body");
}

TEST(SoapSerializerFaults, SoapElementsOutOfPlace) {
    auto faultOf = [](auto steps) {
        std::string out;
        Serializer s;
        s.init(out);
        s.startEnvelope();
        steps(s);
        return s.error();
    };
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startBody();
                  s.startHeader();
              }),
              "startHeader: the header belongs directly inside the envelope, not inside "
              "SOAP-ENV:Body");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startBody();
                  s.endBody();
                  s.startHeader();
              }),
              "startHeader: the header must be the first and only one in the envelope");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startBody();
                  s.endBody();
                  s.startBody();
              }),
              "startBody: the envelope already has a body");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startHeader();
                  s.startBody();
              }),
              "startBody: the body belongs directly inside the envelope, not inside "
              "SOAP-ENV:Header");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startBody();
                  s.startElement("x");
                  s.endBody();
              }),
              "endBody: the innermost open element is x");
    EXPECT_EQ(faultOf([](Serializer& s) { s.endHeader(); }),
              "endHeader: the innermost open element is SOAP-ENV:Envelope");
    EXPECT_EQ(faultOf([](Serializer& s) { s.startEnvelope(); }),
              "startEnvelope: the envelope is already started");
}

TEST(SoapSerializerFaults, ContentOutsideTheEnvelope) {
    std::string out;
    Serializer before;
    before.init(out);
    EXPECT_FALSE(before.writeString("x"));
    EXPECT_EQ(before.error(), "writeString: no envelope has been started");

    Serializer after;
    after.init(out);
    after.startEnvelope();
    after.startBody();
    after.endBody();
    ASSERT_TRUE(after.endEnvelope());
    EXPECT_FALSE(after.writeXml("<x/>"));
    EXPECT_EQ(after.error(), "writeXml: the envelope is already ended");
}

TEST(SoapSerializerFaults, FinishNeedsACompleteEnvelopeOnce) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    EXPECT_FALSE(s.finish());
    EXPECT_EQ(s.error(), "finish: the envelope is not ended");

    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.endBody();
    s.endEnvelope();
    EXPECT_TRUE(s.finish());
    EXPECT_FALSE(s.finish());
    EXPECT_EQ(s.error(), "finish: the message is already finished");
}

TEST(SoapSerializerFaults, CharactersXmlCannotCarry) {
    auto faultOf = [](std::string_view text) {
        std::string out;
        Serializer s;
        s.init(out);
        s.startEnvelope();
        s.startBody();
        s.startElement("v");
        s.writeString(text);
        return s.error();
    };
    EXPECT_EQ(faultOf("a\x01z"), "writeString: the text contains U+0001, which XML cannot carry");
    EXPECT_EQ(faultOf(std::string_view("a\0z", 3)),
              "writeString: the text contains U+0000, which XML cannot carry");
    EXPECT_EQ(faultOf("\xEF\xBF\xBE"),
              "writeString: the text contains U+FFFE, which XML cannot carry");
    EXPECT_EQ(faultOf("bad \xC3 utf-8"), "writeString: the text is not valid UTF-8");
    EXPECT_EQ(faultOf("\xEF\xBF\xBD ok\t\r\n"), "");  // U+FFFD and the allowed controls
}

TEST(SoapSerializerFaults, NamesAndPrefixesThatCannotBeWritten) {
    auto faultOf = [](auto steps) {
        std::string out;
        Serializer s;
        s.init(out);
        s.startEnvelope();
        s.startBody();
        steps(s);
        return s.error();
    };
    EXPECT_EQ(faultOf([](Serializer& s) { s.startElement(""); }),
              "startElement: '' cannot be an element name");
    EXPECT_EQ(faultOf([](Serializer& s) { s.startElement("a b"); }),
              "startElement: 'a b' cannot be an element name");
    EXPECT_EQ(faultOf([](Serializer& s) { s.startElement("1st"); }),
              "startElement: '1st' cannot be an element name");
    EXPECT_EQ(faultOf([](Serializer& s) { s.startElement("x:y", "", "NONE", "p"); }),
              "startElement: 'x:y' cannot be an element name");
    EXPECT_EQ(faultOf([](Serializer& s) { s.startElement("x", "", "NONE", "a>b"); }),
              "startElement: 'a>b' cannot be a prefix");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startElement("x");
                  s.declareNamespace("xmlns", "urn:x");
              }),
              "declareNamespace: 'xmlns' cannot be a prefix");
    EXPECT_EQ(faultOf([](Serializer& s) {
                  s.startElement("x");
                  s.declareNamespace("p", "");
              }),
              "declareNamespace: prefix 'p' needs a namespace URI");

    std::string out;
    Serializer s;
    s.init(out);
    EXPECT_FALSE(s.startEnvelope("bad prefix"));
    EXPECT_EQ(s.error(), "startEnvelope: 'bad prefix' cannot be a prefix");
}

TEST(SoapSerializerFaults, DeclarationsNeedAnOpenStartTagAndOneBindingPerPrefix) {
    std::string out;
    Serializer s;
    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("x");
    s.declareNamespace("p", "urn:one");
    EXPECT_TRUE(s.declareNamespace("p", "urn:one"));  // the same binding again is harmless
    EXPECT_FALSE(s.declareNamespace("p", "urn:two"));
    EXPECT_EQ(s.error(), "declareNamespace: prefix 'p' is already declared on x as 'urn:one'");

    s.init(out);
    s.startEnvelope();
    s.startBody();
    s.startElement("x");
    s.writeString("content");
    EXPECT_FALSE(s.declareNamespace("p", "urn:late"));
    EXPECT_EQ(s.error(), "declareNamespace: no start tag is open");
}

TEST(SoapSerializerFaults, OnlyUtf8IsWritten) {
    std::string out;
    Serializer s;
    s.init(out);
    EXPECT_TRUE(s.startEnvelope("", "NONE", "UTF-8"));
    s.init(out);
    EXPECT_FALSE(s.startEnvelope("", "NONE", "ISO-8859-1"));
    EXPECT_EQ(s.error(),
              "startEnvelope: charset 'ISO-8859-1' is not supported; the serializer writes UTF-8");
}

}  // namespace
}  // namespace nv::soap
