// The server's type library, described in code and built once per load of the library; it is
// what DllGetTypeLib hands out and what the registration names.
#pragma once

#include "platform/com/typeinfo.h"

namespace wscom {

// *out receives the caller's reference.
HRESULT typeLibrary(ITypeLib** out);
// The type information of an interface or coclass of the library; *out is the caller's.
HRESULT typeInfo(REFGUID guid, ITypeInfo** out);

}  // namespace wscom
