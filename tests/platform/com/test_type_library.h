// The description of the test type library, shared by the test server and the type-library
// module.
#pragma once

#include "platform/com/typelib_builder.h"

namespace nv::test {

nv::com::LibraryDescription calculatorLibrary();

}  // namespace nv::test
