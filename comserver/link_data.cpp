// The control object as a clipboard data object: a link to the running workbench. It offers
// a fixed plain text, a metafile picture it never renders, the "Link Source" (a file moniker
// naming the program, registered in the running object table) and its descriptor.
#include <cstddef>
#include <cstring>

#include "comserver/nvws_control.h"
#include "comserver/wscom_ids.h"
#include "platform/com/clipboard.h"
#include "platform/com/global_memory.h"
#include "platform/com/moniker.h"
#include "platform/com/stream.h"
#include "platform/com/task_memory.h"

namespace wscom {

namespace {

constexpr char kPlainText[] = "A whole bunch of text strings";
constexpr char16_t kLinkSourceName[] = u"Link Source";
constexpr char16_t kLinkDescriptorName[] = u"Link Source Descriptor";
constexpr char16_t kLinkedProgram[] = u"Sondar.exe";

constexpr std::size_t kDescriptorSize = 92;
static_assert(sizeof(OBJECTDESCRIPTOR) + sizeof(kNVWSControlFriendlyName) == kDescriptorSize);

FORMATETC format(CLIPFORMAT cf, DWORD tymed) {
    return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
}

HRESULT globalBlock(const void* bytes, std::size_t size, STGMEDIUM* medium) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return E_OUTOFMEMORY;
    void* data = GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    std::memcpy(data, bytes, size);
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT renderDescriptor(STGMEDIUM* medium) {
    unsigned char bytes[kDescriptorSize] = {};
    OBJECTDESCRIPTOR d{};
    d.cbSize = kDescriptorSize;
    d.clsid = kClsidNVWSControl;
    d.dwDrawAspect = DVASPECT_CONTENT;
    d.dwStatus = 0;
    d.dwFullUserTypeName = sizeof(OBJECTDESCRIPTOR);
    d.dwSrcOfCopy = 0;
    std::memcpy(bytes, &d, sizeof d);
    std::memcpy(bytes + sizeof d, kNVWSControlFriendlyName, sizeof(kNVWSControlFriendlyName));
    return globalBlock(bytes, sizeof bytes, medium);
}

}  // namespace

void CNVWSControl::registerLinkFormats() {
    if (!linkSourceFormat_)
        linkSourceFormat_ = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(kLinkSourceName));
    if (!linkDescriptorFormat_)
        linkDescriptorFormat_ =
            static_cast<CLIPFORMAT>(RegisterClipboardFormatW(kLinkDescriptorName));
}

HRESULT CNVWSControl::renderLinkSource(STGMEDIUM* medium) {
    nv::com::ComPtr<IMoniker> moniker;
    HRESULT hr = CreateFileMoniker(kLinkedProgram, moniker.put());
    if (FAILED(hr))
        return hr;
    IRunningObjectTable* table = nullptr;  // process-wide; its references are not counted
    hr = GetRunningObjectTable(0, &table);
    if (FAILED(hr))
        return hr;
    if (rotCookie_) {
        table->Revoke(rotCookie_);
        rotCookie_ = 0;
    }
    // Kept alive by the table so a link can still be bound once the clipboard lets go.
    DWORD cookie = 0;
    hr = table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, controllingUnknown(), moniker.get(),
                         &cookie);
    if (FAILED(hr))
        return hr;
    if (hr == MK_S_MONIKERALREADYREGISTERED)
        table->Revoke(cookie);  // another object already answers for the name
    else
        rotCookie_ = cookie;

    nv::com::ComPtr<IStream> stream;
    hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    if (SUCCEEDED(hr))
        hr = OleSaveToStream(moniker.get(), stream.get());
    if (SUCCEEDED(hr))
        hr = WriteClassStm(stream.get(), kClsidNVWSControl);
    if (SUCCEEDED(hr)) {
        LARGE_INTEGER start{};
        hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    }
    if (FAILED(hr))
        return hr;
    medium->tymed = TYMED_ISTREAM;
    medium->pstm = stream.detach();
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CNVWSControl::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) {
    if (!pformatetcIn || !pmedium)
        return E_INVALIDARG;
    std::memset(pmedium, 0, sizeof *pmedium);
    registerLinkFormats();
    CLIPFORMAT cf = pformatetcIn->cfFormat;
    DWORD tymed = pformatetcIn->tymed;
    if (cf == CF_TEXT)
        return tymed & TYMED_HGLOBAL ? globalBlock(kPlainText, sizeof kPlainText, pmedium)
                                     : DV_E_TYMED;
    if (cf == linkSourceFormat_)
        return tymed & TYMED_ISTREAM ? renderLinkSource(pmedium) : DV_E_TYMED;
    if (cf == linkDescriptorFormat_)
        return tymed & TYMED_HGLOBAL ? renderDescriptor(pmedium) : DV_E_TYMED;
    // The metafile picture is offered but never drawn, like any other format.
    return E_NOTIMPL;
}

