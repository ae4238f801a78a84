// Request envelopes built from input records: the four binding styles, headers, arrays,
// attributes, escaping, namespaces, and qualification as the schema says.
#include <gtest/gtest.h>

#include "engine/soap/request_builder.h"
#include "platform/soap/reader.h"
#include "tests/engine/support/model_fixture.h"

using namespace wscore;
using namespace wscore::test;

namespace {

FlatRecord rec(int level, const char16_t* name, const char16_t* type, const char16_t* data = u"",
               const char16_t* prefix = u"") {
    FlatRecord r;
    r.level = level;
    r.fieldName = name;
    r.dataType = type;
    r.theData = data;
    r.prefix = prefix;
    return r;
}

FlatRecord complexRec(int level, const char16_t* name, const char16_t* prefix = u"") {
    FlatRecord r = rec(level, name, u"", u"", prefix);
    r.isComplexType = true;
    return r;
}

// The envelope between <SOAP-ENV:Body ...> and </SOAP-ENV:Body>, without the Body tag's own
// namespace declarations.
std::string bodyOf(const std::string& envelope) {
    std::size_t start = envelope.find("<SOAP-ENV:Body");
    start = envelope.find('>', start) + 1;
    std::size_t end = envelope.find("</SOAP-ENV:Body>");
    return envelope.substr(start, end - start);
}

std::string headerOf(const std::string& envelope) {
    std::size_t start = envelope.find("<SOAP-ENV:Header");
    if (start == std::string::npos)
        return "<none>";
    start = envelope.find('>', start) + 1;
    return envelope.substr(start, envelope.find("</SOAP-ENV:Header>") - start);
}

std::string build(const LoadedModel& m, const std::vector<FlatRecord>& records,
                  std::string op = "Op") {
    BuiltRequest out;
    std::u16string error;
    MessageModule messages;
    const WsdlOperation* operation = m.operation("Svc", op);
    EXPECT_NE(operation, nullptr);
    if (!operation)
        return {};
    EXPECT_TRUE(buildRequest(m.model, *operation, records, messages, out, error))
        << nv::text::utf16ToUtf8(error);
    return out.bytes;
}

const std::string kQuote = R"(<xsd:element name="GetQuote"><xsd:complexType><xsd:sequence>
      <xsd:element name="symbol" type="xsd:string"/><xsd:element name="count" type="xsd:int" minOccurs="0"/>
    </xsd:sequence></xsd:complexType></xsd:element>)";

