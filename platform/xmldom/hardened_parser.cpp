#include "platform/xmldom/hardened_parser.h"

#include <climits>
#include <string>

#include <libxml/SAX2.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlversion.h>

#include "platform/xmldom/whitespace_filter.h"
#include "platform/xmldom/xml_chars.h"

namespace nv::xml::detail {

namespace {

#if LIBXML_VERSION >= 21200
using ErrorArg = const xmlError*;
#else
using ErrorArg = xmlError*;
#endif

// Lives on parseUntrusted's stack; callbacks reach it through xmlParserCtxt::_private (or the
// stray-error context), never through globals.
struct ParseState {
    ParseState(const ParseOptions& options, ParseError& parseError)
        : maxDepth(options.maxDepth), error(&parseError), whitespace(options.keepWhiteSpace) {}

    xmlParserCtxt* ctxt = nullptr;
    std::size_t maxDepth;
    std::size_t depth = 0;
    ParseError* error;
    WhitespaceFilter whitespace;
    bool namespaceNameNotAUri = false;  // the one namespace complaint that does not fail a load
};

ParseState& stateOf(void* ctx) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(ctx)->_private);
}

// Keeps the first failure only: later messages are usually consequences of it.
void record(ParseState& state, int line, int column, std::string_view cause) noexcept {
    ParseError& error = *state.error;
    if (error.failed)
        return;
    error.failed = true;
    error.line = line;
    error.column = column;
    try {
        error.reason = "line " + std::to_string(line) + ", column " + std::to_string(column) +
                       ": " + std::string(cause);
    } catch (...) {
        error.reason.clear();
    }
}

// Ends the parse from inside a callback, with our cause at the current position.
void stop(ParseState& state, std::string_view cause) noexcept {
    record(state, xmlSAX2GetLineNumber(state.ctxt), xmlSAX2GetColumnNumber(state.ctxt), cause);
    xmlStopParser(state.ctxt);
}

void stopNaming(ParseState& state, std::string_view cause, const xmlChar* name) noexcept {
    try {
        stop(state, std::string(cause) + " ('" + std::string(view(name)) + "')");
    } catch (...) {
        stop(state, cause);
    }
}

void takeError(ParseState& state, ErrorArg error) noexcept {
    if (!error || error->level < XML_ERR_ERROR)
        return;  // warnings do not fail a load
    // A namespace name that is not a valid URI still names a namespace (libxml2 reports it as
    // an error though its code calls it a warning); documents in the field use such names.
    if (error->code == XML_WAR_NS_URI || error->code == XML_WAR_NS_URI_RELATIVE) {
        state.namespaceNameNotAUri = true;
        return;
    }
    std::string message;
    try {
        message = error->message ? error->message : "unknown parser error";
    } catch (...) {
    }
    // One line: libxml2 ends messages with a newline and puts some detail on a second line.
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    for (char& c : message) {
        if (c == '\n')
            c = ' ';
    }
    int line = error->line;
    int column = error->int2;
    if (line <= 0 && state.ctxt) {
        line = xmlSAX2GetLineNumber(state.ctxt);
        column = xmlSAX2GetColumnNumber(state.ctxt);
    }
    record(state, line, column, message);
}

void onContextError(void* ctx, ErrorArg error) noexcept {
    takeError(stateOf(ctx), error);
}

void onStrayError(void* state, ErrorArg error) noexcept {
    takeError(*static_cast<ParseState*>(state), error);
}

// Errors raised without a parser context (encoding conversion, for one) go to the thread's
// structured handler; this routes them to the parse for its duration.
class StrayErrorCapture {
  public:
    explicit StrayErrorCapture(ParseState& state)
        : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(&state, onStrayError);
    }
    ~StrayErrorCapture() { xmlSetStructuredErrorFunc(context_, handler_); }
    StrayErrorCapture(const StrayErrorCapture&) = delete;
    StrayErrorCapture& operator=(const StrayErrorCapture&) = delete;

  private:
    xmlStructuredErrorFunc handler_;
    void* context_;
};

// Entities are refused at the declaration, so expansion attacks never start.
void onEntityDecl(void* ctx, const xmlChar* name, int, const xmlChar*, const xmlChar*,
                  xmlChar*) noexcept {
    stopNaming(stateOf(ctx), "entity declarations are not allowed", name);
}

void onUnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*,
                          const xmlChar*) noexcept {
    stopNaming(stateOf(ctx), "entity declarations are not allowed", name);
}

void onReference(void* ctx, const xmlChar* name) noexcept {
    stopNaming(stateOf(ctx), "references to undeclared entities are not allowed", name);
}

xmlParserInputPtr onResolveEntity(void*, const xmlChar*, const xmlChar*) noexcept {
    return nullptr;
}

void onExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) noexcept {}

// libxml2's own depth limit goes with XML_PARSE_HUGE, which large text nodes need.
void onStartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                    int namespaceCount, const xmlChar** namespaces, int attributeCount,
                    int defaultedCount, const xmlChar** attributes) noexcept {
    ParseState& state = stateOf(ctx);
    if (++state.depth > state.maxDepth) {
        try {
            stop(state, "nesting depth exceeds " + std::to_string(state.maxDepth) + " elements");
        } catch (...) {
            stop(state, "nesting depth exceeds the limit");
        }
        return;
    }
    state.whitespace.endRun();
    try {
        state.whitespace.enterElement(state.depth, attributes, attributeCount);
    } catch (...) {
        stop(state, "out of memory");
        return;
    }
    xmlSAX2StartElementNs(ctx, localname, prefix, uri, namespaceCount, namespaces, attributeCount,
                          defaultedCount, attributes);
}

void onEndElement(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                  const xmlChar* uri) noexcept {
    ParseState& state = stateOf(ctx);
    state.whitespace.endRun();
    state.whitespace.leaveElement(state.depth);
    if (state.depth > 0)
        --state.depth;
    xmlSAX2EndElementNs(ctx, localname, prefix, uri);
}

void onCharacters(void* ctx, const xmlChar* text, int length) noexcept {
    ParseState& state = stateOf(ctx);
    try {
        state.whitespace.characters(ctx, text, length);
    } catch (...) {
        stop(state, "out of memory");
    }
}

void onComment(void* ctx, const xmlChar* text) noexcept {
    stateOf(ctx).whitespace.endRun();
    xmlSAX2Comment(ctx, text);
}

void onProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) noexcept {
    stateOf(ctx).whitespace.endRun();
    xmlSAX2ProcessingInstruction(ctx, target, data);
}

void onCData(void* ctx, const xmlChar* text, int length) noexcept {
    stateOf(ctx).whitespace.endRun();
    xmlSAX2CDataBlock(ctx, text, length);
}

xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) noexcept {
    return nullptr;
}

void harden(xmlSAXHandler& sax) {
    sax.entityDecl = onEntityDecl;
    sax.unparsedEntityDecl = onUnparsedEntityDecl;
    sax.reference = onReference;
    sax.resolveEntity = onResolveEntity;
    sax.externalSubset = onExternalSubset;
    sax.startElementNs = onStartElement;
    sax.endElementNs = onEndElement;
    // Both, so libxml2 never guesses at ignorable whitespace on its own.
    sax.characters = onCharacters;
    sax.ignorableWhitespace = onCharacters;
    sax.comment = onComment;
    sax.processingInstruction = onProcessingInstruction;
    sax.cdataBlock = onCData;
    sax.serror = onContextError;
}

}  // namespace

void prepareLibxml() {
    static const bool ready = [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        return true;
    }();
    (void)ready;
}

xmlDoc* parseUntrusted(std::string_view bytes, const ParseOptions& options, ParseError& error) {
    prepareLibxml();
    error = ParseError{};
    ParseState state(options, error);
    if (bytes.empty()) {
        record(state, 1, 1, "Document is empty");
        return nullptr;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        error.failed = true;
        error.reason = "the document is larger than the parser accepts (2 GB)";
        return nullptr;
    }

    StrayErrorCapture capture(state);
    // Owned here; freed below (its dictionary lives on in the document).
    xmlParserCtxt* ctxt = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    if (!ctxt) {
        record(state, 0, 0, "out of memory");
        return nullptr;
    }
    state.ctxt = ctxt;
    ctxt->_private = &state;
    // COMPACT keeps short text inside its node: less memory for big documents.
    int flags = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_COMPACT;
    if (options.ignoreDeclaredEncoding)
        flags |= XML_PARSE_IGNORE_ENC;
    xmlCtxtUseOptions(ctxt, flags);
    harden(*ctxt->sax);

    xmlParseDocument(ctxt);
    xmlDoc* doc = ctxt->myDoc;
    ctxt->myDoc = nullptr;
    // libxml2 counts a namespace name that is not a URI against namespace well-formedness;
    // every other namespace error has been recorded by then.
    bool namespacesWellFormed = ctxt->nsWellFormed || state.namespaceNameNotAUri;
    if (!ctxt->wellFormed || !namespacesWellFormed || !doc) {
        record(state, xmlSAX2GetLineNumber(ctxt), xmlSAX2GetColumnNumber(ctxt),
               "the document is not well-formed");
    }
    xmlFreeParserCtxt(ctxt);
    if (error.failed) {
        if (doc)
            xmlFreeDoc(doc);
        return nullptr;
    }
    return doc;
}

}  // namespace nv::xml::detail
