// Hostile and enormous input: every case ends with a clear message in bounded time and memory,
// and the next call, on another connection, still works.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/inet/credential_prompt.h"
#include "platform/inet/system_error.h"
#include "platform/registry/registry.h"
#include "tests/engine/support/engine_client.h"
#include "tests/support/http_servers.h"
#include "tests/support/registry_sandbox.h"

using namespace wscore::test;
using nv::test::HttpServerRunner;

namespace {

const std::string kWsdlHead = R"(<?xml version="1.0"?>)";

// A small good document, served at /good.wsdl, loaded after each case on a new connection.
std::string goodWsdl(const std::string& endpoint, const std::string& types = "") {
    return R"(<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:dime="http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:h" targetNamespace="urn:h">
  <types><xsd:schema targetNamespace="urn:h">)" +
           types + R"(
    <xsd:complexType name="Node"><xsd:sequence><xsd:element name="v" type="xsd:string"/>
      <xsd:element name="next" type="tns:Node" minOccurs="0"/></xsd:sequence></xsd:complexType></xsd:schema></types>
  <message name="In"/><message name="Out"><part name="head" type="tns:Node"/><part name="blob" type="xsd:base64Binary"/></message>
  <portType name="P"><operation name="Get"><input message="tns:In"/><output message="tns:Out"/></operation>
    <operation name="GetDime"><input message="tns:In"/><output message="tns:Out"/></operation></portType>
  <binding name="B" type="tns:P"><soap:binding style="rpc"/>
    <operation name="Get"><input><soap:body use="encoded"/></input><output><soap:body use="encoded"/></output></operation>
    <operation name="GetDime"><input><soap:body use="encoded"/></input><output><soap:body use="encoded"/>
      <dime:message layout="http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout"/></output></operation></binding>
  <service name="S"><port name="P" binding="tns:B"><soap:address location=")" +
           endpoint + R"("/></port></service>
</definitions>)";
}

class Hostile : public ::testing::Test {
  protected:
    Hostile() {
        auto server = std::make_unique<httplib::Server>();
        srv = server.get();
        srv->Get("/good.wsdl", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(kWsdlHead + goodWsdl(runner->url("/service")), "text/xml");
        });
        srv->Post("/service", [this](const httplib::Request& req, httplib::Response& res) {
            answer(req, res);
        });
        runner = std::make_unique<HttpServerRunner>(std::move(server));
    }

    // The next call, on another connection, works.
    void nextCallWorks() {
        EngineConnection other;
        Outcome o = other.connect(runner->url("/good.wsdl"));
        EXPECT_EQ(o.result, -1) << o.error;
        EXPECT_EQ(other.services, (std::vector<std::string>{"S", ""}));
    }

    Outcome load(const std::string& path, const std::string& body) {
        srv->Get(path, [body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "text/xml");
        });
        EngineConnection c;
        return c.connect(runner->url(path));
    }

    std::function<void(const httplib::Request&, httplib::Response&)> answer;
    nv::test::RegistrySandbox registry;
    nv::test::TempDir files{"hostile-files"};
    httplib::Server* srv = nullptr;
    std::unique_ptr<HttpServerRunner> runner;
};

const std::string kParseFailure = "MS DOM was not able to parse the wsdl content. Details: ";

TEST_F(Hostile, ExternalEntitiesAndEntityExpansionAreRefused) {
    nv::test::TempDir secret("secret");
    ASSERT_TRUE(nv::test::writeFile(secret.file("passwd"), "root:SECRET"));
    Outcome o = load("/xxe.wsdl",
                     "<?xml version=\"1.0\"?><!DOCTYPE definitions [<!ENTITY x SYSTEM \"file://" +
                         secret.file("passwd") + "\">]><definitions>&x;</definitions>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error.rfind(kParseFailure, 0), 0u) << o.error;
    EXPECT_NE(o.error.find("entity"), std::string::npos) << o.error;
    EXPECT_EQ(o.error.find("SECRET"), std::string::npos);

    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"ha\">";
    for (int i = 1; i < 12; ++i)
        laughs += "<!ENTITY a" + std::to_string(i) + " \"" + std::string(10, '&') + "\">";
    laughs += "]><definitions>&a11;</definitions>";
    auto begin = std::chrono::steady_clock::now();
    o = load("/laughs.wsdl", laughs);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error.rfind(kParseFailure, 0), 0u) << o.error;
    nextCallWorks();
}

