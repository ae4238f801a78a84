#include "tests/workbench/support/wsdl_documents.h"

namespace sondar::test {

namespace {

constexpr const char* kTwoServices = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:two"
    targetNamespace="urn:two">
  <message name="HelloIn"><part name="who" type="xsd:string"/></message>
  <message name="HelloOut"><part name="greeting" type="xsd:string"/></message>
  <message name="ByeIn"><part name="who" type="xsd:string"/><part name="polite" type="xsd:boolean"/></message>
  <message name="ByeOut"><part name="farewell" type="xsd:string"/></message>
  <portType name="GreeterPort">
    <operation name="Hello"><input message="tns:HelloIn"/><output message="tns:HelloOut"/></operation>
  </portType>
  <portType name="LeaverPort">
    <operation name="Bye"><input message="tns:ByeIn"/><output message="tns:ByeOut"/></operation>
    <operation name="Wave"><input message="tns:HelloIn"/><output message="tns:HelloOut"/></operation>
  </portType>
  <binding name="GreeterBinding" type="tns:GreeterPort">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Hello"><soap:operation soapAction="urn:two#Hello"/>
      <input><soap:body use="literal" namespace="urn:two"/></input>
      <output><soap:body use="literal" namespace="urn:two"/></output></operation>
  </binding>
  <binding name="LeaverBinding" type="tns:LeaverPort">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Bye"><soap:operation soapAction="urn:two#Bye"/>
      <input><soap:body use="literal" namespace="urn:two"/></input>
      <output><soap:body use="literal" namespace="urn:two"/></output></operation>
    <operation name="Wave"><soap:operation soapAction="urn:two#Wave"/>
      <input><soap:body use="literal" namespace="urn:two"/></input>
      <output><soap:body use="literal" namespace="urn:two"/></output></operation>
  </binding>
  <service name="Greeter">
    <documentation>Says hello.</documentation>
    <port name="GreeterPort" binding="tns:GreeterBinding"><soap:address location="http://127.0.0.1:1/greeter"/></port>
  </service>
  <service name="Leaver">
    <port name="LeaverPort" binding="tns:LeaverBinding"><soap:address location="http://127.0.0.1:1/leaver"/></port>
  </service>
</definitions>
)";

constexpr const char* kSingle = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:single"
    targetNamespace="urn:single">
  <types>
    <xsd:schema targetNamespace="urn:single" elementFormDefault="qualified">
      <xsd:complexType name="Address">
        <xsd:sequence>
          <xsd:element name="Street" type="xsd:string"/>
          <xsd:element name="City" type="xsd:string"/>
        </xsd:sequence>
      </xsd:complexType>
      <xsd:element name="Order">
        <xsd:complexType><xsd:sequence>
          <xsd:element name="ShipTo" type="tns:Address"/>
          <xsd:element name="Express" type="xsd:boolean"/>
          <xsd:element name="Item" type="xsd:string" maxOccurs="unbounded"/>
        </xsd:sequence></xsd:complexType>
      </xsd:element>
      <xsd:element name="OrderResult">
        <xsd:complexType><xsd:sequence>
          <xsd:element name="Accepted" type="xsd:boolean"/>
        </xsd:sequence></xsd:complexType>
      </xsd:element>
    </xsd:schema>
  </types>
  <message name="OrderIn"><part name="parameters" element="tns:Order"/></message>
  <message name="OrderOut"><part name="parameters" element="tns:OrderResult"/></message>
  <portType name="ShopPort">
    <operation name="PlaceOrder"><input message="tns:OrderIn"/><output message="tns:OrderOut"/></operation>
  </portType>
  <binding name="ShopBinding" type="tns:ShopPort">
    <soap:binding style="document" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="PlaceOrder"><soap:operation soapAction="urn:single#PlaceOrder"/>
      <input><soap:body use="literal"/></input><output><soap:body use="literal"/></output></operation>
  </binding>
  <service name="Shop">
    <port name="ShopPort" binding="tns:ShopBinding"><soap:address location="http://127.0.0.1:1/shop"/></port>
  </service>
</definitions>
)";

constexpr const char* kNoOperations = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/" xmlns:tns="urn:idle"
    targetNamespace="urn:idle">
  <portType name="IdlePort"/>
  <binding name="IdleBinding" type="tns:IdlePort">
    <soap:binding style="document" transport="http://schemas.xmlsoap.org/soap/http"/>
  </binding>
  <service name="Idle">
    <port name="IdlePort" binding="tns:IdleBinding"><soap:address location="http://127.0.0.1:1/idle"/></port>
  </service>
</definitions>
)";

