// Fuzz target: arbitrary response bytes mapped onto the output of fixed operations (arrays,
// SOAP-encoded arrays of every form, multi-references, a derived type, a data-set placeholder,
// base64 and attachments).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/soap/response_reader.h"
#include "engine/wsdl/wsdl_loader.h"
#include "platform/soap/reader.h"
#include "platform/xmldom/document.h"

namespace {

const char* kWsdl = R"(<?xml version="1.0"?>
<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:dime="http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/"
    xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:tns="urn:f" targetNamespace="urn:f">
  <types><xsd:schema targetNamespace="urn:f" elementFormDefault="qualified">
    <xsd:complexType name="Base"><xsd:sequence><xsd:element name="id" type="xsd:int"/>
      <xsd:element name="next" type="tns:Base" minOccurs="0"/></xsd:sequence>
      <xsd:attribute name="kind" type="xsd:string"/></xsd:complexType>
    <xsd:complexType name="Derived"><xsd:complexContent><xsd:extension base="tns:Base"><xsd:sequence>
      <xsd:element name="extra" type="xsd:string" maxOccurs="unbounded"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Names"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="tns:Base[][]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="ArrayOfint"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="ArrayOfArrayOfint"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="tns:ArrayOfint" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="tns:ArrayOfint[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="ArrayOfint2D"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[,]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Data"><xsd:sequence><xsd:element ref="xsd:schema"/><xsd:any/></xsd:sequence></xsd:complexType>
    <xsd:complexType name="Open"><xsd:sequence><xsd:any/></xsd:sequence></xsd:complexType>
  </xsd:schema></types>
  <message name="In"/>
  <message name="Out"><part name="item" type="tns:Base"/><part name="names" type="tns:Names"/>
    <part name="grid" type="tns:Grid"/><part name="data" type="tns:Data"/><part name="blob" type="xsd:base64Binary"/>
    <part name="open" type="tns:Open"/><part name="ints" type="tns:ArrayOfint"/>
    <part name="nested" type="tns:ArrayOfArrayOfint"/><part name="matrix" type="tns:ArrayOfint2D"/></message>
  <portType name="P"><operation name="Op"><input message="tns:In"/><output message="tns:Out"/></operation>
    <operation name="Files"><input message="tns:In"/><output message="tns:Out"/></operation></portType>
  <binding name="B" type="tns:P"><soap:binding style="rpc"/>
    <operation name="Op"><input><soap:body use="encoded"/></input><output><soap:body use="encoded"/></output></operation>
    <operation name="Files"><input><soap:body use="encoded"/></input><output><soap:body use="encoded"/>
      <dime:message layout="http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout"/></output></operation></binding>
  <service name="S"><port name="P" binding="tns:B"><soap:address location="http://127.0.0.1:1/"/></port></service>
</definitions>)";

struct Fixture {
    wscore::DocumentModel model;
    std::string directory;
    Fixture() {
        nv::xml::Document doc;
        doc.loadXML(std::string_view(kWsdl));
        wscore::WsdlLoader(model, nullptr).walk(doc, "http://127.0.0.1/f.wsdl");
        char pattern[] = "/tmp/nv-fuzz-files-XXXXXX";
        directory = std::string(mkdtemp(pattern)) + "/";
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks plain XML or DIME framing.
    bool dime = data[0] & 1;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    nv::soap::Reader reader;
    if (!(dime ? reader.loadDime(bytes) : reader.load(bytes)))
        return 0;
    const wscore::WsdlOperation* op =
        fixture().model.service("S")->operation(dime ? "Files" : "Op");
    std::vector<wscore::FlatRecord> out;
    std::string error;
    wscore::mapResponse({fixture().model, *op, fixture().directory}, reader, out, error);
    // Flattened output always starts at level 1 and never jumps deeper by more than one.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].level < 1)
            __builtin_trap();
        if (i > 0 && out[i].level > out[i - 1].level + 1)
            __builtin_trap();
    }
    return 0;
}
