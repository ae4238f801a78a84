#include "examples/demo_service/wsdl_document.h"

namespace nv::demo {

namespace {

constexpr std::string_view kHostPlaceholder = "@HOSTPORT@";

// Kept as one literal so that what the service answers is exactly what is read here.
constexpr std::string_view kWsdl = R"wsdl(<?xml version="1.0" encoding="UTF-8"?>
<wsdl:definitions name="SondarDemo" targetNamespace="urn:sondar:demo"
    xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/"
    xmlns:dime="http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/"
    xmlns:tns="urn:sondar:demo"
    xmlns:enc="urn:sondar:demo:encoded">
  <wsdl:documentation>Sondar's demo service: the same kinds of data through a document/literal
    port and an rpc/encoded port, with headers, faults, binary content, a DIME attachment and
    HTTP Basic authentication (user demo, password demo) on GetSecret.</wsdl:documentation>

  <wsdl:types>
    <xsd:schema targetNamespace="urn:sondar:demo" elementFormDefault="qualified">
      <xsd:simpleType name="CalculationOperator">
        <xsd:restriction base="xsd:string">
          <xsd:enumeration value="Add"/>
          <xsd:enumeration value="Subtract"/>
          <xsd:enumeration value="Multiply"/>
          <xsd:enumeration value="Divide"/>
        </xsd:restriction>
      </xsd:simpleType>
      <xsd:simpleType name="MembershipStatus">
        <xsd:restriction base="xsd:string">
          <xsd:enumeration value="Active"/>
          <xsd:enumeration value="Suspended"/>
          <xsd:enumeration value="Closed"/>
        </xsd:restriction>
      </xsd:simpleType>
      <xsd:complexType name="Address">
        <xsd:sequence>
          <xsd:element name="street" type="xsd:string"/>
          <xsd:element name="city" type="xsd:string"/>
          <xsd:element name="postalCode" type="xsd:string" minOccurs="0"/>
          <xsd:element name="country" type="xsd:string"/>
        </xsd:sequence>
      </xsd:complexType>
      <xsd:complexType name="Person">
        <xsd:sequence>
          <xsd:element name="name" type="xsd:string"/>
          <xsd:element name="age" type="xsd:int"/>
          <xsd:element name="height" type="xsd:double"/>
          <xsd:element name="balance" type="xsd:decimal"/>
          <xsd:element name="member" type="xsd:boolean"/>
          <xsd:element name="status" type="tns:MembershipStatus"/>
          <xsd:element name="birthDate" type="xsd:dateTime"/>
          <xsd:element name="email" type="xsd:string" minOccurs="0"/>
          <xsd:element name="address" type="tns:Address" minOccurs="0"/>
          <xsd:element name="phone" type="xsd:string" minOccurs="0" maxOccurs="unbounded"/>
        </xsd:sequence>
        <xsd:attribute name="id" type="xsd:int" use="required"/>
      </xsd:complexType>
      <xsd:complexType name="Shape">
        <xsd:sequence>
          <xsd:element name="name" type="xsd:string"/>
          <xsd:element name="color" type="xsd:string"/>
        </xsd:sequence>
      </xsd:complexType>
      <xsd:complexType name="Circle">
        <xsd:complexContent>
          <xsd:extension base="tns:Shape">
            <xsd:sequence>
              <xsd:element name="radius" type="xsd:double"/>
            </xsd:sequence>
          </xsd:extension>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="Rectangle">
        <xsd:complexContent>
          <xsd:extension base="tns:Shape">
            <xsd:sequence>
              <xsd:element name="width" type="xsd:double"/>
              <xsd:element name="height" type="xsd:double"/>
            </xsd:sequence>
          </xsd:extension>
        </xsd:complexContent>
      </xsd:complexType>