HRESULT CNVWSControl::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT CNVWSControl::QueryGetData(FORMATETC* pformatetc) {
    if (!pformatetc)
        return E_INVALIDARG;
    registerLinkFormats();
    CLIPFORMAT cf = pformatetc->cfFormat;
    bool offered = cf == CF_TEXT || cf == CF_METAFILEPICT || cf == linkSourceFormat_ ||
                   cf == linkDescriptorFormat_;
    return offered ? S_OK : DV_E_FORMATETC;
}

HRESULT CNVWSControl::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut) {
    if (pformatetcOut)
        pformatetcOut->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT CNVWSControl::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT CNVWSControl::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) {
    if (!ppenumFormatEtc)
        return E_INVALIDARG;
    *ppenumFormatEtc = nullptr;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    registerLinkFormats();
    FORMATETC formats[] = {format(CF_TEXT, TYMED_HGLOBAL), format(CF_METAFILEPICT, TYMED_MFPICT),
                           format(linkSourceFormat_, TYMED_ISTREAM),
                           format(linkDescriptorFormat_, TYMED_HGLOBAL)};
    return CreateFormatEnumerator(4, formats, ppenumFormatEtc);
}

HRESULT CNVWSControl::DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                              DWORD* pdwConnection) {
    if (!adviseHolder_) {
        HRESULT hr = CreateDataAdviseHolder(adviseHolder_.put());
        if (FAILED(hr))
            return hr;
    }
    return adviseHolder_->Advise(static_cast<IDataObject*>(this), pformatetc, advf, pAdvSink,
                                 pdwConnection);
}

HRESULT CNVWSControl::DUnadvise(DWORD dwConnection) {
    if (!adviseHolder_)
        return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(dwConnection);
}

HRESULT CNVWSControl::EnumDAdvise(IEnumSTATDATA** ppenumAdvise) {
    if (!ppenumAdvise)
        return E_INVALIDARG;
    *ppenumAdvise = nullptr;
    if (!adviseHolder_) {
        HRESULT hr = CreateDataAdviseHolder(adviseHolder_.put());
        if (FAILED(hr))
            return hr;
    }
    return adviseHolder_->EnumAdvise(ppenumAdvise);
}

HRESULT CNVWSControl::GetClassID(CLSID* pClassID) {
    if (!pClassID)
        return E_POINTER;
    *pClassID = kClsidNVWSControl;
    return S_OK;
}

// Binding the link needs only the class; there is no file behind it.
HRESULT CNVWSControl::IsDirty() {
    return S_OK;
}
HRESULT CNVWSControl::Load(LPCOLESTR, DWORD) {
    return S_OK;
}
HRESULT CNVWSControl::Save(LPCOLESTR, BOOL) {
    return S_OK;
}
HRESULT CNVWSControl::SaveCompleted(LPCOLESTR) {
    return S_OK;
}
HRESULT CNVWSControl::GetCurFile(LPOLESTR* ppszFileName) {
    if (ppszFileName)
        *ppszFileName = nullptr;
    return S_OK;
}

}  // namespace wscom
