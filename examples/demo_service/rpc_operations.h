// The operations of the rpc/encoded port (DemoRpcBinding): SOAP-encoded parameters in an
// operation wrapper, answered with an <OperationResponse> wrapper and typed accessors.
#pragma once

#include <span>

#include "examples/demo_service/operation_table.h"

namespace nv::demo {

// Static storage.
std::span<const Operation> rpcOperations();

}  // namespace nv::demo
