#include "examples/demo_service/document_operations.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "examples/demo_service/base64.h"
#include "examples/demo_service/demo_image.h"
#include "examples/demo_service/demo_namespaces.h"
#include "examples/demo_service/envelope.h"
#include "examples/demo_service/lexical.h"
#include "examples/demo_service/xml_writer.h"
#include "platform/text/unicode.h"

namespace nv::demo {

namespace {

// ---- answers ---------------------------------------------------------------------------------

// Envelope, optional Header content, Body and the response wrapper in the demo namespace, which
// is the default namespace from there on; the caller writes the wrapper's children.
XmlWriter startResponse(std::string_view wrapper, std::string_view headerMarkup = {}) {
    XmlWriter w;
    openEnvelope(w);
    if (!headerMarkup.empty())
        w.start("soap:Header").raw(headerMarkup).end();
    w.start("soap:Body").start(wrapper).attribute("xmlns", kDemoNs);
    return w;
}

Answer finish(XmlWriter& w) {
    return envelopeAnswer(w.take());
}

// ---- EchoString ------------------------------------------------------------------------------

Answer echoString(const Call& call) {
    const std::string text = call.read.requireString(call.operation, "text");
    XmlWriter w = startResponse("EchoStringResponse");
    w.element("EchoStringResult", text);
    return finish(w);
}

// ---- Calculate -------------------------------------------------------------------------------

Answer calculate(const Call& call) {
    const double a = call.read.requireDouble(call.operation, "a");
    const double b = call.read.requireDouble(call.operation, "b");
    const std::string op = call.read.requireString(call.operation, "operator");
    double result = 0;
    if (op == "Add") {
        result = a + b;
    } else if (op == "Subtract") {
        result = a - b;
    } else if (op == "Multiply") {
        result = a * b;
    } else if (op == "Divide") {
        if (b == 0)
            throw SoapFault(FaultCode::Client, "Calculate cannot divide by zero");
        result = a / b;
    } else {
        throw SoapFault(FaultCode::Client, "'" + op +
                                               "' is not a CalculationOperator (Add, Subtract, "
                                               "Multiply or Divide)");
    }
    XmlWriter w = startResponse("CalculateResponse");
    w.element("CalculateResult", formatDouble(result));
    return finish(w);
}

// ---- GetPerson -------------------------------------------------------------------------------

struct AddressData {
    std::string_view street, city, postalCode, country;
};

struct PersonData {
    int id;
    std::string_view name;
    int age;
    double height;
    std::string_view balance;
    bool member;
    std::string_view status;
    std::string_view birthDate;
    std::optional<std::string_view> email;
    std::optional<AddressData> address;
    std::vector<std::string_view> phones;
};

// Person 1 has every optional field and two phone numbers; person 2 none of them.
const std::array<PersonData, 2>& people() {
    static const std::array<PersonData, 2> kPeople = {{
        {1,
         "Ada Lovelace",
         36,
         1.65,
         "1234.50",
         true,
         "Active",
         "1815-12-10T08:00:00Z",
         "ada@example.org",
         AddressData{"12 St James's Square", "London", "SW1Y 4JH", "United Kingdom"},
         {"+44 20 7946 0018", "+44 20 7946 0019"}},
        {2,
         "Charles Babbage",
         79,
         1.78,
         "-20.75",
         false,
         "Closed",
         "1791-12-26T12:00:00Z",
         std::nullopt,
         std::nullopt,
         {}},
    }};
    return kPeople;
}

void writePerson(XmlWriter& w, const PersonData& p) {
    w.start("person").attribute("id", formatInt(p.id));
    w.element("name", p.name);
    w.element("age", formatInt(p.age));
    w.element("height", formatDouble(p.height));
    w.element("balance", p.balance);
    w.element("member", formatBoolean(p.member));
    w.element("status", p.status);
    w.element("birthDate", p.birthDate);
    if (p.email)
        w.element("email", *p.email);
    if (p.address) {
        w.start("address");
        w.element("street", p.address->street);
        w.element("city", p.address->city);
        w.element("postalCode", p.address->postalCode);
        w.element("country", p.address->country);
        w.end();
    }
    for (std::string_view phone : p.phones)
        w.element("phone", phone);
    w.end();
}

Answer getPerson(const Call& call) {
    const std::int32_t id = call.read.requireInt(call.operation, "id");
    for (const PersonData& person : people()) {
        if (person.id == id) {
            XmlWriter w = startResponse("GetPersonResponse");
            writePerson(w, person);
            return finish(w);
        }
    }
    throw SoapFault(FaultCode::Client, "there is no person " + formatInt(id) + " (try 1 or 2)");
}

// ---- ValidatePerson --------------------------------------------------------------------------

constexpr std::array<std::string_view, 3> kStatuses = {"Active", "Suspended", "Closed"};

// Collects what is wrong with a Person instead of stopping at the first fault.
class PersonCheck {
  public:
    PersonCheck(const RequestReader& read, xml::Node person) : read_(read), person_(person) {}

