// The picture GetImage returns: a 16x16 two-colour checkerboard PNG, small enough to embed.
#pragma once

#include <string_view>

namespace nv::demo {

inline constexpr std::string_view kDemoImageMimeType = "image/png";

// The PNG file's bytes; static storage, valid for the program's lifetime.
std::string_view demoImagePng();

}  // namespace nv::demo
