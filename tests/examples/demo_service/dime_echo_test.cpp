// EchoAttachment: a DIME request whose envelope names its attachment by href, answered with a
// DIME message carrying the same bytes under a new id.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "examples/demo_service/base64.h"
#include "platform/dime/composer.h"
#include "platform/dime/parser.h"
#include "platform/dime/record.h"
#include "tests/examples/demo_service/soap_client.h"

namespace nv::demo::test {
namespace {

constexpr const char* kAttachmentId = "uuid:11111111-2222-3333-4444-555555555555";

std::string echoEnvelope(const std::string& documentElement) {
    return envelope(
        "<m:EchoAttachment xmlns:m=\"urn:sondar:demo:rpc\" "
        "soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">" +
        documentElement + "</m:EchoAttachment>");
}

// Every byte value, so nothing on the way may treat the payload as text.
std::string allBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes + bytes;
}

std::string dimeRequest(const std::string& payload, std::size_t chunkSize = 0,
                        const std::string& href = kAttachmentId) {
    std::vector<dime::Record> records(2);
    records[0].id = "uuid:AAAAAAAA-0000-0000-0000-000000000000";
    records[0].type = "http://schemas.xmlsoap.org/soap/envelope/";
    records[0].tnf = dime::TypeFormat::AbsoluteUri;
    records[0].data = echoEnvelope("<document href=\"" + href + "\"/>");
    records[1].id = kAttachmentId;
    records[1].type = "image/png";
    records[1].tnf = dime::TypeFormat::MediaType;
    records[1].data = payload;
    return dime::compose(records, chunkSize);
}

class DemoDimeEcho : public ServiceTest {
  protected:
    // The answer's records, checked to be an envelope naming the one attachment after it.
    std::vector<dime::Record> echo(const std::string& body, const std::string& contentType) {
        const Exchange answer = post(service(), "/demo/rpcenc", body, contentType);
        EXPECT_EQ(answer.status, 200) << answer.body;
        EXPECT_EQ(answer.contentType, "application/dime");
        dime::ParseResult parsed = dime::parse(answer.body);
        EXPECT_TRUE(parsed.ok()) << parsed.error;
        if (parsed.records.size() != 2) {
            ADD_FAILURE() << "expected an envelope and one attachment, got "
                          << parsed.records.size() << " records";
            return {};
        }
        EXPECT_EQ(parsed.records[0].tnf, dime::TypeFormat::AbsoluteUri);
        EXPECT_EQ(parsed.records[0].type, "http://schemas.xmlsoap.org/soap/envelope/");

        soap::Reader message = readDimeAnswer(answer);
        xml::Node wrapper = firstEntry(message);
        EXPECT_EQ(wrapper.baseName(), "EchoAttachmentResponse");
        EXPECT_EQ(wrapper.namespaceURI(), "urn:sondar:demo:rpc");
        const std::string href = child(wrapper, "return").attribute("href");
        EXPECT_EQ(href, parsed.records[1].id);
        EXPECT_NE(message.findAttachment(href), nullptr);
        return std::move(parsed.records);
    }
};

TEST_F(DemoDimeEcho, EchoesTheAttachmentBytesUnderANewId) {
    const std::string payload = allBytes();
    const std::vector<dime::Record> records = echo(dimeRequest(payload), "application/dime");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, payload);
    EXPECT_NE(records[1].id, kAttachmentId);
    EXPECT_TRUE(records[1].id.starts_with("uuid:"));
    EXPECT_EQ(records[1].type, "image/png");
    EXPECT_EQ(records[1].tnf, dime::TypeFormat::MediaType);
}

TEST_F(DemoDimeEcho, JoinsAChunkedAttachment) {
    const std::string payload = allBytes();
    const std::vector<dime::Record> records =
        echo(dimeRequest(payload, 100), "Application/DIME; charset=binary");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, payload);
}

TEST_F(DemoDimeEcho, EchoesAnEmptyAttachment) {
    const std::vector<dime::Record> records = echo(dimeRequest(""), "application/dime");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[1].data.empty());
}

TEST_F(DemoDimeEcho, InlineBase64InAPlainRequestIsAnsweredAsAnAttachment) {
    const std::vector<dime::Record> records =
        echo(echoEnvelope("<document xsi:type=\"xsd:base64Binary\">" + encodeBase64("inline") +
                          "</document>"),
             "text/xml; charset=utf-8");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, "inline");
    EXPECT_EQ(records[1].type, "application/octet-stream");
}

TEST_F(DemoDimeEcho, HrefToAMissingAttachmentIsAClientFault) {
    const Exchange answer =
        post(service(), "/demo/rpcenc", dimeRequest("x", 0, "uuid:not-there"), "application/dime");
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
    soap::Reader message = readAnswer(answer);
    EXPECT_EQ(faultCode(message), "soap:Client");
    EXPECT_NE(faultString(message).find("uuid:not-there"), std::string::npos);
}

TEST_F(DemoDimeEcho, TruncatedDimeMessageIsAClientFault) {
    std::string request = dimeRequest(allBytes());
    request.resize(request.size() / 2);
    const Exchange answer = post(service(), "/demo/rpcenc", request, "application/dime");
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(faultCode(readAnswer(answer)), "soap:Client");
}

}  // namespace
}  // namespace nv::demo::test
