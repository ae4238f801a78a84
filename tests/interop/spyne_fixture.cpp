#include "tests/interop/spyne_fixture.h"

namespace nv::test {

namespace {

// Debian's interpreter, where python3-spyne installs; the first python3 on PATH may lack it.
constexpr const char* kPython = "/usr/bin/python3";

std::vector<std::string> spyneCommand(Validation validation) {
    // -E: the PYTHON* variables of another interpreter (pyenv) must not steer this one.
    std::vector<std::string> argv = {kPython, "-E", NV_SPYNE_SERVICE_SCRIPT, "0",
                                     "--exit-with-stdin"};
    if (validation == Validation::Strict)
        argv.emplace_back("--strict");
    return argv;
}

}  // namespace

SpyneService::SpyneService(Validation validation) : process_(spyneCommand(validation)) {}

std::string SpyneService::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port()) + "/";
}

std::unique_ptr<SpyneService>& SpyneFixture::shared(Validation validation) {
    static std::unique_ptr<SpyneService> lenient, strict;
    return validation == Validation::Strict ? strict : lenient;
}

void SpyneFixture::TearDownTestSuite() {
    shared(Validation::Lenient).reset();
    shared(Validation::Strict).reset();
}

const SpyneService& SpyneFixture::service() const {
    return *shared(validation_);
}

void SpyneFixture::SetUp() {
    std::unique_ptr<SpyneService>& running = shared(validation_);
    if (!running)
        running = std::make_unique<SpyneService>(validation_);
    if (running->state() == SpyneService::State::Unavailable)
        GTEST_SKIP() << "spyne interop service unavailable: " << running->problem();
    ASSERT_TRUE(running->state() == SpyneService::State::Running) << running->problem();

    wscore::test::Outcome connected = engine_.connect(running->wsdlUrl());
    ASSERT_EQ(connected.result, -1) << connected.error;
    ASSERT_EQ(engine_.services, (std::vector<std::string>{kServiceName, ""}));
    wscore::test::Outcome listed = engine_.operations(kServiceName, &operations_);
    ASSERT_EQ(listed.result, -1) << listed.error;
}

}  // namespace nv::test
