// Mapping responses onto output structures: wrappers, arrays, references, derived types,
// placeholders for inline schemas, base64 files, pruning.
#include <gtest/gtest.h>

#include "engine/soap/response_reader.h"
#include "engine/soap/saved_file.h"
#include "tests/engine/support/model_fixture.h"
#include "tests/support/temp_dir.h"

using namespace wscore;
using namespace wscore::test;

namespace {

using Lines = std::vector<std::string>;

const std::string kEnvelopeStart =
    R"(<soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"
        xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:enc="http://schemas.xmlsoap.org/soap/encoding/"
        xmlns:t="urn:test"><soap:Body>)";
const std::string kEnvelopeEnd = "</soap:Body></soap:Envelope>";

// "<level> name = value [description] (max)" per output record.
Lines values(const std::vector<FlatRecord>& records) {
    Lines out;
    for (const FlatRecord& r : records) {
        std::string line = std::to_string(r.level) + " " + nv::text::utf16ToUtf8(r.fieldName);
        if (!r.theData.empty())
            line += " = " + nv::text::utf16ToUtf8(r.theData);
        if (!r.description.empty())
            line += " [" + nv::text::utf16ToUtf8(r.description) + "]";
        if (r.isArray)
            line += " (" + std::to_string(r.arrayMax) + ")";
        if (!r.info.empty())
            line += " {" + nv::text::utf16ToUtf8(r.info) + "}";
        out.push_back(line);
    }
    return out;
}

class ResponseMapping : public ::testing::Test {
  protected:
    Lines map(const LoadedModel& m, const std::string& body, bool* ok = nullptr) {
        nv::soap::Reader reader;
        EXPECT_TRUE(reader.load(kEnvelopeStart + body + kEnvelopeEnd)) << reader.error();
        std::vector<FlatRecord> out;
        std::string error;
        ResponseMapping_ mapping{m.model, *m.operation("Svc", "Op"), dir.path()};
        bool mapped = mapResponse(mapping, reader, out, error);
        if (ok)
            *ok = mapped;
        EXPECT_TRUE(mapped || ok) << error;
        return values(out);
    }
    using ResponseMapping_ = wscore::ResponseMapping;
    nv::test::TempDir dir{"response-mapping"};
};

const std::string kRpcOut = R"(<wsdl:part name="output" type="xsd:string"/>)";

TEST_F(ResponseMapping, AnRpcReturnElementFillsTheOutputPart) {
    LoadedModel m(wsdlWith("", "", kRpcOut, "rpc"));
    EXPECT_EQ(map(m, "<t:OpResponse><return>42</return></t:OpResponse>"), (Lines{"1 output = 42"}));
}

TEST_F(ResponseMapping, TwoPartsInOneWrapperAreBothFilled) {
    LoadedModel m(wsdlWith(
        "", "", R"(<wsdl:part name="sum" type="xsd:int"/><wsdl:part name="carry" type="xsd:int"/>)",
        "rpc"));
    EXPECT_EQ(map(m, "<t:OpResponse><sum>7</sum><carry>1</carry></t:OpResponse>"),
              (Lines{"1 sum = 7", "1 carry = 1"}));
    // A part missing from the response still gives its root record, empty.
    EXPECT_EQ(map(m, "<t:OpResponse><carry>1</carry></t:OpResponse>"),
              (Lines{"1 sum", "1 carry = 1"}));
}

const std::string kListSchema = schemaOf(R"(
    <xsd:complexType name="Bag"><xsd:sequence>
      <xsd:element name="label" type="xsd:string" minOccurs="0"/>
      <xsd:element name="item" type="xsd:string" maxOccurs="unbounded"/>
    </xsd:sequence></xsd:complexType>)");

TEST_F(ResponseMapping, RepeatedElementsBecomeItemsAndTheTemplateIsDropped) {
    LoadedModel m(wsdlWith(kListSchema, "", R"(<wsdl:part name="bag" type="tns:Bag"/>)", "rpc"));
    EXPECT_EQ(
        map(m,
            "<t:OpResponse><bag><item>a</item><item>b</item><item>c</item></bag></t:OpResponse>"),
        (Lines{"1 bag", "2 item (3)", "3 item = a", "3 item = b", "3 item = c"}));
    // No items: the array record stays with 0; the optional label is gone.
    EXPECT_EQ(map(m, "<t:OpResponse><bag/></t:OpResponse>"), (Lines{"1 bag"}));
}

