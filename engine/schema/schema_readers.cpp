#include "engine/schema/schema_readers.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>

#include "engine/wsdl/wsdl_namespaces.h"

namespace wscore {

namespace {

using nv::xml::Node;
using nv::xml::NodeType;

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// Numeric value of an occurrence attribute; non-numbers count as 0, huge ones saturate.
std::int32_t occurrences(std::string_view text) {
    std::int64_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return INT32_MAX;
    if (ec != std::errc() || ptr == text.data())
        return 0;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < 0)
        return 0;
    return static_cast<std::int32_t>(value);
}

bool repeats(std::string_view maxOccurs) {
    return maxOccurs == "unbounded" || occurrences(maxOccurs) > 1;
}

std::string path(const SchemaNode* node) {
    std::string out = node->name;
    for (const SchemaNode* p = node->parent; p; p = p->parent)
        out = p->name + ":" + out;
    return out;
}

struct Walk {
    SchemaTables& tables;
    const SchemaContext* ctx;
    int depth = 0;

    std::string normalize(std::string_view name) const {
        return normalizeSchemaName(tables, ctx, name);
    }
    std::string qualify(std::string_view name) const {
        return qualifyTopLevelName(tables, ctx, name);
    }
    const std::string& targetNamespace() const {
        static const std::string empty;
        return ctx ? ctx->targetNamespace : empty;
    }
};

class Reader {
  public:
    Reader(Walk& w, Node e, SchemaNode* target) : w_(w), e_(e), target_(target) {}
    virtual ~Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    virtual void read() { walkChildren(); }
    // A reader for a child, or null to skip it.
    virtual std::unique_ptr<Reader> child(std::string_view ns, std::string_view local, Node node) {
        return nullptr;
    }
    bool recordedDataSetPattern() const { return dataSet_; }

  protected:
    void walkChildren();

    Walk& w_;
    Node e_;
    SchemaNode* target_;
    bool dataSet_ = false;
};

std::unique_ptr<Reader> makeReader(Walk& w, std::string_view local, Node node, SchemaNode* target);

void Reader::walkChildren() {
    if (w_.depth >= kMaxSchemaNesting)
        return;  // this branch stops; the rest is read
    ++w_.depth;
    bool afterDataSet = false;
    for (Node c : e_.children()) {
        std::string_view local = c.baseName();
        if (local.empty())
            continue;
        if (afterDataSet && equalsNoCase(local, "any")) {
            afterDataSet = false;
            continue;
        }
        std::unique_ptr<Reader> r = child(c.namespaceURI(), local, c);
        afterDataSet = false;
        if (!r)
            continue;
        r->read();
        afterDataSet = r->recordedDataSetPattern();
    }
    --w_.depth;
}

bool hasInlineType(Node e) {
    for (Node c : e.children()) {
        std::string_view local = c.baseName();
        if (local == "complexType" || local == "simpleType")
            return true;
    }
    return false;
}

// Records how a declaration is written in instance documents.
void setQualification(SchemaNode& node, bool qualified, const std::string& tns) {
    node.qualified = qualified;
    node.targetNamespace = qualified ? tns : std::string();
}

bool localFormQualified(Node e, bool schemaDefault) {
    std::string form = e.attribute("form");
    if (form == "qualified")
        return true;
    if (form == "unqualified")
        return false;
    return schemaDefault;
}

class ElementReader : public Reader {
  public:
    using Reader::Reader;

