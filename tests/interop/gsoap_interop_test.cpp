// The engine against gSOAP's rpc/encoded service (gsoap/array_service.h): SOAP-encoded arrays
// of every form in requests and responses, checked on the wire as the service received them
// and in the records that come back. Records are grown as the workbench's tree grows them.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/interop/gsoap_fixture.h"
#include "tests/interop/invoke_client.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using wscore::test::InputRecords;
using wscore::test::Invocation;
using wscore::test::Outcome;
using wscore::test::Record;

// The body's content as it went over the wire: what stands inside the operation wrapper.
std::string wrapped(const std::string& envelope, const std::string& operation) {
    std::string open = "<tns:" + operation;
    std::size_t start = envelope.find(open);
    if (start == std::string::npos)
        return "<no " + operation + " in>" + envelope;
    start = envelope.find('>', start) + 1;
    std::size_t end = envelope.find("</tns:" + operation + ">", start);
    return envelope.substr(start, end - start);
}

// "level name=value (max) {info}" per output record.
std::vector<std::string> lines(const std::vector<Record>& records) {
    std::vector<std::string> out;
    for (const Record& r : records) {
        std::string line = std::to_string(r.level) + " " + r.fieldName;
        if (!r.complex && !r.array)
            line += "=" + r.theData;
        if (r.array)
            line += " (" + std::to_string(r.arrayMax) + ")";
        if (!r.info.empty())
            line += " {" + r.info + "}";
        out.push_back(line);
    }
    return out;
}

class GsoapCall : public nv::test::GsoapFixture {
  protected:
    InputRecords input(const std::string& operation) {
        InputRecords records;
        Outcome got = wscore::test::inputRecords(engine_, operation, records);
        EXPECT_EQ(got.result, -1) << got.error;
        return records;
    }

    // Invokes, and keeps the request as the service read it.
    Invocation call(const std::string& operation, const InputRecords& records) {
        Invocation result = wscore::test::invoke(engine_, operation, records);
        wire_ = lastRequest();
        std::string response;
        wscore::test::outputSoapMessage(engine_, operation, response);
        exchange_ = "request:\n" + wire_ + "\nresponse:\n" + response;
        return result;
    }

    std::string wire_;
    std::string exchange_;
};

// --- the service description ---------------------------------------------------------------

using GsoapWsdl = GsoapCall;

TEST_F(GsoapWsdl, AnEncodedArrayIsItsRecordItsItemArrayAndOneItem) {
    InputRecords in = input("echoIntArray");
    ASSERT_EQ(in.fields.size(), 3u);
    EXPECT_EQ(in.fields[0].fieldName, "inputArray");
    EXPECT_TRUE(in.fields[0].isArray && in.fields[0].isComplexType);
    EXPECT_EQ(in.fields[1].fieldName, "item");
    EXPECT_TRUE(in.fields[1].isArray);
    EXPECT_EQ(in.fields[2].fieldName, "item");
    EXPECT_FALSE(in.fields[2].isArray);
    EXPECT_EQ(in.fields[2].level, 3);

    // A two-dimensional array offers its one item as a 1 by 1 shape.
    InputRecords matrix = input("transposeMatrix");
    ASSERT_FALSE(matrix.fields.empty());
    EXPECT_EQ(matrix.fields[0].info, "1,1");
}