TEST_F(ResponseMapping, NilArraysHaveNoItemsAndNilSimpleValuesKeepTheirText) {
    const std::string decls =
        R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")";
    LoadedModel m(wsdlWith(
        schemaOf(R"(
      <xsd:complexType name="Names"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>)",
                 decls),
        "",
        R"(<wsdl:part name="names" type="tns:Names"/><wsdl:part name="note" type="xsd:string"/>)",
        "rpc", "encoded"));
    EXPECT_EQ(
        map(m,
            R"(<t:OpResponse><names xsi:nil="true"/><note xsi:nil="true">x</note></t:OpResponse>)"),
        (Lines{"1 names (0)", "1 note = x"}));
    // An encoded array maps its children to items whatever their names.
    EXPECT_EQ(
        map(m,
            R"(<t:OpResponse><names xsi:type="enc:Array" enc:arrayType="xsd:string[2]"><a>x</a><b>y</b></names></t:OpResponse>)"),
        (Lines{"1 names (2)", "2 string = x", "2 string = y", "1 note"}));
}

const std::string kPersonSchema = schemaOf(R"(
    <xsd:complexType name="Person"><xsd:sequence>
      <xsd:element name="name" type="xsd:string"/>
      <xsd:element name="friend" type="tns:Person" minOccurs="0"/>
    </xsd:sequence></xsd:complexType>)");

TEST_F(ResponseMapping, MultiReferencesFillEveryReferrerInAnyOrder) {
    LoadedModel m(wsdlWith(
        kPersonSchema, "",
        R"(<wsdl:part name="a" type="tns:Person"/><wsdl:part name="b" type="tns:Person"/>)", "rpc",
        "encoded"));
    // The entry comes first, is named after its type, and two parts refer to it.
    EXPECT_EQ(map(m, R"(<t:Person id="p1"><name>Ann</name></t:Person>
                        <t:OpResponse><a href="#p1"/><b href="#p1"/></t:OpResponse>)"),
              (Lines{"1 a [p1]", "2 name = Ann", "1 b [p1]", "2 name = Ann"}));
    // A chain through another entry, and a cycle a -> b -> a that ends.
    EXPECT_EQ(map(m, R"(<t:OpResponse><a href="#x"/><b href="#y"/></t:OpResponse>
                        <multiRef id="x"><name>X</name><friend href="#y"/></multiRef>
                        <multiRef id="y"><name>Y</name><friend href="#x"/></multiRef>)"),
              (Lines{"1 a [x]", "2 name = X", "2 friend [y]", "3 name = Y", "3 friend [x]",
                     "1 b [y]", "2 name = Y", "2 friend [x]", "3 name = X", "3 friend [y]"}));
}

TEST_F(ResponseMapping, ALongChainOfReferencesIsBounded) {
    LoadedModel m(wsdlWith(kPersonSchema, "", R"(<wsdl:part name="a" type="tns:Person"/>)", "rpc",
                           "encoded"));
    std::string body = R"(<t:OpResponse><a href="#n0"/></t:OpResponse>)";
    const int n = 3000;
    for (int i = 0; i < n; ++i)
        body += "<multiRef id=\"n" + std::to_string(i) + "\"><name>" + std::to_string(i) +
                "</name><friend href=\"#n" + std::to_string(i + 1) + "\"/></multiRef>";
    Lines out = map(m, body);
    EXPECT_LT(out.size(), static_cast<std::size_t>(2 * n));  // stopped before the end
    EXPECT_GT(out.size(), 100u);
}

TEST_F(ResponseMapping, AReferringRecordIsNotFilledAgainByAnElementOfTheSameName) {
    LoadedModel m(wsdlWith("", "", kRpcOut, "rpc"));
    EXPECT_EQ(map(m, R"(<t:OpResponse><output href="#r"/></t:OpResponse><output>late</output>
                        <multiRef id="r">early</multiRef>)"),
              (Lines{"1 output = early [r]"}));
}

TEST_F(ResponseMapping, DerivedTypesAreReadWithTheirOwnStructure) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:complexType name="Shape"><xsd:sequence><xsd:element name="name" type="xsd:string"/></xsd:sequence></xsd:complexType>
      <xsd:complexType name="Circle"><xsd:complexContent><xsd:extension base="tns:Shape"><xsd:sequence>
        <xsd:element name="radius" type="xsd:double"/></xsd:sequence></xsd:extension></xsd:complexContent></xsd:complexType>)"),
                           "", R"(<wsdl:part name="shape" type="tns:Shape"/>)", "rpc"));
    // The document writes another prefix for the types' namespace.
    std::vector<FlatRecord> records;
    nv::soap::Reader reader;
    ASSERT_TRUE(reader.load(
        kEnvelopeStart +
        R"(<t:OpResponse><shape xmlns:geo="urn:test" xsi:type="geo:Circle"><radius>2.5</radius><name>c</name></shape></t:OpResponse>)" +
        kEnvelopeEnd));
    std::string error;
    ASSERT_TRUE(
        mapResponse({m.model, *m.operation("Svc", "Op"), dir.path()}, reader, records, error));
    // The derived type's own members first, then its base's; its info is the type's own.
    EXPECT_EQ(values(records), (Lines{"1 shape", "2 radius = 2.5", "2 name = c"}));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(nv::text::utf16ToUtf8(records[0].dataType), "geo:Circle");
}

