#include "engine/soap/saved_file.h"

#include "platform/soap/file_attachment.h"

namespace wscore {

std::string safeFileName(std::string_view fromResponse) {
    std::string out;
    out.reserve(fromResponse.size());
    for (unsigned char c : fromResponse) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '-' || c == '_' || c >= 0x80;
        out += plain ? static_cast<char>(c) : '_';
    }
    // No hidden files and no "." or "..": a leading dot becomes "_".
    if (out.empty() || out[0] == '.')
        out.insert(out.begin(), '_');
    if (out.size() > 200)
        out.resize(200);
    return out;
}

bool saveReturnedData(const std::string& directory, const std::string& name, std::string_view data,
                      std::string& path, bool overwrite, bool* existed) {
    path = directory + name;
    nv::soap::FileAttachment file;
    file.setContent(std::string(data));
    nv::soap::SaveResult result = file.saveToFile(path, overwrite);
    if (existed)
        *existed = result.outcome == nv::soap::SaveOutcome::FileExists;
    return result.ok();
}

}  // namespace wscore
