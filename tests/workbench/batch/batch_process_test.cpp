// The batch run end to end, as cron or the scheduler starts it: the built program as a child
// process with no display variables at all, the registry and working directory private.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "examples/demo_service/demo_service.h"
#include "platform/com/activation.h"
#include "platform/registry/registry.h"
#include "tests/support/http_servers.h"
#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"

namespace sondar::test {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class BatchProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_TRUE(registerComponentServer());
        nv::registry::Key key;
        ASSERT_EQ(nv::registry::Key::create(nv::registry::Hive::CurrentUser,
                                            u"Software\\Norvale\\Sondar", key),
                  nv::registry::Status::Ok);
        key.setString(u"Working Directory", workDir().toStdU16String());
    }
    void TearDown() override { CoUninitialize(); }

    QString workDir() const { return QString::fromStdString(work_.path()); }
    QString batchLog() const { return workDir() + "batchout.txt"; }

    ProcessResult run(const QStringList& arguments, const QString& from = QString()) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert("NORVALE_REGISTRY_DIR", QString::fromStdString(registry_.dir()));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(from.isEmpty() ? QString::fromStdString(launch_.path()) : from);
        process.start(QStringLiteral(NV_SONDAR_PATH), arguments);
        ProcessResult result;
        if (!process.waitForFinished(60000))
            return result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    static QStringList lines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QStringList all = QString::fromUtf8(file.readAll()).split('\n');
        if (!all.isEmpty() && all.back().isEmpty())
            all.removeLast();
        return all;
    }

    nv::test::RegistrySandbox registry_;
    nv::test::TempDir work_{"sondar-batch-work"};
    nv::test::TempDir launch_{"sondar-batch-launch"};
};