TEST_F(ResponseMapping, Base64ValuesAreSavedUnderASafeName) {
    LoadedModel m(
        wsdlWith("", "", R"(<wsdl:part name="picture" type="xsd:base64Binary"/>)", "rpc"));
    // A PNG signature; the file is named after the element as written, made safe.
    const std::string png = "iVBORw0KGgoAAAAN";
    Lines out = map(m, "<t:OpResponse><t:picture>" + png + "</t:picture></t:OpResponse>");
    ASSERT_EQ(out.size(), 1u);
    std::string path = dir.path() + "t_picture.png";
    EXPECT_EQ(out[0], "1 picture = " + path + " {file}");
    EXPECT_TRUE(nv::test::fileExists(path));

    LoadedModel any(
        wsdlWith("", "", R"(<wsdl:part name="output" type="xsd:base64Binary"/>)", "rpc"));
    out = map(any, "<t:OpResponse><output>not base64 !</output></t:OpResponse>");
    EXPECT_EQ(out, (Lines{"1 output = not base64 !"}));
}

TEST(SafeFileNames, NamesFromResponsesStayInTheirFolder) {
    EXPECT_EQ(safeFileName("ns1:image"), "ns1_image");
    EXPECT_EQ(safeFileName("../../etc/passwd"), "_.._.._etc_passwd");
    EXPECT_EQ(safeFileName(".hidden"), "_.hidden");
    EXPECT_EQ(safeFileName(""), "_");
    EXPECT_EQ(safeFileName("a\\b/c\x01"), "a_b_c_");
}

TEST_F(ResponseMapping, AnyFieldsTakeTheElementMarkup) {
    LoadedModel m(wsdlWith(
        schemaOf(
            R"(<xsd:complexType name="Open"><xsd:sequence><xsd:any/></xsd:sequence></xsd:complexType>
        <xsd:complexType name="Holder"><xsd:sequence><xsd:element name="blob" type="tns:Open"/></xsd:sequence></xsd:complexType>)"),
        "", R"(<wsdl:part name="h" type="tns:Holder"/>)", "rpc"));
    Lines out = map(m, R"(<t:OpResponse><h><blob><x a="1">y</x></blob></h></t:OpResponse>)");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NE(out[1].find("<blob"), std::string::npos) << out[1];
    EXPECT_NE(out[1].find("<x a=\"1\">y</x>"), std::string::npos) << out[1];
}

TEST_F(ResponseMapping, AnInlineSchemaTakesThePlaceholdersPlace) {
    LoadedModel m(wsdlWith(schemaOf(R"(
      <xsd:element name="GetDataResponse"><xsd:complexType><xsd:sequence>
        <xsd:element name="GetDataResult"><xsd:complexType><xsd:sequence>
          <xsd:element ref="xsd:schema"/><xsd:any/></xsd:sequence></xsd:complexType></xsd:element>
      </xsd:sequence></xsd:complexType></xsd:element>)"),
                           "", R"(<wsdl:part name="parameters" element="tns:GetDataResponse"/>)"));
    Lines out = map(m, R"(<t:GetDataResponse><t:GetDataResult>
        <xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
          <xs:element name="NewDataSet"><xs:complexType><xs:sequence>
            <xs:element name="Row" maxOccurs="unbounded"><xs:complexType><xs:sequence>
              <xs:element name="id" type="xs:int"/></xs:sequence></xs:complexType></xs:element>
          </xs:sequence></xs:complexType></xs:element></xs:schema>
        <diffgr:diffgram xmlns:diffgr="urn:schemas-microsoft-com:xml-diffgram-v1">
          <NewDataSet><Row><id>1</id></Row><Row><id>2</id></Row></NewDataSet></diffgr:diffgram>
        </t:GetDataResult></t:GetDataResponse>)");
    EXPECT_EQ(out, (Lines{"1 GetDataResponse", "2 GetDataResult", "3 NewDataSet", "4 Row (2)",
                          "5 Row", "6 id = 1", "5 Row", "6 id = 2"}));
}

// --- SOAP-encoded arrays ---------------------------------------------------------------------

// Arrays as gSOAP and Axis declare them: the items spelled out as a repeated member "item".
const std::string kEncodedArraySchema = schemaOf(
    R"(
    <xsd:complexType name="ArrayOfstring"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:string" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="ArrayOfArrayOfstring"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="tns:ArrayOfstring" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="tns:ArrayOfstring[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:string" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[,]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Table"><xsd:sequence>
      <xsd:element name="row" type="tns:ArrayOfstring" maxOccurs="unbounded"/></xsd:sequence></xsd:complexType>)",
    R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")");

