#include "engine/soap/request_builder.h"

#include <set>

#include "engine/dime/attachment_rules.h"
#include "engine/resources/message_ids.h"
#include "engine/soap/encoded_array_layout.h"
#include "engine/soap/envelope_prefixes.h"
#include "engine/soap/qualification.h"
#include "engine/wsdl/wsdl_namespaces.h"
#include "platform/soap/dime_composer.h"
#include "platform/soap/serializer.h"
#include "platform/soap/xml_text.h"
#include "platform/text/unicode.h"
#include "platform/text/xml_names.h"

namespace wscore {

namespace {

using nv::text::utf16ToUtf8;

constexpr const char* kEncodingPrefix = "SOAP-ENC";

std::string prefixOf(std::string_view qualifiedName) {
    std::size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string()
                                           : std::string(qualifiedName.substr(0, colon));
}

std::string withoutPrefix(std::string_view qualifiedName) {
    std::size_t colon = qualifiedName.find(':');
    return std::string(colon == std::string_view::npos ? qualifiedName
                                                       : qualifiedName.substr(colon + 1));
}

using nv::text::isQName;

// One request being written; the state of the algorithm that walks the records.
class Build {
  public:
    Build(const DocumentModel& model, const WsdlOperation& op,
          const std::vector<FlatRecord>& records, nv::soap::Serializer& serializer,
          const EnvelopePrefixes& prefixes, const EncodedArrayLayout& layout, bool withAttachments)
        : model_(model),
          op_(op),
          serializer_(serializer),
          prefixes_(prefixes),
          layout_(layout),
          withAttachments_(withAttachments) {
        for (std::size_t i = 0; i < records.size(); ++i)
            list_.push_back({&records[i], i});
        qualification_ = qualifyRecords(model, op, records);
    }

    std::size_t headerCount() const {
        std::size_t count = 0;
        bool open = false;
        std::int32_t lastHeaderLevel = 0;
        for (const Entry& e : list_) {
            const FlatRecord& r = *e.record;
            if (r.isHeader) {
                ++count;
                open = true;
                lastHeaderLevel = r.level;
            } else if (open && r.level > lastHeaderLevel) {
                ++count;
            } else {
                break;
            }
        }
        return count;
    }

    bool writeHeader(std::size_t count, std::u16string& error) {
        for (std::size_t i = 0; i < count && i < list_.size(); ++i) {
            const FlatRecord& r = *list_[i].record;
            closeDownTo(r.level, false);
            if (role(i) == Role::MemberArray)
                continue;  // its items belong straight to the array's accessor
            std::string prefix = choosePrefix(list_[i], utf16ToUtf8(r.prefix));
            std::string name = utf16ToUtf8(r.fieldName);
            if (!checkElementName(prefix, name, error))
                return false;
            std::string qname = prefix.empty() ? name : prefix + ":" + name;
            std::string tag =
                "<" + qname + typeAttribute(r, i, true) + unqualifiedReset(list_[i], prefix) + ">";
            serializer_.writeXml(tag);
            stack_.push_back({qname, r.level, false});
            if (!r.isComplexType)
                serializer_.writeString(utf16ToUtf8(r.theData));
        }
        return true;
    }

