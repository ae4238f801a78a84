// Start-up values from the registry and what an interactive close writes back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/registry/registry.h"
#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/session/app_info.h"

namespace sondar::test {
namespace {

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

std::uint32_t dword(const char16_t* path, const char16_t* name) {
    Key key;
    std::uint32_t value = 0xdeadbeef;
    if (Key::open(Hive::CurrentUser, path, nv::registry::Access::Read, key) == Status::Ok)
        key.getDword(name, value);
    return value;
}

QString text(const char16_t* path, const char16_t* name) {
    Key key;
    std::u16string value;
    if (Key::open(Hive::CurrentUser, path, nv::registry::Access::Read, key) == Status::Ok)
        key.getString(name, value);
    return QString::fromStdU16String(value);
}

TEST(StartupOptions, FirstStartUsesDefaultsAndTheCloseWritesThem) {
    CoreHarness harness;
    ASSERT_TRUE(harness.comReady);
    ASSERT_EQ(harness.start(), StartOutcome::Interactive);
    const Options& o = harness.core.state().options;
    EXPECT_EQ(o.maxWsdlHistory, 15);
    EXPECT_TRUE(o.clearGridOnAnalyze);
    EXPECT_FALSE(o.searchKnowledgeBaseOnAnalyze);
    EXPECT_FALSE(o.showKnowledgeBaseOnAnalyze);
    EXPECT_EQ(o.knowledgeBaseWsdl, appinfo::defaultKnowledgeBaseWsdl());
    EXPECT_TRUE(o.writeInputValues);
    EXPECT_TRUE(o.writeOutputValues);
    // No "Working Directory": "data/" beside the program, created and made current.
    const QString expected = QString::fromStdString(harness.registry.dir()) + "data/";
    EXPECT_EQ(o.workingDirectory, expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QDir::currentPath() + "/", expected);
    EXPECT_EQ(o.batchLogPath, expected + "batchout.txt");
    EXPECT_EQ(dword(u"Software\\Norvale\\Sondar\\Options\\General", u"MaxWSDLHistory"), 0xdeadbeef)
        << "nothing is written before the close";

    harness.core.history().add("http://one/");
    harness.core.formClose();
    const char16_t* general = u"Software\\Norvale\\Sondar\\Options\\General";
    EXPECT_EQ(dword(general, u"MaxWSDLHistory"), 15u);
    EXPECT_EQ(dword(general, u"ClearGridOnAnalyze"), 1u);
    EXPECT_EQ(dword(general, u"SearchKnowledgeBaseOnAnalyze"), 0u);
    EXPECT_EQ(dword(general, u"ShowKnowledgeBaseOnAnalyze"), 0u);
    EXPECT_EQ(text(general, u"KnowledgeBaseWSDL"), appinfo::defaultKnowledgeBaseWsdl());
    EXPECT_EQ(dword(u"Software\\Norvale\\Sondar\\Options\\LogFile", u"WriteInputValues"), 1u);
    EXPECT_EQ(text(u"Software\\Norvale\\Sondar\\Options\\Batch", u"BatchLogPath"),
              expected + "batchout.txt");
    EXPECT_EQ(text(u"Software\\Norvale\\Sondar\\Options\\SOAPViewer\\Font", u"Name"), "Monospace");
    EXPECT_EQ(text(u"Software\\Norvale\\Sondar\\TypedWSDL", u"wsdl0"), "http://one/");
}

TEST(StartupOptions, DefaultsApplyValueByValueAndWrongTypesKeepThem) {
    nv::test::TempDir work("sondar-work");
    CoreHarness harness;
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\Norvale\\Sondar\\Options\\General", key),
              Status::Ok);
    key.setDword(u"MaxWSDLHistory", 7);
    key.setString(u"ClearGridOnAnalyze", u"no");  // a text where a number belongs
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\Norvale\\Sondar", key), Status::Ok);
    const QString folder = QString::fromStdString(work.path()) + "nested/wd";
    key.setString(u"Working Directory", folder.toStdU16String());
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\Norvale\\Sondar\\TypedWSDL", key),
              Status::Ok);
    key.setString(u"wsdl0", u"http://first/");
    key.setString(u"wsdl1", u"http://second/");

    ASSERT_EQ(harness.start(), StartOutcome::Interactive);
    const Options& o = harness.core.state().options;
    EXPECT_EQ(o.maxWsdlHistory, 7);
    EXPECT_TRUE(o.clearGridOnAnalyze);
    EXPECT_TRUE(o.writeOutputValues);
    EXPECT_EQ(o.workingDirectory, folder + "/") << "always a prefix ending in /";
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(harness.core.history().entries(), QStringList({"http://first/", "http://second/"}));
    EXPECT_EQ(harness.core.history().maxCount(), 7);
}

TEST(StartupOptions, BatchRunsAndShutdownsWriteNothingAtClose) {
    CoreHarness harness;
    ASSERT_EQ(harness.start({"a", "b", "c"}), StartOutcome::ShutdownRequested);
    EXPECT_EQ(harness.core.exitCode(), 1);
    harness.core.formClose();
    EXPECT_EQ(dword(u"Software\\Norvale\\Sondar\\Options\\General", u"MaxWSDLHistory"), 0xdeadbeef);
    // The wrong count was reported: the log line and the shutdown message.
    EXPECT_EQ(harness.messages.shown, QStringList({"        The Sondar will now shut down.     "}));
}

}  // namespace
}  // namespace sondar::test
