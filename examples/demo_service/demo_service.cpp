#include "examples/demo_service/demo_service.h"

#include <sys/socket.h>

#include <chrono>
#include <mutex>
#include <span>
#include <stdexcept>
#include <thread>

#include <httplib.h>

#include "examples/demo_service/answer.h"
#include "examples/demo_service/demo_namespaces.h"
#include "examples/demo_service/document_operations.h"
#include "examples/demo_service/rpc_operations.h"
#include "examples/demo_service/soap_dispatch.h"
#include "examples/demo_service/wsdl_document.h"

namespace nv::demo {

namespace {

constexpr const char* kLoopback = "127.0.0.1";
// Far above anything the demo's operations need; keeps a runaway client from filling memory.
constexpr std::size_t kMaxRequestBytes = 16u * 1024 * 1024;

// Headers httplib adds to the request itself; they were not sent by the client.
bool isInjectedHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
           name == "LOCAL_PORT";
}

// A Host header fit to be written into the WSDL: host-name, IPv6-literal and port characters.
bool isPlainHost(const std::string& host) {
    if (host.empty() || host.size() > 255)
        return false;
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok)
            return false;
    }
    return true;
}

void send(const Answer& answer, httplib::Response& res) {
    res.status = answer.status;
    for (const auto& [name, value] : answer.headers)
        res.set_header(name, value);
    res.set_content(answer.body, answer.contentType);
}

}  // namespace

struct DemoService::Impl {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;  // guards last
    std::optional<RecordedRequest> last;

    void record(const httplib::Request& req) {
        RecordedRequest r;
        r.method = req.method;
        r.path = req.target.empty() ? req.path : req.target;
        for (const auto& [name, value] : req.headers) {
            if (!isInjectedHeader(name))
                r.headers.emplace_back(name, value);
        }
        r.body = req.body;
        std::lock_guard lock(mutex);
        last = std::move(r);
    }

    std::string hostPortFor(const httplib::Request& req) const {
        const std::string host = req.get_header_value("Host");
        return isPlainHost(host) ? host : std::string(kLoopback) + ":" + std::to_string(port);
    }

    void serveWsdl(const httplib::Request& req, httplib::Response& res) const {
        res.set_content(demoWsdl(hostPortFor(req)), kXmlContentType);
    }

    void serveIndex(const httplib::Request& req, httplib::Response& res) const {
        const std::string base = "http://" + hostPortFor(req);
        res.set_content("Sondar demo service\n\nWSDL: " + base + "/demo?wsdl\n" +
                            "document/literal port: " + base + std::string(kDocumentPath) + "\n" +
                            "rpc/encoded port: " + base + std::string(kRpcPath) + "\n",
                        "text/plain; charset=utf-8");
    }

    void serveSoap(std::span<const Operation> operations, const httplib::Request& req,
                   httplib::Response& res) const {
        const std::string contentType = req.get_header_value("Content-Type");
        const std::string authorization = req.get_header_value("Authorization");
        send(dispatchSoap(operations, SoapRequest{contentType, req.body, authorization}), res);
    }

    void routes() {
        server.Get("/demo", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            if (req.has_param("wsdl"))
                serveWsdl(req, res);
            else
                serveIndex(req, res);
        });
        server.Get(R"(/demo\.wsdl)", [this](const httplib::Request& req, httplib::Response& res) {
            record(req);
            serveWsdl(req, res);
        });
        server.Post(std::string(kDocumentPath),
                    [this](const httplib::Request& req, httplib::Response& res) {
                        record(req);
                        serveSoap(documentOperations(), req, res);
                    });
        server.Post(std::string(kRpcPath),
                    [this](const httplib::Request& req, httplib::Response& res) {
                        record(req);
                        serveSoap(rpcOperations(), req, res);
                    });
    }
};

DemoService::DemoService(int port) : impl_(std::make_unique<Impl>()) {
    Impl& m = *impl_;
    m.server.set_payload_max_length(kMaxRequestBytes);
    // httplib's default adds SO_REUSEPORT, which would let a second service share the port
    // silently; a port in use must be refused instead.
    m.server.set_socket_options([](socket_t sock) {
        const int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Answers go out in several writes; without this each kept-alive call waits for the
    // client's delayed acknowledgement.
    m.server.set_tcp_nodelay(true);
    m.routes();
    if (port == 0) {
        m.port = m.server.bind_to_any_port(kLoopback);
    } else if (m.server.bind_to_port(kLoopback, port)) {
        m.port = port;
    }
    if (m.port <= 0) {
        throw std::runtime_error("the demo service cannot listen on " + std::string(kLoopback) +
                                 ":" + std::to_string(port));
    }
    m.thread = std::thread([&m] { m.server.listen_after_bind(); });
    // stop() does nothing until the accept loop runs, so do not return before it does.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m.server.is_running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DemoService::~DemoService() {
    stop();
}

int DemoService::port() const {
    return impl_->port;
}

std::string DemoService::baseUrl() const {
    return "http://" + std::string(kLoopback) + ":" + std::to_string(impl_->port);
}

std::string DemoService::wsdlUrl() const {
    return baseUrl() + "/demo?wsdl";
}

std::string DemoService::documentEndpoint() const {
    return baseUrl() + std::string(kDocumentPath);
}

std::string DemoService::rpcEndpoint() const {
    return baseUrl() + std::string(kRpcPath);
}

void DemoService::stop() {
    Impl& m = *impl_;
    if (!m.thread.joinable())
        return;
    m.server.stop();
    m.thread.join();
}

bool DemoService::running() const {
    return impl_->thread.joinable() && impl_->server.is_running();
}

std::optional<RecordedRequest> DemoService::lastRequest() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->last;
}

}  // namespace nv::demo
