// Which VARTYPEs this runtime stores, and how big they are. Internal to platform/com.
#pragma once

#include <cstddef>

#include "platform/com/variant.h"

namespace nv::com::detail {

// Element size of a SAFEARRAY of `vt`, or 0 when such arrays are not supported.
std::size_t arrayElementSize(VARTYPE vt);
// A type a VARIANT may hold by value (no VT_ARRAY / VT_BYREF bits).
bool isScalarType(VARTYPE vt);
// A complete variant type, including the VT_ARRAY and VT_BYREF forms.
bool isValidVariantType(VARTYPE vt);
// Size of the value a byref pointer of base type `vt` designates (0 when not allowed).
std::size_t byrefTargetSize(VARTYPE vt);

}  // namespace nv::com::detail
