// The engine against our demo service, through the exports: both ports, nested and optional
// values, arrays in both encodings, multi-references, a derived type, headers, a fault,
// base64 files, Basic authentication and DIME attachments.
#include <gtest/gtest.h>

#include "examples/demo_service/demo_service.h"
#include "platform/registry/registry.h"
#include "tests/engine/support/engine_client.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_dir.h"

using namespace wscore::test;

namespace {

class DemoInvocation : public ::testing::Test {
  protected:
    void SetUp() override {
        // Returned files go to a private working directory.
        nv::registry::Key key;
        ASSERT_EQ(nv::registry::Key::create(nv::registry::Hive::CurrentUser,
                                            u"Software\\Norvale\\Sondar", key),
                  nv::registry::Status::Ok);
        key.setString(u"Working Directory", nv::text::utf8ToUtf16(files.path()));
        ASSERT_EQ(c.connect(service.wsdlUrl()).result, -1);
        ASSERT_EQ(c.operations("DemoService").result, -1);
    }

    std::vector<Record> input(const std::string& op) {
        std::vector<Record> in;
        EXPECT_EQ(c.structure(op, true, in).result, -1);
        return in;
    }

    static Record* field(std::vector<Record>& records, const std::string& name, int level = 0) {
        for (Record& r : records)
            if (r.fieldName == name && (level == 0 || r.level == level))
                return &r;
        return nullptr;
    }

    // "level name = value" for every output record with a value, plus array counts.
    static std::vector<std::string> values(const std::vector<Record>& out) {
        std::vector<std::string> lines;
        for (const Record& r : out) {
            std::string line = std::to_string(r.level) + " " + r.fieldName;
            if (!r.theData.empty())
                line += " = " + r.theData;
            if (r.array)
                line += " (" + std::to_string(r.arrayMax) + ")";
            lines.push_back(line);
        }
        return lines;
    }

    nv::test::RegistrySandbox registry;
    nv::test::TempDir files{"demo-files"};
    nv::demo::DemoService service;
    EngineConnection c;
};

TEST_F(DemoInvocation, DocumentLiteralStringsAndNumbers) {
    std::vector<Record> in = input("EchoString");
    field(in, "text")->theData = "Grüße & <tags>";
    std::vector<Record> out;
    Outcome o = c.invoke("EchoString", in, out);
    ASSERT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(values(out), (std::vector<std::string>{"1 EchoStringResponse",
                                                     "2 EchoStringResult = Grüße & <tags>"}));

    in = input("Calculate");
    field(in, "a")->theData = "7.5";
    field(in, "b")->theData = "2";
    field(in, "operator")->theData = "Multiply";
    ASSERT_EQ(c.invoke("Calculate", in, out).result, -1);
    EXPECT_EQ(out.at(1).theData, "15");
}

TEST_F(DemoInvocation, NestedAndOptionalValues) {
    std::vector<Record> in = input("GetPerson");
    field(in, "id")->theData = "2";  // person 2 has no optional fields
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("GetPerson", in, out).result, -1);
    for (const Record& r : out) {
        EXPECT_NE(r.fieldName, "email");
        EXPECT_NE(r.fieldName, "address");
    }
    field(in, "id")->theData = "1";
    ASSERT_EQ(c.invoke("GetPerson", in, out).result, -1);
    EXPECT_NE(field(out, "city"), nullptr);
    EXPECT_NE(field(out, "email"), nullptr);
    Record* phones = field(out, "phone", 3);
    ASSERT_NE(phones, nullptr);
    EXPECT_TRUE(phones->array);
    EXPECT_GE(phones->arrayMax, 2);
}

TEST_F(DemoInvocation, RepeatedLiteralInputs) {
    std::vector<Record> in = input("ComputeStatistics");
    // The structure gives the array record and one item template: send three items.
    ASSERT_EQ(in.size(), 3u);
    Record item = in[2];
    in.pop_back();
    for (const char* v : {"1", "2", "6"}) {
        item.theData = v;
        in.push_back(item);
    }
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("ComputeStatistics", in, out).result, -1);
    EXPECT_EQ(field(out, "count")->theData, "3");
    EXPECT_EQ(field(out, "mean")->theData, "3");
}

