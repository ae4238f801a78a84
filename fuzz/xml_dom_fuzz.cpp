// Fuzz target: the XML DOM's loadXML. Whatever loads must walk, serialise and load again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xmldom/document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nv::xml::Document doc;
    if (!doc.loadXML(std::string_view(reinterpret_cast<const char*>(data), size))) {
        if (doc.parseError().reason.empty())
            __builtin_trap();  // every failure says why
        return 0;
    }
    // Walk every node without recursion, reading what the engine reads.
    std::vector<nv::xml::Node> stack{doc.documentNode()};
    std::size_t visited = 0;
    while (!stack.empty() && visited < 100000) {
        nv::xml::Node n = stack.back();
        stack.pop_back();
        ++visited;
        (void)n.baseName();
        (void)n.namespaceURI();
        (void)n.nodeName();
        for (const nv::xml::Attribute& a : n.attributes())
            (void)n.attribute(a.qualifiedName);
        (void)n.lookupNamespaceURI("");
        for (nv::xml::Node c : n.children())
            stack.push_back(c);
    }
    nv::xml::Node root = doc.documentElement();
    if (root) {
        (void)root.text();
        // A serialised element stands alone and loads again.
        std::string markup = root.xml();
        nv::xml::Document again;
        if (!again.loadXML(std::string_view(markup)))
            __builtin_trap();
    }
    return 0;
}
