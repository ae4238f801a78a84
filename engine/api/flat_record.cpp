#include "engine/api/flat_record.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace wscore {

// The exported layout: ten 32-bit fields, then six native pointers, no gaps.
static_assert(offsetof(ParameterRecord, level) == 0);
static_assert(offsetof(ParameterRecord, arrayMin) == 4);
static_assert(offsetof(ParameterRecord, arrayMax) == 8);
static_assert(offsetof(ParameterRecord, isArray) == 12);
static_assert(offsetof(ParameterRecord, isComplexType) == 16);
static_assert(offsetof(ParameterRecord, isAttribute) == 20);
static_assert(offsetof(ParameterRecord, isSimpleDataField) == 24);
static_assert(offsetof(ParameterRecord, hasEnumValues) == 28);
static_assert(offsetof(ParameterRecord, isHeader) == 32);
static_assert(offsetof(ParameterRecord, isRequired) == 36);
static_assert(offsetof(ParameterRecord, info) == 40);
static_assert(offsetof(ParameterRecord, fieldName) == 40 + sizeof(void*));
static_assert(offsetof(ParameterRecord, dataType) == 40 + 2 * sizeof(void*));
static_assert(offsetof(ParameterRecord, theData) == 40 + 3 * sizeof(void*));
static_assert(offsetof(ParameterRecord, description) == 40 + 4 * sizeof(void*));
static_assert(offsetof(ParameterRecord, prefix) == 40 + 5 * sizeof(void*));
static_assert(sizeof(void*) != 8 || sizeof(ParameterRecord) == 88);

namespace {

char16_t* taskString(const std::u16string& s) {
    auto* p = static_cast<char16_t*>(CoTaskMemAlloc((s.size() + 1) * sizeof(char16_t)));
    if (!p)
        return nullptr;
    std::memcpy(p, s.data(), s.size() * sizeof(char16_t));
    p[s.size()] = u'\0';
    return p;
}

void freeRecordStrings(ParameterRecord& r) {
    for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
        CoTaskMemFree(s);
}

std::u16string readString(const char16_t* s) {
    return std::u16string(nv::text::view(s));
}

}  // namespace

void handOutRecords(const std::vector<FlatRecord>& records, ParameterRecord** array,
                    std::int32_t* count) {
    *count = static_cast<std::int32_t>(records.size());
    if (records.empty()) {
        *array = nullptr;
        return;
    }
    auto* block =
        static_cast<ParameterRecord*>(CoTaskMemAlloc(records.size() * sizeof(ParameterRecord)));
    if (!block)
        throw std::bad_alloc();
    std::memset(block, 0, records.size() * sizeof(ParameterRecord));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const FlatRecord& f = records[i];
        ParameterRecord& r = block[i];
        r.level = f.level;
        r.arrayMin = f.arrayMin;
        r.arrayMax = f.arrayMax;
        r.isArray = f.isArray;
        r.isComplexType = f.isComplexType;
        r.isAttribute = f.isAttribute;
        r.isSimpleDataField = f.isSimpleDataField;
        r.hasEnumValues = f.hasEnumValues;
        r.isHeader = f.isHeader;
        r.isRequired = f.isRequired;
        r.info = taskString(f.info);
        r.fieldName = taskString(f.fieldName);
        r.dataType = taskString(f.dataType);
        r.theData = taskString(f.theData);
        r.description = taskString(f.description);
        r.prefix = taskString(f.prefix);
        if (!r.info || !r.fieldName || !r.dataType || !r.theData || !r.description || !r.prefix) {
            freeRecordBlock(block, static_cast<std::int32_t>(i + 1));
            *count = 0;
            throw std::bad_alloc();
        }
    }
    *array = block;
}

void handOutStrings(const std::vector<std::u16string>& strings, char16_t** block,
                    std::int32_t* count) {
    *count = static_cast<std::int32_t>(strings.size());
    if (strings.empty()) {
        *block = nullptr;
        return;
    }
    std::size_t units = 0;
    for (const auto& s : strings)
        units += s.size() + 1;
    auto* out = static_cast<char16_t*>(CoTaskMemAlloc(units * sizeof(char16_t)));
    if (!out) {
        *count = 0;
        throw std::bad_alloc();
    }
    char16_t* p = out;
    for (const auto& s : strings) {
        std::memcpy(p, s.data(), s.size() * sizeof(char16_t));
        p += s.size();
        *p++ = u'\0';
    }
    *block = out;
}

std::vector<FlatRecord> copyInputRecords(const ParameterRecord* records, std::int32_t count) {
    std::vector<FlatRecord> out;
    if (!records || count <= 0)
        return out;
    out.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const ParameterRecord& r = records[i];
        FlatRecord f;
        f.level = r.level;
        f.arrayMin = r.arrayMin;
        f.arrayMax = r.arrayMax;
        f.isArray = r.isArray != 0;
        f.isComplexType = r.isComplexType != 0;
        f.isAttribute = r.isAttribute != 0;
        f.isSimpleDataField = r.isSimpleDataField != 0;
        f.hasEnumValues = r.hasEnumValues != 0;
        f.isHeader = r.isHeader != 0;
        f.isRequired = r.isRequired != 0;
        f.info = readString(r.info);
        f.fieldName = readString(r.fieldName);
        f.dataType = readString(r.dataType);
        f.theData = readString(r.theData);
        f.prefix = readString(r.prefix);
        out.push_back(std::move(f));
    }
    return out;
}

void freeRecordBlock(ParameterRecord* array, std::int32_t count) {
    if (!array)
        return;
    for (std::int32_t i = 0; i < count; ++i)
        freeRecordStrings(array[i]);
    CoTaskMemFree(array);
}

}  // namespace wscore
