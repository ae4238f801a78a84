#include "comserver/io_message.h"

#include <new>

#include "comserver/type_library.h"
#include "platform/com/iids.h"

namespace wscom {

namespace {

// Its address tells this copy of the library from any other loaded copy.
const char gServerToken = 0;

HRESULT getValue(LONG value, LONG* out) {
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT getValue(VARIANT_BOOL value, VARIANT_BOOL* out) {
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

}  // namespace

HRESULT createIOMessage(IUnknown* outer, REFIID riid, void** ppv) {
    // The defaults are set by the fields' constructor; std::bad_alloc becomes E_OUTOFMEMORY.
    auto* object = new CIOMessage(outer);
    return ObjectRoot::handOut(object, outer != nullptr, riid, ppv);
}

IoMessageFields* ownIOMessageFields(IUnknown* object, nv::com::ComPtr<IIOMessageAccess>& holder) {
    holder.reset();
    if (!object || FAILED(object->QueryInterface(kIidIIOMessageAccess, holder.putVoid())) ||
        !holder)
        return nullptr;
    if (holder->server() != &gServerToken) {
        holder.reset();
        return nullptr;
    }
    return &holder->fields();
}

IUnknown* CIOMessage::findInterface(REFIID riid) {
    if (riid == kIidIIOMessage || riid == IID_IDispatch)
        return static_cast<IIOMessage*>(this);
    if (riid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo*>(this);
    if (riid == kIidIIOMessageAccess)
        return static_cast<IIOMessageAccess*>(this);
    return nullptr;
}

const void* CIOMessage::server() {
    return &gServerToken;
}

HRESULT CIOMessage::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT CIOMessage::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return typeInfo(kIidIIOMessage, ppTInfo);
}

HRESULT CIOMessage::GetClassInfo(ITypeInfo** ppTI) {
    if (!ppTI)
        return E_POINTER;
    return typeInfo(kClsidIOMessage, ppTI);
}

// Numbers and booleans are stored as given, with no range check.
HRESULT CIOMessage::get_level(LONG* pVal) {
    return getValue(f_.level, pVal);
}
HRESULT CIOMessage::put_level(LONG newVal) {
    f_.level = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_arrayMin(LONG* pVal) {
    return getValue(f_.arrayMin, pVal);
}
HRESULT CIOMessage::put_arrayMin(LONG newVal) {
    f_.arrayMin = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_arrayMax(LONG* pVal) {
    return getValue(f_.arrayMax, pVal);
}
HRESULT CIOMessage::put_arrayMax(LONG newVal) {
    f_.arrayMax = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_isArray(VARIANT_BOOL* pVal) {
    return getValue(f_.isArray, pVal);
}
HRESULT CIOMessage::put_isArray(VARIANT_BOOL newVal) {
    f_.isArray = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_isComplexType(VARIANT_BOOL* pVal) {
    return getValue(f_.isComplexType, pVal);
}
HRESULT CIOMessage::put_isComplexType(VARIANT_BOOL newVal) {
    f_.isComplexType = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_fieldName(BSTR* pVal) {
    return copyString(f_.fieldName, pVal);
}
HRESULT CIOMessage::put_fieldName(BSTR newVal) {
    return storeString(f_.fieldName, newVal);
}
HRESULT CIOMessage::get_info(BSTR* pVal) {
    return copyString(f_.info, pVal);
}
HRESULT CIOMessage::put_info(BSTR newVal) {
    return storeString(f_.info, newVal);
}
HRESULT CIOMessage::get_dataType(BSTR* pVal) {
    return copyString(f_.dataType, pVal);
}
HRESULT CIOMessage::put_dataType(BSTR newVal) {
    return storeString(f_.dataType, newVal);
}
HRESULT CIOMessage::get_theData(BSTR* pVal) {
    return copyString(f_.theData, pVal);
}
HRESULT CIOMessage::put_theData(BSTR newVal) {
    return storeString(f_.theData, newVal);
}
HRESULT CIOMessage::get_description(BSTR* pVal) {
    return copyString(f_.description, pVal);
}
HRESULT CIOMessage::put_description(BSTR newVal) {
    return storeString(f_.description, newVal);
}
HRESULT CIOMessage::get_isAttribute(VARIANT_BOOL* pVal) {
    return getValue(f_.isAttribute, pVal);
}
HRESULT CIOMessage::put_isAttribute(VARIANT_BOOL newVal) {
    f_.isAttribute = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_isSimpleDataField(VARIANT_BOOL* pVal) {
    return getValue(f_.isSimpleDataField, pVal);
}
HRESULT CIOMessage::put_isSimpleDataField(VARIANT_BOOL newVal) {
    f_.isSimpleDataField = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_hasEnumValues(VARIANT_BOOL* pVal) {
    return getValue(f_.hasEnumValues, pVal);
}
HRESULT CIOMessage::put_hasEnumValues(VARIANT_BOOL newVal) {
    f_.hasEnumValues = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_isHeader(VARIANT_BOOL* pVal) {
    return getValue(f_.isHeader, pVal);
}
HRESULT CIOMessage::put_isHeader(VARIANT_BOOL newVal) {
    f_.isHeader = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_isRequired(VARIANT_BOOL* pVal) {
    return getValue(f_.isRequired, pVal);
}
HRESULT CIOMessage::put_isRequired(VARIANT_BOOL newVal) {
    f_.isRequired = newVal;
    return S_OK;
}
HRESULT CIOMessage::get_prefix(BSTR* pVal) {
    return copyString(f_.prefix, pVal);
}
HRESULT CIOMessage::put_prefix(BSTR newVal) {
    return storeString(f_.prefix, newVal);
}

}  // namespace wscom
