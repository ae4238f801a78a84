// Calls the engine's exports the way an outside caller does and turns results into C++ values,
// freeing everything handed out with the exported allocators.
#pragma once

#include <string>
#include <vector>

#include "engine/api/wscore.h"
#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

namespace wscore::test {

struct Outcome {
    int32_t result = 0;
    std::string error;  // empty when the export left pErrMsg alone
};

inline std::string takeBstr(BSTR& b) {
    std::string s =
        b ? nv::text::utf16ToUtf8(std::u16string_view(b, SysStringLen(b))) : std::string();
    SysFreeString(b);
    b = nullptr;
    return s;
}

inline std::vector<std::string> takeBlock(char16_t* block, int32_t count) {
    std::vector<std::string> out;
    const char16_t* p = block;
    for (int32_t i = 0; i < count; ++i) {
        std::u16string_view s(p);
        out.push_back(nv::text::utf16ToUtf8(s));
        p += s.size() + 1;
    }
    CoTaskMemFree(block);
    return out;
}

struct Record {
    int level = 0;
    std::string fieldName, dataType, prefix, info, theData, description;
    bool complex = false, array = false, attribute = false, required = false, header = false;
    int arrayMax = 0;
};

inline std::vector<Record> takeRecords(ParameterRecord* records, int32_t count) {
    std::vector<Record> out;
    auto u8 = [](const char16_t* s) { return nv::text::utf16ToUtf8(nv::text::view(s)); };
    for (int32_t i = 0; i < count; ++i) {
        ParameterRecord& r = records[i];
        Record x;
        x.level = r.level;
        x.fieldName = u8(r.fieldName);
        x.dataType = u8(r.dataType);
        x.prefix = u8(r.prefix);
        x.info = u8(r.info);
        x.theData = u8(r.theData);
        x.description = u8(r.description);
        x.complex = r.isComplexType;
        x.array = r.isArray;
        x.attribute = r.isAttribute;
        x.required = r.isRequired;
        x.header = r.isHeader;
        x.arrayMax = r.arrayMax;
        out.push_back(x);
        for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
            CoTaskMemFree(s);
    }
    CoTaskMemFree(records);
    return out;
}

struct ConnectOptions {
    int32_t connectTimeout = 0;
    int32_t responseTimeout = 0;
    std::u16string cacheName;
    bool useCache = false;
    bool probeOnly = false;
    const char16_t* httpUser = nullptr;
    const char16_t* httpPassword = nullptr;
};

// One connection of the engine, released at destruction.
class EngineConnection {
  public:
    EngineConnection() = default;
    ~EngineConnection() { ReleaseConnection(id_); }
    EngineConnection(const EngineConnection&) = delete;
    EngineConnection& operator=(const EngineConnection&) = delete;

    Outcome connect(const std::string& url, const ConnectOptions& o = {}) {
        std::u16string location = nv::text::utf8ToUtf16(url);
        char16_t* block = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        Outcome out;
        out.result = WSDLConnect(&id_, o.connectTimeout, o.responseTimeout, location.c_str(),
                                 &block, &count, &err, o.cacheName.c_str(), o.useCache, 0,
                                 o.probeOnly, o.httpUser, o.httpPassword);
        out.error = takeBstr(err);
        services = takeBlock(block, count);
        return out;
    }

    Outcome operations(const std::string& service, std::vector<std::string>* names = nullptr) {
        std::u16string s = nv::text::utf8ToUtf16(service);
        char16_t* block = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        Outcome out;
        out.result = GetOperations(id_, s.c_str(), &block, &count, &err);
        out.error = takeBstr(err);
        std::vector<std::string> got = takeBlock(block, count);
        if (names)
            *names = std::move(got);
        return out;
    }

    Outcome structure(const std::string& operation, bool input, std::vector<Record>& records) {
        std::u16string op = nv::text::utf8ToUtf16(operation);
        ParameterRecord* array = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        Outcome out;
        out.result = input ? GetInputStructure(id_, op.c_str(), &array, &count, &err)
                           : GetOutputStructure(id_, op.c_str(), &array, &count, &err);
        out.error = takeBstr(err);
        records = takeRecords(array, count);
        return out;
    }

    // The records as they came from a structure, with values filled in, go back as input.
    struct InputBlock {
        std::vector<std::u16string> strings;
        std::vector<ParameterRecord> records;
        explicit InputBlock(const std::vector<Record>& in) {
            strings.reserve(in.size() * 6);
            for (const Record& r : in) {
                ParameterRecord p{};
                p.level = r.level;
                p.arrayMax = r.arrayMax;
                p.isArray = r.array ? -1 : 0;  // as an Automation client writes true
                p.isComplexType = r.complex;
                p.isAttribute = r.attribute;
                p.isHeader = r.header;
                p.isRequired = r.required;
                auto keep = [&](const std::string& v) {
                    strings.push_back(nv::text::utf8ToUtf16(v));
                    return strings.back().data();
                };
                p.info = keep(r.info);
                p.fieldName = keep(r.fieldName);
                p.dataType = keep(r.dataType);
                p.theData = keep(r.theData);
                p.prefix = keep(r.prefix);
                p.description = nullptr;  // not read on input
                records.push_back(p);
            }
        }
    };

    Outcome invoke(const std::string& operation, const std::vector<Record>& input,
                   std::vector<Record>& output) {
        std::u16string op = nv::text::utf8ToUtf16(operation);
        InputBlock block(input);
        ParameterRecord* array = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        Outcome out;
        out.result =
            InvokeOperation(id_, op.c_str(), block.records.data(),
                            static_cast<int32_t>(block.records.size()), &array, &count, &err);
        out.error = takeBstr(err);
        output = takeRecords(array, count);
        return out;
    }

    Outcome requestText(const std::string& operation, const std::vector<Record>& input,
                        std::string& text) {
        std::u16string op = nv::text::utf8ToUtf16(operation);
        InputBlock block(input);
        BSTR message = nullptr;
        BSTR err = nullptr;
        Outcome out;
        out.result =
            GetInputSoapMessage(id_, op.c_str(), block.records.data(),
                                static_cast<int32_t>(block.records.size()), &message, &err);
        out.error = takeBstr(err);
        text = takeBstr(message);
        return out;
    }

    Outcome responseText(const std::string& operation, std::string& text) {
        std::u16string op = nv::text::utf8ToUtf16(operation);
        BSTR message = nullptr;
        BSTR err = nullptr;
        Outcome out;
        out.result = GetOutputSoapMessage(id_, op.c_str(), &message, &err);
        out.error = takeBstr(err);
        text = takeBstr(message);
        return out;
    }

    int32_t id() const { return id_; }
    std::vector<std::string> services;

  private:
    int32_t id_ = 0;
};

}  // namespace wscore::test
