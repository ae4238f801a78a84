// Document: an XML document in the manner of the MSXML DOM, over libxml2.
//
// Loading is always synchronous and never validates: async and validateOnParse are recorded
// only, for callers that set them. Input is treated as hostile: no network or file access
// beyond the one file load() is given, no DTD fetched, no entity declarations (the document
// is refused), bounded element nesting, and libxml2 never prints.
//
// Whitespace-only text nodes are dropped unless setPreserveWhiteSpace(true) or inside
// xml:space="preserve" (MSXML's default). The XML declaration is not a node.
//
// A Document is move-only and used by one thread at a time; different Documents may load on
// different threads at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "platform/xmldom/node.h"
#include "platform/xmldom/parse_error.h"

namespace nv::xml {

class NV_PLATFORM_API Document {
  public:
    static constexpr std::size_t kDefaultMaxDepth = 1024;

    // An empty document (no children).
    Document();
    ~Document();
    // A moved-from Document may only be destroyed or assigned to.
    Document(Document&& other) noexcept;
    Document& operator=(Document&& other) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // MSXML's defaults: async and validateOnParse true, preserveWhiteSpace false.
    void setAsync(bool value);
    bool async() const;
    void setValidateOnParse(bool value);
    bool validateOnParse() const;
    void setPreserveWhiteSpace(bool value);
    bool preserveWhiteSpace() const;
    // Deepest element nesting a load accepts (the root element is depth 1).
    void setMaxDepth(std::size_t depth);
    std::size_t maxDepth() const;

    // Each load replaces the content and invalidates every Node of the old content; on
    // failure the document is empty and parseError() says why.
    // Bytes are decoded as the XML says (BOM or encoding declaration; UTF-8 otherwise).
    bool loadXML(std::string_view bytes);
    // Already-decoded text: any encoding declaration in it is ignored.
    bool loadXML(std::u16string_view text);
    // A file system path (not a URL).
    bool load(const std::string& path);
    const ParseError& parseError() const;

    Node documentNode() const;
    Node documentElement() const;  // null when there is none

    // New nodes belong to this document but to no parent until appended (unappended ones are
    // freed with the document). createElement gives a null Node for a malformed name or a
    // prefix without a namespace URI.
    Node createElement(std::string_view qualifiedName, std::string_view namespaceURI = {});
    Node createTextNode(std::string_view text);
    Node createCDATASection(std::string_view text);
    Node createComment(std::string_view text);
    // Appends to the document node (the root element, comments, processing instructions).
    Node appendChild(Node child);

    // UTF-8 with an XML declaration; the same bytes as xml().
    bool save(const std::string& path) const;
    std::string xml() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::xml
