// CNVWSControl: the engine's exports as an Automation object (INVWSControl, IDispatch) that
// owns one engine connection, plus the clipboard link data object (IDataObject, IPersistFile,
// IPersist) and IProvideClassInfo. Creatable and aggregatable.
#pragma once

#include <cstdint>

#include "comserver/object_root.h"
#include "comserver/wscom_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/data_object.h"
#include "platform/com/persist.h"
#include "platform/com/safearray.h"
#include "platform/com/typeinfo.h"

namespace wscom {

// Creates a CNVWSControl (for the class factory). Refreshes the server's registration first;
// its outcome is ignored.
HRESULT createNVWSControl(IUnknown* outer, REFIID riid, void** ppv);

class CNVWSControl final : public ObjectRoot,
                           public INVWSControl,
                           public IDataObject,
                           public IPersistFile,
                           public IProvideClassInfo {
  public:
    explicit CNVWSControl(IUnknown* outer) : ObjectRoot(outer) {}
    // Releases the engine connection (also when none was made: the engine ignores id 0).
    ~CNVWSControl() override;

    // IUnknown (delegating)
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        return delegateQueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return delegateAddRef(); }
    ULONG Release() override { return delegateRelease(); }

    // IDispatch
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

    // INVWSControl
    HRESULT ConnectWSDL(BSTR WSDL, VARIANT* serviceArray, BSTR* pErrMsg) override;
    HRESULT GetOperations(BSTR ServiceName, VARIANT* operationArray, BSTR* pErrMsg) override;
    HRESULT GetInputStructure(BSTR operationName, VARIANT* parameterArray, BSTR* pErrMsg) override;
    HRESULT GetOutputStructure(BSTR operationName, VARIANT* parameterArray, BSTR* pErrMsg) override;
    HRESULT InvokeOperation(BSTR operationName, VARIANT* inputParameters, VARIANT* outputParameters,
                            BSTR* pErrMsg) override;
    HRESULT GetInputSoapMessage(BSTR operationName, VARIANT* inputParameters, BSTR* pSOAPMessage,
                                BSTR* pErrMsg) override;
    HRESULT GetOutputSoapMessage(BSTR operationName, BSTR* pSOAPMessage, BSTR* pErrMsg) override;
    HRESULT EncryptPassword(BSTR proxyServer, BSTR password, BSTR* pEncryptedPW) override;
    HRESULT DecryptPassword(BSTR proxyServer, BSTR encryptedPW, BSTR* pPassword) override;
    HRESULT SetHTTPAuthentication(BSTR username, BSTR password, BSTR* pErrMsg) override;
    HRESULT SetClipboard(BSTR wsdlURL, BSTR service, BSTR operation) override;
    HRESULT GetInputStructureOfAType(BSTR ElementName, INT level, BSTR TypeName,
                                     VARIANT* parameterArray, BSTR* pErrMsg) override;

    // IDataObject: the clipboard link (plain text, metafile, "Link Source" and
    // "Link Source Descriptor").
    HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
    HRESULT QueryGetData(FORMATETC* pformatetc) override;
    HRESULT GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
    HRESULT SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
    HRESULT EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    HRESULT DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                    DWORD* pdwConnection) override;
    HRESULT DUnadvise(DWORD dwConnection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

    // IPersist / IPersistFile: only what binding the link moniker needs.
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT IsDirty() override;
    HRESULT Load(LPCOLESTR pszFileName, DWORD dwMode) override;
    HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) override;
    HRESULT SaveCompleted(LPCOLESTR pszFileName) override;
    HRESULT GetCurFile(LPOLESTR* ppszFileName) override;

    // IProvideClassInfo
    HRESULT GetClassInfo(ITypeInfo** ppTI) override;

  protected:
    IUnknown* findInterface(REFIID riid) override;

  private:
    // Turns a string block from the engine (freed here) into the object's name array and a
    // copy of it in `out`.
    HRESULT deliverNames(char16_t* block, int32_t count, VARIANT* out);
    // The registered "Link Source" and "Link Source Descriptor" format ids.
    void registerLinkFormats();
    HRESULT renderLinkSource(STGMEDIUM* medium);

    int32_t connectionId_ = 0;
    SAFEARRAY* names_ = nullptr;  // owned; the last name array handed out
    CLIPFORMAT linkSourceFormat_ = 0;
    CLIPFORMAT linkDescriptorFormat_ = 0;
    DWORD rotCookie_ = 0;  // the link's current running-object registration
    nv::com::ComPtr<IDataAdviseHolder> adviseHolder_;
};

}  // namespace wscom
