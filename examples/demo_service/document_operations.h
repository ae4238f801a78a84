// The operations of the document/literal port (DemoDocumentBinding): wrapped requests and
// answers in the urn:sondar:demo namespace.
#pragma once

#include <span>

#include "examples/demo_service/operation_table.h"

namespace nv::demo {

// Static storage.
std::span<const Operation> documentOperations();

}  // namespace nv::demo
