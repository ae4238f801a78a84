// nvregsvr: registers or unregisters an in-process server library, as regsvr32 does.
//
//   nvregsvr register <library>     calls the library's DllRegisterServer
//   nvregsvr unregister <library>   calls its DllUnregisterServer
//
// Exit code 0 on success; 1 with a message on standard error otherwise (usage, a library that
// does not load or lacks the entry point, or the failing HRESULT). The registry is the one
// the registry stand-in finds ($NORVALE_REGISTRY_DIR when set).
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/com/activation.h"
#include "platform/com/types.h"

namespace {

using EntryPoint = HRESULT (*)();

int usage() {
    std::fprintf(stderr, "usage: nvregsvr <register|unregister> <library path>\n");
    return 1;
}

// The absolute path, so the server registers itself under a name that works from anywhere.
std::string absolutePath(const char* path) {
    char* resolved = realpath(path, nullptr);
    std::string out = resolved ? resolved : path;
    std::free(resolved);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return usage();
    const char* entry = nullptr;
    if (std::strcmp(argv[1], "register") == 0)
        entry = "DllRegisterServer";
    else if (std::strcmp(argv[1], "unregister") == 0)
        entry = "DllUnregisterServer";
    else
        return usage();

    std::string path = absolutePath(argv[2]);
    // Servers may use COM while they register (type libraries, for one).
    HRESULT init = OleInitialize(nullptr);
    if (FAILED(init)) {
        std::fprintf(stderr, "nvregsvr: OleInitialize failed: 0x%08X\n",
                     static_cast<unsigned>(init));
        return 1;
    }
    // The library stays loaded until the process ends: unloading it first would only run
    // its teardown for nothing.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "nvregsvr: cannot load %s: %s\n", path.c_str(), dlerror());
        OleUninitialize();
        return 1;
    }
    auto call = reinterpret_cast<EntryPoint>(dlsym(library, entry));
    if (!call) {
        std::fprintf(stderr, "nvregsvr: %s has no %s\n", path.c_str(), entry);
        OleUninitialize();
        return 1;
    }
    HRESULT hr = call();
    OleUninitialize();
    if (FAILED(hr)) {
        std::fprintf(stderr, "nvregsvr: %s in %s failed: 0x%08X\n", entry, path.c_str(),
                     static_cast<unsigned>(hr));
        return 1;
    }
    return 0;
}
