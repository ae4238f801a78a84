#include "engine/soap/response_reader.h"

#include <deque>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/dime/attachment_rules.h"
#include "engine/schema/encoded_arrays.h"
#include "engine/schema/schema_loader.h"
#include "engine/schema/schema_readers.h"
#include "engine/soap/array_positions.h"
#include "engine/soap/base64.h"
#include "engine/soap/saved_file.h"
#include "engine/structure/expansion.h"
#include "engine/structure/message_structures.h"

namespace wscore {

namespace {

using nv::xml::Node;
using nv::xml::NodeType;

std::string_view afterFirstColon(std::string_view s) {
    std::size_t colon = s.find(':');
    return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

int depthOf(const FieldRecord& r) {
    int d = 0;
    for (const FieldRecord* p = r.parent; p; p = p->parent)
        ++d;
    return d;
}

class Mapper {
  public:
    Mapper(const ResponseMapping& m, const nv::soap::Reader& reader)
        : m_(m),
          reader_(reader),
          expander_(m.model.types, m.model.derivedTypes, kDirectionOutput) {}

    bool run(std::vector<std::unique_ptr<FieldRecord>>& roots, std::string& error) {
        roots_ = buildMessageTree(m_.model, m_.op, kDirectionOutput);
        for (const auto& r : roots_)
            index(*r);
        indexReferable();

        for (Node entry : reader_.headerEntries()) {
            if (entry.baseName() == "multiRef")
                continue;
            offerToRoots(entry);
        }
        std::vector<Node> deferred;
        for (Node entry : reader_.bodyEntries()) {
            if (entry.baseName() == "multiRef")
                continue;  // filled when references resolve
            // An entry with an id may be the target of a reference, whatever its name.
            if (entry.hasAttribute("id")) {
                deferred.push_back(entry);
                continue;
            }
            offerToRoots(entry);
        }
        resolveReferences();
        for (Node entry : deferred) {
            if (referenced_.count(entry.attribute("id")))
                continue;
            offerToRoots(entry);
            resolveReferences();
        }
        if (m_.op.outputDime.used)
            mapAttachments();
        if (overLimit_) {
            error = limitMessage_;
            return false;
        }
        for (auto& root : roots_) {
            countItems(*root);
            hoistPlaceholders(*root);
            prune(*root);
        }
        roots = std::move(roots_);
        return true;
    }

  private:
    // --- references ------------------------------------------------------------------------

    void index(FieldRecord& r) {
        if (!r.description.empty()) {
            referrers_[r.description].push_back(&r);
            pending_.push_back(&r);
        }
    }

    // Every element of the body with an id can be the target of an href.
    void indexReferable() {
        std::vector<Node> stack;
        for (Node entry : reader_.bodyEntries())
            stack.push_back(entry);
        for (Node entry : reader_.headerEntries())
            stack.push_back(entry);
        while (!stack.empty()) {
            Node n = stack.back();
            stack.pop_back();
            if (n.type() != NodeType::Element)
                continue;
            std::string id = n.attribute("id");
            if (!id.empty())
                targets_.emplace(id, n);
            for (Node c : n.children())
                stack.push_back(c);
        }
    }

    // Before `n`'s children are destroyed: no index may keep pointing at them.
    void forget(const FieldRecord& n) {
        std::unordered_set<const FieldRecord*> doomed;
        std::vector<const FieldRecord*> stack;
        for (const std::string& name : n.childNames())
            if (const auto* list = n.childrenNamed(name))
                for (const auto& c : *list)
                    stack.push_back(c.get());
        while (!stack.empty()) {
            const FieldRecord* x = stack.back();
            stack.pop_back();
            doomed.insert(x);
            for (const std::string& name : x->childNames())
                if (const auto* list = x->childrenNamed(name))
                    for (const auto& c : *list)
                        stack.push_back(c.get());
        }
        if (doomed.empty())
            return;
        for (auto& [id, list] : referrers_)
            std::erase_if(list, [&](FieldRecord* r) { return doomed.count(r) > 0; });
        std::erase_if(pending_, [&](FieldRecord* r) { return doomed.count(r) > 0; });
        for (const FieldRecord* r : doomed)
            resolvedFrom_.erase(r);
    }

    // A record stops taking a target that an enclosing record was already filled from (a cycle),
    // or when it sits too many hops away from the element that started the chain.
    bool mayResolve(const FieldRecord& r, const std::string& id) const {
        int hops = 0;
        for (const FieldRecord* a = &r; a; a = a->parent) {
            auto it = resolvedFrom_.find(a);
            if (it == resolvedFrom_.end())
                continue;
            if (it->second == id)
                return false;
            if (++hops >= kMaxReferenceHops)
                return false;
        }
        return true;
    }

    void resolveReferences() {
        while (!pending_.empty()) {
            FieldRecord* r = pending_.front();
            pending_.pop_front();
            if (resolvedFrom_.count(r))
                continue;
            const std::string id = r->description;
            auto target = targets_.find(id);
            if (target == targets_.end())
                continue;
            referenced_.insert(id);
            if (!mayResolve(*r, id))
                continue;
            resolvedFrom_.emplace(r, id);
            fill(*r, target->second);
        }
    }

    // The records under `n` (or `n` itself) that refer to `id`, in the order they were made.
    std::vector<FieldRecord*> referringWithin(FieldRecord& n, const std::string& id) {
        std::vector<FieldRecord*> found;
        auto it = referrers_.find(id);
        if (it == referrers_.end())
            return found;
        for (FieldRecord* r : it->second)
            for (const FieldRecord* a = r; a; a = a->parent)
                if (a == &n) {
                    found.push_back(r);
                    break;
                }
        return found;
    }

    // --- matching ----------------------------------------------------------------------------

    void offerToRoots(Node entry) {
        for (auto& root : roots_)
            if (matchElement(*root, entry))
                return;
    }

    bool matchElement(FieldRecord& n, Node e) {
        std::string_view local = e.baseName();
        bool matches = !local.empty() &&
                       (local == n.fieldName || (local == "return" && n.fieldName == "output"));
        if (matches) {
            if (!n.description.empty())
                return false;
            fill(n, e);
            return true;
        }
        if (!e.hasChildNodes())
            return false;
        bool miss = false;
        for (Node c : e.children()) {
            if (matchElement(n, c))
                continue;
            std::string id = c.type() == NodeType::Element ? c.attribute("id") : std::string();
            std::vector<FieldRecord*> referring =
                id.empty() ? std::vector<FieldRecord*>() : referringWithin(n, id);
            if (referring.empty()) {
                miss = true;
                continue;
            }
            // The references resolve this element into every record that names it.
            resolveReferences();
        }
        return !miss;
    }

    // --- filling -----------------------------------------------------------------------------

    std::unique_ptr<FieldRecord> copyOf(const FieldRecord& r) {
        std::unique_ptr<FieldRecord> c = r.deepCopy();
        count(*c);
        return c;
    }

    void count(const FieldRecord& r) {
        std::vector<const FieldRecord*> stack{&r};
        while (!stack.empty()) {
            const FieldRecord* x = stack.back();
            stack.pop_back();
            ++records_;
            for (const std::string& name : x->childNames())
                if (const auto* list = x->childrenNamed(name))
                    for (const auto& c : *list)
                        stack.push_back(c.get());
        }
        if (records_ > kMaxResponseRecords && !overLimit_) {
            overLimit_ = true;
            limitMessage_ = "The response holds more values than the limit of " +
                            std::to_string(kMaxResponseRecords) + " fields.";
        }
    }

    FieldRecord* addCopyOf(FieldRecord& parent, const FieldRecord& templateRecord) {
        return parent.appendChild(templateRecord.fieldName, copyOf(templateRecord));
    }

    void fill(FieldRecord& n, Node e) {
        if (overLimit_)
            return;
        if (depthOf(n) > kMaxMappedDepth)
            return;
        n.matched = true;
        if (n.recursionStop) {
            if (const SchemaNode* type = m_.model.types.memberNode(n.dataType)) {
                std::string stop = n.dataType;
                n.recursionStop = false;
                expander_.expand(n, *type, stop);
                count(n);
            }
        }
        if (n.complex && !n.info.empty())
            selectDerivedType(n, e);
        mapAttributes(n, e);
        if (n.dataType == "any") {
            n.value = e.xml();
            return;
        }
        if (!n.complex) {
            if (n.dataType == "<dynamic>") {
                readInlineSchema(n, e);
                return;
            }
            if (!n.array) {
                setSimpleValue(n, e);
                return;
            }
        }
        if (n.array) {
            for (const nv::xml::Attribute& a : e.attributes())
                if (a.qualifiedName.find(":nil") != std::string::npos && a.value == "true")
                    return;
        }
        if (n.simpleContent) {
            setSimpleValue(n, e);
            return;
        }
        if (n.array && isEncodedArrayRecord(n, e)) {
            fillEncodedArray(n, e);
            return;
        }
        if (!e.hasChildNodes())
            return;
        for (Node c : e.children()) {
            // Text, comments and the like carry no field.
            if (c.type() != NodeType::Element)
                continue;
            std::string name = c.nodeName();
            std::string local(afterFirstColon(name));
            FieldRecord* match = findChildRecord(n, local, c);
            if (!n.array) {
                if (match)
                    fill(*match, c);
                continue;
            }
            // Every occurrence gets a copy of its record (or of the item template), so the
            // templates stay empty and are dropped when the items are counted.
            const FieldRecord* templateRecord = match ? match : firstChild(n);
            if (!templateRecord)
                continue;
            fill(*addCopyOf(n, *templateRecord), c);
        }
    }

    static const FieldRecord* firstChild(const FieldRecord& n) {
        if (n.childNames().empty())
            return nullptr;
        const auto* list = n.childrenNamed(n.childNames().front());
        return list && !list->empty() ? list->front().get() : nullptr;
    }

    // An element that says it is a SOAP-encoded array (gSOAP states only its arrayType).
    static bool isEncodedArray(Node c) {
        for (const nv::xml::Attribute& a : c.attributes()) {
            if (a.isNamespaceDeclaration)
                continue;
            std::string_view local = afterFirstColon(a.qualifiedName);
            if (local == "type" && afterFirstColon(a.value) == "Array")
                return true;
            if (local == "arrayType" && a.qualifiedName.find(':') != std::string::npos)
                return true;
        }
        return false;
    }

    static std::string encodingAttribute(Node e, std::string_view local) {
        for (const nv::xml::Attribute& a : e.attributes())
            if (!a.isNamespaceDeclaration && a.qualifiedName.find(':') != std::string::npos &&
                afterFirstColon(a.qualifiedName) == local)
                return a.value;
        return {};
    }

    bool isEncodedArrayRecord(const FieldRecord& n, Node e) const {
        return encodedArrayType(m_.model.types, n.dataType) || isEncodedArray(e);
    }

    // The record under which an encoded array's items go: the member array of a type that
    // spells its items out, or the array record itself.
    FieldRecord& itemHolder(FieldRecord& n) const {
        const SchemaNode* t = encodedArrayType(m_.model.types, n.dataType);
        if (!t)
            return n;
        std::string member = itemMemberName(*t);
        auto* list = member.empty() ? nullptr : n.childrenNamed(member);
        if (!list || list->empty() || !list->front()->array)
            return n;
        return *list->front();
    }

    static const FieldRecord* itemTemplate(const FieldRecord& holder) {
        for (const std::string& name : holder.childNames()) {
            const auto* list = holder.childrenNamed(name);
            if (list && !list->empty() && !list->front()->attribute)
                return list->front().get();
        }
        return nullptr;
    }

    // Every child element is an item, whatever its name. Partially transmitted arrays put their
    // items at SOAP-ENC:offset onwards or at each item's SOAP-ENC:position; the places the
    // response left out become empty items, so the array has its declared size.
    void fillEncodedArray(FieldRecord& n, Node e) {
        FieldRecord& holder = itemHolder(n);
        holder.matched = true;
        const FieldRecord* templateRecord = itemTemplate(holder);
        if (!templateRecord)
            return;
        std::vector<long long> dims = bracketedNumbers(encodingAttribute(e, "arrayType"));
        if (dims.size() >= 2) {
            std::string shape;
            for (std::size_t d = 0; d < dims.size(); ++d)
                shape += (d ? "," : "") + std::to_string(dims[d]);
            n.info = shape;
        } else if (!parseShape(n.info).empty()) {
            n.info.clear();  // the structure's template shape; this array states none
        }
        // -1: the array declares no size.
        const long long places =
            dims.empty() ? -1 : placeCount(dims, kMaxArrayDimension).value_or(-1);
        long long next = linearIndex(encodingAttribute(e, "offset"), dims).value_or(0);
        std::map<long long, Node> placed;
        std::vector<Node> unplaced;  // items of an array without a declared size
        for (Node c : e.children()) {
            if (c.type() != NodeType::Element)
                continue;
            std::string position = encodingAttribute(c, "position");
            long long at = position.empty() ? next : linearIndex(position, dims).value_or(-1);
            if (at < 0)
                continue;
            next = at + 1;
            if (places < 0) {
                unplaced.push_back(c);
                continue;
            }
            if (at < places)
                placed.emplace(at, c);
        }
        if (places < 0) {
            for (Node c : unplaced) {
                if (overLimit_)
                    return;
                fill(*addCopyOf(holder, *templateRecord), c);
            }
            return;
        }
        long long gaps = places - static_cast<long long>(placed.size());
        if (gaps > static_cast<long long>(kMaxArrayGaps)) {
            overLimit_ = true;
            limitMessage_ = "The response declares an array of " + std::to_string(places) +
                            " items but holds " + std::to_string(placed.size()) + "; more than " +
                            std::to_string(kMaxArrayGaps) + " places left empty are not filled in.";
            return;
        }
        for (long long at = 0; at < places && !overLimit_; ++at) {
            FieldRecord* item = addCopyOf(holder, *templateRecord);
            auto it = placed.find(at);
            if (it == placed.end())
                item->matched = true;  // an empty place keeps its position
            else
                fill(*item, it->second);
        }
    }

    FieldRecord* findChildRecord(FieldRecord& n, const std::string& name, Node c) {
        if (auto* list = n.childrenNamed(name); list && !list->empty()) {
            FieldRecord* m = list->front().get();
            if (!m->array)
                return m;
            if (auto* items = m->childrenNamed(name); items && !items->empty()) {
                // A repeated element of an array type: every occurrence is an array of its own.
                const FieldRecord& t = *items->front();
                bool repetition = t.array && t.dataType == m->dataType;
                if (isEncodedArray(c) && !repetition)
                    return m;
                return addCopyOf(*m, t);
            }
            if (isEncodedArrayRecord(*m, c))
                return m;  // its items go under it, as its element holds them
            const FieldRecord* t = firstChild(*m);
            if (!t)
                return m;
            bool elementChildren = false;
            bool anyKnown = false;
            for (Node g : c.children()) {
                if (g.type() != NodeType::Element)
                    continue;
                elementChildren = true;
                if (t->childrenNamed(afterFirstColon(g.nodeName())))
                    anyKnown = true;
            }
            if (elementChildren && !anyKnown)
                return m;
            return addCopyOf(*m, *t);
        }
        if (n.childNames().size() == 1) {
            auto* list = n.childrenNamed(n.childNames().front());
            if (list && !list->empty() && list->front()->dataType == "<dynamic>")
                return list->front().get();
        }
        return nullptr;
    }

    void mapAttributes(FieldRecord& n, Node e) {
        for (const nv::xml::Attribute& a : e.attributes()) {
            if (a.isNamespaceDeclaration)
                continue;
            if (a.qualifiedName == "href") {
                std::string_view v = a.value;
                if (!v.empty() && v.front() == '#')
                    v.remove_prefix(1);
                bool fresh = n.description.empty();
                n.description = std::string(v);
                if (fresh)
                    index(n);
                continue;
            }
            auto* list = n.childrenNamed(a.qualifiedName);
            if (list && !list->empty() && list->front()->attribute) {
                list->front()->value = a.value;
                list->front()->matched = true;
            }
        }
    }

    void setSimpleValue(FieldRecord& n, Node e) {
        n.value = e.text();
        if (n.dataType != "base64Binary")
            return;
        std::optional<std::string> bytes = decodeBase64(*n.value);
        if (!bytes)
            return;
        std::string fileName = safeFileName(e.nodeName()) + std::string(extensionFor(*bytes));
        std::string path;
        if (saveReturnedData(m_.workingDirectory, fileName, *bytes, path)) {
            n.value = path;
            n.info = "file";
        }
    }

    // xsi:type names a type of the response document: its prefix is resolved where it is
    // written, then looked up under the canonical prefix of that namespace; failing that, as
    // written, then by local name.
    const SchemaNode* derivedType(Node e, const std::string& written) const {
        const TypesTable& types = m_.model.types;
        std::size_t colon = written.find(':');
        std::string_view prefix = colon == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(written).substr(0, colon);
        std::string_view local = colon == std::string::npos
                                     ? std::string_view(written)
                                     : std::string_view(written).substr(colon + 1);
        std::string_view uri = e.lookupNamespaceURI(prefix);
        if (!uri.empty()) {
            std::string_view canonical = m_.model.namespaces.canonicalPrefix(uri);
            std::string key = canonical.empty() ? std::string(local)
                                                : std::string(canonical) + ":" + std::string(local);
            if (const SchemaNode* t = types.memberNode(key))
                return t;
        }
        if (const SchemaNode* t = types.memberNode(written))
            return t;
        for (const std::string& key : types.memberNames())
            if (afterFirstColon(key) == written)
                return types.memberNode(key);
        return nullptr;
    }

    void selectDerivedType(FieldRecord& n, Node e) {
        std::string written;
        for (const nv::xml::Attribute& a : e.attributes()) {
            if (a.isNamespaceDeclaration)
                continue;
            if (a.qualifiedName.find("type") != std::string::npos) {
                written = a.value;
                break;
            }
        }
        if (written.empty())
            return;
        const SchemaNode* entry = derivedType(e, written);
        if (!entry)
            return;
        n.value.reset();
        forget(n);
        n.clearChildren();
        n.dataType = written;
        n.info = entry->contentInfo;
        n.baseTypeName = entry->baseTypeName;
        expander_.expand(n, *entry, written);
        count(n);
    }

    void readInlineSchema(FieldRecord& n, Node e) {
        n.complex = true;
        TypesTable temporary;
        DerivedTypeRegistry derived;
        NamespaceRegistry namespaces;
        SchemaTables tables{temporary, derived, namespaces};
        for (Node c : e.children()) {
            std::string_view local = c.baseName();
            if (local == "complexType" || local == "simpleType" || local == "element")
                readSchemaDefinition(tables, nullptr, c);
        }
        SchemaLoader::resolveTypes(temporary);
        if (temporary.memberNames().empty())
            return;
        const SchemaNode* v = temporary.memberNode(temporary.memberNames().front());
        if (!v)
            return;
        auto owned = std::make_unique<FieldRecord>();
        owned->parent = &n;
        owned->fillFrom(*v);
        owned->fieldName = v->name;
        std::string childName = owned->fieldName;  // read before the record moves into the call
        FieldRecord* c = n.addUniqueChild(childName, std::move(owned));
        if (!c)
            return;
        Expander(temporary, derived, kDirectionOutput).expandAsMember(*c, *v);
        count(*c);
    }

    // --- attachments -------------------------------------------------------------------------

    void mapAttachments() {
        for (const nv::soap::FileAttachment& a : reader_.attachments()) {
            FieldRecord* target = nullptr;
            for (const std::string& id : {a.dimeId(), "cid:" + a.dimeId()}) {
                auto it = referrers_.find(id);
                if (it != referrers_.end() && !it->second.empty()) {
                    target = it->second.front();
                    break;
                }
            }
            if (!target)
                continue;
            std::string_view extension = extensionFor(a.content());
            std::string name =
                safeFileName(target->fieldName) +
                std::string(extension.empty() ? std::string_view(".txt") : extension);
            std::string path;
            bool existed = false;
            bool saved =
                saveReturnedData(m_.workingDirectory, name, a.content(), path, false, &existed);
            if (!saved && existed)
                saved = saveReturnedData(m_.workingDirectory, name, a.content(), path, true);
            if (saved) {
                target->value = path;
                target->info = "file";
                target->matched = true;
            }
        }
    }

    // --- post-processing ---------------------------------------------------------------------

    void countItems(FieldRecord& p) {
        for (const std::string& name : p.childNames())
            if (auto* list = p.childrenNamed(name))
                for (auto& c : *list)
                    countItems(*c);
        if (!p.array)
            return;
        std::int32_t items = 0;
        for (const std::string& name : p.childNames()) {
            auto* list = p.childrenNamed(name);
            if (!list || list->size() <= 1)
                continue;
            list->erase(list->begin());  // the item template
            items += static_cast<std::int32_t>(list->size());
        }
        // An encoded array counts the items of its member array.
        if (items == 0) {
            FieldRecord& holder = itemHolder(p);
            if (&holder != &p)
                items = holder.maxOccurs;
        }
        p.maxOccurs = items;
    }

    void hoistPlaceholders(FieldRecord& p) {
        for (const std::string& name : p.childNames())
            if (auto* list = p.childrenNamed(name))
                for (auto& c : *list)
                    hoistPlaceholders(*c);
        auto& names = p.childNamesMutable();
        auto& children = p.childrenMutable();
        for (std::size_t i = 0; i < names.size(); ++i) {
            auto it = children.find(names[i]);
            if (it == children.end() || it->second.empty())
                continue;
            FieldRecord* x = it->second.front().get();
            if (x->dataType != "<dynamic>" || !x->hasChildren())
                continue;
            auto& xChildren = x->childrenMutable();
            auto first = xChildren.begin();  // the first name in sorted order
            std::string k = first->first;
            std::vector<std::unique_ptr<FieldRecord>> hoisted = std::move(first->second);
            for (auto& h : hoisted)
                h->parent = &p;
            children.erase(it);  // destroys x, whose list of k was moved out
            names[i] = k;
            children[k] = std::move(hoisted);
        }
    }

    bool prune(FieldRecord& p) {
        auto& names = p.childNamesMutable();
        auto& children = p.childrenMutable();
        bool kept = false;
        for (std::size_t i = 0; i < names.size();) {
            auto it = children.find(names[i]);
            bool any = false;
            if (it != children.end())
                for (auto& c : it->second)
                    any = prune(*c) || any;
            if (!any) {
                if (it != children.end())
                    children.erase(it);
                names.erase(names.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            kept = true;
            ++i;
        }
        return kept || p.matched;
    }

    const ResponseMapping& m_;
    const nv::soap::Reader& reader_;
    Expander expander_;
    std::vector<std::unique_ptr<FieldRecord>> roots_;
    std::unordered_map<std::string, std::vector<FieldRecord*>> referrers_;
    std::unordered_map<std::string, Node> targets_;
    std::unordered_set<std::string> referenced_;
    std::unordered_map<const FieldRecord*, std::string> resolvedFrom_;
    std::deque<FieldRecord*> pending_;
    std::size_t records_ = 0;
    bool overLimit_ = false;
    std::string limitMessage_;
};

}  // namespace

bool mapResponseTree(const ResponseMapping& mapping, const nv::soap::Reader& reader,
                     std::vector<std::unique_ptr<FieldRecord>>& roots, std::string& error) {
    roots.clear();
    Mapper mapper(mapping, reader);
    return mapper.run(roots, error);
}

bool mapResponse(const ResponseMapping& mapping, const nv::soap::Reader& reader,
                 std::vector<FlatRecord>& out, std::string& error) {
    out.clear();
    std::vector<std::unique_ptr<FieldRecord>> roots;
    if (!mapResponseTree(mapping, reader, roots, error))
        return false;
    out = flattenAll(std::move(roots), 1);
    return true;
}

}  // namespace wscore