TEST(RequestBuilding, TheFourBindingStyles) {
    const std::vector<FlatRecord> doc = {complexRec(1, u"GetQuote", u"tns"),
                                         rec(2, u"symbol", u"string", u"ABC", u"tns")};
    LoadedModel docLit(
        wsdlWith(schemaOf(kQuote), R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", ""));
    // Document/literal: no wrapper, the part's element straight under Body.
    EXPECT_EQ(bodyOf(build(docLit, doc)),
              R"(<tns:GetQuote><tns:symbol xsi:type="xsd:string">ABC</tns:symbol></tns:GetQuote>)");
    LoadedModel docEnc(wsdlWith(schemaOf(kQuote),
                                R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", "",
                                "document", "encoded"));
    EXPECT_EQ(
        bodyOf(build(docEnc, doc)),
        R"(<tns:Op><tns:GetQuote><tns:symbol xsi:type="xsd:string">ABC</tns:symbol></tns:GetQuote></tns:Op>)");

    const std::string parts =
        R"(<wsdl:part name="symbol" type="xsd:string"/><wsdl:part name="count" type="xsd:int"/>)";
    const std::vector<FlatRecord> rpc = {rec(1, u"symbol", u"string", u"ABC"),
                                         rec(1, u"count", u"int", u"3")};
    LoadedModel rpcLit(wsdlWith("", parts, "", "rpc", "literal"));
    // Rpc: the operation wrapper; the part accessors are unqualified.
    EXPECT_EQ(
        bodyOf(build(rpcLit, rpc)),
        R"(<tns:Op><symbol xsi:type="xsd:string">ABC</symbol><count xsi:type="xsd:int">3</count></tns:Op>)");
    LoadedModel rpcEnc(wsdlWith("", parts, "", "rpc", "encoded"));
    std::string envelope = build(rpcEnc, rpc);
    EXPECT_EQ(
        bodyOf(envelope),
        R"(<tns:Op><symbol xsi:type="xsd:string">ABC</symbol><count xsi:type="xsd:int">3</count></tns:Op>)");
    // The envelope declares the WSDL's namespaces and the three the request uses, once each.
    for (const char* decl :
         {R"(xmlns:tns="urn:test")", R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema")",
          R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")",
          R"(xmlns:SOAP-ENC="http://schemas.xmlsoap.org/soap/encoding/")"}) {
        std::string head =
            envelope.substr(0, envelope.find('>', envelope.find("<SOAP-ENV:Envelope")));
        std::size_t first = head.find(decl);
        EXPECT_NE(first, std::string::npos) << decl;
        EXPECT_EQ(head.find(decl, first + 1), std::string::npos) << decl;
    }
}

TEST(RequestBuilding, TypeAttributesFollowTheFieldKind) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="x" type="xsd:string"/>)", "", "rpc"));
    FlatRecord color = rec(1, u"color", u"string", u"Red");
    color.hasEnumValues = true;
    FlatRecord flag = rec(1, u"flag", u"boolean", u"true");
    flag.hasEnumValues = true;
    FlatRecord untyped = rec(1, u"raw", u"", u"v");
    FlatRecord named = rec(1, u"id", u"s1:guid", u"0");
    EXPECT_EQ(bodyOf(build(m, {color, flag, untyped, named})),
              R"(<tns:Op><color>Red</color><flag xsi:type="xsd:boolean">true</flag><raw>v</raw>)"
              R"(<id xsi:type="s1:guid">0</id></tns:Op>)");
}

TEST(RequestBuilding, ArraysAttributesAndEscaping) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="x" type="xsd:string"/>)", "", "rpc"));
    FlatRecord names = complexRec(1, u"names");
    names.isArray = true;
    names.dataType = u"string";
    FlatRecord person = complexRec(1, u"person");
    FlatRecord id = rec(2, u"id", u"int", u"7");
    id.isAttribute = true;
    FlatRecord note = rec(2, u"note", u"string", u"a<b & \"c\"");
    note.isAttribute = true;
    std::string body =
        bodyOf(build(m, {names, rec(2, u"string", u"string", u"a"),
                         rec(2, u"string", u"string", u"b"), rec(2, u"string", u"string", u"x&y"),
                         person, id, rec(2, u"name", u"string", u"<Ann>"), note}));
    EXPECT_EQ(
        body,
        R"(<tns:Op><names xsi:type="xsd:string">a</names><names xsi:type="xsd:string">b</names>)"
        R"(<names xsi:type="xsd:string">x&amp;y</names>)"
        R"(<person id="7"  note="a&lt;b &amp; &quot;c&quot;" ><name xsi:type="xsd:string">&lt;Ann&gt;</name></person></tns:Op>)");
}

