// The service control object: its interfaces, its one engine connection, the checks on its
// arguments and the rules of its late-bound calls.
#include <regex>
#include <string>

#include "platform/com/clipboard.h"
#include "platform/com/guid.h"
#include "platform/com/iids.h"
#include "platform/com/safearray.h"
#include "platform/registry/registry.h"
#include "platform/text/unicode.h"
#include "tests/comserver/demo_fixture.h"
#include "tests/comserver/wscom_client.h"
#include "tests/comserver/wsdl_server.h"
#include "tests/support/temp_dir.h"

namespace wscom::test {

namespace {

class WscomControl : public WscomTest {
  protected:
    nv::com::Bstr url(const std::string& path) { return nv::com::Bstr::fromUtf8(wsdl_.url(path)); }

    WsdlServer wsdl_;
};

TEST_F(WscomControl, AnswersItsInterfacesWithOneIdentity) {
    auto control = newControl();
    ASSERT_TRUE(control);
    nv::com::ComPtr<IUnknown> identity;
    ASSERT_EQ(control.as(identity), S_OK);
    for (const IID& iid : {kIidINVWSControl, IID_IDispatch, IID_IDataObject, IID_IPersistFile,
                           IID_IPersist, IID_IProvideClassInfo}) {
        nv::com::ComPtr<IUnknown> part;
        ASSERT_EQ(control.queryInterface(iid, part.putVoid()), S_OK);
        nv::com::ComPtr<IUnknown> back;
        ASSERT_EQ(part.as(back), S_OK);
        EXPECT_EQ(back, identity);
    }
    nv::com::ComPtr<IIOMessage> notMine;
    EXPECT_EQ(control.as(notMine), E_NOINTERFACE);
}

TEST_F(WscomControl, MethodsBeforeConnectingFailWithTheEngineText) {
    auto control = newControl();
    nv::com::Variant operations;
    nv::com::Bstr err, soap;
    EXPECT_EQ(control->GetOperations(nv::com::Bstr(u"Any").get(), &operations, err.out()), E_FAIL);
    EXPECT_EQ(err.str(), u"Invalid ConnectionID");
    EXPECT_EQ(operations.vt, VT_EMPTY);
    EXPECT_EQ(control->GetOutputSoapMessage(nv::com::Bstr(u"op").get(), soap.out(), err.out()),
              E_FAIL);
    EXPECT_EQ(err.str(), u"Invalid ConnectionID");
    EXPECT_EQ(control->SetHTTPAuthentication(nullptr, nullptr, err.out()), E_FAIL);
    EXPECT_EQ(err.str(), u"Invalid ConnectionID");
}

TEST_F(WscomControl, PasswordsRoundTripWithoutAConnection) {
    auto control = newControl();
    nv::com::Bstr server(u"proxy.example"), password(u"s3cret"), scrambled, clear;
    ASSERT_EQ(control->EncryptPassword(server.get(), password.get(), scrambled.out()), S_OK);
    EXPECT_FALSE(scrambled.empty());
    EXPECT_NE(scrambled.str(), u"s3cret");
    ASSERT_EQ(control->DecryptPassword(server.get(), scrambled.get(), clear.out()), S_OK);
    EXPECT_EQ(clear.str(), u"s3cret");
}

TEST_F(WscomControl, ADocumentWithoutServicesGivesAnEmptyList) {
    auto control = newControl();
    nv::com::Variant services(u"stale");
    nv::com::Bstr err;
    ASSERT_EQ(control->ConnectWSDL(url("/none.wsdl").get(), &services, err.out()), S_OK)
        << utf8(err.get());
    EXPECT_EQ(err.get(), nullptr);
    EXPECT_EQ(services.vt, VT_EMPTY);
}

TEST_F(WscomControl, AnOperationWithoutInputPartsHasAnEmptyStructureAndSendsNothing) {
    auto control = newControl();
    nv::com::Variant services, operations, input, output;
    nv::com::Bstr err;
    ASSERT_EQ(control->ConnectWSDL(url("/quiet.wsdl").get(), &services, err.out()), S_OK)
        << utf8(err.get());
    EXPECT_EQ(nameElements(services), (std::vector<std::u16string>{u"Quiet", u""}));
    ASSERT_EQ(control->GetOperations(nv::com::Bstr(u"Quiet").get(), &operations, err.out()), S_OK);
    EXPECT_EQ(nameElements(operations), (std::vector<std::u16string>{u"Ping", u""}));

    nv::com::Bstr ping(u"Ping");
    ASSERT_EQ(control->GetInputStructure(ping.get(), &input, err.out()), S_OK);
    EXPECT_EQ(input.vt, VT_EMPTY);
    ASSERT_EQ(control->InvokeOperation(ping.get(), &input, &output, err.out()), S_OK)
        << utf8(err.get());
    auto results = messageElements(output);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(theData(results[0].get()), u"yes");
    std::string sent = wsdl_.lastPost();
    // The operation element, with nothing inside.
    EXPECT_TRUE(std::regex_search(sent, std::regex(R"(<(\w+:)?Ping[^>]*(/>|>\s*</(\w+:)?Ping>))")))
        << sent;
}

TEST_F(WscomControl, EachObjectKeepsItsOwnConnection) {
    auto control = newControl();
    nv::com::Variant services;
    nv::com::Bstr err;
    // The failed load still gives the object its connection, which keeps the credentials.
    ASSERT_EQ(control->ConnectWSDL(url("/secret.wsdl").get(), &services, err.out()), E_FAIL);
    EXPECT_FALSE(err.empty());
    ASSERT_EQ(control->SetHTTPAuthentication(nv::com::Bstr(u"u").get(), nv::com::Bstr(u"p").get(),
                                             err.out()),
              S_OK);
    EXPECT_EQ(err.get(), nullptr);
    ASSERT_EQ(control->ConnectWSDL(url("/secret.wsdl").get(), &services, err.out()), S_OK)
        << utf8(err.get());
    EXPECT_EQ(nameElements(services), (std::vector<std::u16string>{u"Quiet", u""}));

    auto other = newControl();
    EXPECT_EQ(other->ConnectWSDL(url("/secret.wsdl").get(), &services, err.out()), E_FAIL);
    EXPECT_EQ(services.vt, VT_EMPTY);
}

TEST_F(WscomControl, OutArgumentsAreResetBeforeTheCall) {
    auto control = newControl();
    // A caller's leftover in an [out] argument is neither freed nor taken for an error.
    nv::com::Bstr leftover(u"leftover");
    BSTR err = leftover.get();
    nv::com::Variant services;
    ASSERT_EQ(control->ConnectWSDL(url("/quiet.wsdl").get(), &services, &err), S_OK);
    EXPECT_EQ(err, nullptr);
    EXPECT_EQ(leftover.str(), u"leftover");
}

TEST_F(WscomControl, NullOutPointersAreRefused) {
    auto control = newControl();
    nv::com::Variant v;
    nv::com::Bstr b;
    nv::com::Bstr op(u"op");
    EXPECT_EQ(control->ConnectWSDL(op.get(), nullptr, b.out()), E_POINTER);
    EXPECT_EQ(control->ConnectWSDL(op.get(), &v, nullptr), E_POINTER);
    EXPECT_EQ(control->InvokeOperation(op.get(), nullptr, nullptr, b.out()), E_POINTER);
    EXPECT_EQ(control->GetInputSoapMessage(op.get(), nullptr, nullptr, b.out()), E_POINTER);
    EXPECT_EQ(control->EncryptPassword(op.get(), op.get(), nullptr), E_POINTER);
}

// The elements of a one-dimensional array of the given type, each set by `fill`.
template <class Fill>
nv::com::Variant arrayOf(VARTYPE type, ULONG count, Fill fill) {
    nv::com::Variant v;
    v.vt = VT_ARRAY | type;
    v.parray = SafeArrayCreateVector(type, 0, count);
    for (LONG i = 0; i < static_cast<LONG>(count); ++i)
        fill(v.parray, i);
    return v;
}

TEST_F(WscomControl, InputArraysMustHoldThisServersIOMessages) {
    auto control = newControl();
    nv::com::Bstr op(u"op");
    auto rejects = [&](nv::com::Variant input) {
        nv::com::Variant output;
        nv::com::Bstr err, soap;
        EXPECT_EQ(control->InvokeOperation(op.get(), &input, &output, err.out()), E_INVALIDARG);
        EXPECT_EQ(err.get(), nullptr);  // no text of the bridge's own
        EXPECT_EQ(control->GetInputSoapMessage(op.get(), &input, soap.out(), err.out()),
                  E_INVALIDARG);
        EXPECT_EQ(err.get(), nullptr);
    };
    rejects(nv::com::Variant(u"not an array"));
    rejects(arrayOf(VT_I4, 2, [](SAFEARRAY* a, LONG i) {
        LONG v = 1;
        SafeArrayPutElement(a, &i, &v);
    }));
    rejects(arrayOf(VT_VARIANT, 1, [](SAFEARRAY* a, LONG i) {
        nv::com::Variant text(u"text");
        SafeArrayPutElement(a, &i, &text);
    }));
    rejects(arrayOf(VT_VARIANT, 1, [](SAFEARRAY*, LONG) {}));  // an empty element
    auto stranger = newControl();
    rejects(arrayOf(VT_VARIANT, 2, [&](SAFEARRAY* a, LONG i) {
        nv::com::Variant element(i == 0 ? static_cast<IDispatch*>(newMessage().get())
                                        : static_cast<IDispatch*>(stranger.get()));
        SafeArrayPutElement(a, &i, &element);
    }));
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
    nv::com::Variant square;
    square.vt = VT_ARRAY | VT_VARIANT;
    square.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    rejects(std::move(square));

    // A VT_DISPATCH array of messages, also by reference, gets past the input: the engine
    // then refuses the unconnected object.
    auto messages = arrayOf(VT_DISPATCH, 1, [](SAFEARRAY* a, LONG i) {
        auto m = newMessage();
        SafeArrayPutElement(a, &i, m.get());
    });
    VARIANT byReference;
    byReference.vt = VT_ARRAY | VT_DISPATCH | VT_BYREF;
    byReference.pparray = &messages.parray;
    nv::com::Variant output;
    nv::com::Bstr err;
    EXPECT_EQ(control->InvokeOperation(op.get(), &byReference, &output, err.out()), E_FAIL);
    EXPECT_EQ(err.str(), u"Invalid ConnectionID");
}

TEST_F(WscomControl, LateBoundCallsCheckTheirArguments) {
    auto control = newControl();
    IDispatch* d = control.get();
    EXPECT_EQ(dispIdOf(d, u"connectwsdl"), kDispConnectWSDL);
    EXPECT_EQ(dispIdOf(d, u"GETINPUTSTRUCTUREOFATYPE"), kDispGetInputStructureOfAType);
    const char16_t* unknown[] = {u"get_ConnectWSDL"};
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(unknown), 1, 0, &id),
              DISP_E_UNKNOWNNAME);

