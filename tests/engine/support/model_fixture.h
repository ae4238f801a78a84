// Loads WSDL text straight into a document model (no network), for tests of the model rules,
// and renders flattened records as short lines that read well in assertions.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/structure/message_structures.h"
#include "engine/wsdl/document_source.h"
#include "engine/wsdl/wsdl_loader.h"
#include "engine/wsdl/wsdl_model.h"
#include "platform/text/unicode.h"
#include "platform/xmldom/document.h"

namespace wscore::test {

// Documents by absolute URL; relative locations resolve against the importing document's
// folder. Remembers what was asked for, and serves each URL once per load as the transport does.
class MapSource : public DocumentSource {
  public:
    std::map<std::string, std::string> documents;
    std::vector<std::string> requested;

    std::optional<FetchedDocument> fetchImport(std::string_view location,
                                               std::string_view baseUrl) override {
        std::string url(location);
        if (url.find("://") == std::string::npos)
            url = std::string(baseUrl.substr(0, baseUrl.rfind('/') + 1)) + url;
        requested.push_back(url);
        if (!fetched_.insert(url).second)
            return std::nullopt;
        auto it = documents.find(url);
        if (it == documents.end())
            return std::nullopt;
        return FetchedDocument{url, it->second};
    }

  private:
    std::set<std::string> fetched_;
};

inline constexpr const char* kBaseUrl = "http://127.0.0.1/svc/main.wsdl";

struct LoadedModel {
    DocumentModel model;

    explicit LoadedModel(const std::string& wsdl, DocumentSource* source = nullptr) {
        nv::xml::Document doc;
        if (!doc.loadXML(std::string_view(wsdl))) {
            error = doc.parseError().reason;
            return;
        }
        WsdlLoader(model, source).walk(doc, kBaseUrl);
    }

    WsdlService* service(const std::string& name) const { return model.service(name); }
    WsdlOperation* operation(const std::string& serviceName, const std::string& op) const {
        WsdlService* s = model.service(serviceName);
        return s ? s->operation(op) : nullptr;
    }
    const SchemaNode* type(const std::string& name) const { return model.types.memberNode(name); }

    std::vector<FlatRecord> structure(const std::string& serviceName, const std::string& op,
                                      int direction) const {
        WsdlOperation* o = operation(serviceName, op);
        if (!o)
            return {};
        return flattenAll(buildMessageTree(model, *o, direction), 1);
    }

    std::string error;
};

// "<level> <prefix:>name : type [flags] {info}" per record.
inline std::vector<std::string> describe(const std::vector<FlatRecord>& records) {
    std::vector<std::string> out;
    for (const FlatRecord& r : records) {
        std::string line = std::to_string(r.level) + " ";
        if (!r.prefix.empty())
            line += nv::text::utf16ToUtf8(r.prefix) + ":";
        line += nv::text::utf16ToUtf8(r.fieldName) + " : " + nv::text::utf16ToUtf8(r.dataType);
        std::string flags;
        auto flag = [&](bool on, const char* f) {
            if (on)
                flags += flags.empty() ? f : std::string(",") + f;
        };
        flag(r.isComplexType, "complex");
        flag(r.isArray, "array");
        flag(r.isAttribute, "attr");
        flag(r.isSimpleDataField, "simple");
        flag(r.hasEnumValues, "enum");
        flag(r.isHeader, "header");
        flag(!r.isRequired, "optional");
        if (r.arrayMax)
            flags += (flags.empty() ? "max=" : ",max=") + std::to_string(r.arrayMax);
        if (!flags.empty())
            line += " [" + flags + "]";
        if (!r.info.empty())
            line += " {" + nv::text::utf16ToUtf8(r.info) + "}";
        out.push_back(line);
    }
    return out;
}

// A WSDL document around the given schema, messages and one operation "Op" of service "Svc".
inline std::string wsdlWith(const std::string& schema, const std::string& inputParts,
                            const std::string& outputParts, const std::string& style = "document",
                            const std::string& use = "literal",
                            const std::string& extraBindingInput = "") {
    return R"(<?xml version="1.0"?>
<wsdl:definitions xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/"
    xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:tns="urn:test" targetNamespace="urn:test">
  <wsdl:types>)" +
           schema + R"(</wsdl:types>
  <wsdl:message name="OpIn">)" +
           inputParts + R"(</wsdl:message>
  <wsdl:message name="OpOut">)" +
           outputParts + R"(</wsdl:message>
  <wsdl:portType name="PT">
    <wsdl:operation name="Op"><wsdl:input message="tns:OpIn"/><wsdl:output message="tns:OpOut"/></wsdl:operation>
  </wsdl:portType>
  <wsdl:binding name="B" type="tns:PT">
    <soap:binding style=")" +
           style + R"(" transport="http://schemas.xmlsoap.org/soap/http"/>
    <wsdl:operation name="Op">
      <soap:operation soapAction="urn:test#Op"/>
      <wsdl:input><soap:body use=")" +
           use + R"("/>)" + extraBindingInput + R"(</wsdl:input>
      <wsdl:output><soap:body use=")" +
           use + R"("/></wsdl:output>
    </wsdl:operation>
  </wsdl:binding>
  <wsdl:service name="Svc"><wsdl:port name="P" binding="tns:B"><soap:address location="http://127.0.0.1:1/svc"/></wsdl:port></wsdl:service>
</wsdl:definitions>)";
}

inline std::string schemaOf(const std::string& body,
                            const std::string& attributes = "elementFormDefault=\"qualified\"") {
    return R"(<xsd:schema targetNamespace="urn:test" )" + attributes + ">" + body + "</xsd:schema>";
}

}  // namespace wscore::test
