// One DIME record (Direct Internet Message Encapsulation, draft-nielsen-dime-02) as the
// application sees it: chunks already joined, OPTIONS dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace nv::dime {

// TYPE_T: how TYPE is to be read. The numbers are the wire values.
enum class TypeFormat : std::uint8_t {
    Unchanged = 0,    // only on chunk continuations; never the format of a whole record
    MediaType = 1,    // TYPE is a media type, "image/png"
    AbsoluteUri = 2,  // TYPE is an absolute URI, e.g. the SOAP envelope namespace
    Unknown = 3,      // no TYPE; the payload is opaque
    None = 4,         // neither TYPE nor payload
};

struct Record {
    std::string id;    // ID: a URI naming the record ("uuid:..."), may be empty
    std::string type;  // TYPE, read as `tnf` says
    TypeFormat tnf = TypeFormat::Unknown;
    std::string data;  // the payload, all chunks joined
};

// The names the toolkit's "DimeTNF" attachment property uses: "unchanged", "media-type",
// "absolute-uri", "unknown", "none".
NV_PLATFORM_API std::string_view typeFormatName(TypeFormat tnf);
// ASCII case is ignored; an unknown name gives no value.
NV_PLATFORM_API std::optional<TypeFormat> typeFormatFromName(std::string_view name);

}  // namespace nv::dime
