// Record blocks from the engine as IOMessage arrays: a one-dimensional SAFEARRAY (lower
// bound 0) of VT_DISPATCH VARIANTs, one new IOMessage object per record, in block order.
#pragma once

#include <cstdint>

#include "engine/api/wscore.h"
#include "platform/com/variant.h"

namespace wscom {

// Frees a record block handed out by the engine: each string of each record, then the block.
void freeEngineRecords(ParameterRecord* records, int32_t count);

// Clears *out and, for a non-empty block, stores the IOMessage array in it. The objects come
// from the registered IOMessage class; a failed creation ends the conversion with its
// HRESULT and leaves *out empty. The block is freed in every case.
HRESULT ioMessageArrayFromRecords(ParameterRecord* records, int32_t count, VARIANT* out);

}  // namespace wscom
