// Late-bound access to IIOMessage: names to DISPIDs and property get/put by DISPID.
#include <optional>
#include <string_view>

#include "comserver/dispatch_args.h"
#include "comserver/guarded.h"
#include "comserver/io_message.h"
#include "comserver/io_message_properties.h"
#include "platform/text/unicode.h"

namespace wscom {

namespace {

std::optional<DISPID> propertyDispId(std::u16string_view name) {
    if (nv::text::equalsIgnoreCase(name, u"pVal"))
        return DISPID{0};
    for (std::u16string_view prefix : {u"get_", u"put_"}) {
        if (name.size() > prefix.size() &&
            nv::text::equalsIgnoreCase(name.substr(0, prefix.size()), prefix)) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    for (const PropertyInfo& p : kIOMessageProperties)
        if (nv::text::equalsIgnoreCase(name, p.name))
            return p.id;
    return std::nullopt;
}

LONG* numberField(IoMessageFields& f, DISPID id) {
    switch (id) {
        case kDispLevel:
            return &f.level;
        case kDispArrayMin:
            return &f.arrayMin;
        case kDispArrayMax:
            return &f.arrayMax;
        default:
            return nullptr;
    }
}

VARIANT_BOOL* flagField(IoMessageFields& f, DISPID id) {
    switch (id) {
        case kDispIsArray:
            return &f.isArray;
        case kDispIsComplexType:
            return &f.isComplexType;
        case kDispIsAttribute:
            return &f.isAttribute;
        case kDispIsSimpleDataField:
            return &f.isSimpleDataField;
        case kDispHasEnumValues:
            return &f.hasEnumValues;
        case kDispIsHeader:
            return &f.isHeader;
        case kDispIsRequired:
            return &f.isRequired;
        default:
            return nullptr;
    }
}

nv::com::Bstr* textField(IoMessageFields& f, DISPID id) {
    switch (id) {
        case kDispFieldName:
            return &f.fieldName;
        case kDispInfo:
            return &f.info;
        case kDispDataType:
            return &f.dataType;
        case kDispTheData:
            return &f.theData;
        case kDispDescription:
            return &f.description;
        case kDispPrefix:
            return &f.prefix;
        default:
            return nullptr;
    }
}

HRESULT getProperty(IoMessageFields& f, const PropertyInfo& p, VARIANT* result) {
    if (!result)
        return S_OK;
    VariantInit(result);
    switch (p.type) {
        case VT_I4:
            result->lVal = *numberField(f, p.id);
            break;
        case VT_BOOL:
            result->boolVal = *flagField(f, p.id);
            break;
        default: {
            HRESULT hr = copyString(*textField(f, p.id), &result->bstrVal);
            if (FAILED(hr))
                return hr;
        }
    }
    result->vt = p.type;
    return S_OK;
}

HRESULT putProperty(IoMessageFields& f, const PropertyInfo& p, DISPPARAMS& params, UINT* argErr) {
    if (params.cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    // The value is the property-put named argument; a lone positional one is taken as well.
    if (params.cNamedArgs > 1 ||
        (params.cNamedArgs == 1 &&
         (!params.rgdispidNamedArgs || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
        return DISP_E_PARAMNOTFOUND;
    nv::com::Variant value;
    HRESULT hr = argumentAs(params, 0, p.type, value, argErr);
    if (FAILED(hr))
        return hr;
    switch (p.type) {
        case VT_I4:
            *numberField(f, p.id) = value.lVal;
            return S_OK;
        case VT_BOOL:
            *flagField(f, p.id) = value.boolVal;
            return S_OK;
        default:
            return storeString(*textField(f, p.id), value.bstrVal);
    }
}

}  // namespace

HRESULT CIOMessage::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                  DISPID* rgDispId) {
    return resolveNames(riid, rgszNames, cNames, rgDispId, propertyDispId);
}

HRESULT CIOMessage::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO*,
                           UINT* puArgErr) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    const PropertyInfo* property = findProperty(dispIdMember);
    if (!property)
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS& params = pDispParams ? *pDispParams : none;
    if (params.cArgs > 0 && !params.rgvarg)
        return E_INVALIDARG;
    return guarded([&]() -> HRESULT {
        if (wFlags & DISPATCH_PROPERTYPUT)
            return putProperty(f_, *property, params, puArgErr);
        if (!(wFlags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)))
            return DISP_E_MEMBERNOTFOUND;
        if (params.cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        return getProperty(f_, *property, pVarResult);
    });
}

}  // namespace wscom
