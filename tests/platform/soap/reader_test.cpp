// Reading SOAP 1.1 and 1.2 responses, faults, and DIME messages with attachments.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dime/composer.h"
#include "platform/soap/reader.h"
#include "platform/xmldom/document.h"

namespace nv::soap {
namespace {

constexpr const char* kSoap11Response = R"(<?xml version="1.0" encoding="UTF-8"?>
<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"
               xmlns:m="urn:stock">
  <soap:Header>
    <m:Session soap:mustUnderstand="1">abc</m:Session>
    <!-- a comment is not an entry -->
    <m:Trace>on</m:Trace>
  </soap:Header>
  <soap:Body>
    <m:GetPriceResponse><m:Price>34.5</m:Price></m:GetPriceResponse>
    <m:Extra>second entry</m:Extra>
  </soap:Body>
</soap:Envelope>)";

constexpr const char* kSoap12Response = R"(<env:Envelope
    xmlns:env="http://www.w3.org/2003/05/soap-envelope">
  <env:Header><t:Tx xmlns:t="urn:tx">5</t:Tx></env:Header>
  <env:Body><r:Result xmlns:r="urn:r">ok</r:Result></env:Body>
</env:Envelope>)";

std::vector<std::string> names(const std::vector<xml::Node>& nodes) {
    std::vector<std::string> out;
    for (const xml::Node& n : nodes)
        out.push_back(n.nodeName());
    return out;
}

TEST(SoapReader, Soap11EnvelopeWithHeaderAndSeveralBodyEntries) {
    Reader reader;
    ASSERT_TRUE(reader.load(kSoap11Response)) << reader.error();
    EXPECT_TRUE(reader.error().empty());
    EXPECT_EQ(reader.version(), SoapVersion::Soap11);
    EXPECT_EQ(reader.envelope().nodeName(), "soap:Envelope");
    EXPECT_EQ(names(reader.headerEntries()), (std::vector<std::string>{"m:Session", "m:Trace"}));
    EXPECT_EQ(names(reader.bodyEntries()),
              (std::vector<std::string>{"m:GetPriceResponse", "m:Extra"}));
    EXPECT_EQ(reader.bodyEntries()[0].text(), "34.5");
    EXPECT_TRUE(reader.fault().isNull());
    EXPECT_TRUE(reader.faultString().isNull());
    EXPECT_TRUE(reader.faultDetail().isNull());
    EXPECT_TRUE(reader.attachments().empty());
}

TEST(SoapReader, EntryMarkupCarriesTheNamespacesItNeeds) {
    Reader reader;
    ASSERT_TRUE(reader.load(kSoap11Response));
    std::string entry = reader.bodyEntries()[0].xml();
    xml::Document alone;
    ASSERT_TRUE(alone.loadXML(entry)) << entry;
    EXPECT_EQ(alone.documentElement().namespaceURI(), "urn:stock");
    EXPECT_EQ(reader.envelope().xml().rfind("<soap:Envelope", 0), 0u);
}

TEST(SoapReader, Soap12Envelope) {
    Reader reader;
    ASSERT_TRUE(reader.load(kSoap12Response)) << reader.error();
    EXPECT_EQ(reader.version(), SoapVersion::Soap12);
    EXPECT_EQ(names(reader.headerEntries()), (std::vector<std::string>{"t:Tx"}));
    ASSERT_EQ(reader.bodyEntries().size(), 1u);
    EXPECT_EQ(reader.bodyEntries()[0].text(), "ok");
}

