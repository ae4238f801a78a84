#include "platform/soap/serializer.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/soap/attachment_id.h"
#include "platform/soap/xml_text.h"
#include "platform/text/unicode.h"

namespace nv::soap {

namespace {

constexpr std::string_view kXmlNs = "http://www.w3.org/XML/1998/namespace";

enum class Kind { Envelope, Header, Body, Element };

enum class Stage {
    Uninitialised,
    Ready,       // init() done, no envelope yet
    InEnvelope,  // between startEnvelope() and endEnvelope()
    Ended,       // envelope complete, finish() not yet called
    Finished,
};

struct OpenElement {
    std::string name;  // qualified, as written in the tag
    Kind kind = Kind::Element;
    std::vector<std::pair<std::string, std::string>> declarations;  // prefix, URI
};

// Case is ignored as everywhere else names are compared.
bool sameName(std::string_view a, std::string_view b) {
    return text::equalsIgnoreCase(text::utf8ToUtf16(a), text::utf8ToUtf16(b));
}

bool isNoEncodingStyle(std::string_view style) {
    return sameName(style, kNoEncodingStyle);
}

}  // namespace

struct Serializer::Impl {
    std::string* out = nullptr;        // the caller's; outlives finish()
    DimeComposer* composer = nullptr;  // the caller's; null for plain XML
    std::string envelope;              // with a composer: the markup until finish()
    std::string error;
    std::string envelopePrefix;
    std::vector<OpenElement> open;
    std::vector<FileAttachment> attachments;
    Stage stage = Stage::Uninitialised;
    bool tagOpen = false;
    bool headerStarted = false;
    bool bodyStarted = false;

    std::string& sink() { return composer ? envelope : *out; }

    bool fail(std::string_view operation, const std::string& what) {
        if (error.empty())
            error = std::string(operation) + ": " + what;
        return false;
    }

    // Whether content operations may run now.
    bool inEnvelope(std::string_view operation) {
        if (!error.empty())
            return false;
        switch (stage) {
            case Stage::Uninitialised:
                return fail(operation, "the serializer is not initialised");
            case Stage::Ready:
                return fail(operation, "no envelope has been started");
            case Stage::InEnvelope:
                return true;
            case Stage::Ended:
                return fail(operation, "the envelope is already ended");
            case Stage::Finished:
                return fail(operation, "the message is already finished");
        }
        return false;
    }

    void closeStartTag() {
        if (tagOpen) {
            sink() += '>';
            tagOpen = false;
        }
    }

    std::string_view lookup(std::string_view prefix) const {
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            for (const auto& [p, uri] : it->declarations) {
                if (p == prefix)
                    return uri;
            }
        }
        return prefix == "xml" ? kXmlNs : std::string_view();
    }

    // Writes xmlns[:prefix]="uri" into the open start tag.
    void declare(std::string_view prefix, std::string_view uri) {
        std::string& s = sink();
        s += prefix.empty() ? " xmlns" : " xmlns:";
        s += prefix;
        s += "=\"";
        markup::appendEscapedAttribute(s, uri);
        s += '"';
        open.back().declarations.emplace_back(prefix, uri);
    }

    bool checkText(std::string_view operation, std::string_view text) {
        std::string problem = markup::textProblem(text);
        return problem.empty() || fail(operation, problem);
    }

    bool writeEncodingStyle(std::string_view operation, std::string_view style) {
        if (isNoEncodingStyle(style))
            return true;
        if (!checkText(operation, style))
            return false;
        std::string& s = sink();
        s += ' ';
        s += envelopePrefix;
        s += ":encodingStyle=\"";
        markup::appendEscapedAttribute(s, style);
        s += '"';
        return true;
    }

    void startTag(std::string name, Kind kind) {
        closeStartTag();
        std::string& s = sink();
        s += '<';
        s += name;
        open.push_back({std::move(name), kind, {}});
        tagOpen = true;
    }

    void endTag() {
        std::string& s = sink();
        if (tagOpen) {
            s += "/>";
            tagOpen = false;
        } else {
            s += "</";
            s += open.back().name;
            s += '>';
        }
        open.pop_back();
    }

    std::string soapName(std::string_view local) const {
        return envelopePrefix + ":" + std::string(local);
    }

    // Describes what is open inside the envelope, innermost last.
    std::string openList() const {
        std::string list;
        for (std::size_t i = 1; i < open.size(); ++i) {
            if (!list.empty())
                list += ", ";
            list += open[i].name;
        }
        return list;
    }