TEST_F(Hostile, NestingAHundredThousandDeep) {
    std::string deep = "<definitions>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    deep += "</definitions>";
    Outcome o = load("/deep.wsdl", deep);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error.rfind(kParseFailure, 0), 0u);
    EXPECT_NE(o.error.find("nesting depth"), std::string::npos) << o.error;
    nextCallWorks();
}

TEST_F(Hostile, AnImportCycleOfThreeDocumentsEnds) {
    std::atomic<int> fetches{0};
    auto schema = [](const std::string& next, const std::string& name) {
        return R"(<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" targetNamespace="urn:h">
            <xsd:import schemaLocation=")" +
               next + R"("/><xsd:complexType name=")" + name +
               R"("><xsd:sequence><xsd:element name="x" type="xsd:int"/></xsd:sequence></xsd:complexType></xsd:schema>)";
    };
    for (auto [path, next, name] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"/c/a.xsd", "b.xsd", "A"}, {"/c/b.xsd", "c.xsd", "B"}, {"/c/c.xsd", "a.xsd", "C"}}) {
        std::string body = schema(next, name);
        srv->Get(path, [body, &fetches](const httplib::Request&, httplib::Response& res) {
            ++fetches;
            res.set_content(body, "text/xml");
        });
    }
    std::string wsdl =
        kWsdlHead + goodWsdl(runner->url("/service"), R"(<xsd:import schemaLocation="a.xsd"/>)");
    srv->Get("/c/cycle.wsdl", [wsdl](const httplib::Request&, httplib::Response& res) {
        res.set_content(wsdl, "text/xml");
    });
    EngineConnection c;
    Outcome o = c.connect(runner->url("/c/cycle.wsdl"));
    EXPECT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(fetches.load(), 3);
    nextCallWorks();
}

// Streams `size` bytes of an endless schema comment without ever holding them.
void streamHuge(httplib::Response& res, std::size_t size) {
    res.set_content_provider(
        size, "text/xml", [size](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            static const std::string chunk = std::string(65536, 'x');
            if (offset == 0) {
                std::string head =
                    "<xsd:schema xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><!--";
                sink.write(head.data(), head.size());
                return true;
            }
            std::size_t n = std::min({length, chunk.size(), size - offset});
            return sink.write(chunk.data(), n);
        });
}

TEST_F(Hostile, AnImportOfThreeHundredMegabytesEndsTheLoadAtTheLimit) {
    srv->Get("/huge.xsd", [](const httplib::Request&, httplib::Response& res) {
        streamHuge(res, std::size_t{300} << 20);
    });
    std::string wsdl =
        kWsdlHead + goodWsdl(runner->url("/service"), R"(<xsd:import schemaLocation="huge.xsd"/>)");
    srv->Get("/big.wsdl", [wsdl](const httplib::Request&, httplib::Response& res) {
        res.set_content(wsdl, "text/xml");
    });
    EngineConnection c;
    Outcome o = c.connect(runner->url("/big.wsdl"));
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error,
              "The imported document " + runner->url("/huge.xsd") + " is larger than 256 MB.\n");
    nextCallWorks();
}

TEST_F(Hostile, AServerThatClosesMidBody) {
    nv::test::RawServer closer([](int fd, const std::atomic<bool>&) {
        nv::test::readHead(fd);
        nv::test::writeAll(fd,
                           "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nContent-Type: "
                           "text/xml\r\n\r\n<definitions");
    });
    EngineConnection c;
    Outcome o = c.connect(closer.url("/a.wsdl"));
    EXPECT_EQ(o.result, 0);
    EXPECT_FALSE(o.error.empty());
    EXPECT_EQ(o.error.rfind(kParseFailure, 0), std::string::npos)
        << o.error;  // a transfer error, not XML
    nextCallWorks();
}

TEST_F(Hostile, AnEndless401LoopStopsAsking) {
    srv->Get("/locked.wsdl", [](const httplib::Request&, httplib::Response& res) {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"never\"");
    });
    int asked = 0;
    nv::inet::setCredentialPrompt(
        [&](const nv::inet::CredentialChallenge&) -> std::optional<nv::inet::PromptedCredentials> {
            ++asked;
            return nv::inet::PromptedCredentials{"u", "p"};
        });
    EngineConnection c;
    Outcome o = c.connect(runner->url("/locked.wsdl"));
    nv::inet::clearCredentialPrompt();
    EXPECT_EQ(o.error, "The HTTP request failed for the following reason:\n     Unauthorized");
    EXPECT_EQ(asked, 5);
    nextCallWorks();
}

