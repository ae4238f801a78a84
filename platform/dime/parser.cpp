#include "platform/dime/parser.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/dime/wire_format.h"

namespace nv::dime {

namespace {

using detail::padded;

std::string bytesText(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// Walks the message record by record; the first fault found is the error.
class Parser {
  public:
    Parser(std::string_view bytes, const ParseLimits& limits) : bytes_(bytes), limits_(limits) {}

    ParseResult run() {
        ParseResult result;
        if (bytes_.empty()) {
            result.error = "the message is empty";
            return result;
        }
        while (!done_ && error_.empty())
            readRecord();
        if (error_.empty()) {
            result.records = std::move(records_);
        } else {
            result.error = std::move(error_);
        }
        return result;
    }

  private:
    std::uint64_t left() const { return bytes_.size() - pos_; }

    void fail(const std::string& what) {
        error_ = "record " + std::to_string(number_) + ": " + what;
    }

    void readRecord() {
        if (pos_ == bytes_.size()) {
            if (inChunk_) {
                error_ = "the message ends inside the chunked record that starts at record " +
                         std::to_string(chunkStart_);
            } else {
                error_ = "the message ends after record " + std::to_string(number_) +
                         " without a record flagged ME";
            }
            return;
        }
        ++number_;
        if (number_ > limits_.maxRecords) {
            fail("more than " + std::to_string(limits_.maxRecords) + " records");
            return;
        }
        if (left() < detail::kHeaderSize) {
            fail("the header needs 12 bytes (" + bytesText(left()) + " left)");
            return;
        }
        const detail::Header h = detail::readHeader(bytes_.data() + pos_);
        if (!checkHeader(h))
            return;
        pos_ += detail::kHeaderSize;

        std::string_view id, type, data;
        if (!field("OPTIONS_LENGTH", h.optionsLength, false, nullptr) ||
            !field("ID_LENGTH", h.idLength, false, &id) ||
            !field("TYPE_LENGTH", h.typeLength, false, &type) ||
            !field("DATA_LENGTH", h.dataLength, h.messageEnd, &data)) {
            return;
        }
        if (!inChunk_) {
            current_.id.assign(id);
            current_.type.assign(type);
            current_.tnf = static_cast<TypeFormat>(h.typeFormat);
            chunkStart_ = number_;
        }
        if (!addPayload(data))
            return;
        inChunk_ = h.chunked;
        if (!inChunk_) {
            records_.push_back(std::move(current_));
            current_ = Record{};
        }
        if (h.messageEnd) {
            if (left() != 0) {
                fail("ME flag set but " + bytesText(left()) + " follow");
                return;
            }
            done_ = true;
        }
    }

    bool checkHeader(const detail::Header& h) {
        if (h.version != detail::kVersion) {
            fail("VERSION " + std::to_string(h.version) + " is not supported (only 1)");
            return false;
        }
        if (number_ == 1 && !h.messageBegin) {
            fail("MB flag missing on the first record");
            return false;
        }
        if (number_ > 1 && h.messageBegin) {
            fail("MB flag set on a record that is not the first");
            return false;
        }
        if (h.typeFormat > static_cast<std::uint8_t>(TypeFormat::None)) {
            fail("TYPE_T " + std::to_string(h.typeFormat) + " is not defined");
            return false;
        }
        const auto tnf = static_cast<TypeFormat>(h.typeFormat);
        if (h.messageEnd && h.chunked) {
            fail("ME flag set on a chunk that is not the last");
            return false;
        }
        if (inChunk_) {
            if (tnf != TypeFormat::Unchanged) {
                fail("a chunk continuation has TYPE_T " + std::string(typeFormatName(tnf)) +
                     " (must be unchanged)");
                return false;
            }
            if (h.idLength != 0) {
                fail("a chunk continuation carries an ID (" + bytesText(h.idLength) + ")");
                return false;
            }
            if (h.typeLength != 0) {
                fail("a chunk continuation carries a TYPE (" + bytesText(h.typeLength) + ")");
                return false;
            }
            return true;
        }
        if (tnf == TypeFormat::Unchanged) {
            fail("TYPE_T unchanged on a record that continues no chunk");
            return false;
        }
        if ((tnf == TypeFormat::Unknown || tnf == TypeFormat::None) && h.typeLength != 0) {
            fail("TYPE_T " + std::string(typeFormatName(tnf)) + " with a TYPE of " +
                 bytesText(h.typeLength));
            return false;
        }
        if (tnf == TypeFormat::None && h.dataLength != 0) {
            fail("TYPE_T none with a payload of " + bytesText(h.dataLength));
            return false;
        }
        if (tnf == TypeFormat::None && h.chunked) {
            fail("TYPE_T none on a chunked record");
            return false;
        }
        return true;
    }

    // Takes one padded field; the final field of the message may lack its padding.
    bool field(const char* name, std::uint64_t length, bool mayEndUnpadded, std::string_view* out) {
        if (length > left()) {
            fail(std::string(name) + " " + std::to_string(length) +
                 " goes past the end of the message (" + bytesText(left()) + " left)");
            return false;
        }
        std::uint64_t step = padded(length);
        if (step > left()) {
            if (!mayEndUnpadded) {
                fail(std::string(name) + " " + std::to_string(length) +
                     ": the padding goes past the end of the message (" + bytesText(left()) +
                     " left)");
                return false;
            }
            step = left();
        }
        if (out)
            *out = bytes_.substr(pos_, static_cast<std::size_t>(length));
        pos_ += static_cast<std::size_t>(step);
        return true;
    }

    bool addPayload(std::string_view data) {
        if (data.size() >
            limits_.maxRecordSize - std::min(limits_.maxRecordSize, current_.data.size())) {
            fail("the payload of record " + std::to_string(chunkStart_) +
                 " grows past the limit of " + bytesText(limits_.maxRecordSize));
            return false;
        }
        if (data.size() > limits_.maxTotalSize - std::min(limits_.maxTotalSize, total_)) {
            fail("the payloads grow past the limit of " + bytesText(limits_.maxTotalSize) +
                 " in all");
            return false;
        }
        current_.data.append(data);
        total_ += data.size();
        return true;
    }

    std::string_view bytes_;
    const ParseLimits& limits_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;      // wire records read so far
    std::size_t chunkStart_ = 0;  // wire number of the record being assembled
    std::size_t total_ = 0;
    bool inChunk_ = false;
    bool done_ = false;
    Record current_;
    std::vector<Record> records_;
    std::string error_;
};

}  // namespace

ParseResult parse(std::string_view bytes, const ParseLimits& limits) {
    return Parser(bytes, limits).run();
}

}  // namespace nv::dime
