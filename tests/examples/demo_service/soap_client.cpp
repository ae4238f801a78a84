#include "tests/examples/demo_service/soap_client.h"

#include <gtest/gtest.h>

namespace nv::demo::test {

namespace {

Exchange toExchange(const httplib::Result& result) {
    Exchange exchange;
    if (!result)
        return exchange;
    exchange.status = result->status;
    exchange.contentType = result->get_header_value("Content-Type");
    exchange.body = result->body;
    exchange.headers = result->headers;
    return exchange;
}

httplib::Client clientFor(const DemoService& service) {
    httplib::Client client("127.0.0.1", service.port());
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    return client;
}

}  // namespace

std::string envelope(std::string_view bodyContent, std::string_view headerContent) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
        " xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\">";
    if (!headerContent.empty())
        xml += "<soap:Header>" + std::string(headerContent) + "</soap:Header>";
    xml += "<soap:Body>" + std::string(bodyContent) + "</soap:Body></soap:Envelope>";
    return xml;
}

Exchange post(const DemoService& service, const std::string& path, const std::string& body,
              const std::string& contentType, const httplib::Headers& headers) {
    httplib::Client client = clientFor(service);
    return toExchange(client.Post(path, headers, body, contentType));
}

Exchange get(const DemoService& service, const std::string& path, const httplib::Headers& headers) {
    httplib::Client client = clientFor(service);
    return toExchange(client.Get(path, headers));
}

soap::Reader readAnswer(const Exchange& exchange) {
    soap::Reader reader;
    EXPECT_TRUE(reader.load(exchange.body)) << reader.error() << "\n" << exchange.body;
    return reader;
}

soap::Reader readDimeAnswer(const Exchange& exchange) {
    soap::Reader reader;
    EXPECT_TRUE(reader.loadDime(exchange.body)) << reader.error();
    return reader;
}

xml::Node firstEntry(const soap::Reader& message) {
    const std::vector<xml::Node> entries = message.bodyEntries();
    return entries.empty() ? xml::Node() : entries.front();
}

xml::Node child(xml::Node parent, std::string_view name) {
    return parent.isNull() ? xml::Node() : parent.firstChildElement(name);
}

std::string childText(xml::Node parent, std::string_view name) {
    return child(parent, name).text();
}

std::string headerOf(const Exchange& exchange, const std::string& name) {
    const auto it = exchange.headers.find(name);
    return it == exchange.headers.end() ? std::string() : it->second;
}

std::string faultCode(const soap::Reader& message) {
    return message.faultCode().text();
}

std::string faultString(const soap::Reader& message) {
    return message.faultString().text();
}

DemoService* ServiceTest::service_ = nullptr;

void ServiceTest::SetUpTestSuite() {
    service_ = new DemoService();
}

void ServiceTest::TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
}

}  // namespace nv::demo::test
