// Uniform data transfer: IDataObject, its format and medium structures, data-change
// notification (IAdviseSink, IDataAdviseHolder) and the enumerators they use.
#pragma once

#include "platform/com/moniker.h"
#include "platform/com/stream.h"
#include "platform/com/unknown.h"
#include "platform/export.h"

// Predefined clipboard formats; registered formats start at 0xC000.
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_METAFILEPICT 3
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_UNICODETEXT 13
#define CF_ENHMETAFILE 14
#define CF_LOCALE 16

enum TYMED {
    TYMED_NULL = 0,
    TYMED_HGLOBAL = 1,
    TYMED_FILE = 2,
    TYMED_ISTREAM = 4,
    TYMED_ISTORAGE = 8,
    TYMED_GDI = 16,
    TYMED_MFPICT = 32,
    TYMED_ENHMF = 64,
};

enum DVASPECT {
    DVASPECT_CONTENT = 1,
    DVASPECT_THUMBNAIL = 2,
    DVASPECT_ICON = 4,
    DVASPECT_DOCPRINT = 8,
};

enum DATADIR { DATADIR_GET = 1, DATADIR_SET = 2 };

enum ADVF {
    ADVF_NODATA = 1,
    ADVF_PRIMEFIRST = 2,
    ADVF_ONLYONCE = 4,
    ADVFCACHE_NOHANDLER = 8,
    ADVFCACHE_FORCEBUILTIN = 16,
    ADVFCACHE_ONSAVE = 32,
    ADVF_DATAONSTOP = 64,
};

struct DVTARGETDEVICE {
    DWORD tdSize;  // bytes of the whole structure, tdData included
    WORD tdDriverNameOffset;
    WORD tdDeviceNameOffset;
    WORD tdPortNameOffset;
    WORD tdExtDevmodeOffset;
    BYTE tdData[1];
};

// ptd, when not null, is CoTaskMemAlloc'ed; whoever receives a FORMATETC from an
// enumerator frees it.
struct FORMATETC {
    CLIPFORMAT cfFormat;
    DVTARGETDEVICE* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};
typedef FORMATETC* LPFORMATETC;

// The medium a piece of data travels in. Released with ReleaseStgMedium: when
// pUnkForRelease is set, the provider still owns the data and only that reference is
// released (streams and storages are released either way).
struct STGMEDIUM {
    DWORD tymed;
    union {
        HBITMAP hBitmap;
        HMETAFILEPICT hMetaFilePict;
        HENHMETAFILE hEnhMetaFile;
        HGLOBAL hGlobal;
        LPOLESTR lpszFileName;
        IStream* pstm;
        IStorage* pstg;
    };
    IUnknown* pUnkForRelease;
};
typedef STGMEDIUM* LPSTGMEDIUM;

// CF_METAFILEPICT data: an HGLOBAL holding this structure.
struct METAFILEPICT {
    LONG mm;
    LONG xExt;
    LONG yExt;
    HMETAFILE hMF;
};

#define MM_TEXT 1
#define MM_HIMETRIC 3
#define MM_ANISOTROPIC 8

// The "Object Descriptor" / "Link Source Descriptor" clipboard data. The two strings
// (offsets from the start of the structure, 0 when absent) follow it in the same block.
struct OBJECTDESCRIPTOR {
    ULONG cbSize;
    CLSID clsid;
    DWORD dwDrawAspect;
    SIZEL sizel;
    POINTL pointl;
    DWORD dwStatus;
    DWORD dwFullUserTypeName;
    DWORD dwSrcOfCopy;
};
static_assert(sizeof(OBJECTDESCRIPTOR) == 52);

struct IAdviseSink;

// pAdvSink is a reference the receiver releases; formatetc.ptd is the receiver's to free.
struct STATDATA {
    FORMATETC formatetc;
    DWORD advf;
    IAdviseSink* pAdvSink;
    DWORD dwConnection;
};

struct IEnumFORMATETC : public IUnknown {
    // S_OK when celt items were fetched, S_FALSE when fewer.
    virtual HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFORMATETC** ppenum) = 0;

  protected:
    ~IEnumFORMATETC() = default;
};
NV_COM_INTERFACE_ID(IEnumFORMATETC, IID_IEnumFORMATETC);