TEST_F(DemoInvocation, ADerivedTypeInTheResponse) {
    std::vector<Record> in = input("GetShape");
    field(in, "name")->theData = "circle";
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("GetShape", in, out).result, -1);
    Record* shape = field(out, "shape");
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->dataType, "tns:Circle");
    EXPECT_NE(field(out, "radius"), nullptr);
}

TEST_F(DemoInvocation, HeadersBothWays) {
    std::vector<Record> in = input("GetSessionInfo");
    field(in, "sessionId")->theData = "abc-123";
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("GetSessionInfo", in, out).result, -1);
    EXPECT_EQ(field(out, "sessionKnown")->theData, "true");
    Record* echoed = field(out, "sessionId", 2);
    ASSERT_NE(echoed, nullptr);
    EXPECT_EQ(echoed->theData, "abc-123");
    std::string sent = service.lastRequest()->body;
    EXPECT_NE(sent.find("<SOAP-ENV:Header><tns:SessionHeader>"), std::string::npos) << sent;
}

TEST_F(DemoInvocation, AFaultOnDemand) {
    std::vector<Record> in = input("Fail");
    field(in, "message")->theData = "asked for";
    std::vector<Record> out;
    Outcome o = c.invoke("Fail", in, out);
    EXPECT_EQ(o.result, 500);
    EXPECT_EQ(o.error.rfind("The following error occurred within the invoked Web service.", 0), 0u);
    // The fault's detail is shown when it has text (the fault string otherwise).
    EXPECT_NE(o.error.find("42Fail always answers with a fault"), std::string::npos) << o.error;
}

TEST_F(DemoInvocation, ABase64ImageIsSavedAsAFile) {
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("GetImage", input("GetImage"), out).result, -1);
    Record* image = field(out, "image");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->info, "file");
    EXPECT_EQ(image->theData.rfind(files.path(), 0), 0u) << image->theData;
    EXPECT_EQ(image->theData.substr(image->theData.size() - 4), ".png");
    EXPECT_EQ(nv::test::readFile(image->theData).substr(1, 3), "PNG");
}

TEST_F(DemoInvocation, BasicAuthenticationOnOneOperation) {
    std::vector<Record> out;
    Outcome o = c.invoke("GetSecret", input("GetSecret"), out);
    EXPECT_EQ(o.result, 401);
    BSTR err = nullptr;
    ASSERT_EQ(SetEndpointHTTPAuthentication(c.id(), u"demo", u"demo", &err), -1);
    o = c.invoke("GetSecret", input("GetSecret"), out);
    ASSERT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(field(out, "user")->theData, "demo");
}

TEST_F(DemoInvocation, RpcEncodedArraysInOneAndTwoDimensions) {
    std::vector<Record> in = input("Add");
    in[0].theData = "40";
    in[1].theData = "2";
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("Add", in, out).result, -1);
    EXPECT_EQ(values(out), (std::vector<std::string>{"1 return = 42"}));

    in = input("EchoStringArray");
    ASSERT_EQ(in.size(), 2u);
    Record item = in[1];
    in.pop_back();
    for (const char* v : {"x", "y", "z"}) {
        item.theData = v;
        in.push_back(item);
    }
    ASSERT_EQ(c.invoke("EchoStringArray", in, out).result, -1) << service.lastRequest()->body;
    // A SOAP-encoded array goes out as one array element holding its items.
    EXPECT_NE(service.lastRequest()->body.find(
                  R"(<values xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:string[3]")"),
              std::string::npos)
        << service.lastRequest()->body;
    EXPECT_EQ(values(out), (std::vector<std::string>{"1 return (3)", "2 string = x", "2 string = y",
                                                     "2 string = z"}));

    in = input("GetMultiplicationTable");
    field(in, "rows")->theData = "2";
    field(in, "columns")->theData = "3";
    Outcome o = c.invoke("GetMultiplicationTable", in, out);
    ASSERT_EQ(o.result, -1) << o.error;
    long values6 = 0;
    for (const Record& r : out)
        if (!r.theData.empty())
            ++values6;
    EXPECT_EQ(values6, 6);
}