    void read() override {
        std::string name = e_.attribute("name");
        std::string type = e_.attribute("type");
        std::string maxOccurs = e_.attribute("maxOccurs");
        std::string ref = e_.attribute("ref");
        bool repeating = repeats(maxOccurs);
        std::int32_t maxValue = maxOccurs == "unbounded" ? 0 : occurrences(maxOccurs);
        SchemaNode* member = nullptr;  // the node whose occurrences minOccurs describes
        SchemaNode* newTarget = nullptr;

        if (name.empty()) {
            if (!target_)
                return;
            std::string nref = w_.normalize(ref);
            auto node = std::make_unique<SchemaNode>();
            if (nref == "schema") {
                node->name = "schema";
                node->typeName = "<dynamic>";
                dataSet_ = true;
            } else {
                node->name = nref;
                node->typeName = nref;
            }
            // A reference names a top-level element, which is always qualified.
            setQualification(*node, true, refNamespace(ref));
            node->parent = target_;
            if (repeating) {
                node->array = true;
                node->dimensions = 1;
            }
            if (maxValue != 0)
                node->maxOccurs = maxValue;
            member = keep(*target_, std::move(node));
            newTarget = member;
        } else {
            auto node = std::make_unique<SchemaNode>(name);
            node->parent = target_;
            node->typeName = type.empty() ? name : w_.normalize(type);
            if (maxValue != 0)
                node->maxOccurs = maxValue;
            if (target_) {
                const bool qualified = localFormQualified(e_, w_.ctx && w_.ctx->elementsQualified);
                setQualification(*node, qualified, w_.targetNamespace());
                if (!hasInlineType(e_)) {
                    if (repeating) {
                        node->array = true;
                        node->dimensions = 1;
                    }
                    member = keep(*target_, std::move(node));
                    newTarget = member;
                } else {
                    std::unique_ptr<SchemaNode> copy = node->copy();
                    if (repeating || target_->repeatingGroup) {
                        copy->array = true;
                        copy->dimensions = 1;
                    }
                    std::string anonymous = path(target_) + ":" + name;
                    copy->typeName = anonymous;
                    member = keep(*target_, std::move(copy));
                    node->name = anonymous;
                    SchemaNode* own = keep(w_.tables.types, std::move(node));
                    own->name = name;
                    newTarget = own;
                    if (target_->array && target_->typeName == target_->name)
                        target_->typeName = name;
                }
            } else {
                std::string qualified = w_.qualify(name);
                if (type.empty())
                    node->typeName = qualified;
                if (w_.tables.types.hasMember(qualified))
                    return;
                if (!type.empty() && node->typeName == qualified)
                    return;
                node->name = qualified;
                node->elementDeclaration = true;
                setQualification(*node, true, w_.targetNamespace());
                if (repeating) {
                    node->array = true;
                    node->dimensions = 1;
                }
                member = keep(w_.tables.types, std::move(node));
                newTarget = member;
            }
            if (!ref.empty()) {
                std::string nref = w_.normalize(ref);
                if (nref == "schema") {
                    auto dyn = std::make_unique<SchemaNode>("schema");
                    dyn->typeName = "<dynamic>";
                    dyn->parent = newTarget;
                    newTarget = keep(*newTarget, std::move(dyn));
                } else {
                    newTarget->typeName = nref;
                }
            }
        }

        if (e_.hasAttribute("minOccurs")) {
            std::int32_t minValue = occurrences(e_.attribute("minOccurs"));
            member->minOccurs = minValue;
            member->required = minValue > 0;
            member->minimumGiven = minValue > 0;
        }
        target_ = newTarget;
        walkChildren();
    }

    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "complexType" || local == "simpleType")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }

  private:
    // Stores `node` in `container`; a duplicate name keeps the first and this reader goes on
    // with its own (dropped) node, whose content is then lost.
    SchemaNode* keep(ModelContainer& container, std::unique_ptr<SchemaNode> node) {
        SchemaNode* raw = node.get();
        std::string key = node->name;
        std::unique_ptr<ModelContainer> owned = std::move(node);
        if (!container.addMember(key, owned) || owned) {
            dropped_.push_back(std::move(owned));
        }
        return raw;
    }

    std::string refNamespace(std::string_view ref) const {
        std::size_t colon = ref.find(':');
        if (!w_.ctx)
            return {};
        if (colon == std::string_view::npos)
            return w_.ctx->targetNamespace;
        auto it = w_.ctx->prefixes.find(ref.substr(0, colon));
        return it == w_.ctx->prefixes.end() ? std::string() : it->second;
    }

    std::vector<std::unique_ptr<ModelContainer>> dropped_;
};

