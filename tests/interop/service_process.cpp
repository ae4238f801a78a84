#include "tests/interop/service_process.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nv::test {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopGrace = std::chrono::seconds(3);

std::string errnoText(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

}  // namespace

ServiceProcess::ServiceProcess(std::vector<std::string> argv) {
    if (argv.empty() || access(argv.front().c_str(), X_OK) != 0) {
        state_ = State::Unavailable;
        problem_ = (argv.empty() ? std::string("no program") : argv.front()) +
                   " is not available (" + std::strerror(errno) + ")";
        return;
    }
    int fds[2];
    int lifeline[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        problem_ = errnoText("pipe2", errno);
        return;
    }
    if (pipe2(lifeline, O_CLOEXEC) != 0) {
        problem_ = errnoText("pipe2", errno);
        close(fds[0]);
        close(fds[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copies, so only these two ends reach the child.
    posix_spawn_file_actions_adddup2(&actions, lifeline[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    int spawned = posix_spawn(&pid_, args.front(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    close(lifeline[0]);
    lifeline_ = lifeline[1];
    if (spawned != 0) {
        close(fds[0]);
        pid_ = -1;
        problem_ = errnoText("posix_spawn", spawned);
        return;
    }
    stdout_ = fds[0];
    readPortLine();
}

ServiceProcess::~ServiceProcess() {
    stop();
}

void ServiceProcess::readPortLine() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kStartTimeout;
    std::string line;
    bool eof = false;
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            problem_ = "the service printed no PORT line within 10 s (got \"" + line + "\")";
            return;
        }
        pollfd p{stdout_, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            problem_ = errnoText("poll", errno);
            return;
        }
        if (ready == 0)
            continue;
        char buffer[256];
        ssize_t n = read(stdout_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            eof = true;
            break;
        }
        line.append(buffer, static_cast<std::size_t>(n));
    }
    line = line.substr(0, line.find('\n'));
    // A service says so when something it needs is missing, then exits; stop() reaps it.
    constexpr std::string_view kMissing = "MISSING ";
    if (line.rfind(kMissing, 0) == 0) {
        state_ = State::Unavailable;
        problem_ = line.substr(kMissing.size());
        return;
    }
    if (eof) {
        int status = 0;
        if (waitpid(pid_, &status, 0) == pid_)
            pid_ = -1;
        problem_ = "the service ended before listening (wait status " + std::to_string(status) +
                   ", output \"" + line + "\")";
        return;
    }
    constexpr std::string_view kPrefix = "PORT ";
    if (line.rfind(kPrefix, 0) != 0) {
        problem_ = "unexpected first line from the service: \"" + line + "\"";
        return;
    }
    port_ = std::atoi(line.c_str() + kPrefix.size());
    if (port_ <= 0 || port_ > 65535) {
        problem_ = "the service reported no usable port: \"" + line + "\"";
        port_ = 0;
        return;
    }
    state_ = State::Running;
}

void ServiceProcess::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        auto deadline = std::chrono::steady_clock::now() + kStopGrace;
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(pid_, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done == 0) {
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        pid_ = -1;
    }
    for (int* fd : {&stdout_, &lifeline_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

}  // namespace nv::test