// gSOAP binds SOAP-ENV and SOAP-ENC to the SOAP 1.2 namespaces in every WSDL it writes for
// SOAP 1.2; the envelope keeps its own and the document's bindings move to other prefixes.
TEST_F(GsoapWsdl, AWsdlForSoap12StillGivesARequestForEveryOperation) {
    wscore::test::EngineConnection soap12;
    ASSERT_EQ(soap12.connect(soap12WsdlUrl()).result, -1);
    std::vector<std::string> operations;
    ASSERT_EQ(soap12.operations(kServiceName, &operations).result, -1);
    ASSERT_EQ(operations.size(), 14u);
    for (std::size_t i = 0; i < operations.size(); i += 2) {
        InputRecords in;
        Outcome got = wscore::test::inputRecords(soap12, operations[i], in);
        ASSERT_EQ(got.result, -1) << operations[i] << ": " << got.error;
        std::string text;
        got = wscore::test::inputSoapMessage(soap12, operations[i], in, text);
        EXPECT_EQ(got.result, -1) << operations[i] << ": " << got.error;
        EXPECT_THAT(text,
                    HasSubstr("xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""));
        EXPECT_THAT(text, HasSubstr("xmlns:SOAP-ENV1=\"http://www.w3.org/2003/05/soap-envelope\""));
        EXPECT_THAT(text, HasSubstr("xmlns:SOAP-ENC1=\"http://www.w3.org/2003/05/soap-encoding\""));
    }
}

// --- one-dimensional arrays ------------------------------------------------------------------

using GsoapArrays = GsoapCall;

TEST_F(GsoapArrays, IntArraysOfThreeOneAndNoItemsEchoWithTheirTrueCount) {
    struct Case {
        std::vector<std::string> values;
        std::string items;
    };
    for (const Case& c : {Case{{"1", "-2", "30"},
                               "<item xsi:type=\"xsd:int\">1</item>"
                               "<item xsi:type=\"xsd:int\">-2</item>"
                               "<item xsi:type=\"xsd:int\">30</item>"},
                          Case{{"7"}, "<item xsi:type=\"xsd:int\">7</item>"}, Case{{}, ""}}) {
        InputRecords in = input("echoIntArray");
        ASSERT_TRUE(in.fillItems("inputArray/item", c.values));
        Invocation got = call("echoIntArray", in);
        ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
        EXPECT_EQ(wrapped(wire_, "echoIntArray"),
                  "<inputArray xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:int[" +
                      std::to_string(c.values.size()) + "]\">" + c.items + "</inputArray>");
        // An answer without any text gives no records at all, the empty array included.
        std::vector<std::string> expected;
        if (!c.values.empty()) {
            expected.push_back("1 return (" + std::to_string(c.values.size()) + ")");
            expected.push_back("2 item (" + std::to_string(c.values.size()) + ")");
        }
        for (const std::string& v : c.values)
            expected.push_back("3 item=" + v);
        EXPECT_EQ(lines(got.output), expected) << exchange_;
    }
}

TEST_F(GsoapArrays, StringItemsKeepTheirTextAndEscapes) {
    InputRecords in = input("echoStringArray");
    ASSERT_TRUE(in.fillItems("inputArray/item", {"a<b", "", "x & y"}));
    Invocation got = call("echoStringArray", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_EQ(wrapped(wire_, "echoStringArray"),
              "<inputArray xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:string[3]\">"
              "<item xsi:type=\"xsd:string\">a&lt;b</item><item xsi:type=\"xsd:string\"></item>"
              "<item xsi:type=\"xsd:string\">x &amp; y</item></inputArray>");
    EXPECT_THAT(lines(got.output),
                ElementsAre("1 return (3)", "2 item (3)", "3 item=a<b", "3 item=", "3 item=x & y"))
        << exchange_;
}

TEST_F(GsoapArrays, StructureItemsAreCountedAsWritten) {
    InputRecords in = input("echoPersonArray");
    std::vector<std::size_t> people = in.growItems("inputArray/item", 2);
    ASSERT_EQ(people.size(), 2u);
    const char* names[] = {"Ann", "Bob"};
    const char* ages[] = {"31", "42"};
    for (std::size_t p = 0; p < people.size(); ++p) {
        for (std::size_t field : in.children(people[p])) {
            if (in.fields[field].fieldName == "name")
                in.fields[field].theData = names[p];
            if (in.fields[field].fieldName == "age")
                in.fields[field].theData = ages[p];
        }
    }
    Invocation got = call("echoPersonArray", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_EQ(wrapped(wire_, "echoPersonArray"),
              "<inputArray xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"tns:Person[2]\">"
              "<item><name xsi:type=\"xsd:string\">Ann</name><age xsi:type=\"xsd:int\">31</age>"
              "</item><item><name xsi:type=\"xsd:string\">Bob</name>"
              "<age xsi:type=\"xsd:int\">42</age></item></inputArray>");
    EXPECT_THAT(lines(got.output), ElementsAre("1 return (2)", "2 item (2)", "3 item", "4 name=Ann",
                                               "4 age=31", "3 item", "4 name=Bob", "4 age=42"))
        << exchange_;
}

// --- arrays of arrays and multi-dimensional arrays ---------------------------------------------

TEST_F(GsoapArrays, ArraysOfArraysGiveEachInnerArrayItsOwnCount) {
    InputRecords in = input("echoIntArrayArray");
    ASSERT_TRUE(in.fillItems("inputArray/item/item/item", {"1", "2", "3"}));
    std::vector<std::size_t> inner = in.growItems("inputArray/item", 2);
    ASSERT_EQ(inner.size(), 2u);
    // The second inner array loses its items: an empty array among full ones.
    std::size_t itemsOfSecond = inner[1] + 2;
    in.fields.erase(in.fields.begin() + static_cast<std::ptrdiff_t>(itemsOfSecond),
                    in.fields.begin() + static_cast<std::ptrdiff_t>(itemsOfSecond + 3));
    Invocation got = call("echoIntArrayArray", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_EQ(wrapped(wire_, "echoIntArrayArray"),
              "<inputArray xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:int[][2]\">"
              "<item xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:int[3]\">"
              "<item xsi:type=\"xsd:int\">1</item><item xsi:type=\"xsd:int\">2</item>"
              "<item xsi:type=\"xsd:int\">3</item></item>"
              "<item xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:int[0]\"></item>"
              "</inputArray>");
    EXPECT_THAT(lines(got.output),
                ElementsAre("1 return (2)", "2 item (2)", "3 item (3)", "4 item (3)", "5 item=1",
                            "5 item=2", "5 item=3", "3 item (0)", "4 item (0)"))
        << exchange_;
}

TEST_F(GsoapArrays, AMatrixTravelsWithItsShapeAndComesBackTransposed) {
    InputRecords in = input("transposeMatrix");
    ASSERT_TRUE(in.fillItems("matrix/item", {"1", "2", "3", "4", "5", "6"}));
    in.fields[0].info = "2,3";
    Invocation got = call("transposeMatrix", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_THAT(
        wrapped(wire_, "transposeMatrix"),
        HasSubstr("<matrix xsi:type=\"SOAP-ENC:Array\" "
                  "SOAP-ENC:arrayType=\"xsd:int[2,3]\"><item xsi:type=\"xsd:int\">1</item>"));
    EXPECT_THAT(lines(got.output),
                ElementsAre("1 return (6) {3,2}", "2 item (6)", "3 item=1", "3 item=4", "3 item=2",
                            "3 item=5", "3 item=3", "3 item=6"))
        << exchange_;
}

TEST_F(GsoapArrays, ItemsAddedToAShapedArrayAddRows) {
    // The structure's 1 by 1 shape grown to a row of three, then to two rows: the row length
    // stays, the row count follows the items.
    InputRecords in = input("transposeMatrix");
    ASSERT_TRUE(in.fillItems("matrix/item", {"1", "2", "3", "4", "5", "6"}));
    in.fields[0].info = "1,3";
    Invocation got = call("transposeMatrix", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_THAT(wire_, HasSubstr("SOAP-ENC:arrayType=\"xsd:int[2,3]\""));
    ASSERT_FALSE(got.output.empty());
    EXPECT_EQ(got.output[0].info, "3,2");

    // Items that do not fill whole rows are not sent.
    in = input("transposeMatrix");
    ASSERT_TRUE(in.fillItems("matrix/item", {"1", "2", "3", "4"}));
    in.fields[0].info = "1,3";
    std::string text;
    Outcome built = wscore::test::inputSoapMessage(engine_, "transposeMatrix", in, text);
    EXPECT_EQ(built.result, 0);
    EXPECT_THAT(built.error, HasSubstr("'matrix' holds 4 items, which do not fill its shape 1,3"));
}

// --- partially transmitted arrays and headers --------------------------------------------------

TEST_F(GsoapArrays, AnOffsetArrayHasItsDeclaredSizeWithItsItemsInPlace) {
    InputRecords in = input("offsetRange");
    ASSERT_TRUE(in.set("first", "2"));
    ASSERT_TRUE(in.set("count", "3"));
    Invocation got = call("offsetRange", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_THAT(exchange_, HasSubstr("SOAP-ENC:offset=\"[2]\""));
    EXPECT_THAT(lines(got.output), ElementsAre("1 return (5)", "2 item (5)", "3 item=", "3 item=",
                                               "3 item=2", "3 item=3", "3 item=4"))
        << exchange_;
}

TEST_F(GsoapArrays, HeaderArraysCarryTheirCountBothWays) {
    InputRecords in = input("sumTokens");
    ASSERT_FALSE(in.fields.empty());
    ASSERT_TRUE(in.fields[0].isHeader);
    ASSERT_TRUE(in.fillItems("tokens/item", {"4", "5", "6"}));
    Invocation got = call("sumTokens", in);
    ASSERT_EQ(got.result, -1) << got.error << "\n" << exchange_;
    EXPECT_THAT(wire_, HasSubstr("<tns:tokens xsi:type=\"SOAP-ENC:Array\" "
                                 "SOAP-ENC:arrayType=\"xsd:int[3]\"><item xsi:type=\"xsd:int\">4"
                                 "</item><item xsi:type=\"xsd:int\">5</item>"
                                 "<item xsi:type=\"xsd:int\">6</item></tns:tokens>"));
    // The service answers the sum, and the tokens reversed in its own header.
    EXPECT_THAT(lines(got.output), ElementsAre("1 tokens (3)", "2 item (3)", "3 item=6", "3 item=5",
                                               "3 item=4", "1 sum=15"))
        << exchange_;
}

}  // namespace
