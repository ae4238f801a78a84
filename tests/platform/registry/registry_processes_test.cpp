// Several processes sharing one hive: no lost updates, no torn files after a kill.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/text/unicode.h"
#include "tests/support/registry_sandbox.h"

extern char** environ;

using namespace nv::registry;

namespace {

pid_t spawnWriter(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string program = NV_REGISTRY_WRITER;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int waitExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The writers' temporaries beside the hive file.
std::vector<std::string> temporaries() {
    std::vector<std::string> found;
    const std::string prefix = "HKEY_CURRENT_USER.reg.tmp-";
    for (const auto& entry : std::filesystem::directory_iterator(registryDirectory())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0)
            found.push_back(name);
    }
    return found;
}

class RegistryProcesses : public ::testing::Test {
  protected:
    nv::test::RegistrySandbox sandbox;
};

TEST_F(RegistryProcesses, ConcurrentWritersLoseNoUpdate) {
    constexpr int kWriters = 4;
    constexpr int kValuesEach = 60;
    std::vector<pid_t> pids;
    for (int w = 0; w < kWriters; ++w)
        pids.push_back(spawnWriter(
            {sandbox.dir(), "values", "w" + std::to_string(w), std::to_string(kValuesEach)}));
    // This process writes too, while the others run.
    Key mine;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Race", mine), Status::Ok);
    for (int i = 0; i < kValuesEach; ++i)
        ASSERT_EQ(mine.setDword(u"parent-" + nv::text::utf8ToUtf16(std::to_string(i)), i),
                  Status::Ok);
    for (pid_t pid : pids)
        ASSERT_EQ(waitExit(pid), 0);

    Key key;
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"Race", Access::Read, key), Status::Ok);
    std::uint32_t count = 0;
    ASSERT_EQ(key.valueCount(count), Status::Ok);
    EXPECT_EQ(count, static_cast<std::uint32_t>((kWriters + 1) * kValuesEach));
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValuesEach; ++i) {
            std::uint32_t n = 99999;
            auto name = nv::text::utf8ToUtf16("w" + std::to_string(w) + "-" + std::to_string(i));
            ASSERT_EQ(key.getDword(name, n), Status::Ok);
            EXPECT_EQ(n, static_cast<std::uint32_t>(i));
        }
    }
}

TEST_F(RegistryProcesses, ReaderSeesAnotherProcessWriteAtOnce) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Race", key), Status::Ok);
    std::uint32_t n = 0;
    EXPECT_EQ(key.getDword(u"late-0", n), Status::NotFound);
    ASSERT_EQ(waitExit(spawnWriter({sandbox.dir(), "values", "late", "1"})), 0);
    EXPECT_EQ(key.getDword(u"late-0", n), Status::Ok);
}

TEST_F(RegistryProcesses, KillingAWriterMidWriteNeverLeavesATornHive) {
    {
        Key key;
        ASSERT_EQ(Key::create(Hive::CurrentUser, u"Stable", key), Status::Ok);
        ASSERT_EQ(key.setString(u"Marker", u"present"), Status::Ok);
    }
    std::string file = hiveFilePath(Hive::CurrentUser);
    for (int round = 0; round < 12; ++round) {
        pid_t pid = spawnWriter({sandbox.dir(), "churn", "c" + std::to_string(round)});
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + (round * 7) % 40));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        // Whatever moment it died at, the hive parses completely and holds the old data.
        std::string text = nv::test::readFile(file);
        ASSERT_EQ(text.rfind("Windows Registry Editor Version 5.00", 0), 0u);
        ASSERT_EQ(text.back(), '\n');
        Key key;
        ASSERT_EQ(Key::open(Hive::CurrentUser, u"Stable", Access::ReadWrite, key), Status::Ok);
        std::u16string marker;
        ASSERT_EQ(key.getString(u"Marker", marker), Status::Ok);
        EXPECT_EQ(marker, u"present");
        // And the hive can still be written: the dead writer's lock is gone with it.
        ASSERT_EQ(key.setDword(u"Round", static_cast<std::uint32_t>(round)), Status::Ok);
    }
    // Whatever the killed writers left beside the hive went with the next write.
    EXPECT_TRUE(temporaries().empty());
    // No damaged copies were made: every file read back was whole.
    for (int round = 0; round < 12; ++round) {
        Key key;
        if (Key::open(Hive::CurrentUser, u"Churn\\c" + nv::text::utf8ToUtf16(std::to_string(round)),
                      Access::Read, key) == Status::Ok) {
            std::u16string payload;
            if (key.getString(u"Payload", payload) == Status::Ok) {
                EXPECT_EQ(payload, std::u16string(2000, u'x'));
            }
        }
    }
}

TEST_F(RegistryProcesses, NextWriteRemovesOnlyTheTemporariesOfDeadWriters) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Stable", key), Status::Ok);
    // A writer that died, and one still running (a process that is alive but idle).
    const pid_t dead = spawnWriter({sandbox.dir(), "values", "gone", "1"});
    ASSERT_EQ(waitExit(dead), 0);
    const pid_t alive = spawnWriter({sandbox.dir(), "sleep", "idle"});
    ASSERT_GT(alive, 0);
    const std::string dir = registryDirectory();
    const std::string deadTemp = "HKEY_CURRENT_USER.reg.tmp-" + std::to_string(dead) + "-3";
    const std::string liveTemp = "HKEY_CURRENT_USER.reg.tmp-" + std::to_string(alive) + "-0";
    const std::string unrelated = "HKEY_CURRENT_USER.reg.tmp-notapid-0";
    for (const std::string& name : {deadTemp, liveTemp, unrelated})
        std::ofstream(dir + name) << "[HKEY_CURRENT_USER\\Half";

    ASSERT_EQ(key.setDword(u"After", 1), Status::Ok);
    const std::vector<std::string> left = temporaries();
    kill(alive, SIGKILL);
    waitpid(alive, nullptr, 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), deadTemp), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), liveTemp), 1);
    EXPECT_EQ(std::count(left.begin(), left.end(), unrelated), 1);
}

}  // namespace