struct IEnumSTATDATA : public IUnknown {
    virtual HRESULT Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumSTATDATA** ppenum) = 0;

  protected:
    ~IEnumSTATDATA() = default;
};
NV_COM_INTERFACE_ID(IEnumSTATDATA, IID_IEnumSTATDATA);

// Notifications; they return nothing, as on Windows.
struct IAdviseSink : public IUnknown {
    virtual void OnDataChange(FORMATETC* pFormatetc, STGMEDIUM* pStgmed) = 0;
    virtual void OnViewChange(DWORD dwAspect, LONG lindex) = 0;
    virtual void OnRename(IMoniker* pmk) = 0;
    virtual void OnSave() = 0;
    virtual void OnClose() = 0;

  protected:
    ~IAdviseSink() = default;
};
NV_COM_INTERFACE_ID(IAdviseSink, IID_IAdviseSink);

struct IDataObject : public IUnknown {
    // The medium is the caller's to release with ReleaseStgMedium.
    virtual HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) = 0;
    virtual HRESULT GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) = 0;
    virtual HRESULT QueryGetData(FORMATETC* pformatetc) = 0;
    virtual HRESULT GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) = 0;
    virtual HRESULT SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) = 0;
    virtual HRESULT EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) = 0;
    virtual HRESULT DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                            DWORD* pdwConnection) = 0;
    virtual HRESULT DUnadvise(DWORD dwConnection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** ppenumAdvise) = 0;

  protected:
    ~IDataObject() = default;
};
typedef IDataObject* LPDATAOBJECT;
NV_COM_INTERFACE_ID(IDataObject, IID_IDataObject);

// The standard holder a data object delegates DAdvise/DUnadvise/EnumDAdvise to.
struct IDataAdviseHolder : public IUnknown {
    virtual HRESULT Advise(IDataObject* pDataObject, FORMATETC* pFetc, DWORD advf,
                           IAdviseSink* pAdvise, DWORD* pdwConnection) = 0;
    virtual HRESULT Unadvise(DWORD dwConnection) = 0;
    virtual HRESULT EnumAdvise(IEnumSTATDATA** ppenumAdvise) = 0;
    virtual HRESULT SendOnDataChange(IDataObject* pDataObject, DWORD dwReserved, DWORD advf) = 0;

  protected:
    ~IDataAdviseHolder() = default;
};
typedef IDataAdviseHolder* LPDATAADVISEHOLDER;
NV_COM_INTERFACE_ID(IDataAdviseHolder, IID_IDataAdviseHolder);

extern "C" {

// Frees the medium's data as its tymed says (GlobalFree; DeleteMetaFile + GlobalFree for
// MFPICT; unlink + CoTaskMemFree of the name for files) unless pUnkForRelease is set, in which
// case the provider keeps the data; streams and storages are Released either way. Then
// releases pUnkForRelease and sets TYMED_NULL. GDI and enhanced metafile handles have no
// stand-in and are left alone.
NV_PLATFORM_API void ReleaseStgMedium(LPSTGMEDIUM pmedium) noexcept;
// *ppDAHolder receives the caller's reference to a standard holder. Advise with ADVF_PRIMEFIRST
// sends the current data at once; ADVF_NODATA sends TYMED_NULL media; ADVF_ONLYONCE drops the
// connection after one notification. Unadvise of an unknown connection gives OLE_E_NOCONNECTION.
// Sinks are called without any lock held.
NV_PLATFORM_API HRESULT CreateDataAdviseHolder(LPDATAADVISEHOLDER* ppDAHolder) noexcept;
// *ppenumfmtetc receives the caller's reference to an enumerator over a copy of the given
// formats (target devices deep-copied; the caller keeps owning rgfmtetc).
NV_PLATFORM_API HRESULT CreateFormatEnumerator(UINT cfmtetc, FORMATETC* rgfmtetc,
                                               IEnumFORMATETC** ppenumfmtetc) noexcept;

}  // extern "C"

namespace nv::com {

// Deep copy of a FORMATETC (the target device is duplicated with CoTaskMemAlloc). False,
// with out.ptd null, when that allocation fails.
NV_PLATFORM_API bool copyFormatEtc(FORMATETC& out, const FORMATETC& in);

}  // namespace nv::com