    bool writeBody(std::size_t first, std::u16string& error) {
        for (std::size_t i = first; i < list_.size(); ++i) {
            const FlatRecord& r = *list_[i].record;
            bool written = true;
            bool isList = false;
            std::string arrayAttributes;  // for an encoded array written as one element
            if (role(i) == Role::MemberArray) {
                closeDownTo(r.level, true);
                continue;  // its items belong straight to the array's accessor
            }
            if (role(i) == Role::Accessor) {
                arrayAttributes = encodedArrayAttribute(i);
            } else if (r.isArray && r.isComplexType) {
                written = false;
                pendingItemName_ = utf16ToUtf8(r.fieldName);
                pendingSet_ = true;
            } else if (r.isArray) {
                const SchemaNode* type = model_.types.memberNode(utf16ToUtf8(r.dataType));
                isList = type && type->list;
                written = false;
            }
            closeDownTo(r.level, true);
            if (isList) {
                if (!writeList(i, error))
                    return false;
                continue;
            }
            if (!written)
                continue;

            std::string prefix = choosePrefix(list_[i], utf16ToUtf8(r.prefix));
            std::string name;
            bool asItem = false;
            if (pendingSet_) {
                name = pendingItemName_;
                pendingSet_ = false;
                pendingItemName_.clear();
                asItem = true;
            } else {
                name = utf16ToUtf8(r.fieldName);
            }
            if (!checkElementName(prefix, name, error))
                return false;
            std::string tag = "<";
            if (!prefix.empty())
                tag += prefix + ":";
            tag += name;
            AttachmentField attachment = attachmentField(op_, r);
            if (attachment.isAttachment) {
                if (!addAttachment(r, attachment, tag, error))
                    return false;
            } else if (!arrayAttributes.empty()) {
                tag += arrayAttributes;
            } else {
                tag += typeAttribute(r, i, false, prefix);
            }
            tag += unqualifiedReset(list_[i], prefix);
            serializer_.writeXml(tag);
            std::string attributes;
            if (!collectAttributes(i, tag, attributes, error))
                return false;
            if (!attributes.empty())
                serializer_.writeXml(attributes);
            serializer_.writeXml(">");
            stack_.push_back({prefix.empty() ? name : prefix + ":" + name, r.level, asItem});
            if (!arrayAttributes.empty())
                continue;  // an array element holds its items only
            if (!attachment.isAttachment && (!r.isComplexType || r.isSimpleDataField))
                serializer_.writeString(utf16ToUtf8(r.theData));
        }
        return true;
    }

    // A prefix declared on the body or the wrapper, below the envelope.
    void declaredBelowEnvelope(const std::string& prefix) { extraPrefixes_.insert(prefix); }

    void closeAll() {
        while (!stack_.empty()) {
            serializer_.writeXml("</" + stack_.back().name + ">");
            stack_.pop_back();
        }
    }

  private:
    struct Entry {
        const FlatRecord* record;
        std::size_t index;  // in the caller's records (and in qualification_)
    };
    struct Open {
        std::string name;  // as written, with its prefix
        std::int32_t level;
        bool item;
    };
    using Role = EncodedArrayLayout::Role;

    Role role(std::size_t i) const { return layout_.roles[list_[i].index]; }

    // The attributes of an encoded array's accessor: its item type and size as laid out.
    std::string encodedArrayAttribute(std::size_t i) const {
        std::string arrayType = prefixes_.qname(layout_.arrayTypes[list_[i].index]);
        std::string_view bare = std::string_view(arrayType).substr(0, arrayType.find('['));
        if (!isQName(bare))
            return {};
        return std::string(" xsi:type=\"") + kEncodingPrefix + ":Array\" " + kEncodingPrefix +
               ":arrayType=\"" + arrayType + "\"";
    }

    void closeDownTo(std::int32_t level, bool body) {
        while (!stack_.empty() && stack_.back().level >= level) {
            Open top = stack_.back();
            stack_.pop_back();
            serializer_.writeXml("</" + top.name + ">");
            if (body && top.item && top.level == level) {
                pendingItemName_ = withoutPrefix(top.name);
                pendingSet_ = true;
            }
        }
    }

    // The prefix an element is written with. Records matched to the schema follow its
    // qualification: an unqualified element has none, a qualified one its own or its
    // namespace's; others borrow the enclosing element's prefix when they have none.
    std::string choosePrefix(const Entry& e, std::string prefix) const {
        const Qualification& q = qualification_[e.index];
        if (q.kind == Qualification::Unqualified)
            return {};
        if (!prefix.empty())
            return prefixes_.prefix(prefix);
        if (q.kind == Qualification::Qualified) {
            std::string_view canonical = model_.namespaces.canonicalPrefix(q.namespaceUri);
            if (!canonical.empty())
                return prefixes_.prefix(canonical);
        }
        if (!stack_.empty())
            return prefixOf(stack_.back().name);
        return {};
    }

