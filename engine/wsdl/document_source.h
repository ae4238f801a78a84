// Where the loader gets the documents a WSDL imports (schemas, further WSDL documents, schema
// includes). The transport implements it over HTTP with the connection's settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wscore {

struct FetchedDocument {
    std::string url;    // the resolved location, against which its own imports resolve
    std::string bytes;  // as received (the loader prepares them for parsing)
};

class DocumentSource {
  public:
    virtual ~DocumentSource() = default;
    // The document at `location` as written in the document at `baseUrl`. Nothing when it
    // cannot be fetched, or when the same resolved location was fetched before during this
    // load (so every document is read once and import cycles end).
    virtual std::optional<FetchedDocument> fetchImport(std::string_view location,
                                                       std::string_view baseUrl) = 0;
};

// Prepares fetched bytes for parsing: documents written against the 1999 schema drafts are
// read as 2001 ones ("org/1999/" becomes "org/2001/" everywhere in the bytes).
void upgrade1999Namespaces(std::string& bytes);

}  // namespace wscore
