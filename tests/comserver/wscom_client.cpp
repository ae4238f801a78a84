#include "tests/comserver/wscom_client.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "platform/com/safearray.h"
#include "platform/text/unicode.h"

namespace wscom::test {

namespace {

void* serverLibrary() {
    // Kept loaded: the runtime's own load of the same file then never unloads it mid-test.
    static void* handle = dlopen(serverPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle;
}

}  // namespace

std::string serverPath() {
    char* resolved = realpath(NV_WSCOM_PATH, nullptr);
    std::string path = resolved ? resolved : NV_WSCOM_PATH;
    std::free(resolved);
    return path;
}

HRESULT callServerExport(const char* name) {
    void* library = serverLibrary();
    if (!library)
        return CO_E_DLLNOTFOUND;
    auto entry = reinterpret_cast<HRESULT (*)()>(dlsym(library, name));
    return entry ? entry() : CO_E_ERRORINDLL;
}

void WscomTest::SetUp() {
    comInit_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(comInit_, S_OK);
    ASSERT_EQ(callServerExport("DllRegisterServer"), S_OK);
}

void WscomTest::TearDown() {
    if (SUCCEEDED(comInit_))
        CoUninitialize();
}

nv::com::ComPtr<INVWSControl> newControl() {
    CLSID clsid;
    nv::com::ComPtr<INVWSControl> control;
    EXPECT_EQ(CLSIDFromProgID(kNVWSControlVersionIndependentProgId, &clsid), S_OK);
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidINVWSControl, control.putVoid()),
        S_OK);
    return control;
}

nv::com::ComPtr<IIOMessage> newMessage() {
    CLSID clsid;
    nv::com::ComPtr<IIOMessage> message;
    EXPECT_EQ(CLSIDFromProgID(kIOMessageProgId, &clsid), S_OK);
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidIIOMessage, message.putVoid()),
        S_OK);
    return message;
}

DISPID dispIdOf(IDispatch* object, const char16_t* name) {
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
        << nv::text::utf16ToUtf8(nv::text::view(name));
    return id;
}

HRESULT callMethod(IDispatch* object, const char16_t* name, std::vector<VARIANTARG> args,
                   EXCEPINFO* excepInfo) {
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT argErr = 0;
    return object->Invoke(dispIdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                          &params, nullptr, excepInfo, &argErr);
}

nv::com::Variant getProperty(IDispatch* object, const char16_t* name) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    nv::com::Variant result;
    EXPECT_EQ(object->Invoke(dispIdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT,
                             DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    return result;
}

HRESULT putProperty(IDispatch* object, const char16_t* name, const VARIANT& value) {
    VARIANTARG arg = value;  // borrowed: Invoke does not free its arguments
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return object->Invoke(dispIdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT,
                          DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

VARIANTARG textArg(const nv::com::Bstr& text) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.get();
    return v;
}

VARIANTARG byRef(VARIANT& target) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = &target;
    return v;
}

VARIANTARG byRef(BSTR& target) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = &target;
    return v;
}

std::vector<nv::com::ComPtr<IDispatch>> dispatchElements(const VARIANT& array) {
    std::vector<nv::com::ComPtr<IDispatch>> out;
    if (array.vt != (VT_ARRAY | VT_VARIANT)) {
        ADD_FAILURE() << "not an array of VARIANTs: vt " << array.vt;
        return out;
    }
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array.parray, 1, &lower);
    SafeArrayGetUBound(array.parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    for (LONG i = lower; i <= upper; ++i) {
        nv::com::Variant element;
        EXPECT_EQ(SafeArrayGetElement(array.parray, &i, &element), S_OK);
        EXPECT_EQ(element.vt, VT_DISPATCH);
        out.emplace_back(element.vt == VT_DISPATCH ? element.pdispVal : nullptr);
    }
    return out;
}

std::vector<nv::com::ComPtr<IIOMessage>> messageElements(const VARIANT& array) {
    std::vector<nv::com::ComPtr<IIOMessage>> out;
    for (const auto& d : dispatchElements(array)) {
        nv::com::ComPtr<IIOMessage> m;
        EXPECT_EQ(d.as(m), S_OK);
        out.push_back(m);
    }
    return out;
}

std::vector<std::u16string> nameElements(const VARIANT& array) {
    std::vector<std::u16string> out;
    if (array.vt != (VT_ARRAY | VT_VARIANT)) {
        ADD_FAILURE() << "not an array of VARIANTs: vt " << array.vt;
        return out;
    }
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array.parray, 1, &lower);
    SafeArrayGetUBound(array.parray, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        nv::com::Variant element;
        EXPECT_EQ(SafeArrayGetElement(array.parray, &i, &element), S_OK);
        EXPECT_EQ(element.vt, VT_BSTR);
        out.emplace_back(element.vt == VT_BSTR ? nv::text::view(element.bstrVal) : u"");
    }
    return out;
}

nv::com::Variant messageArray(const std::vector<nv::com::ComPtr<IIOMessage>>& messages) {
    nv::com::Variant v;
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(messages.size()));
    for (LONG i = 0; i < static_cast<LONG>(messages.size()); ++i) {
        nv::com::Variant element(static_cast<IDispatch*>(messages[i].get()));
        SafeArrayPutElement(array, &i, &element);
    }
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array;
    return v;
}

std::u16string fieldName(IIOMessage* m) {
    nv::com::Bstr s;
    EXPECT_EQ(m->get_fieldName(s.out()), S_OK);
    return s.str();
}

std::u16string theData(IIOMessage* m) {
    nv::com::Bstr s;
    EXPECT_EQ(m->get_theData(s.out()), S_OK);
    return s.str();
}

LONG level(IIOMessage* m) {
    LONG v = 0;
    EXPECT_EQ(m->get_level(&v), S_OK);
    return v;
}

void setText(IIOMessage* m, HRESULT (IIOMessage::*put)(BSTR), std::u16string_view text) {
    nv::com::Bstr value(text);
    EXPECT_EQ((m->*put)(value.get()), S_OK);
}

std::string utf8(BSTR text) {
    return nv::text::utf16ToUtf8(std::u16string_view(text ? text : u"", SysStringLen(text)));
}

}  // namespace wscom::test
