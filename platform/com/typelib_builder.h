// Type libraries described in code: a server fills in these plain structures and gets
// immutable ITypeLib / ITypeInfo objects back, the stand-in for a compiled type library.
//
//   nv::com::LibraryDescription lib{libid, u"SondarLib", u"Sondar 1.0 Type Library", 1, 0};
//   lib.types.push_back({iid, TKIND_DISPATCH, u"IClient", u"A client",
//                        TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE,
//                        {{1, u"Call", INVOKE_FUNC, {u"operation", u"body"}, u"Calls it"}}});
//   lib.types.push_back({clsid, TKIND_COCLASS, u"Client", u"", TYPEFLAG_FCANCREATE, {}, {iid}});
//   nv::com::ComPtr<ITypeLib> tl;
//   HRESULT hr = nv::com::createTypeLib(lib, tl.put());
#pragma once

#include <string>
#include <vector>

#include "platform/com/typeinfo.h"
#include "platform/export.h"

namespace nv::com {

struct ParamDescription {
    ParamDescription() = default;
    ParamDescription(const char16_t* n) : name(n) {}
    ParamDescription(std::u16string n, VARTYPE t = VT_VARIANT, USHORT f = PARAMFLAG_FIN)
        : name(std::move(n)), vt(t), flags(f) {}

    std::u16string name;
    VARTYPE vt = VT_VARIANT;
    USHORT flags = PARAMFLAG_FIN;  // PARAMFLAG_FOPT makes it count in cParamsOpt
};

struct MemberDescription {
    DISPID id = DISPID_UNKNOWN;
    std::u16string name;
    INVOKEKIND kind = INVOKE_FUNC;
    std::vector<ParamDescription> params;
    std::u16string help;
    VARTYPE result = VT_VARIANT;  // VT_VOID for a method without a result
    WORD flags = 0;               // FUNCFLAG_*
    DWORD helpContext = 0;
};

struct TypeDescription {
    GUID guid = GUID_NULL;
    TYPEKIND kind = TKIND_DISPATCH;  // TKIND_DISPATCH, TKIND_INTERFACE or TKIND_COCLASS
    std::u16string name;
    std::u16string help;
    WORD flags = 0;                          // TYPEFLAG_*
    std::vector<MemberDescription> members;  // interfaces only
    // Coclasses only: the implemented interfaces (types of the same library), default first.
    std::vector<GUID> implemented;
    DWORD helpContext = 0;
};

struct LibraryDescription {
    GUID libid = GUID_NULL;
    std::u16string name;
    std::u16string help;
    WORD major = 1;
    WORD minor = 0;
    LCID lcid = LOCALE_NEUTRAL;
    WORD flags = 0;  // LIBFLAG_*
    std::u16string helpFile;
    DWORD helpContext = 0;
    std::vector<TypeDescription> types;
};

// What the objects do not offer: variables, base interfaces (an interface's cImplTypes is 0),
// ITypeComp, and ITypeInfo::Invoke (E_NOTIMPL: no vtable layout is known, so servers
// implement IDispatch::Invoke themselves, typically with the IDs the type info gives).
//
// Builds the library; *out gets the caller's reference. The library and its type infos share
// one reference count, so any of them keeps the whole library alive. E_INVALIDARG for an
// empty name, a duplicate type GUID, an unsupported kind, members on a coclass, or a coclass
// implementing a GUID that is not an interface of this library.
NV_PLATFORM_API HRESULT createTypeLib(const LibraryDescription& description, ITypeLib** out);

}  // namespace nv::com
