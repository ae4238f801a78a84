// The schema model: declarations, types, arrays, derivation and imports.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/support/model_fixture.h"

using namespace wscore;
using namespace wscore::test;

namespace {

LoadedModel withSchema(const std::string& body,
                       const std::string& attributes = "elementFormDefault=\"qualified\"") {
    return LoadedModel(wsdlWith(schemaOf(body, attributes), "", ""));
}

TEST(SchemaModel, OccurrenceAttributes) {
    LoadedModel m = withSchema(R"(<xsd:complexType name="T"><xsd:sequence>
        <xsd:element name="Item" type="xsd:string" maxOccurs="unbounded"/>
        <xsd:element name="one" type="xsd:int" maxOccurs="1"/>
        <xsd:element name="five" type="xsd:int" maxOccurs="5"/>
        <xsd:element name="opt" type="xsd:int" minOccurs="0"/>
        <xsd:element name="plain" type="xsd:int"/>
      </xsd:sequence></xsd:complexType>)");
    const SchemaNode* t = m.type("tns:T");
    ASSERT_NE(t, nullptr);
    const SchemaNode* item = t->memberNode("Item");
    EXPECT_TRUE(item->array);
    EXPECT_EQ(item->dimensions, 1);
    EXPECT_EQ(item->maxOccurs, 0);
    EXPECT_EQ(item->typeName, "string");
    EXPECT_FALSE(t->memberNode("one")->array);
    EXPECT_EQ(t->memberNode("one")->maxOccurs, 1);
    EXPECT_TRUE(t->memberNode("five")->array);
    EXPECT_EQ(t->memberNode("five")->maxOccurs, 5);
    EXPECT_FALSE(t->memberNode("opt")->required);
    EXPECT_TRUE(t->memberNode("plain")->required);
    EXPECT_FALSE(t->memberNode("plain")->minimumGiven);
}

TEST(SchemaModel, ExtensionOfAPrefixedBaseRegistersTheDerivedType) {
    LoadedModel m = withSchema(R"(
      <xsd:complexType name="Base"><xsd:sequence><xsd:element name="id" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Derived"><xsd:complexContent><xsd:extension base="tns:Base">
        <xsd:sequence><xsd:element name="extra" type="xsd:string"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Text"><xsd:simpleContent><xsd:extension base="xsd:string">
        <xsd:attribute name="lang" type="xsd:string"/></xsd:extension></xsd:simpleContent></xsd:complexType>)");
    const SchemaNode* d = m.type("tns:Derived");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->complex);
    EXPECT_EQ(d->baseTypeName, "tns:Base");
    EXPECT_EQ(d->memberNames(), std::vector<std::string>{"extra"});
    EXPECT_EQ(m.model.derivedTypes.at("tns:Base"), std::vector<std::string>{"tns:Derived"});
    // Simple content is a simple value: not complex, typed by its base.
    const SchemaNode* text = m.type("tns:Text");
    EXPECT_FALSE(text->complex);
    EXPECT_FALSE(text->simpleContent);
    EXPECT_EQ(text->typeName, "string");
}

TEST(SchemaModel, EnumerationsAndLists) {
    LoadedModel m = withSchema(R"(
      <xsd:simpleType name="Color"><xsd:restriction base="xsd:string">
        <xsd:enumeration value="Red"/><xsd:enumeration value="Green"/><xsd:enumeration value="Blue"/>
      </xsd:restriction></xsd:simpleType>
      <xsd:simpleType name="Ints"><xsd:list itemType="xsd:int"/></xsd:simpleType>)");
    const SchemaNode* color = m.type("tns:Color");
    EXPECT_EQ(color->typeName, "string");
    EXPECT_TRUE(color->enumerated);
    EXPECT_EQ(color->memberNames(), (std::vector<std::string>{"Red", "Green", "Blue"}));
    const SchemaNode* ints = m.type("tns:Ints");
    EXPECT_TRUE(ints->list);
    EXPECT_TRUE(ints->array);
}

TEST(SchemaModel, SoapEncodedArrays) {
    const std::string decls =
        R"(elementFormDefault="qualified" xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")";
    LoadedModel m = withSchema(R"(
      <xsd:complexType name="ArrayOfString"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Matrix"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[][]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Fixed"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="tns:Thing[5]"/></xsd:restriction></xsd:complexContent></xsd:complexType>)",
                               decls);
    const SchemaNode* a = m.type("tns:ArrayOfString");
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->array);
    EXPECT_EQ(a->typeName, "string");
    EXPECT_EQ(a->name, "string");
    EXPECT_EQ(a->dimensions, 1);
    EXPECT_EQ(m.type("tns:Matrix")->dimensions, 2);
    EXPECT_EQ(m.type("tns:Matrix")->typeName, "int");
    // A bracket with a size (or a rectangular "[,]") still names the item type before it:
    // "tns:Thing[5]" could not be written as an element name. One dimension: such arrays
    // travel flat.
    EXPECT_EQ(m.type("tns:Fixed")->typeName, "tns:Thing");
    EXPECT_EQ(m.type("tns:Fixed")->dimensions, 1);
}

