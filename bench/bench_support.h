// Shared pieces of the benchmarks: a local HTTP server for documents, the engine driven through
// its exports, and peak memory of one run measured in a child process.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

namespace nv::bench {

// Serves the corpus folder and any documents added in memory, on 127.0.0.1.
class DocumentServer {
  public:
    DocumentServer();
    ~DocumentServer();
    void add(const std::string& path, std::string body);
    std::string url(const std::string& path) const;

  private:
    httplib::Server server_;
    std::map<std::string, std::string> documents_;
    std::thread thread_;
    int port_ = 0;
};

// A connection loaded with WSDLConnect (id 0 when the load failed), released at destruction.
struct Loaded {
    explicit Loaded(const std::string& url);
    ~Loaded();
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    int id = 0;
    std::vector<std::u16string> services;  // names only
};

// GetOperations for every service and both structures of every operation, as the workbench
// does after a load; returns the number of records handed out.
long analyse(const Loaded& loaded);

// Peak resident memory (bytes) that running `work` once adds: a fresh child process (this
// program again, with "--peak=<work> <argument>") sets up (perform("setup", argument)), resets
// its peak counter, does the work and reports its peak over what it held before. The
// program's main must hand such arguments to runPeakChild.
long peakBytesOf(const std::string& work, int argument);
// Runs the child side when argv asks for it; returns true when it did (main then returns).
using PeakWork = std::function<void(const std::string& work, int argument)>;
bool runPeakChild(int argc, char** argv, const PeakWork& perform);

std::string readFile(const std::string& path);

}  // namespace nv::bench