      <xsd:element name="EchoString">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="text" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="EchoStringResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="EchoStringResult" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="Calculate">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="a" type="xsd:double"/>
            <xsd:element name="b" type="xsd:double"/>
            <xsd:element name="operator" type="tns:CalculationOperator"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="CalculateResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="CalculateResult" type="xsd:double"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetPerson">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="id" type="xsd:int"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetPersonResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="person" type="tns:Person"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="ValidatePerson">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="person" type="tns:Person"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="ValidatePersonResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="valid" type="xsd:boolean"/>
            <xsd:element name="summary" type="xsd:string"/>
            <xsd:element name="problem" type="xsd:string" minOccurs="0" maxOccurs="unbounded"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="ComputeStatistics">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="value" type="xsd:double" minOccurs="0" maxOccurs="unbounded"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="ComputeStatisticsResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="count" type="xsd:int"/>
            <xsd:element name="sum" type="xsd:double"/>
            <xsd:element name="mean" type="xsd:double" minOccurs="0"/>
            <xsd:element name="minimum" type="xsd:double" minOccurs="0"/>
            <xsd:element name="maximum" type="xsd:double" minOccurs="0"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetShape">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="name" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetShapeResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="shape" type="tns:Shape"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetSessionInfo">
        <xsd:complexType>
          <xsd:sequence/>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetSessionInfoResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="sessionKnown" type="xsd:boolean"/>
            <xsd:element name="sessionId" type="xsd:string" minOccurs="0"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="SessionHeader">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="sessionId" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="SessionEcho">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="sessionId" type="xsd:string"/>
            <xsd:element name="receivedAt" type="xsd:dateTime"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetImage">
        <xsd:complexType>
          <xsd:sequence/>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetImageResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="mimeType" type="xsd:string"/>
            <xsd:element name="image" type="xsd:base64Binary"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="Fail">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="faultCode" type="xsd:string" minOccurs="0"/>
            <xsd:element name="message" type="xsd:string" minOccurs="0"/>
            <xsd:element name="errorCode" type="xsd:int" minOccurs="0"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="FailResponse">
        <xsd:complexType>
          <xsd:sequence/>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="FailDetail">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="errorCode" type="xsd:int"/>
            <xsd:element name="reason" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetSecret">
        <xsd:complexType>
          <xsd:sequence/>
        </xsd:complexType>
      </xsd:element>
      <xsd:element name="GetSecretResponse">
        <xsd:complexType>
          <xsd:sequence>
            <xsd:element name="user" type="xsd:string"/>
            <xsd:element name="secret" type="xsd:string"/>
          </xsd:sequence>
        </xsd:complexType>
      </xsd:element>
    </xsd:schema>

    <xsd:schema targetNamespace="urn:sondar:demo:encoded">
      <xsd:import namespace="http://schemas.xmlsoap.org/soap/encoding/"/>
      <xsd:import namespace="http://schemas.xmlsoap.org/wsdl/"/>
      <xsd:complexType name="ArrayOfString">
        <xsd:complexContent>
          <xsd:restriction base="soapenc:Array">
            <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/>
          </xsd:restriction>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="ArrayOfArrayOfInt">
        <xsd:complexContent>
          <xsd:restriction base="soapenc:Array">
            <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[][]"/>
          </xsd:restriction>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="IntGrid">
        <xsd:complexContent>
          <xsd:restriction base="soapenc:Array">
            <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[,]"/>
          </xsd:restriction>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="ArrayOfInt">
        <xsd:complexContent>
          <xsd:restriction base="soapenc:Array">
            <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[]"/>
          </xsd:restriction>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="Member">
        <xsd:sequence>
          <xsd:element name="name" type="xsd:string"/>
          <xsd:element name="role" type="xsd:string"/>
          <xsd:element name="age" type="xsd:int"/>
          <xsd:element name="active" type="xsd:boolean"/>
          <xsd:element name="joined" type="xsd:dateTime"/>
        </xsd:sequence>
      </xsd:complexType>
      <xsd:complexType name="ArrayOfMember">
        <xsd:complexContent>
          <xsd:restriction base="soapenc:Array">
            <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="enc:Member[]"/>
          </xsd:restriction>
        </xsd:complexContent>
      </xsd:complexType>
      <xsd:complexType name="Team">
        <xsd:sequence>
          <xsd:element name="name" type="xsd:string"/>
          <xsd:element name="leader" type="enc:Member"/>
          <xsd:element name="members" type="enc:ArrayOfMember"/>
        </xsd:sequence>
      </xsd:complexType>
    </xsd:schema>
  </wsdl:types>

