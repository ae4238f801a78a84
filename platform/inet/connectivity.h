// Whether the machine has a network connection at all, as InternetGetConnectedState tells.
#pragma once

#include "platform/export.h"

namespace nv::inet {

// True when some interface other than loopback is up and has an address.
NV_PLATFORM_API bool machineIsConnected();

}  // namespace nv::inet
