// The document/literal port answering hand-written requests, as a SOAP client would send them.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "examples/demo_service/base64.h"
#include "tests/examples/demo_service/soap_client.h"

namespace nv::demo::test {
namespace {

constexpr std::string_view kDemoNs = "urn:sondar:demo";

class DemoDocumentPort : public ServiceTest {
  protected:
    // POSTs `operation` (the Body content) to the port.
    Exchange call(const std::string& operation, const std::string& header = {},
                  const httplib::Headers& headers = {}) {
        return post(service(), "/demo/doclit", envelope(operation, header),
                    "text/xml; charset=utf-8", headers);
    }

    // The response wrapper of a successful call, which must be in the demo namespace.
    xml::Node answerOf(const Exchange& answer, std::string_view wrapper) {
        EXPECT_EQ(answer.status, 200) << answer.body;
        EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
        message_ = readAnswer(answer);
        xml::Node entry = firstEntry(message_);
        EXPECT_EQ(entry.baseName(), wrapper);
        EXPECT_EQ(entry.namespaceURI(), kDemoNs);
        return entry;
    }

    // faultcode and faultstring of a call that must fail with HTTP 500.
    std::pair<std::string, std::string> faultOf(const Exchange& answer) {
        EXPECT_EQ(answer.status, 500) << answer.body;
        EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
        message_ = readAnswer(answer);
        EXPECT_FALSE(message_.fault().isNull()) << answer.body;
        return {faultCode(message_), faultString(message_)};
    }

