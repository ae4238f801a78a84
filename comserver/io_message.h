// CIOMessage: one parameter record as an Automation object (IIOMessage, IDispatch,
// IProvideClassInfo), creatable and aggregatable.
#pragma once

#include "comserver/io_message_fields.h"
#include "comserver/object_root.h"
#include "comserver/wscom_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/typeinfo.h"

namespace wscom {

// The server's private way into an IOMessage object's fields.
struct IIOMessageAccess : public IUnknown {
    virtual IoMessageFields& fields() = 0;
    // Identifies the copy of the server library the object belongs to.
    virtual const void* server() = 0;

  protected:
    ~IIOMessageAccess() = default;
};

inline constexpr IID kIidIIOMessageAccess = {
    0x5B0E3D71, 0x8C2A, 0x4F19, {0x9E, 0x47, 0x0A, 0x61, 0xC3, 0xD2, 0x58, 0x1B}};

// Creates a CIOMessage with the defaults (for the class factory).
HRESULT createIOMessage(IUnknown* outer, REFIID riid, void** ppv);

// The fields of `object` when it is an IOMessage object of this library (holder keeps the
// reference that makes them valid); null otherwise.
IoMessageFields* ownIOMessageFields(IUnknown* object, nv::com::ComPtr<IIOMessageAccess>& holder);

class CIOMessage final : public ObjectRoot,
                         public IIOMessage,
                         public IProvideClassInfo,
                         public IIOMessageAccess {
  public:
    explicit CIOMessage(IUnknown* outer) : ObjectRoot(outer) {}

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

    // IIOMessage
    HRESULT get_level(LONG* pVal) override;
    HRESULT put_level(LONG newVal) override;
    HRESULT get_arrayMin(LONG* pVal) override;
    HRESULT put_arrayMin(LONG newVal) override;
    HRESULT get_arrayMax(LONG* pVal) override;
    HRESULT put_arrayMax(LONG newVal) override;
    HRESULT get_isArray(VARIANT_BOOL* pVal) override;
    HRESULT put_isArray(VARIANT_BOOL newVal) override;
    HRESULT get_isComplexType(VARIANT_BOOL* pVal) override;
    HRESULT put_isComplexType(VARIANT_BOOL newVal) override;
    HRESULT get_fieldName(BSTR* pVal) override;
    HRESULT put_fieldName(BSTR newVal) override;
    HRESULT get_info(BSTR* pVal) override;
    HRESULT put_info(BSTR newVal) override;
    HRESULT get_dataType(BSTR* pVal) override;
    HRESULT put_dataType(BSTR newVal) override;
    HRESULT get_theData(BSTR* pVal) override;
    HRESULT put_theData(BSTR newVal) override;
    HRESULT get_description(BSTR* pVal) override;
    HRESULT put_description(BSTR newVal) override;
    HRESULT get_isAttribute(VARIANT_BOOL* pVal) override;
    HRESULT put_isAttribute(VARIANT_BOOL newVal) override;
    HRESULT get_isSimpleDataField(VARIANT_BOOL* pVal) override;
    HRESULT put_isSimpleDataField(VARIANT_BOOL newVal) override;
    HRESULT get_hasEnumValues(VARIANT_BOOL* pVal) override;
    HRESULT put_hasEnumValues(VARIANT_BOOL newVal) override;
    HRESULT get_isHeader(VARIANT_BOOL* pVal) override;
    HRESULT put_isHeader(VARIANT_BOOL newVal) override;
    HRESULT get_isRequired(VARIANT_BOOL* pVal) override;
    HRESULT put_isRequired(VARIANT_BOOL newVal) override;
    HRESULT get_prefix(BSTR* pVal) override;
    HRESULT put_prefix(BSTR newVal) override;

    // IProvideClassInfo
    HRESULT GetClassInfo(ITypeInfo** ppTI) override;

    // IIOMessageAccess
    IoMessageFields& fields() override { return f_; }
    const void* server() override;

  protected:
    IUnknown* findInterface(REFIID riid) override;

  private:
    IoMessageFields f_;
};

}  // namespace wscom
