// IPersist, IPersistStream and IPersistFile, and saving objects to streams with their class.
#pragma once

#include "platform/com/stream.h"
#include "platform/com/unknown.h"
#include "platform/export.h"

struct IPersist : public IUnknown {
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;

  protected:
    ~IPersist() = default;
};
NV_COM_INTERFACE_ID(IPersist, IID_IPersist);

struct IPersistStream : public IPersist {
    // S_OK when there are unsaved changes, S_FALSE otherwise.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* pStm) = 0;
    virtual HRESULT Save(IStream* pStm, BOOL fClearDirty) = 0;
    virtual HRESULT GetSizeMax(ULARGE_INTEGER* pcbSize) = 0;

  protected:
    ~IPersistStream() = default;
};
typedef IPersistStream* LPPERSISTSTREAM;
NV_COM_INTERFACE_ID(IPersistStream, IID_IPersistStream);

struct IPersistFile : public IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(LPCOLESTR pszFileName, DWORD dwMode) = 0;
    virtual HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR pszFileName) = 0;
    // *ppszFileName is CoTaskMemAlloc'ed for the caller to free.
    virtual HRESULT GetCurFile(LPOLESTR* ppszFileName) = 0;

  protected:
    ~IPersistFile() = default;
};
NV_COM_INTERFACE_ID(IPersistFile, IID_IPersistFile);

extern "C" {

// Writes the object's class (WriteClassStm) then IPersistStream::Save(pStm, TRUE). A null
// pPStm writes CLSID_NULL and succeeds.
NV_PLATFORM_API HRESULT OleSaveToStream(LPPERSISTSTREAM pPStm, LPSTREAM pStm) noexcept;
// Reads a class (ReadClassStm), creates it (the runtime's own file monikers directly, other
// classes with CoCreateInstance(CLSCTX_INPROC_SERVER)), loads it with IPersistStream::Load
// and returns interface iidInterface of it.
NV_PLATFORM_API HRESULT OleLoadFromStream(LPSTREAM pStm, REFIID iidInterface,
                                          LPVOID* ppvObj) noexcept;

}  // extern "C"
