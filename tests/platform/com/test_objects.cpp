#include "tests/platform/com/test_objects.h"

#include <cstring>

#include "platform/com/clipboard.h"
#include "platform/com/global_memory.h"
#include "platform/com/metafile.h"

namespace nv::test {

HRESULT CountedObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown)
        return E_NOINTERFACE;
    *ppv = this;
    AddRef();
    return S_OK;
}

ULONG CountedObject::Release() {
    ULONG n = --refs_;
    if (n == 0)
        delete this;
    return n;
}

std::string globalText(HGLOBAL h) {
    SIZE_T size = GlobalSize(h);
    const char* p = static_cast<const char*>(GlobalLock(h));
    if (!p)
        return {};
    std::string s(p, size);
    GlobalUnlock(h);
    if (!s.empty() && s.back() == '\0')
        s.pop_back();
    return s;
}

HGLOBAL globalFromText(const std::string& text) {
    HGLOBAL h = GlobalAlloc(GHND, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    return h;
}

TextDataObject::TextDataObject(std::string text, bool* destroyed)
    : destroyed_(destroyed), text_(std::move(text)) {
    CreateDataAdviseHolder(holder_.put());
}

TextDataObject::~TextDataObject() {
    if (destroyed_)
        *destroyed_ = true;
}

CLIPFORMAT TextDataObject::streamFormat() {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(u"Sondar Test Stream"));
}

void TextDataObject::setText(std::string text) {
    text_ = std::move(text);
    holder_->SendOnDataChange(this, 0, 0);
}

HRESULT TextDataObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDataObject)
        return E_NOINTERFACE;
    *ppv = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

ULONG TextDataObject::Release() {
    ULONG n = --refs_;
    if (n == 0)
        delete this;
    return n;
}

HRESULT TextDataObject::QueryGetData(FORMATETC* f) {
    if (!f)
        return E_INVALIDARG;
    if (f->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (f->cfFormat == CF_TEXT)
        return (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    if (f->cfFormat == streamFormat())
        return (f->tymed & TYMED_ISTREAM) ? S_OK : DV_E_TYMED;
    if (f->cfFormat == CF_METAFILEPICT)
        return (f->tymed & TYMED_MFPICT) ? S_OK : DV_E_TYMED;
    return DV_E_FORMATETC;
}

HRESULT TextDataObject::GetData(FORMATETC* f, STGMEDIUM* medium) {
    if (!medium)
        return E_INVALIDARG;
    HRESULT hr = QueryGetData(f);
    if (FAILED(hr))
        return hr;
    ++getDataCalls_;
    *medium = STGMEDIUM{};
    if (f->cfFormat == CF_TEXT) {
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = globalFromText(text_);
    } else if (f->cfFormat == streamFormat()) {
        IStream* stm = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &stm);
        stm->Write(text_.data(), static_cast<ULONG>(text_.size()), nullptr);
        LARGE_INTEGER zero{};
        stm->Seek(zero, STREAM_SEEK_SET, nullptr);
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = stm;
    } else {
        HGLOBAL h = GlobalAlloc(GHND, sizeof(METAFILEPICT));
        auto* pict = static_cast<METAFILEPICT*>(GlobalLock(h));
        pict->mm = MM_ANISOTROPIC;
        pict->xExt = 100;
        pict->yExt = 50;
        pict->hMF = SetMetaFileBitsEx(static_cast<UINT>(text_.size()),
                                      reinterpret_cast<const BYTE*>(text_.data()));
        GlobalUnlock(h);
        medium->tymed = TYMED_MFPICT;
        medium->hMetaFilePict = h;
    }
    return S_OK;
}

HRESULT TextDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenum) {
    if (!ppenum)
        return E_INVALIDARG;
    *ppenum = nullptr;
    if (failEnum_)
        return E_OUTOFMEMORY;
    if (dwDirection != DATADIR_GET)
        return E_NOTIMPL;
    FORMATETC formats[] = {
        {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
        {streamFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM},
        {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT},
    };
    return CreateFormatEnumerator(3, formats, ppenum);
}

HRESULT TextDataObject::DAdvise(FORMATETC* f, DWORD advf, IAdviseSink* sink, DWORD* connection) {
    return holder_->Advise(this, f, advf, sink, connection);
}

HRESULT TextDataObject::DUnadvise(DWORD connection) {
    return holder_->Unadvise(connection);
}

HRESULT TextDataObject::EnumDAdvise(IEnumSTATDATA** ppenum) {
    return holder_->EnumAdvise(ppenum);
}

HRESULT RecordingSink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IAdviseSink)
        return E_NOINTERFACE;
    *ppv = static_cast<IAdviseSink*>(this);
    AddRef();
    return S_OK;
}

ULONG RecordingSink::Release() {
    ULONG n = --refs_;
    if (n == 0)
        delete this;
    return n;
}

void RecordingSink::OnDataChange(FORMATETC* f, STGMEDIUM* medium) {
    Change c{f->cfFormat, medium->tymed, {}};
    if (medium->tymed == TYMED_HGLOBAL)
        c.text = globalText(medium->hGlobal);
    changes.push_back(c);
}

}  // namespace nv::test