TEST(SchemaModel, AnonymousTypesAreNamedByTheirPath) {
    LoadedModel m = withSchema(R"(
      <xsd:element name="Order"><xsd:complexType><xsd:sequence>
        <xsd:element name="line"><xsd:complexType><xsd:sequence>
          <xsd:element name="product"><xsd:complexType><xsd:sequence>
            <xsd:element name="sku" type="xsd:string"/></xsd:sequence></xsd:complexType></xsd:element>
        </xsd:sequence></xsd:complexType></xsd:element>
      </xsd:sequence></xsd:complexType></xsd:element>)");
    const SchemaNode* order = m.type("tns:Order");
    ASSERT_NE(order, nullptr);
    EXPECT_TRUE(order->complex);
    EXPECT_TRUE(order->elementDeclaration);
    EXPECT_EQ(order->typeName, "tns:Order");
    EXPECT_EQ(order->memberNode("line")->typeName, "tns:Order:line");
    const SchemaNode* line = m.type("tns:Order:line");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->name, "line");
    EXPECT_NE(m.type("tns:Order:line:product"), nullptr);
}

TEST(SchemaModel, DataSetPatternAndAny) {
    LoadedModel m = withSchema(R"(
      <xsd:element name="GetDataResult"><xsd:complexType><xsd:sequence>
        <xsd:element ref="xsd:schema"/><xsd:any/></xsd:sequence></xsd:complexType></xsd:element>
      <xsd:complexType name="Open"><xsd:sequence><xsd:element name="a" type="xsd:string"/><xsd:any/>
        </xsd:sequence></xsd:complexType>)");
    const SchemaNode* ds = m.type("tns:GetDataResult");
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->memberNames(), std::vector<std::string>{"schema"});
    EXPECT_EQ(ds->memberNode("schema")->typeName, "<dynamic>");
    EXPECT_TRUE(ds->complex);
    const SchemaNode* open = m.type("tns:Open");
    EXPECT_FALSE(open->complex);
    EXPECT_EQ(open->typeName, "any");
}

TEST(SchemaModel, RepeatingChoicesRepeatAndSequencesDoNot) {
    LoadedModel m = withSchema(R"(
      <xsd:complexType name="Seq"><xsd:sequence maxOccurs="unbounded"><xsd:element name="a" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Cho"><xsd:choice maxOccurs="unbounded">
        <xsd:element name="b"><xsd:complexType><xsd:sequence><xsd:element name="c" type="xsd:int"/></xsd:sequence></xsd:complexType></xsd:element>
      </xsd:choice></xsd:complexType>
      <xsd:complexType name="Nested"><xsd:sequence><xsd:element name="first" type="xsd:int"/>
        <xsd:choice><xsd:element name="left" type="xsd:int"/><xsd:element name="right" type="xsd:int"/></xsd:choice>
      </xsd:sequence></xsd:complexType>)");
    EXPECT_FALSE(m.type("tns:Seq")->memberNode("a")->array);
    EXPECT_TRUE(m.type("tns:Cho")->repeatingGroup);
    EXPECT_TRUE(m.type("tns:Cho")->memberNode("b")->array);
    // Only the model groups the readers know are read: a choice nested in a sequence is not.
    EXPECT_EQ(m.type("tns:Nested")->memberNames(), std::vector<std::string>{"first"});
}

TEST(SchemaModel, QualificationFollowsFormAndSchemaDefaults) {
    LoadedModel unqualified = withSchema(R"(
      <xsd:element name="Top"><xsd:complexType><xsd:sequence>
        <xsd:element name="local" type="xsd:string"/>
        <xsd:element name="forced" type="xsd:string" form="qualified"/>
        <xsd:element ref="tns:Other"/>
      </xsd:sequence><xsd:attribute name="at" type="xsd:string"/></xsd:complexType></xsd:element>
      <xsd:element name="Other" type="xsd:string"/>)",
                                         "");
    const SchemaNode* top = unqualified.type("tns:Top");
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->qualified);
    EXPECT_EQ(top->targetNamespace, "urn:test");
    EXPECT_FALSE(top->memberNode("local")->qualified);
    EXPECT_TRUE(top->memberNode("forced")->qualified);
    EXPECT_TRUE(top->memberNode("tns:Other")->qualified);
    EXPECT_FALSE(top->memberNode("at")->qualified);

    LoadedModel qualified = withSchema(R"(<xsd:complexType name="T"><xsd:sequence>
        <xsd:element name="local" type="xsd:string"/>
        <xsd:element name="off" type="xsd:string" form="unqualified"/></xsd:sequence></xsd:complexType>)");
    EXPECT_TRUE(qualified.type("tns:T")->memberNode("local")->qualified);
    EXPECT_FALSE(qualified.type("tns:T")->memberNode("off")->qualified);
}

