#include "examples/demo_service/rpc_operations.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "examples/demo_service/base64.h"
#include "examples/demo_service/demo_namespaces.h"
#include "examples/demo_service/envelope.h"
#include "examples/demo_service/lexical.h"
#include "examples/demo_service/xml_writer.h"
#include "platform/dime/composer.h"
#include "platform/dime/record.h"
#include "platform/soap/attachment_id.h"
#include "platform/soap/file_attachment.h"
#include "platform/soap/namespaces.h"

namespace nv::demo {

namespace {

// ---- answers ---------------------------------------------------------------------------------

// Envelope (also declaring enc, the types' namespace), Body and the ns1:<operation>Response
// wrapper; the caller writes the accessors. Closing the wrapper leaves the writer in the Body,
// where multi-reference values go.
XmlWriter startResponse(std::string_view operation) {
    XmlWriter w;
    openEnvelope(w);
    w.attribute("xmlns:enc", kDemoEncodedNs);
    w.start("soap:Body");
    w.start("ns1:" + std::string(operation) + "Response")
        .attribute("soap:encodingStyle", kSoapEncodingNs)
        .attribute("xmlns:ns1", kDemoRpcNs);
    return w;
}

Answer finish(XmlWriter& w) {
    return envelopeAnswer(w.take());
}

void typedValue(XmlWriter& w, std::string_view name, std::string_view type,
                std::string_view value) {
    w.start(name).attribute("xsi:type", type).text(value).end();
}

// `<name xsi:type="soapenc:Array" soapenc:arrayType="...">`, left open for the items.
void startArray(XmlWriter& w, std::string_view name, const std::string& arrayType) {
    w.start(name).attribute("xsi:type", "soapenc:Array").attribute("soapenc:arrayType", arrayType);
}

std::string count(std::size_t n) {
    return formatInt(static_cast<std::int64_t>(n));
}

// ---- Add -------------------------------------------------------------------------------------

Answer add(const Call& call) {
    const std::int64_t sum = std::int64_t{call.read.requireInt(call.operation, "a")} +
                             call.read.requireInt(call.operation, "b");
    if (sum < std::numeric_limits<std::int32_t>::min() ||
        sum > std::numeric_limits<std::int32_t>::max())
        throw SoapFault(FaultCode::Client, "the sum " + formatInt(sum) + " is not an xsd:int");
    XmlWriter w = startResponse("Add");
    typedValue(w, "return", "xsd:int", formatInt(sum));
    return finish(w);
}

// ---- EchoStringArray -------------------------------------------------------------------------

Answer echoStringArray(const Call& call) {
    xml::Node values = call.read.require(call.operation, "values");
    XmlWriter w = startResponse("EchoStringArray");
    if (RequestReader::isNil(values)) {
        w.start("return").attribute("xsi:nil", "true").end();
        return finish(w);
    }
    // Items are read whatever they are called: "item", "string", or the array's own name.
    const std::vector<xml::Node> items = call.read.all(values);
    startArray(w, "return", "xsd:string[" + count(items.size()) + "]");
    for (xml::Node item : items) {
        if (RequestReader::isNil(item))
            w.start("item").attribute("xsi:nil", "true").end();
        else
            typedValue(w, "item", "xsd:string", item.text());
    }
    return finish(w);
}

// ---- TransposeMatrix -------------------------------------------------------------------------

using Matrix = std::vector<std::vector<std::int32_t>>;

Matrix readMatrix(const RequestReader& read, xml::Node matrix) {
    Matrix rows;
    for (xml::Node row : read.all(matrix)) {
        std::vector<std::int32_t>& values = rows.emplace_back();
        for (xml::Node value : read.all(row))
            values.push_back(RequestReader::intValue(value, "a matrix value"));
        if (values.size() != rows.front().size()) {
            throw SoapFault(FaultCode::Client,
                            "row " + count(rows.size()) + " has " + count(values.size()) +
                                " values where row 1 has " + count(rows.front().size()) +
                                "; a matrix has rows of one length");
        }
    }
    return rows;
}

Answer transposeMatrix(const Call& call) {
    const Matrix rows = readMatrix(call.read, call.read.require(call.operation, "matrix"));
    const std::size_t columns = rows.empty() ? 0 : rows.front().size();
    XmlWriter w = startResponse("TransposeMatrix");
    startArray(w, "return", "xsd:int[][" + count(columns) + "]");
    for (std::size_t c = 0; c < columns; ++c) {
        startArray(w, "item", "xsd:int[" + count(rows.size()) + "]");
        for (const std::vector<std::int32_t>& row : rows)
            typedValue(w, "item", "xsd:int", formatInt(row[c]));
        w.end();
    }
    return finish(w);
}

// ---- GetMultiplicationTable ------------------------------------------------------------------

constexpr std::int32_t kMaxTableSide = 20;

Answer getMultiplicationTable(const Call& call) {
    const std::int32_t rows = call.read.requireInt(call.operation, "rows");
    const std::int32_t columns = call.read.requireInt(call.operation, "columns");
    for (std::int32_t side : {rows, columns}) {
        if (side < 1 || side > kMaxTableSide)
            throw SoapFault(FaultCode::Client,
                            "rows and columns must be 1 to 20, not " + formatInt(side));
    }
    XmlWriter w = startResponse("GetMultiplicationTable");
    // A rectangular array: every item in row-major order, the shape in arrayType.
    startArray(w, "return", "xsd:int[" + formatInt(rows) + "," + formatInt(columns) + "]");
    for (std::int32_t r = 1; r <= rows; ++r) {
        for (std::int32_t c = 1; c <= columns; ++c)
            typedValue(w, "item", "xsd:int", formatInt(r * c));
    }
    return finish(w);
}

// ---- ScaleGrid -------------------------------------------------------------------------------

// The R and C of an arrayType such as "xsd:int[2,3]".
std::pair<std::int64_t, std::int64_t> gridShape(xml::Node grid) {
    std::string arrayType;
    for (const xml::Attribute& a : grid.attributes())
        if (a.qualifiedName.size() >= 9 &&
            a.qualifiedName.compare(a.qualifiedName.size() - 9, 9, "arrayType") == 0)
            arrayType = a.value;
    const std::size_t open = arrayType.rfind('[');
    const std::size_t comma = arrayType.find(',', open == std::string::npos ? 0 : open);
    std::optional<std::int64_t> rows, columns;
    if (open != std::string::npos && comma != std::string::npos && arrayType.back() == ']') {
        rows = parseInt(arrayType.substr(open + 1, comma - open - 1));
        columns = parseInt(arrayType.substr(comma + 1, arrayType.size() - comma - 2));
    }
    if (!rows || !columns || *rows < 0 || *columns < 0 || *rows > kMaxTableSide ||
        *columns > kMaxTableSide)
        throw SoapFault(FaultCode::Client,
                        "grid needs a SOAP-ENC:arrayType of two dimensions of "
                        "at most 20, as xsd:int[2,3]; it has '" +
                            arrayType + "'");
    return {*rows, *columns};
}

Answer scaleGrid(const Call& call) {
    xml::Node grid = call.read.require(call.operation, "grid");
    const std::int64_t factor = call.read.requireInt(call.operation, "factor");
    const auto [rows, columns] = gridShape(grid);
    const std::vector<xml::Node> items = call.read.all(grid);
    if (static_cast<std::int64_t>(items.size()) != rows * columns)
        throw SoapFault(FaultCode::Client, "grid is " + formatInt(rows) + " by " +
                                               formatInt(columns) + " but holds " +
                                               count(items.size()) + " items");
    XmlWriter w = startResponse("ScaleGrid");
    startArray(w, "return", "xsd:int[" + formatInt(rows) + "," + formatInt(columns) + "]");
    for (xml::Node item : items) {
        const std::int64_t product = factor * RequestReader::intValue(item, "a grid value");
        if (product < std::numeric_limits<std::int32_t>::min() ||
            product > std::numeric_limits<std::int32_t>::max())
            throw SoapFault(FaultCode::Client, formatInt(product) + " is not an xsd:int");
        typedValue(w, "item", "xsd:int", formatInt(product));
    }
    return finish(w);
}

// ---- GetSparseSquares ------------------------------------------------------------------------

constexpr std::int32_t kMaxSparseSize = 100;

// A sparse array: its declared size, and only the items at perfect-square places, each with
// its SOAP-ENC:position.
Answer getSparseSquares(const Call& call) {
    const std::int32_t size = call.read.requireInt(call.operation, "size");
    if (size < 1 || size > kMaxSparseSize)
        throw SoapFault(FaultCode::Client, "size must be 1 to 100, not " + formatInt(size));
    XmlWriter w = startResponse("GetSparseSquares");
    startArray(w, "return", "xsd:int[" + formatInt(size) + "]");
    for (std::int32_t root = 0; root * root < size; ++root) {
        w.start("item")
            .attribute("soapenc:position", "[" + formatInt(root * root) + "]")
            .attribute("xsi:type", "xsd:int")
            .text(formatInt(root * root))
            .end();
    }
    return finish(w);
}

// ---- Member values ---------------------------------------------------------------------------

struct MemberData {
    std::string name;
    std::string role;
    std::int32_t age = 0;
    bool active = false;
    std::string joined;
};

// A Member's fields, inside an accessor or multiRef the caller has opened.
void writeMemberFields(XmlWriter& w, const MemberData& m) {
    typedValue(w, "name", "xsd:string", m.name);
    typedValue(w, "role", "xsd:string", m.role);
    typedValue(w, "age", "xsd:int", formatInt(m.age));
    typedValue(w, "active", "xsd:boolean", formatBoolean(m.active));
    typedValue(w, "joined", "xsd:dateTime", m.joined);
}

Answer echoMember(const Call& call) {
    const RequestReader& read = call.read;
    xml::Node member = read.require(call.operation, "member");
    MemberData m;
    m.name = read.requireString(member, "name");
    m.role = read.requireString(member, "role");
    m.age = read.requireInt(member, "age");
    m.active = read.requireBoolean(member, "active");
    m.joined = read.requireString(member, "joined");
    if (!isDateTime(m.joined))
        throw SoapFault(FaultCode::Client, "joined '" + m.joined + "' is not an xsd:dateTime");
    XmlWriter w = startResponse("EchoMember");
    w.start("return").attribute("xsi:type", "enc:Member");
    writeMemberFields(w, m);
    return finish(w);
}

// ---- GetTeam ---------------------------------------------------------------------------------

const std::array<MemberData, 3>& teamMembers() {
    static const std::array<MemberData, 3> kMembers = {{
        {"Grace Hopper", "Lead", 45, true, "2019-03-01T09:00:00Z"},
        {"Alan Turing", "Engineer", 41, true, "2020-06-23T09:00:00Z"},
        {"Edsger Dijkstra", "Reviewer", 72, false, "2021-05-11T09:00:00Z"},
    }};
    return kMembers;
}

// An independent value in the Body, as a multi-reference serializer writes it; left open.
void startMultiRef(XmlWriter& w, std::string_view id, std::string_view type) {
    w.start("multiRef")
        .attribute("id", id)
        .attribute("soapenc:root", "0")
        .attribute("soap:encodingStyle", kSoapEncodingNs)
        .attribute("xsi:type", type);
}

// The team is id0 and member i is id<i+1>; the leader, member 1, is referred to twice.
Answer getTeam(const Call& call) {
    const std::string teamName = call.read.requireString(call.operation, "teamName");
    const auto& members = teamMembers();
    XmlWriter w = startResponse("GetTeam");
    w.start("return").attribute("href", "#id0").end();
    w.end();  // the response wrapper

    startMultiRef(w, "id0", "enc:Team");
    typedValue(w, "name", "xsd:string", teamName);
    w.start("leader").attribute("href", "#id1").end();
    startArray(w, "members", "enc:Member[" + count(members.size()) + "]");
    for (std::size_t i = 0; i < members.size(); ++i)
        w.start("item").attribute("href", "#id" + count(i + 1)).end();
    w.end().end();

    for (std::size_t i = 0; i < members.size(); ++i) {
        startMultiRef(w, "id" + count(i + 1), "enc:Member");
        writeMemberFields(w, members[i]);
        w.end();
    }
    return finish(w);
}

// ---- EchoAttachment --------------------------------------------------------------------------

constexpr std::string_view kDefaultAttachmentType = "application/octet-stream";

// The attachment the document accessor names with href, or its inline base64 content.
dime::Record incomingAttachment(const Call& call) {
    xml::Node document = call.read.require(call.operation, "document");
    const std::string href = document.attribute("href");
    dime::Record record;
    if (href.empty()) {
        std::optional<std::string> bytes = decodeBase64(document.text());
        if (!bytes)
            throw SoapFault(FaultCode::Client, "document is neither an href nor base64 content");
        record.data = std::move(*bytes);
        record.type = kDefaultAttachmentType;
        record.tnf = dime::TypeFormat::MediaType;
        return record;
    }
    const soap::FileAttachment* attachment = call.message.findAttachment(href);
    if (!attachment) {
        throw SoapFault(FaultCode::Client, "document refers to " + href +
                                               ", but the message has no attachment with that id");
    }
    record.data = attachment->content();
    record.type = attachment->dimeType();
    record.tnf =
        dime::typeFormatFromName(attachment->dimeTnf()).value_or(dime::TypeFormat::Unknown);
    if (record.tnf == dime::TypeFormat::None)
        record.tnf = dime::TypeFormat::Unknown;  // an echo has content, which "none" cannot carry
    if (record.tnf == dime::TypeFormat::Unknown)
        record.type.clear();
    return record;
}

Answer echoAttachment(const Call& call) {
    dime::Record attachment = incomingAttachment(call);
    attachment.id = soap::newAttachmentId();

    XmlWriter w = startResponse("EchoAttachment");
    w.start("return").attribute("href", attachment.id).end();

    dime::Record envelope;
    envelope.id = soap::newAttachmentId();
    envelope.type = soap::kSoap11EnvelopeNs;
    envelope.tnf = dime::TypeFormat::AbsoluteUri;
    envelope.data = w.take();

    const std::vector<dime::Record> records = {std::move(envelope), std::move(attachment)};
    if (std::string problem = dime::composeProblem(records); !problem.empty())
        throw SoapFault(FaultCode::Server, "the answer cannot be sent as DIME: " + problem);
    Answer answer;
    answer.contentType = kDimeContentType;
    answer.body = dime::compose(records);
    return answer;
}

constexpr Operation kOperations[] = {
    {"Add", add},
    {"EchoStringArray", echoStringArray},
    {"TransposeMatrix", transposeMatrix},
    {"GetMultiplicationTable", getMultiplicationTable},
    {"ScaleGrid", scaleGrid},
    {"GetSparseSquares", getSparseSquares},
    {"EchoMember", echoMember},
    {"GetTeam", getTeam},
    {"EchoAttachment", echoAttachment},
};

}  // namespace

std::span<const Operation> rpcOperations() {
    return kOperations;
}

}  // namespace nv::demo