TEST(RequestBuilding, HeaderRecordsAtTheFrontGoIntoTheHeader) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="x" type="xsd:string"/>)", "", "rpc"));
    FlatRecord session = complexRec(1, u"Session", u"tns");
    session.isHeader = true;
    FlatRecord tokens = complexRec(2, u"tokens");
    tokens.isArray = true;
    tokens.dataType = u"string";
    FlatRecord late = rec(1, u"late", u"string", u"L");
    late.isHeader = true;  // not at the front: a body record
    std::string envelope =
        build(m, {session, rec(2, u"user", u"string", u"bob"), tokens,
                  rec(3, u"token", u"string", u"t1"), rec(3, u"token", u"string", u"t2"),
                  rec(3, u"token", u"string", u"t3"), rec(1, u"x", u"string", u"v"), late});
    EXPECT_EQ(
        headerOf(envelope),
        R"(<tns:Session><tns:user xsi:type="xsd:string">bob</tns:user>)"
        R"(<tns:tokens xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:string[3]">)"
        R"(<tns:token xsi:type="xsd:string">t1</tns:token><tns:token xsi:type="xsd:string">t2</tns:token>)"
        R"(<tns:token xsi:type="xsd:string">t3</tns:token></tns:tokens></tns:Session>)");
    EXPECT_EQ(
        bodyOf(envelope),
        R"(<tns:Op><x xsi:type="xsd:string">v</x><late xsi:type="xsd:string">L</late></tns:Op>)");
}

TEST(RequestBuilding, AnOperationNamespaceWithoutPrefixIsDeclaredAsNV) {
    LoadedModel m(
        wsdlWith(schemaOf(kQuote), R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", ""));
    m.model.namespaces.clear();  // as if the WSDL had declared no prefix for its namespaces
    std::string envelope = build(m, {complexRec(1, u"GetQuote")});
    EXPECT_NE(envelope.find(R"(<SOAP-ENV:Body xmlns:NV="urn:test">)"), std::string::npos)
        << envelope;
}

TEST(RequestBuilding, ElementsAreQualifiedAsTheSchemaSays) {
    // elementFormDefault absent: local elements are unqualified, the top-level one qualified.
    LoadedModel m(wsdlWith(schemaOf(kQuote, ""),
                           R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", ""));
    std::string body = bodyOf(
        build(m, {complexRec(1, u"GetQuote", u"tns"), rec(2, u"symbol", u"string", u"ABC", u"tns"),
                  // not in the schema: written as the records say
                  rec(2, u"extra", u"string", u"E")}));
    EXPECT_EQ(body, R"(<tns:GetQuote><symbol xsi:type="xsd:string">ABC</symbol>)"
                    R"(<tns:extra xsi:type="xsd:string">E</tns:extra></tns:GetQuote>)");
}

TEST(RequestBuilding, SoapEncodedArraysAreWrittenAsArrayElements) {
    const std::string decls =
        R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")";
    LoadedModel m(wsdlWith(
        schemaOf(R"(
      <xsd:complexType name="Names"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:string[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
      <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
        <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[][]"/></xsd:restriction></xsd:complexContent></xsd:complexType>)",
                 decls),
        R"(<wsdl:part name="names" type="tns:Names"/><wsdl:part name="grid" type="tns:Grid"/>)", "",
        "rpc", "encoded"));
    std::vector<FlatRecord> r = m.structure("Svc", "Op", -1);
    ASSERT_EQ(r.size(), 5u);  // names, string; grid, int (array), int
    r[1].theData = u"a";
    FlatRecord second = r[1];
    second.theData = u"b";
    r.insert(r.begin() + 2, second);
    r[5].theData = u"1";
    EXPECT_EQ(
        bodyOf(build(m, r)),
        R"(<tns:Op><names xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:string[2]">)"
        R"(<string xsi:type="xsd:string">a</string><string xsi:type="xsd:string">b</string></names>)"
        R"(<grid xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[][1]">)"
        R"(<int xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[1]"><int xsi:type="xsd:int">1</int></int>)"
        R"(</grid></tns:Op>)");
}

TEST(RequestBuilding, RepeatedItemsAreQualifiedLikeTheirArray) {
    LoadedModel m(wsdlWith(schemaOf(R"(<xsd:element name="Sum"><xsd:complexType><xsd:sequence>
        <xsd:element name="n" type="xsd:int" maxOccurs="unbounded"/></xsd:sequence></xsd:complexType></xsd:element>)"),
                           R"(<wsdl:part name="parameters" element="tns:Sum"/>)", ""));
    std::vector<FlatRecord> records = m.structure("Svc", "Op", -1);
    ASSERT_EQ(records.size(), 3u);  // Sum, the array record n, its item template n
    records[2].theData = u"5";
    records.push_back(records[2]);
    records.back().theData = u"7";
    EXPECT_EQ(
        bodyOf(build(m, records)),
        R"(<tns:Sum><tns:n xsi:type="xsd:int">5</tns:n><tns:n xsi:type="xsd:int">7</tns:n></tns:Sum>)");
}

TEST(RequestBuilding, UnqualifiedElementsUndoADefaultNamespace) {
    // The WSDL declares its target namespace as the default namespace first: the envelope
    // carries it, and an unqualified accessor must step out of it.
    std::string wsdl = wsdlWith("", R"(<wsdl:part name="a" type="xsd:string"/>)", "", "rpc");
    wsdl.replace(wsdl.find("xmlns:tns="), 0, "xmlns=\"urn:test\" ");
    LoadedModel m(wsdl);
    std::string body = bodyOf(build(m, {rec(1, u"a", u"string", u"1")}));
    // The target namespace's first prefix is the empty one: the wrapper takes "NV".
    EXPECT_EQ(body, R"(<NV:Op><a xsi:type="xsd:string" xmlns="">1</a></NV:Op>)") << body;
}

TEST(RequestBuilding, NoRecordsGiveAnEmptyWrapper) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="x" type="xsd:string"/>)", "", "rpc"));
    EXPECT_EQ(bodyOf(build(m, {})), "<tns:Op/>");
}

