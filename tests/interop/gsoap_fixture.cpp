#include "tests/interop/gsoap_fixture.h"

#include <httplib.h>

namespace nv::test {

std::unique_ptr<ServiceProcess>& GsoapFixture::shared() {
    static std::unique_ptr<ServiceProcess> service;
    return service;
}

void GsoapFixture::TearDownTestSuite() {
    shared().reset();
}

void GsoapFixture::SetUp() {
    std::unique_ptr<ServiceProcess>& running = shared();
    if (!running)
        running = std::make_unique<ServiceProcess>(
            std::vector<std::string>{NV_GSOAP_SERVICE, NV_GSOAP_WSDL, NV_GSOAP_SOAP12_WSDL});
    if (running->state() == ServiceProcess::State::Unavailable)
        GTEST_SKIP() << "gSOAP array service unavailable: " << running->problem();
    ASSERT_TRUE(running->state() == ServiceProcess::State::Running) << running->problem();

    std::string wsdl = "http://127.0.0.1:" + std::to_string(running->port()) + "/arrays?wsdl";
    wscore::test::Outcome connected = engine_.connect(wsdl);
    ASSERT_EQ(connected.result, -1) << connected.error;
    ASSERT_EQ(engine_.services, (std::vector<std::string>{kServiceName, ""}));
    wscore::test::Outcome listed = engine_.operations(kServiceName, &operations_);
    ASSERT_EQ(listed.result, -1) << listed.error;
}

std::string GsoapFixture::soap12WsdlUrl() const {
    return "http://127.0.0.1:" + std::to_string(shared()->port()) + "/soap12?wsdl";
}

std::string GsoapFixture::lastRequest() const {
    httplib::Client client("127.0.0.1", shared()->port());
    httplib::Result got = client.Get("/last-request");
    return got && got->status == 200 ? got->body : std::string("<no request recorded>");
}

}  // namespace nv::test
