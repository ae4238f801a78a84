#include "engine/soap/encoded_array_layout.h"

#include <algorithm>

#include "engine/schema/encoded_arrays.h"
#include "engine/soap/array_positions.h"
#include "platform/text/unicode.h"

namespace wscore {

namespace {

using Role = EncodedArrayLayout::Role;
using nv::text::utf16ToUtf8;

struct Open {
    std::int32_t level;
    std::size_t index;
};

struct Accessor {
    std::string itemType;    // as arrayType states it, before the size
    std::string memberName;  // the member array's name; empty when items stand directly under it
    std::int32_t rank = 1;
    long long items = 0;
    bool memberSeen = false;
};

// A repeated element of an encoded array type: its records are the repetition, each item an
// array of its own under the element's name, so the record itself is no array element.
bool repeatsArrays(const std::vector<FlatRecord>& records, std::size_t k) {
    const FlatRecord& r = records[k];
    for (std::size_t c = k + 1; c < records.size() && records[c].level > r.level; ++c) {
        if (records[c].level != r.level + 1 || records[c].isAttribute)
            continue;
        return records[c].isArray && records[c].fieldName == r.fieldName &&
               records[c].dataType == r.dataType;
    }
    return false;
}

std::string shapeText(const std::vector<long long>& dims) {
    std::string text;
    for (std::size_t d = 0; d < dims.size(); ++d)
        text += (d ? "," : "") + std::to_string(dims[d]);
    return text;
}

// The size written for `items` item elements: the record's shape when it states one. A tree
// that appends items appends rows, so the first dimension follows the item count as long as
// the items fill whole rows.
bool sizeOf(const Accessor& a, const FlatRecord& r, std::string& size, std::string& error) {
    std::vector<long long> dims =
        a.rank > 1 ? parseShape(utf16ToUtf8(r.info)) : std::vector<long long>();
    if (dims.empty()) {
        size = std::to_string(a.items);
        return true;
    }
    std::optional<long long> rowPlaces =
        placeCount(std::vector<long long>(dims.begin() + 1, dims.end()), kMaxArrayDimension);
    long long row = rowPlaces.value_or(-1);
    if (row < 0 || (row == 0 ? a.items != 0 : a.items % row != 0)) {
        error = "the array '" + utf16ToUtf8(r.fieldName) + "' holds " + std::to_string(a.items) +
                " items, which do not fill its shape " + utf16ToUtf8(r.info);
        return false;
    }
    if (row != 0)
        dims[0] = a.items / row;
    size = shapeText(dims);
    return true;
}

}  // namespace

bool layOutEncodedArrays(const TypesTable& types, const std::vector<FlatRecord>& records,
                         EncodedArrayLayout& out, std::string& error) {
    out.roles.assign(records.size(), Role::Plain);
    out.arrayTypes.assign(records.size(), std::string());
    std::vector<Accessor> accessors(records.size());
    std::vector<std::size_t> ownerOf(records.size(), records.size());  // member array -> accessor
    std::vector<Open> open;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const FlatRecord& r = records[k];
        while (!open.empty() && open.back().level >= r.level)
            open.pop_back();
        constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        std::size_t parent =
            open.empty() || open.back().level != r.level - 1 ? kNone : open.back().index;
        open.push_back({r.level, k});
        if (parent != kNone && !r.isAttribute) {
            std::size_t p = parent;
            if (out.roles[p] == Role::Accessor && !accessors[p].memberName.empty() && r.isArray &&
                utf16ToUtf8(r.fieldName) == accessors[p].memberName && !accessors[p].memberSeen) {
                out.roles[k] = Role::MemberArray;
                ownerOf[k] = p;
                accessors[p].memberSeen = true;
                continue;
            }
            if (out.roles[p] == Role::MemberArray)
                ++accessors[ownerOf[p]].items;
            else if (out.roles[p] == Role::Accessor)
                ++accessors[p].items;
        }
        if (!r.isArray)
            continue;
        if (r.isComplexType && !repeatsArrays(records, k)) {
            if (const SchemaNode* t = encodedArrayType(types, utf16ToUtf8(r.dataType))) {
                out.roles[k] = Role::Accessor;
                accessors[k].itemType = arrayItemType(types, *t);
                accessors[k].memberName = itemMemberName(*t);
                accessors[k].rank = t->rank;
                continue;
            }
        }
        // An item of an array of arrays declared by arrayType alone ("xsd:int[][]") is an
        // array of its own, typed by what its outer array's item type says.
        if (parent != kNone && out.roles[parent] == Role::Accessor &&
            accessors[parent].memberName.empty()) {
            const std::string& outer = accessors[parent].itemType;
            std::size_t bracket = outer.rfind('[');
            if (bracket != std::string::npos && outer.back() == ']') {
                out.roles[k] = Role::Accessor;
                accessors[k].itemType = outer.substr(0, bracket);
                accessors[k].rank = static_cast<std::int32_t>(
                    std::count(outer.begin() + static_cast<std::ptrdiff_t>(bracket), outer.end(),
                               ',') +
                    1);
            }
        }
    }
    for (std::size_t k = 0; k < records.size(); ++k) {
        if (out.roles[k] != Role::Accessor)
            continue;
        std::string size;
        if (!sizeOf(accessors[k], records[k], size, error))
            return false;
        out.arrayTypes[k] = accessors[k].itemType + "[" + size + "]";
    }
    return true;
}

}  // namespace wscore
