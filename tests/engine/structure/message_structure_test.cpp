// Message structures as records: flattening, arrays, recursion, derivation, enumerations.
#include <gtest/gtest.h>

#include <tuple>

#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"
#include "tests/engine/support/model_fixture.h"

using namespace wscore;
using namespace wscore::test;

namespace {

using Lines = std::vector<std::string>;

TEST(MessageStructure, DocumentLiteralElementWithInlineSequence) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:element name="GetQuote"><xsd:complexType><xsd:sequence>
        <xsd:element name="symbol" type="xsd:string"/>
        <xsd:element name="count" type="xsd:int" minOccurs="0"/>
      </xsd:sequence></xsd:complexType></xsd:element>)"),
                           R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", ""));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 tns:GetQuote : tns:GetQuote [complex]", "2 tns:symbol : string",
                     "2 tns:count : int [optional]"}));
    // No parts in a direction: an empty structure.
    EXPECT_TRUE(m.structure("Svc", "Op", 0).empty());
}

TEST(MessageStructure, NamedComplexTypesAndArrays) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:complexType name="Address"><xsd:sequence><xsd:element name="city" type="xsd:string"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Person"><xsd:sequence>
        <xsd:element name="home" type="tns:Address"/>
        <xsd:element name="nick" type="xsd:string" maxOccurs="unbounded"/>
      </xsd:sequence></xsd:complexType>)"),
                           R"(<wsdl:part name="who" type="tns:Person"/>)", "", "rpc"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 who : tns:Person [complex]",
                     // A member of a named complex type ends with an empty data type; an rpc
                     // part has no prefix, so neither have its fields.
                     "2 home :  [complex]", "3 city : string",
                     // An array record, then one item record of the same name as a template.
                     "2 nick : string [array]", "3 nick : string"}));
}

TEST(MessageStructure, RecursiveTypesStopAndCanBeExpandedOnDemand) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:complexType name="Node"><xsd:sequence>
        <xsd:element name="label" type="xsd:string"/>
        <xsd:element name="next" type="tns:Node" minOccurs="0"/>
      </xsd:sequence></xsd:complexType>)"),
                           R"(<wsdl:part name="head" type="tns:Node"/>)", "", "rpc"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 head : tns:Node [complex]", "2 label : string",
                     "2 next : tns:Node [complex,optional]"}));
    std::vector<FlatRecord> more;
    flatten(*buildTypeTree(m.model, u"next", "tns:Node"), 3, more);
    EXPECT_EQ(describe(more), (Lines{"3 tns:next : tns:Node [complex]", "4 tns:label : string",
                                     "4 tns:next : tns:Node [complex,optional]"}));
    std::vector<FlatRecord> unknown;
    flatten(*buildTypeTree(m.model, u"x", "tns:Missing"), 2, unknown);
    EXPECT_EQ(describe(unknown), Lines{"2  : "});
}

// Invocation flattens its response tree while freeing it; the records must be the ones the
// tree gives when it is kept.
TEST(MessageStructure, FlatteningWhileReleasingGivesTheSameRecords) {
    LoadedModel m(
        wsdlWith(schemaOf(R"(
      <xsd:complexType name="Address"><xsd:sequence><xsd:element name="city" type="xsd:string"/>
        <xsd:element name="zip" type="xsd:string" maxOccurs="3"/></xsd:sequence>
        <xsd:attribute name="kind" type="xsd:string"/></xsd:complexType>
      <xsd:complexType name="Person"><xsd:sequence>
        <xsd:element name="home" type="tns:Address"/><xsd:element name="work" type="tns:Address"/>
        <xsd:element name="nick" type="xsd:string" maxOccurs="unbounded"/>
      </xsd:sequence></xsd:complexType>)"),
                 R"(<wsdl:part name="who" type="tns:Person"/><wsdl:part name="n" type="xsd:int"/>)",
                 "", "rpc"));
    const WsdlOperation* op = m.operation("Svc", "Op");
    ASSERT_NE(op, nullptr);
    const std::vector<std::unique_ptr<FieldRecord>> keptTree =
        buildMessageTree(m.model, *op, kDirectionInput);
    std::vector<FlatRecord> kept = flattenAll(keptTree, 2);
    std::vector<std::unique_ptr<FieldRecord>> tree =
        buildMessageTree(m.model, *op, kDirectionInput);
    std::vector<FlatRecord> released = flattenAll(std::move(tree), 2);
    EXPECT_TRUE(tree.empty());
    ASSERT_EQ(released.size(), kept.size());
    ASSERT_GT(kept.size(), 8u);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const FlatRecord& a = kept[i];
        const FlatRecord& b = released[i];
        EXPECT_EQ(
            std::tie(a.level, a.arrayMin, a.arrayMax, a.isArray, a.isComplexType, a.isAttribute,
                     a.isRequired, a.fieldName, a.dataType, a.theData, a.info, a.prefix),
            std::tie(b.level, b.arrayMin, b.arrayMax, b.isArray, b.isComplexType, b.isAttribute,
                     b.isRequired, b.fieldName, b.dataType, b.theData, b.info, b.prefix))
            << "record " << i;
    }
}

