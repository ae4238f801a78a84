#include "platform/soap/attachment_id.h"

#include <cstdio>
#include <random>

#include "platform/com/guid.h"

namespace nv::soap {

std::string newAttachmentId() {
    GUID g{};
    if (FAILED(CoCreateGuid(&g))) {
        // No kernel randomness at all: identifiers must still differ within the message.
        std::random_device device;
        g.Data1 = device();
        g.Data2 = static_cast<WORD>(device());
        g.Data3 = static_cast<WORD>((device() & 0x0FFF) | 0x4000);
        for (BYTE& b : g.Data4)
            b = static_cast<BYTE>(device());
    }
    char text[64];
    std::snprintf(text, sizeof text, "uuid:%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(g.Data1), static_cast<unsigned>(g.Data2),
                  static_cast<unsigned>(g.Data3), static_cast<unsigned>(g.Data4[0]),
                  static_cast<unsigned>(g.Data4[1]), static_cast<unsigned>(g.Data4[2]),
                  static_cast<unsigned>(g.Data4[3]), static_cast<unsigned>(g.Data4[4]),
                  static_cast<unsigned>(g.Data4[5]), static_cast<unsigned>(g.Data4[6]),
                  static_cast<unsigned>(g.Data4[7]));
    return text;
}

}  // namespace nv::soap