// Records come from the caller as well as from the document: what XML cannot carry fails the
// request with the reason instead of sending something no peer can parse.
TEST(RequestBuilding, RecordsThatAreNotXmlFailTheRequest) {
    LoadedModel m(wsdlWith("", R"(<wsdl:part name="x" type="xsd:string"/>)", "", "rpc"));
    const WsdlOperation* op = m.operation("Svc", "Op");
    ASSERT_NE(op, nullptr);
    auto failure = [&](const std::vector<FlatRecord>& records) {
        BuiltRequest out;
        std::u16string error;
        MessageModule messages;
        EXPECT_FALSE(buildRequest(m.model, *op, records, messages, out, error));
        return nv::text::utf16ToUtf8(error);
    };
    FlatRecord person = complexRec(1, u"person");
    auto attribute = [](const char16_t* name, const char16_t* value) {
        FlatRecord a = rec(2, name, u"string", value);
        a.isAttribute = true;
        return a;
    };
    EXPECT_EQ(failure({rec(1, u"cons)traint", u"string", u"1")}),
              "'cons)traint' cannot be an element name");
    EXPECT_EQ(failure({rec(1, u"1st", u"string", u"1")}), "'1st' cannot be an element name");
    EXPECT_EQ(failure({rec(1, u"a:b", u"string", u"1")}), "'a:b' cannot be an element name");
    EXPECT_EQ(failure({person, attribute(u"a b", u"1")}), "'a b' cannot be an attribute name");
    EXPECT_EQ(failure({person, attribute(u"xmlns", u"urn:elsewhere")}),
              "'xmlns' cannot be an attribute name");
    EXPECT_EQ(failure({person, attribute(u"id", u"1"), attribute(u"id", u"2")}),
              "the attribute 'id' is given twice");
    EXPECT_EQ(failure({person, attribute(u"id", u"\u0001")})
                  .rfind("attribute 'id': the text contains U+0001", 0),
              0u);
    LoadedModel docLit(
        wsdlWith(schemaOf(kQuote), R"(<wsdl:part name="parameters" element="tns:GetQuote"/>)", ""));
    BuiltRequest out;
    std::u16string error;
    MessageModule messages;
    EXPECT_FALSE(buildRequest(docLit.model, *docLit.operation("Svc", "Op"),
                              {complexRec(1, u"GetQuote", u"nowhere")}, messages, out, error));
    EXPECT_EQ(nv::text::utf16ToUtf8(error), "the prefix 'nowhere' of 'GetQuote' is not declared");
    // A name outside ASCII is a name all the same.
    std::string body = bodyOf(build(m, {rec(1, u"Stra\u00dfe", u"string", u"1")}));
    EXPECT_EQ(body,
              "<tns:Op><Stra\xc3\x9f"
              "e xsi:type=\"xsd:string\">1</Stra\xc3\x9f"
              "e></tns:Op>");
}

