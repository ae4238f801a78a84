#include "platform/soap/file_attachment.h"

#include "platform/soap/file_io.h"
#include "platform/text/unicode.h"

namespace nv::soap {

namespace {

// Case is ignored as everywhere else names are compared.
bool sameName(std::string_view a, std::string_view b) {
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

}  // namespace

FileAttachment::Slot FileAttachment::slotFor(std::string_view name) {
    if (sameName(name, kDimeIdProperty))
        return &FileAttachment::id_;
    if (sameName(name, kDimeTypeProperty))
        return &FileAttachment::type_;
    if (sameName(name, kDimeTnfProperty))
        return &FileAttachment::tnf_;
    return nullptr;
}

std::string FileAttachment::property(std::string_view name) const {
    Slot slot = slotFor(name);
    return slot ? this->*slot : std::string();
}

bool FileAttachment::setProperty(std::string_view name, std::string_view value) {
    Slot slot = slotFor(name);
    if (!slot)
        return false;
    (this->*slot).assign(value);
    return true;
}

SaveResult FileAttachment::saveToFile(const std::string& path, bool overwrite) const {
    SaveResult result;
    std::string why;
    switch (detail::writeFileAtomically(path, content_, overwrite, why)) {
        case detail::WriteStatus::Written:
            break;
        case detail::WriteStatus::Exists:
            result.outcome = SaveOutcome::FileExists;
            result.message = "'" + path + "' already exists";
            break;
        case detail::WriteStatus::Failed:
            result.outcome = SaveOutcome::Failed;
            result.message = why;
            break;
    }
    return result;
}

}  // namespace nv::soap
