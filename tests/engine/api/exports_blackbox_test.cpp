// The engine as an outside caller sees it: loaded with dlopen, called through the documented
// signatures, results freed with the exported SysFreeString / CoTaskMemFree.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "engine/api/wscore.h"
#include "tests/support/registry_sandbox.h"

namespace {

struct Engine {
    void* handle = nullptr;
#define NV_EXPORT(name) decltype(&::name) name = nullptr;
    NV_EXPORT(DecryptPassword)
    NV_EXPORT(EncryptPassword)
    NV_EXPORT(GetInputSoapMessage)
    NV_EXPORT(GetInputStructure)
    NV_EXPORT(GetInputStructureOfAType)
    NV_EXPORT(GetOperations)
    NV_EXPORT(GetOutputSoapMessage)
    NV_EXPORT(GetOutputStructure)
    NV_EXPORT(GetSoapAction)
    NV_EXPORT(GetTargetURL)
    NV_EXPORT(InvokeOperation)
    NV_EXPORT(Ping)
    NV_EXPORT(ReleaseConnection)
    NV_EXPORT(SetEndpointHTTPAuthentication)
    NV_EXPORT(SetHTTPAuthentication)
    NV_EXPORT(SetTargetURL)
    NV_EXPORT(SetWorkingDirectory)
    NV_EXPORT(WSDLConnect)
#undef NV_EXPORT
    void (*SysFreeString)(BSTR) = nullptr;
    unsigned (*SysStringLen)(BSTR) = nullptr;
    void (*CoTaskMemFree)(void*) = nullptr;
    int resolved = 0;

    template <typename F>
    void bind(F& fn, const char* name) {
        fn = reinterpret_cast<F>(dlsym(handle, name));
        if (fn)
            ++resolved;
    }

