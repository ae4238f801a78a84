// DemoService: Sondar's demo SOAP service, on 127.0.0.1, answering on its own threads.
//
// GET /demo?wsdl (also /demo.wsdl) gives the WSDL, whose soap:address locations name the
// host and port the request came in on; POST /demo/doclit is the document/literal port and
// POST /demo/rpcenc the rpc/encoded port.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "examples/demo_service/recorded_request.h"

namespace nv::demo {

class DemoService {
  public:
    // Listens on 127.0.0.1:`port` (0: an ephemeral port) and serves until stop() or
    // destruction. Throws std::runtime_error when the port cannot be had.
    explicit DemoService(int port = 0);
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    int port() const;
    // "http://127.0.0.1:<port>" and the addresses below it.
    std::string baseUrl() const;
    std::string wsdlUrl() const;
    std::string documentEndpoint() const;
    std::string rpcEndpoint() const;

    // Ends serving and waits for the server thread; later calls do nothing. Not to be called
    // from several threads at once.
    void stop();
    bool running() const;

    // A copy of the last request the service answered on one of its paths; none before the
    // first. Safe to call from any thread while the service runs.
    std::optional<RecordedRequest> lastRequest() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::demo