    // The text of a required child; nullopt (and a problem noted) when it is missing, nil or
    // blank.
    std::optional<std::string> required(std::string_view name) {
        std::optional<std::string> value = read_.optionalString(person_, name);
        if (!value) {
            note(std::string(name) + " is missing");
        } else if (isBlank(*value)) {
            note(std::string(name) + " is empty");
            value.reset();
        }
        return value;
    }

    void note(std::string problem) { problems_.push_back(std::move(problem)); }
    const std::vector<std::string>& problems() const { return problems_; }
    xml::Node person() const { return person_; }
    const RequestReader& read() const { return read_; }

  private:
    const RequestReader& read_;
    xml::Node person_;
    std::vector<std::string> problems_;
};

std::string quoted(std::string_view name, std::string_view value) {
    return std::string(name) + " '" + std::string(value) + "'";
}

void checkPersonFields(PersonCheck& check, std::optional<std::int32_t>& age) {
    xml::Node person = check.person();
    if (!person.hasAttribute("id"))
        check.note("the id attribute is missing");
    else if (!parseInt(person.attribute("id")))
        check.note(quoted("id", person.attribute("id")) + " is not an xsd:int");

    check.required("name");
    if (auto text = check.required("age")) {
        age = parseInt(*text);
        if (!age)
            check.note(quoted("age", *text) + " is not an xsd:int");
        else if (*age < 0 || *age > 150)
            check.note("age " + formatInt(*age) + " is outside 0 to 150");
    }
    if (auto text = check.required("height")) {
        const std::optional<double> height = parseDouble(*text);
        if (!height)
            check.note(quoted("height", *text) + " is not an xsd:double");
        else if (!(*height > 0))
            check.note("height must be more than zero");
    }
    if (auto text = check.required("balance"); text && !isDecimal(*text))
        check.note(quoted("balance", *text) + " is not an xsd:decimal");
    if (auto text = check.required("member"); text && !parseBoolean(*text))
        check.note(quoted("member", *text) + " is not an xsd:boolean");
    if (auto text = check.required("status");
        text && std::find(kStatuses.begin(), kStatuses.end(), *text) == kStatuses.end())
        check.note(quoted("status", *text) + " is not Active, Suspended or Closed");
    if (auto text = check.required("birthDate"); text && !isDateTime(*text))
        check.note(quoted("birthDate", *text) + " is not an xsd:dateTime");
}

void checkPersonOptionals(PersonCheck& check, std::size_t& phones) {
    const RequestReader& read = check.read();
    // A blank optional field is one left out.
    if (auto email = read.optionalString(check.person(), "email"); email && !isBlank(*email)) {
        const std::size_t at = email->find('@');
        if (at == std::string::npos || at == 0 || at + 1 == email->size())
            check.note(quoted("email", *email) + " is not an e-mail address");
    }
    if (xml::Node address = read.find(check.person(), "address");
        address && !RequestReader::isNil(address)) {
        for (std::string_view field : {"street", "city", "country"}) {
            const auto value = read.optionalString(address, field);
            if (!value || isBlank(*value))
                check.note("address " + std::string(field) + (value ? " is empty" : " is missing"));
        }
    }
    const std::vector<xml::Node> numbers = read.all(check.person(), "phone");
    phones = numbers.size();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (isBlank(numbers[i].text()))
            check.note("phone " + formatInt(static_cast<std::int64_t>(i + 1)) + " is empty");
    }
}

Answer validatePerson(const Call& call) {
    PersonCheck check(call.read, call.read.require(call.operation, "person"));
    std::optional<std::int32_t> age;
    std::size_t phones = 0;
    checkPersonFields(check, age);
    checkPersonOptionals(check, phones);

    std::string summary = call.read.optionalString(check.person(), "name").value_or("");
    if (summary.empty())
        summary = "(no name)";
    if (age)
        summary += ", " + formatInt(*age);
    summary += ", " + formatInt(static_cast<std::int64_t>(phones)) +
               (phones == 1 ? " phone number" : " phone numbers");

    XmlWriter w = startResponse("ValidatePersonResponse");
    w.element("valid", formatBoolean(check.problems().empty()));
    w.element("summary", summary);
    for (const std::string& problem : check.problems())
        w.element("problem", problem);
    return finish(w);
}

// ---- ComputeStatistics -----------------------------------------------------------------------

Answer computeStatistics(const Call& call) {
    std::vector<double> values;
    for (xml::Node value : call.read.all(call.operation, "value")) {
        // An empty element is a value left blank, not a number.
        if (!isBlank(value.text()))
            values.push_back(RequestReader::doubleValue(value, "'value'"));
    }
    double sum = 0;
    for (double v : values)
        sum += v;
    XmlWriter w = startResponse("ComputeStatisticsResponse");
    w.element("count", formatInt(static_cast<std::int64_t>(values.size())));
    w.element("sum", formatDouble(sum));
    if (!values.empty()) {
        w.element("mean", formatDouble(sum / static_cast<double>(values.size())));
        w.element("minimum", formatDouble(*std::min_element(values.begin(), values.end())));
        w.element("maximum", formatDouble(*std::max_element(values.begin(), values.end())));
    }
    return finish(w);
}

// ---- GetShape --------------------------------------------------------------------------------

Answer getShape(const Call& call) {
    const std::string name = call.read.requireString(call.operation, "name");
    const std::u16string wanted = text::utf8ToUtf16(name);
    XmlWriter w = startResponse("GetShapeResponse");
    // The wrapper's default namespace does not give xsi:type a prefix, so tns is declared.
    w.attribute("xmlns:tns", kDemoNs);
    if (text::equalsIgnoreCase(wanted, u"circle")) {
        w.start("shape").attribute("xsi:type", "tns:Circle");
        w.element("name", "circle").element("color", "red").element("radius", "2.5");
    } else if (text::equalsIgnoreCase(wanted, u"rectangle")) {
        w.start("shape").attribute("xsi:type", "tns:Rectangle");
        w.element("name", "rectangle").element("color", "blue");
        w.element("width", "3").element("height", "4");
    } else {
        throw SoapFault(FaultCode::Client,
                        "there is no shape '" + name + "' (try circle or rectangle)");
    }
    return finish(w);
}

// ---- GetSessionInfo --------------------------------------------------------------------------

constexpr std::string_view kSessionHeader = "SessionHeader";

Answer getSessionInfo(const Call& call) {
    std::string sessionId;
    for (xml::Node entry : call.message.headerEntries()) {
        if (entry.baseName() == kSessionHeader)
            sessionId = call.read.optionalString(entry, "sessionId").value_or("");
    }
    XmlWriter header;
    header.start("SessionEcho").attribute("xmlns", kDemoNs);
    header.element("sessionId", sessionId);
    header.element("receivedAt", formatDateTime(std::time(nullptr)));

    XmlWriter w = startResponse("GetSessionInfoResponse", header.take());
    w.element("sessionKnown", formatBoolean(!sessionId.empty()));
    if (!sessionId.empty())
        w.element("sessionId", sessionId);
    return finish(w);
}

// ---- GetImage --------------------------------------------------------------------------------

Answer getImage(const Call&) {
    XmlWriter w = startResponse("GetImageResponse");
    w.element("mimeType", kDemoImageMimeType);
    w.element("image", encodeBase64(demoImagePng()));
    return finish(w);
}

// ---- Fail ------------------------------------------------------------------------------------

constexpr std::int32_t kDefaultErrorCode = 42;

Answer fail(const Call& call) {
    const std::string code = call.read.optionalString(call.operation, "faultCode").value_or("");
    FaultCode faultCode = FaultCode::Server;
    if (code == "Client")
        faultCode = FaultCode::Client;
    else if (!code.empty() && code != "Server")
        throw SoapFault(FaultCode::Client,
                        "faultCode must be Client or Server, not '" + code + "'");
    std::string message = call.read.optionalString(call.operation, "message").value_or("");
    if (isBlank(message))
        message = "Fail was asked to fail";
    const std::int32_t errorCode =
        call.read.optionalInt(call.operation, "errorCode").value_or(kDefaultErrorCode);

    XmlWriter detail;
    detail.start("FailDetail").attribute("xmlns", kDemoNs);
    detail.element("errorCode", formatInt(errorCode));
    detail.element("reason", "Fail always answers with a fault");
    throw SoapFault(faultCode, message, detail.take());
}

// ---- GetSecret -------------------------------------------------------------------------------

Answer getSecret(const Call& call) {
    XmlWriter w = startResponse("GetSecretResponse");
    w.element("user", call.user);
    w.element("secret", "Basic authentication works.");
    return finish(w);
}

constexpr Operation kOperations[] = {
    {"EchoString", echoString},
    {"Calculate", calculate},
    {"GetPerson", getPerson},
    {"ValidatePerson", validatePerson},
    {"ComputeStatistics", computeStatistics},
    {"GetShape", getShape},
    {"GetSessionInfo", getSessionInfo, false, kSessionHeader},
    {"GetImage", getImage},
    {"Fail", fail},
    {"GetSecret", getSecret, true},
};

}  // namespace

std::span<const Operation> documentOperations() {
    return kOperations;
}

}  // namespace nv::demo