class ComplexTypeReader : public Reader {
  public:
    using Reader::Reader;

    void read() override {
        std::string name = e_.attribute("name");
        bool isAbstract = e_.attribute("abstract") == "true";
        if (!name.empty() && !target_) {
            std::string qualified = w_.qualify(name);
            if (w_.tables.types.hasMember(qualified))
                return;
            auto node = std::make_unique<SchemaNode>(qualified);
            node->complex = true;
            node->abstract = isAbstract;
            target_ = addNode(w_.tables.types, std::move(node));
            if (!target_)
                return;
        } else if (!name.empty()) {
            auto node = std::make_unique<SchemaNode>(name);
            node->typeName = name;
            node->complex = true;
            node->abstract = isAbstract;
            node->parent = target_;
            std::unique_ptr<SchemaNode> copy = node->copy();
            copy->typeName = node->name;
            addNode(*target_, std::move(copy));
            SchemaNode* raw = node.get();
            if (!addNode(w_.tables.types, std::move(node))) {
                // The name is taken: read on into a node of our own, whose content is lost.
                own_ = std::make_unique<SchemaNode>(name);
                own_->complex = true;
                raw = own_.get();
            }
            target_ = raw;
        } else {
            if (!target_)
                return;
            target_->complex = true;
            target_->abstract = isAbstract;
        }
        walkChildren();
        if (!sawElement_ && target_->simpleContent) {
            target_->complex = false;
            target_->simpleContent = false;
        }
    }

    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "element")
            sawElement_ = true;
        if (local == "complexContent" || local == "simpleContent" || local == "sequence" ||
            local == "all" || local == "choice" || local == "attribute" || local == "element" ||
            local == "annotation")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }

  private:
    bool sawElement_ = false;
    std::unique_ptr<SchemaNode> own_;
};

class SimpleTypeReader : public Reader {
  public:
    using Reader::Reader;

    void read() override {
        std::string name = e_.attribute("name");
        if (!name.empty() && !target_) {
            std::string qualified = w_.qualify(name);
            if (w_.tables.types.hasMember(qualified))
                return;
            target_ = addNode(w_.tables.types, std::make_unique<SchemaNode>(qualified));
            if (!target_)
                return;
        } else if (!name.empty()) {
            auto node = std::make_unique<SchemaNode>(name);
            node->typeName = name;
            node->parent = target_;
            SchemaNode* raw = node.get();
            if (e_.hasChildNodes()) {
                addNode(*target_, node->copy());
                if (!addNode(w_.tables.types, std::move(node))) {
                    own_ = std::make_unique<SchemaNode>(name);
                    raw = own_.get();
                }
            } else if (!addNode(*target_, std::move(node))) {
                return;
            }
            target_ = raw;
        } else if (!target_) {
            return;
        }
        walkChildren();
    }

    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "restriction" || local == "list")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }

  private:
    std::unique_ptr<SchemaNode> own_;
};

// sequence, all, choice: the model groups. A sequence hands on elements, `any` and nested
// sequences; choice and all only elements (a choice or group nested in a sequence is not read).
class ModelGroupReader : public Reader {
  public:
    ModelGroupReader(Walk& w, Node e, SchemaNode* target, std::string_view kind)
        : Reader(w, e, target), kind_(kind) {}

    void read() override {
        if (kind_ == "choice") {
            std::string maxOccurs = e_.attribute("maxOccurs");
            if (repeats(maxOccurs)) {
                if (e_.hasChildNodes()) {
                    target_->repeatingGroup = true;
                } else {
                    target_->array = true;
                    target_->dimensions = 1;
                }
            }
            std::int32_t maxValue = maxOccurs == "unbounded" ? 0 : occurrences(maxOccurs);
            if (maxValue != 0)
                target_->maxOccurs = maxValue;
        }
        walkChildren();
    }

    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "element")
            return makeReader(w_, local, node, target_);
        if (kind_ == "sequence" && (local == "sequence" || local == "any"))
            return makeReader(w_, local, node, target_);
        return nullptr;
    }

  private:
    std::string_view kind_;
};