    void reset(std::string& output, DimeComposer* dime) {
        out = &output;
        composer = dime;
        envelope.clear();
        error.clear();
        envelopePrefix.clear();
        open.clear();
        attachments.clear();
        stage = Stage::Ready;
        tagOpen = false;
        headerStarted = false;
        bodyStarted = false;
    }
};

Serializer::Serializer() : impl_(std::make_unique<Impl>()) {}

Serializer::~Serializer() = default;

void Serializer::init(std::string& out) {
    impl_->reset(out, nullptr);
}

void Serializer::init(std::string& out, DimeComposer& composer) {
    impl_->reset(out, &composer);
}

bool Serializer::startEnvelope(std::string_view prefix, std::string_view encodingStyle,
                               std::string_view charset) {
    Impl& m = *impl_;
    constexpr std::string_view op = "startEnvelope";
    if (!m.error.empty())
        return false;
    if (m.stage == Stage::Uninitialised)
        return m.fail(op, "the serializer is not initialised");
    if (m.stage != Stage::Ready)
        return m.fail(op, "the envelope is already started");
    if (!charset.empty() && !sameName(charset, "UTF-8") && !sameName(charset, "UTF8")) {
        return m.fail(op, "charset '" + std::string(charset) +
                              "' is not supported; the serializer writes UTF-8");
    }
    std::string_view envPrefix = prefix.empty() ? kDefaultEnvelopePrefix : prefix;
    if (!markup::isWritableName(envPrefix, false))
        return m.fail(op, "'" + std::string(envPrefix) + "' cannot be a prefix");
    m.envelopePrefix.assign(envPrefix);
    m.stage = Stage::InEnvelope;
    m.sink() += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>";
    m.startTag(m.soapName("Envelope"), Kind::Envelope);
    m.declare(m.envelopePrefix, kSoap11EnvelopeNs);
    return m.writeEncodingStyle(op, encodingStyle);
}

bool Serializer::declareNamespace(std::string_view prefix, std::string_view uri) {
    Impl& m = *impl_;
    constexpr std::string_view op = "declareNamespace";
    if (!m.inEnvelope(op))
        return false;
    if (!m.tagOpen)
        return m.fail(op, "no start tag is open");
    if (!prefix.empty() && (!markup::isWritableName(prefix, false) || prefix == "xmlns"))
        return m.fail(op, "'" + std::string(prefix) + "' cannot be a prefix");
    if (!prefix.empty() && uri.empty())
        return m.fail(op, "prefix '" + std::string(prefix) + "' needs a namespace URI");
    if (!m.checkText(op, uri))
        return false;
    for (const auto& [p, bound] : m.open.back().declarations) {
        if (p != prefix)
            continue;
        if (bound == uri)
            return true;
        return m.fail(op, "prefix '" + std::string(prefix) + "' is already declared on " +
                              m.open.back().name + " as '" + bound + "'");
    }
    m.declare(prefix, uri);
    return true;
}

bool Serializer::startHeader(std::string_view encodingStyle) {
    Impl& m = *impl_;
    constexpr std::string_view op = "startHeader";
    if (!m.inEnvelope(op))
        return false;
    if (m.open.back().kind != Kind::Envelope)
        return m.fail(op, "the header belongs directly inside the envelope, not inside " +
                              m.open.back().name);
    if (m.headerStarted || m.bodyStarted)
        return m.fail(op, "the header must be the first and only one in the envelope");
    m.headerStarted = true;
    m.startTag(m.soapName("Header"), Kind::Header);
    return m.writeEncodingStyle(op, encodingStyle);
}

bool Serializer::endHeader() {
    Impl& m = *impl_;
    constexpr std::string_view op = "endHeader";
    if (!m.inEnvelope(op))
        return false;
    if (m.open.back().kind != Kind::Header)
        return m.fail(op, "the innermost open element is " + m.open.back().name);
    m.endTag();
    return true;
}

bool Serializer::startBody(std::string_view encodingStyle) {
    Impl& m = *impl_;
    constexpr std::string_view op = "startBody";
    if (!m.inEnvelope(op))
        return false;
    if (m.open.back().kind != Kind::Envelope)
        return m.fail(
            op, "the body belongs directly inside the envelope, not inside " + m.open.back().name);
    if (m.bodyStarted)
        return m.fail(op, "the envelope already has a body");
    m.bodyStarted = true;
    m.startTag(m.soapName("Body"), Kind::Body);
    return m.writeEncodingStyle(op, encodingStyle);
}

bool Serializer::endBody() {
    Impl& m = *impl_;
    constexpr std::string_view op = "endBody";
    if (!m.inEnvelope(op))
        return false;
    if (m.open.back().kind != Kind::Body)
        return m.fail(op, "the innermost open element is " + m.open.back().name);
    m.endTag();
    return true;
}

