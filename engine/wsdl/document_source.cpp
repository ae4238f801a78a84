#include "engine/wsdl/document_source.h"

namespace wscore {

void upgrade1999Namespaces(std::string& bytes) {
    constexpr std::string_view from = "org/1999/";
    std::size_t at = bytes.find(from);
    while (at != std::string::npos) {
        bytes.replace(at + 4, 4, "2001");  // same length: in place
        at = bytes.find(from, at + from.size());
    }
}

}  // namespace wscore
