#include "tests/support/registry_sandbox.h"

#include <cstdlib>

namespace nv::test {

namespace {
constexpr const char* kVar = "NORVALE_REGISTRY_DIR";
}

RegistrySandbox::RegistrySandbox() : dir_("sondar-registry") {
    if (const char* old = std::getenv(kVar))
        previous_ = old;
    setenv(kVar, dir_.path().c_str(), 1);
}

RegistrySandbox::~RegistrySandbox() {
    if (previous_)
        setenv(kVar, previous_->c_str(), 1);
    else
        unsetenv(kVar);
}

}  // namespace nv::test