LoadedModel encodedArrayModel(const std::string& part) {
    return LoadedModel(wsdlWith(kEncodedArraySchema, "", part, "rpc", "encoded"));
}

TEST_F(ResponseMapping, EncodedArrayItemsLandAtTheirPositionsAndFillTheDeclaredSize) {
    LoadedModel m = encodedArrayModel(R"(<wsdl:part name="list" type="tns:ArrayOfstring"/>)");
    // Items under any name, an offset, and places left out: the array has its declared size.
    EXPECT_EQ(map(m, R"(<t:OpResponse><list enc:arrayType="xsd:string[4]" enc:offset="[1]">
                          <a>x</a><b>y</b></list></t:OpResponse>)"),
              (Lines{"1 list (4)", "2 item (4)", "3 item", "3 item = x", "3 item = y", "3 item"}));
    // Sparse: each item names its position; one outside the array is dropped.
    EXPECT_EQ(map(m, R"(<t:OpResponse><list enc:arrayType="xsd:string[3]">
                          <item enc:position="[2]">c</item><item enc:position="[0]">a</item>
                          <item enc:position="[7]">lost</item></list></t:OpResponse>)"),
              (Lines{"1 list (3)", "2 item (3)", "3 item = a", "3 item", "3 item = c"}));
    // Items by reference, from multi-reference entries, keep their targets.
    EXPECT_EQ(map(m, R"(<t:OpResponse><list xsi:type="enc:Array" enc:arrayType="xsd:string[2]">
                          <item href="#i1"/><item href="#i2"/></list></t:OpResponse>
                        <multiRef id="i2">two</multiRef><multiRef id="i1">one</multiRef>)"),
              (Lines{"1 list (2)", "2 item (2)", "3 item = one [i1]", "3 item = two [i2]"}));
}

TEST_F(ResponseMapping, ArraysOfArraysAndShapesComeBackWhole) {
    LoadedModel nested =
        encodedArrayModel(R"(<wsdl:part name="rows" type="tns:ArrayOfArrayOfstring"/>)");
    EXPECT_EQ(map(nested, R"(<t:OpResponse><rows enc:arrayType="xsd:string[][2]">
                   <item enc:arrayType="xsd:string[2]"><item>a</item><item>b</item></item>
                   <item enc:arrayType="xsd:string[0]"/></rows></t:OpResponse>)"),
              (Lines{"1 rows (2)", "2 item (2)", "3 item (2)", "4 item (2)", "5 item = a",
                     "5 item = b", "3 item (0)", "4 item (0)"}));

    LoadedModel grid = encodedArrayModel(R"(<wsdl:part name="grid" type="tns:Grid"/>)");
    // The declared shape goes into info; a position in two dimensions counts row-major.
    EXPECT_EQ(
        map(grid, R"(<t:OpResponse><grid enc:arrayType="xsd:string[2,2]">
                   <item enc:position="[1,0]">c</item><item enc:position="[0,1]">b</item>
                   </grid></t:OpResponse>)"),
        (Lines{"1 grid (4) {2,2}", "2 item (4)", "3 item", "3 item = b", "3 item = c", "3 item"}));
}

TEST_F(ResponseMapping, EachOccurrenceOfARepeatedArrayElementIsAnArrayOfItsOwn) {
    LoadedModel m = encodedArrayModel(R"(<wsdl:part name="table" type="tns:Table"/>)");
    EXPECT_EQ(map(m, R"(<t:OpResponse><table>
                   <row enc:arrayType="xsd:string[1]"><item>a</item></row>
                   <row enc:arrayType="xsd:string[2]"><item>b</item><item>c</item></row>
                   </table></t:OpResponse>)"),
              (Lines{"1 table", "2 row (2)", "3 row (1)", "4 item (1)", "5 item = a", "3 row (2)",
                     "4 item (2)", "5 item = b", "5 item = c"}));
}

TEST_F(ResponseMapping, AHugeDeclaredSizeIsRefusedNotFilled) {
    LoadedModel m = encodedArrayModel(R"(<wsdl:part name="list" type="tns:ArrayOfstring"/>)");
    nv::soap::Reader reader;
    ASSERT_TRUE(reader.load(
        kEnvelopeStart +
        R"(<t:OpResponse><list enc:arrayType="xsd:string[2000000000]"><item>x</item></list></t:OpResponse>)" +
        kEnvelopeEnd));
    std::vector<FlatRecord> out;
    std::string error;
    EXPECT_FALSE(mapResponse({m.model, *m.operation("Svc", "Op"), dir.path()}, reader, out, error));
    EXPECT_NE(error.find("declares an array of 2000000000 items"), std::string::npos) << error;
}

}  // namespace
