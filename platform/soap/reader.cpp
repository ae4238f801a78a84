#include "platform/soap/reader.h"

#include <utility>

#include "platform/dime/record.h"
#include "platform/soap/namespaces.h"
#include "platform/xmldom/document.h"

namespace nv::soap {

namespace {

std::string_view envelopeNamespace(SoapVersion version) {
    switch (version) {
        case SoapVersion::Soap11:
            return kSoap11EnvelopeNs;
        case SoapVersion::Soap12:
            return kSoap12EnvelopeNs;
        case SoapVersion::None:
            break;
    }
    return {};
}

// The first child element with this local name in the namespace.
xml::Node childIn(xml::Node parent, std::string_view baseName, std::string_view ns) {
    if (parent.isNull())
        return {};
    for (xml::Node n = parent.firstChildElement(baseName); n; n = n.nextSiblingElement(baseName)) {
        if (n.namespaceURI() == ns)
            return n;
    }
    return {};
}

std::vector<xml::Node> childElements(xml::Node parent) {
    std::vector<xml::Node> entries;
    if (parent.isNull())
        return entries;
    for (xml::Node n = parent.firstChildElement(); n; n = n.nextSiblingElement())
        entries.push_back(n);
    return entries;
}

std::string describeElement(xml::Node element) {
    std::string text = "{";
    text += element.namespaceURI();
    text += "}";
    text += element.baseName();
    return text;
}

}  // namespace

struct Reader::Impl {
    xml::Document document;
    SoapVersion version = SoapVersion::None;
    xml::Node envelope, header, body, fault;
    std::vector<FileAttachment> attachments;
    std::string error;

    void clear() {
        document = xml::Document();
        version = SoapVersion::None;
        envelope = header = body = fault = xml::Node();
        attachments.clear();
        error.clear();
    }

    bool fail(std::string why) {
        clear();
        error = std::move(why);
        return false;
    }

    bool loadEnvelope(std::string_view bytes) {
        clear();
        if (!document.loadXML(bytes))
            return fail(document.parseError().reason);
        xml::Node root = document.documentElement();
        if (root.baseName() == "Envelope" && root.namespaceURI() == kSoap11EnvelopeNs) {
            version = SoapVersion::Soap11;
        } else if (root.baseName() == "Envelope" && root.namespaceURI() == kSoap12EnvelopeNs) {
            version = SoapVersion::Soap12;
        } else {
            return fail("the document is not a SOAP envelope (its root element is " +
                        describeElement(root) + ")");
        }
        std::string_view ns = envelopeNamespace(version);
        envelope = root;
        header = childIn(root, "Header", ns);
        body = childIn(root, "Body", ns);
        fault = childIn(body, "Fault", ns);
        return true;
    }
};

Reader::Reader() : impl_(std::make_unique<Impl>()) {}
Reader::~Reader() = default;
Reader::Reader(Reader&& other) noexcept = default;
Reader& Reader::operator=(Reader&& other) noexcept = default;

bool Reader::load(std::string_view bytes) {
    return impl_->loadEnvelope(bytes);
}

bool Reader::loadDime(std::string_view bytes, const dime::ParseLimits& limits) {
    dime::ParseResult message = dime::parse(bytes, limits);
    if (!message.ok())
        return impl_->fail(std::move(message.error));
    if (!impl_->loadEnvelope(message.records.front().data))
        return false;
    impl_->attachments.reserve(message.records.size() - 1);
    for (std::size_t i = 1; i < message.records.size(); ++i) {
        dime::Record& record = message.records[i];
        FileAttachment attachment;
        attachment.setProperty(kDimeIdProperty, record.id);
        attachment.setProperty(kDimeTypeProperty, record.type);
        attachment.setProperty(kDimeTnfProperty, dime::typeFormatName(record.tnf));
        attachment.setContent(std::move(record.data));
        impl_->attachments.push_back(std::move(attachment));
    }
    return true;
}

const std::string& Reader::error() const {
    return impl_->error;
}

SoapVersion Reader::version() const {
    return impl_->version;
}

xml::Node Reader::envelope() const {
    return impl_->envelope;
}

xml::Node Reader::header() const {
    return impl_->header;
}

xml::Node Reader::body() const {
    return impl_->body;
}

std::vector<xml::Node> Reader::headerEntries() const {
    return childElements(impl_->header);
}

std::vector<xml::Node> Reader::bodyEntries() const {
    return childElements(impl_->body);
}

xml::Node Reader::fault() const {
    return impl_->fault;
}

// SOAP 1.1 fault parts are unqualified (some servers qualify them anyway, so any namespace is
// taken); SOAP 1.2 puts them in the envelope namespace.
xml::Node Reader::faultCode() const {
    const Impl& m = *impl_;
    if (m.version == SoapVersion::Soap12)
        return childIn(childIn(m.fault, "Code", kSoap12EnvelopeNs), "Value", kSoap12EnvelopeNs);
    return m.fault ? m.fault.firstChildElement("faultcode") : xml::Node();
}

xml::Node Reader::faultString() const {
    const Impl& m = *impl_;
    if (m.version == SoapVersion::Soap12)
        return childIn(childIn(m.fault, "Reason", kSoap12EnvelopeNs), "Text", kSoap12EnvelopeNs);
    return m.fault ? m.fault.firstChildElement("faultstring") : xml::Node();
}

xml::Node Reader::faultDetail() const {
    const Impl& m = *impl_;
    if (m.version == SoapVersion::Soap12)
        return childIn(m.fault, "Detail", kSoap12EnvelopeNs);
    return m.fault ? m.fault.firstChildElement("detail") : xml::Node();
}

const std::vector<FileAttachment>& Reader::attachments() const {
    return impl_->attachments;
}

const FileAttachment* Reader::findAttachment(std::string_view id) const {
    for (const FileAttachment& a : impl_->attachments) {
        if (a.dimeId() == id)
            return &a;
    }
    return nullptr;
}

}  // namespace nv::soap