TEST_F(Hostile, ARedirectLoop) {
    srv->Get("/loop-a",
             [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop-b"); });
    srv->Get("/loop-b",
             [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop-a"); });
    EngineConnection c;
    Outcome o = c.connect(runner->url("/loop-a"));
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.error, nv::inet::systemErrorText(nv::inet::kErrorRedirectFailed) + "\n");
    nextCallWorks();
}

class HostileResponses : public Hostile {
  protected:
    void SetUp() override {
        nv::registry::Key key;
        ASSERT_EQ(nv::registry::Key::create(nv::registry::Hive::CurrentUser,
                                            u"Software\\Norvale\\Sondar", key),
                  nv::registry::Status::Ok);
        key.setString(u"Working Directory", nv::text::utf8ToUtf16(files.path()));
        ASSERT_EQ(c.connect(runner->url("/good.wsdl")).result, -1);
        ASSERT_EQ(c.operations("S").result, -1);
    }
    void respond(std::string body, std::string type = "text/xml") {
        answer = [body, type](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, type);
        };
    }
    EngineConnection c;
};

std::string envelope(const std::string& body) {
    return R"(<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"><soap:Body>)" +
           body + "</soap:Body></soap:Envelope>";
}

TEST_F(HostileResponses, ReferenceCyclesAndAHundredThousandLongChain) {
    respond(
        envelope(R"(<r><head href="#a"/></r><multiRef id="a"><v>A</v><next href="#b"/></multiRef>
                        <multiRef id="b"><v>B</v><next href="#a"/></multiRef>)"));
    std::vector<Record> out;
    Outcome o = c.invoke("Get", {}, out);
    ASSERT_EQ(o.result, -1) << o.error;
    EXPECT_LT(out.size(), 10u);

    std::string chain = "<r><head href=\"#n0\"/></r>";
    for (int i = 0; i < 100000; ++i)
        chain += "<multiRef id=\"n" + std::to_string(i) + "\"><v>" + std::to_string(i) +
                 "</v><next href=\"#n" + std::to_string(i + 1) + "\"/></multiRef>";
    respond(envelope(chain));
    auto begin = std::chrono::steady_clock::now();
    o = c.invoke("Get", {}, out);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
    EXPECT_EQ(o.result, -1) << o.error;
    EXPECT_LT(out.size(), 5000u);  // the chain is followed only so far
    nextCallWorks();
}

TEST_F(HostileResponses, ABase64ElementNamedToEscapeTheFolderStaysInIt) {
    respond(envelope(R"(<r><_..:blob xmlns:_..="urn:x">iVBORw0KGgoAAAAN</_..:blob></r>)"));
    std::vector<Record> out;
    Outcome o = c.invoke("Get", {}, out);
    ASSERT_EQ(o.result, -1) << o.error;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].theData, files.path() + "_.._blob.png");
    EXPECT_TRUE(nv::test::fileExists(out[1].theData));
}

TEST_F(HostileResponses, ADimeRecordClaimingFourGigabytes) {
    // A record header that claims 0xFFFFFFFF bytes of data after 16 real ones.
    std::string dime = {'\x0E', '\x20', '\x00', '\x00', '\x00', '\x00',
                        '\x00', '\x00', '\xFF', '\xFF', '\xFF', '\xFF'};
    dime += std::string(16, 'x');
    respond(dime, "application/dime");
    std::vector<Record> out;
    Outcome o = c.invoke("GetDime", {}, out);
    EXPECT_EQ(o.result, 200);
    EXPECT_EQ(o.error.rfind("Failed attempting to read SOAP response from service.\n", 0), 0u)
        << o.error;
    EXPECT_NE(o.error.find("4294967295"), std::string::npos) << o.error;
    nextCallWorks();
}

TEST_F(HostileResponses, TruncatedAndNonXmlAnswers) {
    respond(envelope("<r><head><v>1</v></head></r>").substr(0, 60));
    std::vector<Record> out;
    Outcome o = c.invoke("Get", {}, out);
    EXPECT_EQ(o.result, 200);
    EXPECT_EQ(o.error.rfind("Failed attempting to read SOAP response from service.\n", 0), 0u)
        << o.error;
    respond("<html><body>Gateway error</body></html>", "text/html");
    o = c.invoke("Get", {}, out);
    EXPECT_EQ(o.error.rfind("Failed attempting to read SOAP response from service.\n", 0), 0u)
        << o.error;
    EXPECT_NE(o.error.find("not a SOAP envelope"), std::string::npos) << o.error;
    nextCallWorks();
}

}  // namespace