TEST(MessageStructure, AttributesComeFirstAndBaseMembersLast) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:complexType name="Root"><xsd:sequence><xsd:element name="rootField" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Base"><xsd:complexContent><xsd:extension base="tns:Root"><xsd:sequence>
        <xsd:element name="baseField" type="xsd:int"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Item"><xsd:complexContent><xsd:extension base="tns:Base">
        <xsd:sequence><xsd:element name="own" type="xsd:string"/></xsd:sequence>
        <xsd:attribute name="id" type="xsd:int" use="required"/>
        <xsd:attribute name="note" type="xsd:string"/>
      </xsd:extension></xsd:complexContent></xsd:complexType>)"),
                           R"(<wsdl:part name="item" type="tns:Item"/>)", "", "rpc"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 item : tns:Item [complex]", "2 id : int [attr]",
                     "2 note : string [attr,optional]", "2 own : string",
                     // One level of inheritance: Base's own member, not Root's.
                     "2 baseField : int"}));
}

TEST(MessageStructure, DerivedTypesAreOfferedAndAbstractTypesNotExpanded) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:complexType name="Shape"><xsd:sequence><xsd:element name="name" type="xsd:string"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Circle"><xsd:complexContent><xsd:extension base="tns:Shape"><xsd:sequence>
        <xsd:element name="r" type="xsd:double"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Square"><xsd:complexContent><xsd:extension base="tns:Shape"><xsd:sequence>
        <xsd:element name="side" type="xsd:double"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Animal" abstract="true"><xsd:sequence><xsd:element name="legs" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Dog"><xsd:complexContent><xsd:extension base="tns:Animal"/></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Holder"><xsd:sequence>
        <xsd:element name="shape" type="tns:Shape"/><xsd:element name="pet" type="tns:Animal"/>
      </xsd:sequence></xsd:complexType>)"),
                           R"(<wsdl:part name="h" type="tns:Holder"/>)", "", "rpc"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 h : tns:Holder [complex]",
                     "2 shape :  [complex] {tns:Shape|tns:Circle|tns:Square}", "3 name : string",
                     "2 pet :  [complex] {tns:Dog}"}));
}

TEST(MessageStructure, EnumerationsAreListedForInputOnly) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:simpleType name="Color"><xsd:restriction base="xsd:string">
        <xsd:enumeration value="Red"/><xsd:enumeration value="Green"/><xsd:enumeration value="Blue"/>
      </xsd:restriction></xsd:simpleType>
      <xsd:complexType name="Paint"><xsd:sequence><xsd:element name="color" type="tns:Color"/></xsd:sequence></xsd:complexType>)"),
                           R"(<wsdl:part name="p" type="tns:Paint"/>)",
                           R"(<wsdl:part name="p" type="tns:Paint"/>)", "rpc"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1))[1],
              "2 color : string [enum] {Red|Green|Blue}");
    EXPECT_EQ(describe(m.structure("Svc", "Op", 0))[1], "2 color : string");
}

TEST(MessageStructure, HeaderFieldsAreOptionalUnlessDeclaredRequired) {
    std::string wsdl =
        wsdlWith(schemaOf(R"(<xsd:element name="Auth"><xsd:complexType><xsd:sequence>
            <xsd:element name="user" type="xsd:string"/>
            <xsd:element name="pass" type="xsd:string" minOccurs="1"/>
          </xsd:sequence></xsd:complexType></xsd:element>
          <xsd:element name="Req" type="xsd:string"/>)"),
                 R"(<wsdl:part name="body" element="tns:Req"/>)", "", "document", "literal",
                 R"(<soap:header message="tns:Hdr" part="auth" use="literal"/>)");
    wsdl.replace(
        wsdl.find("<wsdl:portType"), 0,
        R"(<wsdl:message name="Hdr"><wsdl:part name="auth" element="tns:Auth"/></wsdl:message>)");
    LoadedModel m(wsdl);
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 tns:Auth : tns:Auth [complex,header,optional]",
                     // The header record's own prefix is not repeated on its direct fields.
                     "2 user : string [optional]", "2 pass : string", "1 tns:Req : string"}));
}

