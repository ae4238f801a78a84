// How WSDL documents become services, operations and messages.
#include <gtest/gtest.h>

#include "engine/wsdl/wsdl_readers.h"
#include "tests/engine/support/model_fixture.h"

using namespace wscore;
using namespace wscore::test;

namespace {

const char* kTwoBindings = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:soap12="http://schemas.xmlsoap.org/wsdl/soap12/"
    xmlns:http="http://schemas.xmlsoap.org/wsdl/http/"
    xmlns:s="http://www.w3.org/2001/XMLSchema"
    xmlns:tns="urn:calc" xmlns:other="urn:calc" targetNamespace="urn:calc">
  <types><s:schema targetNamespace="urn:calc">
    <s:complexType name="Pair"><s:sequence><s:element name="a" type="s:int"/></s:sequence></s:complexType>
  </s:schema></types>
  <message name="AddIn"><part name="x" type="s:int"/><part name="p" type="other:Pair"/></message>
  <message name="AddIn"><part name="ignored" type="s:string"/></message>
  <message name="AddOut"><part name="result" type="s:int"/></message>
  <message name="Auth"><part name="token" element="tns:Token"/></message>
  <portType name="CalcPort">
    <operation name="Add"><documentation>Adds two numbers</documentation>
      <input message="tns:AddIn"/><output message="tns:AddOut"/></operation>
    <operation name="Unbound"><input message="tns:AddOut"/></operation>
  </portType>
  <binding name="CalcSoap" type="tns:CalcPort">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Add"><soap:operation soapAction="urn:calc#Add11"/>
      <input><soap:body use="encoded" namespace="urn:calc"/>
        <soap:header message="tns:Auth" part="token" use="encoded"/></input>
      <output><soap:body use="encoded"/></output></operation>
  </binding>
  <binding name="CalcSoap12" type="tns:CalcPort">
    <soap12:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="Add"><soap12:operation soapAction="urn:calc#Add12"/>
      <input><soap12:body use="encoded"/></input></operation>
  </binding>
  <binding name="CalcGet" type="tns:CalcPort">
    <http:binding verb="GET"/>
    <operation name="HttpOnly"><http:operation location="/add"/></operation>
  </binding>
  <binding name="Orphan" type="tns:CalcPort">
    <soap:binding style="document"/>
    <operation name="OrphanOp"/>
  </binding>
  <service name="Calculator">
    <port name="Soap" binding="tns:CalcSoap"><soap:address location="http://127.0.0.1/calc11"/></port>
    <port name="Soap12" binding="tns:CalcSoap12"><soap12:address location="http://127.0.0.1/calc12"/></port>
    <port name="Get" binding="tns:CalcGet"><http:address location="http://127.0.0.1/get"/></port>
  </service>
  <service name="Calculator"><port name="Dup" binding="tns:CalcSoap"/></service>
</definitions>)";

TEST(WsdlLoading, ServicesBindingsAndPortTypesFollowTheirRules) {
    LoadedModel m(kTwoBindings);
    ASSERT_EQ(m.model.services.memberNames(), std::vector<std::string>{"Calculator"});
    WsdlService* svc = m.service("Calculator");
    ASSERT_NE(svc, nullptr);
    // The HTTP binding contributes nothing, the binding without a port is skipped, and the
    // port-type-only operation is still listed.
    EXPECT_EQ(svc->memberNames(), (std::vector<std::string>{"Add", "Unbound"}));

    WsdlOperation* add = svc->operation("Add");
    // SOAP action and style from the binding read last; the address of its port.
    EXPECT_EQ(add->soapAction, "urn:calc#Add12");
    EXPECT_EQ(add->style, "rpc");
    EXPECT_EQ(add->targetAddress, "http://127.0.0.1/calc12");
    EXPECT_EQ(add->encodingKind, EncodingKind::RpcEncoded);
    EXPECT_EQ(add->encodingNamespace, "http://schemas.xmlsoap.org/soap/encoding");
    EXPECT_EQ(add->portType, "CalcPort");
    EXPECT_EQ(add->description, "Adds two numbers");

    WsdlOperation* unbound = svc->operation("Unbound");
    EXPECT_EQ(unbound->style, "");
    EXPECT_EQ(unbound->soapAction, "");
}