    // An unqualified element under a default namespace declaration must undo it.
    std::string unqualifiedReset(const Entry& e, const std::string& prefix) const {
        if (prefix.empty() && prefixes_.defaultDeclared() &&
            qualification_[e.index].kind == Qualification::Unqualified)
            return " xmlns=\"\"";
        return {};
    }

    // The simple-type attribute: xsd:type for a built-in; a prefixed type name as it is; none
    // for an empty name (an empty QName is not valid).
    std::string simpleTypeAttribute(const std::string& type) const {
        if (!isQName(type))
            return {};
        if (type.find(':') != std::string::npos)
            return " xsi:type=\"" + prefixes_.qname(type) + "\"";
        return " xsi:type=\"xsd:" + type + "\"";
    }

    std::string arrayAttribute(const std::string& itemType, long count) const {
        std::string_view bare = std::string_view(itemType).substr(0, itemType.find('['));
        if (!isQName(bare))
            return {};
        std::string item =
            itemType.find(':') != std::string::npos ? prefixes_.qname(itemType) : "xsd:" + itemType;
        return std::string(" xsi:type=\"") + kEncodingPrefix + ":Array\" " + kEncodingPrefix +
               ":arrayType=\"" + item + "[" + std::to_string(count) + "]\"";
    }

    std::string typeAttribute(const FlatRecord& r, std::size_t i, bool header,
                              const std::string& chosenPrefix = {}) const {
        std::string type = utf16ToUtf8(r.dataType);
        if (role(i) == Role::Accessor)
            return encodedArrayAttribute(i);
        if (r.isComplexType && r.isArray) {
            if (!header)
                return {};  // complex arrays are not written in the body
            std::string item;
            if (!builtInItemType(type, item))
                return {};
            return arrayAttribute(item, itemCount(i));
        }
        if (!r.isComplexType && r.isArray)
            return arrayAttribute(type, r.arrayMax);
        if (!r.isComplexType) {
            if (r.hasEnumValues && type != "boolean")
                return {};
            return simpleTypeAttribute(type);
        }
        if (header)
            return {};
        // A complex field names its type only where derivation makes it matter.
        const SchemaNode* t = model_.types.memberNode(type);
        bool derived = (t && !t->baseTypeName.empty()) || model_.derivedTypes.count(type);
        if (!derived || !isQName(type))
            return {};
        if (type.find(':') != std::string::npos)
            return " xsi:type=\"" + prefixes_.qname(type) + "\"";
        if (!chosenPrefix.empty())
            return " xsi:type=\"" + chosenPrefix + ":" + type + "\"";
        return " xsi:type=\"" + type + "\"";
    }

    // Follows array types to their item type; false when the items are of a schema type.
    bool builtInItemType(const std::string& dataType, std::string& item) const {
        std::string name = dataType;
        for (int hops = 0; hops < 64; ++hops) {
            const SchemaNode* t = model_.types.memberNode(name);
            if (!t) {
                item = name;
                return true;
            }
            if (!t->array)
                return false;
            if (t->typeName == name)
                return false;
            name = t->typeName;
        }
        return false;
    }

    long itemCount(std::size_t i) const {
        long n = 0;
        std::int32_t level = list_[i].record->level;
        for (std::size_t k = i + 1; k < list_.size() && list_[k].record->level == level + 1; ++k)
            ++n;
        return n;
    }

    // The attribute records directly under record `i`, taken out of the list and written as
    // one fragment of the start tag.
    // `tag` is the start tag written so far (its own attributes have escaped values, so a
    // name followed by =" can only be an attribute).
    bool collectAttributes(std::size_t i, const std::string& tag, std::string& text,
                           std::u16string& error) {
        std::int32_t level = list_[i].record->level;
        std::set<std::string> names;
        for (std::size_t k = i + 1; k < list_.size() && list_[k].record->level > level;) {
            const FlatRecord& a = *list_[k].record;
            if (a.level == level + 1 && a.isAttribute) {
                std::string name = prefixes_.qname(utf16ToUtf8(a.fieldName));
                std::string value = utf16ToUtf8(a.theData);
                std::string prefix = prefixOf(name);
                // A namespace declaration is not data: it would move the element elsewhere.
                if (!isQName(name) || name == "xmlns" || prefix == "xmlns" ||
                    (!prefix.empty() && !isDeclared(prefix)))
                    return fail("'" + name + "' cannot be an attribute name", error);
                // One start tag cannot carry an attribute twice.
                if (!names.insert(name).second || tag.find(" " + name + "=\"") != std::string::npos)
                    return fail("the attribute '" + name + "' is given twice", error);
                std::string problem = nv::soap::markup::textProblem(value);
                if (!problem.empty())
                    return fail("attribute '" + name + "': " + problem, error);
                text += " " + name + "=\"";
                nv::soap::markup::appendEscapedAttribute(text, value);
                text += "\" ";
                list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(k));
                continue;
            }
            ++k;
        }
        return true;
    }

