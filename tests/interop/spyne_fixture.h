// The spyne interoperability service (spyne_service.py) as a child process of the test, and a
// GoogleTest fixture that gives every test a running service, a private registry and an engine
// connection to the service's WSDL.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/support/engine_client.h"
#include "tests/interop/service_process.h"
#include "tests/support/registry_sandbox.h"

namespace nv::test {

// How the service reads requests: leniently, as spyne does by default, or validated against
// its schema (a request that does not conform gets a Client fault).
enum class Validation { Lenient, Strict };

// Runs `/usr/bin/python3 -E spyne_service.py 0` as a ServiceProcess; the script answers
// "MISSING ..." when spyne is not installed.
class SpyneService {
  public:
    using State = ServiceProcess::State;

    explicit SpyneService(Validation validation = Validation::Lenient);

    State state() const { return process_.state(); }
    // Why the service is not running (empty while it runs).
    const std::string& problem() const { return process_.problem(); }
    int port() const { return process_.port(); }
    // "http://127.0.0.1:<port>/", the endpoint spyne's WSDL names.
    std::string baseUrl() const;
    std::string wsdlUrl() const { return baseUrl() + "?wsdl"; }

  private:
    ServiceProcess process_;
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