TEST(WsdlLoading, MessagesPartsAndHeadersBecomeOperationMembers) {
    LoadedModel m(kTwoBindings);
    // The first message of a name wins.
    ModelContainer* in = m.model.messages.member("AddIn");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->memberNames(), (std::vector<std::string>{"x", "p"}));
    // XML Schema references are bare; others take the first prefix declared for their namespace.
    EXPECT_EQ(in->memberAs<SchemaNode>("x")->typeName, "int");
    EXPECT_EQ(in->memberAs<SchemaNode>("p")->typeName, "tns:Pair");
    EXPECT_TRUE(in->memberAs<SchemaNode>("p")->complex);

    WsdlOperation* add = m.operation("Calculator", "Add");
    // The header part comes first, stored under "input:" + its element name.
    ASSERT_EQ(add->memberNames(),
              (std::vector<std::string>{"input:tns:Token", "x", "p", "result"}));
    const SchemaNode* header = add->memberNode("input:tns:Token");
    EXPECT_TRUE(header->header);
    EXPECT_FALSE(header->required);
    EXPECT_EQ(header->direction, -1);
    EXPECT_EQ(add->memberNode("result")->direction, 0);
    EXPECT_EQ(add->use, "encoded");
}

TEST(WsdlLoading, HeadersOfOneDirectionKeepDocumentOrderBeforeTheBody) {
    std::string wsdl = wsdlWith(
        schemaOf(
            R"(<xsd:element name="A" type="xsd:string"/><xsd:element name="B" type="xsd:string"/>
                    <xsd:element name="P" type="xsd:string"/>)"),
        R"(<wsdl:part name="body" element="tns:P"/>)", "", "document", "literal",
        R"(<soap:header message="tns:Hdr" part="a" use="literal"/><soap:header message="tns:Hdr" part="b" use="literal"/>)");
    wsdl.replace(
        wsdl.find("<wsdl:portType"), 0,
        R"(<wsdl:message name="Hdr"><wsdl:part name="a" element="tns:A"/><wsdl:part name="b" element="tns:B"/></wsdl:message>
)");
    LoadedModel m(wsdl);
    WsdlOperation* op = m.operation("Svc", "Op");
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->memberNames(), (std::vector<std::string>{"input:tns:A", "input:tns:B", "tns:P"}));
    EXPECT_EQ(op->encodingKind, EncodingKind::DocumentLiteral);
    EXPECT_EQ(op->inputNamespace, "urn:test");
}

TEST(WsdlLoading, AnInputAndAnOutputPartOfOneNameBothStay) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="data" type="xsd:string"/>)",
                           R"(<wsdl:part name="data" type="xsd:int"/>)", "rpc"));
    std::vector<std::string> in = describe(m.structure("Svc", "Op", -1));
    std::vector<std::string> out = describe(m.structure("Svc", "Op", 0));
    EXPECT_EQ(in, std::vector<std::string>{"1 data : string"});
    EXPECT_EQ(out, std::vector<std::string>{"1 data : int"});
    EXPECT_EQ(m.operation("Svc", "Op")->encodingKind, EncodingKind::RpcLiteral);
}

TEST(WsdlLoading, RootsOtherThanDefinitionsGiveAnEmptyModel) {
    LoadedModel m("<html><body>Not a WSDL</body></html>");
    EXPECT_TRUE(m.error.empty());
    EXPECT_EQ(m.model.services.memberCount(), 0u);
    LoadedModel prefixed(R"(<w:definitions xmlns:w="http://schemas.xmlsoap.org/wsdl/">
        <w:service name="S"/></w:definitions>)");
    EXPECT_EQ(prefixed.model.services.memberNames(), std::vector<std::string>{"S"});
}

