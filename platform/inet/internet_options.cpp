#include "platform/inet/internet_options.h"

#include <atomic>

namespace nv::inet {

namespace {
std::atomic<std::uint32_t> gConnectMs{0};
std::atomic<std::uint32_t> gSendMs{0};
std::atomic<std::uint32_t> gReceiveMs{0};
}  // namespace

void setProcessTimeouts(const Timeouts& t) {
    gConnectMs.store(t.connectMs);
    gSendMs.store(t.sendMs);
    gReceiveMs.store(t.receiveMs);
}

Timeouts processTimeouts() {
    return {gConnectMs.load(), gSendMs.load(), gReceiveMs.load()};
}

}  // namespace nv::inet
