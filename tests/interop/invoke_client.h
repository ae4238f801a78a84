// Filling input records and invoking operations through the engine's exports, as a caller does:
// the input structure is kept with every flag (the request builder reads them all), edited by
// path, and passed back to InvokeOperation / GetInputSoapMessage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/api/wscore.h"
#include "tests/engine/support/engine_client.h"

namespace wscore::test {

// One input record, owned: every field of ParameterRecord, strings as UTF-8.
struct InputField {
    int32_t level = 0;
    int32_t arrayMin = 0;
    int32_t arrayMax = 0;
    int32_t isArray = 0;
    int32_t isComplexType = 0;
    int32_t isAttribute = 0;
    int32_t isSimpleDataField = 0;
    int32_t hasEnumValues = 0;
    int32_t isHeader = 0;
    int32_t isRequired = 0;
    std::string info, fieldName, dataType, theData, description, prefix;
};

// The input records of an operation, with the editing a caller does before sending them.
class InputRecords {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::vector<InputField> fields;

    // Index of the record a path names, or npos. A path is field names joined by '/': the
    // first name matches the first record so named, each next one a child of the previous.
    std::size_t find(std::string_view path) const;
    // Indexes of the children (level + 1) of the record at `parent`.
    std::vector<std::size_t> children(std::size_t parent) const;
    // One past the last record of the subtree that starts at `index`.
    std::size_t subtreeEnd(std::size_t index) const;

    // False when the path names no record.
    bool set(std::string_view path, std::string_view value);
    // Drops the record and everything under it, as a caller omits an optional field.
    bool remove(std::string_view path);
    // Replaces the template item under the array record `arrayPath` with one copy per value
    // (no items for no values): the item is the array's only child and a simple field.
    bool fillItems(std::string_view arrayPath, const std::vector<std::string>& values);
    // Replaces the template item under the array record `arrayPath` (the array's only child,
    // with everything under it) with `count` copies, as the tree grows an array; returns the
    // index of each copy. Empty when the path names no such array.
    std::vector<std::size_t> growItems(std::string_view arrayPath, std::size_t count);
};

struct Invocation {
    int32_t result = 0;
    std::string error;
    std::vector<Record> output;  // as handed out, freed already
};

// GetInputStructure with every flag kept.
Outcome inputRecords(const EngineConnection& engine, const std::string& operation,
                     InputRecords& records);
Invocation invoke(const EngineConnection& engine, const std::string& operation,
                  const InputRecords& input);
Outcome inputSoapMessage(const EngineConnection& engine, const std::string& operation,
                         const InputRecords& input, std::string& text);
Outcome outputSoapMessage(const EngineConnection& engine, const std::string& operation,
                          std::string& text);

// GetTargetURL / GetSoapAction; -1 with the text, 0 when the engine has none.
Outcome targetUrl(const EngineConnection& engine, const std::string& operation, std::string& url);
Outcome soapAction(const EngineConnection& engine, const std::string& operation,
                   std::string& action);

// "level name=value" per simple field, "level name" for records (and arrays) without a value.
std::vector<std::string> describeOutput(const std::vector<Record>& records);

}  // namespace wscore::test