    soap::Reader message_;
};

TEST_F(DemoDocumentPort, EchoStringTakesQualifiedAndUnqualifiedChildren) {
    xml::Node qualified =
        answerOf(call(R"(<EchoString xmlns="urn:sondar:demo"><text>hello</text></EchoString>)"),
                 "EchoStringResponse");
    EXPECT_EQ(childText(qualified, "EchoStringResult"), "hello");
    EXPECT_EQ(child(qualified, "EchoStringResult").namespaceURI(), kDemoNs);

    xml::Node unqualified = answerOf(
        call(R"(<d:EchoString xmlns:d="urn:sondar:demo"><text>plain</text></d:EchoString>)"),
        "EchoStringResponse");
    EXPECT_EQ(childText(unqualified, "EchoStringResult"), "plain");
}

TEST_F(DemoDocumentPort, EchoStringKeepsMarkupCharactersAndUnicode) {
    const std::string text = "a < b & \"c\" > 'd' \xC3\xA9\xE2\x82\xAC";
    xml::Node response =
        answerOf(call("<EchoString xmlns=\"urn:sondar:demo\"><text>a &lt; b &amp; \"c\" &gt; 'd' "
                      "\xC3\xA9\xE2\x82\xAC</text></EchoString>"),
                 "EchoStringResponse");
    EXPECT_EQ(childText(response, "EchoStringResult"), text);
}

TEST_F(DemoDocumentPort, CalculateAppliesEachOperator) {
    auto calculate = [&](const std::string& a, const std::string& b, const std::string& op) {
        return childText(answerOf(call("<Calculate xmlns=\"urn:sondar:demo\"><a>" + a + "</a><b>" +
                                       b + "</b><operator>" + op + "</operator></Calculate>"),
                                  "CalculateResponse"),
                         "CalculateResult");
    };
    EXPECT_EQ(calculate("7", "2", "Divide"), "3.5");
    EXPECT_EQ(calculate("1.5", "-4", "Multiply"), "-6");
    EXPECT_EQ(calculate("0.1", "0.2", "Add"), "0.30000000000000004");
    EXPECT_EQ(calculate("1e3", "1", "Subtract"), "999");
}

TEST_F(DemoDocumentPort, CalculateRefusesDivisionByZeroAndUnknownOperators) {
    auto [code, text] = faultOf(call(R"(<Calculate xmlns="urn:sondar:demo"><a>1</a><b>0</b>)"
                                     R"(<operator>Divide</operator></Calculate>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("divide by zero"), std::string::npos);

    auto [code2, text2] = faultOf(call(R"(<Calculate xmlns="urn:sondar:demo"><a>1</a><b>2</b>)"
                                       R"(<operator>Modulo</operator></Calculate>)"));
    EXPECT_EQ(code2, "soap:Client");
    EXPECT_NE(text2.find("'Modulo'"), std::string::npos);
}

TEST_F(DemoDocumentPort, GetPersonOneHasEveryField) {
    xml::Node person =
        child(answerOf(call(R"(<GetPerson xmlns="urn:sondar:demo"><id>1</id></GetPerson>)"),
                       "GetPersonResponse"),
              "person");
    ASSERT_FALSE(person.isNull());
    EXPECT_EQ(person.attribute("id"), "1");
    EXPECT_EQ(childText(person, "name"), "Ada Lovelace");
    EXPECT_EQ(childText(person, "age"), "36");
    EXPECT_EQ(childText(person, "height"), "1.65");
    EXPECT_EQ(childText(person, "balance"), "1234.50");
    EXPECT_EQ(childText(person, "member"), "true");
    EXPECT_EQ(childText(person, "status"), "Active");
    EXPECT_EQ(childText(person, "birthDate"), "1815-12-10T08:00:00Z");
    EXPECT_EQ(childText(person, "email"), "ada@example.org");
    EXPECT_EQ(childText(child(person, "address"), "city"), "London");
    std::vector<std::string> phones;
    for (xml::Node p = child(person, "phone"); p; p = p.nextSiblingElement("phone"))
        phones.push_back(p.text());
    EXPECT_EQ(phones, (std::vector<std::string>{"+44 20 7946 0018", "+44 20 7946 0019"}));
}

TEST_F(DemoDocumentPort, GetPersonTwoLeavesTheOptionalFieldsOut) {
    xml::Node person =
        child(answerOf(call(R"(<GetPerson xmlns="urn:sondar:demo"><id>2</id></GetPerson>)"),
                       "GetPersonResponse"),
              "person");
    EXPECT_EQ(childText(person, "status"), "Closed");
    EXPECT_TRUE(child(person, "email").isNull());
    EXPECT_TRUE(child(person, "address").isNull());
    EXPECT_TRUE(child(person, "phone").isNull());
}

TEST_F(DemoDocumentPort, GetPersonFaultsForAnUnknownOrUnreadableId) {
    EXPECT_EQ(faultOf(call(R"(<GetPerson xmlns="urn:sondar:demo"><id>3</id></GetPerson>)")).first,
              "soap:Client");
    auto [code, text] =
        faultOf(call(R"(<GetPerson xmlns="urn:sondar:demo"><id>one</id></GetPerson>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("'one'"), std::string::npos);
}

constexpr const char* kGoodPerson =
    R"(<p:ValidatePerson xmlns:p="urn:sondar:demo"><p:person id="5">)"
    R"(<p:name>Mary Somerville</p:name>)"
    R"(<p:age>91</p:age><p:height>1.6</p:height><p:balance>0.00</p:balance>)"
    R"(<p:member>1</p:member><p:status>Suspended</p:status>)"
    R"(<p:birthDate>1780-12-26T10:00:00+01:00</p:birthDate><p:email>mary@example.org</p:email>)"
    R"(<p:address><p:street>High St</p:street><p:city>Jedburgh</p:city><p:country>UK</p:country>)"
    R"(</p:address><p:phone>1</p:phone></p:person></p:ValidatePerson>)";

TEST_F(DemoDocumentPort, ValidatePersonAcceptsACompletePerson) {
    xml::Node response = answerOf(call(kGoodPerson), "ValidatePersonResponse");
    EXPECT_EQ(childText(response, "valid"), "true");
    EXPECT_EQ(childText(response, "summary"), "Mary Somerville, 91, 1 phone number");
    EXPECT_TRUE(child(response, "problem").isNull());
}

// Clients that send every field of a form write the optional ones left blank as empty elements.
TEST_F(DemoDocumentPort, ValidatePersonTakesABlankOptionalFieldAsLeftOut) {
    std::string person = kGoodPerson;
    const std::string email = "<p:email>mary@example.org</p:email>";
    person.replace(person.find(email), email.size(), "<p:email></p:email>");
    xml::Node response = answerOf(call(person), "ValidatePersonResponse");
    EXPECT_EQ(childText(response, "valid"), "true");
}

TEST_F(DemoDocumentPort, ValidatePersonListsEveryProblem) {
    xml::Node response =
        answerOf(call(R"(<ValidatePerson xmlns="urn:sondar:demo"><person><name/><age>200</age>)"
                      R"(<height>tall</height><balance>1,5</balance><member>yes</member>)"
                      R"(<status>Gone</status><birthDate>1999-02-29T00:00:00Z</birthDate>)"
                      R"(<email>nobody</email><address><street>x</street></address><phone/>)"
                      R"(</person></ValidatePerson>)"),
                 "ValidatePersonResponse");
    EXPECT_EQ(childText(response, "valid"), "false");
    std::vector<std::string> problems;
    for (xml::Node p = child(response, "problem"); p; p = p.nextSiblingElement("problem"))
        problems.push_back(p.text());
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "the id attribute is missing",
                            "name is empty",
                            "age 200 is outside 0 to 150",
                            "height 'tall' is not an xsd:double",
                            "balance '1,5' is not an xsd:decimal",
                            "member 'yes' is not an xsd:boolean",
                            "status 'Gone' is not Active, Suspended or Closed",
                            "birthDate '1999-02-29T00:00:00Z' is not an xsd:dateTime",
                            "email 'nobody' is not an e-mail address",
                            "address city is missing",
                            "address country is missing",
                            "phone 1 is empty",
                        }));
}

TEST_F(DemoDocumentPort, ComputeStatisticsOverRepeatedElements) {
    xml::Node response = answerOf(
        call(R"(<ComputeStatistics xmlns="urn:sondar:demo"><value>4</value><value>-1.5</value>)"
             R"(<value>8</value><value>1.5</value></ComputeStatistics>)"),
        "ComputeStatisticsResponse");
    EXPECT_EQ(childText(response, "count"), "4");
    EXPECT_EQ(childText(response, "sum"), "12");
    EXPECT_EQ(childText(response, "mean"), "3");
    EXPECT_EQ(childText(response, "minimum"), "-1.5");
    EXPECT_EQ(childText(response, "maximum"), "8");
}

TEST_F(DemoDocumentPort, ComputeStatisticsOfNothingHasOnlyCountAndSum) {
    xml::Node response = answerOf(
        call(R"(<ComputeStatistics xmlns="urn:sondar:demo"><value> </value></ComputeStatistics>)"),
        "ComputeStatisticsResponse");
    EXPECT_EQ(childText(response, "count"), "0");
    EXPECT_EQ(childText(response, "sum"), "0");
    EXPECT_TRUE(child(response, "mean").isNull());
    EXPECT_TRUE(child(response, "minimum").isNull());
}

TEST_F(DemoDocumentPort, ComputeStatisticsRefusesAValueThatIsNoNumber) {
    auto [code, text] = faultOf(call(R"(<ComputeStatistics xmlns="urn:sondar:demo">)"
                                     R"(<value>1</value><value>two</value></ComputeStatistics>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("'two'"), std::string::npos);
}

TEST_F(DemoDocumentPort, GetShapeAnswersTheDerivedTypeWithItsExtraFields) {
    xml::Node shape =
        child(answerOf(call(R"(<GetShape xmlns="urn:sondar:demo"><name>Circle</name></GetShape>)"),
                       "GetShapeResponse"),
              "shape");
    const std::string type = shape.attributeNS("http://www.w3.org/2001/XMLSchema-instance", "type");
    ASSERT_EQ(type, "tns:Circle");
    EXPECT_EQ(shape.lookupNamespaceURI("tns"), kDemoNs);
    EXPECT_EQ(childText(shape, "color"), "red");
    EXPECT_EQ(childText(shape, "radius"), "2.5");

    xml::Node rectangle = child(
        answerOf(call(R"(<GetShape xmlns="urn:sondar:demo"><name>rectangle</name></GetShape>)"),
                 "GetShapeResponse"),
        "shape");
    EXPECT_EQ(rectangle.attribute("xsi:type"), "tns:Rectangle");
    EXPECT_EQ(childText(rectangle, "width"), "3");
}

TEST_F(DemoDocumentPort, GetSessionInfoEchoesTheSessionHeader) {
    const Exchange answer =
        call(R"(<GetSessionInfo xmlns="urn:sondar:demo"/>)",
             R"(<SessionHeader xmlns="urn:sondar:demo" soap:mustUnderstand="1">)"
             R"(<sessionId>s-17</sessionId></SessionHeader>)");
    xml::Node response = answerOf(answer, "GetSessionInfoResponse");
    EXPECT_EQ(childText(response, "sessionKnown"), "true");
    EXPECT_EQ(childText(response, "sessionId"), "s-17");
    const std::vector<xml::Node> headers = message_.headerEntries();
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0].baseName(), "SessionEcho");
    EXPECT_EQ(headers[0].namespaceURI(), kDemoNs);
    EXPECT_EQ(childText(headers[0], "sessionId"), "s-17");
    EXPECT_EQ(childText(headers[0], "receivedAt").size(),
              std::string("2024-01-01T00:00:00Z").size());
}

TEST_F(DemoDocumentPort, GetSessionInfoWithoutHeaderKnowsNoSession) {
    xml::Node response =
        answerOf(call(R"(<GetSessionInfo xmlns="urn:sondar:demo"/>)"), "GetSessionInfoResponse");
    EXPECT_EQ(childText(response, "sessionKnown"), "false");
    EXPECT_TRUE(child(response, "sessionId").isNull());
}

TEST_F(DemoDocumentPort, HeaderThatMustBeUnderstoodButIsNotIsAFault) {
    const std::string header = R"(<SessionHeader xmlns="urn:sondar:demo" soap:mustUnderstand="1">)"
                               R"(<sessionId>x</sessionId></SessionHeader>)";
    EXPECT_EQ(
        faultOf(call(R"(<EchoString xmlns="urn:sondar:demo"><text>x</text></EchoString>)", header))
            .first,
        "soap:MustUnderstand");
    // Without mustUnderstand a header nobody reads is ignored.
    const std::string optional = R"(<Trace xmlns="urn:other"><id>1</id></Trace>)";
    answerOf(call(R"(<EchoString xmlns="urn:sondar:demo"><text>x</text></EchoString>)", optional),
             "EchoStringResponse");
}

// The PNG's structure: signature, then length-type-data-CRC chunks from IHDR to IEND.
std::uint32_t bigEndian(std::string_view bytes, std::size_t at) {
    return std::uint32_t{static_cast<unsigned char>(bytes[at])} << 24 |
           std::uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16 |
           std::uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8 |
           std::uint32_t{static_cast<unsigned char>(bytes[at + 3])};
}

std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST_F(DemoDocumentPort, GetImageReturnsAValidPng) {
    xml::Node response =
        answerOf(call(R"(<GetImage xmlns="urn:sondar:demo"/>)"), "GetImageResponse");
    EXPECT_EQ(childText(response, "mimeType"), "image/png");
    const std::optional<std::string> png = decodeBase64(childText(response, "image"));
    ASSERT_TRUE(png.has_value());
    ASSERT_GT(png->size(), 8u + 25u);
    EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::vector<std::string> chunks;
    for (std::size_t at = 8; at + 12 <= png->size();) {
        const std::uint32_t length = bigEndian(*png, at);
        ASSERT_LE(at + 12 + length, png->size());
        const std::string_view typeAndData = std::string_view(*png).substr(at + 4, 4 + length);
        EXPECT_EQ(bigEndian(*png, at + 8 + length), crc32(typeAndData));
        chunks.emplace_back(typeAndData.substr(0, 4));
        if (chunks.back() == "IHDR") {
            EXPECT_EQ(bigEndian(*png, at + 8), 16u);   // width
            EXPECT_EQ(bigEndian(*png, at + 12), 16u);  // height
        }
        at += 12 + length;
    }
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front(), "IHDR");
    EXPECT_EQ(chunks.back(), "IEND");
}

TEST_F(DemoDocumentPort, FailAnswersAServerFaultWithDetail) {
    const Exchange answer = call(R"(<Fail xmlns="urn:sondar:demo"/>)");
    auto [code, text] = faultOf(answer);
    EXPECT_EQ(code, "soap:Server");
    EXPECT_EQ(text, "Fail was asked to fail");
    xml::Node detail = child(message_.faultDetail(), "FailDetail");
    ASSERT_FALSE(detail.isNull());
    EXPECT_EQ(detail.namespaceURI(), kDemoNs);
    EXPECT_EQ(childText(detail, "errorCode"), "42");
    EXPECT_FALSE(childText(detail, "reason").empty());
}

TEST_F(DemoDocumentPort, FailWithBlankParametersUsesTheDefaults) {
    auto [code, text] = faultOf(call(R"(<Fail xmlns="urn:sondar:demo"><faultCode/><message/>)"
                                     R"(<errorCode></errorCode></Fail>)"));
    EXPECT_EQ(code, "soap:Server");
    EXPECT_EQ(text, "Fail was asked to fail");
    EXPECT_EQ(childText(child(message_.faultDetail(), "FailDetail"), "errorCode"), "42");
}

TEST_F(DemoDocumentPort, FailUsesTheCodeMessageAndNumberAskedFor) {
    auto [code, text] = faultOf(call(
        R"(<Fail xmlns="urn:sondar:demo"><faultCode>Client</faultCode><message>bad input</message>)"
        R"(<errorCode>7</errorCode></Fail>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_EQ(text, "bad input");
    EXPECT_EQ(childText(child(message_.faultDetail(), "FailDetail"), "errorCode"), "7");
}

TEST_F(DemoDocumentPort, GetSecretNeedsBasicAuthentication) {
    const std::string request = R"(<GetSecret xmlns="urn:sondar:demo"/>)";
    const Exchange anonymous = post(service(), "/demo/doclit", envelope(request));
    EXPECT_EQ(anonymous.status, 401);
    EXPECT_EQ(headerOf(anonymous, "WWW-Authenticate"), "Basic realm=\"Sondar demo\"");

    const Exchange wrong =
        call(request, {}, {{"Authorization", "Basic " + encodeBase64("demo:x")}});
    EXPECT_EQ(wrong.status, 401);
    const Exchange garbled = call(request, {}, {{"Authorization", "Basic %%%"}});
    EXPECT_EQ(garbled.status, 401);

    xml::Node response =
        answerOf(call(request, {}, {{"Authorization", "basic " + encodeBase64("demo:demo")}}),
                 "GetSecretResponse");
    EXPECT_EQ(childText(response, "user"), "demo");
}

TEST_F(DemoDocumentPort, OtherOperationsNeedNoAuthentication) {
    EXPECT_EQ(call(R"(<GetImage xmlns="urn:sondar:demo"/>)").status, 200);
}

}  // namespace
}  // namespace nv::demo::test
