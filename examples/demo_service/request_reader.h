// RequestReader: lenient access to the parameters inside a request's Body.
//
// Elements are matched by local name in any namespace, so qualified and unqualified parameter
// elements both work. SOAP-encoded references (href="#id" pointing at an element with that id
// anywhere in the Body) are followed. What is missing or unreadable raises a Client SoapFault
// naming the element.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/xmldom/node.h"

namespace nv::demo {

class RequestReader {
  public:
    // Indexes the id attributes below `scope` (the Body); the nodes belong to the caller's
    // document, which must outlive the reader.
    explicit RequestReader(xml::Node scope);

    // The element `element` stands for: itself, or what its href="#id" names (chains followed).
    xml::Node resolve(xml::Node element) const;
    // The first child element with this local name, resolved; null when there is none.
    xml::Node find(xml::Node parent, std::string_view name) const;
    xml::Node require(xml::Node parent, std::string_view name) const;
    // Child elements with this local name (all of them when `name` is empty), resolved.
    std::vector<xml::Node> all(xml::Node parent, std::string_view name = {}) const;

    // xsi:nil="true" (or "1").
    static bool isNil(xml::Node element);

    // Values of simple-typed children. An optional one that is absent or nil gives no value;
    // a required one that is absent or nil, or any that does not read as its type, is a fault.
    // An optional number written as an empty element also gives no value: clients that send
    // every field of a form write optional ones left blank that way.
    std::string requireString(xml::Node parent, std::string_view name) const;
    std::optional<std::string> optionalString(xml::Node parent, std::string_view name) const;
    std::int32_t requireInt(xml::Node parent, std::string_view name) const;
    std::optional<std::int32_t> optionalInt(xml::Node parent, std::string_view name) const;
    double requireDouble(xml::Node parent, std::string_view name) const;
    bool requireBoolean(xml::Node parent, std::string_view name) const;

    // The text of an element already found, read as a type; `what` names it in the fault.
    static std::int32_t intValue(xml::Node element, std::string_view what);
    static double doubleValue(xml::Node element, std::string_view what);

  private:
    std::unordered_map<std::string, xml::Node> ids_;
};

}  // namespace nv::demo
