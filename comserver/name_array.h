// Name arrays: the Automation form of the engine's string blocks, a one-dimensional
// SAFEARRAY (lower bound 0) of VT_BSTR VARIANTs, one per string, in block order.
#pragma once

#include <cstdint>

#include "platform/com/safearray.h"

namespace wscom {

// Builds the array for a block of `count` strings and frees the block (in every case, with
// the task allocator). *out is the caller's array; null for an empty block.
HRESULT nameArrayFromBlock(char16_t* block, int32_t count, SAFEARRAY** out);

// Clears *out and stores a copy of `array` in it as VT_ARRAY|VT_VARIANT; VT_EMPTY for a null
// array. When the copy fails *out is VT_ERROR with the code, which is also returned.
HRESULT storeArrayCopy(SAFEARRAY* array, VARIANT* out);

}  // namespace wscom
