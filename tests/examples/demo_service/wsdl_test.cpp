// The WSDL the demo service serves: where it is, that it parses, and that it describes what the
// ports answer.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "examples/demo_service/demo_service.h"
#include "examples/demo_service/document_operations.h"
#include "examples/demo_service/rpc_operations.h"
#include "platform/xmldom/document.h"
#include "tests/examples/demo_service/soap_client.h"

namespace nv::demo::test {
namespace {

constexpr std::string_view kWsdlNs = "http://schemas.xmlsoap.org/wsdl/";
constexpr std::string_view kWsdlSoapNs = "http://schemas.xmlsoap.org/wsdl/soap/";
constexpr std::string_view kDimeWsdlNs = "http://schemas.xmlsoap.org/ws/2002/04/dime/wsdl/";

// Every element below `root` with this local name (and namespace, when given), document order.
std::vector<xml::Node> descendants(xml::Node root, std::string_view name,
                                   std::string_view ns = {}) {
    std::vector<xml::Node> found;
    for (xml::Node n = root.firstChildElement(); n; n = n.nextSiblingElement()) {
        if (n.baseName() == name && (ns.empty() || n.namespaceURI() == ns))
            found.push_back(n);
        for (xml::Node d : descendants(n, name, ns))
            found.push_back(d);
    }
    return found;
}

xml::Node named(xml::Node root, std::string_view element, std::string_view name) {
    for (xml::Node n : descendants(root, element)) {
        if (n.attribute("name") == name)
            return n;
    }
    return {};
}

class DemoWsdl : public ServiceTest {
  protected:
    // The WSDL as served, loaded into `document_`.
    xml::Node load(const httplib::Headers& headers = {}) {
        const Exchange answer = get(service(), "/demo?wsdl", headers);
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.contentType, "text/xml; charset=utf-8");
        EXPECT_TRUE(document_.loadXML(answer.body)) << document_.parseError().reason;
        return document_.documentElement();
    }

    std::string location(xml::Node definitions, std::string_view port) {
        return child(named(definitions, "port", port), "address").attribute("location");
    }

