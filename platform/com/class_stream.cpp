// Class IDs in streams, and saving / loading objects with their class.
#include "platform/com/activation.h"
#include "platform/com/com_ptr.h"
#include "platform/com/file_moniker.h"
#include "platform/com/guard.h"
#include "platform/com/persist.h"

namespace {

constexpr ULONG kClsidBytes = 16;

void encode(const CLSID& id, BYTE* out) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<BYTE>(id.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i)
        out[4 + i] = static_cast<BYTE>(id.Data2 >> (8 * i));
    for (int i = 0; i < 2; ++i)
        out[6 + i] = static_cast<BYTE>(id.Data3 >> (8 * i));
    for (int i = 0; i < 8; ++i)
        out[8 + i] = id.Data4[i];
}

CLSID decode(const BYTE* in) {
    CLSID id{};
    for (int i = 0; i < 4; ++i)
        id.Data1 |= DWORD{in[i]} << (8 * i);
    id.Data2 = static_cast<WORD>(in[4] | (in[5] << 8));
    id.Data3 = static_cast<WORD>(in[6] | (in[7] << 8));
    for (int i = 0; i < 8; ++i)
        id.Data4[i] = in[8 + i];
    return id;
}

HRESULT createForLoad(REFCLSID clsid, IPersistStream** out) {
    if (clsid == CLSID_FileMoniker) {
        IMoniker* moniker = nullptr;
        nv::com::detail::createFileMoniker(u"", &moniker);
        *out = moniker;
        return S_OK;
    }
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream,
                            reinterpret_cast<void**>(out));
}

}  // namespace

extern "C" {

HRESULT WriteClassStm(LPSTREAM pStm, REFCLSID rclsid) noexcept {
    if (!pStm)
        return E_INVALIDARG;
    BYTE bytes[kClsidBytes];
    encode(rclsid, bytes);
    ULONG written = 0;
    HRESULT hr = pStm->Write(bytes, kClsidBytes, &written);
    if (FAILED(hr))
        return hr;
    return written == kClsidBytes ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadClassStm(LPSTREAM pStm, CLSID* pclsid) noexcept {
    if (!pStm || !pclsid)
        return E_INVALIDARG;
    BYTE bytes[kClsidBytes];
    ULONG got = 0;
    HRESULT hr = pStm->Read(bytes, kClsidBytes, &got);
    if (FAILED(hr))
        return hr;
    if (got != kClsidBytes)
        return STG_E_READFAULT;
    *pclsid = decode(bytes);
    return S_OK;
}

HRESULT OleSaveToStream(LPPERSISTSTREAM pPStm, LPSTREAM pStm) noexcept {
    if (!pStm)
        return E_INVALIDARG;
    if (!pPStm)
        return WriteClassStm(pStm, CLSID_NULL);
    CLSID clsid;
    HRESULT hr = pPStm->GetClassID(&clsid);
    if (FAILED(hr))
        return hr;
    hr = WriteClassStm(pStm, clsid);
    if (FAILED(hr))
        return hr;
    return pPStm->Save(pStm, TRUE);
}

HRESULT OleLoadFromStream(LPSTREAM pStm, REFIID iidInterface, LPVOID* ppvObj) noexcept {
    if (!ppvObj)
        return E_INVALIDARG;
    *ppvObj = nullptr;
    if (!pStm)
        return E_INVALIDARG;
    return nv::com::detail::guarded([&]() -> HRESULT {
        CLSID clsid;
        HRESULT hr = ReadClassStm(pStm, &clsid);
        if (FAILED(hr))
            return hr;
        nv::com::ComPtr<IPersistStream> object;
        hr = createForLoad(clsid, object.put());
        if (FAILED(hr))
            return hr;
        hr = object->Load(pStm);
        if (FAILED(hr))
            return hr;
        return object->QueryInterface(iidInterface, ppvObj);
    });
}

}  // extern "C"
