// The spyne interoperability service (spyne_service.py) as a child process of the test, and a
// GoogleTest fixture that gives every test a running service, a private registry and an engine
// connection to the service's WSDL.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/types.h>

#include "tests/engine/support/engine_client.h"
#include "tests/support/registry_sandbox.h"

namespace nv::test {

// How the service reads requests: leniently, as spyne does by default, or validated against
// its schema (a request that does not conform gets a Client fault).
enum class Validation { Lenient, Strict };

// Starts `/usr/bin/python3 spyne_service.py 0` and waits for its "PORT n" line; the destructor
// stops the process and reaps it. The object owns the child and its own ends of two pipes: the
// one it reads the child's stdout from and the one it holds the child's stdin open with.
class SpyneService {
  public:
    enum class State {
        Running,
        Unavailable,  // no interpreter or no spyne on this machine: a reason to skip
        Failed,       // the service should have started and did not: a reason to fail
    };

    explicit SpyneService(Validation validation = Validation::Lenient);
    ~SpyneService();
    SpyneService(const SpyneService&) = delete;
    SpyneService& operator=(const SpyneService&) = delete;

    State state() const { return state_; }
    // Why the service is not running (empty while it runs).
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>/", the endpoint spyne's WSDL names.
    std::string baseUrl() const;
    std::string wsdlUrl() const { return baseUrl() + "?wsdl"; }

  private:
    void start(Validation validation);
    void readPortLine();
    void stop();

    pid_t pid_ = -1;
    int stdout_ = -1;    // read end of the pipe the child writes its stdout to
    int lifeline_ = -1;  // write end of the child's stdin: its closing, even by our death,
                         // ends the child
    int port_ = 0;
    State state_ = State::Failed;
    std::string problem_;
};

// Base of the Spyne* test suites: one service per suite and validation mode (started by the
// first test that needs it, stopped after the suite), and per test a registry sandbox and a
// connection that has loaded the WSDL and selected the service (ready for structure calls).
class SpyneFixture : public ::testing::Test {
  public:
    static constexpr const char* kServiceName = "InteropService";

    static void TearDownTestSuite();

  protected:
    explicit SpyneFixture(Validation validation = Validation::Lenient) : validation_(validation) {}

    void SetUp() override;

    const SpyneService& service() const;

    RegistrySandbox registry_;
    wscore::test::EngineConnection engine_;
    std::vector<std::string> operations_;  // name, documentation, name, ... as listed

  private:
    static std::unique_ptr<SpyneService>& shared(Validation validation);

    Validation validation_;
};

}  // namespace nv::test