  <wsdl:message name="EchoStringInput">
    <wsdl:part name="parameters" element="tns:EchoString"/>
  </wsdl:message>
  <wsdl:message name="EchoStringOutput">
    <wsdl:part name="parameters" element="tns:EchoStringResponse"/>
  </wsdl:message>
  <wsdl:message name="CalculateInput">
    <wsdl:part name="parameters" element="tns:Calculate"/>
  </wsdl:message>
  <wsdl:message name="CalculateOutput">
    <wsdl:part name="parameters" element="tns:CalculateResponse"/>
  </wsdl:message>
  <wsdl:message name="GetPersonInput">
    <wsdl:part name="parameters" element="tns:GetPerson"/>
  </wsdl:message>
  <wsdl:message name="GetPersonOutput">
    <wsdl:part name="parameters" element="tns:GetPersonResponse"/>
  </wsdl:message>
  <wsdl:message name="ValidatePersonInput">
    <wsdl:part name="parameters" element="tns:ValidatePerson"/>
  </wsdl:message>
  <wsdl:message name="ValidatePersonOutput">
    <wsdl:part name="parameters" element="tns:ValidatePersonResponse"/>
  </wsdl:message>
  <wsdl:message name="ComputeStatisticsInput">
    <wsdl:part name="parameters" element="tns:ComputeStatistics"/>
  </wsdl:message>
  <wsdl:message name="ComputeStatisticsOutput">
    <wsdl:part name="parameters" element="tns:ComputeStatisticsResponse"/>
  </wsdl:message>
  <wsdl:message name="GetShapeInput">
    <wsdl:part name="parameters" element="tns:GetShape"/>
  </wsdl:message>
  <wsdl:message name="GetShapeOutput">
    <wsdl:part name="parameters" element="tns:GetShapeResponse"/>
  </wsdl:message>
  <wsdl:message name="GetSessionInfoInput">
    <wsdl:part name="parameters" element="tns:GetSessionInfo"/>
  </wsdl:message>
  <wsdl:message name="GetSessionInfoOutput">
    <wsdl:part name="parameters" element="tns:GetSessionInfoResponse"/>
  </wsdl:message>
  <wsdl:message name="SessionHeaderMessage">
    <wsdl:part name="SessionHeader" element="tns:SessionHeader"/>
  </wsdl:message>
  <wsdl:message name="SessionEchoMessage">
    <wsdl:part name="SessionEcho" element="tns:SessionEcho"/>
  </wsdl:message>
  <wsdl:message name="GetImageInput">
    <wsdl:part name="parameters" element="tns:GetImage"/>
  </wsdl:message>
  <wsdl:message name="GetImageOutput">
    <wsdl:part name="parameters" element="tns:GetImageResponse"/>
  </wsdl:message>
  <wsdl:message name="FailInput">
    <wsdl:part name="parameters" element="tns:Fail"/>
  </wsdl:message>
  <wsdl:message name="FailOutput">
    <wsdl:part name="parameters" element="tns:FailResponse"/>
  </wsdl:message>
  <wsdl:message name="FailFault">
    <wsdl:part name="detail" element="tns:FailDetail"/>
  </wsdl:message>
  <wsdl:message name="GetSecretInput">
    <wsdl:part name="parameters" element="tns:GetSecret"/>
  </wsdl:message>
  <wsdl:message name="GetSecretOutput">
    <wsdl:part name="parameters" element="tns:GetSecretResponse"/>
  </wsdl:message>

