#include "tests/comserver/wsdl_server.h"

namespace wscom::test {

namespace {

constexpr char kNoServices[] = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" name="Empty" targetNamespace="urn:empty"/>
)";

// "Ping" takes no parts and gives one; its endpoint is the server itself.
std::string quietWsdl(const std::string& host) {
    return R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:quiet" name="Quiet"
    targetNamespace="urn:quiet">
  <message name="PingIn"/>
  <message name="PingOut"><part name="ok" type="xsd:string"/></message>
  <portType name="QuietPortType">
    <operation name="Ping"><input message="tns:PingIn"/><output message="tns:PingOut"/></operation>
  </portType>
  <binding name="QuietBinding" type="tns:QuietPortType">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Ping">
      <soap:operation soapAction="urn:quiet#Ping"/>
      <input><soap:body use="literal" namespace="urn:quiet"/></input>
      <output><soap:body use="literal" namespace="urn:quiet"/></output>
    </operation>
  </binding>
  <service name="Quiet">
    <port name="QuietPort" binding="tns:QuietBinding">
      <soap:address location="http://)" +
           host + R"(/quiet"/>
    </port>
  </service>
</definitions>
)";
}

constexpr char kPingResponse[] =
    R"(<?xml version="1.0"?>
<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/"><SOAP-ENV:Body>)"
    R"(<m:PingResponse xmlns:m="urn:quiet"><ok>yes</ok></m:PingResponse>)"
    R"(</SOAP-ENV:Body></SOAP-ENV:Envelope>)";

}  // namespace

WsdlServer::WsdlServer() {
    auto server = std::make_unique<httplib::Server>();
    server->Get("/none.wsdl", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kNoServices, "text/xml");
    });
    server->Get("/quiet.wsdl", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(quietWsdl(req.get_header_value("Host")), "text/xml");
    });
    server->Get("/secret.wsdl", [](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("Authorization") != "Basic " + nv::test::base64("u:p")) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"wsdl\"");
            return;
        }
        res.set_content(quietWsdl(req.get_header_value("Host")), "text/xml");
    });
    server->Post("/quiet", [this](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard lock(mutex_);
            lastPost_ = req.body;
        }
        res.set_content(kPingResponse, "text/xml");
    });
    runner_ = std::make_unique<nv::test::HttpServerRunner>(std::move(server));
}

std::string WsdlServer::lastPost() const {
    std::lock_guard lock(mutex_);
    return lastPost_;
}

}  // namespace wscom::test
