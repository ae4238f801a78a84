// The dual interfaces of the wscom server, in vtable order, for clients that call them directly
// (late-bound clients use IDispatch with the DISPIDs of wscom_ids.h).
//
// Ownership follows Automation rules: [in] BSTRs stay the caller's; [out] BSTRs and VARIANTs
// are new values the caller frees (SysFreeString / VariantClear). [out] BSTR* parameters are
// set to null before the call proceeds; [out] VARIANT* parameters are cleared with
// VariantClear, so they must hold a valid (possibly empty) VARIANT.
#pragma once

#include "comserver/wscom_ids.h"
#include "platform/com/dispatch.h"
#include "platform/com/unknown.h"

// One field of a message structure (one parameter record) as properties.
struct IIOMessage : public IDispatch {
    virtual HRESULT get_level(LONG* pVal) = 0;
    virtual HRESULT put_level(LONG newVal) = 0;
    virtual HRESULT get_arrayMin(LONG* pVal) = 0;
    virtual HRESULT put_arrayMin(LONG newVal) = 0;
    virtual HRESULT get_arrayMax(LONG* pVal) = 0;
    virtual HRESULT put_arrayMax(LONG newVal) = 0;
    virtual HRESULT get_isArray(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isArray(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_isComplexType(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isComplexType(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_fieldName(BSTR* pVal) = 0;
    virtual HRESULT put_fieldName(BSTR newVal) = 0;
    virtual HRESULT get_info(BSTR* pVal) = 0;
    virtual HRESULT put_info(BSTR newVal) = 0;
    virtual HRESULT get_dataType(BSTR* pVal) = 0;
    virtual HRESULT put_dataType(BSTR newVal) = 0;
    virtual HRESULT get_theData(BSTR* pVal) = 0;
    virtual HRESULT put_theData(BSTR newVal) = 0;
    virtual HRESULT get_description(BSTR* pVal) = 0;
    virtual HRESULT put_description(BSTR newVal) = 0;
    virtual HRESULT get_isAttribute(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isAttribute(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_isSimpleDataField(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isSimpleDataField(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_hasEnumValues(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_hasEnumValues(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_isHeader(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isHeader(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_isRequired(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_isRequired(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_prefix(BSTR* pVal) = 0;
    virtual HRESULT put_prefix(BSTR newVal) = 0;

  protected:
    ~IIOMessage() = default;
};
NV_COM_INTERFACE_ID(IIOMessage, wscom::kIidIIOMessage);

// The engine's exports as methods of one object that owns one engine connection. Failures
// return E_FAIL with the engine's text in pErrMsg.
struct INVWSControl : public IDispatch {
    virtual HRESULT ConnectWSDL(BSTR WSDL, VARIANT* serviceArray, BSTR* pErrMsg) = 0;
    virtual HRESULT GetOperations(BSTR ServiceName, VARIANT* operationArray, BSTR* pErrMsg) = 0;
    virtual HRESULT GetInputStructure(BSTR operationName, VARIANT* parameterArray,
                                      BSTR* pErrMsg) = 0;
    virtual HRESULT GetOutputStructure(BSTR operationName, VARIANT* parameterArray,
                                       BSTR* pErrMsg) = 0;
    virtual HRESULT InvokeOperation(BSTR operationName, VARIANT* inputParameters,
                                    VARIANT* outputParameters, BSTR* pErrMsg) = 0;
    virtual HRESULT GetInputSoapMessage(BSTR operationName, VARIANT* inputParameters,
                                        BSTR* pSOAPMessage, BSTR* pErrMsg) = 0;
    virtual HRESULT GetOutputSoapMessage(BSTR operationName, BSTR* pSOAPMessage, BSTR* pErrMsg) = 0;
    virtual HRESULT EncryptPassword(BSTR proxyServer, BSTR password, BSTR* pEncryptedPW) = 0;
    virtual HRESULT DecryptPassword(BSTR proxyServer, BSTR encryptedPW, BSTR* pPassword) = 0;
    virtual HRESULT SetHTTPAuthentication(BSTR username, BSTR password, BSTR* pErrMsg) = 0;
    virtual HRESULT SetClipboard(BSTR wsdlURL, BSTR service, BSTR operation) = 0;
    virtual HRESULT GetInputStructureOfAType(BSTR ElementName, INT level, BSTR TypeName,
                                             VARIANT* parameterArray, BSTR* pErrMsg) = 0;

  protected:
    ~INVWSControl() = default;
};
NV_COM_INTERFACE_ID(INVWSControl, wscom::kIidINVWSControl);