  <wsdl:message name="AddRequest">
    <wsdl:part name="a" type="xsd:int"/>
    <wsdl:part name="b" type="xsd:int"/>
  </wsdl:message>
  <wsdl:message name="AddResponse">
    <wsdl:part name="return" type="xsd:int"/>
  </wsdl:message>
  <wsdl:message name="EchoStringArrayRequest">
    <wsdl:part name="values" type="enc:ArrayOfString"/>
  </wsdl:message>
  <wsdl:message name="EchoStringArrayResponse">
    <wsdl:part name="return" type="enc:ArrayOfString"/>
  </wsdl:message>
  <wsdl:message name="TransposeMatrixRequest">
    <wsdl:part name="matrix" type="enc:ArrayOfArrayOfInt"/>
  </wsdl:message>
  <wsdl:message name="TransposeMatrixResponse">
    <wsdl:part name="return" type="enc:ArrayOfArrayOfInt"/>
  </wsdl:message>
  <wsdl:message name="GetMultiplicationTableRequest">
    <wsdl:part name="rows" type="xsd:int"/>
    <wsdl:part name="columns" type="xsd:int"/>
  </wsdl:message>
  <wsdl:message name="GetMultiplicationTableResponse">
    <wsdl:part name="return" type="enc:IntGrid"/>
  </wsdl:message>
  <wsdl:message name="ScaleGridRequest">
    <wsdl:part name="grid" type="enc:IntGrid"/>
    <wsdl:part name="factor" type="xsd:int"/>
  </wsdl:message>
  <wsdl:message name="ScaleGridResponse">
    <wsdl:part name="return" type="enc:IntGrid"/>
  </wsdl:message>
  <wsdl:message name="GetSparseSquaresRequest">
    <wsdl:part name="size" type="xsd:int"/>
  </wsdl:message>
  <wsdl:message name="GetSparseSquaresResponse">
    <wsdl:part name="return" type="enc:ArrayOfInt"/>
  </wsdl:message>
  <wsdl:message name="EchoMemberRequest">
    <wsdl:part name="member" type="enc:Member"/>
  </wsdl:message>
  <wsdl:message name="EchoMemberResponse">
    <wsdl:part name="return" type="enc:Member"/>
  </wsdl:message>
  <wsdl:message name="GetTeamRequest">
    <wsdl:part name="teamName" type="xsd:string"/>
  </wsdl:message>
  <wsdl:message name="GetTeamResponse">
    <wsdl:part name="return" type="enc:Team"/>
  </wsdl:message>
  <wsdl:message name="EchoAttachmentRequest">
    <wsdl:part name="document" type="xsd:base64Binary"/>
  </wsdl:message>
  <wsdl:message name="EchoAttachmentResponse">
    <wsdl:part name="return" type="xsd:base64Binary"/>
  </wsdl:message>

  <wsdl:portType name="DemoDocumentPortType">
    <wsdl:operation name="EchoString">
      <wsdl:documentation>Answers the text it is given.</wsdl:documentation>
      <wsdl:input message="tns:EchoStringInput"/>
      <wsdl:output message="tns:EchoStringOutput"/>
    </wsdl:operation>
    <wsdl:operation name="Calculate">
      <wsdl:documentation>a (operator) b; dividing by zero is a Client fault.</wsdl:documentation>
      <wsdl:input message="tns:CalculateInput"/>
      <wsdl:output message="tns:CalculateOutput"/>
    </wsdl:operation>
    <wsdl:operation name="GetPerson">
      <wsdl:documentation>Person 1 has every optional field, person 2 none.</wsdl:documentation>
      <wsdl:input message="tns:GetPersonInput"/>
      <wsdl:output message="tns:GetPersonOutput"/>
    </wsdl:operation>
    <wsdl:operation name="ValidatePerson">
      <wsdl:documentation>Checks a person and lists what is wrong with it.</wsdl:documentation>
      <wsdl:input message="tns:ValidatePersonInput"/>
      <wsdl:output message="tns:ValidatePersonOutput"/>
    </wsdl:operation>
    <wsdl:operation name="ComputeStatistics">
      <wsdl:documentation>Count, sum, mean, minimum and maximum of the values.</wsdl:documentation>
      <wsdl:input message="tns:ComputeStatisticsInput"/>
      <wsdl:output message="tns:ComputeStatisticsOutput"/>
    </wsdl:operation>
    <wsdl:operation name="GetShape">
      <wsdl:documentation>Declared as Shape, answered as Circle or Rectangle.</wsdl:documentation>
      <wsdl:input message="tns:GetShapeInput"/>
      <wsdl:output message="tns:GetShapeOutput"/>
    </wsdl:operation>
    <wsdl:operation name="GetSessionInfo">
      <wsdl:documentation>Reads SessionHeader, answers SessionEcho.</wsdl:documentation>
      <wsdl:input message="tns:GetSessionInfoInput"/>
      <wsdl:output message="tns:GetSessionInfoOutput"/>
    </wsdl:operation>
    <wsdl:operation name="GetImage">
      <wsdl:documentation>A small PNG picture as base64Binary.</wsdl:documentation>
      <wsdl:input message="tns:GetImageInput"/>
      <wsdl:output message="tns:GetImageOutput"/>
    </wsdl:operation>
    <wsdl:operation name="Fail">
      <wsdl:documentation>Always answers a SOAP fault with a FailDetail.</wsdl:documentation>
      <wsdl:input message="tns:FailInput"/>
      <wsdl:output message="tns:FailOutput"/>
      <wsdl:fault name="FailFault" message="tns:FailFault"/>
    </wsdl:operation>
    <wsdl:operation name="GetSecret">
      <wsdl:documentation>Needs HTTP Basic authentication (demo / demo).</wsdl:documentation>
      <wsdl:input message="tns:GetSecretInput"/>
      <wsdl:output message="tns:GetSecretOutput"/>
    </wsdl:operation>
  </wsdl:portType>