TEST(RequestBuilding, ADocumentWithoutANamespaceGetsABareWrapper) {
    std::string wsdl = wsdlWith("", R"(<wsdl:part name="a" type="xsd:string"/>)", "", "rpc");
    wsdl.replace(wsdl.find("xmlns:tns=\"urn:test\" targetNamespace=\"urn:test\""),
                 std::string("xmlns:tns=\"urn:test\" targetNamespace=\"urn:test\"").size(),
                 "xmlns=\"urn:other\" xmlns:t=\"urn:test\"");
    for (std::size_t at; (at = wsdl.find("\"tns:")) != std::string::npos;)
        wsdl.replace(at, 5, "\"t:");
    LoadedModel m(wsdl);
    std::string body = bodyOf(build(m, {rec(1, u"a", u"string", u"1")}));
    // No prefix is left undeclared, and the document's default namespace does not leak in.
    EXPECT_EQ(body, R"(<Op xmlns=""><a xsi:type="xsd:string" xmlns="">1</a></Op>)") << body;
}

// --- SOAP-encoded arrays as gSOAP and Axis declare them ------------------------------------

const std::string kGsoapArrays = schemaOf(
    R"(
    <xsd:complexType name="ArrayOfint"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Grid"><xsd:complexContent><xsd:restriction base="soapenc:Array">
      <xsd:sequence><xsd:element name="item" type="xsd:int" minOccurs="0" maxOccurs="unbounded"/></xsd:sequence>
      <xsd:attribute ref="soapenc:arrayType" wsdl:arrayType="xsd:int[,]"/></xsd:restriction></xsd:complexContent></xsd:complexType>
    <xsd:complexType name="Bag"><xsd:sequence><xsd:element name="label" type="xsd:string"/>
      <xsd:element name="values" type="tns:ArrayOfint"/>
      <xsd:element name="tag" type="xsd:string" maxOccurs="unbounded"/></xsd:sequence></xsd:complexType>
    <xsd:complexType name="Table"><xsd:sequence>
      <xsd:element name="row" type="tns:ArrayOfint" maxOccurs="unbounded"/></xsd:sequence></xsd:complexType>)",
    R"(xmlns:soapenc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/")");

// Replaces the one item under the record at `array` with copies holding `values`.
void growItems(std::vector<FlatRecord>& records, std::size_t array,
               const std::vector<std::u16string>& values) {
    FlatRecord item = records[array + 1];
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(array) + 1);
    for (std::size_t v = values.size(); v-- > 0;) {
        item.theData = values[v];
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(array) + 1, item);
    }
}