// A two-dimensional input states its shape in its record; a sparse answer has its declared
// size with empty places where nothing was sent.
TEST_F(DemoInvocation, RpcEncodedShapesAndSparseArrays) {
    std::vector<Record> in = input("ScaleGrid");
    ASSERT_GE(in.size(), 3u);
    ASSERT_EQ(in[0].fieldName, "grid");
    EXPECT_EQ(in[0].info, "1,1");
    Record item = in[1];
    in.erase(in.begin() + 1);
    for (const char* v : {"6", "5", "4", "3", "2", "1"}) {
        item.theData = v;
        in.insert(in.end() - 1, item);
    }
    in[0].info = "3,2";
    field(in, "factor")->theData = "10";
    std::vector<Record> out;
    Outcome o = c.invoke("ScaleGrid", in, out);
    ASSERT_EQ(o.result, -1) << o.error << service.lastRequest()->body;
    EXPECT_NE(service.lastRequest()->body.find(
                  R"(<grid xsi:type="SOAP-ENC:Array" SOAP-ENC:arrayType="xsd:int[3,2]">)"),
              std::string::npos)
        << service.lastRequest()->body;
    EXPECT_EQ(values(out),
              (std::vector<std::string>{"1 return (6)", "2 int = 60", "2 int = 50", "2 int = 40",
                                        "2 int = 30", "2 int = 20", "2 int = 10"}));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0].info, "3,2");

    in = input("GetSparseSquares");
    field(in, "size")->theData = "10";
    o = c.invoke("GetSparseSquares", in, out);
    ASSERT_EQ(o.result, -1) << o.error;
    EXPECT_EQ(values(out), (std::vector<std::string>{"1 return (10)", "2 int = 0", "2 int = 1",
                                                     "2 int", "2 int", "2 int = 4", "2 int",
                                                     "2 int", "2 int", "2 int", "2 int = 9"}));
}

TEST_F(DemoInvocation, MultiReferencesReferredToTwice) {
    std::vector<Record> in = input("GetTeam");
    field(in, "teamName")->theData = "core";
    std::vector<Record> out;
    ASSERT_EQ(c.invoke("GetTeam", in, out).result, -1);
    // The leader is one entry referred to twice: both referrers carry its name.
    int referrers = 0;
    std::string leaderName;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (out[i].fieldName == "leader" && i + 1 < out.size())
            leaderName = field(out, "name", out[i].level + 1)->theData;
    for (const Record& r : out)
        if (r.fieldName == "name" && r.theData == leaderName)
            ++referrers;
    EXPECT_FALSE(leaderName.empty());
    EXPECT_GE(referrers, 2);
}

TEST_F(DemoInvocation, DimeAttachmentsGoOutAndComeBack) {
    std::string document = files.file("upload.pdf");
    ASSERT_TRUE(nv::test::writeFile(document, "%PDF-1.4 demo document"));
    std::vector<Record> in = input("EchoAttachment");
    Record* part = field(in, "document");
    ASSERT_NE(part, nullptr);
    part->theData = document;
    part->info = "mediaType:application/pdf";
    std::vector<Record> out;
    Outcome o = c.invoke("EchoAttachment", in, out);
    ASSERT_EQ(o.result, -1) << o.error;
    auto sent = service.lastRequest();
    EXPECT_EQ(sent->header("Content-Type"), "application/dime");
    std::string returned;
    for (Record& r : out)
        if (r.info == "file")
            returned = r.theData;
    ASSERT_FALSE(returned.empty());
    EXPECT_EQ(returned, files.path() + "return.pdf");
    EXPECT_EQ(nv::test::readFile(returned), "%PDF-1.4 demo document");
    // A second invocation writes the same file again.
    ASSERT_TRUE(nv::test::writeFile(document, "%PDF-1.4 second"));
    ASSERT_EQ(c.invoke("EchoAttachment", in, out).result, -1);
    EXPECT_EQ(nv::test::readFile(returned), "%PDF-1.4 second");
    // Content no signature names is saved as text.
    ASSERT_TRUE(nv::test::writeFile(document, "plain words"));
    ASSERT_EQ(c.invoke("EchoAttachment", in, out).result, -1);
    EXPECT_EQ(nv::test::readFile(files.path() + "return.txt"), "plain words");
}

}  // namespace