class AnyReader : public Reader {
  public:
    using Reader::Reader;
    void read() override {
        target_->typeName = "any";
        target_->simpleContent = true;
    }
};

class ContentReader : public Reader {  // complexContent, simpleContent
  public:
    ContentReader(Walk& w, Node e, SchemaNode* target, bool simple)
        : Reader(w, e, target), simple_(simple) {}
    void read() override {
        if (simple_)
            target_->simpleContent = true;
        walkChildren();
    }
    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "restriction" || local == "extension")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }

  private:
    bool simple_;
};

std::string baseOf(Node e, const Walk& w) {
    std::string base = e.attribute("base");
    return w.normalize(base.empty() ? std::string_view("anySimpleType") : std::string_view(base));
}

class ExtensionReader : public Reader {
  public:
    using Reader::Reader;
    void read() override {
        std::string base = baseOf(e_, w_);
        if (target_->complex && base.find(':') != std::string::npos) {
            target_->baseTypeName = base;
            w_.tables.derived[base].push_back(target_->name);
        } else {
            target_->typeName = base;
        }
        walkChildren();
    }
    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "attribute" || local == "sequence")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }
};

class RestrictionReader : public Reader {
  public:
    using Reader::Reader;

  private:
    bool restrictsEncodingArray() const {
        std::string base = e_.attribute("base");
        std::size_t colon = base.find(':');
        if (base.substr(colon == std::string::npos ? 0 : colon + 1) != "Array")
            return false;
        std::string_view uri = e_.lookupNamespaceURI(colon == std::string::npos
                                                         ? std::string_view()
                                                         : std::string_view(base).substr(0, colon));
        return uri == ns::kSoapEncoding || uri == ns::kSoapEncodingNoSlash;
    }

  public:
    void read() override {
        std::string base = baseOf(e_, w_);
        if (restrictsEncodingArray())
            target_->encodedArray = true;
        if (base == "Array") {
            target_->array = true;
            target_->dimensions = 1;
        } else {
            target_->typeName = base;
        }
        walkChildren();
    }
    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "enumeration" || local == "attribute" || local == "annotation" ||
            local == "sequence")
            return makeReader(w_, local, node, target_);
        return nullptr;  // attributeGroup is read without effect; facets are ignored
    }
};

class EnumerationReader : public Reader {
  public:
    using Reader::Reader;
    void read() override {
        target_->enumerated = true;
        target_->appendName(e_.attribute("value"));
    }
};

class ListReader : public Reader {
  public:
    using Reader::Reader;
    void read() override {
        target_->array = true;
        target_->dimensions = 1;
        target_->list = true;
        walkChildren();
    }
    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "simpleType")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }
};

class AttributeReader : public Reader {
  public:
    using Reader::Reader;
    void read() override {
        if (!target_)
            return;
        std::string name = e_.attribute("name");
        if (!name.empty()) {
            auto node = std::make_unique<SchemaNode>(name);
            node->attribute = true;
            if (e_.hasAttribute("type"))
                node->typeName = w_.normalize(e_.attribute("type"));
            bool required = equalsNoCase(e_.attribute("use"), "required");
            node->required = required;
            node->minimumGiven = required;
            node->parent = target_;
            setQualification(*node, localFormQualified(e_, w_.ctx && w_.ctx->attributesQualified),
                             w_.targetNamespace());
            addNode(*target_, std::move(node));
            return;
        }
        std::string ref = w_.normalize(e_.attribute("ref"));
        std::size_t at = ref.find("arrayType");
        if (at == std::string::npos || at == 0)
            return;
        std::string item = w_.normalize(e_.attributeNS(ns::kWsdl, "arrayType"));
        int count = 0;
        std::size_t brackets = item.find("[]");
        if (brackets != std::string::npos) {
            count = static_cast<int>((item.size() - brackets) / 2);
            item.resize(brackets);
        } else if (std::size_t open = item.find('['); open != std::string::npos) {
            // "[,]" or "[5]": the item type is what stands before the bracket (a name with
            // brackets could not be written as an element). Rectangular arrays travel flat, so
            // they keep one dimension and note their rank.
            std::size_t commas =
                std::count(item.begin() + static_cast<std::ptrdiff_t>(open), item.end(), ',');
            target_->rank = static_cast<std::int32_t>(std::min<std::size_t>(commas, 31) + 1);
            item.resize(open);
        }
        target_->typeName = item;
        target_->name = item;
        target_->array = true;
        target_->encodedArray = true;
        target_->dimensions = count < 2 ? 1 : count;
    }
};

