#include "platform/inet/test_hooks.h"

#include <mutex>

namespace nv::inet {

namespace {

std::mutex& caMutex() {
    static std::mutex m;
    return m;
}

std::string& caFile() {
    static std::string path;
    return path;
}

}  // namespace

void setTrustedCaFileForTests(std::string path) {
    std::lock_guard lock(caMutex());
    caFile() = std::move(path);
}

std::string trustedCaFileForTests() {
    std::lock_guard lock(caMutex());
    return caFile();
}

}  // namespace nv::inet