    xml::Document document_;
};

TEST_F(DemoWsdl, IsServedAtBothAddressesAsOneDocument) {
    const Exchange query = get(service(), "/demo?wsdl");
    const Exchange file = get(service(), "/demo.wsdl");
    ASSERT_EQ(query.status, 200);
    ASSERT_EQ(file.status, 200);
    EXPECT_EQ(query.body, file.body);
    EXPECT_NE(query.body.find("<wsdl:definitions"), std::string::npos);
}

TEST_F(DemoWsdl, ParsesAndNamesBothPortsOnTheAddressAsked) {
    xml::Node definitions = load();
    ASSERT_EQ(definitions.baseName(), "definitions");
    EXPECT_EQ(definitions.namespaceURI(), kWsdlNs);
    EXPECT_EQ(definitions.attribute("targetNamespace"), "urn:sondar:demo");

    const std::vector<xml::Node> services = descendants(definitions, "service", kWsdlNs);
    ASSERT_EQ(services.size(), 1u);
    EXPECT_EQ(services[0].attribute("name"), "DemoService");
    EXPECT_EQ(descendants(services[0], "port", kWsdlNs).size(), 2u);
    EXPECT_EQ(location(definitions, "DemoDocumentPort"), service().documentEndpoint());
    EXPECT_EQ(location(definitions, "DemoRpcPort"), service().rpcEndpoint());
}

TEST_F(DemoWsdl, AddressFollowsTheHostHeader) {
    const std::string port = std::to_string(service().port());
    xml::Node definitions = load({{"Host", "localhost:" + port}});
    EXPECT_EQ(location(definitions, "DemoDocumentPort"),
              "http://localhost:" + port + "/demo/doclit");
}

TEST_F(DemoWsdl, HostHeaderThatIsNoHostNameFallsBackToTheListeningAddress) {
    xml::Node definitions = load({{"Host", "evil\"/><x a=\""}});
    EXPECT_EQ(location(definitions, "DemoRpcPort"), service().rpcEndpoint());
}

TEST_F(DemoWsdl, BindingsAreDocumentLiteralAndRpcEncoded) {
    xml::Node definitions = load();
    xml::Node doc = named(definitions, "binding", "DemoDocumentBinding");
    xml::Node rpc = named(definitions, "binding", "DemoRpcBinding");
    ASSERT_FALSE(doc.isNull());
    ASSERT_FALSE(rpc.isNull());
    EXPECT_EQ(child(doc, "binding").attribute("style"), "document");
    EXPECT_EQ(child(rpc, "binding").attribute("style"), "rpc");
    for (xml::Node body : descendants(doc, "body", kWsdlSoapNs))
        EXPECT_EQ(body.attribute("use"), "literal");
    for (xml::Node body : descendants(rpc, "body", kWsdlSoapNs)) {
        EXPECT_EQ(body.attribute("use"), "encoded");
        EXPECT_EQ(body.attribute("encodingStyle"), "http://schemas.xmlsoap.org/soap/encoding/");
        EXPECT_EQ(body.attribute("namespace"), "urn:sondar:demo:rpc");
    }
}

// What the WSDL offers and what the service answers must not drift apart.
TEST_F(DemoWsdl, BindsExactlyTheOperationsEachPortAnswers) {
    xml::Node definitions = load();
    auto bound = [&](std::string_view binding) {
        std::set<std::string> names;
        for (xml::Node op :
             descendants(named(definitions, "binding", binding), "operation", kWsdlNs))
            names.insert(op.attribute("name"));
        return names;
    };
    auto served = [](std::span<const Operation> operations) {
        std::set<std::string> names;
        for (const Operation& op : operations)
            names.emplace(op.name);
        return names;
    };
    EXPECT_EQ(bound("DemoDocumentBinding"), served(documentOperations()));
    EXPECT_EQ(bound("DemoRpcBinding"), served(rpcOperations()));
}

TEST_F(DemoWsdl, DimeExtensionIsOnTheAttachmentOperationOnly) {
    xml::Node definitions = load();
    const std::vector<xml::Node> messages = descendants(definitions, "message", kDimeWsdlNs);
    ASSERT_EQ(messages.size(), 2u);
    for (xml::Node m : messages) {
        EXPECT_EQ(m.attribute("layout"),
                  "http://schemas.xmlsoap.org/ws/2002/04/dime/closed-layout");
        EXPECT_EQ(m.attributeNS(kWsdlNs, "required"), "true");
        EXPECT_EQ(m.parent().parent().attribute("name"), "EchoAttachment");
    }
    EXPECT_EQ(messages[0].parent().baseName(), "input");
    EXPECT_EQ(messages[1].parent().baseName(), "output");
    xml::Node part = child(named(definitions, "message", "EchoAttachmentRequest"), "part");
    EXPECT_EQ(part.attribute("type"), "xsd:base64Binary");
}

TEST_F(DemoWsdl, EncodedArraysDeclareOneAndTwoDimensions) {
    xml::Node definitions = load();
    auto arrayType = [&](std::string_view type) {
        const std::vector<xml::Node> attributes =
            descendants(named(definitions, "complexType", type), "attribute");
        return attributes.empty() ? std::string() : attributes[0].attributeNS(kWsdlNs, "arrayType");
    };
    EXPECT_EQ(arrayType("ArrayOfString"), "xsd:string[]");
    EXPECT_EQ(arrayType("ArrayOfArrayOfInt"), "xsd:int[][]");
    EXPECT_EQ(arrayType("IntGrid"), "xsd:int[,]");
    EXPECT_EQ(arrayType("ArrayOfMember"), "enc:Member[]");
}

TEST_F(DemoWsdl, SessionHeadersAreDeclaredOnInputAndOutput) {
    xml::Node definitions = load();
    xml::Node op =
        named(named(definitions, "binding", "DemoDocumentBinding"), "operation", "GetSessionInfo");
    EXPECT_EQ(child(child(op, "input"), "header").attribute("message"), "tns:SessionHeaderMessage");
    EXPECT_EQ(child(child(op, "output"), "header").attribute("message"), "tns:SessionEchoMessage");
}

TEST_F(DemoWsdl, PlainDemoPathListsTheAddresses) {
    const Exchange index = get(service(), "/demo");
    ASSERT_EQ(index.status, 200);
    EXPECT_NE(index.body.find(service().wsdlUrl()), std::string::npos);
    EXPECT_NE(index.body.find(service().rpcEndpoint()), std::string::npos);
}

}  // namespace
}  // namespace nv::demo::test
