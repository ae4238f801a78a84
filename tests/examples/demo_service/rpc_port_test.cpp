// The rpc/encoded port answering hand-written SOAP-encoded requests.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/examples/demo_service/soap_client.h"

namespace nv::demo::test {
namespace {

constexpr std::string_view kRpcNs = "urn:sondar:demo:rpc";
constexpr std::string_view kEncodedNs = "urn:sondar:demo:encoded";
constexpr std::string_view kXsiNs = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kSoapEncNs = "http://schemas.xmlsoap.org/soap/encoding/";

std::string xsiType(xml::Node n) {
    return n.attributeNS(kXsiNs, "type");
}

std::string arrayType(xml::Node n) {
    return n.attributeNS(kSoapEncNs, "arrayType");
}

std::vector<xml::Node> items(xml::Node array) {
    std::vector<xml::Node> found;
    for (xml::Node n = array.firstChildElement(); n; n = n.nextSiblingElement())
        found.push_back(n);
    return found;
}

// An rpc request: the operation wrapper in the port's namespace around `parameters`.
std::string rpc(const std::string& operation, const std::string& parameters,
                const std::string& after = {}) {
    return envelope("<m:" + operation + " xmlns:m=\"urn:sondar:demo:rpc\" soap:encodingStyle=\"" +
                    std::string(kSoapEncNs) + "\">" + parameters + "</m:" + operation + ">" +
                    after);
}

class DemoRpcPort : public ServiceTest {
  protected:
    // The <OperationResponse> wrapper of a successful call.
    xml::Node answerOf(const std::string& operation, const std::string& request) {
        const Exchange answer = post(service(), "/demo/rpcenc", request);
        EXPECT_EQ(answer.status, 200) << answer.body;
        message_ = readAnswer(answer);
        xml::Node wrapper = firstEntry(message_);
        EXPECT_EQ(wrapper.baseName(), operation + "Response");
        EXPECT_EQ(wrapper.namespaceURI(), kRpcNs);
        EXPECT_EQ(wrapper.attribute("soap:encodingStyle"), kSoapEncNs);
        return wrapper;
    }

    std::pair<std::string, std::string> faultOf(const std::string& request) {
        const Exchange answer = post(service(), "/demo/rpcenc", request);
        EXPECT_EQ(answer.status, 500) << answer.body;
        message_ = readAnswer(answer);
        return {faultCode(message_), faultString(message_)};
    }

    // The Body element with this id, as a multi-reference href names it ("#id1").
    xml::Node referenced(const std::string& href) {
        for (xml::Node entry : message_.bodyEntries()) {
            if ("#" + entry.attribute("id") == href)
                return entry;
        }
        return {};
    }

