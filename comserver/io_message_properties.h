// The IIOMessage properties in slot order: DISPID, name and Automation type. Shared by the
// type library and the dispatch code so the two cannot drift apart.
#pragma once

#include "comserver/wscom_ids.h"
#include "platform/com/variant.h"

namespace wscom {

struct PropertyInfo {
    DISPID id;
    const char16_t* name;
    VARTYPE type;  // VT_I4, VT_BOOL or VT_BSTR
};

inline constexpr PropertyInfo kIOMessageProperties[] = {
    {kDispLevel, u"level", VT_I4},
    {kDispArrayMin, u"arrayMin", VT_I4},
    {kDispArrayMax, u"arrayMax", VT_I4},
    {kDispIsArray, u"isArray", VT_BOOL},
    {kDispIsComplexType, u"isComplexType", VT_BOOL},
    {kDispFieldName, u"fieldName", VT_BSTR},
    {kDispInfo, u"info", VT_BSTR},
    {kDispDataType, u"dataType", VT_BSTR},
    {kDispTheData, u"theData", VT_BSTR},
    {kDispDescription, u"description", VT_BSTR},
    {kDispIsAttribute, u"isAttribute", VT_BOOL},
    {kDispIsSimpleDataField, u"isSimpleDataField", VT_BOOL},
    {kDispHasEnumValues, u"hasEnumValues", VT_BOOL},
    {kDispIsHeader, u"isHeader", VT_BOOL},
    {kDispIsRequired, u"isRequired", VT_BOOL},
    {kDispPrefix, u"prefix", VT_BSTR},
};

// The property with this DISPID, or null.
inline const PropertyInfo* findProperty(DISPID id) {
    for (const PropertyInfo& p : kIOMessageProperties)
        if (p.id == id)
            return &p;
    return nullptr;
}

}  // namespace wscom
