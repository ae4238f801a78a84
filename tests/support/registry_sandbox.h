// Points the registry stand-in at a private, empty directory for the lifetime of the object,
// so tests never touch the user's real hives and never see each other's values.
#pragma once

#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace nv::test {

class RegistrySandbox {
  public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    const std::string& dir() const { return dir_.path(); }

  private:
    TempDir dir_;
    std::optional<std::string> previous_;
};

}  // namespace nv::test
