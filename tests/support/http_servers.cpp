#include "tests/support/http_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <openssl/evp.h>

namespace nv::test {

namespace {

int listenOnLoopback(int& port, bool listen) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket failed");
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        (listen && ::listen(fd, 16) != 0)) {
        ::close(fd);
        throw std::runtime_error("bind/listen failed");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

int connectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

std::string headerValue(const std::string& head, const std::string& name) {
    std::size_t pos = head.find("\r\n");
    while (pos != std::string::npos && pos + 2 < head.size()) {
        const std::size_t start = pos + 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string line = head.substr(start, end - start);
        const auto colon = line.find(':');
        if (colon != std::string::npos && strncasecmp(line.c_str(), name.c_str(), colon) == 0 &&
            colon == name.size()) {
            std::size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ')
                ++v;
            return line.substr(v);
        }
        pos = end;
    }
    return {};
}

}  // namespace

HttpServerRunner::HttpServerRunner(std::unique_ptr<httplib::Server> server)
    : server_(std::move(server)) {
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("httplib could not bind");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is a no-op until the accept loop runs, so wait for it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpServerRunner::~HttpServerRunner() {
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

std::string HttpServerRunner::url(const std::string& path, const std::string& host) const {
    const bool tls = dynamic_cast<const httplib::SSLServer*>(server_.get()) != nullptr;
    return std::string(tls ? "https://" : "http://") + host + ":" + std::to_string(port_) + path;
}

std::string readHead(int fd, int timeoutMs) {
    std::string head;
    char c = 0;
    while (head.size() < 65536) {
        if (!waitReadable(fd, timeoutMs))
            return {};
        if (::recv(fd, &c, 1, 0) != 1)
            return {};
        head += c;
        if (head.ends_with("\r\n\r\n"))
            return head;
    }
    return {};
}

std::string readExactly(int fd, std::size_t n, int timeoutMs) {
    std::string out;
    char buf[16384];
    while (out.size() < n) {
        if (!waitReadable(fd, timeoutMs))
            break;
        const ssize_t got = ::recv(fd, buf, std::min(sizeof buf, n - out.size()), 0);
        if (got <= 0)
            break;
        out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t contentLength(const std::string& head) {
    const std::string v = headerValue(head, "Content-Length");
    return v.empty() ? 0 : std::strtoul(v.c_str(), nullptr, 10);
}

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = listenOnLoopback(port_, true);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() {
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    if (acceptThread_.joinable())
        acceptThread_.join();
    ::close(listenFd_);
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        for (int fd : clientFds_)
            if (fd >= 0)
                ::shutdown(fd, SHUT_RDWR);
        workers.swap(workers_);
    }
    for (auto& t : workers)
        t.join();
}

std::string RawServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawServer::acceptLoop() {
    while (!stopping_) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (stopping_) {
            ::close(fd);
            return;
        }
        ++accepted_;
        std::lock_guard lock(mutex_);
        const std::size_t slot = clientFds_.size();
        clientFds_.push_back(fd);
        workers_.emplace_back([this, fd, slot] {
            handler_(fd, stopping_);
            std::lock_guard closing(mutex_);
            ::close(fd);
            clientFds_[slot] = -1;
        });
    }
}

RefusedPort::RefusedPort() {
    fd_ = listenOnLoopback(port_, false);
}
RefusedPort::~RefusedPort() {
    ::close(fd_);
}

ForwardProxy::ForwardProxy(std::optional<std::string> requiredCredential)
    : credential_(std::move(requiredCredential)) {
    raw_ = std::make_unique<RawServer>(
        [this](int fd, const std::atomic<bool>& stopping) { serve(fd, stopping); });
}

int ForwardProxy::requests() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(lines_.size());
}

std::vector<std::string> ForwardProxy::requestLines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> ForwardProxy::authorizations() const {
    std::lock_guard lock(mutex_);
    return authorizations_;
}

void ForwardProxy::serve(int fd, const std::atomic<bool>& stopping) {
    while (!stopping) {
        const std::string head = readHead(fd);
        if (head.empty())
            return;
        const std::string body = readExactly(fd, contentLength(head));
        const std::string requestLine = head.substr(0, head.find("\r\n"));
        const std::string auth = headerValue(head, "Proxy-Authorization");
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(requestLine);
            authorizations_.push_back(auth);
        }
        if (credential_ && auth != "Basic " + base64(*credential_)) {
            writeAll(fd,
                     "HTTP/1.1 407 Proxy Authentication Required\r\n"
                     "Proxy-Authenticate: Basic realm=\"test proxy\"\r\n"
                     "Content-Length: 0\r\n\r\n");
            continue;
        }
        // "METHOD target HTTP/1.1": the target is "host:port" for CONNECT, else absolute.
        const auto sp1 = requestLine.find(' ');
        const auto sp2 = requestLine.rfind(' ');
        const std::string method = requestLine.substr(0, sp1);
        std::string target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
        if (method == "CONNECT") {
            const int upstream =
                connectLoopback(std::atoi(target.substr(target.rfind(':') + 1).c_str()));
            if (upstream < 0) {
                writeAll(fd, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
                continue;
            }
            writeAll(fd, "HTTP/1.1 200 Connection established\r\n\r\n");
            tunnel(fd, upstream, stopping);
            ::close(upstream);
            return;
        }
        const auto schemeEnd = target.find("://");
        const auto pathStart = target.find('/', schemeEnd + 3);
        const std::string authority = target.substr(schemeEnd + 3, pathStart - schemeEnd - 3);
        const std::string path = pathStart == std::string::npos ? "/" : target.substr(pathStart);
        const auto colon = authority.rfind(':');
        const int port = colon == std::string::npos ? 80 : std::atoi(authority.c_str() + colon + 1);
        const int upstream = connectLoopback(port);
        if (upstream < 0) {
            writeAll(fd, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
            continue;
        }
        // Origin form upstream, one request per upstream connection, the proxy's own
        // headers dropped.
        std::string out = method + " " + path + " HTTP/1.1\r\n";
        std::size_t pos = head.find("\r\n") + 2;
        while (pos < head.size()) {
            const std::size_t end = head.find("\r\n", pos);
            if (end == pos)
                break;
            const std::string line = head.substr(pos, end - pos);
            if (strncasecmp(line.c_str(), "Proxy-", 6) != 0 &&
                strncasecmp(line.c_str(), "Connection:", 11) != 0)
                out += line + "\r\n";
            pos = end + 2;
        }
        out += "Connection: close\r\n\r\n" + body;
        writeAll(upstream, out);
        const std::string responseHead = readHead(upstream);
        const std::string responseBody = readExactly(upstream, contentLength(responseHead));
        ::close(upstream);
        if (responseHead.empty())
            return;
        writeAll(fd, responseHead + responseBody);
    }
}

void ForwardProxy::tunnel(int client, int upstream, const std::atomic<bool>& stopping) {
    char buf[16384];
    while (!stopping) {
        pollfd fds[2] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
        if (::poll(fds, 2, 100) < 0)
            return;
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::recv(fds[i].fd, buf, sizeof buf, 0);
            if (n <= 0)
                return;
            if (!writeAll(fds[1 - i].fd, std::string(buf, static_cast<std::size_t>(n))))
                return;
        }
    }
}

std::string base64(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string md5Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &len, EVP_md5(), nullptr);
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < len; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0xF];
    }
    return out;
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name))
        old_ = old;
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

}  // namespace nv::test
