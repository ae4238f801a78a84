// A SOAP service run as a child process of a test: started with its arguments, it announces
// "PORT <n>" as its first line on stdout (or "MISSING <why>" when it cannot run here) and ends
// when its stdin closes (the object holds the
// other end, so even a crashed test takes the service with it). The destructor also stops it
// and reaps it.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace nv::test {

class ServiceProcess {
  public:
    enum class State {
        Running,
        Unavailable,  // the program or what it needs is not there: a reason to skip
        Failed,       // it should have started and did not: a reason to fail
    };

    explicit ServiceProcess(std::vector<std::string> argv);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    State state() const { return state_; }
    // Why the service is not running (empty while it runs).
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }

  private:
    void readPortLine();
    void stop();

    pid_t pid_ = -1;
    int stdout_ = -1;    // read end of the pipe the child writes its stdout to
    int lifeline_ = -1;  // write end of the child's stdin
    int port_ = 0;
    State state_ = State::Failed;
    std::string problem_;
};

}  // namespace nv::test