    Engine() {
        handle = dlopen(NV_WSCORE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
#define NV_BIND(name) bind(name, #name);
        NV_BIND(DecryptPassword)
        NV_BIND(EncryptPassword) NV_BIND(GetInputSoapMessage) NV_BIND(GetInputStructure)
            NV_BIND(GetInputStructureOfAType) NV_BIND(GetOperations) NV_BIND(GetOutputSoapMessage)
                NV_BIND(GetOutputStructure) NV_BIND(GetSoapAction) NV_BIND(GetTargetURL)
                    NV_BIND(InvokeOperation) NV_BIND(Ping) NV_BIND(ReleaseConnection)
                        NV_BIND(SetEndpointHTTPAuthentication) NV_BIND(SetHTTPAuthentication)
                            NV_BIND(SetTargetURL) NV_BIND(SetWorkingDirectory) NV_BIND(WSDLConnect)
                                NV_BIND(SysFreeString) NV_BIND(SysStringLen) NV_BIND(CoTaskMemFree)
#undef NV_BIND
    }
    ~Engine() {
        if (handle)
            dlclose(handle);
    }

    // Takes ownership of a BSTR and returns its text.
    std::u16string take(BSTR& b) {
        std::u16string s = b ? std::u16string(b, SysStringLen(b)) : std::u16string();
        SysFreeString(b);
        b = nullptr;
        return s;
    }

    void freeRecords(ParameterRecord* records, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            ParameterRecord& r = records[i];
            for (char16_t* s :
                 {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
                CoTaskMemFree(s);
        }
        CoTaskMemFree(records);
    }

    // A new connection whose (failing) load leaves it registered.
    int32_t newConnection() {
        int32_t id = 0;
        char16_t* services = nullptr;
        int32_t count = 0;
        BSTR err = nullptr;
        WSDLConnect(&id, 0, 0, u"http://127.0.0.1:1/none.wsdl", &services, &count, &err, nullptr, 0,
                    0, 0, nullptr, nullptr);
        take(err);
        if (services)
            CoTaskMemFree(services);
        return id;
    }
};

Engine& engine() {
    static Engine e;
    return e;
}

class Exports : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(engine().handle, nullptr) << dlerror();
        ASSERT_EQ(engine().resolved, 21);
    }
    Engine& e = engine();
    nv::test::RegistrySandbox sandbox;
};

constexpr int32_t kUnknownId = 0x5EED;
const std::u16string kInvalid = u"Invalid ConnectionID";
BSTR const kUntouched = reinterpret_cast<BSTR>(0x1);

TEST_F(Exports, EveryExportReportsAnUnknownConnection) {
    BSTR err = nullptr;
    BSTR out = kUntouched;
    ParameterRecord* records = reinterpret_cast<ParameterRecord*>(0x1);
    char16_t* block = reinterpret_cast<char16_t*>(0x1);
    int32_t count = 77;

    auto expectInvalid = [&](int32_t result, int32_t expected) {
        EXPECT_EQ(result, expected);
        EXPECT_EQ(e.take(err), kInvalid);
    };
    expectInvalid(e.GetOperations(kUnknownId, u"S", &block, &count, &err), 0);
    expectInvalid(e.GetInputStructure(kUnknownId, u"op", &records, &count, &err), 0);
    expectInvalid(e.GetOutputStructure(kUnknownId, u"op", &records, &count, &err), 0);
    expectInvalid(e.GetInputStructureOfAType(kUnknownId, u"x", 1, u"t", &records, &count, &err), 0);
    expectInvalid(e.GetInputSoapMessage(kUnknownId, u"op", nullptr, 0, &out, &err), 0);
    expectInvalid(e.InvokeOperation(kUnknownId, u"op", nullptr, 0, &records, &count, &err), 0);
    expectInvalid(e.GetOutputSoapMessage(kUnknownId, u"op", &out, &err), 0);
    expectInvalid(e.GetSoapAction(kUnknownId, u"op", &out, &err), 0);
    expectInvalid(e.GetTargetURL(kUnknownId, u"op", &out, &err), 0);
    expectInvalid(e.SetTargetURL(kUnknownId, u"op", u"http://x/", &err), 0);
    expectInvalid(e.SetHTTPAuthentication(kUnknownId, u"u", u"p", &err), 0);
    expectInvalid(e.SetEndpointHTTPAuthentication(kUnknownId, u"u", u"p", &err), 0);
    expectInvalid(e.Ping(kUnknownId, u"http://127.0.0.1:1/", u"", u"", &err), 404);
    // Nothing else was touched.
    EXPECT_EQ(out, kUntouched);
    EXPECT_EQ(records, reinterpret_cast<ParameterRecord*>(0x1));
    EXPECT_EQ(block, reinterpret_cast<char16_t*>(0x1));
    EXPECT_EQ(count, 77);
    e.ReleaseConnection(kUnknownId);  // ignored
}

TEST_F(Exports, WsdlConnectWithAnIdNeverHandedOutCreatesNothing) {
    int32_t id = kUnknownId;
    char16_t* services = reinterpret_cast<char16_t*>(0x1);
    int32_t count = 5;
    BSTR err = nullptr;
    EXPECT_EQ(e.WSDLConnect(&id, 0, 0, u"http://127.0.0.1:1/a.wsdl", &services, &count, &err,
                            nullptr, 0, 0, 0, nullptr, nullptr),
              0);
    EXPECT_EQ(e.take(err), kInvalid);
    EXPECT_EQ(id, kUnknownId);
    EXPECT_EQ(services, reinterpret_cast<char16_t*>(0x1));
    EXPECT_EQ(count, 5);
}

TEST_F(Exports, AFailedLoadLeavesANewConnectionRegisteredUntilReleased) {
    int32_t id = 0;
    char16_t* services = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    EXPECT_EQ(e.WSDLConnect(&id, 0, 0, u"http://127.0.0.1:1/none.wsdl", &services, &count, &err,
                            nullptr, 0, 0, 0, nullptr, nullptr),
              0);
    EXPECT_FALSE(e.take(err).empty());
    EXPECT_NE(id, 0);

    // The connection exists: calls on it get past the lookup.
    EXPECT_EQ(e.SetHTTPAuthentication(id, u"user", u"pw", &err), -1);
    EXPECT_EQ(err, nullptr);
    EXPECT_EQ(e.SetEndpointHTTPAuthentication(id, nullptr, nullptr, &err), -1);
    EXPECT_EQ(err, nullptr);

    e.ReleaseConnection(id);
    EXPECT_EQ(e.SetHTTPAuthentication(id, u"user", u"pw", &err), 0);
    EXPECT_EQ(e.take(err), kInvalid);
    BSTR out = nullptr;
    EXPECT_EQ(e.Ping(id, u"http://127.0.0.1:1/", nullptr, nullptr, &err), 404);
    EXPECT_EQ(e.take(err), kInvalid);
    EXPECT_EQ(e.GetOutputSoapMessage(id, u"op", &out, &err), 0);
    EXPECT_EQ(e.take(err), kInvalid);
}

TEST_F(Exports, ConnectionIdsAreNonZeroAndUniqueAmongLiveConnections) {
    std::vector<int32_t> ids;
    for (int i = 0; i < 40; ++i)
        ids.push_back(e.newConnection());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_NE(ids[i], 0);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(ids[i], ids[j]);
    }
    for (int32_t id : ids)
        e.ReleaseConnection(id);
}

