#include "tests/interop/invoke_client.h"

#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace wscore::test {

namespace {

std::string u8(const char16_t* s) {
    return nv::text::utf16ToUtf8(nv::text::view(s));
}

// Records to pass in, pointing into strings this object owns; valid while it lives.
class PassedRecords {
  public:
    explicit PassedRecords(const InputRecords& input) {
        strings_.reserve(input.fields.size() * 6);
        for (const InputField& f : input.fields) {
            ParameterRecord r{};
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
            r.info = own(f.info);
            r.fieldName = own(f.fieldName);
            r.dataType = own(f.dataType);
            r.theData = own(f.theData);
            r.description = own(f.description);
            r.prefix = own(f.prefix);
            records_.push_back(r);
        }
    }

    const ParameterRecord* data() const { return records_.empty() ? nullptr : records_.data(); }
    int32_t count() const { return static_cast<int32_t>(records_.size()); }

  private:
    char16_t* own(const std::string& s) {
        strings_.push_back(nv::text::utf8ToUtf16(s));
        return strings_.back().data();
    }

    std::vector<std::u16string> strings_;  // reserved up front: pointers into it stay valid
    std::vector<ParameterRecord> records_;
};

// Splits "a/b/c" into its names.
std::vector<std::string_view> split(std::string_view path) {
    std::vector<std::string_view> names;
    while (!path.empty()) {
        std::size_t slash = path.find('/');
        names.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return names;
}

}  // namespace

std::size_t InputRecords::find(std::string_view path) const {
    std::vector<std::string_view> names = split(path);
    if (names.empty())
        return npos;
    std::size_t at = npos;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].fieldName == names.front()) {
            at = i;
            break;
        }
    }
    for (std::size_t n = 1; n < names.size() && at != npos; ++n) {
        std::size_t next = npos;
        for (std::size_t child : children(at)) {
            if (fields[child].fieldName == names[n]) {
                next = child;
                break;
            }
        }
        at = next;
    }
    return at;
}

std::vector<std::size_t> InputRecords::children(std::size_t parent) const {
    std::vector<std::size_t> out;
    std::size_t end = subtreeEnd(parent);
    for (std::size_t i = parent + 1; i < end; ++i)
        if (fields[i].level == fields[parent].level + 1)
            out.push_back(i);
    return out;
}

std::size_t InputRecords::subtreeEnd(std::size_t index) const {
    std::size_t i = index + 1;
    while (i < fields.size() && fields[i].level > fields[index].level)
        ++i;
    return i;
}

bool InputRecords::set(std::string_view path, std::string_view value) {
    std::size_t at = find(path);
    if (at == npos)
        return false;
    fields[at].theData = std::string(value);
    return true;
}

bool InputRecords::remove(std::string_view path) {
    std::size_t at = find(path);
    if (at == npos)
        return false;
    auto first = fields.begin() + static_cast<std::ptrdiff_t>(at);
    fields.erase(first, fields.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(at)));
    return true;
}

bool InputRecords::fillItems(std::string_view arrayPath, const std::vector<std::string>& values) {
    std::size_t array = find(arrayPath);
    if (array == npos)
        return false;
    std::vector<std::size_t> items = children(array);
    if (items.size() != 1 || subtreeEnd(items.front()) != items.front() + 1)
        return false;
    InputField item = fields[items.front()];
    std::vector<InputField> copies;
    for (const std::string& value : values) {
        copies.push_back(item);
        copies.back().theData = value;
    }
    auto at = fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(items.front()));
    fields.insert(at, copies.begin(), copies.end());
    return true;
}

std::vector<std::size_t> InputRecords::growItems(std::string_view arrayPath, std::size_t count) {
    std::size_t array = find(arrayPath);
    if (array == npos)
        return {};
    std::vector<std::size_t> items = children(array);
    if (items.size() != 1)
        return {};
    std::size_t first = items.front();
    std::size_t end = subtreeEnd(first);
    std::vector<InputField> item(fields.begin() + static_cast<std::ptrdiff_t>(first),
                                 fields.begin() + static_cast<std::ptrdiff_t>(end));
    fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(first),
                 fields.begin() + static_cast<std::ptrdiff_t>(end));
    std::vector<std::size_t> at;
    for (std::size_t n = 0; n < count; ++n) {
        at.push_back(first + n * item.size());
        fields.insert(fields.begin() + static_cast<std::ptrdiff_t>(at.back()), item.begin(),
                      item.end());
    }
    return at;
}

