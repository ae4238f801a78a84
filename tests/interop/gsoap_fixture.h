// The gSOAP rpc/encoded array service (gsoap/array_service.h, turned into a server by soapcpp2
// at build time) as a child process, and a GoogleTest fixture that gives every test a running
// service, a private registry and an engine connection that has loaded the service's WSDL and
// selected the service.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/support/engine_client.h"
#include "tests/interop/service_process.h"
#include "tests/support/registry_sandbox.h"

namespace nv::test {

class GsoapFixture : public ::testing::Test {
  public:
    static constexpr const char* kServiceName = "ArrayService";

    static void TearDownTestSuite();

  protected:
    void SetUp() override;

    // The envelope of the last request the service read, byte for byte as it arrived.
    std::string lastRequest() const;
    // The same service's WSDL as soapcpp2 writes it for SOAP 1.2.
    std::string soap12WsdlUrl() const;

    RegistrySandbox registry_;
    wscore::test::EngineConnection engine_;
    std::vector<std::string> operations_;  // name, documentation, name, ... as listed

  private:
    static std::unique_ptr<ServiceProcess>& shared();
};

}  // namespace nv::test