  <wsdl:portType name="DemoRpcPortType">
    <wsdl:operation name="Add" parameterOrder="a b">
      <wsdl:documentation>a + b; a sum outside xsd:int is a Client fault.</wsdl:documentation>
      <wsdl:input message="tns:AddRequest"/>
      <wsdl:output message="tns:AddResponse"/>
    </wsdl:operation>
    <wsdl:operation name="EchoStringArray" parameterOrder="values">
      <wsdl:documentation>Answers the array it is given.</wsdl:documentation>
      <wsdl:input message="tns:EchoStringArrayRequest"/>
      <wsdl:output message="tns:EchoStringArrayResponse"/>
    </wsdl:operation>
    <wsdl:operation name="TransposeMatrix" parameterOrder="matrix">
      <wsdl:documentation>Swaps rows and columns of an array of int arrays.</wsdl:documentation>
      <wsdl:input message="tns:TransposeMatrixRequest"/>
      <wsdl:output message="tns:TransposeMatrixResponse"/>
    </wsdl:operation>
    <wsdl:operation name="GetMultiplicationTable" parameterOrder="rows columns">
      <wsdl:documentation>Cell (r, c) of a 2-D array holds r * c; 1 to 20.</wsdl:documentation>
      <wsdl:input message="tns:GetMultiplicationTableRequest"/>
      <wsdl:output message="tns:GetMultiplicationTableResponse"/>
    </wsdl:operation>
    <wsdl:operation name="ScaleGrid" parameterOrder="grid factor">
      <wsdl:documentation>Multiplies every cell of a 2-D array; answers the same shape.</wsdl:documentation>
      <wsdl:input message="tns:ScaleGridRequest"/>
      <wsdl:output message="tns:ScaleGridResponse"/>
    </wsdl:operation>
    <wsdl:operation name="GetSparseSquares" parameterOrder="size">
      <wsdl:documentation>An array of size places, only the perfect squares sent; 1 to 100.</wsdl:documentation>
      <wsdl:input message="tns:GetSparseSquaresRequest"/>
      <wsdl:output message="tns:GetSparseSquaresResponse"/>
    </wsdl:operation>
    <wsdl:operation name="EchoMember" parameterOrder="member">
      <wsdl:documentation>Answers the structure it is given.</wsdl:documentation>
      <wsdl:input message="tns:EchoMemberRequest"/>
      <wsdl:output message="tns:EchoMemberResponse"/>
    </wsdl:operation>
    <wsdl:operation name="GetTeam" parameterOrder="teamName">
      <wsdl:documentation>Multi-reference values; the leader is shared.</wsdl:documentation>
      <wsdl:input message="tns:GetTeamRequest"/>
      <wsdl:output message="tns:GetTeamResponse"/>
    </wsdl:operation>
    <wsdl:operation name="EchoAttachment" parameterOrder="document">
      <wsdl:documentation>Echoes a DIME attachment as a new one.</wsdl:documentation>
      <wsdl:input message="tns:EchoAttachmentRequest"/>
      <wsdl:output message="tns:EchoAttachmentResponse"/>
    </wsdl:operation>
  </wsdl:portType>

