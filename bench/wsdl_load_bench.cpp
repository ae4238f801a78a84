// WSDL loading and analysis against libxml2's bare parse of the same bytes (the floor).
//
// For a generated document (operations and types scale together) and the largest corpus
// documents: the bare parse, WSDLConnect alone, and the full analysis (connect, GetOperations,
// every input and output structure). Counters: document bytes, records, and the peak memory a
// single run adds ("peak_x_doc" is that peak over the document size).
#include <benchmark/benchmark.h>

#include <libxml/parser.h>

#include <cstdlib>
#include <string>

#include "bench/bench_support.h"

namespace {

using nv::bench::DocumentServer;
using nv::bench::Loaded;

// A doc/literal document with `operations` operations and about ten types per operation:
// request and response elements over a chain of named types.
std::string generatedWsdl(int operations) {
    std::string types;
    std::string messages;
    std::string portType;
    std::string binding;
    for (int i = 0; i < operations; ++i) {
        std::string n = std::to_string(i);
        for (int t = 0; t < 8; ++t) {
            std::string name = "T" + n + "_" + std::to_string(t);
            std::string next = t < 7 ? "tns:T" + n + "_" + std::to_string(t + 1) : "xsd:string";
            types += "<xsd:complexType name=\"" + name +
                     "\"><xsd:sequence>"
                     "<xsd:element name=\"id\" type=\"xsd:int\"/>"
                     "<xsd:element name=\"label\" type=\"xsd:string\" minOccurs=\"0\"/>"
                     "<xsd:element name=\"next\" type=\"" +
                     next +
                     "\"/>"
                     "<xsd:element name=\"tags\" type=\"xsd:string\" maxOccurs=\"unbounded\"/>"
                     "</xsd:sequence><xsd:attribute name=\"version\" "
                     "type=\"xsd:int\"/></xsd:complexType>";
        }
        types += "<xsd:simpleType name=\"Mode" + n +
                 "\"><xsd:restriction base=\"xsd:string\">"
                 "<xsd:enumeration value=\"fast\"/><xsd:enumeration "
                 "value=\"safe\"/></xsd:restriction></xsd:simpleType>";
        types += "<xsd:element name=\"Op" + n +
                 "\"><xsd:complexType><xsd:sequence>"
                 "<xsd:element name=\"item\" type=\"tns:T" +
                 n +
                 "_0\"/>"
                 "<xsd:element name=\"mode\" type=\"tns:Mode" +
                 n + "\"/></xsd:sequence></xsd:complexType></xsd:element>";
        types += "<xsd:element name=\"Op" + n +
                 "Response\"><xsd:complexType><xsd:sequence>"
                 "<xsd:element name=\"result\" type=\"tns:T" +
                 n + "_4\"/></xsd:sequence></xsd:complexType></xsd:element>";
        messages += "<wsdl:message name=\"Op" + n +
                    "In\"><wsdl:part name=\"parameters\" element=\"tns:Op" + n +
                    "\"/></wsdl:message><wsdl:message name=\"Op" + n +
                    "Out\"><wsdl:part name=\"parameters\" element=\"tns:Op" + n +
                    "Response\"/></wsdl:message>";
        portType += "<wsdl:operation name=\"Op" + n + "\"><wsdl:documentation>Operation " + n +
                    "</wsdl:documentation><wsdl:input message=\"tns:Op" + n +
                    "In\"/><wsdl:output message=\"tns:Op" + n + "Out\"/></wsdl:operation>";
        binding +=
            "<wsdl:operation name=\"Op" + n + "\"><soap:operation soapAction=\"urn:gen#Op" + n +
            "\"/><wsdl:input><soap:body use=\"literal\"/></wsdl:input><wsdl:output><soap:body "
            "use=\"literal\"/></wsdl:output></wsdl:operation>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<wsdl:definitions xmlns:wsdl=\"http://schemas.xmlsoap.org/wsdl/\" "
           "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:tns=\"urn:generated\" "
           "targetNamespace=\"urn:generated\"><wsdl:types><xsd:schema "
           "targetNamespace=\"urn:generated\" "
           "elementFormDefault=\"qualified\">" +
           types + "</xsd:schema></wsdl:types>" + messages + "<wsdl:portType name=\"GenPort\">" +
           portType +
           "</wsdl:portType>"
           "<wsdl:binding name=\"GenBinding\" type=\"tns:GenPort\"><soap:binding "
           "style=\"document\" "
           "transport=\"http://schemas.xmlsoap.org/soap/http\"/>" +
           binding +
           "</wsdl:binding>"
           "<wsdl:service name=\"Generated\"><wsdl:port name=\"GenPort\" "
           "binding=\"tns:GenBinding\">"
           "<soap:address "
           "location=\"http://127.0.0.1:1/gen\"/></wsdl:port></wsdl:service></wsdl:definitions>";
}

struct Document {
    std::string name;
    std::string path;                // on the server
    std::vector<std::string> bytes;  // the main file and what it imports: the bare parse reads each
    std::size_t size() const {
        std::size_t n = 0;
        for (const auto& b : bytes)
            n += b.size();
        return n;
    }
};

DocumentServer& server() {
    static DocumentServer s;
    return s;
}

// Measuring children use the parent's server (its address is in the environment), so their
// peak is the engine's alone.
constexpr const char* kServerVariable = "NV_BENCH_SERVER";

std::string urlOf(const std::string& path) {
    if (const char* base = std::getenv(kServerVariable))
        return base + path;
    return server().url(path);
}

std::vector<Document>& documents() {
    static std::vector<Document> docs = [] {
        std::vector<Document> d;
        for (int ops : {1000, 2000}) {
            std::string text = generatedWsdl(ops);
            std::string path = "/gen" + std::to_string(ops) + ".wsdl";
            if (!std::getenv(kServerVariable))
                server().add(path, text);
            d.push_back({"generated_" + std::to_string(ops) + "ops", "/mem" + path, {text}});
        }
        auto file = [](const char* f) {
            return nv::bench::readFile(std::string(NV_CORPUS_DIR) + "/" + f);
        };
        d.push_back({"vboxweb", "/corpus/vboxweb/vboxweb.wsdl", {file("vboxweb/vboxweb.wsdl")}});
        d.push_back({"sf-enterprise",
                     "/corpus/sf-enterprise/enterprise.wsdl",
                     {file("sf-enterprise/enterprise.wsdl")}});
        d.push_back({"ews-exchange",
                     "/corpus/ews-exchange/services.wsdl",
                     {file("ews-exchange/services.wsdl"), file("ews-exchange/messages.xsd"),
                      file("ews-exchange/types.xsd")}});
        return d;
    }();
    return docs;
}

void setCounters(benchmark::State& state, const Document& doc, long peak) {
    state.counters["doc_MB"] = static_cast<double>(doc.size()) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak_x_doc"] = static_cast<double>(peak) / static_cast<double>(doc.size());
}

void parseAll(const Document& doc) {
    for (const std::string& b : doc.bytes) {
        xmlDocPtr d = xmlReadMemory(b.data(), static_cast<int>(b.size()), nullptr, nullptr,
                                    XML_PARSE_NONET | XML_PARSE_HUGE);
        benchmark::DoNotOptimize(d);
        xmlFreeDoc(d);
    }
}

void BareParse(benchmark::State& state) {
    const Document& doc = documents()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(doc.name);
    for (auto _ : state)
        parseAll(doc);
    // The peak of the largest single tree: the parses do not overlap.
    setCounters(state, doc, nv::bench::peakBytesOf("parse", static_cast<int>(state.range(0))));
}

void Connect(benchmark::State& state) {
    const Document& doc = documents()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(doc.name);
    std::string url = urlOf(doc.path);
    for (auto _ : state) {
        Loaded loaded(url);
        if (!loaded.id)
            state.SkipWithError("load failed");
    }
    setCounters(state, doc, nv::bench::peakBytesOf("connect", static_cast<int>(state.range(0))));
}

void FullAnalysis(benchmark::State& state) {
    const Document& doc = documents()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(doc.name);
    std::string url = urlOf(doc.path);
    long records = 0;
    for (auto _ : state) {
        Loaded loaded(url);
        records = nv::bench::analyse(loaded);
    }
    state.counters["records"] = static_cast<double>(records);
    setCounters(state, doc, nv::bench::peakBytesOf("analyse", static_cast<int>(state.range(0))));
}

void documentArgs(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < 5; ++i)
        b->Arg(i);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BareParse)->Apply(documentArgs);
BENCHMARK(Connect)->Apply(documentArgs);
BENCHMARK(FullAnalysis)->Apply(documentArgs);

// One measured run in a child process of its own (see peakBytesOf).
void performOnce(const std::string& work, int index) {
    const Document& doc = documents()[static_cast<std::size_t>(index)];
    std::string url = urlOf(doc.path);
    if (work == "setup") {
        Loaded warmUp(urlOf("/corpus/currency-convertor/CurrencyConvertor.wsdl"));
    } else if (work == "parse") {
        parseAll(doc);
    } else if (work == "connect") {
        Loaded loaded(url);
    } else if (work == "analyse") {
        Loaded loaded(url);
        nv::bench::analyse(loaded);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (nv::bench::runPeakChild(argc, argv, performOnce))
        return 0;
    documents();
    setenv(kServerVariable, server().url("").c_str(), 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
