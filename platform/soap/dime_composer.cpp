#include "platform/soap/dime_composer.h"

#include <optional>

#include "platform/dime/composer.h"
#include "platform/dime/record.h"
#include "platform/io/files.h"
#include "platform/soap/attachment_id.h"
#include "platform/soap/namespaces.h"

namespace nv::soap {

namespace {

std::string describe(std::size_t index, const FileAttachment& attachment) {
    return "attachment " + std::to_string(index + 1) + " ('" + attachment.fileName() + "')";
}

bool toRecord(std::size_t index, const FileAttachment& attachment, dime::Record& record,
              std::string& why) {
    record.id = attachment.dimeId();
    record.type = attachment.dimeType();
    if (attachment.dimeTnf().empty()) {
        record.tnf = record.type.empty() ? dime::TypeFormat::Unknown : dime::TypeFormat::MediaType;
    } else {
        std::optional<dime::TypeFormat> tnf = dime::typeFormatFromName(attachment.dimeTnf());
        if (!tnf || *tnf == dime::TypeFormat::Unchanged) {
            why = describe(index, attachment) + ": DimeTNF '" + attachment.dimeTnf() +
                  "' is not one of media-type, absolute-uri, unknown, none";
            return false;
        }
        record.tnf = *tnf;
    }
    std::string reason;
    if (!nv::io::readRegularFile(attachment.fileName(), record.data, reason)) {
        why = describe(index, attachment) + ": " + reason;
        return false;
    }
    return true;
}

}  // namespace

bool DimeComposer::compose(std::string_view envelope,
                           const std::vector<FileAttachment>& attachments, std::string& out,
                           std::string& why) const {
    std::vector<dime::Record> records;
    records.reserve(attachments.size() + 1);
    records.push_back({newAttachmentId(), std::string(kSoap11EnvelopeNs),
                       dime::TypeFormat::AbsoluteUri, std::string(envelope)});
    for (std::size_t i = 0; i < attachments.size(); ++i) {
        dime::Record record;
        if (!toRecord(i, attachments[i], record, why))
            return false;
        records.push_back(std::move(record));
    }
    std::string problem = dime::composeProblem(records);
    if (!problem.empty()) {
        why = "cannot compose the DIME message: " + problem;
        return false;
    }
    out += dime::compose(records, chunkSize_);
    return true;
}

}  // namespace nv::soap