    // A list type is one element holding its items' values separated by blanks; `i` moves to
    // the last item.
    bool writeList(std::size_t& i, std::u16string& error) {
        const FlatRecord& r = *list_[i].record;
        std::string prefix = prefixes_.prefix(utf16ToUtf8(r.prefix));
        std::string name = utf16ToUtf8(r.fieldName);
        if (!checkElementName(prefix, name, error))
            return false;
        std::string qname = prefix.empty() ? name : prefix + ":" + name;
        std::string values;
        std::size_t k = i + 1;
        for (; k < list_.size() && list_[k].record->level == r.level + 1; ++k) {
            if (k > i + 1)
                values += ' ';
            values += utf16ToUtf8(list_[k].record->theData);
        }
        serializer_.writeXml("<" + qname + ">");
        serializer_.writeString(values);
        serializer_.writeXml("</" + qname + ">");
        i = k - 1;
        return true;
    }

    // Names come from the document or from the caller's records: a tag written from one that
    // is not an XML name, or with a prefix nothing declares, would not be XML at all.
    bool checkElementName(const std::string& prefix, const std::string& name,
                          std::u16string& error) {
        if (!nv::text::isNCName(name))
            return fail("'" + name + "' cannot be an element name", error);
        if (!prefix.empty() && (!nv::text::isNCName(prefix) || !isDeclared(prefix)))
            return fail("the prefix '" + prefix + "' of '" + name + "' is not declared", error);
        return true;
    }

    bool isDeclared(const std::string& prefix) const {
        return prefix == "xml" || prefixes_.declared().count(prefix) > 0 ||
               extraPrefixes_.count(prefix) > 0;
    }

    static bool fail(const std::string& reason, std::u16string& error) {
        error = nv::text::utf8ToUtf16(reason);
        return false;
    }

    bool addAttachment(const FlatRecord& r, const AttachmentField& field, std::string& tag,
                       std::u16string& error) {
        nv::soap::FileAttachment attachment(utf16ToUtf8(r.theData));
        if (!field.tnf.empty())
            attachment.setProperty(nv::soap::kDimeTnfProperty, field.tnf);
        if (!field.type.empty())
            attachment.setProperty(nv::soap::kDimeTypeProperty, field.type);
        // Both layouts name the record by an identifier in the element's href: the closed one
        // as the binding asks, the open one because a reader needs some reference to find it.
        std::string id = makeAttachmentIdentifier();
        attachment.setProperty(nv::soap::kDimeIdProperty, id);
        if (withAttachments_ && !serializer_.addAttachment(attachment, false)) {
            error = nv::text::utf8ToUtf16(serializer_.error());
            return false;
        }
        tag += " href=\"" + id + "\"";
        return true;
    }

    const DocumentModel& model_;
    const WsdlOperation& op_;
    nv::soap::Serializer& serializer_;
    const EnvelopePrefixes& prefixes_;
    const EncodedArrayLayout& layout_;
    std::vector<Entry> list_;
    std::vector<Qualification> qualification_;
    std::vector<Open> stack_;
    std::string pendingItemName_;
    bool pendingSet_ = false;
    bool withAttachments_ = true;
    std::set<std::string> extraPrefixes_;  // declared below the envelope
};

std::string definitionsValue(const DocumentModel& model, std::string_view key) {
    auto it = model.definitionsPrefixes.find(key);
    return it == model.definitionsPrefixes.end() ? std::string() : it->second;
}

}  // namespace

