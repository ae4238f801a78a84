// Identifiers for DIME records that a SOAP message refers to with href.
#pragma once

#include <string>

#include "platform/export.h"

namespace nv::soap {

// "uuid:" and a fresh random GUID in upper-case hex, "uuid:0F6C1E2A-61B5-4B0C-9A3E-...".
NV_PLATFORM_API std::string newAttachmentId();

}  // namespace nv::soap