    nv::com::Bstr text(u"x");
    nv::com::Variant out;
    BSTR err = nullptr;
    VARIANTARG args[6] = {byRef(err),    byRef(out),    textArg(text),
                          textArg(text), textArg(text), textArg(text)};
    DISPID named = 1;
    UINT argErr = 99;
    auto invoke = [&](DISPID member, WORD flags, UINT count, UINT namedCount = 0) {
        DISPPARAMS p{args + (6 - count), namedCount ? &named : nullptr, count, namedCount};
        return d->Invoke(member, IID_NULL, 0, flags, &p, nullptr, nullptr, &argErr);
    };
    EXPECT_EQ(invoke(kDispConnectWSDL, DISPATCH_METHOD, 2), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(kDispConnectWSDL, DISPATCH_METHOD, 6), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(kDispConnectWSDL, DISPATCH_METHOD, 3, 1), DISP_E_NONAMEDARGS);
    EXPECT_EQ(invoke(13, DISPATCH_METHOD, 3), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(kDispConnectWSDL, DISPATCH_PROPERTYGET, 3), DISP_E_MEMBERNOTFOUND);
    // ConnectWSDL(text, text, text): the [out] arguments are not references.
    EXPECT_EQ(invoke(kDispConnectWSDL, DISPATCH_METHOD, 3), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);  // rgvarg index of the second argument
    // SetClipboard takes three texts and no result; numbers convert to text.
    nv::com::Variant number(LONG{7});
    VARIANTARG three[3] = {number, number, number};
    DISPPARAMS p{three, nullptr, 3, 0};
    EXPECT_EQ(
        d->Invoke(kDispSetClipboard, IID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr),
        S_OK);
    OleSetClipboard(nullptr);
}

