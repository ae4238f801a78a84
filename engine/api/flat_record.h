// The engine's own form of a parameter record, and its conversion to and from the exported
// ParameterRecord blocks and string blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/api/wscore.h"

namespace wscore {

// One field of a flattened message structure, owning its strings.
struct FlatRecord {
    std::int32_t level = 0;
    std::int32_t arrayMin = 0;
    std::int32_t arrayMax = 0;
    bool isArray = false;
    bool isComplexType = false;
    bool isAttribute = false;
    bool isSimpleDataField = false;
    bool hasEnumValues = false;
    bool isHeader = false;
    bool isRequired = true;
    std::u16string info;
    std::u16string fieldName;
    std::u16string dataType;
    std::u16string theData;
    std::u16string description;
    std::u16string prefix;
};

// Hands records out as one task-allocated block of ParameterRecords whose strings are each
// task-allocated (an empty string is allocated too, never null). The caller owns the result.
// An empty list gives *array = nullptr and *count = 0. Throws std::bad_alloc after freeing
// what it allocated when memory runs out.
void handOutRecords(const std::vector<FlatRecord>& records, ParameterRecord** array,
                    std::int32_t* count);

// Hands strings out as one task-allocated block of NUL-terminated strings; *count is the
// number of strings. Empty list: null block, count 0.
void handOutStrings(const std::vector<std::u16string>& strings, char16_t** block,
                    std::int32_t* count);

// Copies records passed in by a caller (who keeps them). Null strings read as empty; any
// non-zero boolean is true; `description` is not read.
std::vector<FlatRecord> copyInputRecords(const ParameterRecord* records, std::int32_t count);

// Frees a block handed out by handOutRecords (as an outside caller would).
void freeRecordBlock(ParameterRecord* array, std::int32_t count);

}  // namespace wscore