bool buildRequest(const DocumentModel& model, const WsdlOperation& op,
                  const std::vector<FlatRecord>& records, const MessageModule& messages,
                  BuiltRequest& out, std::u16string& error, bool withAttachments) {
    out = BuiltRequest();
    out.soapAction = op.soapAction;
    out.dime = op.inputDime.used && withAttachments;

    nv::soap::Serializer serializer;
    nv::soap::DimeComposer composer;
    if (out.dime)
        serializer.init(out.bytes, composer);
    else
        serializer.init(out.bytes);

    std::string targetNamespace = definitionsValue(model, "targetNamespace");
    if (targetNamespace.empty())
        targetNamespace = definitionsValue(model, "tns");
    std::string operationNamespace =
        op.inputNamespace.empty() ? targetNamespace : op.inputNamespace;
    // Stored without its final slash; the encodingStyle attribute names the namespace itself.
    std::string bodyEncodingStyle =
        op.encodingNamespace.empty() ? std::string() : std::string(ns::kSoapEncoding);
    EnvelopePrefixes prefixes(model.namespaces, nv::soap::kDefaultEnvelopePrefix,
                              nv::soap::kSoap11EnvelopeNs);
    std::string wrapperPrefix = prefixes.prefix(model.namespaces.canonicalPrefix(targetNamespace));

    EncodedArrayLayout layout;
    std::string layoutError;
    if (!layOutEncodedArrays(model.types, records, layout, layoutError)) {
        error = nv::text::utf8ToUtf16(layoutError);
        return false;
    }

    serializer.startEnvelope("", "NONE", "");
    for (const EnvelopePrefixes::Declaration& d : prefixes.declarations())
        serializer.declareNamespace(d.prefix, d.uri);
    bool defaultDeclared = prefixes.defaultDeclared();

    Build build(model, op, records, serializer, prefixes, layout, withAttachments);
    std::size_t headers = build.headerCount();
    if (headers > 0) {
        serializer.startHeader(bodyEncodingStyle.empty() ? std::string_view("NONE")
                                                         : bodyEncodingStyle);
        if (!build.writeHeader(headers, error))
            return false;
        build.closeAll();
        serializer.endHeader();
    }
    bool encodedRpc = op.encodingKind == EncodingKind::RpcEncoded;
    serializer.startBody(encodedRpc || bodyEncodingStyle.empty()
                             ? std::string_view("NONE")
                             : std::string_view(bodyEncodingStyle));
    std::string operationPrefix;
    if (!operationNamespace.empty()) {
        operationPrefix = prefixes.prefix(model.namespaces.canonicalPrefix(operationNamespace));
        if (operationPrefix.empty())
            operationPrefix = "NV";
        serializer.declareNamespace(operationPrefix, operationNamespace);
        build.declaredBelowEnvelope(operationPrefix);
    }
    bool wrapper = op.encodingKind != EncodingKind::DocumentLiteral;
    if (wrapper) {
        std::string prefix = wrapperPrefix.empty() ? "NV" : wrapperPrefix;
        // The namespace goes along so the prefix is declared if nothing above declared it.
        std::string uri = prefix == operationPrefix ? operationNamespace : targetNamespace;
        if (uri.empty()) {
            // No namespace to put it in: a bare wrapper, out of any default namespace.
            serializer.startElement(op.name, "", "NONE", "");
            if (defaultDeclared)
                serializer.declareNamespace("", "");
        } else {
            serializer.startElement(op.name, uri, "NONE", prefix);
            build.declaredBelowEnvelope(prefix);
        }
    }
    if (!build.writeBody(headers, error))
        return false;
    build.closeAll();
    if (wrapper)
        serializer.endElement();
    serializer.endBody();
    if (!serializer.endEnvelope()) {
        error = messages.text(msg::FailedToSend) + nv::text::utf8ToUtf16(serializer.error());
        return false;
    }
    if (!serializer.finish()) {
        error = messages.text(msg::FailedToSend) + nv::text::utf8ToUtf16(serializer.error());
        return false;
    }
    return true;
}

}  // namespace wscore