  <wsdl:binding name="DemoDocumentBinding" type="tns:DemoDocumentPortType">
    <soap:binding style="document" transport="http://schemas.xmlsoap.org/soap/http"/>
    <wsdl:operation name="EchoString">
      <soap:operation soapAction="urn:sondar:demo/EchoString" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="Calculate">
      <soap:operation soapAction="urn:sondar:demo/Calculate" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetPerson">
      <soap:operation soapAction="urn:sondar:demo/GetPerson" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="ValidatePerson">
      <soap:operation soapAction="urn:sondar:demo/ValidatePerson" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="ComputeStatistics">
      <soap:operation soapAction="urn:sondar:demo/ComputeStatistics" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetShape">
      <soap:operation soapAction="urn:sondar:demo/GetShape" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetSessionInfo">
      <soap:operation soapAction="urn:sondar:demo/GetSessionInfo" style="document"/>
      <wsdl:input>
        <soap:body use="literal" parts="parameters"/>
        <soap:header message="tns:SessionHeaderMessage" part="SessionHeader" use="literal"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="literal" parts="parameters"/>
        <soap:header message="tns:SessionEchoMessage" part="SessionEcho" use="literal"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetImage">
      <soap:operation soapAction="urn:sondar:demo/GetImage" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="Fail">
      <soap:operation soapAction="urn:sondar:demo/Fail" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
      <wsdl:fault name="FailFault"><soap:fault name="FailFault" use="literal"/></wsdl:fault>
    </wsdl:operation>
    <wsdl:operation name="GetSecret">
      <soap:operation soapAction="urn:sondar:demo/GetSecret" style="document"/>
      <wsdl:input><soap:body use="literal"/></wsdl:input>
      <wsdl:output><soap:body use="literal"/></wsdl:output>
    </wsdl:operation>
  </wsdl:binding>

  <wsdl:binding name="DemoRpcBinding" type="tns:DemoRpcPortType">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <wsdl:operation name="Add">
      <soap:operation soapAction="urn:sondar:demo:rpc#Add" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="EchoStringArray">
      <soap:operation soapAction="urn:sondar:demo:rpc#EchoStringArray" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="TransposeMatrix">
      <soap:operation soapAction="urn:sondar:demo:rpc#TransposeMatrix" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetMultiplicationTable">
      <soap:operation soapAction="urn:sondar:demo:rpc#GetMultiplicationTable" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="ScaleGrid">
      <soap:operation soapAction="urn:sondar:demo:rpc#ScaleGrid" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetSparseSquares">
      <soap:operation soapAction="urn:sondar:demo:rpc#GetSparseSquares" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="EchoMember">
      <soap:operation soapAction="urn:sondar:demo:rpc#EchoMember" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="GetTeam">
      <soap:operation soapAction="urn:sondar:demo:rpc#GetTeam" style="rpc"/>
      <wsdl:input>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
    <wsdl:operation name="EchoAttachment">
      <soap:operation soapAction="urn:sondar:demo:rpc#EchoAttachment" style="rpc"/>
      <wsdl:input>
        <dime:message layout="http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout"
            wsdl:required="true"/>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:input>
      <wsdl:output>
        <dime:message layout="http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout"
            wsdl:required="true"/>
        <soap:body use="encoded" namespace="urn:sondar:demo:rpc"
            encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>
      </wsdl:output>
    </wsdl:operation>
  </wsdl:binding>

  <wsdl:service name="DemoService">
    <wsdl:documentation>Both ports answer on the same local server.</wsdl:documentation>
    <wsdl:port name="DemoDocumentPort" binding="tns:DemoDocumentBinding">
      <soap:address location="http://@HOSTPORT@/demo/doclit"/>
    </wsdl:port>
    <wsdl:port name="DemoRpcPort" binding="tns:DemoRpcBinding">
      <soap:address location="http://@HOSTPORT@/demo/rpcenc"/>
    </wsdl:port>
  </wsdl:service>
</wsdl:definitions>
)wsdl";

}  // namespace

std::string demoWsdl(std::string_view hostPort) {
    std::string out;
    out.reserve(kWsdl.size() + 2 * hostPort.size());
    std::size_t from = 0;
    for (std::size_t at = kWsdl.find(kHostPlaceholder); at != std::string_view::npos;
         at = kWsdl.find(kHostPlaceholder, from)) {
        out.append(kWsdl.substr(from, at - from));
        out.append(hostPort);
        from = at + kHostPlaceholder.size();
    }
    out.append(kWsdl.substr(from));
    return out;
}

}  // namespace nv::demo
