// What the service does around the operations: malformed requests, SOAP versions, recording
// the last request, concurrency and its lifetime.
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "examples/demo_service/demo_service.h"
#include "tests/examples/demo_service/soap_client.h"

namespace nv::demo::test {
namespace {

const std::string kEcho = R"(<EchoString xmlns="urn:sondar:demo"><text>hi</text></EchoString>)";

class DemoTransport : public ServiceTest {
  protected:
    std::pair<std::string, std::string> faultOf(const std::string& body,
                                                const std::string& path = "/demo/doclit") {
        const Exchange answer = post(service(), path, body);
        EXPECT_EQ(answer.status, 500) << answer.body;
        EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
        soap::Reader message = readAnswer(answer);
        EXPECT_FALSE(message.fault().isNull());
        return {faultCode(message), faultString(message)};
    }
};

TEST_F(DemoTransport, MalformedXmlIsAClientFault) {
    auto [code, text] = faultOf(
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>");
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("not a SOAP message"), std::string::npos);
}

TEST_F(DemoTransport, XmlThatIsNoEnvelopeIsAClientFault) {
    EXPECT_EQ(faultOf("<EchoString><text>hi</text></EchoString>").first, "soap:Client");
    EXPECT_EQ(faultOf("", "/demo/rpcenc").first, "soap:Client");
}

TEST_F(DemoTransport, EnvelopeWithoutOperationIsAClientFault) {
    EXPECT_EQ(faultOf(envelope("")).first, "soap:Client");
    EXPECT_EQ(
        faultOf("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"/>").first,
        "soap:Client");
}

TEST_F(DemoTransport, Soap12EnvelopeIsAVersionMismatch) {
    auto [code, text] =
        faultOf("<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\"><env:Body>" +
                kEcho + "</env:Body></env:Envelope>");
    EXPECT_EQ(code, "soap:VersionMismatch");
    EXPECT_NE(text.find("SOAP 1.1"), std::string::npos);
}

TEST_F(DemoTransport, OperationOfTheOtherPortIsAClientFault) {
    auto [code, text] =
        faultOf(envelope(R"(<Add xmlns="urn:sondar:demo:rpc"><a>1</a><b>2</b></Add>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("'Add'"), std::string::npos);
}

TEST_F(DemoTransport, RecordsTheLastRequestAsSent) {
    const std::string body = envelope(kEcho);
    ASSERT_EQ(post(service(), "/demo/doclit", body, "text/xml; charset=utf-8",
                   {{"SOAPAction", "\"urn:sondar:demo/EchoString\""}})
                  .status,
              200);
    const std::optional<RecordedRequest> last = service().lastRequest();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->method, "POST");
    EXPECT_EQ(last->path, "/demo/doclit");
    EXPECT_EQ(last->body, body);
    EXPECT_EQ(last->header("soapaction"), "\"urn:sondar:demo/EchoString\"");
    EXPECT_EQ(last->header("Content-Type"), "text/xml; charset=utf-8");
    // Only what the client sent: none of the server's own bookkeeping.
    EXPECT_FALSE(last->hasHeader("REMOTE_ADDR"));
    EXPECT_FALSE(last->hasHeader("X-Not-Sent"));

    ASSERT_EQ(get(service(), "/demo?wsdl").status, 200);
    EXPECT_EQ(service().lastRequest()->path, "/demo?wsdl");
    EXPECT_EQ(service().lastRequest()->method, "GET");
}

TEST_F(DemoTransport, AnswersConcurrentCallsEachWithItsOwnResult) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 10;
    std::atomic<int> correct{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                const std::string text = "t" + std::to_string(t) + "-" + std::to_string(i);
                const Exchange answer =
                    post(service(), "/demo/doclit",
                         envelope("<EchoString xmlns=\"urn:sondar:demo\"><text>" + text +
                                  "</text></EchoString>"));
                if (answer.body.find("<EchoStringResult>" + text + "</EchoStringResult>") !=
                    std::string::npos)
                    ++correct;
                (void)service().lastRequest();
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(correct.load(), kThreads * kCalls);
}

TEST(DemoServiceLifetime, NothingIsRecordedBeforeTheFirstRequest) {
    DemoService service;
    EXPECT_FALSE(service.lastRequest().has_value());
    EXPECT_TRUE(service.running());
    EXPECT_GT(service.port(), 0);
    EXPECT_EQ(service.wsdlUrl(),
              "http://127.0.0.1:" + std::to_string(service.port()) + "/demo?wsdl");
}

TEST(DemoServiceLifetime, StopClosesThePortAndMayBeRepeated) {
    DemoService service;
    ASSERT_EQ(get(service, "/demo?wsdl").status, 200);
    service.stop();
    EXPECT_FALSE(service.running());
    EXPECT_EQ(get(service, "/demo?wsdl").status, -1);
    service.stop();
}

TEST(DemoServiceLifetime, PortInUseIsRefused) {
    DemoService first;
    EXPECT_THROW(DemoService second(first.port()), std::runtime_error);
}

TEST(DemoServiceLifetime, TwoServicesRunSideBySide) {
    DemoService a;
    DemoService b;
    EXPECT_NE(a.port(), b.port());
    EXPECT_EQ(post(a, "/demo/doclit", envelope(kEcho)).status, 200);
    EXPECT_TRUE(a.lastRequest().has_value());
    EXPECT_FALSE(b.lastRequest().has_value());
}

TEST(DemoServiceLifetime, ListensOnAChosenPort) {
    int port = 0;
    {
        DemoService probe;  // finds a port free right now
        port = probe.port();
    }
    DemoService service(port);
    EXPECT_EQ(service.port(), port);
    EXPECT_EQ(get(service, "/demo.wsdl").status, 200);
}

}  // namespace
}  // namespace nv::demo::test
