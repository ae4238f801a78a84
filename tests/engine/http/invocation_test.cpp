// Invocations through the exports against scripted local services: the request on the wire,
// statuses, faults, empty answers, network failures, credentials and target addresses.
#include <gtest/gtest.h>

#include <mutex>

#include "platform/inet/credential_prompt.h"
#include "platform/inet/system_error.h"
#include "tests/engine/support/engine_client.h"
#include "tests/support/http_servers.h"
#include "tests/support/registry_sandbox.h"

using namespace wscore::test;
using nv::test::HttpServerRunner;

namespace {

// An rpc/literal service "Calc" with Add(a, b) -> sum at `endpoint`, and Pair() -> (x, y).
std::string calculator(const std::string& endpoint) {
    return R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:calc" targetNamespace="urn:calc">
  <message name="AddIn"><part name="a" type="xsd:int"/><part name="b" type="xsd:int"/></message>
  <message name="AddOut"><part name="sum" type="xsd:int"/></message>
  <message name="PairIn"/>
  <message name="PairOut"><part name="x" type="xsd:int"/><part name="y" type="xsd:int"/></message>
  <portType name="CalcPort">
    <operation name="Add"><input message="tns:AddIn"/><output message="tns:AddOut"/></operation>
    <operation name="Pair"><input message="tns:PairIn"/><output message="tns:PairOut"/></operation>
  </portType>
  <binding name="CalcBinding" type="tns:CalcPort"><soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Add"><soap:operation soapAction="urn:calc#Add"/>
      <input><soap:body use="literal" namespace="urn:calc"/></input><output><soap:body use="literal" namespace="urn:calc"/></output></operation>
    <operation name="Pair"><soap:operation soapAction=""/>
      <input><soap:body use="literal" namespace="urn:calc"/></input><output><soap:body use="literal" namespace="urn:calc"/></output></operation>
  </binding>
  <service name="Calc"><port name="CalcPort" binding="tns:CalcBinding"><soap:address location=")" +
           endpoint + R"("/></port></service>
</definitions>)";
}

std::string envelope(const std::string& body) {
    return R"(<?xml version="1.0"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"><soap:Body>)" +
           body + "</soap:Body></soap:Envelope>";
}

const std::string kAddAnswer =
    envelope(R"(<c:AddResponse xmlns:c="urn:calc"><sum>5</sum></c:AddResponse>)");

class Invocation : public ::testing::Test {
  protected:
    Invocation() {
        auto server = std::make_unique<httplib::Server>();
        srv = server.get();
        srv->Get("/calc.wsdl", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(calculator(endpoint), "text/xml");
        });
        srv->Post("/calc", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                seen = req;
            }
            answer(req, res);
        });
        runner = std::make_unique<HttpServerRunner>(std::move(server));
        endpoint = runner->url("/calc");
    }

    // Loads the calculator and selects its service.
    void connect(EngineConnection& c) {
        ASSERT_EQ(c.connect(runner->url("/calc.wsdl")).result, -1);
        ASSERT_EQ(c.operations("Calc").result, -1);
    }

    std::vector<Record> addInput(const char* a, const char* b) {
        EngineConnection probe;
        connect(probe);
        std::vector<Record> in;
        probe.structure("Add", true, in);
        in.at(0).theData = a;
        in.at(1).theData = b;
        return in;
    }

    std::function<void(const httplib::Request&, httplib::Response&)> answer =
        [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kAddAnswer, "text/xml");
        };

    nv::test::RegistrySandbox registry;
    httplib::Server* srv = nullptr;
    std::unique_ptr<HttpServerRunner> runner;
    std::string endpoint;
    std::mutex mutex;
    httplib::Request seen;
};

