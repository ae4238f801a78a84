// libxml2 parsing locked down for untrusted input (internal to the DOM; includes libxml2).
//
// No network, no external entities or DTDs, no XInclude; any entity declaration stops the
// parse; element nesting is bounded by the caller; libxml2's messages never reach stderr, the
// first error becomes the ParseError. Whitespace-only text is dropped as it is parsed unless
// asked to keep it (see whitespace_filter.h). Safe to use from several threads at once.
#pragma once

#include <cstddef>
#include <string_view>

#include <libxml/tree.h>

#include "platform/xmldom/parse_error.h"

namespace nv::xml::detail {

struct ParseOptions {
    std::size_t maxDepth;
    bool keepWhiteSpace = false;
    // Text already decoded to UTF-8 by the caller: the encoding declaration is not obeyed.
    bool ignoreDeclaredEncoding = false;
};

// One-time process setup (parser initialization, an external entity loader that refuses
// everything). Idempotent and thread-safe.
void prepareLibxml();

// Parses `bytes`; returns the document (the caller frees it with xmlFreeDoc) or null with
// `error` filled in.
xmlDoc* parseUntrusted(std::string_view bytes, const ParseOptions& options, ParseError& error);

}  // namespace nv::xml::detail
