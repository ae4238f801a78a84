// Outcome of the last load of an nv::xml::Document.
#pragma once

#include <string>

namespace nv::xml {

struct ParseError {
    bool failed = false;
    int line = 0;    // 1-based; 0 when the failure has no position in the text (unreadable file)
    int column = 0;  // 1-based
    // Readable cause naming the position: "line 3, column 14: Opening and ending tag mismatch:
    // ...".
    std::string reason;
};

}  // namespace nv::xml
