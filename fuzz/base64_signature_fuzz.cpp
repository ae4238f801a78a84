// Fuzz target: Base64 decoding of returned values, the file-type signature check and the safe
// file names made from response element names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/dime/attachment_rules.h"
#include "engine/soap/base64.h"
#include "engine/soap/saved_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (std::optional<std::string> decoded = wscore::decodeBase64(text)) {
        if (decoded->empty())
            __builtin_trap();
        (void)wscore::extensionFor(*decoded);
    }
    (void)wscore::extensionFor(text);
    std::string name = wscore::safeFileName(text);
    // A safe name never leaves its folder.
    if (name.empty() || name.find('/') != std::string::npos ||
        name.find('\\') != std::string::npos || name[0] == '.')
        __builtin_trap();
    return 0;
}