TEST(RequestBuilding, AnEncodedArrayInsideAStructureIsOneElementBesideLiteralArrays) {
    LoadedModel m(
        wsdlWith(kGsoapArrays, R"(<wsdl:part name="bag" type="tns:Bag"/>)", "", "rpc", "encoded"));
    std::vector<FlatRecord> r = m.structure("Svc", "Op", -1);
    // bag, label, values, item (the member array), item; tag (array), tag
    ASSERT_EQ(describe(r),
              (std::vector<std::string>{"1 bag : tns:Bag [complex]", "2 label : string",
                                        "2 values : tns:ArrayOfint [complex,array]",
                                        "3 item : int [array,optional]", "4 item : int",
                                        "2 tag : string [array]", "3 tag : string"}));
    r[1].theData = u"L";
    growItems(r, 5, {u"x", u"y"});
    growItems(r, 3, {u"1", u"2", u"3"});
    EXPECT_EQ(
        bodyOf(build(m, r)),
        R"(<tns:Op><bag><label xsi:type="xsd:string">L</label>)"
        R"(<values xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[3]">)"
        R"(<item xsi:type="xsd:int">1</item><item xsi:type="xsd:int">2</item>)"
        R"(<item xsi:type="xsd:int">3</item></values>)"
        R"(<tag xsi:type="xsd:string">x</tag><tag xsi:type="xsd:string">y</tag></bag></tns:Op>)");
    // No items: an empty array that says so.
    r.erase(r.begin() + 4, r.begin() + 7);
    EXPECT_NE(build(m, r).find(
                  R"(<values xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[0]"></values>)"),
              std::string::npos);
}

// A repeated element of an encoded array type: each occurrence is an array of its own.
TEST(RequestBuilding, RepeatedElementsOfAnEncodedArrayTypeAreOneArrayEach) {
    LoadedModel m(wsdlWith(kGsoapArrays, R"(<wsdl:part name="table" type="tns:Table"/>)", "", "rpc",
                           "encoded"));
    std::vector<FlatRecord> r = m.structure("Svc", "Op", -1);
    ASSERT_EQ(describe(r),
              (std::vector<std::string>{"1 table : tns:Table [complex]",
                                        "2 row : tns:ArrayOfint [complex,array]",
                                        "3 row : tns:ArrayOfint [complex,array]",
                                        "4 item : int [array,optional]", "5 item : int"}));
    r[4].theData = u"1";
    r.push_back(r[2]);
    r.push_back(r[3]);
    r.push_back(r[4]);
    r.push_back(r[4]);
    r.back().theData = u"2";
    EXPECT_EQ(bodyOf(build(m, r)),
              R"(<tns:Op><table><row xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[1]">)"
              R"(<item xsi:type="xsd:int">1</item></row>)"
              R"(<row xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[2]">)"
              R"(<item xsi:type="xsd:int">1</item><item xsi:type="xsd:int">2</item></row>)"
              R"(</table></tns:Op>)");
}

TEST(RequestBuilding, AMultiDimensionalArrayIsSentInTheShapeItsRecordStates) {
    LoadedModel m(wsdlWith(kGsoapArrays, R"(<wsdl:part name="grid" type="tns:Grid"/>)", "", "rpc",
                           "encoded"));
    std::vector<FlatRecord> r = m.structure("Svc", "Op", -1);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(nv::text::utf16ToUtf8(r[0].info), "1,1");
    growItems(r, 1, {u"1", u"2", u"3", u"4", u"5", u"6"});
    auto arrayType = [&](const std::u16string& shape) {
        r[0].info = shape;
        std::string envelope = build(m, r);
        std::size_t at = envelope.find("SOAP-ENC:arrayType=\"");
        return at == std::string::npos
                   ? envelope
                   : envelope.substr(at + 20, envelope.find('"', at + 20) - at - 20);
    };
    EXPECT_EQ(arrayType(u"2,3"), "xsd:int[2,3]");
    EXPECT_EQ(arrayType(u"3,2"), "xsd:int[3,2]");
    EXPECT_EQ(arrayType(u"1,3"), "xsd:int[2,3]");      // rows follow the items
    EXPECT_EQ(arrayType(u"1,1,2"), "xsd:int[3,1,2]");  // as many dimensions as stated
    EXPECT_EQ(arrayType(u""), "xsd:int[6]");           // no shape: as a plain array
    EXPECT_EQ(arrayType(u"a|b"), "xsd:int[6]");        // not a shape either

    r[0].info = u"1,4";
    BuiltRequest out;
    std::u16string error;
    MessageModule messages;
    EXPECT_FALSE(buildRequest(m.model, *m.operation("Svc", "Op"), r, messages, out, error));
    EXPECT_EQ(nv::text::utf16ToUtf8(error),
              "the array 'grid' holds 6 items, which do not fill its shape 1,4");
}