TEST(WsdlLoading, DimeLayoutsAreReadPerDirection) {
    std::string wsdl = wsdlWith("", R"(<wsdl:part name="f" type="xsd:base64Binary"/>)", "");
    const std::string dimeNs = "xmlns:dime=\"http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/\"";
    wsdl.replace(wsdl.find("<soap:body use=\"literal\"/>"), 26,
                 "<soap:body use=\"literal\"/><dime:message " + dimeNs +
                     " layout=\"http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout\"/>");
    LoadedModel m(wsdl);
    WsdlOperation* op = m.operation("Svc", "Op");
    ASSERT_NE(op, nullptr);
    EXPECT_TRUE(op->inputDime.used);
    EXPECT_TRUE(op->inputDime.closedLayout);
    EXPECT_FALSE(op->outputDime.used);
}

TEST(WsdlLoading, QNameLocalParts) {
    EXPECT_EQ(localPart("tns:Foo"), "Foo");
    EXPECT_EQ(localPart("Foo"), "Foo");
    EXPECT_EQ(localPart(":Foo"), ":Foo");  // a colon in first place is not a prefix separator
    EXPECT_EQ(localPart("a:b:c"), "b:c");
}

TEST(WsdlLoading, Upgrade1999NamespacesInTheBytes) {
    std::string text = R"(<s xmlns:xsd="http://www.w3.org/1999/XMLSchema" a="org/1999/x"/>)";
    upgrade1999Namespaces(text);
    EXPECT_EQ(text, R"(<s xmlns:xsd="http://www.w3.org/2001/XMLSchema" a="org/2001/x"/>)");
}

TEST(WsdlLoading, ImportedWsdlDocumentsContributeTheirDefinitions) {
    MapSource source;
    // The service document imports the one holding types, messages and the port type, as
    // .NET services publish them.
    source.documents["http://127.0.0.1/svc/parts/abstract.wsdl"] = R"(<?xml version="1.0"?>
<wsdl:definitions xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/" xmlns:xs="http://www.w3.org/2001/XMLSchema"
    xmlns:a="urn:abstract" targetNamespace="urn:abstract">
  <wsdl:types><xs:schema targetNamespace="urn:abstract" elementFormDefault="qualified">
    <xs:element name="Ping"><xs:complexType><xs:sequence><xs:element name="text" type="xs:string"/></xs:sequence></xs:complexType></xs:element>
  </xs:schema></wsdl:types>
  <wsdl:message name="PingIn"><wsdl:part name="parameters" element="a:Ping"/></wsdl:message>
  <wsdl:portType name="PingPort"><wsdl:operation name="Ping"><wsdl:input message="a:PingIn"/></wsdl:operation></wsdl:portType>
</wsdl:definitions>)";
    LoadedModel m(R"(<?xml version="1.0"?>
<wsdl:definitions xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:i="urn:abstract" targetNamespace="urn:concrete">
  <wsdl:import namespace="urn:abstract" location="parts/abstract.wsdl"/>
  <wsdl:import namespace="urn:abstract" location="parts/abstract.wsdl"/>
  <wsdl:binding name="B" type="i:PingPort"><soap:binding style="document"/>
    <wsdl:operation name="Ping"><soap:operation soapAction="urn:ping"/><wsdl:input><soap:body use="literal"/></wsdl:input></wsdl:operation>
  </wsdl:binding>
  <wsdl:service name="S"><wsdl:port name="P" binding="i:B"><soap:address location="http://127.0.0.1/ping"/></wsdl:port></wsdl:service>
</wsdl:definitions>)",
                  &source);
    EXPECT_EQ(source.requested.size(), 2u);  // asked twice, read once
    EXPECT_EQ(describe(m.structure("S", "Ping", -1)),
              (std::vector<std::string>{"1 i:Ping : i:Ping [complex]", "2 i:text : string"}));
    EXPECT_EQ(m.operation("S", "Ping")->encodingKind, EncodingKind::DocumentLiteral);
}

}  // namespace
