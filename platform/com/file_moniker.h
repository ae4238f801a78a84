// Creation of the runtime's file monikers for OleLoadFromStream. Internal to platform/com.
#pragma once

#include <string>

#include "platform/com/moniker.h"

namespace nv::com::detail {

// *out gets a new reference; throws std::bad_alloc.
void createFileMoniker(std::u16string path, IMoniker** out);

}  // namespace nv::com::detail
