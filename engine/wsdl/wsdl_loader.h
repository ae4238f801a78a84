// Walks a parsed WSDL document into the document model: the "types" section (with the type
// resolution after it), then "message", "service", "binding" and "portType", each over every
// child of `definitions` in document order. A `wsdl:import` with a location contributes the
// imported document's definitions as if they stood at the import's place.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/schema/schema_context.h"
#include "engine/wsdl/document_source.h"
#include "engine/wsdl/wsdl_model.h"
#include "platform/xmldom/document.h"

namespace wscore {

class WsdlLoader {
  public:
    // `source` may be null: imports are then skipped.
    WsdlLoader(DocumentModel& model, DocumentSource* source);
    ~WsdlLoader();

    // Reads `doc`, found at `documentUrl` (against which relative imports resolve), into the
    // model, which the caller has emptied. A document whose root is not `definitions` leaves
    // the model empty.
    void walk(const nv::xml::Document& doc, std::string_view documentUrl);

  private:
    struct Source {
        PrefixMap prefixes;
        std::string url;
        bool main = false;
        bool typesSeen = false;
    };
    struct Child {
        nv::xml::Node node;
        Source* source;
    };

    void collect(nv::xml::Node definitions, Source* source, int depth);
    void walkKind(std::string_view kind);

    DocumentModel& model_;
    DocumentSource* source_;
    std::vector<std::unique_ptr<nv::xml::Document>> imported_;
    std::vector<std::unique_ptr<Source>> sources_;
    std::vector<Child> children_;
};

// WSDL documents imported inside imported documents, at most this deep.
inline constexpr int kMaxWsdlImportNesting = 32;

}  // namespace wscore
