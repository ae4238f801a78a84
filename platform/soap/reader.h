// Reader: a received SOAP message, plain XML or DIME, as a DOM plus its attachments.
//
// SOAP 1.1 ("http://schemas.xmlsoap.org/soap/envelope/") and SOAP 1.2
// ("http://www.w3.org/2003/05/soap-envelope") envelopes are both accepted. The input is
// untrusted; the DOM and the DIME parser bound what it can cost.
//
// The reader owns its document: every Node it gives stays valid until the next load or the
// reader's destruction. Moving a reader keeps the Nodes valid; a moved-from reader may only be
// destroyed or assigned to.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dime/parser.h"
#include "platform/export.h"
#include "platform/soap/file_attachment.h"
#include "platform/xmldom/node.h"

namespace nv::soap {

enum class SoapVersion { None, Soap11, Soap12 };

class NV_PLATFORM_API Reader {
  public:
    Reader();
    ~Reader();
    Reader(Reader&& other) noexcept;
    Reader& operator=(Reader&& other) noexcept;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Each load replaces what was loaded before. On failure the reader is empty and error()
    // gives the DOM's parse error, the DIME error, or "the document is not a SOAP envelope".
    bool load(std::string_view bytes);
    // The first record is the envelope; each further record becomes an attachment with its
    // DimeID, DimeType, DimeTNF and content (no file name).
    bool loadDime(std::string_view bytes, const dime::ParseLimits& limits = {});
    const std::string& error() const;

    SoapVersion version() const;
    // The document element; null when nothing is loaded.
    xml::Node envelope() const;
    // Null when the envelope has none.
    xml::Node header() const;
    xml::Node body() const;
    // Child elements of Header and Body, in document order.
    std::vector<xml::Node> headerEntries() const;
    std::vector<xml::Node> bodyEntries() const;

    // The Body's Fault entry and its parts; null when absent. SOAP 1.1: faultcode,
    // faultstring, detail. SOAP 1.2: Code/Value, the first Reason/Text, Detail.
    xml::Node fault() const;
    xml::Node faultCode() const;
    xml::Node faultString() const;
    xml::Node faultDetail() const;

    const std::vector<FileAttachment>& attachments() const;
    // The attachment whose DimeID is `id` (as an href names it); null when there is none.
    const FileAttachment* findAttachment(std::string_view id) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::soap
