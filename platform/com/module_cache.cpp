#include "platform/com/module_cache.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace nv::com::detail {

struct LoadedModule {
    std::string path;
    void* handle = nullptr;
    LPFNGETCLASSOBJECT getClassObject = nullptr;
    LPFNCANUNLOADNOW canUnloadNow = nullptr;
    int inUse = 0;  // calls running into the library; guarded by Cache::mutex
};

namespace {

struct Cache {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<LoadedModule>> modules;
};

// Never destroyed: libraries stay mapped until the process ends, and a server object released
// by another library's static destructor must still find the cache.
Cache& cache() {
    static Cache* instance = new Cache;
    return *instance;
}

}  // namespace

ModuleUse::ModuleUse(std::shared_ptr<LoadedModule> module) : module_(std::move(module)) {}

ModuleUse& ModuleUse::operator=(ModuleUse&& o) noexcept {
    if (this != &o) {
        release();
        module_ = std::move(o.module_);
    }
    return *this;
}

ModuleUse::~ModuleUse() {
    release();
}

void ModuleUse::release() {
    if (!module_)
        return;
    std::lock_guard lock(cache().mutex);
    --module_->inUse;
    module_.reset();
}

LPFNGETCLASSOBJECT ModuleUse::getClassObject() const {
    return module_ ? module_->getClassObject : nullptr;
}

HRESULT acquireModule(const std::string& path, ModuleUse& use) {
    Cache& c = cache();
    {
        std::lock_guard lock(c.mutex);
        auto it = c.modules.find(path);
        if (it != c.modules.end()) {
            ++it->second->inUse;
            use = ModuleUse(it->second);
            return S_OK;
        }
    }
    // dlopen runs the library's initialisers, which may call back into COM: no lock held.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject) {
        dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    auto module = std::make_shared<LoadedModule>();
    module->path = path;
    module->handle = handle;
    module->getClassObject = getClassObject;
    module->canUnloadNow = reinterpret_cast<LPFNCANUNLOADNOW>(dlsym(handle, "DllCanUnloadNow"));

    std::lock_guard lock(c.mutex);
    auto [it, inserted] = c.modules.emplace(path, module);
    if (!inserted) {
        // Another thread loaded it meanwhile; ours only raised the loader's reference count.
        dlclose(handle);
    }
    ++it->second->inUse;
    use = ModuleUse(it->second);
    return S_OK;
}

void freeUnusedModules() {
    Cache& c = cache();
    std::vector<std::shared_ptr<LoadedModule>> candidates;
    {
        std::lock_guard lock(c.mutex);
        for (auto& [path, module] : c.modules) {
            if (module->inUse == 0 && module->canUnloadNow) {
                ++module->inUse;
                candidates.push_back(module);
            }
        }
    }
    std::vector<void*> unload;
    for (auto& module : candidates) {
        // Asked without the lock: the library may create or release objects while deciding.
        bool idle = module->canUnloadNow() == S_OK;
        std::lock_guard lock(c.mutex);
        --module->inUse;
        if (idle && module->inUse == 0) {
            c.modules.erase(module->path);
            unload.push_back(module->handle);
        }
    }
    for (void* handle : unload)
        dlclose(handle);
}

}  // namespace nv::com::detail
