// Hooks for the test suite only: the product never calls them.
#pragma once

#include <string>

#include "platform/export.h"

namespace nv::inet {

// Trust the certificate authorities in the PEM file `path` instead of the system store, for
// servers and HTTPS proxies alike (verification itself stays on). Empty restores the system
// store. Process-wide; takes effect at the next request.
NV_PLATFORM_API void setTrustedCaFileForTests(std::string path);

// The file set above; empty when the system store is in use.
std::string trustedCaFileForTests();

}  // namespace nv::inet
