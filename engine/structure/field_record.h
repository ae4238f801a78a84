// The tree of fields built for one message structure (or one response mapped onto it), and
// its flattening into depth-annotated records.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/api/flat_record.h"
#include "engine/schema/schema_node.h"

namespace wscore {

class FieldRecord {
  public:
    FieldRecord() = default;
    FieldRecord(const FieldRecord&) = delete;
    FieldRecord& operator=(const FieldRecord&) = delete;

    std::int32_t minOccurs = 0;
    std::int32_t maxOccurs = 0;
    bool array = false;
    bool complex = false;
    bool attribute = false;
    bool simpleContent = false;
    std::string info;
    std::string fieldName;
    std::string dataType;
    std::optional<std::string> value;
    std::string description;
    std::string prefix;
    bool enumerated = false;
    bool header = false;
    bool abstract = false;
    std::string baseTypeName;
    bool recursionStop = false;
    bool required = true;
    bool matched = false;  // a response element or attribute was mapped onto it
    // From the declaration: whether instance documents qualify the element's name, and with
    // which namespace.
    bool qualified = false;
    std::string namespaceUri;
    FieldRecord* parent = nullptr;

    // Child names in hand-out order; each name's records (one from the schema, more when a
    // response repeats an item).
    const std::vector<std::string>& childNames() const { return childNames_; }
    const std::vector<std::unique_ptr<FieldRecord>>* childrenNamed(std::string_view n) const;
    std::vector<std::unique_ptr<FieldRecord>>* childrenNamed(std::string_view n);
    bool hasChildren() const { return !childNames_.empty(); }

    // Adds `child` as the only record of `name`, attributes before elements; a name already
    // present keeps its record (the new one is dropped). Returns the stored record or null.
    FieldRecord* addUniqueChild(const std::string& name, std::unique_ptr<FieldRecord> child);
    // Appends `child` to the records of `name` (adding the name when new).
    FieldRecord* appendChild(const std::string& name, std::unique_ptr<FieldRecord> child);
    // Deep copy of the record and its subtree; the copy has no parent.
    std::unique_ptr<FieldRecord> deepCopy() const;

    // Fills name, prefix, type and flags from a schema node.
    void fillFrom(const SchemaNode& node);

    // Direct access for response mapping's post-processing.
    std::vector<std::string>& childNamesMutable() { return childNames_; }
    std::map<std::string, std::vector<std::unique_ptr<FieldRecord>>, std::less<>>&
    childrenMutable() {
        return children_;
    }
    void clearChildren();

  private:
    std::vector<std::string> childNames_;
    std::map<std::string, std::vector<std::unique_ptr<FieldRecord>>, std::less<>> children_;
};

// Appends `root` and its subtree (each record followed by its children, in child-name order)
// to `out`, the root at `level`.
void flatten(const FieldRecord& root, std::int32_t level, std::vector<FlatRecord>& out);

// As flatten, consuming the tree: each record is freed once it is written, so the tree and its
// records are not held whole at the same time.
void flattenReleasing(std::unique_ptr<FieldRecord> root, std::int32_t level,
                      std::vector<FlatRecord>& out);

// The number of records `flatten` appends for `root`: the record and all below it.
std::size_t recordCount(const FieldRecord& root);

}  // namespace wscore
