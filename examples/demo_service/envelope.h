// The SOAP 1.1 envelopes the demo service answers with, and its faults.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "examples/demo_service/answer.h"
#include "examples/demo_service/xml_writer.h"

namespace nv::demo {

// The XML declaration and the Envelope start tag, declaring the prefixes every answer may use:
// soap (the envelope), xsd, xsi and soapenc. The caller writes Header and Body.
void openEnvelope(XmlWriter& writer);

// A 200 answer carrying `markup`.
Answer envelopeAnswer(std::string markup);

enum class FaultCode { VersionMismatch, MustUnderstand, Client, Server };

// "soap:Client" and so on, as faultcode carries it.
std::string_view faultCodeName(FaultCode code);

// HTTP 500 with a Fault; `detailMarkup`, when given, goes inside <detail> unchanged.
Answer faultAnswer(FaultCode code, std::string_view reason, std::string_view detailMarkup = {});

// Raised by request reading and by operations for a request they cannot answer; dispatch turns
// it into faultAnswer(). It never leaves the service.
class SoapFault : public std::runtime_error {
  public:
    SoapFault(FaultCode code, const std::string& reason, std::string detailMarkup = {});
    FaultCode code() const { return code_; }
    const std::string& detailMarkup() const { return detail_; }

  private:
    FaultCode code_;
    std::string detail_;
};

}  // namespace nv::demo
