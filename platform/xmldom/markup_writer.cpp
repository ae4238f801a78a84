#include "platform/xmldom/markup_writer.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/xmldom/namespace_scope.h"
#include "platform/xmldom/xml_chars.h"

namespace nv::xml::detail {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Attribute values also escape the characters attribute normalization would turn into spaces.
void appendEscaped(std::string& out, std::string_view text, bool inAttribute) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view replacement;
        switch (text[i]) {
            case '&':
                replacement = "&amp;";
                break;
            case '<':
                replacement = "&lt;";
                break;
            case '>':
                replacement = "&gt;";
                break;
            case '\r':
                replacement = "&#13;";
                break;
            case '"':
                replacement = inAttribute ? "&quot;" : "";
                break;
            case '\t':
                replacement = inAttribute ? "&#9;" : "";
                break;
            case '\n':
                replacement = inAttribute ? "&#10;" : "";
                break;
            default:
                break;
        }
        if (replacement.empty())
            continue;
        out.append(text.substr(start, i - start));
        out.append(replacement);
        start = i + 1;
    }
    out.append(text.substr(start));
}

// "]]>" cannot appear inside a section, so it is split across two.
void appendCData(std::string& out, std::string_view text) {
    out.append("<![CDATA[");
    for (std::size_t end; (end = text.find("]]>")) != std::string_view::npos;) {
        out.append(text.substr(0, end + 2));
        out.append("]]><![CDATA[");
        text.remove_prefix(end + 2);
    }
    out.append(text);
    out.append("]]>");
}

void appendQName(std::string& out, std::string_view prefix, std::string_view local) {
    if (!prefix.empty()) {
        out.append(prefix);
        out += ':';
    }
    out.append(local);
}

void appendDocumentType(std::string& out, const xmlNode* dtd) {
    // Declarations are flat, so libxml2's own writer is safe to use here.
    xmlBuffer* buffer = xmlBufferCreate();  // freed below
    if (!buffer)
        return;
    if (xmlNodeDump(buffer, dtd->doc, const_cast<xmlNode*>(dtd), 0, 0) >= 0) {
        out.append(view(xmlBufferContent(buffer)));
    }
    xmlBufferFree(buffer);
}

class MarkupWriter {
  public:
    explicit MarkupWriter(std::string& out) : out_(out) {}

    // Writes `top` and its subtree iteratively; `standalone` adds the inherited declarations.
    void write(const xmlNode* top, bool standalone) {
        const xmlNode* node = top;
        for (;;) {
            bool descend = false;
            if (node->type == XML_ELEMENT_NODE) {
                descend = openElement(node, standalone && node == top);
            } else {
                writeLeaf(node);
            }
            if (descend) {
                node = node->children;
                continue;
            }
            for (;;) {
                if (node == top)
                    return;
                if (node->next) {
                    node = node->next;
                    break;
                }
                node = node->parent;
                closeElement();
            }
        }
    }

  private:
    struct Frame {
        std::size_t scopeMark;
        std::string_view prefix;
        const xmlNode* element;
    };

