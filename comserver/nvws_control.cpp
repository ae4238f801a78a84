#include "comserver/nvws_control.h"

#include "comserver/guarded.h"
#include "comserver/input_records.h"
#include "comserver/name_array.h"
#include "comserver/output_records.h"
#include "comserver/registration.h"
#include "comserver/type_library.h"
#include "engine/api/wscore.h"
#include "platform/com/clipboard.h"
#include "platform/com/iids.h"
#include "platform/com/task_memory.h"

namespace wscom {

namespace {

// The engine reports failure by the error text alone: a method fails when it is set.
HRESULT byErrorText(const BSTR* pErrMsg) {
    return *pErrMsg ? E_FAIL : S_OK;
}

// For the exports whose success is their result.
HRESULT byResult(int32_t result) {
    return result ? S_OK : E_FAIL;
}

}  // namespace

HRESULT createNVWSControl(IUnknown* outer, REFIID riid, void** ppv) {
    // Keeps the registration in step with this file; a registry that cannot be written is
    // no reason to refuse the object.
    registerServer(RegistrationScope::Refresh);
    auto* object = new CNVWSControl(outer);
    return ObjectRoot::handOut(object, outer != nullptr, riid, ppv);
}

CNVWSControl::~CNVWSControl() {
    ReleaseConnection(connectionId_);
    SafeArrayDestroy(names_);
}

IUnknown* CNVWSControl::findInterface(REFIID riid) {
    if (riid == kIidINVWSControl || riid == IID_IDispatch)
        return static_cast<INVWSControl*>(this);
    if (riid == IID_IDataObject)
        return static_cast<IDataObject*>(this);
    if (riid == IID_IPersistFile || riid == IID_IPersist)
        return static_cast<IPersistFile*>(this);
    if (riid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

HRESULT CNVWSControl::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT CNVWSControl::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return typeInfo(kIidINVWSControl, ppTInfo);
}

HRESULT CNVWSControl::GetClassInfo(ITypeInfo** ppTI) {
    if (!ppTI)
        return E_POINTER;
    return typeInfo(kClsidNVWSControl, ppTI);
}

HRESULT CNVWSControl::deliverNames(char16_t* block, int32_t count, VARIANT* out) {
    SafeArrayDestroy(names_);
    names_ = nullptr;
    HRESULT hr = nameArrayFromBlock(block, count, &names_);
    if (FAILED(hr))
        return hr;
    return storeArrayCopy(names_, out);
}

HRESULT CNVWSControl::ConnectWSDL(BSTR WSDL, VARIANT* serviceArray, BSTR* pErrMsg) {
    if (!serviceArray || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    VariantClear(serviceArray);
    char16_t* block = nullptr;
    int32_t count = 0;
    // A connection id of 0 makes the engine create the connection and write its id back,
    // also when the load fails; later calls reuse it.
    WSDLConnect(&connectionId_, 0, 0, WSDL, &block, &count, pErrMsg, nullptr, 0, 0, 0, nullptr,
                nullptr);
    if (*pErrMsg) {
        CoTaskMemFree(block);
        return E_FAIL;
    }
    return deliverNames(block, count, serviceArray);
}

HRESULT CNVWSControl::GetOperations(BSTR ServiceName, VARIANT* operationArray, BSTR* pErrMsg) {
    if (!operationArray || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    VariantClear(operationArray);
    char16_t* block = nullptr;
    int32_t count = 0;
    ::GetOperations(connectionId_, ServiceName, &block, &count, pErrMsg);
    if (*pErrMsg) {
        CoTaskMemFree(block);
        return E_FAIL;
    }
    return deliverNames(block, count, operationArray);
}

HRESULT CNVWSControl::GetInputStructure(BSTR operationName, VARIANT* parameterArray,
                                        BSTR* pErrMsg) {
    if (!parameterArray || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    VariantClear(parameterArray);  // the incoming value is not read
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    ::GetInputStructure(connectionId_, operationName, &records, &count, pErrMsg);
    if (*pErrMsg) {
        freeEngineRecords(records, count);
        return E_FAIL;
    }
    return ioMessageArrayFromRecords(records, count, parameterArray);
}

HRESULT CNVWSControl::GetOutputStructure(BSTR operationName, VARIANT* parameterArray,
                                         BSTR* pErrMsg) {
    if (!parameterArray || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    VariantClear(parameterArray);
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    ::GetOutputStructure(connectionId_, operationName, &records, &count, pErrMsg);
    if (*pErrMsg) {
        freeEngineRecords(records, count);
        return E_FAIL;
    }
    return ioMessageArrayFromRecords(records, count, parameterArray);
}

HRESULT CNVWSControl::GetInputStructureOfAType(BSTR ElementName, INT level, BSTR TypeName,
                                               VARIANT* parameterArray, BSTR* pErrMsg) {
    if (!parameterArray || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    VariantClear(parameterArray);
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    ::GetInputStructureOfAType(connectionId_, ElementName, level, TypeName, &records, &count,
                               pErrMsg);
    if (*pErrMsg) {
        freeEngineRecords(records, count);
        return E_FAIL;
    }
    return ioMessageArrayFromRecords(records, count, parameterArray);
}

HRESULT CNVWSControl::InvokeOperation(BSTR operationName, VARIANT* inputParameters,
                                      VARIANT* outputParameters, BSTR* pErrMsg) {
    if (!outputParameters || !pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    // InputRecords may run out of memory while it gathers the array.
    return guarded([&]() -> HRESULT {
        ParameterRecord* records = nullptr;
        int32_t count = 0;
        {
            // Read before the output is cleared: a caller may pass one variable as both.
            InputRecords input;
            HRESULT hr = input.build(inputParameters);
            VariantClear(outputParameters);
            if (FAILED(hr))
                return hr;
            // The export's result is not looked at: the error text tells.
            ::InvokeOperation(connectionId_, operationName, input.data(), input.count(), &records,
                              &count, pErrMsg);
        }
        if (*pErrMsg) {
            freeEngineRecords(records, count);
            return E_FAIL;
        }
        return ioMessageArrayFromRecords(records, count, outputParameters);
    });
}

HRESULT CNVWSControl::GetInputSoapMessage(BSTR operationName, VARIANT* inputParameters,
                                          BSTR* pSOAPMessage, BSTR* pErrMsg) {
    if (!pSOAPMessage || !pErrMsg)
        return E_POINTER;
    *pSOAPMessage = nullptr;
    *pErrMsg = nullptr;
    return guarded([&]() -> HRESULT {
        InputRecords input;
        HRESULT hr = input.build(inputParameters);
        if (FAILED(hr))
            return hr;
        ::GetInputSoapMessage(connectionId_, operationName, input.data(), input.count(),
                              pSOAPMessage, pErrMsg);
        return byErrorText(pErrMsg);
    });
}

HRESULT CNVWSControl::GetOutputSoapMessage(BSTR operationName, BSTR* pSOAPMessage, BSTR* pErrMsg) {
    if (!pSOAPMessage || !pErrMsg)
        return E_POINTER;
    *pSOAPMessage = nullptr;
    *pErrMsg = nullptr;
    return byResult(::GetOutputSoapMessage(connectionId_, operationName, pSOAPMessage, pErrMsg));
}

HRESULT CNVWSControl::EncryptPassword(BSTR proxyServer, BSTR password, BSTR* pEncryptedPW) {
    if (!pEncryptedPW)
        return E_POINTER;
    *pEncryptedPW = nullptr;
    return byResult(::EncryptPassword(proxyServer, password, pEncryptedPW));
}

HRESULT CNVWSControl::DecryptPassword(BSTR proxyServer, BSTR encryptedPW, BSTR* pPassword) {
    if (!pPassword)
        return E_POINTER;
    *pPassword = nullptr;
    return byResult(::DecryptPassword(proxyServer, encryptedPW, pPassword));
}

HRESULT CNVWSControl::SetHTTPAuthentication(BSTR username, BSTR password, BSTR* pErrMsg) {
    if (!pErrMsg)
        return E_POINTER;
    *pErrMsg = nullptr;
    return byResult(::SetHTTPAuthentication(connectionId_, username, password, pErrMsg));
}

// The arguments are not used: the link offers the same data whatever they are.
HRESULT CNVWSControl::SetClipboard(BSTR, BSTR, BSTR) {
    return OleSetClipboard(static_cast<IDataObject*>(this));
}

}  // namespace wscom