// --- envelope prefixes ---------------------------------------------------------------------

TEST(RequestBuilding, ADocumentThatRebindsTheEnvelopesPrefixesStillGivesARequest) {
    // As gSOAP writes WSDLs for SOAP 1.2, and worse: every prefix the envelope relies on is
    // bound to something else, "xsd" to the document's own namespace.
    std::string wsdl = wsdlWith(
        schemaOf(
            R"(<xs:simpleType name="Code"><xs:restriction base="xs:string"/></xs:simpleType>)"),
        R"(<wsdl:part name="code" type="xsd:Code"/><wsdl:part name="n" type="xs:int"/>)", "", "rpc",
        "encoded");
    wsdl.replace(
        wsdl.find("xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""),
        std::string("xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"").size(),
        R"(xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsd="urn:test" )"
        R"(xmlns:SOAP-ENV="http://www.w3.org/2003/05/soap-envelope" )"
        R"(xmlns:SOAP-ENC="http://www.w3.org/2003/05/soap-encoding" xmlns:xsi="urn:no-instance")");
    wsdl.replace(wsdl.find("xmlns:tns=\"urn:test\" "),
                 std::string("xmlns:tns=\"urn:test\" ").size(), "");
    for (std::size_t at; (at = wsdl.find("\"tns:")) != std::string::npos;)
        wsdl.replace(at, 5, "\"xsd:");
    for (std::size_t at; (at = wsdl.find("<xsd:schema")) != std::string::npos;)
        wsdl.replace(at, 11, "<xs:schema");
    for (std::size_t at; (at = wsdl.find("</xsd:schema")) != std::string::npos;)
        wsdl.replace(at, 12, "</xs:schema");
    LoadedModel m(wsdl);
    ASSERT_TRUE(m.error.empty()) << m.error;
    std::vector<FlatRecord> records = m.structure("Svc", "Op", -1);
    ASSERT_EQ(describe(records), (std::vector<std::string>{"1 code : string", "1 n : int"}));
    records[0].theData = u"A";
    records[1].theData = u"1";
    // Records in the document's own names: its prefix for an element and for a type.
    records.push_back(rec(1, u"extra", u"string", u"e", u"xsd"));
    records.push_back(rec(1, u"id", u"xsd:Code", u"B"));
    std::string envelope = build(m, records);
    EXPECT_EQ(bodyOf(envelope),
              R"(<xsd1:Op><code xsi:type="xsd:string">A</code><n xsi:type="xsd:int">1</n>)"
              R"(<xsd1:extra xsi:type="xsd:string">e</xsd1:extra>)"
              R"(<id xsi:type="xsd1:Code">B</id></xsd1:Op>)");
    // Every name resolves to the namespace it was meant for.
    nv::soap::Reader reader;
    ASSERT_TRUE(reader.load(envelope)) << reader.error() << "\n" << envelope;
    nv::xml::Node wrapper = reader.bodyEntries().front();
    for (auto [prefix, uri] : std::vector<std::pair<const char*, const char*>>{
             {"xsd1", "urn:test"},
             {"xsd", "http://www.w3.org/2001/XMLSchema"},
             {"xsi", "http://www.w3.org/2001/XMLSchema-instance"},
             {"SOAP-ENC", "http://schemas.xmlsoap.org/soap/encoding/"},
             {"SOAP-ENV", "http://schemas.xmlsoap.org/soap/envelope/"},
             {"SOAP-ENV1", "http://www.w3.org/2003/05/soap-envelope"},
             {"SOAP-ENC1", "http://www.w3.org/2003/05/soap-encoding"},
             {"xsi1", "urn:no-instance"}})
        EXPECT_EQ(wrapper.lookupNamespaceURI(prefix), uri) << prefix;
}

}  // namespace
