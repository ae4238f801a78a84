#include "platform/inet/connectivity.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace nv::inet {

bool machineIsConnected() {
    ifaddrs* list = nullptr;  // allocated by getifaddrs, freed below with freeifaddrs
    if (getifaddrs(&list) != 0)
        return false;
    bool connected = false;
    for (const ifaddrs* a = list; a && !connected; a = a->ifa_next) {
        // Link-layer (AF_PACKET) entries say nothing about being reachable; IP addresses do.
        const bool hasIp = a->ifa_addr && (a->ifa_addr->sa_family == AF_INET ||
                                           a->ifa_addr->sa_family == AF_INET6);
        connected = hasIp && (a->ifa_flags & IFF_UP) && !(a->ifa_flags & IFF_LOOPBACK);
    }
    freeifaddrs(list);
    return connected;
}

}  // namespace nv::inet
