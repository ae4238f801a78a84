// Local servers for the HTTP tests, all on 127.0.0.1 with ephemeral ports: an httplib server
// (plain or TLS) on its own thread, a raw socket server whose connections a test scripts byte
// by byte, and a small forward proxy (absolute-URL requests and CONNECT tunnels).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace nv::test {

// Runs `server` (configured by the caller before start) on a thread until destruction.
class HttpServerRunner {
  public:
    explicit HttpServerRunner(std::unique_ptr<httplib::Server> server);
    ~HttpServerRunner();
    HttpServerRunner(const HttpServerRunner&) = delete;
    HttpServerRunner& operator=(const HttpServerRunner&) = delete;

    int port() const { return port_; }
    httplib::Server& server() { return *server_; }
    std::string url(const std::string& path, const std::string& host = "127.0.0.1") const;

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

// Reads up to and including the blank line ending a request or response head; empty when the
// peer closed first or nothing came within `timeoutMs`.
std::string readHead(int fd, int timeoutMs = 3000);
// Reads exactly `n` bytes (fewer when the peer closes or it times out).
std::string readExactly(int fd, std::size_t n, int timeoutMs = 3000);
bool writeAll(int fd, const std::string& bytes);
// The Content-Length of a head, 0 when absent.
std::size_t contentLength(const std::string& head);

// Accepts connections and hands each to `handler` on its own thread; the connection is closed
// when the handler returns. The handler should return once `stopping` turns true (it is set
// at destruction, which also shuts the open connections down).
class RawServer {
  public:
    using Handler = std::function<void(int fd, const std::atomic<bool>& stopping)>;
    explicit RawServer(Handler handler);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    int port() const { return port_; }
    int acceptedConnections() const { return accepted_.load(); }
    std::string url(const std::string& path) const;

  private:
    void acceptLoop();

    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<int> clientFds_;
};

// A port on 127.0.0.1 that refuses connections (bound, never listening) while this lives.
class RefusedPort {
  public:
    RefusedPort();
    ~RefusedPort();
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;
    int port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// Forward proxy: takes absolute-URL requests and CONNECT, sends everything to 127.0.0.1 at the
// port the request names (so any host name "resolves" there), and records what it saw.
class ForwardProxy {
  public:
    // With a credential ("user:password"), requests need Basic proxy authorization.
    explicit ForwardProxy(std::optional<std::string> requiredCredential = std::nullopt);

    int port() const { return raw_->port(); }
    std::string address() const { return "127.0.0.1:" + std::to_string(port()); }
    int requests() const;
    std::vector<std::string> requestLines() const;
    std::vector<std::string> authorizations() const;

  private:
    void serve(int fd, const std::atomic<bool>& stopping);
    void tunnel(int client, int upstream, const std::atomic<bool>& stopping);

    std::optional<std::string> credential_;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::string> authorizations_;
    std::unique_ptr<RawServer> raw_;
};

// Standard Base64 and MD5 (lower-case hex), for the authentication tests.
std::string base64(const std::string& bytes);
std::string md5Hex(const std::string& bytes);

// Sets (or, with nullopt, unsets) an environment variable, restoring it at destruction.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace nv::test