TEST_F(Invocation, TheRequestAndTheMappedAnswer) {
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    Outcome o = c.invoke("Add", addInput("2", "3"), out);
    ASSERT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(o.error, "");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].fieldName, "sum");
    EXPECT_EQ(out[0].theData, "5");

    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(seen.get_header_value("SOAPAction"), "\"urn:calc#Add\"");
    EXPECT_EQ(seen.get_header_value("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(seen.get_header_value("Accept-Language"), "*");
    // The WSDL's default namespace is declared on the envelope; the unqualified accessors step
    // out of it.
    EXPECT_NE(seen.body.find(R"(<tns:Add><a xsi:type="xsd:int" xmlns="">2</a>)"
                             R"(<b xsi:type="xsd:int" xmlns="">3</b></tns:Add>)"),
              std::string::npos)
        << seen.body;

    // The last response, and the request text as the caller can see it before sending.
    std::string text;
    ASSERT_EQ(c.responseText("Add", text).result, -1);
    EXPECT_NE(text.find("<sum>5</sum>"), std::string::npos) << text;
    ASSERT_EQ(c.requestText("Add", addInput("2", "3"), text).result, -1);
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    EXPECT_EQ(text.back(), '>');
    EXPECT_NE(text.find(seen.body.substr(seen.body.find("<SOAP-ENV:Body"))), std::string::npos);
}

TEST_F(Invocation, AnEmptySoapActionIsSentAsTwoQuotes) {
    answer = [](const httplib::Request&, httplib::Response& res) {
        res.set_content(
            envelope(R"(<c:PairResponse xmlns:c="urn:calc"><x>1</x><y>2</y></c:PairResponse>)"),
            "text/xml");
    };
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("Pair", {}, out).result, -1);
    EXPECT_EQ(out.size(), 2u);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(seen.get_header_value("SOAPAction"), "\"\"");
}

TEST_F(Invocation, AFaultWithStatus500) {
    answer = [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content(
            envelope("<soap:Fault><faultcode>soap:Client</faultcode><faultstring>bad "
                     "numbers</faultstring>"
                     "<detail><reason>b is not a number</reason></detail></soap:Fault>"),
            "text/xml");
    };
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    Outcome o = c.invoke("Add", addInput("2", "x"), out);
    EXPECT_EQ(o.result, 500);
    const std::string prefix =
        "The following error occurred within the invoked Web service. The contents of the error "
        "message generated by the Web service are provided for your reference:\n\n";
    EXPECT_EQ(o.error, prefix + "b is not a number");
    EXPECT_TRUE(out.empty());
    // Without a detail the fault string is shown.
    answer = [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content(envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>boom</"
                                 "faultstring></soap:Fault>"),
                        "text/xml");
    };
    o = c.invoke("Add", addInput("2", "3"), out);
    EXPECT_EQ(o.error, prefix + "boom");
    // The fault is what GetOutputSoapMessage shows now.
    std::string text;
    c.responseText("Add", text);
    EXPECT_NE(text.find("boom"), std::string::npos);
}

TEST_F(Invocation, StatusesEmptyAnswersAndUnreadableAnswers) {
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    answer = [](const httplib::Request&, httplib::Response& res) { res.status = 503; };
    Outcome o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 503);
    EXPECT_EQ(o.error,
              "The HTTP request failed for the following reason:\n     Service Unavailable");

    answer = [](const httplib::Request&, httplib::Response& res) {
        res.set_content("", "text/xml");
    };
    o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 200);
    EXPECT_EQ(o.error, "No data returned from the service.\n");

    answer = [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>oops", "text/html");
    };
    o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 200);
    EXPECT_EQ(o.error.rfind("Failed attempting to read SOAP response from service.\n", 0), 0u)
        << o.error;
    EXPECT_NE(o.error.find("<html>oops"), std::string::npos);

    // An envelope without any text: fine for one output part, message 130 for two.
    answer = [](const httplib::Request&, httplib::Response& res) {
        res.set_content(envelope(""), "text/xml");
    };
    o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, -1);
    EXPECT_TRUE(out.empty());
    o = c.invoke("Pair", {}, out);
    EXPECT_EQ(o.error, "No data returned from the service.\n");
}

TEST_F(Invocation, NetworkFailuresReturnZeroWithTheSystemText) {
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    nv::test::RefusedPort refused;
    std::u16string address =
        nv::text::utf8ToUtf16("http://127.0.0.1:" + std::to_string(refused.port()) + "/x");
    BSTR err = nullptr;
    ASSERT_EQ(SetTargetURL(c.id(), u"Add", address.c_str(), &err), -1);
    Outcome o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error, nv::inet::systemErrorText(nv::inet::kErrorCannotConnect) + "\n");

    ASSERT_EQ(SetTargetURL(c.id(), u"Add", u"http://nonexistent.invalid/x", &err), -1);
    o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error, nv::inet::systemErrorText(nv::inet::kErrorNameNotResolved) + "\n");
}

