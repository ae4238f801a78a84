// DimeComposer: packs a serialized envelope and its attachments into one DIME message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"
#include "platform/soap/file_attachment.h"

namespace nv::soap {

class NV_PLATFORM_API DimeComposer {
  public:
    // Payloads longer than this go out in chunks; 0 (the default) sends each in one record.
    void setChunkSize(std::size_t bytes) { chunkSize_ = bytes; }
    std::size_t chunkSize() const { return chunkSize_; }

    // Appends to `out` a message whose first record is `envelope` (TYPE_T absolute URI, the
    // SOAP 1.1 envelope namespace as TYPE, a fresh "uuid:" ID), then one record per attachment
    // with its DimeID, DimeType and DimeTNF and the bytes of its file. An empty DimeTNF means
    // media-type when DimeType is set and unknown otherwise. On failure (an unreadable file,
    // an unknown DimeTNF, a record DIME cannot encode) `out` is unchanged and `why` says so.
    bool compose(std::string_view envelope, const std::vector<FileAttachment>& attachments,
                 std::string& out, std::string& why) const;

  private:
    std::size_t chunkSize_ = 0;
};

}  // namespace nv::soap