// Every kind of input field: an enumeration, a boolean, a date-time, a structure offering
// derived types and an array of structures; the answer holds an array of three structures.
constexpr const char* kOrders = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:orders"
    targetNamespace="urn:orders">
  <types>
    <xsd:schema targetNamespace="urn:orders" elementFormDefault="qualified">
      <xsd:simpleType name="Priority">
        <xsd:restriction base="xsd:string">
          <xsd:enumeration value="Low"/>
          <xsd:enumeration value="Normal"/>
          <xsd:enumeration value="Very High"/>
        </xsd:restriction>
      </xsd:simpleType>
      <xsd:complexType name="Shape">
        <xsd:sequence><xsd:element name="label" type="xsd:string"/></xsd:sequence>
      </xsd:complexType>
      <xsd:complexType name="Circle">
        <xsd:complexContent><xsd:extension base="tns:Shape">
          <xsd:sequence><xsd:element name="radius" type="xsd:double"/></xsd:sequence>
        </xsd:extension></xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="Box">
        <xsd:complexContent><xsd:extension base="tns:Shape">
          <xsd:sequence>
            <xsd:element name="width" type="xsd:double"/>
            <xsd:element name="height" type="xsd:double"/>
          </xsd:sequence>
        </xsd:extension></xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="Line">
        <xsd:sequence>
          <xsd:element name="sku" type="xsd:string"/>
          <xsd:element name="qty" type="xsd:int"/>
        </xsd:sequence>
      </xsd:complexType>
      <xsd:element name="PlaceOrder">
        <xsd:complexType><xsd:sequence>
          <xsd:element name="customer" type="xsd:string"/>
          <xsd:element name="priority" type="tns:Priority"/>
          <xsd:element name="express" type="xsd:boolean"/>
          <xsd:element name="due" type="xsd:dateTime"/>
          <xsd:element name="package" type="tns:Shape"/>
          <xsd:element name="line" type="tns:Line" maxOccurs="unbounded"/>
        </xsd:sequence></xsd:complexType>
      </xsd:element>
      <xsd:element name="PingResponse">
        <xsd:complexType><xsd:sequence>
          <xsd:element name="status" type="xsd:string"/>
        </xsd:sequence></xsd:complexType>
      </xsd:element>
      <xsd:element name="PlaceOrderResponse">
        <xsd:complexType><xsd:sequence>
          <xsd:element name="accepted" type="xsd:boolean"/>
          <xsd:element name="line" type="tns:Line" maxOccurs="unbounded"/>
        </xsd:sequence></xsd:complexType>
      </xsd:element>
    </xsd:schema>
  </types>
  <message name="PlaceOrderIn"><part name="parameters" element="tns:PlaceOrder"/></message>
  <message name="PlaceOrderOut"><part name="parameters" element="tns:PlaceOrderResponse"/></message>
  <message name="PingIn"/>
  <message name="PingOut"><part name="parameters" element="tns:PingResponse"/></message>
  <portType name="OrdersPort">
    <operation name="PlaceOrder"><input message="tns:PlaceOrderIn"/><output message="tns:PlaceOrderOut"/></operation>
    <operation name="Ping"><input message="tns:PingIn"/><output message="tns:PingOut"/></operation>
  </portType>
  <binding name="OrdersBinding" type="tns:OrdersPort">
    <soap:binding style="document" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="PlaceOrder"><soap:operation soapAction="urn:orders#PlaceOrder"/>
      <input><soap:body use="literal"/></input><output><soap:body use="literal"/></output></operation>
    <operation name="Ping"><soap:operation soapAction="urn:orders#Ping"/>
      <input><soap:body use="literal"/></input><output><soap:body use="literal"/></output></operation>
  </binding>
  <service name="Orders">
    <port name="OrdersPort" binding="tns:OrdersBinding"><soap:address location="ENDPOINT"/></port>
  </service>
</definitions>
)";

constexpr const char* kOrderAnswer = R"(<?xml version="1.0"?>
<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">
  <soap:Body>
    <PlaceOrderResponse xmlns="urn:orders">
      <accepted>true</accepted>
      <line><sku>A-1</sku><qty>1</qty></line>
      <line><sku>B-2</sku><qty>2</qty></line>
      <line><sku>C-3</sku><qty>3</qty></line>
    </PlaceOrderResponse>
  </soap:Body>
</soap:Envelope>
)";

constexpr const char* kPingAnswer = R"(<?xml version="1.0"?>
<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/">
  <soap:Body><PingResponse xmlns="urn:orders"><status>ready</status></PingResponse></soap:Body>
</soap:Envelope>
)";

}  // namespace

std::string WsdlDocuments::lastOrder() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastOrder_;
}

WsdlDocuments::WsdlDocuments() {
    auto server = std::make_unique<httplib::Server>();
    auto serve = [](const char* body) {
        return [body](const httplib::Request&, httplib::Response& res) {
            res.set_content(body, "text/xml");
        };
    };
    server->Get("/two-services.wsdl", serve(kTwoServices));
    server->Get("/single.wsdl", serve(kSingle));
    server->Get("/no-operations.wsdl", serve(kNoOperations));
    server->Get("/secret.wsdl", [this](const httplib::Request& req, httplib::Response& res) {
        // "u:p" in Base64.
        if (req.get_header_value("Authorization") == "Basic dTpw") {
            res.set_content(kSingle, "text/xml");
            return;
        }
        ++refused_;
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"shop\"");
        res.set_content("Unauthorized", "text/plain");
    });
    server->Get("/orders.wsdl", [](const httplib::Request& req, httplib::Response& res) {
        std::string body = kOrders;
        const std::string endpoint = "http://" + req.get_header_value("Host") + "/orders";
        body.replace(body.find("ENDPOINT"), 8, endpoint);
        res.set_content(body, "text/xml");
    });
    server->Post("/orders", [this](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("SOAPAction").find("Ping") != std::string::npos) {
            res.set_content(kPingAnswer, "text/xml; charset=utf-8");
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lastOrder_ = req.body;
        }
        res.set_content(kOrderAnswer, "text/xml; charset=utf-8");
    });
    runner_ = std::make_unique<nv::test::HttpServerRunner>(std::move(server));
}

}  // namespace sondar::test