TEST_F(Invocation, AStalledServiceTripsTheResponseTimeout) {
    nv::test::RawServer stalled([](int fd, const std::atomic<bool>& stopping) {
        nv::test::readHead(fd);
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    // Timeouts are process-wide and the last load sets them: prepare the input first.
    std::vector<Record> input = addInput("1", "1");
    EngineConnection c;
    ConnectOptions quick;
    quick.responseTimeout = 1;
    ASSERT_EQ(c.connect(runner->url("/calc.wsdl"), quick).result, -1);
    ASSERT_EQ(c.operations("Calc").result, -1);
    BSTR err = nullptr;
    std::u16string address = nv::text::utf8ToUtf16(stalled.url("/calc"));
    SetTargetURL(c.id(), u"Add", address.c_str(), &err);
    std::vector<Record> out;
    Outcome o = c.invoke("Add", input, out);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error, nv::inet::systemErrorText(nv::inet::kErrorTimeout) + "\n");
}

TEST_F(Invocation, EndpointCredentialsAndThePromptAfterA401) {
    answer = [](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("Authorization") != "Basic " + nv::test::base64("erin:pw")) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"calc\"");
            return;
        }
        res.set_content(kAddAnswer, "text/xml");
    };
    EngineConnection c;
    connect(c);
    std::vector<Record> out;
    Outcome o = c.invoke("Add", addInput("1", "1"), out);
    EXPECT_EQ(o.result, 401);
    EXPECT_EQ(o.error, "The HTTP request failed for the following reason:\n     Unauthorized");

    BSTR err = nullptr;
    ASSERT_EQ(SetEndpointHTTPAuthentication(c.id(), u"erin", u"pw", &err), -1);
    EXPECT_EQ(c.invoke("Add", addInput("1", "1"), out).result, -1);

    // A user name over 128 characters is not used; the prompt then supplies the right one.
    std::u16string longUser(129, u'u');
    ASSERT_EQ(SetEndpointHTTPAuthentication(c.id(), longUser.c_str(), u"pw", &err), -1);
    int prompts = 0;
    nv::inet::setCredentialPrompt(
        [&](const nv::inet::CredentialChallenge&) -> std::optional<nv::inet::PromptedCredentials> {
            ++prompts;
            return nv::inet::PromptedCredentials{"erin", "pw"};
        });
    o = c.invoke("Add", addInput("1", "1"), out);
    nv::inet::clearCredentialPrompt();
    EXPECT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(prompts, 1);
}

TEST_F(Invocation, TargetAddressesAndSoapActions) {
    EngineConnection c;
    connect(c);
    BSTR value = nullptr;
    BSTR err = nullptr;
    ASSERT_EQ(GetTargetURL(c.id(), u"Add", &value, &err), -1);
    EXPECT_EQ(takeBstr(value), endpoint);
    ASSERT_EQ(GetSoapAction(c.id(), u"Add", &value, &err), -1);
    EXPECT_EQ(takeBstr(value), "urn:calc#Add");
    EXPECT_EQ(GetSoapAction(c.id(), u"Pair", &value, &err), 0);  // empty action
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(GetSoapAction(c.id(), u"Nope", &value, &err), 0);
    EXPECT_EQ(err, nullptr);
    ASSERT_EQ(SetTargetURL(c.id(), u"Add", u"http://127.0.0.1:9/elsewhere", &err), -1);
    ASSERT_EQ(GetTargetURL(c.id(), u"Add", &value, &err), -1);
    EXPECT_EQ(takeBstr(value), "http://127.0.0.1:9/elsewhere");
    // A new load restores the document's address.
    connect(c);
    ASSERT_EQ(GetTargetURL(c.id(), u"Add", &value, &err), -1);
    EXPECT_EQ(takeBstr(value), endpoint);
    // Before any invocation the last response is empty.
    std::string text = "unset";
    ASSERT_EQ(c.responseText("Add", text).result, -1);
    EXPECT_EQ(text, "");
}

TEST_F(Invocation, AConnectionLoadedFromTheCacheCanInvoke) {
    nv::test::TempDir dir("cache");
    ASSERT_TRUE(nv::test::writeFile(dir.file("calc.wsdl"), calculator(endpoint)));
    SetWorkingDirectory(nv::text::utf8ToUtf16(dir.path()).c_str());
    EngineConnection c;
    ConnectOptions cached;
    cached.useCache = true;
    cached.cacheName = u"calc";
    ASSERT_EQ(c.connect("http://127.0.0.1:1/unused.wsdl", cached).result, -1);
    SetWorkingDirectory(nullptr);
    ASSERT_EQ(c.operations("Calc").result, -1);
    std::vector<Record> out;
    Outcome o = c.invoke("Add", addInput("2", "3"), out);
    EXPECT_EQ(o.result, -1) << o.error;
}

}  // namespace
