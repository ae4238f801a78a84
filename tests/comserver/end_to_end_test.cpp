// A late-bound client against the demo service: every call goes by name through
// IDispatch::Invoke, from connecting to reading the response.
#include <string>

#include "platform/text/unicode.h"
#include "tests/comserver/demo_fixture.h"

namespace wscom::test {

namespace {

class WscomEndToEnd : public WscomTest {
  protected:
    void SetUp() override {
        WscomTest::SetUp();
        if (HasFatalFailure())
            return;
        CLSID clsid;
        ASSERT_EQ(CLSIDFromProgID(u"wscom.NVWSControl.1", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   control_.putVoid()),
                  S_OK);
    }

    // Calls a method whose last argument is the error text; returns the HRESULT.
    HRESULT call(const char16_t* method, std::vector<VARIANTARG> args, EXCEPINFO* ex = nullptr) {
        err_.reset();
        args.push_back(byRef(*err_.out()));
        return callMethod(control_.get(), method, std::move(args), ex);
    }

    void connect() {
        nv::com::Bstr wsdl = nv::com::Bstr::fromUtf8(service_.wsdlUrl());
        nv::com::Variant services, operations;
        ASSERT_EQ(call(u"ConnectWSDL", {textArg(wsdl), byRef(services)}), S_OK) << err();
        ASSERT_EQ(nameElements(services), (std::vector<std::u16string>{u"DemoService", u""}));
        nv::com::Bstr name(u"DemoService");
        ASSERT_EQ(call(u"GetOperations", {textArg(name), byRef(operations)}), S_OK) << err();
        operations_ = nameElements(operations);
    }

    std::string err() const { return utf8(err_.get()); }

    // The element named `field` of an IOMessage array, read by name.
    static nv::com::ComPtr<IDispatch> find(const VARIANT& array, std::u16string_view field) {
        for (auto& element : dispatchElements(array)) {
            nv::com::Variant name = getProperty(element.get(), u"fieldName");
            if (name.vt == VT_BSTR && nv::text::view(name.bstrVal) == field)
                return element;
        }
        ADD_FAILURE() << "no field " << nv::text::utf16ToUtf8(field);
        return {};
    }

    nv::demo::DemoService service_;
    nv::com::ComPtr<IDispatch> control_;
    nv::com::Bstr err_;
    std::vector<std::u16string> operations_;
};

TEST_F(WscomEndToEnd, CallsTheDemoServiceByName) {
    connect();
    // Names and descriptions alternate.
    ASSERT_GE(operations_.size(), 4u);
    EXPECT_EQ(operations_[0], u"EchoString");
    bool listed = false;
    for (std::size_t i = 0; i + 1 < operations_.size(); i += 2)
        if (operations_[i] == u"Calculate") {
            listed = true;
            EXPECT_EQ(operations_[i + 1], u"a (operator) b; dividing by zero is a Client fault.");
        }
    EXPECT_TRUE(listed);

    nv::com::Bstr calculate(u"Calculate");
    nv::com::Variant input;
    ASSERT_EQ(call(u"GetInputStructure", {textArg(calculate), byRef(input)}), S_OK) << err();
    EXPECT_EQ(getProperty(find(input, u"Calculate").get(), u"level").lVal, 1);
    EXPECT_EQ(putProperty(find(input, u"a").get(), u"theData", nv::com::Variant(u"7.5")), S_OK);
    EXPECT_EQ(putProperty(find(input, u"b").get(), u"theData", nv::com::Variant(u"2")), S_OK);
    EXPECT_EQ(
        putProperty(find(input, u"operator").get(), u"theData", nv::com::Variant(u"Multiply")),
        S_OK);
    nv::com::Variant enumeration = getProperty(find(input, u"operator").get(), u"info");
    EXPECT_NE(utf8(enumeration.bstrVal).find("Multiply"), std::string::npos);

    BSTR request = nullptr;
    ASSERT_EQ(call(u"GetInputSoapMessage", {textArg(calculate), input, byRef(request)}), S_OK)
        << err();
    std::string requestText = utf8(request);
    SysFreeString(request);
    EXPECT_NE(requestText.find(">7.5<"), std::string::npos) << requestText;
    EXPECT_NE(requestText.find(">Multiply<"), std::string::npos) << requestText;

    nv::com::Variant output;
    ASSERT_EQ(call(u"InvokeOperation", {textArg(calculate), input, byRef(output)}), S_OK) << err();
    nv::com::Variant result = getProperty(find(output, u"CalculateResult").get(), u"theData");
    EXPECT_EQ(utf8(result.bstrVal), "15");
    EXPECT_NE(service_.lastRequest()->body.find(">Multiply<"), std::string::npos);

    BSTR response = nullptr;
    ASSERT_EQ(call(u"GetOutputSoapMessage", {textArg(calculate), byRef(response)}), S_OK) << err();
    EXPECT_NE(utf8(response).find("CalculateResult>15</"), std::string::npos) << utf8(response);
    SysFreeString(response);

    nv::com::Variant outputStructure;
    ASSERT_EQ(call(u"GetOutputStructure", {textArg(calculate), byRef(outputStructure)}), S_OK);
    EXPECT_TRUE(find(outputStructure, u"CalculateResult"));
}

TEST_F(WscomEndToEnd, EngineFailuresComeBackAsExceptionsWithTheEngineText) {
    connect();
    nv::com::Bstr nope(u"Nope");
    nv::com::Variant operations(u"stale");
    EXCEPINFO ex{};
    EXPECT_EQ(call(u"GetOperations", {textArg(nope), byRef(operations)}, &ex), DISP_E_EXCEPTION);
    EXPECT_EQ(ex.scode, E_FAIL);
    EXPECT_EQ(ex.bstrDescription, nullptr);  // the text travels in pErrMsg only
    EXPECT_EQ(err(), "Service 'Nope' not found. Please check spelling of service name.\n");
    EXPECT_EQ(operations.vt, VT_EMPTY);
    // Without an EXCEPINFO the method's own HRESULT comes back.
    EXPECT_EQ(call(u"GetOperations", {textArg(nope), byRef(operations)}), E_FAIL);
}

TEST_F(WscomEndToEnd, TheLastResponseIsEmptyBeforeAnyInvocation) {
    connect();
    nv::com::Bstr echo(u"EchoString");
    BSTR response = SysAllocString(u"caller's old text");
    ASSERT_EQ(call(u"GetOutputSoapMessage", {textArg(echo), byRef(response)}), S_OK) << err();
    EXPECT_EQ(SysStringLen(response), 0u);
    SysFreeString(response);
}

TEST_F(WscomEndToEnd, AStructureOfATypeStartsAtTheGivenLevel) {
    connect();
    nv::com::Bstr element(u"shape"), type(u"tns:Circle");
    nv::com::Variant records;
    ASSERT_EQ(call(u"GetInputStructureOfAType",
                   {textArg(element), nv::com::Variant(LONG{3}), textArg(type), byRef(records)}),
              S_OK)
        << err();
    auto elements = dispatchElements(records);
    ASSERT_FALSE(elements.empty());
    EXPECT_EQ(getProperty(elements[0].get(), u"level").lVal, 3);
    EXPECT_TRUE(find(records, u"radius"));
}

TEST_F(WscomEndToEnd, ACallBeforeConnectingFailsWithTheEngineText) {
    nv::com::Bstr echo(u"EchoString");
    nv::com::Variant input;
    EXPECT_EQ(call(u"GetInputStructure", {textArg(echo), byRef(input)}), E_FAIL);
    EXPECT_EQ(err(), "Invalid ConnectionID");
}

}  // namespace

}  // namespace wscom::test
