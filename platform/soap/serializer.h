// Serializer: writes a SOAP 1.1 envelope as UTF-8 markup, element by element, in the manner of
// the toolkit's serializer; with a DimeComposer the result is a DIME message whose first record
// is the envelope and whose other records are the attachments.
//
// A start tag stays open (so namespace declarations and href references can still be added to
// it) until content, a child, raw XML or its end is written. Misuse (an element ended that is
// not open, text outside the envelope, an unwritable name or character) does not throw: the
// first fault is kept, every later call does nothing, and endEnvelope() / finish() return
// false with error() describing it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "platform/soap/dime_composer.h"
#include "platform/soap/file_attachment.h"
#include "platform/soap/namespaces.h"

namespace nv::soap {

class NV_PLATFORM_API Serializer {
  public:
    Serializer();
    ~Serializer();
    Serializer(const Serializer&) = delete;
    Serializer& operator=(const Serializer&) = delete;

    // Starts a new message; the markup is appended to `out`, which must outlive finish().
    // With a composer (which must also outlive finish()) the envelope is kept until finish()
    // and then appended to `out` as a DIME message. Any earlier state is dropped.
    void init(std::string& out);
    void init(std::string& out, DimeComposer& composer);

    // Writes the XML declaration and the Envelope start tag. An empty prefix means
    // "SOAP-ENV"; encodingStyle "NONE" (any case) means no encodingStyle attribute. The output is
    // always UTF-8: a charset other than empty or UTF-8 is a fault.
    bool startEnvelope(std::string_view prefix = {},
                       std::string_view encodingStyle = kNoEncodingStyle,
                       std::string_view charset = {});
    // Declares `prefix` (empty: the default namespace) on the start tag still open.
    bool declareNamespace(std::string_view prefix, std::string_view uri);
    bool startHeader(std::string_view encodingStyle = kNoEncodingStyle);
    bool endHeader();
    bool startBody(std::string_view encodingStyle = kNoEncodingStyle);
    bool endBody();
    // `name` may be given qualified ("m:Get") when `prefix` is empty. A namespace URI is
    // declared on the element (for `prefix`, or as the default namespace without one) unless
    // that binding is already in scope.
    bool startElement(std::string_view name, std::string_view namespaceUri = {},
                      std::string_view encodingStyle = kNoEncodingStyle,
                      std::string_view prefix = {});
    // Written unchanged, after closing the open start tag.
    bool writeXml(std::string_view raw);
    // Character content, escaped.
    bool writeString(std::string_view text);
    bool endElement();
    // False when the envelope was not started, elements are still open, or a fault came first.
    bool endEnvelope();
    // Completes the message: for DIME, reads the attachment files and appends the message to
    // the output. False on any fault so far, an unfinished envelope, or an unreadable file.
    bool finish();

    // With writeReference the attachment gets a fresh "uuid:" DimeID unless it has one, and
    // ` href="<DimeID>"` goes into the open start tag; without it the caller has written the
    // reference. The serializer keeps a copy: later changes to `attachment` are not seen. Its
    // file is read at finish(). Needs a serializer initialised with a composer.
    bool addAttachment(FileAttachment& attachment, bool writeReference);

    // The first fault; empty while there is none.
    const std::string& error() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace nv::soap
