#include "examples/demo_service/recorded_request.h"

#include "platform/text/unicode.h"

namespace nv::demo {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

}  // namespace

std::string RecordedRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (sameName(key, name))
            return value;
    }
    return {};
}

bool RecordedRequest::hasHeader(std::string_view name) const {
    for (const auto& entry : headers) {
        if (sameName(entry.first, name))
            return true;
    }
    return false;
}

}  // namespace nv::demo
