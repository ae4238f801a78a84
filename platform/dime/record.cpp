#include "platform/dime/record.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/text/unicode.h"

namespace nv::dime {

namespace {

constexpr std::array<std::pair<TypeFormat, std::string_view>, 5> kNames{{
    {TypeFormat::Unchanged, "unchanged"},
    {TypeFormat::MediaType, "media-type"},
    {TypeFormat::AbsoluteUri, "absolute-uri"},
    {TypeFormat::Unknown, "unknown"},
    {TypeFormat::None, "none"},
}};

// Case is ignored as everywhere else names are compared.
bool sameName(std::string_view a, std::string_view b) {
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

}  // namespace

std::string_view typeFormatName(TypeFormat tnf) {
    for (const auto& [format, name] : kNames) {
        if (format == tnf)
            return name;
    }
    return "unknown";
}

std::optional<TypeFormat> typeFormatFromName(std::string_view name) {
    for (const auto& [format, spelled] : kNames) {
        if (sameName(name, spelled))
            return format;
    }
    return std::nullopt;
}

}  // namespace nv::dime