Outcome inputRecords(const EngineConnection& engine, const std::string& operation,
                     InputRecords& records) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    ParameterRecord* array = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    Outcome out;
    out.result = GetInputStructure(engine.id(), op.c_str(), &array, &count, &err);
    out.error = takeBstr(err);
    records.fields.clear();
    // The block and every string in it are ours: copied, then freed with the task allocator.
    for (int32_t i = 0; i < count; ++i) {
        ParameterRecord& r = array[i];
        InputField f;
        f.level = r.level;
        f.arrayMin = r.arrayMin;
        f.arrayMax = r.arrayMax;
        f.isArray = r.isArray;
        f.isComplexType = r.isComplexType;
        f.isAttribute = r.isAttribute;
        f.isSimpleDataField = r.isSimpleDataField;
        f.hasEnumValues = r.hasEnumValues;
        f.isHeader = r.isHeader;
        f.isRequired = r.isRequired;
        f.info = u8(r.info);
        f.fieldName = u8(r.fieldName);
        f.dataType = u8(r.dataType);
        f.theData = u8(r.theData);
        f.description = u8(r.description);
        f.prefix = u8(r.prefix);
        records.fields.push_back(std::move(f));
        for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
            CoTaskMemFree(s);
    }
    CoTaskMemFree(array);
    return out;
}

Invocation invoke(const EngineConnection& engine, const std::string& operation,
                  const InputRecords& input) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    PassedRecords passed(input);
    ParameterRecord* array = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    Invocation out;
    out.result = InvokeOperation(engine.id(), op.c_str(), passed.data(), passed.count(), &array,
                                 &count, &err);
    out.error = takeBstr(err);
    out.output = takeRecords(array, count);
    return out;
}

Outcome inputSoapMessage(const EngineConnection& engine, const std::string& operation,
                         const InputRecords& input, std::string& text) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    PassedRecords passed(input);
    BSTR message = nullptr;
    BSTR err = nullptr;
    Outcome out;
    out.result =
        GetInputSoapMessage(engine.id(), op.c_str(), passed.data(), passed.count(), &message, &err);
    out.error = takeBstr(err);
    text = takeBstr(message);
    return out;
}

Outcome outputSoapMessage(const EngineConnection& engine, const std::string& operation,
                          std::string& text) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    BSTR message = nullptr;
    BSTR err = nullptr;
    Outcome out;
    out.result = GetOutputSoapMessage(engine.id(), op.c_str(), &message, &err);
    out.error = takeBstr(err);
    text = takeBstr(message);
    return out;
}

Outcome targetUrl(const EngineConnection& engine, const std::string& operation, std::string& url) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    BSTR value = nullptr;
    BSTR err = nullptr;
    Outcome out;
    out.result = GetTargetURL(engine.id(), op.c_str(), &value, &err);
    out.error = takeBstr(err);
    url = takeBstr(value);
    return out;
}

Outcome soapAction(const EngineConnection& engine, const std::string& operation,
                   std::string& action) {
    std::u16string op = nv::text::utf8ToUtf16(operation);
    BSTR value = nullptr;
    BSTR err = nullptr;
    Outcome out;
    out.result = GetSoapAction(engine.id(), op.c_str(), &value, &err);
    out.error = takeBstr(err);
    action = takeBstr(value);
    return out;
}

std::vector<std::string> describeOutput(const std::vector<Record>& records) {
    std::vector<std::string> out;
    for (const Record& r : records) {
        std::string line = std::to_string(r.level) + " " + r.fieldName;
        if ((!r.complex && !r.array) || !r.theData.empty())
            line += "=" + r.theData;
        out.push_back(line);
    }
    return out;
}

}  // namespace wscore::test
