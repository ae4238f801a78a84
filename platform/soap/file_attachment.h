// FileAttachment: a file sent with a SOAP message as a DIME record, or one received.
//
// Outgoing attachments name a file, read when the message is finished. Received ones carry
// their content and can be saved. The DIME properties are strings, read and written by name
// as the toolkit's attachment object exposed them: "DimeID", "DimeType" and "DimeTNF".
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/export.h"

namespace nv::soap {

inline constexpr std::string_view kDimeIdProperty = "DimeID";
inline constexpr std::string_view kDimeTypeProperty = "DimeType";
inline constexpr std::string_view kDimeTnfProperty = "DimeTNF";

enum class SaveOutcome {
    Saved,
    FileExists,  // not overwriting, and something already has that name
    Failed,      // see the message
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Saved;
    std::string message;  // empty when saved
    bool ok() const { return outcome == SaveOutcome::Saved; }
};

class NV_PLATFORM_API FileAttachment {
  public:
    FileAttachment() = default;
    explicit FileAttachment(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string fileName) { fileName_ = std::move(fileName); }

    // By name, ignoring ASCII case; an unknown name reads as empty and cannot be set (false).
    // DimeTNF is stored as given; the serializer checks it when it composes the message.
    std::string property(std::string_view name) const;
    bool setProperty(std::string_view name, std::string_view value);

    const std::string& dimeId() const { return id_; }
    const std::string& dimeType() const { return type_; }
    const std::string& dimeTnf() const { return tnf_; }

    // The received payload (empty for outgoing attachments).
    const std::string& content() const { return content_; }
    void setContent(std::string content) { content_ = std::move(content); }

    // Writes content() to exactly `path`: through a temporary file in the same folder renamed
    // into place, so a failure never leaves a partial file. No folders are created.
    SaveResult saveToFile(const std::string& path, bool overwrite) const;

  private:
    using Slot = std::string FileAttachment::*;
    static Slot slotFor(std::string_view name);  // null for names that are not properties

    std::string fileName_;
    std::string id_;
    std::string type_;
    std::string tnf_;
    std::string content_;
};

}  // namespace nv::soap
