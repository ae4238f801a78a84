// Calling the demo service the way a client on the wire does: hand-written envelopes POSTed
// with httplib, answers parsed with the SOAP reader.
#pragma once

#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <httplib.h>

#include "examples/demo_service/demo_service.h"
#include "platform/soap/reader.h"
#include "platform/xmldom/node.h"

namespace nv::demo::test {

// One HTTP exchange; status -1 when the request did not get an answer.
struct Exchange {
    int status = -1;
    std::string contentType;
    std::string body;
    httplib::Headers headers;
};

// A SOAP 1.1 envelope declaring soap, xsi, xsd and soapenc around the given Body (and Header)
// content.
std::string envelope(std::string_view bodyContent, std::string_view headerContent = {});

Exchange post(const DemoService& service, const std::string& path, const std::string& body,
              const std::string& contentType = "text/xml; charset=utf-8",
              const httplib::Headers& headers = {});
Exchange get(const DemoService& service, const std::string& path,
             const httplib::Headers& headers = {});

// The answer as a SOAP message; the reader is empty (and the test failed) when it is not one.
soap::Reader readAnswer(const Exchange& exchange);
soap::Reader readDimeAnswer(const Exchange& exchange);

// The Body's first entry, and a child element of `parent` by local name.
xml::Node firstEntry(const soap::Reader& message);
xml::Node child(xml::Node parent, std::string_view name);
std::string childText(xml::Node parent, std::string_view name);
// An answer header's value; empty when absent.
std::string headerOf(const Exchange& exchange, const std::string& name);
// The text of faultcode, faultstring.
std::string faultCode(const soap::Reader& message);
std::string faultString(const soap::Reader& message);

// A suite sharing one service on an ephemeral port, started before its first test.
class ServiceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static DemoService& service() { return *service_; }

  private:
    static DemoService* service_;  // owned; lives from SetUpTestSuite to TearDownTestSuite
};

}  // namespace nv::demo::test