TEST_F(BatchProcess, WrongParameterCountsWriteTheReasonAndFail) {
    for (const QStringList& arguments :
         {QStringList{"a", "b", "c"}, QStringList{"a", "b", "c", "d", "e", "f"}}) {
        QFile::remove(batchLog());
        const ProcessResult r = run(arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments.size();
        EXPECT_EQ(lines(batchLog()), QStringList({"--------------------------------",
                                                  "Incorrect number of parameters."}));
        EXPECT_TRUE(r.err.contains("The Sondar will now shut down.")) << r.err.toStdString();
    }
}

TEST_F(BatchProcess, UnreadableWsdlEndsAfterTheAnalyseWithItsReason) {
    nv::test::RefusedPort refused;
    const QString wsdl = QString("http://127.0.0.1:%1/none?wsdl").arg(refused.port());
    const ProcessResult r = run({wsdl, "Svc", "Op", "in.xml"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList log = lines(batchLog());
    ASSERT_EQ(log.size(), 9) << log.join("\n").toStdString();
    EXPECT_EQ(log[0], "--------------------------------");
    EXPECT_TRUE(log[1].startsWith("Started: "));
    EXPECT_EQ(log[2], "WSDL: " + wsdl);
    EXPECT_EQ(log[3], "Service: Svc");
    EXPECT_EQ(log[4], "Operation: Op");
    EXPECT_EQ(log[5], "Input File: " + QString::fromStdString(launch_.path()) + "in.xml")
        << "a relative input file is meant from where the program was started";
    EXPECT_EQ(log[6], "*** Did Not Complete ***");
    EXPECT_TRUE(log[7].startsWith("Reason: Error: ")) << log[7].toStdString();
    EXPECT_GT(log[7].size(), QString("Reason: Error: ").size());
    EXPECT_TRUE(log.back().startsWith("Finished: "));
}

TEST_F(BatchProcess, ARunAppendsToTheLogItIsGivenRelativeToWhereItStarted) {
    nv::demo::DemoService demo;
    QFile::remove(batchLog());
    const QString wsdl = QString::fromStdString(demo.wsdlUrl());
    ProcessResult r = run({wsdl, "DemoService", "NoSuchOperation", "in.xml", "./report.txt"});
    EXPECT_EQ(r.exitCode, 1);
    const QString report = QString::fromStdString(launch_.path()) + "report.txt";
    QStringList log = lines(report);
    ASSERT_GE(log.size(), 9) << r.err.toStdString();
    EXPECT_EQ(log[6], "*** Did Not Complete ***");
    EXPECT_EQ(log[7], "Reason: Operation not found");
    EXPECT_FALSE(QFile::exists(batchLog())) << "the fifth parameter replaces the batch log";

    // A second run appends; a missing input file ends it before the invoke.
    r = run({wsdl, "DemoService", "EchoString", "missing.xml", "./report.txt"});
    EXPECT_EQ(r.exitCode, 1);
    log = lines(report);
    ASSERT_GT(log.size(), 12);
    EXPECT_EQ(log[9], "--------------------------------");
    EXPECT_EQ(log[15], "*** Did Not Complete ***");
    EXPECT_TRUE(log[16].startsWith("Reason: File error: ")) << log[16].toStdString();
    EXPECT_EQ(log[17], "The input values could not be restored.");
    EXPECT_FALSE(log.join("\n").contains("*** Successful ***"));
}

TEST_F(BatchProcess, InputFilesInEveryEncodingAreReplayedEndToEnd) {
    nv::demo::DemoService demo;
    const QString wsdl = QString::fromStdString(demo.wsdlUrl());
    const QString launch = QString::fromStdString(launch_.path());
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(launch + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    const QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
        "<NV:service name=\"DemoService\" "
        "xmlns:NV=\"http://www.norvale.example/sondar/inputvalues\">\n"
        "<operation name=\"EchoString\">\n<input isComplex=\"1\">\n"
        "<EchoString isComplex=\"1\">\n<text type=\"string\">caf\u00e9 &lt;&amp;&gt;</text>\n"
        "</EchoString>\n</input>\n</operation>\n</NV:service>\n");
    write("utf8.xml", xml.toUtf8());
    // UTF-16 with a byte-order mark, as Windows programs write it.
    QByteArray utf16("\xFF\xFE", 2);
    QString sixteen = xml;
    sixteen.replace("UTF-8", "UTF-16");
    utf16.append(reinterpret_cast<const char*>(sixteen.utf16()), sixteen.size() * 2);
    write("utf16.xml", utf16);
    // The older plain-text form, in Windows-1252.
    write("legacy.txt", QByteArray("text\r\ncaf\xE9 <&>\r\n"));

    for (const char* file : {"utf8.xml", "utf16.xml", "legacy.txt"}) {
        QFile::remove(batchLog());
        const ProcessResult r = run({wsdl, "DemoService", "EchoString", file});
        EXPECT_EQ(r.exitCode, 0) << file << r.err.toStdString();
        const QStringList log = lines(batchLog());
        EXPECT_TRUE(log.contains("*** Successful ***")) << file << log.join("\n").toStdString();
        EXPECT_TRUE(log.contains(QString::fromUtf8("text = caf\xC3\xA9 <&>"))) << file;
        EXPECT_TRUE(log.contains(QString::fromUtf8("EchoStringResult = caf\xC3\xA9 <&>"))) << file;
    }

    // A file for another service does not match.
    QString other = xml;
    other.replace("name=\"DemoService\"", "name=\"Elsewhere\"");
    write("other.xml", other.toUtf8());
    QFile::remove(batchLog());
    EXPECT_EQ(run({wsdl, "DemoService", "EchoString", "other.xml"}).exitCode, 1);
    EXPECT_TRUE(lines(batchLog()).contains("Reason: Input file does not match operation"));
}

TEST_F(BatchProcess, NestedStructuresArraysAndEnumerationsAreReplayed) {
    nv::demo::DemoService demo;
    const QString input = QString::fromStdString(launch_.path()) + "person.xml";
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8" ?>
<NV:service name="DemoService" xmlns:NV="http://www.norvale.example/sondar/inputvalues">
<operation name="ValidatePerson">
<input isComplex="1">
<ValidatePerson isComplex="1">
<person isComplex="1">
<id type="int">7</id>
<name type="string">Ada</name>
<age type="int">36</age>
<height type="double">1.65</height>
<balance type="decimal">10.50</balance>
<member type="boolean">true</member>
<status type="string">Active</status>
<birthDate type="dateTime">1815-12-10T00:00:00</birthDate>
<email type="string">ada@example.org</email>
<address isComplex="1">
<street type="string">12 St James's Square</street>
<city type="string">London</city>
<postalCode type="string">SW1Y 4JH</postalCode>
<country type="string">UK</country>
</address>
<phone arrayMax="2" isArray="1" isComplex="1">
<phone type="string">111</phone>
<phone type="string">222</phone>
</phone>
</person>
</ValidatePerson>
</input>
</operation>
</NV:service>
)");
    file.close();
    const ProcessResult r = run(
        {QString::fromStdString(demo.wsdlUrl()), "DemoService", "ValidatePerson", "person.xml"});
    const QStringList log = lines(batchLog());
    EXPECT_EQ(r.exitCode, 0) << log.join("\n").toStdString();
    EXPECT_TRUE(log.contains("*** Successful ***"));
    for (const char* line : {"status = Active", "member = true", "city = London", "phone = 222",
                             "birthDate = 1815-12-10T00:00:00"})
        EXPECT_TRUE(log.contains(line)) << line;
    // The service saw the whole person: it answers with its summary.
    EXPECT_TRUE(log.filter("summary = ").join("").contains("Ada")) << log.join("\n").toStdString();
}

TEST_F(BatchProcess, AFileSavedInTheWorkbenchReplaysAgainstSpyne) {
    QProcess spyne;
    spyne.start("/usr/bin/python3", {QStringLiteral(NV_SPYNE_SCRIPT), "0", "--exit-with-stdin"});
    if (!spyne.waitForStarted(5000))
        GTEST_SKIP() << "python3 is not available";
    QString line;
    for (int i = 0; i < 100 && !line.contains('\n'); ++i) {
        spyne.waitForReadyRead(100);
        line += QString::fromUtf8(spyne.readAllStandardOutput());
    }
    if (line.startsWith("MISSING"))
        GTEST_SKIP() << "spyne is not installed";
    ASSERT_TRUE(line.startsWith("PORT ")) << line.toStdString();
    const QString wsdl = QString("http://127.0.0.1:%1/?wsdl").arg(line.mid(5).trimmed());

    // Fill SumIntegers' array with three values in the workbench's core and save the inputs.
    {
        CoreHarness harness;
        ASSERT_TRUE(harness.comReady);
        ASSERT_EQ(harness.start(), StartOutcome::Interactive);
        ASSERT_TRUE(harness.analyze(wsdl.toStdString()));
        TNVTreeNode* operation = nodeAt(harness.core.tree().root(), "SumIntegers");
        ASSERT_NE(operation, nullptr);
        // The rebuild replaces the Input subtree's nodes: look the array up again afterwards.
        const auto findArray = [operation] {
            TNVTreeNode* found = nullptr;
            forEachNode(operation->firstChild(), [&found](TNVTreeNode* n) {
                if (!found && n->message() && n->message().isArray())
                    found = n;
            });
            return found;
        };
        ASSERT_NE(findArray(), nullptr);
        ASSERT_TRUE(harness.core.editor().addArrayElement(findArray(), 2));
        TNVTreeNode* array = findArray();
        ASSERT_EQ(array->childCount(), 3);
        for (int i = 0; i < 3; ++i)
            harness.core.editor().commitValue(array->child(i)->firstChild(),
                                              QString::number(10 * (i + 1)));
        ScriptedFileDialogs files;
        files.path = QString::fromStdString(launch_.path()) + "sum.xml";
        harness.core.inputFiles().setFileDialogs(&files);
        ASSERT_TRUE(harness.core.inputFiles().saveInput(operation, false));
    }

    const ProcessResult r = run({wsdl, "InteropService", "SumIntegers", "sum.xml"});
    const QStringList log = lines(batchLog());
    EXPECT_EQ(r.exitCode, 0) << log.join("\n").toStdString();
    EXPECT_TRUE(log.contains("*** Successful ***"));
    EXPECT_TRUE(log.filter(" = 60").size() == 1) << log.join("\n").toStdString();
    spyne.closeWriteChannel();
    if (!spyne.waitForFinished(5000))
        spyne.kill();
}

TEST_F(BatchProcess, AnOperationWithoutInputsRunsEndToEnd) {
    WsdlDocuments documents;
    const ProcessResult r =
        run({QString::fromStdString(documents.url("/orders.wsdl")), "Orders", "Ping", "in.xml"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList log = lines(batchLog());
    ASSERT_EQ(log.size(), 14) << log.join("\n").toStdString();
    EXPECT_EQ(log.mid(6, 7), QStringList({"", "Input values:", "", "Output values:",
                                          "status = ready", "", "*** Successful ***"}));
    EXPECT_TRUE(log.back().startsWith("Finished: "));
    // The call is in the invocation log as well.
    QFile invocations(workDir() + "logfile.txt");
    ASSERT_TRUE(invocations.open(QIODevice::ReadOnly));
    EXPECT_TRUE(invocations.readAll().contains("OPERATION: Ping"));
}

TEST_F(BatchProcess, AnUnwritableLogFileIsReportedInTheConfiguredBatchLog) {
    const ProcessResult r =
        run({"http://127.0.0.1:1/x", "S", "O", "in.xml", workDir() + "missing/dir/log.txt"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList log = lines(batchLog());
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith("Error with output file: ")) << log[0].toStdString();
    EXPECT_GT(log[0].size(), QString("Error with output file: ").size());
}

TEST_F(BatchProcess, HelpAndVersionPrintAndTouchNoLog) {
    ProcessResult r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Usage: Sondar"));
    r = run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("Sondar "));
    EXPECT_FALSE(QFile::exists(batchLog()));
}

}  // namespace
}  // namespace sondar::test
