// Immutable ITypeLib / ITypeInfo objects built from LibraryDescription.
#include "platform/com/typelib_builder.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guard.h"
#include "platform/com/object_base.h"
#include "platform/text/unicode.h"

namespace {

using nv::com::LibraryDescription;
using nv::com::MemberDescription;
using nv::com::TypeDescription;

// Method slots of IUnknown and IDispatch, where a described interface's own methods start.
constexpr UINT kUnknownSlots = 3;
constexpr UINT kDispatchSlots = 7;

// A BSTR for an out-parameter: null for empty text when `nullIfEmpty`. False on failure.
bool putBstr(BSTR* out, std::u16string_view text, bool nullIfEmpty) {
    if (!out)
        return true;
    *out = nullptr;
    if (text.empty() && nullIfEmpty)
        return true;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr;
}

HRESULT document(std::u16string_view name, std::u16string_view help, DWORD helpContext,
                 std::u16string_view helpFile, BSTR* pName, BSTR* pDoc, DWORD* pContext,
                 BSTR* pFile) {
    if (pContext)
        *pContext = helpContext;
    if (putBstr(pName, name, false) && putBstr(pDoc, help, true) && putBstr(pFile, helpFile, true))
        return S_OK;
    for (BSTR* p : {pName, pDoc, pFile}) {
        if (p) {
            SysFreeString(*p);
            *p = nullptr;
        }
    }
    return E_OUTOFMEMORY;
}

class TypeLibrary;

class TypeInformation final : public ITypeInfo {
  public:
    TypeInformation(TypeLibrary& library, UINT index, TypeDescription description,
                    std::vector<HREFTYPE> implemented)
        : library_(library),
          index_(index),
          d_(std::move(description)),
          implemented_(std::move(implemented)) {}