TEST_F(Exports, BeforeAServiceIsSelectedOperationCallsSayAnalyzeFirst) {
    int32_t id = e.newConnection();
    ASSERT_NE(id, 0);
    const std::u16string analyzeFirst =
        u"Must sucessfully analyze a WSDL location before attempting to execute service.\n";
    BSTR err = nullptr;
    ParameterRecord* records = nullptr;
    int32_t count = -1;
    EXPECT_EQ(e.GetInputStructure(id, u"op", &records, &count, &err), 0);
    EXPECT_EQ(e.take(err), analyzeFirst);
    EXPECT_EQ(e.GetOutputStructure(id, u"op", &records, &count, &err), 0);
    EXPECT_EQ(e.take(err), analyzeFirst);
    EXPECT_EQ(e.InvokeOperation(id, u"op", nullptr, 0, &records, &count, &err), 0);
    EXPECT_EQ(e.take(err), analyzeFirst);
    BSTR out = kUntouched;
    EXPECT_EQ(e.GetInputSoapMessage(id, u"op", nullptr, 0, &out, &err), 0);
    EXPECT_EQ(e.take(err), analyzeFirst);
    EXPECT_EQ(e.GetOutputSoapMessage(id, u"op", &out, &err), 0);
    EXPECT_EQ(e.take(err), analyzeFirst);
    // No action or address: 0 and nothing touched; setting an address does nothing but succeeds.
    EXPECT_EQ(e.GetSoapAction(id, u"op", &out, &err), 0);
    EXPECT_EQ(e.GetTargetURL(id, u"op", &out, &err), 0);
    EXPECT_EQ(err, nullptr);
    EXPECT_EQ(out, kUntouched);
    EXPECT_EQ(e.SetTargetURL(id, u"op", u"http://127.0.0.1/x", &err), -1);
    EXPECT_EQ(err, nullptr);
    // An unknown service name.
    char16_t* block = nullptr;
    EXPECT_EQ(e.GetOperations(id, u"Calculator", &block, &count, &err), 0);
    EXPECT_EQ(e.take(err),
              u"Service 'Calculator' not found. Please check spelling of service name.\n");
    e.ReleaseConnection(id);
}

TEST_F(Exports, StructureOfAnUnknownTypeIsOneEmptyRecordAtTheGivenLevel) {
    int32_t id = e.newConnection();
    BSTR err = nullptr;
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    ASSERT_EQ(e.GetInputStructureOfAType(id, u"field", 4, u"tns:Unknown", &records, &count, &err),
              -1);
    EXPECT_EQ(err, nullptr);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(records[0].level, 4);
    for (char16_t* s : {records[0].info, records[0].fieldName, records[0].dataType,
                        records[0].theData, records[0].description, records[0].prefix}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s[0], u'\0');
    }
    e.freeRecords(records, count);
    e.ReleaseConnection(id);
}

