// All-or-nothing writes for attachments (internal to the SOAP stand-in).
#pragma once

#include <string>
#include <string_view>

namespace nv::soap::detail {

enum class WriteStatus { Written, Exists, Failed };

// Writes `bytes` to a new file in the target's folder and renames it onto `path`, so `path`
// either keeps its old content or has all the new bytes. Without `overwrite` an existing
// `path` (even a dangling symbolic link) gives Exists. A symbolic link at `path` is replaced,
// never followed; no folders are created. On Failed `why` says what went wrong.
WriteStatus writeFileAtomically(const std::string& path, std::string_view bytes, bool overwrite,
                                std::string& why);

}  // namespace nv::soap::detail