bool Serializer::startElement(std::string_view name, std::string_view namespaceUri,
                              std::string_view encodingStyle, std::string_view prefix) {
    Impl& m = *impl_;
    constexpr std::string_view op = "startElement";
    if (!m.inEnvelope(op))
        return false;
    if (!markup::isWritableName(name, prefix.empty()))
        return m.fail(op, "'" + std::string(name) + "' cannot be an element name");
    if (!prefix.empty() && !markup::isWritableName(prefix, false))
        return m.fail(op, "'" + std::string(prefix) + "' cannot be a prefix");
    if (!m.checkText(op, namespaceUri))
        return false;
    std::string qualified =
        prefix.empty() ? std::string(name) : std::string(prefix) + ":" + std::string(name);
    // A name given qualified binds its own prefix.
    std::string_view bound = prefix;
    if (prefix.empty() && name.find(':') != std::string_view::npos)
        bound = name.substr(0, name.find(':'));
    m.startTag(std::move(qualified), Kind::Element);
    if (!namespaceUri.empty() && m.lookup(bound) != namespaceUri)
        m.declare(bound, namespaceUri);
    return m.writeEncodingStyle(op, encodingStyle);
}

bool Serializer::writeXml(std::string_view raw) {
    Impl& m = *impl_;
    if (!m.inEnvelope("writeXml"))
        return false;
    m.closeStartTag();
    m.sink() += raw;
    return true;
}

bool Serializer::writeString(std::string_view text) {
    Impl& m = *impl_;
    constexpr std::string_view op = "writeString";
    if (!m.inEnvelope(op) || !m.checkText(op, text))
        return false;
    m.closeStartTag();
    markup::appendEscapedText(m.sink(), text);
    return true;
}

bool Serializer::endElement() {
    Impl& m = *impl_;
    constexpr std::string_view op = "endElement";
    if (!m.inEnvelope(op))
        return false;
    if (m.open.back().kind != Kind::Element)
        return m.fail(op, "no element is open inside " + m.open.back().name);
    m.endTag();
    return true;
}

bool Serializer::endEnvelope() {
    Impl& m = *impl_;
    constexpr std::string_view op = "endEnvelope";
    if (!m.error.empty())
        return false;
    if (m.stage == Stage::Ready || m.stage == Stage::Uninitialised)
        return m.fail(op, "the envelope was not started");
    if (!m.inEnvelope(op))
        return false;
    if (m.open.size() > 1) {
        std::size_t count = m.open.size() - 1;
        return m.fail(op, std::to_string(count) + (count == 1 ? " element is" : " elements are") +
                              " still open: " + m.openList());
    }
    m.endTag();
    m.stage = Stage::Ended;
    return true;
}

bool Serializer::finish() {
    Impl& m = *impl_;
    constexpr std::string_view op = "finish";
    if (!m.error.empty())
        return false;
    switch (m.stage) {
        case Stage::Uninitialised:
            return m.fail(op, "the serializer is not initialised");
        case Stage::Ready:
        case Stage::InEnvelope:
            return m.fail(op, "the envelope is not ended");
        case Stage::Finished:
            return m.fail(op, "the message is already finished");
        case Stage::Ended:
            break;
    }
    m.stage = Stage::Finished;
    if (!m.composer)
        return true;
    std::string why;
    if (!m.composer->compose(m.envelope, m.attachments, *m.out, why))
        return m.fail(op, why);
    m.envelope.clear();
    m.attachments.clear();
    return true;
}

bool Serializer::addAttachment(FileAttachment& attachment, bool writeReference) {
    Impl& m = *impl_;
    constexpr std::string_view op = "addAttachment";
    if (!m.error.empty())
        return false;
    if (m.stage == Stage::Uninitialised)
        return m.fail(op, "the serializer is not initialised");
    if (m.stage == Stage::Finished)
        return m.fail(op, "the message is already finished");
    if (!m.composer)
        return m.fail(op, "attachments need a serializer initialised with a DIME composer");
    if (writeReference) {
        if (!m.inEnvelope(op))
            return false;
        if (!m.tagOpen)
            return m.fail(op, "no start tag is open for the reference");
        if (attachment.dimeId().empty())
            attachment.setProperty(kDimeIdProperty, newAttachmentId());
        if (!m.checkText(op, attachment.dimeId()))
            return false;
        std::string& s = m.sink();
        s += " href=\"";
        markup::appendEscapedAttribute(s, attachment.dimeId());
        s += '"';
    }
    m.attachments.push_back(attachment);
    return true;
}

const std::string& Serializer::error() const {
    return impl_->error;
}

}  // namespace nv::soap
