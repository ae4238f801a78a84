// A library that only carries type information (DllGetTypeLib), like a type-library file.
#include "platform/com/typeinfo.h"
#include "tests/platform/com/test_type_library.h"

extern "C" __attribute__((visibility("default"))) HRESULT DllGetTypeLib(ITypeLib** pptlib) {
    if (!pptlib)
        return E_POINTER;
    return nv::com::createTypeLib(nv::test::calculatorLibrary(), pptlib);
}