TEST(MessageStructure, SoapEncodedArraysGiveOneItemPerDimension) {
    const std::string decls =
        R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")";
    LoadedModel m(wsdlWith(
        schemaOf(R"(
      <xsd:complexType name="ArrayOfString"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[][]"/></xsd:restriction></xsd:complexContent></xsd:complexType>)",
                 decls),
        R"(<wsdl:part name="names" type="tns:ArrayOfString"/><wsdl:part name="grid" type="tns:Grid"/>)",
        "", "rpc", "encoded"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 names : tns:ArrayOfString [complex,array]", "2 string : string",
                     "1 grid : tns:Grid [complex,array]", "2 int : int [array]", "3 int : int"}));
}

// gSOAP's declarations spell the items out as a repeated "item": the array record holds that
// member array, which holds the one item. Arrays of such arrays, elements and header parts of
// such a type, and two-dimensional ones keep that form at every level.
TEST(MessageStructure, EncodedArraysThatSpellTheirItemsOut) {
    const std::string decls =
        R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")";
    LoadedModel m(wsdlWith(
        schemaOf(R"(
      <xsd:complexType name="ArrayOfint"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="ArrayOfArrayOfint"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:sequence><xsd:element name="item" type="tns:ArrayOfint" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="tns:ArrayOfint[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[,,]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:element name="tokens" type="tns:ArrayOfint"/>)",
                 decls),
        R"(<wsdl:part name="rows" type="tns:ArrayOfArrayOfint"/><wsdl:part name="grid" type="tns:Grid"/>
           <wsdl:part name="tokens" element="tns:tokens"/>)",
        "", "rpc", "encoded"));
    EXPECT_EQ(describe(m.structure("Svc", "Op", -1)),
              (Lines{"1 rows : tns:ArrayOfArrayOfint [complex,array]",
                     "2 item : tns:ArrayOfint [complex,array,optional]",
                     "3 item : tns:ArrayOfint [complex,array]", "4 item : int [array,optional]",
                     "5 item : int", "1 grid : tns:Grid [complex,array] {1,1,1}",
                     "2 item : int [array,optional]", "3 item : int",
                     "1 tns:tokens : tns:tokens [complex,array]", "2 item : int [array,optional]",
                     "3 item : int"}));
}

TEST(MessageStructure, DeepAndHugeSchemasStayBounded) {
    // A chain of 300 distinct nested types: the records stop at the depth limit.
    std::string types;
    for (int i = 0; i < 300; ++i)
        types += "<xsd:complexType name=\"T" + std::to_string(i) +
                 "\"><xsd:sequence><xsd:element name=\"e\" type=\"tns:T" + std::to_string(i + 1) +
                 "\"/></xsd:sequence></xsd:complexType>";
    // Plus a type fan-out that would describe 2^40 records if expanded in full.
    for (int i = 0; i < 40; ++i)
        types += "<xsd:complexType name=\"F" + std::to_string(i) +
                 "\"><xsd:sequence><xsd:element name=\"a\" type=\"tns:F" + std::to_string(i + 1) +
                 "\"/><xsd:element name=\"b\" type=\"tns:F" + std::to_string(i + 1) +
                 "\"/></xsd:sequence></xsd:complexType>";
    LoadedModel m(
        wsdlWith(schemaOf(types),
                 R"(<wsdl:part name="deep" type="tns:T0"/><wsdl:part name="wide" type="tns:F0"/>)",
                 "", "rpc"));
    std::vector<FlatRecord> records = m.structure("Svc", "Op", -1);
    int maxLevel = 0;
    for (const auto& r : records)
        maxLevel = std::max(maxLevel, r.level);
    EXPECT_LE(maxLevel, kMaxRecordDepth + 1);
    // Past the budget, members still being listed are added unexpanded: a few more, no more.
    EXPECT_LE(records.size(), kMaxRecordsPerExpansion + 200);
    EXPECT_GE(records.size(), kMaxRecordsPerExpansion);
}

}  // namespace
