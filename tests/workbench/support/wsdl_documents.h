// Small WSDL documents for the workbench tests, served on 127.0.0.1: two services, one service
// with a single operation whose first input field is a structure, the same behind HTTP Basic
// authentication (user "u", password "p"), and a service without operations.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "tests/support/http_servers.h"

namespace sondar::test {

class WsdlDocuments {
  public:
    WsdlDocuments();

    // "/two-services.wsdl", "/single.wsdl", "/secret.wsdl", "/no-operations.wsdl".
    std::string url(const std::string& path) const { return runner_->url(path); }
    // Requests to "/secret.wsdl" that were turned away for lack of credentials.
    int refusedRequests() const { return refused_.load(); }

  private:
    std::atomic<int> refused_{0};
    std::unique_ptr<nv::test::HttpServerRunner> runner_;
};

}  // namespace sondar::test
