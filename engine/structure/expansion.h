// Expanding a field record with the members of its schema type, recursively, into the tree
// that message structures are handed out from (and that responses are mapped onto).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/schema/schema_node.h"
#include "engine/structure/field_record.h"

namespace wscore {

enum : int { kDirectionOutput = 0, kDirectionInput = -1, kDirectionBoth = 1 };

// Records nested deeper than this are handed out without their members, as a recursion stop
// is; and once one expansion has made kMaxRecordsPerExpansion records, the members still being
// listed are added but not expanded further. Schemas can describe trees far larger than anyone
// could fill in; a stopped record is expanded on demand like any recursion stop.
inline constexpr int kMaxRecordDepth = 100;
inline constexpr std::size_t kMaxRecordsPerExpansion = 100000;

class Expander {
  public:
    Expander(const TypesTable& types, const DerivedTypeRegistry& derived, int direction)
        : types_(types), derived_(derived), direction_(direction) {}

    // Adds the members of type node `q` (and one level of its record's base type) to `r`.
    // A non-empty `stopType` replaces the ancestor check of the recursion stop.
    void expand(FieldRecord& r, const SchemaNode& q, std::string_view stopType = {});

    // Treats `c`, just filled from declaration `v`, as the member loop treats a member: array
    // items, enumeration values, or the members of its type.
    void expandAsMember(FieldRecord& c, const SchemaNode& v);

    // "T|D1|D2" (T left out when abstract) for a type with derived types; empty otherwise.
    std::string derivedTypeList(const std::string& typeName, bool isAbstract) const;
    // Copies enumeration values into `r` (input direction only).
    void copyEnumeration(FieldRecord& r, const SchemaNode& enumerated) const;

    std::size_t recordsCreated() const { return created_; }

  private:
    void memberLoop(FieldRecord& r, const SchemaNode& q, std::string_view stopType, int depth);
    void expandMember(FieldRecord& c, const SchemaNode& v, std::string_view stopType, int depth);
    void expandAt(FieldRecord& r, const SchemaNode& q, std::string_view stopType, int depth);
    void arrayItems(FieldRecord& a, const std::string& name, const std::string& typeName,
                    int dimensions, const SchemaNode* s, std::string_view stopType, int depth);
    void encodedArrayItem(FieldRecord& a, const std::string& itemName,
                          const std::string& namePrefix, const std::string& typeName,
                          const SchemaNode& arrayType, std::string_view stopType, int depth);
    bool budgetLeft() const { return created_ < kMaxRecordsPerExpansion; }
    std::unique_ptr<FieldRecord> newRecord();

    const TypesTable& types_;
    const DerivedTypeRegistry& derived_;
    int direction_;
    std::size_t created_ = 0;
};

bool hasMemberNodes(const SchemaNode& node);

}  // namespace wscore