TEST_F(Exports, NullOutPointersFailWithoutTouchingAnything) {
    int32_t id = e.newConnection();
    BSTR out = kUntouched;
    BSTR err = nullptr;
    ParameterRecord* records = nullptr;
    char16_t* block = nullptr;
    int32_t count = 9;
    EXPECT_EQ(e.WSDLConnect(nullptr, 0, 0, u"x", &block, &count, &err, nullptr, 0, 0, 0, nullptr,
                            nullptr),
              0);
    int32_t fresh = 0;
    EXPECT_EQ(e.WSDLConnect(&fresh, 0, 0, u"x", nullptr, &count, &err, nullptr, 0, 0, 0, nullptr,
                            nullptr),
              0);
    EXPECT_EQ(fresh, 0);  // nothing was created
    EXPECT_EQ(e.WSDLConnect(&fresh, 0, 0, u"x", &block, &count, nullptr, nullptr, 0, 0, 0, nullptr,
                            nullptr),
              0);
    EXPECT_EQ(e.GetOperations(id, u"S", nullptr, &count, &err), 0);
    EXPECT_EQ(e.GetOperations(id, u"S", &block, nullptr, &err), 0);
    EXPECT_EQ(e.GetOperations(id, u"S", &block, &count, nullptr), 0);
    EXPECT_EQ(e.GetInputStructure(id, u"op", nullptr, &count, &err), 0);
    EXPECT_EQ(e.GetOutputStructure(id, u"op", &records, nullptr, &err), 0);
    EXPECT_EQ(e.GetInputStructureOfAType(id, u"x", 1, u"t", &records, &count, nullptr), 0);
    EXPECT_EQ(e.GetInputSoapMessage(id, u"op", nullptr, 0, nullptr, &err), 0);
    EXPECT_EQ(e.InvokeOperation(id, u"op", nullptr, 0, nullptr, &count, &err), 0);
    EXPECT_EQ(e.GetOutputSoapMessage(id, u"op", nullptr, &err), 0);
    EXPECT_EQ(e.GetSoapAction(id, u"op", nullptr, &err), 0);
    EXPECT_EQ(e.GetTargetURL(id, u"op", &out, nullptr), 0);
    EXPECT_EQ(e.SetTargetURL(id, u"op", u"http://x/", nullptr), 0);
    EXPECT_EQ(e.SetHTTPAuthentication(id, u"u", u"p", nullptr), 0);
    EXPECT_EQ(e.SetEndpointHTTPAuthentication(id, u"u", u"p", nullptr), 0);
    EXPECT_EQ(e.Ping(id, u"http://127.0.0.1:1/", u"", u"", nullptr), 404);
    EXPECT_EQ(e.EncryptPassword(u"s", u"p", nullptr), 0);
    EXPECT_EQ(e.DecryptPassword(u"s", u"p", nullptr), 0);
    EXPECT_EQ(err, nullptr);
    EXPECT_EQ(out, kUntouched);
    EXPECT_EQ(records, nullptr);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 9);
    e.ReleaseConnection(id);
}

TEST_F(Exports, BadInputArraysAreRefusedWithAMessage) {
    int32_t id = e.newConnection();
    BSTR err = nullptr;
    BSTR out = nullptr;
    EXPECT_EQ(e.GetInputSoapMessage(id, u"op", nullptr, 3, &out, &err), 0);
    EXPECT_FALSE(e.take(err).empty());
    ParameterRecord one{};
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    EXPECT_EQ(e.InvokeOperation(id, u"op", &one, -2, &records, &count, &err), 0);
    EXPECT_FALSE(e.take(err).empty());
    e.ReleaseConnection(id);
}

TEST_F(Exports, PasswordScramblingNeedsNoConnection) {
    BSTR scrambled = nullptr;
    ASSERT_EQ(e.EncryptPassword(u"proxy", u"ab", &scrambled), -1);
    EXPECT_EQ(std::u16string(scrambled), u"7A7C");
    BSTR clear = nullptr;
    ASSERT_EQ(e.DecryptPassword(u"proxy", scrambled, &clear), -1);
    EXPECT_EQ(e.take(clear), u"ab");
    e.SysFreeString(scrambled);
    // Null strings are empty strings: an empty password gives an empty result, k = 13.
    ASSERT_EQ(e.EncryptPassword(nullptr, nullptr, &scrambled), -1);
    EXPECT_EQ(e.take(scrambled), u"");
    ASSERT_EQ(e.EncryptPassword(nullptr, u"A", &scrambled), -1);
    EXPECT_EQ(e.take(scrambled), u"4D");
}

}  // namespace
