// Whole-file reads and writes for load() and save() (internal to the DOM).
#pragma once

#include <string>
#include <string_view>

namespace nv::xml::detail {

// On failure `why` names the path and the system's reason.
bool readFileBytes(const std::string& path, std::string& bytes, std::string& why);
bool writeFileBytes(const std::string& path, std::string_view bytes);

}  // namespace nv::xml::detail
