#include "comserver/type_library.h"

#include <mutex>
#include <string>

#include "comserver/guarded.h"
#include "comserver/io_message_properties.h"
#include "comserver/server_module.h"
#include "comserver/wscom_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/typelib_builder.h"

namespace wscom {

namespace {

using nv::com::MemberDescription;
using nv::com::ParamDescription;
using nv::com::TypeDescription;

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kOut = PARAMFLAG_FOUT;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
constexpr VARTYPE kBstrRef = VT_BSTR | VT_BYREF;
constexpr VARTYPE kVariantRef = VT_VARIANT | VT_BYREF;
constexpr WORD kDualFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
constexpr WORD kClassFlags = TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE;

TypeDescription ioMessageInterface() {
    TypeDescription t;
    t.guid = kIidIIOMessage;
    t.kind = TKIND_INTERFACE;
    t.name = u"IIOMessage";
    t.help = u"IIOMessage Interface";
    t.flags = kDualFlags;
    for (const PropertyInfo& p : kIOMessageProperties) {
        std::u16string help = std::u16string(u"property ") + p.name;
        t.members.push_back(MemberDescription{
            p.id,
            p.name,
            INVOKE_PROPERTYGET,
            {ParamDescription(u"pVal", p.type | VT_BYREF, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)},
            help,
            VT_HRESULT});
        t.members.push_back(MemberDescription{p.id,
                                              p.name,
                                              INVOKE_PROPERTYPUT,
                                              {ParamDescription(u"newVal", p.type, kIn)},
                                              help,
                                              VT_HRESULT});
    }
    return t;
}

MemberDescription method(DISPID id, const char16_t* name, std::vector<ParamDescription> params) {
    return MemberDescription{id, name, INVOKE_FUNC, std::move(params), u"", VT_HRESULT};
}

TypeDescription controlInterface() {
    TypeDescription t;
    t.guid = kIidINVWSControl;
    t.kind = TKIND_INTERFACE;
    t.name = u"INVWSControl";
    t.help = u"INVWSControl Interface";
    t.flags = kDualFlags;
    using P = ParamDescription;
    t.members = {
        method(kDispConnectWSDL, u"ConnectWSDL",
               {P(u"WSDL", VT_BSTR, kIn), P(u"serviceArray", kVariantRef, kOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispGetOperations, u"GetOperations",
               {P(u"ServiceName", VT_BSTR, kIn), P(u"operationArray", kVariantRef, kOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispGetInputStructure, u"GetInputStructure",
               {P(u"operationName", VT_BSTR, kIn), P(u"parameterArray", kVariantRef, kInOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispGetOutputStructure, u"GetOutputStructure",
               {P(u"operationName", VT_BSTR, kIn), P(u"parameterArray", kVariantRef, kOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispInvokeOperation, u"InvokeOperation",
               {P(u"operationName", VT_BSTR, kIn), P(u"inputParameters", kVariantRef, kIn),
                P(u"outputParameters", kVariantRef, kOut), P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispGetInputSoapMessage, u"GetInputSoapMessage",
               {P(u"operationName", VT_BSTR, kIn), P(u"inputParameters", kVariantRef, kIn),
                P(u"pSOAPMessage", kBstrRef, kOut), P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispGetOutputSoapMessage, u"GetOutputSoapMessage",
               {P(u"operationName", VT_BSTR, kIn), P(u"pSOAPMessage", kBstrRef, kOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispEncryptPassword, u"EncryptPassword",
               {P(u"proxyServer", VT_BSTR, kIn), P(u"password", VT_BSTR, kIn),
                P(u"pEncryptedPW", kBstrRef, kOut)}),
        method(kDispDecryptPassword, u"DecryptPassword",
               {P(u"proxyServer", VT_BSTR, kIn), P(u"encryptedPW", VT_BSTR, kIn),
                P(u"pPassword", kBstrRef, kOut)}),
        method(kDispSetHTTPAuthentication, u"SetHTTPAuthentication",
               {P(u"username", VT_BSTR, kIn), P(u"password", VT_BSTR, kIn),
                P(u"pErrMsg", kBstrRef, kOut)}),
        method(kDispSetClipboard, u"SetClipboard",
               {P(u"wsdlURL", VT_BSTR, kIn), P(u"service", VT_BSTR, kIn),
                P(u"operation", VT_BSTR, kIn)}),
        method(kDispGetInputStructureOfAType, u"GetInputStructureOfAType",
               {P(u"ElementName", VT_BSTR, kIn), P(u"level", VT_INT, kIn),
                P(u"TypeName", VT_BSTR, kIn), P(u"parameterArray", kVariantRef, kInOut),
                P(u"pErrMsg", kBstrRef, kOut)}),
    };
    return t;
}

TypeDescription coclass(const CLSID& clsid, const char16_t* name, const char16_t* help,
                        const IID& iid) {
    TypeDescription t;
    t.guid = clsid;
    t.kind = TKIND_COCLASS;
    t.name = name;
    t.help = help;
    t.flags = kClassFlags;
    t.implemented = {iid};
    return t;
}

nv::com::LibraryDescription describeLibrary() {
    nv::com::LibraryDescription lib;
    lib.libid = kLibId;
    lib.name = u"wscom";
    lib.help = u"wscom 1.0 Type Library";
    lib.major = kLibMajor;
    lib.minor = kLibMinor;
    lib.lcid = kLibLcid;
    lib.types = {
        ioMessageInterface(), controlInterface(),
        coclass(kClsidIOMessage, u"CIOMessage", u"IOMessage Class", kIidIIOMessage),
        coclass(kClsidNVWSControl, u"CNVWSControl", u"NVWSControl Class", kIidINVWSControl)};
    return lib;
}

// Released when the library unloads; the objects' code lives in the platform library, so
// references clients still hold stay valid.
nv::com::ComPtr<ITypeLib> gLibrary;

}  // namespace

HRESULT typeLibrary(ITypeLib** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return guarded([&]() -> HRESULT {
        std::lock_guard lock(serverMutex());
        if (!gLibrary) {
            HRESULT hr = nv::com::createTypeLib(describeLibrary(), gLibrary.put());
            if (FAILED(hr))
                return hr;
        }
        return gLibrary.copyTo(out);
    });
}

HRESULT typeInfo(REFGUID guid, ITypeInfo** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    nv::com::ComPtr<ITypeLib> lib;
    HRESULT hr = typeLibrary(lib.put());
    if (FAILED(hr))
        return hr;
    return lib->GetTypeInfoOfGuid(guid, out);
}

}  // namespace wscom
