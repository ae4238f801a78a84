// The XML 1.0 (fifth edition) and Namespaces rules for names, on UTF-8 text.
#pragma once

#include <string_view>

#include "platform/export.h"

namespace nv::text {

// A name without a colon: a NameStartChar followed by NameChars.
NV_PLATFORM_API bool isNCName(std::string_view utf8);

// "local" or "prefix:local", both parts NCNames.
NV_PLATFORM_API bool isQName(std::string_view utf8);

}  // namespace nv::text