class AnnotationReader : public Reader {
  public:
    using Reader::Reader;
    std::unique_ptr<Reader> child(std::string_view, std::string_view local, Node node) override {
        if (local == "appinfo")
            return makeReader(w_, local, node, target_);
        return nullptr;
    }
};

class ContentTypeReader : public Reader {  // DIME type, mediaType, documentType
  public:
    ContentTypeReader(Walk& w, Node e, SchemaNode* target, std::string_view kind)
        : Reader(w, e, target), kind_(kind) {}
    void read() override {
        target_->contentInfo = std::string(kind_) + ":" + e_.attribute("value");
    }

  private:
    std::string_view kind_;
};

class AppinfoReader : public Reader {
  public:
    using Reader::Reader;
    std::unique_ptr<Reader> child(std::string_view ns, std::string_view local, Node node) override {
        if (ns != ns::kDimeContentType)
            return nullptr;
        if (local == "type")
            return std::make_unique<ContentTypeReader>(w_, node, target_, "type");
        if (local == "mediaType")
            return std::make_unique<ContentTypeReader>(w_, node, target_, "mediaType");
        if (local == "documentType")
            return std::make_unique<ContentTypeReader>(w_, node, target_, "documentType");
        return nullptr;
    }
};

std::unique_ptr<Reader> makeReader(Walk& w, std::string_view local, Node node, SchemaNode* target) {
    if (local == "element")
        return std::make_unique<ElementReader>(w, node, target);
    if (local == "complexType")
        return std::make_unique<ComplexTypeReader>(w, node, target);
    if (local == "simpleType")
        return std::make_unique<SimpleTypeReader>(w, node, target);
    // Everything below needs a node to write into.
    if (!target)
        return nullptr;
    if (local == "sequence")
        return std::make_unique<ModelGroupReader>(w, node, target, "sequence");
    if (local == "choice")
        return std::make_unique<ModelGroupReader>(w, node, target, "choice");
    if (local == "all")
        return std::make_unique<ModelGroupReader>(w, node, target, "all");
    if (local == "any")
        return std::make_unique<AnyReader>(w, node, target);
    if (local == "complexContent")
        return std::make_unique<ContentReader>(w, node, target, false);
    if (local == "simpleContent")
        return std::make_unique<ContentReader>(w, node, target, true);
    if (local == "extension")
        return std::make_unique<ExtensionReader>(w, node, target);
    if (local == "restriction")
        return std::make_unique<RestrictionReader>(w, node, target);
    if (local == "enumeration")
        return std::make_unique<EnumerationReader>(w, node, target);
    if (local == "list")
        return std::make_unique<ListReader>(w, node, target);
    if (local == "attribute")
        return std::make_unique<AttributeReader>(w, node, target);
    if (local == "annotation")
        return std::make_unique<AnnotationReader>(w, node, target);
    if (local == "appinfo")
        return std::make_unique<AppinfoReader>(w, node, target);
    return nullptr;
}

}  // namespace

void readSchemaDefinition(SchemaTables& tables, const SchemaContext* ctx, Node node) {
    std::string_view local = node.baseName();
    if (local != "complexType" && local != "simpleType" && local != "element")
        return;
    Walk walk{tables, ctx};
    if (std::unique_ptr<Reader> r = makeReader(walk, local, node, nullptr))
        r->read();
}

}  // namespace wscore
