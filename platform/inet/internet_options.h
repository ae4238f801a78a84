// Process-wide Internet options: the connect, send and receive timeouts that apply to every
// request of the process (the last setter wins for all connections).
#pragma once

#include <cstdint>

#include "platform/export.h"

namespace nv::inet {

struct Timeouts {
    std::uint32_t connectMs = 0;  // 0: the transport's own default (no limit of ours)
    std::uint32_t sendMs = 0;
    std::uint32_t receiveMs = 0;
};

NV_PLATFORM_API void setProcessTimeouts(const Timeouts& t);
NV_PLATFORM_API Timeouts processTimeouts();

}  // namespace nv::inet