// Points the IOMessage class at another file (after the control object made its refresh).
void serveMessagesFrom(const std::string& path) {
    nv::registry::Key key;
    ASSERT_EQ(nv::registry::Key::create(
                  nv::registry::Hive::ClassesRoot,
                  u"CLSID\\" + nv::com::toString(kClsidIOMessage) + u"\\InprocServer32", key),
              nv::registry::Status::Ok);
    ASSERT_EQ(key.setString(u"", nv::text::utf8ToUtf16(path)), nv::registry::Status::Ok);
}

class WscomControlConversions : public WscomDemoTest {};

TEST_F(WscomControlConversions, AFailedMessageCreationFailsTheMethod) {
    ASSERT_EQ(nv::registry::Key::deleteTree(nv::registry::Hive::ClassesRoot,
                                            u"CLSID\\" + nv::com::toString(kClsidIOMessage)),
              nv::registry::Status::Ok);
    nv::com::Variant input(u"stale");
    nv::com::Bstr err;
    EXPECT_EQ(control_->GetInputStructure(nv::com::Bstr(u"EchoString").get(), &input, err.out()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(input.vt, VT_EMPTY);
    EXPECT_EQ(err.get(), nullptr);
}

TEST_F(WscomControlConversions, MessagesOfAnotherServerCopyAreFilledButNotSent) {
    nv::test::TempDir dir;
    std::string copy = dir.file("libwscom-copy.so");
    ASSERT_TRUE(nv::test::writeFile(copy, nv::test::readFile(serverPath())));
    serveMessagesFrom(copy);
    nv::com::Bstr echo(u"EchoString"), err;
    nv::com::Variant input, output;
    ASSERT_EQ(control_->GetInputStructure(echo.get(), &input, err.out()), S_OK) << utf8(err.get());
    auto fields = messageElements(input);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fieldName(fields[1].get()), u"text");
    EXPECT_EQ(level(fields[1].get()), 2);
    EXPECT_EQ(theData(fields[1].get()), u"");
    // Their fields cannot be read from here: such an element is refused, not guessed at.
    EXPECT_EQ(control_->InvokeOperation(echo.get(), &input, &output, err.out()), E_INVALIDARG);
    EXPECT_EQ(err.get(), nullptr);
}

}  // namespace

}  // namespace wscom::test
