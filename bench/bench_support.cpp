#include "bench/bench_support.h"

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/api/wscore.h"
#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

extern char** environ;

namespace nv::bench {

DocumentServer::DocumentServer() {
    server_.set_mount_point("/corpus", NV_CORPUS_DIR);
    server_.Get("/mem/(.*)", [this](const httplib::Request& req, httplib::Response& res) {
        auto it = documents_.find(req.path);
        if (it == documents_.end()) {
            res.status = 404;
            return;
        }
        res.set_content(it->second, "text/xml");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DocumentServer::~DocumentServer() {
    server_.stop();
    thread_.join();
}

void DocumentServer::add(const std::string& path, std::string body) {
    documents_["/mem" + path] = std::move(body);
}

std::string DocumentServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

namespace {

std::vector<std::u16string> strings(char16_t* block, int32_t count) {
    std::vector<std::u16string> out;
    const char16_t* p = block;
    for (int32_t i = 0; i < count; ++i) {
        out.emplace_back(p);
        p += out.back().size() + 1;
    }
    CoTaskMemFree(block);
    return out;
}

void freeRecords(ParameterRecord* r, int32_t n) {
    for (int32_t i = 0; i < n; ++i)
        for (char16_t* s : {r[i].info, r[i].fieldName, r[i].dataType, r[i].theData,
                            r[i].description, r[i].prefix})
            CoTaskMemFree(s);
    CoTaskMemFree(r);
}

}  // namespace

Loaded::Loaded(const std::string& url) {
    char16_t* block = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    std::u16string location = nv::text::utf8ToUtf16(url);
    int32_t ok = WSDLConnect(&id, 0, 0, location.c_str(), &block, &count, &err, nullptr, 0, 0, 0,
                             nullptr, nullptr);
    if (err) {
        std::fprintf(stderr, "load of %s failed: %s\n", url.c_str(),
                     nv::text::utf16ToUtf8(err).c_str());
        SysFreeString(err);
    }
    std::vector<std::u16string> all = strings(block, count);
    for (std::size_t i = 0; i < all.size(); i += 2)
        services.push_back(all[i]);
    if (ok != -1) {
        ReleaseConnection(id);
        id = 0;
    }
}

Loaded::~Loaded() {
    ReleaseConnection(id);
}

long analyse(const Loaded& loaded) {
    long records = 0;
    for (const std::u16string& service : loaded.services) {
        char16_t* block = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        if (GetOperations(loaded.id, service.c_str(), &block, &count, &err) != -1) {
            SysFreeString(err);
            continue;
        }
        std::vector<std::u16string> ops = strings(block, count);
        for (std::size_t o = 0; o < ops.size(); o += 2) {
            for (bool input : {true, false}) {
                ParameterRecord* r = nullptr;
                int32_t n = 0;
                int32_t ok = input ? GetInputStructure(loaded.id, ops[o].c_str(), &r, &n, &err)
                                   : GetOutputStructure(loaded.id, ops[o].c_str(), &r, &n, &err);
                SysFreeString(err);
                err = nullptr;
                if (ok == -1)
                    records += n;
                freeRecords(r, n);
            }
        }
    }
    return records;
}

namespace {

// The child reports its own peak (VmHWM) on stdout: rusage of a spawned child would count
// the parent's pages it shared before exec.
long childPeakKb(const std::string& work, int argument) {
    std::string flag = "--peak=" + work;
    std::string arg = std::to_string(argument);
    char* argv[] = {const_cast<char*>("bench"), flag.data(), arg.data(), nullptr};
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buf[256];
    ssize_t n;
    while (rc == 0 && (n = read(out[0], buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    std::size_t at = text.find("peak_kb=");
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + 8);
}

long ownPeakKb() {  // VmHWM
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

long ownRssKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

long peakBytesOf(const std::string& work, int argument) {
    long peak = childPeakKb(work, argument);
    return peak < 0 ? -1 : peak * 1024L;
}

bool runPeakChild(int argc, char** argv, const PeakWork& perform) {
    if (argc != 3 || std::string(argv[1]).rfind("--peak=", 0) != 0)
        return false;
    std::string work = std::string(argv[1]).substr(7);
    int argument = std::atoi(argv[2]);
    perform("setup", argument);
    // From here on the peak counts only the work: give freed memory back (so the work's
    // allocations show as new pages) and reset the peak to what is resident now.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    long before = ownRssKb();
    perform(work, argument);
    std::printf("peak_kb=%ld\n", ownPeakKb() - before);
    return true;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace nv::bench
