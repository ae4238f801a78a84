#include "platform/com/variant_types.h"

namespace nv::com::detail {

std::size_t arrayElementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
            return 8;
        case VT_BSTR:
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(void*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

bool isScalarType(VARTYPE vt) {
    return vt == VT_EMPTY || vt == VT_NULL || (vt != VT_VARIANT && arrayElementSize(vt) != 0);
}

std::size_t byrefTargetSize(VARTYPE vt) {
    if (vt & VT_ARRAY)
        return arrayElementSize(vt & VT_TYPEMASK) ? sizeof(SAFEARRAY*) : 0;
    return arrayElementSize(vt);
}

bool isValidVariantType(VARTYPE vt) {
    if (vt & VT_RESERVED)
        return false;
    if (vt & VT_BYREF)
        return byrefTargetSize(vt & ~VT_BYREF) != 0;
    if (vt & VT_ARRAY)
        return arrayElementSize(vt & ~VT_ARRAY) != 0;
    return isScalarType(vt);
}

}  // namespace nv::com::detail
