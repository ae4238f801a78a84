#include "examples/demo_service/envelope.h"

#include <utility>

#include "examples/demo_service/demo_namespaces.h"
#include "platform/soap/namespaces.h"

namespace nv::demo {

void openEnvelope(XmlWriter& writer) {
    writer.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    writer.start("soap:Envelope")
        .attribute("xmlns:soap", soap::kSoap11EnvelopeNs)
        .attribute("xmlns:xsd", kXsdNs)
        .attribute("xmlns:xsi", kXsiNs)
        .attribute("xmlns:soapenc", kSoapEncodingNs);
}

Answer envelopeAnswer(std::string markup) {
    Answer answer;
    answer.body = std::move(markup);
    return answer;
}

std::string_view faultCodeName(FaultCode code) {
    switch (code) {
        case FaultCode::VersionMismatch:
            return "soap:VersionMismatch";
        case FaultCode::MustUnderstand:
            return "soap:MustUnderstand";
        case FaultCode::Client:
            return "soap:Client";
        case FaultCode::Server:
            break;
    }
    return "soap:Server";
}

Answer faultAnswer(FaultCode code, std::string_view reason, std::string_view detailMarkup) {
    XmlWriter w;
    openEnvelope(w);
    w.start("soap:Body").start("soap:Fault");
    w.element("faultcode", faultCodeName(code));
    w.element("faultstring", reason);
    if (!detailMarkup.empty())
        w.start("detail").raw(detailMarkup).end();
    Answer answer;
    answer.status = 500;
    answer.body = w.take();
    return answer;
}

SoapFault::SoapFault(FaultCode code, const std::string& reason, std::string detailMarkup)
    : std::runtime_error(reason), code_(code), detail_(std::move(detailMarkup)) {}

}  // namespace nv::demo