TEST(SoapReader, Soap11FaultWithDetail) {
    Reader reader;
    ASSERT_TRUE(reader.load(R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/">
      <s:Body><s:Fault>
        <faultcode>s:Client</faultcode>
        <faultstring>Price &lt;unknown&gt;</faultstring>
        <detail><e:Info xmlns:e="urn:err">symbol ACME</e:Info></detail>
      </s:Fault></s:Body></s:Envelope>)"))
        << reader.error();
    ASSERT_FALSE(reader.fault().isNull());
    EXPECT_EQ(reader.faultCode().text(), "s:Client");
    EXPECT_EQ(reader.faultString().text(), "Price <unknown>");
    ASSERT_FALSE(reader.faultDetail().isNull());
    EXPECT_EQ(reader.faultDetail().text(), "symbol ACME");
    EXPECT_NE(reader.faultDetail().xml().find(R"(<e:Info xmlns:e="urn:err">)"), std::string::npos);
}

TEST(SoapReader, Soap11FaultWithoutDetail) {
    Reader reader;
    ASSERT_TRUE(reader.load(R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/">
      <s:Body><s:Fault><faultcode>s:Server</faultcode><faultstring>down</faultstring>
      </s:Fault></s:Body></s:Envelope>)"));
    EXPECT_EQ(reader.faultString().text(), "down");
    EXPECT_TRUE(reader.faultDetail().isNull());
}

TEST(SoapReader, Soap12FaultReasonAndDetail) {
    Reader reader;
    ASSERT_TRUE(reader.load(R"(<e:Envelope xmlns:e="http://www.w3.org/2003/05/soap-envelope">
      <e:Body><e:Fault>
        <e:Code><e:Value>e:Sender</e:Value></e:Code>
        <e:Reason><e:Text xml:lang="en">Bad input</e:Text>
                  <e:Text xml:lang="de">X</e:Text></e:Reason>
        <e:Detail><d:Why xmlns:d="urn:d">too long</d:Why></e:Detail>
      </e:Fault></e:Body></e:Envelope>)"))
        << reader.error();
    EXPECT_EQ(reader.faultCode().text(), "e:Sender");
    EXPECT_EQ(reader.faultString().text(), "Bad input");
    EXPECT_EQ(reader.faultDetail().text(), "too long");
}

TEST(SoapReader, FaultOfTheOtherVersionIsNotAFault) {
    Reader reader;
    ASSERT_TRUE(reader.load(R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/">
      <s:Body><f:Fault xmlns:f="urn:app">not the SOAP one</f:Fault></s:Body></s:Envelope>)"));
    EXPECT_TRUE(reader.fault().isNull());
    EXPECT_EQ(reader.bodyEntries().size(), 1u);
}

TEST(SoapReader, HeaderAndBodyMustBeInTheEnvelopeNamespace) {
    Reader reader;
    ASSERT_TRUE(reader.load(R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/">
      <x:Body xmlns:x="urn:other"><a/></x:Body></s:Envelope>)"));
    EXPECT_TRUE(reader.body().isNull());
    EXPECT_TRUE(reader.header().isNull());
    EXPECT_TRUE(reader.bodyEntries().empty());
    EXPECT_TRUE(reader.headerEntries().empty());
}

TEST(SoapReader, DocumentThatIsNotAnEnvelope) {
    Reader reader;
    EXPECT_FALSE(reader.load("<html><body/></html>"));
    EXPECT_EQ(reader.error(), "the document is not a SOAP envelope (its root element is {}html)");
    EXPECT_FALSE(reader.load(R"(<Envelope xmlns="urn:fake"><Body/></Envelope>)"));
    EXPECT_EQ(reader.error(),
              "the document is not a SOAP envelope (its root element is {urn:fake}Envelope)");
    EXPECT_TRUE(reader.envelope().isNull());
    EXPECT_EQ(reader.version(), SoapVersion::None);
}

TEST(SoapReader, BrokenXmlGivesTheParserReason) {
    const std::string broken =
        "<s:Envelope xmlns:s='http://schemas.xmlsoap.org/soap/envelope/'>"
        "<s:Body></s:Envelope>";
    xml::Document dom;
    ASSERT_FALSE(dom.loadXML(broken));
    Reader reader;
    EXPECT_FALSE(reader.load(broken));
    EXPECT_EQ(reader.error(), dom.parseError().reason);
    EXPECT_EQ(reader.error().rfind("line 1, column ", 0), 0u) << reader.error();
    EXPECT_FALSE(reader.load(""));
    EXPECT_FALSE(reader.error().empty());
}

TEST(SoapReader, FailedLoadLeavesTheReaderEmpty) {
    Reader reader;
    ASSERT_TRUE(reader.load(kSoap11Response));
    EXPECT_FALSE(reader.load("<unclosed>"));
    EXPECT_TRUE(reader.envelope().isNull());
    EXPECT_TRUE(reader.bodyEntries().empty());
    EXPECT_EQ(reader.version(), SoapVersion::None);
    ASSERT_TRUE(reader.load(kSoap12Response));
    EXPECT_TRUE(reader.error().empty());
}

TEST(SoapReader, NodesStayValidWhenTheReaderMoves) {
    Reader reader;
    ASSERT_TRUE(reader.load(kSoap11Response));
    xml::Node price = reader.bodyEntries()[0];
    Reader moved(std::move(reader));
    EXPECT_EQ(price.text(), "34.5");
    Reader assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.bodyEntries()[0], price);
}

TEST(SoapReaderDime, EnvelopeAndAttachments) {
    std::string message = dime::compose(
        {
            {"uuid:env", "http://schemas.xmlsoap.org/soap/envelope/", dime::TypeFormat::AbsoluteUri,
             kSoap11Response},
            {"uuid:pic", "image/jpeg", dime::TypeFormat::MediaType,
             std::string("\xFF\xD8\0\x01", 4)},
            {"", "", dime::TypeFormat::Unknown, "anonymous"},
        },
        16);
    Reader reader;
    ASSERT_TRUE(reader.loadDime(message)) << reader.error();
    EXPECT_EQ(reader.bodyEntries().size(), 2u);
    ASSERT_EQ(reader.attachments().size(), 2u);
    const FileAttachment& pic = reader.attachments()[0];
    EXPECT_EQ(pic.property("DimeID"), "uuid:pic");
    EXPECT_EQ(pic.property("DimeType"), "image/jpeg");
    EXPECT_EQ(pic.property("DimeTNF"), "media-type");
    EXPECT_EQ(pic.content(), std::string("\xFF\xD8\0\x01", 4));
    EXPECT_TRUE(pic.fileName().empty());
    EXPECT_EQ(reader.attachments()[1].dimeTnf(), "unknown");
    EXPECT_EQ(reader.attachments()[1].content(), "anonymous");
    EXPECT_EQ(reader.findAttachment("uuid:pic"), &pic);
    EXPECT_EQ(reader.findAttachment("uuid:nothing"), nullptr);

    // A plain load afterwards drops the attachments.
    ASSERT_TRUE(reader.load(kSoap12Response));
    EXPECT_TRUE(reader.attachments().empty());
}

TEST(SoapReaderDime, DimeFaultsAreReported) {
    Reader reader;
    EXPECT_FALSE(reader.loadDime(""));
    EXPECT_EQ(reader.error(), "the message is empty");
    std::string message = dime::compose({{"", "text/xml", dime::TypeFormat::MediaType, "<a/>"}});
    EXPECT_FALSE(reader.loadDime(message.substr(0, message.size() - 8)));
    EXPECT_EQ(reader.error(),
              "record 1: TYPE_LENGTH 8 goes past the end of the message (4 bytes left)");
}

TEST(SoapReaderDime, FirstRecordMustBeAnEnvelope) {
    Reader reader;
    EXPECT_FALSE(reader.loadDime(dime::compose({{"", "", dime::TypeFormat::Unknown, "not xml"}})));
    EXPECT_EQ(reader.error().rfind("line 1, column ", 0), 0u) << reader.error();
    EXPECT_FALSE(reader.loadDime(dime::compose({{"", "", dime::TypeFormat::Unknown, "<a/>"}})));
    EXPECT_EQ(reader.error(), "the document is not a SOAP envelope (its root element is {}a)");
    EXPECT_TRUE(reader.attachments().empty());
}

TEST(SoapReaderDime, LimitsApply) {
    dime::ParseLimits limits;
    limits.maxTotalSize = 100;
    Reader reader;
    std::string message = dime::compose({
        {"", "", dime::TypeFormat::Unknown, kSoap12Response},
    });
    EXPECT_FALSE(reader.loadDime(message, limits));
    EXPECT_EQ(reader.error(), "record 1: the payloads grow past the limit of 100 bytes in all");
}

}  // namespace
}  // namespace nv::soap
