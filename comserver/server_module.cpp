#include "comserver/server_module.h"

#include <dlfcn.h>

#include <atomic>
#include <climits>
#include <cstdlib>

#include "platform/text/unicode.h"

namespace wscom {

namespace {

std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

std::u16string findModulePath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&findModulePath), &info) || !info.dli_fname)
        return {};
    // dli_fname is the name the library was loaded by, which may be relative.
    char* resolved = realpath(info.dli_fname, nullptr);
    std::u16string path = nv::text::utf8ToUtf16(resolved ? resolved : info.dli_fname);
    std::free(resolved);
    return path;
}

}  // namespace

void objectCreated() {
    gObjects.fetch_add(1, std::memory_order_relaxed);
}

void objectDestroyed() {
    gObjects.fetch_sub(1, std::memory_order_acq_rel);
}

void lockServer(bool lock) {
    if (lock)
        gLocks.fetch_add(1, std::memory_order_relaxed);
    else
        gLocks.fetch_sub(1, std::memory_order_acq_rel);
}

bool canUnloadNow() {
    return gObjects.load(std::memory_order_acquire) == 0 &&
           gLocks.load(std::memory_order_acquire) == 0;
}

const std::u16string& modulePath() {
    static const std::u16string path = findModulePath();
    return path;
}

std::mutex& serverMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace wscom
