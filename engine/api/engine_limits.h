// Limits that keep one hostile or enormous input from taking the process down. Hitting one
// ends that load or invocation with a clear message; other connections are not affected.
#pragma once

#include <cstddef>

namespace wscore {

// Largest single document (WSDL, imported schema) or response body read.
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxResponseBytes = std::size_t{256} << 20;
// Per WSDL load: documents imported or included, and bytes fetched in all.
inline constexpr std::size_t kMaxImportsPerLoad = 1000;
inline constexpr std::size_t kMaxBytesPerLoad = std::size_t{512} << 20;
// Times the credential prompt is asked again for one request before giving up.
inline constexpr int kMaxCredentialPrompts = 5;

}  // namespace wscore