    std::optional<std::string_view> bound(std::string_view prefix) const {
        if (prefix == "xml")
            return kXmlNamespace;
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            if (it->prefix == prefix)
                return it->href;
        }
        return std::nullopt;
    }

    bool declaredSince(std::size_t mark, std::string_view prefix) const {
        for (std::size_t i = mark; i < scope_.size(); ++i) {
            if (scope_[i].prefix == prefix)
                return true;
        }
        return false;
    }

    std::string_view inventPrefix() {
        for (std::size_t n = 1;; ++n) {
            std::string candidate = "ns" + std::to_string(n);
            if (!bound(candidate))
                return invented_.emplace_back(std::move(candidate));
        }
    }

    // The prefix the markup uses for a name in (prefix, href), declaring it on the element
    // being opened (scope_ from `mark`) when the scope does not bind it yet.
    std::string_view usePrefix(std::size_t mark, std::string_view prefix, std::string_view href,
                               bool forElement) {
        if (href == kXmlNamespace)
            return "xml";
        if (href.empty()) {
            // No namespace: only an element can be here. Undo an inherited default, unless this
            // element declares one itself (the explicit declaration wins).
            std::optional<std::string_view> current = bound({});
            if (current && !current->empty() && !declaredSince(mark, {})) {
                scope_.push_back({{}, {}});
            }
            return {};
        }
        if (prefix.empty() && !forElement)
            prefix = inventPrefix();
        if (bound(prefix) == href)
            return prefix;
        if (declaredSince(mark, prefix))
            prefix = inventPrefix();
        scope_.push_back({prefix, href});
        return prefix;
    }

    // Returns whether the element has children to descend into.
    bool openElement(const xmlNode* element, bool standalone) {
        std::size_t mark = scope_.size();
        for (const xmlNs* ns = element->nsDef; ns; ns = ns->next) {
            scope_.push_back({view(ns->prefix), view(ns->href)});
        }
        std::string_view prefix = element->ns ? view(element->ns->prefix) : std::string_view();
        std::string_view href = element->ns ? view(element->ns->href) : std::string_view();
        if (standalone) {
            for (const Binding& binding : inheritedBindings(element)) {
                if (declaredSince(mark, binding.prefix))
                    continue;
                // The element's own namespace decides what its prefix means here.
                if (binding.prefix == prefix && binding.href != href)
                    continue;
                scope_.push_back(binding);
            }
        }
        prefix = usePrefix(mark, prefix, href, true);
        attributePrefixes_.clear();
        for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
            attributePrefixes_.push_back(
                attr->ns ? usePrefix(mark, view(attr->ns->prefix), view(attr->ns->href), false)
                         : std::string_view());
        }

        out_ += '<';
        appendQName(out_, prefix, view(element->name));
        for (std::size_t i = mark; i < scope_.size(); ++i) {
            out_.append(" xmlns");
            if (!scope_[i].prefix.empty()) {
                out_ += ':';
                out_.append(scope_[i].prefix);
            }
            out_.append("=\"");
            appendEscaped(out_, scope_[i].href, true);
            out_ += '"';
        }
        std::size_t index = 0;
        for (const xmlAttr* attr = element->properties; attr; attr = attr->next, ++index) {
            out_ += ' ';
            appendQName(out_, attributePrefixes_[index], view(attr->name));
            out_.append("=\"");
            for (const xmlNode* part = attr->children; part; part = part->next) {
                if (part->type == XML_TEXT_NODE)
                    appendEscaped(out_, view(part->content), true);
            }
            out_ += '"';
        }
        if (!element->children) {
            out_.append("/>");
            scope_.resize(mark);
            return false;
        }
        out_ += '>';
        frames_.push_back({mark, prefix, element});
        return true;
    }

    void closeElement() {
        const Frame& frame = frames_.back();
        out_.append("</");
        appendQName(out_, frame.prefix, view(frame.element->name));
        out_ += '>';
        scope_.resize(frame.scopeMark);
        frames_.pop_back();
    }

    void writeLeaf(const xmlNode* node) {
        switch (node->type) {
            case XML_TEXT_NODE:
                appendEscaped(out_, view(node->content), false);
                break;
            case XML_CDATA_SECTION_NODE:
                appendCData(out_, view(node->content));
                break;
            case XML_COMMENT_NODE:
                out_.append("<!--");
                out_.append(view(node->content));
                out_.append("-->");
                break;
            case XML_PI_NODE:
                out_.append("<?");
                out_.append(view(node->name));
                if (node->content && *node->content) {
                    out_ += ' ';
                    out_.append(view(node->content));
                }
                out_.append("?>");
                break;
            case XML_ENTITY_REF_NODE:
                out_ += '&';
                out_.append(view(node->name));
                out_ += ';';
                break;
            case XML_DTD_NODE:
                appendDocumentType(out_, node);
                break;
            default:
                break;
        }
    }

    std::string& out_;
    std::vector<Binding> scope_;
    std::vector<Frame> frames_;
    std::vector<std::string_view> attributePrefixes_;
    std::deque<std::string> invented_;  // storage behind invented prefixes in scope_
};

}  // namespace

std::string markupOf(const xmlNode* node) {
    std::string out;
    if (!node)
        return out;
    if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) {
        return documentMarkup(reinterpret_cast<const xmlDoc*>(node));
    }
    MarkupWriter(out).write(node, node->type == XML_ELEMENT_NODE);
    return out;
}

std::string documentMarkup(const xmlDoc* doc) {
    std::string out(kDeclaration);
    MarkupWriter writer(out);
    for (const xmlNode* child = doc->children; child; child = child->next) {
        writer.write(child, false);
        out += '\n';
    }
    return out;
}

}  // namespace nv::xml::detail