    const TypeDescription& description() const { return d_; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
            *ppv = static_cast<ITypeInfo*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetTypeAttr(TYPEATTR** ppTypeAttr) override;
    HRESULT GetTypeComp(ITypeComp** ppTComp) override {
        if (ppTComp)
            *ppTComp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override;
    HRESULT GetVarDesc(UINT, VARDESC** ppVarDesc) override {
        if (ppVarDesc)
            *ppVarDesc = nullptr;
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override;
    HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
        if (!pRefType)
            return E_INVALIDARG;
        if (index >= implemented_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *pRefType = implemented_[index];
        return S_OK;
    }
    HRESULT GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override {
        if (!pImplTypeFlags)
            return E_INVALIDARG;
        if (index >= implemented_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *pImplTypeFlags = index == 0 ? IMPLTYPEFLAG_FDEFAULT : 0;
        return S_OK;
    }
    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override;
    HRESULT Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override;
    HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR* pBstrDllName, BSTR* pBstrName,
                        WORD* pwOrdinal) override {
        if (pBstrDllName)
            *pBstrDllName = nullptr;
        if (pBstrName)
            *pBstrName = nullptr;
        if (pwOrdinal)
            *pwOrdinal = 0;
        return TYPE_E_BADMODULEKIND;
    }
    HRESULT GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override;
    HRESULT AddressOfMember(MEMBERID, INVOKEKIND, PVOID* ppv) override {
        if (ppv)
            *ppv = nullptr;
        return TYPE_E_BADMODULEKIND;
    }
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, PVOID* ppvObj) override {
        if (!ppvObj)
            return E_INVALIDARG;
        *ppvObj = nullptr;
        if (d_.kind != TKIND_COCLASS)
            return TYPE_E_WRONGTYPEKIND;
        return CoCreateInstance(d_.guid, pUnkOuter, CLSCTX_SERVER, riid, ppvObj);
    }
    HRESULT GetMops(MEMBERID, BSTR* pBstrMops) override {
        if (pBstrMops)
            *pBstrMops = nullptr;
        return S_OK;
    }
    HRESULT GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override;
    void ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { delete pTypeAttr; }
    void ReleaseFuncDesc(FUNCDESC* pFuncDesc) override { std::free(pFuncDesc); }
    void ReleaseVarDesc(VARDESC*) override {}

  private:
    const MemberDescription* member(MEMBERID id) const {
        for (const MemberDescription& m : d_.members)
            if (m.id == id)
                return &m;
        return nullptr;
    }
    UINT baseSlots() const {
        if (d_.kind == TKIND_DISPATCH || (d_.flags & TYPEFLAG_FDUAL))
            return kDispatchSlots;
        return kUnknownSlots;
    }

    TypeLibrary& library_;
    UINT index_;
    const TypeDescription d_;
    const std::vector<HREFTYPE> implemented_;  // library indexes of a coclass's interfaces
};

class TypeLibrary final : public ITypeLib {
  public:
    explicit TypeLibrary(const LibraryDescription& d)
        : libid_(d.libid),
          name_(d.name),
          help_(d.help),
          helpFile_(d.helpFile),
          helpContext_(d.helpContext),
          major_(d.major),
          minor_(d.minor),
          lcid_(d.lcid),
          flags_(d.flags) {}

    void addType(std::unique_ptr<TypeInformation> type) { types_.push_back(std::move(type)); }
    LCID lcid() const { return lcid_; }
    WORD major() const { return major_; }
    WORD minor() const { return minor_; }
    const std::u16string& helpFile() const { return helpFile_; }
    TypeInformation* type(UINT index) const {
        return index < types_.size() ? types_[index].get() : nullptr;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeLib) {
            *ppv = static_cast<ITypeLib*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override {
        ULONG n = refs_.release();
        if (n == 0)
            delete this;
        return n;
    }

    UINT GetTypeInfoCount() override { return static_cast<UINT>(types_.size()); }
    HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
        if (!ppTInfo)
            return E_INVALIDARG;
        *ppTInfo = type(index);
        if (!*ppTInfo)
            return TYPE_E_ELEMENTNOTFOUND;
        AddRef();
        return S_OK;
    }
    HRESULT GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
        if (!pTKind)
            return E_INVALIDARG;
        TypeInformation* t = type(index);
        if (!t)
            return TYPE_E_ELEMENTNOTFOUND;
        *pTKind = t->description().kind;
        return S_OK;
    }
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override {
        if (!ppTinfo)
            return E_INVALIDARG;
        *ppTinfo = nullptr;
        for (const auto& t : types_) {
            if (t->description().guid == guid) {
                AddRef();
                *ppTinfo = t.get();
                return S_OK;
            }
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetLibAttr(TLIBATTR** ppTLibAttr) override {
        if (!ppTLibAttr)
            return E_INVALIDARG;
        auto* a = new (std::nothrow) TLIBATTR{};
        *ppTLibAttr = a;
        if (!a)
            return E_OUTOFMEMORY;
        a->guid = libid_;
        a->lcid = lcid_;
        a->syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
        a->wMajorVerNum = major_;
        a->wMinorVerNum = minor_;
        a->wLibFlags = flags_;
        return S_OK;
    }
    HRESULT GetTypeComp(ITypeComp** ppTComp) override {
        if (ppTComp)
            *ppTComp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
        if (index == -1)
            return document(name_, help_, helpContext_, helpFile_, pBstrName, pBstrDocString,
                            pdwHelpContext, pBstrHelpFile);
        TypeInformation* t = index < 0 ? nullptr : type(static_cast<UINT>(index));
        if (!t)
            return TYPE_E_ELEMENTNOTFOUND;
        return t->GetDocumentation(MEMBERID_NIL, pBstrName, pBstrDocString, pdwHelpContext,
                                   pBstrHelpFile);
    }
    HRESULT IsName(LPOLESTR szNameBuf, ULONG, BOOL* pfName) override {
        if (!szNameBuf || !pfName)
            return E_INVALIDARG;
        *pfName = FALSE;
        std::u16string_view wanted = nv::text::view(szNameBuf);
        bool found = false;
        forEachName([&](const std::u16string& name, UINT, MEMBERID) {
            if (found || !nv::text::equalsIgnoreCase(name, wanted))
                return;
            std::memcpy(szNameBuf, name.data(), name.size() * sizeof(OLECHAR));
            found = true;
        });
        *pfName = found ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT FindName(LPOLESTR szNameBuf, ULONG, ITypeInfo** ppTInfo, MEMBERID* rgMemId,
                     USHORT* pcFound) override {
        if (!szNameBuf || !ppTInfo || !rgMemId || !pcFound)
            return E_INVALIDARG;
        std::u16string_view wanted = nv::text::view(szNameBuf);
        USHORT limit = *pcFound;
        USHORT found = 0;
        forEachName([&](const std::u16string& name, UINT typeIndex, MEMBERID id) {
            if (found >= limit || !nv::text::equalsIgnoreCase(name, wanted))
                return;
            if (found == 0)
                std::memcpy(szNameBuf, name.data(), name.size() * sizeof(OLECHAR));
            AddRef();
            ppTInfo[found] = types_[typeIndex].get();
            rgMemId[found] = id;
            ++found;
        });
        *pcFound = found;
        return S_OK;
    }
    void ReleaseTLibAttr(TLIBATTR* pTLibAttr) override { delete pTLibAttr; }

  private:
    // Calls fn(name, type index, MEMBERID_NIL or member id) for type and member names.
    template <class F>
    void forEachName(F&& fn) const {
        for (UINT i = 0; i < types_.size(); ++i) {
            const TypeDescription& d = types_[i]->description();
            fn(d.name, i, MEMBERID_NIL);
            for (const MemberDescription& m : d.members)
                fn(m.name, i, m.id);
        }
    }

    nv::com::detail::RefCount refs_;
    const GUID libid_;
    const std::u16string name_;
    const std::u16string help_;
    const std::u16string helpFile_;
    const DWORD helpContext_;
    const WORD major_;
    const WORD minor_;
    const LCID lcid_;
    const WORD flags_;
    std::vector<std::unique_ptr<TypeInformation>> types_;
};

// Type infos share their library's count: holding any part keeps all of it alive.
ULONG TypeInformation::AddRef() {
    return library_.AddRef();
}
ULONG TypeInformation::Release() {
    return library_.Release();
}

HRESULT TypeInformation::GetTypeAttr(TYPEATTR** ppTypeAttr) {
    if (!ppTypeAttr)
        return E_INVALIDARG;
    auto* a = new (std::nothrow) TYPEATTR{};
    *ppTypeAttr = a;
    if (!a)
        return E_OUTOFMEMORY;
    a->guid = d_.guid;
    a->lcid = library_.lcid();
    a->memidConstructor = MEMBERID_NIL;
    a->memidDestructor = MEMBERID_NIL;
    a->cbSizeInstance = sizeof(void*);
    a->typekind = d_.kind;
    a->cFuncs = static_cast<WORD>(d_.members.size());
    a->cImplTypes = static_cast<WORD>(implemented_.size());
    if (d_.kind == TKIND_DISPATCH)
        a->cbSizeVft = static_cast<WORD>(kDispatchSlots * sizeof(void*));
    else if (d_.kind == TKIND_INTERFACE)
        a->cbSizeVft = static_cast<WORD>((baseSlots() + d_.members.size()) * sizeof(void*));
    a->cbAlignment = alignof(void*);
    a->wTypeFlags = d_.flags;
    a->wMajorVerNum = library_.major();
    a->wMinorVerNum = library_.minor();
    a->tdescAlias.vt = VT_EMPTY;
    return S_OK;
}

HRESULT TypeInformation::GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) {
    if (!ppFuncDesc)
        return E_INVALIDARG;
    *ppFuncDesc = nullptr;
    if (index >= d_.members.size())
        return TYPE_E_ELEMENTNOTFOUND;
    const MemberDescription& m = d_.members[index];
    // One block: the FUNCDESC, then its parameters (ReleaseFuncDesc frees it whole).
    static_assert(sizeof(FUNCDESC) % alignof(ELEMDESC) == 0);
    void* block = std::calloc(1, sizeof(FUNCDESC) + m.params.size() * sizeof(ELEMDESC));
    if (!block)
        return E_OUTOFMEMORY;
    auto* f = static_cast<FUNCDESC*>(block);
    auto* params = reinterpret_cast<ELEMDESC*>(static_cast<char*>(block) + sizeof(FUNCDESC));
    f->memid = m.id;
    f->lprgelemdescParam = m.params.empty() ? nullptr : params;
    f->funckind = d_.kind == TKIND_DISPATCH ? FUNC_DISPATCH : FUNC_PUREVIRTUAL;
    f->invkind = m.kind;
    f->callconv = CC_STDCALL;
    f->cParams = static_cast<SHORT>(m.params.size());
    for (std::size_t i = 0; i < m.params.size(); ++i) {
        params[i].tdesc.vt = m.params[i].vt;
        params[i].paramdesc.wParamFlags = m.params[i].flags;
        if (m.params[i].flags & PARAMFLAG_FOPT)
            ++f->cParamsOpt;
    }
    if (d_.kind != TKIND_DISPATCH)
        f->oVft = static_cast<SHORT>((baseSlots() + index) * sizeof(void*));
    f->elemdescFunc.tdesc.vt = m.result;
    f->wFuncFlags = m.flags;
    *ppFuncDesc = f;
    return S_OK;
}

HRESULT TypeInformation::GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames,
                                  UINT* pcNames) {
    if (!rgBstrNames || !pcNames)
        return E_INVALIDARG;
    *pcNames = 0;
    const MemberDescription* m = member(memid);
    if (!m)
        return TYPE_E_ELEMENTNOTFOUND;
    UINT n = 0;
    auto put = [&](const std::u16string& name) {
        if (n >= cMaxNames)
            return true;
        if (!putBstr(&rgBstrNames[n], name, false))
            return false;
        ++n;
        return true;
    };
    bool ok = put(m->name);
    for (std::size_t i = 0; ok && i < m->params.size(); ++i)
        ok = put(m->params[i].name);
    if (!ok) {
        for (UINT i = 0; i < n; ++i) {
            SysFreeString(rgBstrNames[i]);
            rgBstrNames[i] = nullptr;
        }
        return E_OUTOFMEMORY;
    }
    *pcNames = n;
    return S_OK;
}

HRESULT TypeInformation::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) {
    if (!rgszNames || !pMemId || cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        pMemId[i] = MEMBERID_NIL;
    const MemberDescription* m = nullptr;
    for (const MemberDescription& candidate : d_.members) {
        if (nv::text::equalsIgnoreCase(candidate.name, nv::text::view(rgszNames[0]))) {
            m = &candidate;
            break;
        }
    }
    if (!m)
        return DISP_E_UNKNOWNNAME;
    pMemId[0] = m->id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < cNames; ++i) {
        for (std::size_t p = 0; p < m->params.size(); ++p) {
            if (nv::text::equalsIgnoreCase(m->params[p].name, nv::text::view(rgszNames[i]))) {
                pMemId[i] = static_cast<MEMBERID>(p);
                break;
            }
        }
        if (pMemId[i] == MEMBERID_NIL)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT TypeInformation::GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                          DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
    if (memid == MEMBERID_NIL)
        return document(d_.name, d_.help, d_.helpContext, library_.helpFile(), pBstrName,
                        pBstrDocString, pdwHelpContext, pBstrHelpFile);
    const MemberDescription* m = member(memid);
    if (!m)
        return TYPE_E_ELEMENTNOTFOUND;
    return document(m->name, m->help, m->helpContext, library_.helpFile(), pBstrName,
                    pBstrDocString, pdwHelpContext, pBstrHelpFile);
}

HRESULT TypeInformation::GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) {
    if (!ppTInfo)
        return E_INVALIDARG;
    *ppTInfo = nullptr;
    for (HREFTYPE h : implemented_) {
        if (h == hRefType) {
            *ppTInfo = library_.type(h);
            AddRef();
            return S_OK;
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT TypeInformation::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
    if (pIndex)
        *pIndex = index_;
    if (ppTLib) {
        library_.AddRef();
        *ppTLib = &library_;
    }
    return S_OK;
}

bool isInterfaceKind(TYPEKIND k) {
    return k == TKIND_DISPATCH || k == TKIND_INTERFACE;
}

bool valid(const LibraryDescription& d) {
    if (d.name.empty())
        return false;
    for (std::size_t i = 0; i < d.types.size(); ++i) {
        const TypeDescription& t = d.types[i];
        if (t.name.empty())
            return false;
        if (!isInterfaceKind(t.kind) && t.kind != TKIND_COCLASS)
            return false;
        if (t.kind == TKIND_COCLASS && !t.members.empty())
            return false;
        if (t.kind != TKIND_COCLASS && !t.implemented.empty())
            return false;
        for (const MemberDescription& m : t.members)
            if (m.name.empty())
                return false;
        for (std::size_t j = 0; j < i; ++j)
            if (d.types[j].guid == t.guid)
                return false;
    }
    return true;
}

}  // namespace

namespace nv::com {

HRESULT createTypeLib(const LibraryDescription& description, ITypeLib** out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (!valid(description))
        return E_INVALIDARG;
    return detail::guarded([&]() -> HRESULT {
        auto* library = new TypeLibrary(description);
        HRESULT hr = detail::guarded([&]() -> HRESULT {
            for (UINT i = 0; i < description.types.size(); ++i) {
                const TypeDescription& t = description.types[i];
                std::vector<HREFTYPE> implemented;
                for (const GUID& g : t.implemented) {
                    bool found = false;
                    for (UINT j = 0; j < description.types.size() && !found; ++j) {
                        if (description.types[j].guid == g &&
                            isInterfaceKind(description.types[j].kind)) {
                            implemented.push_back(j);
                            found = true;
                        }
                    }
                    if (!found)
                        return E_INVALIDARG;
                }
                library->addType(
                    std::make_unique<TypeInformation>(*library, i, t, std::move(implemented)));
            }
            return S_OK;
        });
        if (FAILED(hr)) {
            library->Release();
            return hr;
        }
        *out = library;
        return S_OK;
    });
}

}  // namespace nv::com