    soap::Reader message_;
};

TEST_F(DemoRpcPort, AddAnswersATypedReturnAccessor) {
    xml::Node response =
        answerOf("Add", rpc("Add", R"(<a xsi:type="xsd:int">2</a><b xsi:type="xsd:int">3</b>)"));
    xml::Node result = child(response, "return");
    EXPECT_EQ(result.text(), "5");
    EXPECT_EQ(xsiType(result), "xsd:int");
    EXPECT_TRUE(result.namespaceURI().empty());
}

TEST_F(DemoRpcPort, AddTakesQualifiedParametersAndUntypedValues) {
    xml::Node response = answerOf("Add", rpc("Add", "<m:a>-7</m:a><m:b> 10 </m:b>"));
    EXPECT_EQ(childText(response, "return"), "3");
}

TEST_F(DemoRpcPort, AddFaultsOnOverflowAndOnAMissingParameter) {
    auto [code, text] = faultOf(rpc("Add", "<a>2147483647</a><b>1</b>"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("2147483648"), std::string::npos);
    auto [code2, text2] = faultOf(rpc("Add", "<a>1</a>"));
    EXPECT_EQ(code2, "soap:Client");
    EXPECT_NE(text2.find("'b'"), std::string::npos);
}

TEST_F(DemoRpcPort, EchoStringArrayAnswersAOneDimensionalArray) {
    xml::Node response = answerOf(
        "EchoStringArray",
        rpc("EchoStringArray",
            R"(<values xsi:type="soapenc:Array" soapenc:arrayType="xsd:string[3]">)"
            R"(<item>one</item><string>two &amp; a half</string><item xsi:nil="true"/></values>)"));
    xml::Node result = child(response, "return");
    EXPECT_EQ(xsiType(result), "soapenc:Array");
    EXPECT_EQ(arrayType(result), "xsd:string[3]");
    const std::vector<xml::Node> values = items(result);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].text(), "one");
    EXPECT_EQ(xsiType(values[0]), "xsd:string");
    EXPECT_EQ(values[1].text(), "two & a half");
    EXPECT_EQ(values[2].attributeNS(kXsiNs, "nil"), "true");
}

TEST_F(DemoRpcPort, EchoStringArrayOfNothingIsAnEmptyArray) {
    xml::Node result = child(
        answerOf("EchoStringArray",
                 rpc("EchoStringArray",
                     R"(<values xsi:type="soapenc:Array" soapenc:arrayType="xsd:string[0]"/>)")),
        "return");
    EXPECT_EQ(arrayType(result), "xsd:string[0]");
    EXPECT_TRUE(items(result).empty());
}

TEST_F(DemoRpcPort, TransposeMatrixAnswersAnArrayOfArrays) {
    xml::Node result =
        child(answerOf("TransposeMatrix",
                       rpc("TransposeMatrix",
                           R"(<matrix xsi:type="soapenc:Array" soapenc:arrayType="xsd:int[][2]">)"
                           R"(<item soapenc:arrayType="xsd:int[3]">)"
                           R"(<item>1</item><item>2</item><item>3</item></item>)"
                           R"(<item soapenc:arrayType="xsd:int[3]">)"
                           R"(<item>4</item><item>5</item><item>6</item></item>)"
                           R"(</matrix>)")),
              "return");
    EXPECT_EQ(arrayType(result), "xsd:int[][3]");
    const std::vector<xml::Node> rows = items(result);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::vector<std::string>> values;
    for (xml::Node row : rows) {
        EXPECT_EQ(arrayType(row), "xsd:int[2]");
        EXPECT_EQ(xsiType(row), "soapenc:Array");
        std::vector<std::string>& r = values.emplace_back();
        for (xml::Node v : items(row))
            r.push_back(v.text());
    }
    EXPECT_EQ(values, (std::vector<std::vector<std::string>>{{"1", "4"}, {"2", "5"}, {"3", "6"}}));
}

TEST_F(DemoRpcPort, TransposeMatrixRefusesRowsOfDifferentLengths) {
    auto [code, text] = faultOf(rpc("TransposeMatrix",
                                    "<matrix><item><item>1</item><item>2</item></item>"
                                    "<item><item>3</item></item></matrix>"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("row 2 has 1 values"), std::string::npos);
}

TEST_F(DemoRpcPort, GetMultiplicationTableAnswersATwoDimensionalArray) {
    xml::Node result =
        child(answerOf("GetMultiplicationTable",
                       rpc("GetMultiplicationTable", "<rows>2</rows><columns>3</columns>")),
              "return");
    EXPECT_EQ(xsiType(result), "soapenc:Array");
    EXPECT_EQ(arrayType(result), "xsd:int[2,3]");
    std::vector<std::string> values;
    for (xml::Node v : items(result))
        values.push_back(v.text());
    EXPECT_EQ(values, (std::vector<std::string>{"1", "2", "3", "2", "4", "6"}));
}

TEST_F(DemoRpcPort, GetMultiplicationTableRefusesSidesOutOfRange) {
    EXPECT_EQ(faultOf(rpc("GetMultiplicationTable", "<rows>0</rows><columns>3</columns>")).first,
              "soap:Client");
    EXPECT_EQ(faultOf(rpc("GetMultiplicationTable", "<rows>2</rows><columns>21</columns>")).first,
              "soap:Client");
}

TEST_F(DemoRpcPort, EchoMemberFollowsMultiReferenceParameters) {
    xml::Node result = child(
        answerOf("EchoMember",
                 rpc("EchoMember", R"(<member href="#m1"/>)",
                     R"(<multiRef id="m1" soapenc:root="0" xsi:type="e:Member")"
                     R"( xmlns:e="urn:sondar:demo:encoded">)"
                     R"(<name href="#s1"/><role>Tester</role><age>30</age><active>false</active>)"
                     R"(<joined>2022-01-31T23:59:59.5-05:00</joined></multiRef>)"
                     R"(<multiRef id="s1" soapenc:root="0" xsi:type="xsd:string">)"
                     R"(Barbara Liskov</multiRef>)")),
        "return");
    EXPECT_EQ(xsiType(result), "enc:Member");
    EXPECT_EQ(result.lookupNamespaceURI("enc"), kEncodedNs);
    EXPECT_EQ(childText(result, "name"), "Barbara Liskov");
    EXPECT_EQ(xsiType(child(result, "name")), "xsd:string");
    EXPECT_EQ(childText(result, "age"), "30");
    EXPECT_EQ(childText(result, "active"), "false");
    EXPECT_EQ(childText(result, "joined"), "2022-01-31T23:59:59.5-05:00");
}

TEST_F(DemoRpcPort, EchoMemberFaultsOnADanglingOrCyclicReference) {
    EXPECT_EQ(faultOf(rpc("EchoMember", R"(<member href="#nowhere"/>)")).first, "soap:Client");
    auto [code, text] = faultOf(rpc("EchoMember", R"(<member href="#a"/>)",
                                    R"(<multiRef id="a" href="#b"/><multiRef id="b" href="#a"/>)"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("cycle"), std::string::npos);
}

TEST_F(DemoRpcPort, GetTeamSharesTheLeaderBetweenTwoReferences) {
    xml::Node response = answerOf("GetTeam", rpc("GetTeam", "<teamName>Compilers</teamName>"));
    const std::string rootHref = child(response, "return").attribute("href");
    ASSERT_EQ(rootHref, "#id0");
    EXPECT_TRUE(child(response, "return").text().empty());

    xml::Node team = referenced(rootHref);
    ASSERT_FALSE(team.isNull());
    EXPECT_EQ(team.baseName(), "multiRef");
    EXPECT_EQ(team.attributeNS(kSoapEncNs, "root"), "0");
    EXPECT_EQ(xsiType(team), "enc:Team");
    EXPECT_EQ(childText(team, "name"), "Compilers");

    xml::Node members = child(team, "members");
    EXPECT_EQ(arrayType(members), "enc:Member[3]");
    const std::vector<xml::Node> list = items(members);
    ASSERT_EQ(list.size(), 3u);
    const std::string leaderHref = child(team, "leader").attribute("href");
    EXPECT_EQ(leaderHref, list[0].attribute("href"));

    xml::Node leader = referenced(leaderHref);
    ASSERT_FALSE(leader.isNull());
    EXPECT_EQ(xsiType(leader), "enc:Member");
    EXPECT_EQ(childText(leader, "name"), "Grace Hopper");
    EXPECT_EQ(xsiType(child(leader, "age")), "xsd:int");
    for (xml::Node item : list)
        EXPECT_FALSE(referenced(item.attribute("href")).isNull());
}

TEST_F(DemoRpcPort, UnknownOperationIsAClientFault) {
    auto [code, text] = faultOf(rpc("EchoString", "<text>x</text>"));
    EXPECT_EQ(code, "soap:Client");
    EXPECT_NE(text.find("'EchoString'"), std::string::npos);
}

}  // namespace
}  // namespace nv::demo::test
