// The input record block built from a client's IOMessage array for one engine call: only the
// elements the selection marks are sent (input_selection.h).
#pragma once

#include <cstdint>

#include "engine/api/wscore.h"
#include "platform/com/variant.h"

namespace wscom {

class InputRecords {
  public:
    InputRecords() = default;
    InputRecords(const InputRecords&) = delete;
    InputRecords& operator=(const InputRecords&) = delete;
    // Frees the strings of every record, then the block.
    ~InputRecords();

    // Reads the array in `input` (VT_EMPTY or null for none; an array of VARIANTs, IDispatch
    // or IUnknown pointers, directly or by reference) and builds the records. E_INVALIDARG
    // when it is no such array or an element is not an IOMessage object of this server;
    // E_OUTOFMEMORY when memory runs out. The array and its objects stay the caller's.
    HRESULT build(const VARIANT* input);

    const ParameterRecord* data() const { return records_; }
    int32_t count() const { return count_; }

  private:
    ParameterRecord* records_ = nullptr;  // task memory, as are its strings
    int32_t count_ = 0;
};

}  // namespace wscom
