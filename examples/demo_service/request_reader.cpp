#include "examples/demo_service/request_reader.h"

#include "examples/demo_service/demo_namespaces.h"
#include "examples/demo_service/envelope.h"
#include "examples/demo_service/lexical.h"

namespace nv::demo {

namespace {

// More links than this in one chain can only be a cycle.
constexpr int kMaxReferenceChain = 32;

std::string describe(xml::Node parent, std::string_view name) {
    return "'" + std::string(name) + "' in '" + std::string(parent.baseName()) + "'";
}

[[noreturn]] void unreadable(std::string_view what, std::string_view text, std::string_view type) {
    throw SoapFault(FaultCode::Client, "the value '" + std::string(text) + "' of " +
                                           std::string(what) + " is not an " + std::string(type));
}

}  // namespace

RequestReader::RequestReader(xml::Node scope) {
    // Depth-first over the elements, without recursion (the DOM bounds the depth anyway).
    xml::Node node = scope.firstChildElement();
    while (node) {
        if (node.hasAttribute("id"))
            ids_.emplace(node.attribute("id"), node);
        if (xml::Node child = node.firstChildElement()) {
            node = child;
            continue;
        }
        while (node && !(node == scope)) {
            if (xml::Node next = node.nextSiblingElement()) {
                node = next;
                break;
            }
            node = node.parent();
        }
        if (node == scope)
            break;
    }
}

xml::Node RequestReader::resolve(xml::Node element) const {
    for (int i = 0; element && i < kMaxReferenceChain; ++i) {
        const std::string href = element.attribute("href");
        if (href.empty() || href.front() != '#')
            return element;
        const auto it = ids_.find(href.substr(1));
        if (it == ids_.end()) {
            throw SoapFault(FaultCode::Client, "'" + std::string(element.baseName()) +
                                                   "' refers to " + href +
                                                   ", which is not in the message");
        }
        element = it->second;
    }
    if (element)
        throw SoapFault(FaultCode::Client, "the href references in the message form a cycle");
    return element;
}

xml::Node RequestReader::find(xml::Node parent, std::string_view name) const {
    if (parent.isNull())
        return {};
    return resolve(parent.firstChildElement(name));
}

xml::Node RequestReader::require(xml::Node parent, std::string_view name) const {
    xml::Node element = find(parent, name);
    if (element.isNull())
        throw SoapFault(FaultCode::Client, "the element " + describe(parent, name) + " is missing");
    return element;
}

std::vector<xml::Node> RequestReader::all(xml::Node parent, std::string_view name) const {
    std::vector<xml::Node> elements;
    if (parent.isNull())
        return elements;
    for (xml::Node n = parent.firstChildElement(name); n; n = n.nextSiblingElement(name))
        elements.push_back(resolve(n));
    return elements;
}

bool RequestReader::isNil(xml::Node element) {
    const std::string nil = element.attributeNS(kXsiNs, "nil");
    return nil == "true" || nil == "1";
}

std::string RequestReader::requireString(xml::Node parent, std::string_view name) const {
    xml::Node element = require(parent, name);
    if (isNil(element))
        throw SoapFault(FaultCode::Client, "the element " + describe(parent, name) + " is nil");
    return element.text();
}

std::optional<std::string> RequestReader::optionalString(xml::Node parent,
                                                         std::string_view name) const {
    xml::Node element = find(parent, name);
    if (element.isNull() || isNil(element))
        return std::nullopt;
    return element.text();
}

std::int32_t RequestReader::requireInt(xml::Node parent, std::string_view name) const {
    return intValue(require(parent, name), describe(parent, name));
}

std::optional<std::int32_t> RequestReader::optionalInt(xml::Node parent,
                                                       std::string_view name) const {
    xml::Node element = find(parent, name);
    if (element.isNull() || isNil(element) || isBlank(element.text()))
        return std::nullopt;
    return intValue(element, describe(parent, name));
}

double RequestReader::requireDouble(xml::Node parent, std::string_view name) const {
    return doubleValue(require(parent, name), describe(parent, name));
}

bool RequestReader::requireBoolean(xml::Node parent, std::string_view name) const {
    const std::string text = require(parent, name).text();
    const std::optional<bool> value = parseBoolean(text);
    if (!value)
        unreadable(describe(parent, name), text, "xsd:boolean");
    return *value;
}

std::int32_t RequestReader::intValue(xml::Node element, std::string_view what) {
    const std::string text = element.text();
    const std::optional<std::int32_t> value = parseInt(text);
    if (!value)
        unreadable(what, text, "xsd:int");
    return *value;
}

double RequestReader::doubleValue(xml::Node element, std::string_view what) {
    const std::string text = element.text();
    const std::optional<double> value = parseDouble(text);
    if (!value)
        unreadable(what, text, "xsd:double");
    return *value;
}

}  // namespace nv::demo
