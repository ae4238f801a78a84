// Fuzz target: the SOAP reader's loads. The first byte picks plain XML (even) or DIME (odd);
// the rest is the message. Everything reachable from a loaded message is walked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/soap/reader.h"

namespace {

volatile std::size_t walked;  // keeps the walk from being optimised away

std::size_t touch(nv::xml::Node node) {
    if (node.isNull())
        return 0;
    return node.xml().size() + node.text().size() + node.nodeName().size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    nv::soap::Reader reader;
    nv::dime::ParseLimits limits;
    limits.maxRecords = 512;
    limits.maxRecordSize = 1 << 20;
    limits.maxTotalSize = 1 << 20;
    bool loaded = (data[0] & 1) ? reader.loadDime(bytes, limits) : reader.load(bytes);
    if (!loaded) {
        if (reader.error().empty() || !reader.envelope().isNull())
            std::abort();
        return 0;
    }
    if (reader.envelope().isNull() || reader.version() == nv::soap::SoapVersion::None)
        std::abort();
    std::size_t total = touch(reader.envelope());
    for (nv::xml::Node n : reader.headerEntries())
        total += touch(n);
    for (nv::xml::Node n : reader.bodyEntries())
        total += touch(n);
    total += touch(reader.fault()) + touch(reader.faultCode()) + touch(reader.faultString()) +
             touch(reader.faultDetail());
    for (const nv::soap::FileAttachment& a : reader.attachments()) {
        if (reader.findAttachment(a.dimeId()) == nullptr)
            std::abort();
        total += a.content().size();
    }
    walked = total;
    return 0;
}
