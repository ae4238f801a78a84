// Small real COM objects the tests hand to the runtime: they count their references so tests
// can check who AddRefs and who releases.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/com_ptr.h"
#include "platform/com/data_object.h"

namespace nv::test {

// CoInitializeEx for the lifetime of a scope.
class ComInit {
  public:
    explicit ComInit(DWORD model = COINIT_MULTITHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComInit() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    HRESULT result() const { return hr_; }

  private:
    HRESULT hr_;
};

// An IUnknown whose references the test can read; `destroyed` turns true when the last one
// goes. Created with one reference, owned by the creator.
class CountedObject final : public IUnknown {
  public:
    explicit CountedObject(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~CountedObject() {
        if (destroyed_)
            *destroyed_ = true;
    }
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    ULONG refs() const { return refs_; }

  private:
    std::atomic<ULONG> refs_{1};
    bool* destroyed_;
};

// A data object offering CF_TEXT (HGLOBAL), a registered "Sondar Test Stream" format
// (ISTREAM) and CF_METAFILEPICT, with advise connections through a standard holder.
class TextDataObject final : public IDataObject {
  public:
    explicit TextDataObject(std::string text, bool* destroyed = nullptr);
    ~TextDataObject();

    static CLIPFORMAT streamFormat();
    void setText(std::string text);  // and notifies the advise sinks
    ULONG refs() const { return refs_; }
    int getDataCalls() const { return getDataCalls_; }
    // Makes EnumFormatEtc fail, to test callers' error paths.
    void failEnumeration(bool fail) { failEnum_ = fail; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT QueryGetData(FORMATETC* pformatetc) override;
    HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    HRESULT DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                    DWORD* pdwConnection) override;
    HRESULT DUnadvise(DWORD dwConnection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

  private:
    std::atomic<ULONG> refs_{1};
    bool* destroyed_;
    std::string text_;
    int getDataCalls_ = 0;
    bool failEnum_ = false;
    nv::com::ComPtr<IDataAdviseHolder> holder_;
};

// Records the notifications it receives.
class RecordingSink final : public IAdviseSink {
  public:
    struct Change {
        CLIPFORMAT format;
        DWORD tymed;
        std::string text;  // contents of an HGLOBAL medium
    };

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    void OnDataChange(FORMATETC* pFormatetc, STGMEDIUM* pStgmed) override;
    void OnViewChange(DWORD, LONG) override {}
    void OnRename(IMoniker*) override {}
    void OnSave() override {}
    void OnClose() override {}

    ULONG refs() const { return refs_; }
    std::vector<Change> changes;

  private:
    std::atomic<ULONG> refs_{1};
};

// Text of an HGLOBAL (without a terminating NUL).
std::string globalText(HGLOBAL h);
// A new moveable HGLOBAL holding `text` and a NUL.
HGLOBAL globalFromText(const std::string& text);

}  // namespace nv::test
