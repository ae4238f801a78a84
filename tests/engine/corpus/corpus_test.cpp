// Every real-world document of the corpus, served from 127.0.0.1, loaded through the exports:
// services, operations and every input and output structure. The table of what each gave is
// kept beside this file, so any change in what the engine makes of them shows up here.
//
// To rewrite the table after an intended change:
//   NV_CORPUS_TABLE_OUT=/tmp/corpus.tsv build/bin/engine_corpus_tests
// then review the difference and copy it over corpus_expected.tsv.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/api/wscore.h"
#include "platform/com/bstr.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"
#include "platform/xmldom/document.h"
#include "tests/support/http_servers.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

namespace {

using nv::text::utf16ToUtf8;
using nv::text::utf8ToUtf16;

struct Row {
    std::string id;
    std::string outcome = "ok";
    int services = 0;
    int operations = 0;
    long inputRecords = 0;
    long outputRecords = 0;
    int structureErrors = 0;
    int requestsBuilt = 0;       // GetInputSoapMessage succeeded on the input structure
    int requestsWellFormed = 0;  // and the envelope parses as XML

    std::string line() const {
        std::ostringstream s;
        s << id << '\t' << outcome << '\t' << services << '\t' << operations << '\t' << inputRecords
          << '\t' << outputRecords << '\t' << structureErrors << '\t' << requestsBuilt << '\t'
          << requestsWellFormed;
        return s.str();
    }
};

std::vector<std::pair<std::string, std::string>> corpusMains() {
    std::vector<std::pair<std::string, std::string>> out;
    std::ifstream in(std::string(NV_CORPUS_DIR) + "/SOURCES.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, main;
        std::getline(fields, id, '\t');
        std::getline(fields, main, '\t');
        if (!id.empty())
            out.emplace_back(id, main);
    }
    return out;
}

std::u16string take(BSTR& b) {
    std::u16string s = b ? std::u16string(b, SysStringLen(b)) : std::u16string();
    SysFreeString(b);
    b = nullptr;
    return s;
}

std::vector<std::u16string> strings(char16_t* block, int32_t count) {
    std::vector<std::u16string> out;
    const char16_t* p = block;
    for (int32_t i = 0; i < count; ++i) {
        out.emplace_back(p);
        p += out.back().size() + 1;
    }
    CoTaskMemFree(block);
    return out;
}

// Builds the request envelope from the input structure as handed out (values left empty).
void buildRequest(int32_t id, const std::u16string& op, Row& row) {
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    if (GetInputStructure(id, op.c_str(), &records, &count, &err) != -1) {
        take(err);
        return;
    }
    BSTR text = nullptr;
    if (GetInputSoapMessage(id, op.c_str(), records, count, &text, &err) == -1 && text) {
        ++row.requestsBuilt;
        nv::xml::Document doc;
        if (doc.loadXML(std::u16string_view(text, SysStringLen(text))))
            ++row.requestsWellFormed;
        else
            ADD_FAILURE() << row.id << " " << utf16ToUtf8(op) << ": " << doc.parseError().reason;
    }
    take(text);
    take(err);
    for (int32_t i = 0; i < count; ++i)
        for (char16_t* p : {records[i].info, records[i].fieldName, records[i].dataType,
                            records[i].theData, records[i].description, records[i].prefix})
            CoTaskMemFree(p);
    CoTaskMemFree(records);
}

long structureSize(int32_t id, const std::u16string& op, bool input, int& errors) {
    ParameterRecord* records = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    int32_t ok = input ? GetInputStructure(id, op.c_str(), &records, &count, &err)
                       : GetOutputStructure(id, op.c_str(), &records, &count, &err);
    if (ok != -1 || err) {
        ++errors;
        take(err);
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        ParameterRecord& r = records[i];
        EXPECT_TRUE(r.info && r.fieldName && r.dataType && r.theData && r.description && r.prefix);
        EXPECT_GE(r.level, 1);
        if (i > 0) {
            EXPECT_LE(r.level, records[i - 1].level + 1);  // children follow their parents
        }
        for (char16_t* s : {r.info, r.fieldName, r.dataType, r.theData, r.description, r.prefix})
            CoTaskMemFree(s);
    }
    CoTaskMemFree(records);
    return count;
}

Row analyse(const std::string& id, const std::string& url) {
    Row row;
    row.id = id;
    int32_t conn = 0;
    char16_t* block = nullptr;
    int32_t count = 0;
    BSTR err = nullptr;
    std::u16string location = utf8ToUtf16(url);
    int32_t ok = WSDLConnect(&conn, 0, 0, location.c_str(), &block, &count, &err, nullptr, 0, 0, 0,
                             nullptr, nullptr);
    if (ok != -1) {
        std::string message = utf16ToUtf8(take(err));
        row.outcome = "error: " + message.substr(0, message.find('\n'));
        ReleaseConnection(conn);
        return row;
    }
    std::vector<std::u16string> services = strings(block, count);
    for (std::size_t s = 0; s < services.size(); s += 2) {
        ++row.services;
        char16_t* ops = nullptr;
        int32_t opCount = 0;
        if (GetOperations(conn, services[s].c_str(), &ops, &opCount, &err) != -1) {
            take(err);
            continue;
        }
        std::vector<std::u16string> names = strings(ops, opCount);
        for (std::size_t o = 0; o < names.size(); o += 2) {
            ++row.operations;
            row.inputRecords += structureSize(conn, names[o], true, row.structureErrors);
            row.outputRecords += structureSize(conn, names[o], false, row.structureErrors);
            buildRequest(conn, names[o], row);
        }
    }
    ReleaseConnection(conn);
    return row;
}

std::map<std::string, std::string> expectedTable() {
    std::map<std::string, std::string> rows;
    std::ifstream in(NV_CORPUS_EXPECTED);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        rows[line.substr(0, line.find('\t'))] = line;
    }
    return rows;
}

TEST(Corpus, EveryDocumentGivesWhatItGaveBefore) {
    nv::test::RegistrySandbox registry;
    // Nothing may leave this machine: any address that is not local goes to a refused port.
    nv::test::RefusedPort nowhere;
    std::string trap = "http://127.0.0.1:" + std::to_string(nowhere.port());
    nv::test::ScopedEnv http("http_proxy", trap), https("https_proxy", trap),
        noProxy("no_proxy", std::string("127.0.0.1,localhost"));

    auto server = std::make_unique<httplib::Server>();
    ASSERT_TRUE(server->set_mount_point("/", NV_CORPUS_DIR));
    nv::test::HttpServerRunner runner(std::move(server));

    std::map<std::string, std::string> expected = expectedTable();
    std::ostringstream table;
    table << "# id\toutcome\tservices\toperations\tinput records\toutput records\tstructure "
             "errors\trequests built\trequests well-formed\n";
    for (const auto& [id, main] : corpusMains()) {
        Row row = analyse(id, runner.url("/" + main));
        table << row.line() << '\n';
        auto it = expected.find(id);
        if (it == expected.end()) {
            ADD_FAILURE() << "no expected row for " << id << "; got:\n" << row.line();
            continue;
        }
        EXPECT_EQ(row.line(), it->second);
    }
    if (const char* out = std::getenv("NV_CORPUS_TABLE_OUT"))
        std::ofstream(out) << table.str();
}

}  // namespace