TEST(SchemaModel, ImportsAreReadFirstAndOncePerLocation) {
    MapSource source;
    source.documents["http://127.0.0.1/svc/a.xsd"] =
        R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema"
        xmlns:b="urn:b" targetNamespace="urn:a">
      <xs:import namespace="urn:b" schemaLocation="b.xsd"/>
      <xs:complexType name="Shared"><xs:sequence><xs:element name="fromA" type="xs:int"/></xs:sequence></xs:complexType>
    </xs:schema>)";
    source.documents["http://127.0.0.1/svc/b.xsd"] =
        R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema"
        targetNamespace="urn:b">
      <xs:import namespace="urn:a" schemaLocation="a.xsd"/>
      <xs:complexType name="FromB"><xs:sequence><xs:element name="x" type="xs:int"/></xs:sequence></xs:complexType>
    </xs:schema>)";
    std::string schema = R"(<xsd:schema targetNamespace="urn:a" xmlns:a="urn:a">
        <xsd:import namespace="urn:a" schemaLocation="a.xsd"/>
        <xsd:complexType name="Shared"><xsd:sequence><xsd:element name="fromMain" type="xsd:int"/></xsd:sequence></xsd:complexType>
      </xsd:schema>
      <xsd:schema targetNamespace="urn:b" xmlns:b="urn:b"><xsd:import namespace="urn:b" schemaLocation="b.xsd"/></xsd:schema>)";
    LoadedModel m(wsdlWith(schema, "", ""), &source);
    // a.xsd and b.xsd import each other: each is fetched once.
    EXPECT_EQ(
        std::count(source.requested.begin(), source.requested.end(), "http://127.0.0.1/svc/a.xsd"),
        2);
    const SchemaNode* shared = m.type("a:Shared");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->memberNames(), std::vector<std::string>{"fromA"});  // the import came first
    EXPECT_NE(m.type("b:FromB"), nullptr);
}

TEST(SchemaModel, IncludesJoinTheIncludingSchema) {
    MapSource source;
    source.documents["http://127.0.0.1/svc/common/types.xsd"] =
        R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
      <xs:complexType name="Address"><xs:sequence><xs:element name="city" type="xs:string"/></xs:sequence></xs:complexType>
      <xs:include schemaLocation="../more.xsd"/>
    </xs:schema>)";
    source.documents["http://127.0.0.1/svc/common/../more.xsd"] =
        R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
      <xs:simpleType name="Zip"><xs:restriction base="xs:string"/></xs:simpleType></xs:schema>)";
    LoadedModel m(wsdlWith(schemaOf(R"(<xsd:include schemaLocation="common/types.xsd"/>
        <xsd:element name="Where" type="tns:Address"/>)"),
                           "", ""),
                  &source);
    // The chameleon include takes the including schema's target namespace.
    ASSERT_NE(m.type("tns:Address"), nullptr);
    EXPECT_NE(m.type("tns:Zip"), nullptr);
    EXPECT_EQ(m.type("tns:Address")->memberNode("city")->typeName, "string");
}

TEST(SchemaModel, FirstDefinitionOfANameWins) {
    LoadedModel m = withSchema(R"(
      <xsd:complexType name="T"><xsd:sequence><xsd:element name="first" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="T"><xsd:sequence><xsd:element name="second" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:element name="E" type="tns:T"/><xsd:element name="E" type="xsd:int"/>
      <xsd:element name="Self" type="tns:Self"/>)");
    EXPECT_EQ(m.type("tns:T")->memberNames(), std::vector<std::string>{"first"});
    EXPECT_EQ(m.type("tns:E")->typeName, "tns:T");
    EXPECT_EQ(m.type("tns:Self"), nullptr);  // an element typed by its own name is skipped
}

TEST(SchemaModel, TypeResolutionCopiesResolvedPropertiesIntoMembers) {
    LoadedModel m = withSchema(R"(
      <xsd:complexType name="Inner"><xsd:sequence><xsd:element name="v" type="xsd:int"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Outer"><xsd:sequence><xsd:element name="inner" type="tns:Inner"/></xsd:sequence></xsd:complexType>
      <xsd:element name="Wrapped" type="tns:Inner"/>)");
    EXPECT_TRUE(m.type("tns:Outer")->memberNode("inner")->complex);
    EXPECT_TRUE(m.type("tns:Wrapped")->complex);
}

}  // namespace
