// Small WSDL documents for the workbench tests, served on 127.0.0.1: two services, one service
// with a single operation whose first input field is a structure, the same behind HTTP Basic
// authentication (user "u", password "p"), and a service without operations.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "tests/support/http_servers.h"

namespace sondar::test {

class WsdlDocuments {
  public:
    WsdlDocuments();

    // "/two-services.wsdl", "/single.wsdl", "/secret.wsdl", "/no-operations.wsdl", and
    // "/orders.wsdl", whose operation PlaceOrder is answered at "/orders" with three lines, and
    // Ping, which takes no input, with the status "ready".
    std::string url(const std::string& path) const { return runner_->url(path); }
    // Requests to "/secret.wsdl" that were turned away for lack of credentials.
    int refusedRequests() const { return refused_.load(); }
    // The body of the last request posted to "/orders".
    std::string lastOrder() const;

  private:
    std::atomic<int> refused_{0};
    mutable std::mutex mutex_;
    std::string lastOrder_;
    std::unique_ptr<nv::test::HttpServerRunner> runner_;
};

}  // namespace sondar::test
