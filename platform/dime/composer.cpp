#include "platform/dime/composer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/dime/wire_format.h"

namespace nv::dime {

namespace {

using detail::padded;

std::string recordProblem(std::size_t number, const std::string& what) {
    return "record " + std::to_string(number) + ": " + what;
}

void appendPadded(std::string& out, std::string_view field) {
    out.append(field);
    out.append(static_cast<std::size_t>(padded(field.size()) - field.size()), '\0');
}

std::uint64_t chunkLimit(std::size_t chunkSize) {
    if (chunkSize == 0)
        return detail::kMaxDataLength;
    return std::min<std::uint64_t>(chunkSize, detail::kMaxDataLength);
}

std::uint64_t chunkCount(const Record& record, std::uint64_t limit) {
    if (record.data.empty())
        return 1;
    return (record.data.size() + limit - 1) / limit;
}

}  // namespace

std::string composeProblem(const std::vector<Record>& records) {
    if (records.empty())
        return "a DIME message needs at least one record";
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        std::size_t number = i + 1;
        if (r.id.size() > detail::kMaxShortField)
            return recordProblem(number, "an ID of " + std::to_string(r.id.size()) +
                                             " bytes is longer than DIME allows (65535)");
        if (r.type.size() > detail::kMaxShortField)
            return recordProblem(number, "a TYPE of " + std::to_string(r.type.size()) +
                                             " bytes is longer than DIME allows (65535)");
        switch (r.tnf) {
            case TypeFormat::Unchanged:
                return recordProblem(number, "TYPE_T unchanged is only for chunk continuations");
            case TypeFormat::Unknown:
                if (!r.type.empty())
                    return recordProblem(number, "TYPE_T unknown cannot carry a TYPE");
                break;
            case TypeFormat::None:
                if (!r.type.empty() || !r.data.empty())
                    return recordProblem(number, "TYPE_T none cannot carry a TYPE or data");
                break;
            case TypeFormat::MediaType:
            case TypeFormat::AbsoluteUri:
                break;
        }
    }
    return {};
}

std::string compose(const std::vector<Record>& records, std::size_t chunkSize) {
    if (!composeProblem(records).empty())
        return {};
    const std::uint64_t limit = chunkLimit(chunkSize);

    std::uint64_t total = 0;
    for (const Record& r : records) {
        total += chunkCount(r, limit) * detail::kHeaderSize + padded(r.id.size()) +
                 padded(r.type.size()) + padded(r.data.size()) + 3;
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(total));

    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        const std::uint64_t chunks = chunkCount(r, limit);
        std::string_view rest = r.data;
        for (std::uint64_t k = 0; k < chunks; ++k) {
            const bool first = k == 0;
            const bool last = k + 1 == chunks;
            std::string_view piece = rest.substr(0, static_cast<std::size_t>(limit));
            rest.remove_prefix(piece.size());

            detail::Header h;
            h.messageBegin = i == 0 && first;
            h.messageEnd = i + 1 == records.size() && last;
            h.chunked = !last;
            h.typeFormat = static_cast<std::uint8_t>(first ? r.tnf : TypeFormat::Unchanged);
            h.idLength = static_cast<std::uint16_t>(first ? r.id.size() : 0);
            h.typeLength = static_cast<std::uint16_t>(first ? r.type.size() : 0);
            h.dataLength = static_cast<std::uint32_t>(piece.size());
            detail::appendHeader(out, h);
            if (first) {
                appendPadded(out, r.id);
                appendPadded(out, r.type);
            }
            appendPadded(out, piece);
        }
    }
    return out;
}

}  // namespace nv::dime
