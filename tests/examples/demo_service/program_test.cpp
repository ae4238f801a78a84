// The sondar-demo-service program: its arguments, what it prints, and stopping on SIGINT.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <httplib.h>

namespace {

struct Finished {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

// Runs the program to completion with `arguments`.
Finished runProgram(const std::string& arguments) {
    Finished result;
    const std::string command = std::string(NV_DEMO_SERVICE_PROGRAM) + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        result.output += buffer;
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(DemoProgram, HelpDescribesTheOptions) {
    const Finished help = runProgram("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--port N"), std::string::npos);
    EXPECT_NE(help.output.find("8089"), std::string::npos);
}

TEST(DemoProgram, BadArgumentsExitWithUsageError) {
    EXPECT_EQ(runProgram("--port 70000").exitCode, 2);
    EXPECT_EQ(runProgram("--port=abc").exitCode, 2);
    EXPECT_EQ(runProgram("--verbose").exitCode, 2);
}

// Interrupts and reaps the child this test started, however the test ends.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends SIGINT and waits; the wait status, or -1.
    int interrupt() {
        int status = -1;
        if (::kill(pid_, SIGINT) != 0 || ::waitpid(pid_, &status, 0) != pid_)
            return -1;
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_;
};

// Starts the program on an ephemeral port, reads the WSDL address it prints, fetches the WSDL
// from there and stops the program with SIGINT, as Ctrl-C would.
TEST(DemoProgram, ServesTheAddressItPrintsUntilInterrupted) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(NV_DEMO_SERVICE_PROGRAM, NV_DEMO_SERVICE_PROGRAM, "--port", "0",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ChildProcess program(child);
    ::close(out[1]);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> output(::fdopen(out[0], "r"),
                                                                 &std::fclose);
    ASSERT_NE(output, nullptr);
    // The line "  WSDL:   http://127.0.0.1:<port>/demo?wsdl".
    constexpr std::string_view kPrefix = "http://127.0.0.1:";
    std::string printed;
    std::string wsdlLine;
    char line[512];
    while (wsdlLine.empty() && std::fgets(line, sizeof line, output.get())) {
        printed += line;
        if (std::string_view(line).find("WSDL:") != std::string_view::npos)
            wsdlLine = line;
    }
    const std::size_t url = wsdlLine.find(kPrefix);
    ASSERT_NE(url, std::string::npos) << printed;
    const std::size_t path = wsdlLine.find('/', url + kPrefix.size());
    ASSERT_NE(path, std::string::npos) << printed;
    const int port = std::atoi(wsdlLine.c_str() + url + kPrefix.size());
    ASSERT_GT(port, 0) << printed;
    EXPECT_EQ(wsdlLine.substr(path, wsdlLine.find_first_of("\r\n", path) - path), "/demo?wsdl");

    httplib::Client client("127.0.0.1", port);
    const httplib::Result answer = client.Get("/demo?wsdl");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_NE(answer->body.find("/demo/doclit"), std::string::npos);

    const int status = program.interrupt();
    ASSERT_TRUE(status != -1 && WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
