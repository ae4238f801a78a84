// The process-wide cache of loaded class-server libraries. Internal to platform/com.
#pragma once

#include <memory>
#include <string>

#include "platform/com/activation.h"

namespace nv::com::detail {

struct LoadedModule;

// Keeps a loaded library from being unloaded while a call into it runs. Move-only.
class ModuleUse {
  public:
    ModuleUse() = default;
    explicit ModuleUse(std::shared_ptr<LoadedModule> module);
    ModuleUse(ModuleUse&&) noexcept = default;
    ModuleUse& operator=(ModuleUse&&) noexcept;
    ~ModuleUse();

    LPFNGETCLASSOBJECT getClassObject() const;

  private:
    void release();
    std::shared_ptr<LoadedModule> module_;
};

// Loads the library at `path` once (CO_E_DLLNOTFOUND / CO_E_ERRORINDLL on failure).
HRESULT acquireModule(const std::string& path, ModuleUse& use);
// The body of CoFreeUnusedLibraries.
void freeUnusedModules();

}  // namespace nv::com::detail
